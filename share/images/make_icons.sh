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

# A menu item: an orange arrow pointing right.
icon ZOVMenuItem.ico -fill '#f08a24' -stroke '#a85a10' -strokewidth 1 \
  -draw 'polygon 9,6 24,16 9,26 12,16'

# A menu panel's toggle: a white chevron on a blue disc, up to close and down to open.
chevron() {
  icon "$1" -fill '#3d6fc0' -stroke '#24508f' -draw 'circle 15.5,15.5 15.5,3' \
    -fill none -stroke white -strokewidth 3.5 -draw "polyline $2" -draw "polyline $3"
}
chevron ZOVUp.ico '9,15 15.5,9 22,15' '9,22 15.5,16 22,22'
chevron ZOVDown.ico '9,10 15.5,16 22,10' '9,17 15.5,23 22,17'

# The assistant's button: a yellow speech balloon with a question mark.
icon ExtAgentButton.ico -fill '#ffd84a' -stroke '#9c7a00' -strokewidth 1.5 \
  -draw 'roundrectangle 2,3 29,22 7,7' -draw 'polygon 8,21 7,29 15,21' \
  -fill '#5a4300' -stroke none -font "$font" -pointsize 17 -gravity center -annotate +0-4 '?'

# Pause: two bars.
icon Pauze.ico -fill '#3f4a5a' -stroke '#1f2630' -strokewidth 1 \
  -draw 'roundrectangle 8,6 13,26 1,1' -draw 'roundrectangle 19,6 24,26 1,1'

# The play-control bar: a golden lamp with a purple wisp.
icon Genie.ico -fill '#8a4fc8' -stroke none -draw 'ellipse 20,8 5,6 0,360' \
  -draw 'polygon 16,12 20,20 14,19' -fill '#e1b12c' -stroke '#8d6b0f' -strokewidth 1 \
  -draw 'polygon 3,18 10,17 12,14 20,14 22,17 30,15 24,22 22,25 9,25 7,22' \
  -draw 'rectangle 12,25 19,28'

# The pointing hand over clickable panel headers: a cursor, its hot spot at the finger's tip.
convert -size 32x32 xc:none -fill white -stroke black -strokewidth 1.5 \
  -draw 'roundrectangle 9,1 14,18 2.5,2.5' \
  -draw 'polygon 9,14 9,20 5,16 3,18 9,28 11,31 24,31 26,26 26,16 22,14 18,14 14,14' \
  -stroke '#666666' -strokewidth 1 -draw 'line 17,15 17,20' -draw 'line 21,15 21,20' \
  -define icon:auto-resize=32 Finger.ico
python3 - Finger.ico Finger.cur 11 1 <<'PY'
# An icon file becomes a cursor: type 2, and each entry's planes and bit count become the
# hot spot's x and y.
import struct, sys
src, dst, x, y = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
data = bytearray(open(src, 'rb').read())
struct.pack_into('<H', data, 2, 2)
for e in range(struct.unpack_from('<H', data, 4)[0]):
    struct.pack_into('<HH', data, 6 + 16 * e + 4, x, y)
open(dst, 'wb').write(bytes(data))
PY
rm Finger.ico

# The main configuration window's brand pictures: the brand picture in the middle, the logo
# shown while the mouse is over it, the ellipse behind each button and the icon beside it.
convert -size 200x120 xc:none \( -size 196x116 gradient:'#4f86d6-#1d3f78' \
  \( -size 196x116 xc:black -fill white -draw 'roundrectangle 0,0 195,115 18,18' \) \
  -alpha off -compose copy_opacity -composite \) -geometry +2+2 -compose over -composite \
  -fill white -font "$font" -pointsize 56 -gravity center -annotate +0-12 'Px' \
  -pointsize 18 -annotate +0+36 'pexolind' ZOVBrand.png
convert -size 64x64 xc:none -fill '#2f5fa8' -stroke '#1d3f78' -strokewidth 2 \
  -draw 'roundrectangle 2,2 61,61 12,12' -fill white -stroke none -font "$font" \
  -pointsize 34 -gravity center -annotate +0+2 'Px' ZOVLogo.png
convert -size 120x28 xc:none -fill '#cfe0f7' -stroke '#8fb1e0' -strokewidth 1.5 \
  -draw 'ellipse 60,14 58,12.5 0,360' ZOVEllipse.png
# Profiles: two figures.
icon ZOVConfigProfiles.ico -fill '#4a78c0' -stroke none -draw 'circle 11,10 11,5' \
  -draw 'ellipse 11,25 8,7 180,360' -fill '#7aa5e0' -draw 'circle 22,12 22,7.5' \
  -draw 'ellipse 22,27 7,6 180,360'
# Control types and properties: a list with ticks.
icon ZOVConfigProperties.ico -fill white -stroke '#555555' -draw 'rectangle 4,3 27,28' \
  -fill none -stroke '#2e8b3d' -strokewidth 2 -draw 'polyline 7,10 9,12 12,8' \
  -draw 'polyline 7,19 9,21 12,17' -stroke '#555555' -draw 'line 15,10 24,10' \
  -draw 'line 15,19 24,19' -draw 'line 7,25 24,25'
# Images: a landscape in a frame.
icon ZOVConfigImages.ico -fill '#bfe3ff' -stroke '#555555' -draw 'rectangle 3,5 28,26' \
  -fill '#3b9b48' -stroke none -draw 'polygon 4,25 12,14 18,21 22,17 27,25' \
  -fill '#f2c12e' -draw 'circle 21,10 21,7.5'
# Restyle directly on the window: a pointer over a window.
icon ZOVConfigDirect.ico -fill white -stroke '#555555' -draw 'rectangle 2,3 25,22' \
  -fill '#4a78c0' -stroke none -draw 'rectangle 3,4 24,8' -fill white -stroke black \
  -strokewidth 1 -draw 'polygon 16,12 16,29 20,25 23,31 26,30 23,24 28,24'
# Restyle: a brush.
icon ZOVConfigRestyle.ico -fill '#9c6b30' -stroke '#5e3f18' -draw 'polygon 18,4 24,4 23,16 19,16' \
  -fill '#a0a0a0' -stroke '#555555' -draw 'rectangle 18,16 24,20' -fill '#c8322d' \
  -stroke '#8e1f1b' -draw 'polygon 18,20 24,20 25,28 21,30 17,28'
# Help: a blue disc with a question mark.
icon ZOVHelp.ico -fill '#3a86c8' -stroke '#1d4f80' -draw 'circle 15.5,15.5 15.5,2' -fill white \
  -stroke none -font "$font" -pointsize 22 -gravity center -annotate +0+1 '?'
# About: a blue disc with an i.
icon ZOVAbout.ico -fill '#3a86c8' -stroke '#1d4f80' -draw 'circle 15.5,15.5 15.5,2' -fill white \
  -stroke none -font "$font" -pointsize 22 -gravity center -annotate +0+1 'i'
# Close: a door with an arrow.
icon ZOVClose.ico -fill '#b07a45' -stroke '#6b4420' -draw 'rectangle 5,3 19,29' -fill '#f2c12e' \
  -stroke none -draw 'circle 16,17 16,15.8' -fill '#c8322d' -draw 'polygon 20,13 27,17 20,21' \
  -stroke '#c8322d' -strokewidth 3 -draw 'line 14,17 21,17'
