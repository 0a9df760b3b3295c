// The program's highlight of a menu-bar entry on Qt's offscreen platform: the entry shows the
// highlight colour without its menu opening, and loses it again when the highlight is removed.
#include "platform/qt/menu_bar_hilite.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/pixel_probe.h"
#include "platform/ui/desktop.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

using testing::Shows;

constexpr ui::ControlDecl kControls[] = {
    ui::Menubar(),
    ui::Menu("?File", "&File"),
    ui::Item("?Open", "&Open", "?File"),
    ui::Menu("?Edit", "&Edit"),
    ui::Item("?Copy", "&Copy", "?Edit"),
};
constexpr ui::WindowStructure kFrame{"test$hilite", "Frame",          ui::WindowKind::kFrame,
                                     "Frame",       {0, 0, 200, 100}, kControls};
constexpr ui::EventId kHilite = 0x500;
constexpr ui::EventId kUnhilite = 0x501;

TEST(MenuBarHilite, TheProgramHighlightsAMenuBarEntryWithoutOpeningIt) {
  QtBackend display;
  display.SetProgramEndedHandler([] {});
  ui::Runtime runtime{display};
  runtime.StartMain([] {
    ui::Window window(kFrame);
    window.Open();
    while (window.Accept()) {
      const ui::MenuHandle bar = ui::GetMenu(window.handle());
      if (ui::Event() == kHilite) {
        ui::HiliteMenuItem(window.handle(), bar, 1, ui::kMfByPosition | ui::kMfHilite);
      }
      if (ui::Event() == kUnhilite) {
        ui::HiliteMenuItem(window.handle(), bar, 1, ui::kMfByPosition | ui::kMfUnhilite);
      }
    }
  });
  Settle(runtime);
  WindowMirror* m = display.Mirror(display.FindWindow("Frame"));
  ASSERT_NE(m, nullptr);
  QMenuBar* bar = qobject_cast<QMainWindow*>(m->top())->menuBar();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 2);
  const QRect file = bar->actionGeometry(bar->actions()[0]);
  const QRect edit = bar->actionGeometry(bar->actions()[1]);
  const QColor highlight = bar->palette().color(QPalette::Highlight);
  ASSERT_FALSE(Shows(bar->grab().toImage(), edit, highlight));

  struct Step {
    const char* what;
    ui::EventId event;
    int64_t shown;
    bool edit_highlighted;
  };
  const Step kSteps[] = {
      {"highlighted", kHilite, 2, true},
      {"removed", kUnhilite, 0, false},
  };
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.what);
    ui::PostToWindow(m->handle(), step.event);
    Settle(runtime);
    EXPECT_EQ(MenuBarHilite(*bar), step.shown);
    const QImage shown = bar->grab().toImage();
    EXPECT_EQ(Shows(shown, edit, highlight), step.edit_highlighted);
    EXPECT_FALSE(Shows(shown, file, highlight));
    // The menu stays closed, and the bar has no entry of its own under the mouse.
    EXPECT_FALSE(m->menu(kFrame.Equate("?Edit"))->isVisible());
    EXPECT_EQ(bar->activeAction(), nullptr);
  }

  m->CloseBoxPressed();
  Settle(runtime);
  runtime.Join();
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace platform::qt
