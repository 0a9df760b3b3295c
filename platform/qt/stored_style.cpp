#include "platform/qt/stored_style.h"

#include <algorithm>
#include <iterator>

#include <QString>
#include <QVariant>
#include <QWidget>

#include "platform/qt/picture_image.h"

namespace platform::qt {
namespace {

constexpr int32_t kStyleItalic = 0x1000;
constexpr int32_t kStyleUnderline = 0x2000;
constexpr int32_t kStyleStrikeout = 0x4000;
constexpr int32_t kWeightMask = 0x0FFF;
// Marks a widget whose background the stored colour fills.
constexpr char kFilledProperty[] = "pexStoredFill";

// The palette entry of each system colour index, in the order of the index.
struct SystemColor {
  QPalette::ColorGroup group;
  QPalette::ColorRole role;
};
constexpr SystemColor kSystemColors[] = {
    {QPalette::Active, QPalette::Button},             // 0 scroll bar
    {QPalette::Active, QPalette::Window},             // 1 desktop
    {QPalette::Active, QPalette::Highlight},          // 2 active caption
    {QPalette::Inactive, QPalette::Highlight},        // 3 inactive caption
    {QPalette::Active, QPalette::Window},             // 4 menu
    {QPalette::Active, QPalette::Base},               // 5 window
    {QPalette::Active, QPalette::Shadow},             // 6 window frame
    {QPalette::Active, QPalette::WindowText},         // 7 menu text
    {QPalette::Active, QPalette::Text},               // 8 window text
    {QPalette::Active, QPalette::HighlightedText},    // 9 caption text
    {QPalette::Active, QPalette::Window},             // 10 active border
    {QPalette::Inactive, QPalette::Window},           // 11 inactive border
    {QPalette::Active, QPalette::Dark},               // 12 application workspace
    {QPalette::Active, QPalette::Highlight},          // 13 highlight
    {QPalette::Active, QPalette::HighlightedText},    // 14 highlighted text
    {QPalette::Active, QPalette::Button},             // 15 button face
    {QPalette::Active, QPalette::Dark},               // 16 button shadow
    {QPalette::Disabled, QPalette::Text},             // 17 grey text
    {QPalette::Active, QPalette::ButtonText},         // 18 button text
    {QPalette::Inactive, QPalette::HighlightedText},  // 19 inactive caption text
    {QPalette::Active, QPalette::Light},              // 20 button highlight
    {QPalette::Active, QPalette::Shadow},             // 21 3D dark shadow
    {QPalette::Active, QPalette::Midlight},           // 22 3D light
    {QPalette::Active, QPalette::ToolTipText},        // 23 info text
    {QPalette::Active, QPalette::ToolTipBase},        // 24 info background
    {QPalette::Active, QPalette::Button},             // 25 unused
    {QPalette::Active, QPalette::Link},               // 26 hot light
    {QPalette::Active, QPalette::Highlight},          // 27 gradient active caption
    {QPalette::Inactive, QPalette::Highlight},        // 28 gradient inactive caption
    {QPalette::Active, QPalette::Highlight},          // 29 menu highlight
    {QPalette::Active, QPalette::Window},             // 30 menu bar
};

}  // namespace

QColor ColorFromStored(int64_t stored, const QPalette& palette) {
  if (stored == kNoColor) return {};
  if (stored >= kSystemColorBase) {
    const int64_t index = stored - kSystemColorBase;
    if (index < 0 || index >= static_cast<int64_t>(std::size(kSystemColors))) return {};
    const SystemColor& c = kSystemColors[index];
    return palette.color(c.group, c.role);
  }
  if (stored < 0 || stored > 0xFFFFFF) return {};
  return QColor(static_cast<int>(stored & 0xFF), static_cast<int>((stored >> 8) & 0xFF),
                static_cast<int>((stored >> 16) & 0xFF));
}

int64_t StoredFromColor(const QColor& color) {
  if (!color.isValid()) return kNoColor;
  return static_cast<int64_t>(color.red()) | (static_cast<int64_t>(color.green()) << 8) |
         (static_cast<int64_t>(color.blue()) << 16);
}

QFont FontFromStored(const QFont& base, std::string_view typeface, int32_t size, int32_t style) {
  QFont font = base;
  // Windows names go to fontconfig, which picks the nearest installed font.
  if (!typeface.empty()) font.setFamilies({QString::fromUtf8(typeface.data(), typeface.size())});
  if (size > 0) font.setPointSize(size);
  if (style > 0) {
    const int32_t weight = style & kWeightMask;
    if (weight > 0) font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 1, 1000)));
    font.setItalic(style & kStyleItalic);
    font.setUnderline(style & kStyleUnderline);
    font.setStrikeOut(style & kStyleStrikeout);
  }
  return font;
}

int32_t StoredStyleFromFont(const QFont& font) {
  int32_t style = font.weight();
  if (font.italic()) style |= kStyleItalic;
  if (font.underline()) style |= kStyleUnderline;
  if (font.strikeOut()) style |= kStyleStrikeout;
  return style;
}

void ApplyStoredLook(QWidget& widget, const StoredProperties& props, bool fill) {
  using ui::Prop;
  // A font or palette that sets only some parts leaves the others to the parent: Qt resolves
  // what is not set from it, and one that sets nothing takes the parent's whole.
  const std::string face = PropOf(props, Prop::Font);
  const int32_t size = static_cast<int32_t>(Number(props, Prop::FontSize, 0));
  const int32_t style = static_cast<int32_t>(Number(props, Prop::FontStyle, 0));
  widget.setFont(FontFromStored(QFont(), face, size, style));
  const QPalette shown = widget.palette();
  const QColor text = ColorFromStored(Number(props, Prop::FontColor, kNoColor), shown);
  const QColor back =
      fill ? ColorFromStored(Number(props, Prop::Color, kNoColor), shown) : QColor();
  QPalette palette;
  if (text.isValid()) {
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
      palette.setColor(role, text);
    }
  }
  if (back.isValid()) {
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button}) {
      palette.setColor(role, back);
    }
  }
  widget.setPalette(palette);
  // Only a fill of ours is taken away again: some widgets fill their background by nature.
  if (back.isValid()) {
    widget.setAutoFillBackground(true);
    widget.setProperty(kFilledProperty, true);
  } else if (widget.property(kFilledProperty).toBool()) {
    widget.setAutoFillBackground(false);
    widget.setProperty(kFilledProperty, false);
  }
}

QPixmap LoadPicture(std::string_view name) { return QPixmap::fromImage(LoadPictureImage(name)); }

}  // namespace platform::qt
