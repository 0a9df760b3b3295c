// Regions: an invisible area on the window's surface, where a cursor of its own shows; its
// presses reach the runtime through the press router (press_routing.h).
#include <QWidget>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kRegion};

class RegionFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    return MakeChild<QWidget>(mirror.client());
  }
  bool FillsBackground(const WidgetItem& /*item*/) const override { return false; }
  bool Windowless(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& RegionWidgets() {
  static const RegionFamily family;
  return family;
}

}  // namespace platform::qt
