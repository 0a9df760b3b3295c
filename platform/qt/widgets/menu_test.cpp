// The frame's menu bar on Qt's offscreen platform follows the program: a menu hidden leaves
// the bar and comes back in its place when shown again; a hidden item leaves its menu, a
// disabled one stays greyed, and the separators stay where they were declared.
#include <QAction>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using ui::Prop;

constexpr ui::ControlDecl kControls[] = {
    ui::Menubar(),
    ui::Menu("?File", "&File"),
    ui::Item("?Open", "&Open", "?File"),
    ui::Separator("?File"),
    ui::Item("?Exit", "E&xit", "?File"),
    ui::Menu("?Edit", "&Edit"),
    ui::Item("?Copy", "&Copy", "?Edit"),
    ui::Menu("?Help", "&Help"),
    ui::Item("?About", "&About", "?Help"),
};
constexpr ui::WindowStructure kFrame{"test$menus", "Frame",          ui::WindowKind::kFrame,
                                     "Menus",      {0, 0, 200, 100}, kControls};
constexpr ui::FieldId kEdit = kFrame.Equate("?Edit");
constexpr ui::FieldId kOpen = kFrame.Equate("?Open");
constexpr ui::FieldId kExit = kFrame.Equate("?Exit");

// Each event sets one property of one entry, as the program does.
struct Change {
  ui::EventId event;
  ui::FieldId field;
  Prop prop;
  const char* value;
};
constexpr Change kChanges[] = {
    {0x500, kEdit, Prop::Hide, "1"},    {0x501, kEdit, Prop::Hide, ""},
    {0x502, kOpen, Prop::Hide, "1"},    {0x503, kOpen, Prop::Hide, ""},
    {0x504, kExit, Prop::Disable, "1"}, {0x505, kExit, Prop::Disable, ""},
};

// The texts the user sees in `actions`, in order: "-" for a separator, "(off)" after a
// disabled entry.
std::vector<std::string> Shown(const QList<QAction*>& actions) {
  std::vector<std::string> out;
  for (const QAction* a : actions) {
    if (!a->isVisible()) continue;
    if (a->isSeparator()) {
      out.push_back("-");
      continue;
    }
    out.push_back(a->text().toStdString() + (a->isEnabled() ? "" : " (off)"));
  }
  return out;
}

TEST(MenuWidgets, TheMenuBarFollowsHideAndDisableOfItsEntries) {
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  runtime.StartMain([] {
    ui::Window window(kFrame);
    window.Open();
    while (window.Accept()) {
      for (const Change& c : kChanges) {
        if (ui::Event() == c.event) ui::SetProp(c.field, c.prop, c.value);
      }
    }
  });
  Settle(runtime);
  WindowMirror* m = display.Mirror(display.FindWindow("Menus"));
  ASSERT_NE(m, nullptr);
  QMenuBar* bar = qobject_cast<QMainWindow*>(m->top())->menuBar();
  ASSERT_NE(bar, nullptr);
  QMenu* file = m->menu(kFrame.Equate("?File"));
  ASSERT_NE(file, nullptr);
  // The menus the bar lays out, so the user can reach them.
  const auto on_bar = [bar] {
    std::vector<std::string> out;
    for (QAction* a : bar->actions()) {
      if (!bar->actionGeometry(a).isEmpty()) out.push_back(a->text().toStdString());
    }
    return out;
  };
  const std::vector<std::string> kAllMenus = {"&File", "&Edit", "&Help"};
  const std::vector<std::string> kAllItems = {"&Open", "-", "E&xit"};
  ASSERT_EQ(Shown(bar->actions()), kAllMenus);
  ASSERT_EQ(on_bar(), kAllMenus);
  ASSERT_EQ(Shown(file->actions()), kAllItems);

  struct Step {
    ui::EventId event;
    std::vector<std::string> menus;
    std::vector<std::string> items;
  };
  const Step kSteps[] = {
      {0x500, {"&File", "&Help"}, kAllItems},
      {0x501, kAllMenus, kAllItems},
      {0x502, kAllMenus, {"-", "E&xit"}},
      {0x503, kAllMenus, kAllItems},
      {0x504, kAllMenus, {"&Open", "-", "E&xit (off)"}},
      {0x505, kAllMenus, kAllItems},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.event);
    ui::PostToWindow(m->handle(), step.event);
    Settle(runtime);
    EXPECT_EQ(Shown(bar->actions()), step.menus);
    EXPECT_EQ(on_bar(), step.menus);
    EXPECT_EQ(Shown(file->actions()), step.items);
  }

  m->CloseBoxPressed();
  Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace platform::qt
