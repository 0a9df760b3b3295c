// Combos and drop lists: the entries come from the list's snapshot; a combo's text can be
// typed, a drop list shows the entry on screen or the one chosen last.
#include <QComboBox>
#include <QLineEdit>

#include "platform/qt/snapshot_model.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;

constexpr ControlType kTypes[] = {ControlType::kCombo, ControlType::kDropCombo,
                                  ControlType::kDropList};

bool IsDropList(const WidgetItem& item) { return item.view.type == ControlType::kDropList; }

// The entry on screen, else the one chosen last.
void ShowChosen(QComboBox& combo, const ui::ControlView& v) {
  const int index = combo.findText(Q(v.screen_text));
  combo.setCurrentIndex(index >= 0 ? index : v.selected - 1);
}

class ComboFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kTypes; }
  bool takes_buddy() const override { return true; }

  QWidget* Make(WindowMirror& mirror, WidgetItem& item) const override {
    auto* w = MakeChild<QComboBox>(mirror.client());
    item.model = MakeChild<SnapshotModel>(w);
    w->setModel(item.model);
    w->setEditable(!IsDropList(item));
    w->setInsertPolicy(QComboBox::NoInsert);
    const ui::FieldId field = item.view.field;
    QObject::connect(w, &QComboBox::activated, w,
                     [&mirror, field](int index) { PostChosen(mirror, field, index); });
    if (QLineEdit* edit = w->lineEdit()) {
      QObject::connect(edit, &QLineEdit::textEdited, w,
                       [&mirror, field](const QString& text) { PostTyped(mirror, field, text); });
      TagObject(edit, mirror.handle(), field);
    }
    return w;
  }

  void Apply(WindowMirror& /*mirror*/, WidgetItem& item, const QRect& /*rect*/) const override {
    if (IsDropList(item)) ShowChosen(*static_cast<QComboBox*>(item.widget.data()), item.view);
  }

  void ApplyScreenText(WindowMirror& /*mirror*/, WidgetItem& item) const override {
    auto* c = static_cast<QComboBox*>(item.widget.data());
    const QString text = Q(item.view.screen_text);
    if (!IsDropList(item)) {
      c->setEditText(text);
      return;
    }
    const int index = c->findText(text);
    if (index >= 0) c->setCurrentIndex(index);
  }

  void PushSnapshot(WindowMirror& /*mirror*/, WidgetItem& item,
                    std::shared_ptr<const ui::ListSnapshot> snapshot) const override {
    auto* combo = static_cast<QComboBox*>(item.widget.data());
    // Refilling the entries must not take away what the combo shows.
    const QString shown = combo->currentText();
    item.model->SetSnapshot(std::move(snapshot));
    if (combo->isEditable()) {
      combo->setEditText(shown);
    } else {
      ShowChosen(*combo, item.view);
    }
  }
};

}  // namespace

const WidgetFamily& ComboWidgets() {
  static const ComboFamily family;
  return family;
}

}  // namespace platform::qt
