#!/usr/bin/env bash
# Draws the program's icons with ImageMagick into this folder. The files are kept in the
# repository; run this again only to change them.
#   share/images/make_icons.sh
set -euo pipefail
cd "$(dirname "$0")"
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf

# A 32x32 drawing on a transparent ground, written as an icon of 32 and 16 pixels.
icon() {
  local out=$1
  shift
  convert -size 32x32 xc:none "$@" -define icon:auto-resize=32,16 "$out"
}

# The program: a blue tile with a white P.
logo() {
  icon "$1" -fill '#2f5fa8' -stroke '#1d3f78' -strokewidth 1 -draw 'roundrectangle 1,1 30,30 6,6' \
    -fill white -stroke none -font "$font" -pointsize "$3" -gravity center -annotate +0+1 "$2"
}
logo zov.ico P 24
logo ZOVpexolind.ico Px 17

# Cancel: a red disc with a white cross.
icon cancel.ico -fill '#c8322d' -stroke '#8e1f1b' -draw 'circle 15.5,15.5 15.5,2' \
  -stroke white -strokewidth 4 -draw 'line 10,10 21,21' -draw 'line 21,10 10,21'

# Execute again: a green arrow turning round.
icon zovrefresh.ico -fill none -stroke '#2e8b3d' -strokewidth 4 -draw 'arc 5,5 26,26 -30,240' \
  -fill '#2e8b3d' -stroke none -draw 'polygon 20,4 30,10 21,15'

# Templates: a page with lines of text.
icon ZOVTemplate.ico -fill white -stroke '#555555' -draw 'polygon 6,2 21,2 27,8 27,30 6,30' \
  -fill '#dddddd' -draw 'polygon 21,2 21,8 27,8' -stroke '#4a78c0' -strokewidth 2 \
  -draw 'line 10,13 23,13' -draw 'line 10,18 23,18' -draw 'line 10,23 19,23'

# The query builder: a page with a clip.
icon ZOVMSAttach.ico -fill '#f4f4f4' -stroke '#555555' -draw 'rectangle 5,5 24,30' \
  -fill none -stroke '#7a7a7a' -strokewidth 2 -draw 'roundrectangle 17,1 25,20 4,4' \
  -draw 'roundrectangle 20,5 23,16 1,1' -stroke '#4a78c0' -draw 'line 8,14 15,14' \
  -draw 'line 8,19 20,19' -draw 'line 8,24 20,24'

# A connector's check box, off and on.
icon ZOVCheckoff.ico -fill white -stroke '#555555' -strokewidth 2 -draw 'rectangle 5,5 26,26'
icon ZOVCheckon.ico -fill white -stroke '#555555' -strokewidth 2 -draw 'rectangle 5,5 26,26' \
  -fill none -stroke '#2e8b3d' -strokewidth 4 -draw 'polyline 9,16 14,22 23,9'

# Web links: a globe.
convert -size 32x32 xc:none -fill '#3a86c8' -stroke '#1d4f80' -draw 'circle 15.5,15.5 15.5,2' \
  -fill none -stroke white -strokewidth 1.5 -draw 'ellipse 15.5,15.5 6,13.5 0,360' \
  -draw 'line 2,15.5 29,15.5' -draw 'line 15.5,2 15.5,29' -draw 'line 5,9 26,9' \
  -draw 'line 5,22 26,22' -resize 16x16 ZOVWeb.gif
