// Check boxes: a click toggles them through the runtime, which sends the new state back.
#include <QCheckBox>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kCheck};

class CheckFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QCheckBox>(mirror.client());
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QCheckBox::clicked, w, [&mirror, field] { PostClicked(mirror, field); });
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QCheckBox*>(item.widget.data())->setText(Q(item.view.text));
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    static_cast<QCheckBox*>(item.widget.data())
        ->setChecked(TextToNumber(item.view.screen_text) != 0);
  }

  bool PressMnemonic(WindowMirror& /*mirror*/, WidgetItem& item, bool press) const override {
    return PressButton(item, press);
  }
};

}  // namespace

const WidgetFamily& CheckWidgets() {
  static const CheckFamily family;
  return family;
}

}  // namespace platform::qt
