// Images: the picture stretched over the control's place, centred or tiled in it, drawn on
// the window's surface.
#include "platform/qt/picture_widget.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kImage};

class ImageFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    return MakeChild<PictureWidget>(mirror.client());
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<PictureWidget*>(item.widget.data())
        ->SetPicture(item.view.text, ui::PictureModeOf(item.view.properties));
  }

  bool Windowless(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& ImageWidgets() {
  static const ImageFamily family;
  return family;
}

}  // namespace platform::qt
