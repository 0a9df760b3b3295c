// How a control follows the window's scale under dynamic sizing: its place and size by its
// resize strategy, its font, and the widths of a list's columns.
#include <algorithm>
#include <cmath>
#include <string>

#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/codes.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::ControlType;
using platform::ui::FieldId;
using platform::ui::Prop;

// A list has at most this many columns.
constexpr int32_t kMaxColumns = 255;
// Typefaces that do not scale smoothly; a scaled control shows this one instead.
constexpr std::string_view kScalableFace = "Arial";
constexpr std::string_view kFixedFaces[] = {"", "MS SANS SERIF", "MS SERIF"};

// The resize strategies of custom property -17.
enum Strategy : int32_t {
  kScaleCompletely = 0,
  kScaleWidthOnly = 1,
  kScaleHeightOnly = 2,
  kDoNotScale = 3,
};

// `value` with its fraction dropped. A scaled whole number may come out a hair below itself
// (30 x 0.7), which must not cost it a unit.
int32_t Whole(double value) {
  constexpr double kSlack = 1e-9;
  return static_cast<int32_t>(std::trunc(value + (value < 0 ? -kSlack : kSlack)));
}

bool HasColumns(int64_t type) {
  return type == static_cast<int64_t>(ControlType::kList) ||
         type == static_cast<int64_t>(ControlType::kCombo);
}

}  // namespace

void ZOVRestyleClass::ResizeControl(FieldId control, const ResizeRecord& initial, int16_t cx,
                                    int16_t cy) {
  if (PROCEDUREWINDOW == nullptr) return;
  platform::ui::Window& window = *PROCEDUREWINDOW;
  ControlPropertyGroup strategy_value;
  const bool found =
      GetPropertyValue(control, kResizeStrategy, 0, /*read_type=*/1, strategy_value) == 1;
  const std::string value = found ? strategy_value.VALUE.str() : std::string();
  const auto flag = [&value](size_t at) { return at < value.size() ? value[at] : ' '; };
  const int64_t strategy =
      found ? static_cast<int64_t>(platform::TextToNumber(value.substr(0, 1))) : 0;
  const bool keep_font = flag(1) == '1';
  const bool keep_columns = flag(2) != '0' && flag(2) != ' ';

  const double r = RATIO;
  const double ox = initial.XPOS;
  const double oy = initial.YPOS;
  const double ow = initial.WIDTH;
  const double oh = initial.HEIGHT;
  const double left = ox * r + SHIFTXPOS + cx;
  const double top = oy * r + SHIFTYPOS + cy;
  // A control that keeps a dimension is centred in the slot the scaled one would fill.
  const double centre_x = (ow * r - ow) / 2;
  const double centre_y = (oh * r - oh) / 2;
  const auto place = [&](double x, double y, double w, double h) {
    window.SetPosition(control, Whole(x), Whole(y), std::max(0, Whole(w)), std::max(0, Whole(h)));
  };
  switch (strategy) {
    case kScaleCompletely:
      place(left, top, ow * r, oh * r);
      break;
    case kScaleWidthOnly:
      place(left, top + centre_y, ow * r, oh);
      break;
    case kScaleHeightOnly:
      place(left + centre_x, top, ow, oh * r);
      break;
    case kDoNotScale:
      place(left + centre_x, top + centre_y, ow, oh);
      break;
    default:
      break;  // an unknown strategy leaves the control where it is
  }

  // A registered size of 0 means the control has no font of its own: its size is left alone.
  const bool sized = initial.FONTSIZE > 0;
  if (r == 1.0 || keep_font) {
    window.Set(control, Prop::Font, platform::Clip(initial.FONTNAME.view()));
    if (sized) window.Set(control, Prop::FontSize, std::to_string(initial.FONTSIZE));
  } else {
    const std::string face = platform::Upper(platform::Clip(window.Get(control, Prop::Font)));
    if (std::find(std::begin(kFixedFaces), std::end(kFixedFaces), face) != std::end(kFixedFaces)) {
      window.Set(control, Prop::Font, kScalableFace);
    }
    if (sized) {
      const long size = std::lround(initial.FONTSIZE * r - 1);
      window.Set(control, Prop::FontSize, std::to_string(std::max(1L, size)));
    }
  }

  // The columns follow every change of scale, back to 1.0 included, from the widths they had
  // when the window was attached, so repeated passes cannot drift.
  if (r != PREVIOUSRATIO && !keep_columns &&
      HasColumns(static_cast<int64_t>(platform::TextToNumber(window.Get(control, Prop::Type))))) {
    SetColumnWidths(control, r);
  }
}

void ZOVRestyleClass::SetColumnWidths(FieldId control, double ratio) {
  if (PROCEDUREWINDOW == nullptr) return;
  const auto recorded = column_widths_.find(control);
  if (recorded == column_widths_.end()) return;
  platform::ui::Window& window = *PROCEDUREWINDOW;
  int32_t column = 1;
  for (const int32_t width : recorded->second) {
    if (window.Get(control, Prop::ColumnResizable, column).empty()) break;
    window.Set(control, Prop::ColumnWidth, std::to_string(std::max(0, Whole(width * ratio))),
               column);
    ++column;
  }
}

void ZOVRestyleClass::RecordColumnWidths(FieldId control) {
  const platform::ui::Window& window = *PROCEDUREWINDOW;
  if (!HasColumns(static_cast<int64_t>(platform::TextToNumber(window.Get(control, Prop::Type))))) {
    return;
  }
  std::vector<int32_t>& widths = column_widths_[control];
  widths.clear();
  for (int32_t column = 1; column <= kMaxColumns; ++column) {
    if (window.Get(control, Prop::ColumnResizable, column).empty()) break;
    widths.push_back(static_cast<int32_t>(
        platform::TextToNumber(window.Get(control, Prop::ColumnWidth, column))));
  }
}

}  // namespace restyle
