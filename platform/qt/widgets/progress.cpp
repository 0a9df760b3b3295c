// Progress bars: RangeLow..RangeHigh (0..100 when the range is empty), at Progress or at the
// screen text the program set.
#include <QProgressBar>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kProgress};

class ProgressFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    auto* w = MakeChild<QProgressBar>(mirror.client());
    w->setTextVisible(false);
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    auto* p = static_cast<QProgressBar*>(item.widget.data());
    const auto& props = item.view.properties;
    const int low = static_cast<int>(Number(props, Prop::RangeLow, 0));
    const int high = static_cast<int>(Number(props, Prop::RangeHigh, 0));
    p->setRange(low, high > low ? high : 100);
    p->setValue(static_cast<int>(Number(props, Prop::Progress, 0)));
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    static_cast<QProgressBar*>(item.widget.data())
        ->setValue(static_cast<int>(TextToNumber(item.view.screen_text)));
  }
};

}  // namespace

const WidgetFamily& ProgressWidgets() {
  static const ProgressFamily family;
  return family;
}

}  // namespace platform::qt
