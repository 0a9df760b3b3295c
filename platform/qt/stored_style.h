// Colours, fonts and pictures as the program stores them, turned into Qt's: colours are
// 00BBGGRRh, 80000000h plus an index for a system colour, and -1 for none; font styles are
// a weight (400 normal, 700 bold) plus 1000h italic, 2000h underline and 4000h strikeout;
// a picture named "~name" is one of the program's own resources, else a file.
#pragma once

#include <cstdint>
#include <string_view>

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPixmap>

#include "platform/qt/widgets/widget_support.h"

class QWidget;

namespace platform::qt {

inline constexpr int64_t kNoColor = -1;
inline constexpr int64_t kSystemColorBase = 0x80000000;

// The colour `stored` stands for; an invalid QColor for -1 (none). System colours come from
// `palette`; an unknown system index is invalid too.
QColor ColorFromStored(int64_t stored, const QPalette& palette);
// The stored value of a plain colour (00BBGGRRh).
int64_t StoredFromColor(const QColor& color);

// `base` with the stored typeface (empty keeps it), size in points (0 or less keeps it) and
// style (0 or less keeps it).
QFont FontFromStored(const QFont& base, std::string_view typeface, int32_t size, int32_t style);
// The stored style of `font`: its weight plus the italic, underline and strikeout bits.
int32_t StoredStyleFromFont(const QFont& font);

// Gives `widget` the stored Font, FontSize, FontStyle, FontColor and (when `fill` is set) Color
// of `props` (a control's or a window's). What is not stored comes from the widget's parent,
// so a control without a font of its own shows its window's, and a value taken away (Color
// back to -1) gives the parent's look back.
void ApplyStoredLook(QWidget& widget, const StoredProperties& props, bool fill);

// The picture `name` stands for (platform/image/picture_name.h), read by the program's own
// bounded readers, never Qt's. A null pixmap when there is none or it cannot be read.
QPixmap LoadPicture(std::string_view name);

}  // namespace platform::qt
