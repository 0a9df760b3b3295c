// Buttons: a click or the mnemonic presses them; the icon shows beside the caption.
#include <QPushButton>

#include "platform/qt/stored_style.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kButton};

class ButtonFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QPushButton>(mirror.client());
    w->setAutoDefault(false);
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QPushButton::clicked, w, [&mirror, field] { PostClicked(mirror, field); });
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    auto* b = static_cast<QPushButton*>(item.widget.data());
    const auto& props = item.view.properties;
    const QString caption = Q(item.view.text);
    // Qt centres icon and text as one block: blanks in front, which made room for an icon
    // elsewhere, would only push the text out of the button.
    qsizetype blanks = 0;
    while (blanks < caption.size() && caption[blanks] == QLatin1Char(' ')) ++blanks;
    b->setText(caption.mid(blanks));
    const QPixmap icon = LoadPicture(PropOf(props, Prop::Icon));
    b->setIcon(icon.isNull() ? QIcon() : QIcon(icon));
    b->setDefault(Flag(props, Prop::Default));
  }

  bool PressMnemonic(WindowMirror& /*mirror*/, WidgetItem& item, bool press) const override {
    return PressButton(item, press);
  }
};

}  // namespace

const WidgetFamily& ButtonWidgets() {
  static const ButtonFamily family;
  return family;
}

}  // namespace platform::qt
