// Panels: a sunken frame drawn on the window's surface, under the windowed controls.
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
    // Drawn on the window's surface: the mouse reaches what lies beneath (a region).
    w->setAttribute(Qt::WA_TransparentForMouseEvents);
    return w;
  }
  bool Windowless(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& PanelWidgets() {
  static const PanelFamily family;
  return family;
}

}  // namespace platform::qt
