// Panels: a sunken frame under the controls it holds.
#include <QFrame>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kPanel};

class PanelFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    auto* w = MakeChild<QFrame>(mirror.client());
    w->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return w;
  }
  bool LiesUnder(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& PanelWidgets() {
  static const PanelFamily family;
  return family;
}

}  // namespace platform::qt
