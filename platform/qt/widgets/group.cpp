// Groups: a titled frame under the controls it holds.
#include <QGroupBox>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kGroup};

class GroupFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    return MakeChild<QGroupBox>(mirror.client());
  }
  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QGroupBox*>(item.widget.data())->setTitle(Q(item.view.text));
  }
  bool LiesUnder(const WidgetItem& /*item*/) const override { return true; }
};

}  // namespace

const WidgetFamily& GroupWidgets() {
  static const GroupFamily family;
  return family;
}

}  // namespace platform::qt
