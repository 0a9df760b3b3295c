// Buttons: a click or the mnemonic presses them; the icon shows beside the caption, or fills
// the face of a button without one.
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>

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

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& rect) const override {
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
    // A flat or transparent button draws no face: what lies beneath it shows through.
    b->setFlat(Flag(props, Prop::Flat) || Flag(props, Prop::Trn));
    b->setIconSize(IconSize(*b, icon.size(), rect.size()));
  }

  // Beside a text the icon has the style's size. Without one the icon is the button's face:
  // as large as fits inside its frame, and never larger than the picture itself, so a small
  // button shows all of it rather than its middle.
  static QSize IconSize(const QPushButton& b, QSize picture, QSize button) {
    const int standard = b.style()->pixelMetric(QStyle::PM_ButtonIconSize, nullptr, &b);
    if (!b.text().isEmpty() || picture.isEmpty()) return QSize(standard, standard);
    QStyleOptionButton option;
    option.initFrom(&b);
    option.rect = QRect(QPoint(0, 0), button);
    if (b.isFlat()) option.features |= QStyleOptionButton::Flat;
    const QSize room = b.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &b).size();
    if (room.isEmpty()) return QSize(0, 0);
    return picture.scaled(room, Qt::KeepAspectRatio).boundedTo(picture);
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
