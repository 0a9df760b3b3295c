// Restoring: with styling switched off, a window that was styled gets back the look and
// geometry its controls and the window itself had when they were registered.
#include <string>

#include "platform/core/number.h"
#include "platform/ui/codes.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace restyle {
namespace {

using platform::ui::FieldId;
using platform::ui::Prop;

}  // namespace

void ZOVRestyleClass::Restoring() {
  if (WINDOWRESTYLED != 1) return;
  platform::ui::Window& window = *PROCEDUREWINDOW;
  // The registered geometry back as the base of sizing, so a removed "Control position and
  // size" leaves nothing moved.
  platform::Queue<ResizeRecord>& resize = *RESIZEQUEUE;
  const platform::QueueKey by_control = {resize.Asc(&ResizeRecord::CONTROLEQUATE)};
  for (size_t i = 1; i <= CONTROLPROPERTIESQUEUE->Records(); ++i) {
    const ControlSnapshotRecord& s = CONTROLPROPERTIESQUEUE->entry(i);
    if (s.CONTROLEQUATE == 0) continue;
    resize.ClearBuffer();
    resize.buffer.CONTROLEQUATE = s.CONTROLEQUATE;
    if (!resize.GetByKey(by_control)) continue;
    resize.buffer.XPOS = s.PROP_XPOS;
    resize.buffer.YPOS = s.PROP_YPOS;
    resize.buffer.WIDTH = s.PROP_WIDTH;
    resize.buffer.HEIGHT = s.PROP_HEIGHT;
    resize.Put();
  }
  const double previous = PREVIOUSRATIO != 0 ? PREVIOUSRATIO : 1.0;
  for (FieldId field = static_cast<FieldId>(platform::TextToNumber(window.Get(0, Prop::NextField)));
       field != 0; field = static_cast<FieldId>(
                       platform::TextToNumber(window.Get(0, Prop::NextField, field)))) {
    if (SkippedInPass(field)) continue;
    const ResizeRecord g = resize.buffer;
    window.SetPosition(field, g.XPOS, g.YPOS, g.WIDTH, g.HEIGHT);
    window.Set(field, Prop::Font, g.FONTNAME.view());
    window.Set(field, Prop::FontSize, std::to_string(g.FONTSIZE));
    // The columns get the widths they had when the window was attached.
    if (previous != 1.0) SetColumnWidths(field, 1.0);
  }
  for (size_t i = 1; i <= CONTROLPROPERTIESQUEUE->Records(); ++i) {
    const ControlSnapshotRecord& s = CONTROLPROPERTIESQUEUE->entry(i);
    const FieldId field = s.CONTROLEQUATE;
    const auto set = [&](Prop p, const std::string& value) { window.Set(field, p, value); };
    const auto set_number = [&](Prop p, int64_t value) { set(p, std::to_string(value)); };
    set(Prop::Text, s.PROP_TEXT.str());
    set(Prop::Maximize, s.PROP_MAXIMIZE != 0 ? "1" : "");
    // The window too: back to the geometry it had when it was registered.
    window.SetPosition(field, s.PROP_XPOS, s.PROP_YPOS, s.PROP_WIDTH, s.PROP_HEIGHT);
    set_number(Prop::Disable, s.PROP_DISABLE);
    set_number(Prop::Flat, s.PROP_FLAT);
    set_number(Prop::Trn, s.PROP_TRN);
    set_number(Prop::Std, s.PROP_STD);
    set(Prop::Font, s.PROP_FONTNAME.str());
    set_number(Prop::FontSize, s.PROP_FONTSIZE);
    set_number(Prop::FontColor, s.PROP_FONTCOLOR);
    set_number(Prop::FontStyle, s.PROP_FONTSTYLE);
    set_number(Prop::Color, s.PROP_COLOR);
    set_number(Prop::SelectedColor, s.PROP_SELECTEDCOLOR);
    set_number(Prop::SelectedFillColor, s.PROP_SELECTEDFILLCOLOR);
    set(Prop::Icon, s.PROP_ICON.str());
    set(Prop::WallPaper, s.PROP_WALLPAPER.str());
  }
  // The overlays of "Image on control" go with the styling.
  for (size_t i = IMAGEBUTTONQUEUE->Records(); i >= 1; --i) {
    window.Destroy(IMAGEBUTTONQUEUE->entry(i).CONTROLEQUATE);
  }
  IMAGEBUTTONQUEUE->Free();
  RATIO = 1.0;
  PREVIOUSRATIO = 1.0;
  restored_room_x_ = 0;
  restored_room_y_ = 0;
  PlaceImages();
  WINDOWRESTYLED = 0;
}

}  // namespace restyle
