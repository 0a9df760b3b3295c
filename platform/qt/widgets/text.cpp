// Text controls: several lines of plain text.
#include <QPlainTextEdit>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kText};

class TextFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  bool takes_buddy() const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QPlainTextEdit>(mirror.client());
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QPlainTextEdit::textChanged, w,
                     [&mirror, w, field] { PostTyped(mirror, field, w->toPlainText()); });
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    static_cast<QPlainTextEdit*>(item.widget.data())
        ->setReadOnly(Flag(item.view.properties, ui::Prop::ReadOnly));
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    auto* t = static_cast<QPlainTextEdit*>(item.widget.data());
    const QString text = Q(item.view.screen_text);
    if (t->toPlainText() != text) t->setPlainText(text);
  }
};

}  // namespace

const WidgetFamily& TextWidgets() {
  static const TextFamily family;
  return family;
}

}  // namespace platform::qt
