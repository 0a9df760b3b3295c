#include "platform/qt/widgets/widget_family.h"

#include <map>
#include <utility>

#include <QAbstractButton>
#include <QFrame>
#include <QString>

#include "platform/qt/snapshot_model.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {

// The built-in families, each defined in its own file under widgets/.
const WidgetFamily& LabelWidgets();
const WidgetFamily& EntryWidgets();
const WidgetFamily& TextWidgets();
const WidgetFamily& ButtonWidgets();
const WidgetFamily& CheckWidgets();
const WidgetFamily& OptionWidgets();
const WidgetFamily& RadioWidgets();
const WidgetFamily& GroupWidgets();
const WidgetFamily& ComboWidgets();
const WidgetFamily& SpinWidgets();
const WidgetFamily& ListWidgets();
const WidgetFamily& SheetWidgets();
const WidgetFamily& TabWidgets();
const WidgetFamily& ImageWidgets();
const WidgetFamily& PanelWidgets();
const WidgetFamily& ShapeWidgets();
const WidgetFamily& ProgressWidgets();
const WidgetFamily& MenuWidgets();
const WidgetFamily& MenuItemWidgets();
const WidgetFamily& MenubarWidgets();

namespace {

// A type no family lists: an empty frame, so the control still has its place.
class PlainFamily final : public WidgetFamily {
 public:
  std::span<const ui::ControlType> types() const override { return {}; }
  QWidget* Make(WindowMirror& mirror, WidgetItem& /*item*/) const override {
    auto* w = MakeChild<QFrame>(mirror.client());
    w->setFrameStyle(QFrame::NoFrame);
    return w;
  }
};

struct FamilyRegistry {
  std::map<ui::ControlType, const WidgetFamily*> by_type;
  FamilyRegistry() {
    using Family = const WidgetFamily& (*)();
    constexpr Family kBuiltIn[] = {
        LabelWidgets,  EntryWidgets,    TextWidgets,  ButtonWidgets,   CheckWidgets,
        OptionWidgets, RadioWidgets,    GroupWidgets, ComboWidgets,    SpinWidgets,
        ListWidgets,   SheetWidgets,    TabWidgets,   ImageWidgets,    PanelWidgets,
        ShapeWidgets,  ProgressWidgets, MenuWidgets,  MenuItemWidgets, MenubarWidgets,
    };
    for (Family f : kBuiltIn) Add(f());
  }
  void Add(const WidgetFamily& family) {
    for (ui::ControlType t : family.types()) by_type[t] = &family;
  }
};

FamilyRegistry& Families() {
  static FamilyRegistry r;
  return r;
}

}  // namespace

void WidgetFamily::PushSnapshot(WindowMirror& /*mirror*/, WidgetItem& item,
                                std::shared_ptr<const ui::ListSnapshot> snapshot) const {
  item.model->SetSnapshot(std::move(snapshot));
}

void PostTyped(WindowMirror& mirror, ui::FieldId field, const QString& text) {
  if (mirror.applying()) return;
  ui::Input in;
  in.kind = ui::Input::Kind::kTyped;
  in.field = field;
  in.text = text.toStdString();
  mirror.Post(in);
}

void PostClicked(WindowMirror& mirror, ui::FieldId field) {
  if (mirror.applying()) return;
  ui::Input in;
  in.kind = ui::Input::Kind::kClick;
  in.field = field;
  in.key = ui::kMouseLeft;
  mirror.Post(in);
}

void PostChosen(WindowMirror& mirror, ui::FieldId field, int index) {
  if (mirror.applying() || index < 0) return;
  ui::Input in;
  in.kind = ui::Input::Kind::kSelectRow;
  in.field = field;
  in.row = index + 1;
  in.column = 1;
  in.key = ui::kMouseLeft;
  mirror.Post(in);
}

bool PressButton(WidgetItem& item, bool press) {
  if (press) {
    item.widget->setFocus(Qt::ShortcutFocusReason);
    static_cast<QAbstractButton*>(item.widget.data())->click();
  }
  return true;
}

void RegisterWidgetFamily(const WidgetFamily& family) { Families().Add(family); }

const WidgetFamily& WidgetFamilyOf(ui::ControlType type) {
  static const PlainFamily kPlain;
  const FamilyRegistry& r = Families();
  const auto it = r.by_type.find(type);
  return it != r.by_type.end() ? *it->second : kPlain;
}

}  // namespace platform::qt
