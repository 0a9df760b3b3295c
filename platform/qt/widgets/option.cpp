// Options and their radios: the option's screen text is the Value of the radio that is on,
// and the radios show that value, not Qt's own exclusivity.
#include <QGroupBox>
#include <QRadioButton>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;
using ui::Prop;

constexpr ControlType kOptionTypes[] = {ControlType::kOption};
constexpr ControlType kRadioTypes[] = {ControlType::kRadio};

// Shows the radios of `option` with the one whose value is `value` chosen.
void CheckRadios(WindowMirror& mirror, FieldId option, const std::string& value) {
  for (const auto& [f, item] : mirror.items()) {
    if (item->view.type != ControlType::kRadio || item->view.parent != option || !item->widget) {
      continue;
    }
    static_cast<QAbstractButton*>(item->widget.data())
        ->setChecked(PropOf(item->view.properties, Prop::Value) == value);
  }
}

class OptionFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kOptionTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    return MakeChild<QGroupBox>(mirror.client());
  }
  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QGroupBox*>(item.widget.data())->setTitle(Q(item.view.text));
  }
  void ApplyScreenText(WindowMirror& mirror, WidgetItem& item) const override {
    CheckRadios(mirror, item.view.field, item.view.screen_text);
  }
  bool LiesUnder(const WidgetItem& /*item*/) const override { return true; }
};

class RadioFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kRadioTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QRadioButton>(mirror.client());
    w->setAutoExclusive(false);  // the option's value decides which radio is on
    const FieldId field = item.view.field;
    const FieldId option = item.view.parent;
    const std::string value = PropOf(item.view.properties, Prop::Value);
    QObject::connect(w, &QRadioButton::clicked, w, [&mirror, field, option, value] {
      PostClicked(mirror, field);
      // The choice shows at once, as the runtime puts the radio's value in its option.
      CheckRadios(mirror, option, value);
    });
    return w;
  }
  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QRadioButton*>(item.widget.data())->setText(Q(item.view.text));
  }
  void Created(WindowMirror& mirror, WidgetItem& item) const override {
    if (const WidgetItem* option = mirror.Find(item.view.parent);
        option && option->view.type == ControlType::kOption) {
      CheckRadios(mirror, item.view.parent, option->view.screen_text);
    }
  }
  bool PressMnemonic(WindowMirror& /*mirror*/, WidgetItem& item, bool press) const override {
    return PressButton(item, press);
  }
};

}  // namespace

const WidgetFamily& OptionWidgets() {
  static const OptionFamily family;
  return family;
}

const WidgetFamily& RadioWidgets() {
  static const RadioFamily family;
  return family;
}

}  // namespace platform::qt
