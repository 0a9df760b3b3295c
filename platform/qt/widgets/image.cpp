// Images: the picture scaled into the control's place, keeping its proportions.
#include <QLabel>

#include "platform/qt/stored_style.h"
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
    auto* w = MakeChild<QLabel>(mirror.client());
    w->setAlignment(Qt::AlignCenter);
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& rect) const override {
    const QPixmap picture = LoadPicture(item.view.text);
    static_cast<QLabel*>(item.widget.data())
        ->setPixmap(picture.isNull() ? QPixmap()
                                     : picture.scaled(rect.size(), Qt::KeepAspectRatio,
                                                      Qt::SmoothTransformation));
  }
};

}  // namespace

const WidgetFamily& ImageWidgets() {
  static const ImageFamily family;
  return family;
}

}  // namespace platform::qt
