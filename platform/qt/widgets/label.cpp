// Prompts and strings: plain-text labels. A prompt's mnemonic takes the focus to the next
// control that can have it; a string that shows a variable shows the variable's text.
#include <QLabel>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kPrompt, ControlType::kString};

// A label shows "&" only as the mark of its mnemonic when it has a buddy.
QString WithoutMnemonic(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
  return text;
}

class LabelFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }

  bool Windowless(const WidgetItem& /*item*/) const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    auto* w = MakeChild<QLabel>(mirror.client());
    w->setTextFormat(Qt::PlainText);
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    const ui::ControlView& v = item.view;
    auto* l = static_cast<QLabel*>(item.widget.data());
    // Drawn on the window's surface: the mouse reaches what lies beneath (a region, and its
    // cursor), unless the label has a tip to show.
    l->setAttribute(Qt::WA_TransparentForMouseEvents, PropOf(v.properties, Prop::Tip).empty());
    // A string that shows a variable (USE) shows the variable's text, which the program set
    // as its screen text; a prompt or a plain string shows its own text.
    const bool shows_variable = v.type == ControlType::kString && v.screen_serial != 0;
    const QString caption = Q(shows_variable ? v.screen_text : v.text);
    if (v.type == ControlType::kPrompt && l->buddy() != nullptr) {
      l->setTextFormat(Qt::PlainText);
      l->setText(caption);
    } else {
      l->setText(WithoutMnemonic(caption));
    }
    const char align = PropOf(v.properties, Prop::Right).empty()
                           ? (PropOf(v.properties, Prop::Center).empty() ? 'L' : 'C')
                           : 'R';
    l->setAlignment((align == 'R'   ? Qt::AlignRight
                     : align == 'C' ? Qt::AlignHCenter
                                    : Qt::AlignLeft) |
                    Qt::AlignVCenter);
  }

  bool NamesBuddy(const WidgetItem& item) const override {
    return item.view.type == ControlType::kPrompt;
  }
  void SetBuddy(WidgetItem& item, QWidget* buddy) const override {
    auto* label = static_cast<QLabel*>(item.widget.data());
    label->setBuddy(buddy);
    label->setText(Q(item.view.text));
  }

  bool PressMnemonic(WindowMirror& /*mirror*/, WidgetItem& item, bool press) const override {
    QWidget* buddy = static_cast<QLabel*>(item.widget.data())->buddy();
    if (buddy == nullptr) return false;
    if (press) buddy->setFocus(Qt::ShortcutFocusReason);
    return true;
  }
};

}  // namespace

const WidgetFamily& LabelWidgets() {
  static const LabelFamily family;
  return family;
}

}  // namespace platform::qt
