// Menus and menu items: they live in the window's menu bar, which the mirror builds from the
// window's structure; an item's click goes to the runtime.
#include <QAction>
#include <QMenu>

#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/widgets/widget_support.h"
#include "platform/qt/window_mirror.h"

namespace platform::qt {
namespace {

using ui::ControlType;
using ui::FieldId;

constexpr ControlType kMenuTypes[] = {ControlType::kMenu};
constexpr ControlType kItemTypes[] = {ControlType::kItem};
constexpr ControlType kMenubarTypes[] = {ControlType::kMenubar};

class MenuFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kMenuTypes; }
  bool menu_entry() const override { return true; }

  QWidget* Make(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const override { return nullptr; }
  void MakeMenuEntry(WindowMirror& mirror, WidgetItem& item, QWidget* owner) const override {
    auto* m = MakeChild<QMenu>(owner);
    owner->addAction(m->menuAction());
    item.menu = m;
    item.action = m->menuAction();
    TagObject(m, mirror.handle(), item.view.field);
  }
};

class MenuItemFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kItemTypes; }
  bool menu_entry() const override { return true; }

  QWidget* Make(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const override { return nullptr; }
  void MakeMenuEntry(WindowMirror& mirror, WidgetItem& item, QWidget* owner) const override {
    auto* a = MakeChild<QAction>(owner);
    owner->addAction(a);
    item.action = a;
    const FieldId field = item.view.field;
    QObject::connect(a, &QAction::triggered, a, [&mirror, field] {
      if (mirror.applying()) return;
      ui::Input in;
      in.kind = ui::Input::Kind::kClick;
      in.field = field;
      mirror.Post(in);
    });
  }
};

// The bar itself is the mirror's; its control has no widget.
class MenubarFamily final : public WidgetFamily {
 public:
  std::span<const ControlType> types() const override { return kMenubarTypes; }
  bool built_with_menus() const override { return true; }

  QWidget* Make(WindowMirror& /*mirror*/, WidgetItem& /*item*/) const override { return nullptr; }
};

}  // namespace

const WidgetFamily& MenuWidgets() {
  static const MenuFamily family;
  return family;
}

const WidgetFamily& MenuItemWidgets() {
  static const MenuItemFamily family;
  return family;
}

const WidgetFamily& MenubarWidgets() {
  static const MenubarFamily family;
  return family;
}

}  // namespace platform::qt
