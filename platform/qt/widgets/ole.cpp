// OLE controls: no widget. The object a control holds shows what it shows itself (the agent's
// characters go to the backend's character display), so the control has no face on the form.
#include "platform/qt/widgets/widget_family.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kOle};

class OleFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  QWidget* Make(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const override { return nullptr; }
};

}  // namespace

const WidgetFamily& OleWidgets() {
  static const OleFamily family;
  return family;
}

}  // namespace platform::qt
