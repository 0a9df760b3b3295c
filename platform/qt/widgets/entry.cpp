// Entries: one line of text, kept within the byte size of its picture.
#include <QLineEdit>
#include <QValidator>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::Prop;

constexpr ControlType kTypes[] = {ControlType::kEntry};

// Keeps an entry's text within its picture's size in bytes of UTF-8, cutting a paste or a
// typed character that would not fit; a character is never split.
class ByteLimit final : public QValidator {
 public:
  explicit ByteLimit(QObject* parent) : QValidator(parent) {}
  void set_bytes(int bytes) { bytes_ = bytes; }

  State validate(QString& input, int& /*pos*/) const override {
    return bytes_ <= 0 || input.toUtf8().size() <= bytes_ ? Acceptable : Invalid;
  }
  void fixup(QString& input) const override {
    while (bytes_ > 0 && input.toUtf8().size() > bytes_) input.chop(1);
  }

 private:
  int bytes_ = 0;
};

class EntryFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  bool takes_buddy() const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QLineEdit>(mirror.client());
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QLineEdit::textEdited, w,
                     [&mirror, field](const QString& text) { PostTyped(mirror, field, text); });
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    auto* e = static_cast<QLineEdit*>(item.widget.data());
    const auto& props = item.view.properties;
    const std::string picture = PropOf(props, Prop::Picture);
    // "@s20": at most 20 bytes of UTF-8, as the variable holds; "@n": numbers stand on the
    // right.
    if (picture.size() > 2 && (picture[1] == 's' || picture[1] == 'S')) {
      const int n = static_cast<int>(TextToNumber(picture.substr(2)));
      auto* limit = e->findChild<ByteLimit*>(QString(), Qt::FindDirectChildrenOnly);
      if (n > 0 && limit == nullptr) {
        limit = MakeChild<ByteLimit>(e);
        e->setValidator(limit);
      }
      if (limit != nullptr) limit->set_bytes(n);
    }
    if (picture.size() > 1 && (picture[1] == 'n' || picture[1] == 'N')) {
      e->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    e->setEchoMode(Flag(props, Prop::Password) ? QLineEdit::Password : QLineEdit::Normal);
    e->setReadOnly(Flag(props, Prop::ReadOnly));
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    static_cast<QLineEdit*>(item.widget.data())->setText(Q(item.view.screen_text));
  }
};

}  // namespace

const WidgetFamily& EntryWidgets() {
  static const EntryFamily family;
  return family;
}

}  // namespace platform::qt
