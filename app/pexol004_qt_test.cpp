// The dictionary window in the real program on the Qt display (offscreen platform): a user
// connects to the sample database through the connection window, opens the dictionary
// window from the menu, picks a table and writes a TXD file, all through the widgets.
#include <filesystem>
#include <string>
#include <vector>

#include <QApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTableView>
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/pexolind_main.h"
#include "app/procedures.h"
#include "platform/core/process.h"
#include "platform/qt/qt_backend.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/qt_user.h"
#include "platform/testing/sample_database.h"

namespace app {
namespace {

using platform::qt::WindowMirror;
using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;

class DictionaryWindowQtTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(platform::testing::LoadSampleDatabase(OdbcBackend::kSqlite));
  }
};

TEST_F(DictionaryWindowQtTest, ConnectsOpensTheDictionaryAndWritesATxd) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});
  platform::ProcessRecorder recorder;
  const std::filesystem::path out = dir() / "sample.txd";

  // The user's steps; whatever they leave open is closed afterwards, so the run ends even
  // when a step fails.
  auto script = [&](platform::testing::QtUser& user) {
    WindowMirror* frame = user.Frame();
    ASSERT_NE(frame, nullptr);

    user.PressKey(*frame, Qt::Key_F2);
    WindowMirror* connection = user.Window("Choose an ODB Cconnection");
    ASSERT_NE(connection, nullptr);
    // A double click on the data source connects at once.
    ASSERT_TRUE(user.ClickRow(*connection, "?DataSourceList", 1, "pex_sqlite ", true));
    EXPECT_EQ(user.Window("Choose an ODB Cconnection"), nullptr);

    user.PressKey(*frame, Qt::Key_F4);
    WindowMirror* w = user.Window("Pexolind");
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(user.Rows(*w, "?TableList"), 11);
    // The first table is the chosen one, and the list shows it so.
    QTableView* tables = user.List(*w, "?TableList");
    ASSERT_NE(tables, nullptr);
    EXPECT_TRUE(tables->selectionModel()->isRowSelected(0, QModelIndex()));
    EXPECT_EQ(tables->selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(qobject_cast<QLineEdit*>(user.Widget(*w, "?Tablename"))->text().toStdString(),
              user.Cell(*w, "?TableList", 1, 3));
    ASSERT_TRUE(user.ClickRow(*w, "?TableList", 3, "Orders"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(user.Widget(*w, "?Tablename"))->text().toStdString(),
              "Orders");
    // The frame made large enough to show the whole window, as a user would drag it.
    frame->top()->resize(w->top()->frameSize() + QSize(40, 120));
    w->top()->move(0, 0);
    user.Settle();
    EXPECT_TRUE(platform::testing::QtUser::Screenshot(frame->top(), "pexolind-dictionary.png"));
    user.Click(*w, "?ColumnsTab");
    EXPECT_EQ(user.Rows(*w, "?columnlist"), 8);
    EXPECT_EQ(user.Cell(*w, "?columnlist", 1, 4), "OrderID");
    EXPECT_TRUE(user.List(*w, "?columnlist")->isVisible());
    EXPECT_FALSE(user.List(*w, "?TableList")->isVisible());
    EXPECT_TRUE(
        platform::testing::QtUser::Screenshot(frame->top(), "pexolind-dictionary-columns.png"));

    user.Type(*w, "?Glo:TXDFilename", out.string());
    user.Type(*w, "?Glo:Driver", "ORACLE");
    user.Click(*w, "?Glo:NoRelations");  // unticked: the relations are written
    // Alt+W is the window's "&Write Clarion TXD", not the frame's "&Window" menu.
    user.PressKey(*w, Qt::Key_W, Qt::AltModifier);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(std::filesystem::exists(out));
    EXPECT_EQ(qobject_cast<QLineEdit*>(user.Widget(*w, "?Glo:TXDFilename"))->text().toStdString(),
              out.string());
    // The list shows the tables as read again after the export.
    EXPECT_EQ(user.Rows(*w, "?TableList"), 11);

    user.Click(*w, "?CloseButton");
    EXPECT_EQ(user.Window("Pexolind"), nullptr);

    // With no child open, Alt+W opens the frame's Window menu.
    user.PressKey(*frame, Qt::Key_W, Qt::AltModifier);
    QWidget* popup = QApplication::activePopupWidget();
    EXPECT_NE(popup, nullptr);
    EXPECT_EQ(popup, frame->menu(-18));
    if (popup != nullptr) popup->close();
    user.Settle();
  };
  app::RegisterProcedures();
  app::RunProgram(display, [&](platform::ui::Runtime& runtime) {
    platform::testing::QtUser user(runtime, display);
    script(user);
    user.CloseProgram();
  });

  const std::string text = ReadFile(out);
  EXPECT_NE(text.find("ORDERS FILE,DRIVER('ORACLE'"), std::string::npos) << text.substr(0, 2000);
  EXPECT_NE(text.find("[RELATIONS]"), std::string::npos);
  ASSERT_EQ(recorder.calls().size(), 1u);
  EXPECT_EQ(recorder.calls()[0].args, std::vector<std::string>{out.string()});
}

// Three children together larger than the screen: tiling and cascading arrange them inside
// the frame as it is, which stays on the screen, and each child scrolls to its Close button.
using FrameQtTest = testing::ProgramTest;

TEST_F(FrameQtTest, TilingThreeChildrenKeepsTheFrameOnTheScreen) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});

  auto script = [&](platform::testing::QtUser& user) {
    WindowMirror* frame = user.Frame();
    ASSERT_NE(frame, nullptr);
    const QRect screen = frame->top()->screen()->availableGeometry();
    user.PressKey(*frame, Qt::Key_F2);
    WindowMirror* connection = user.Window("Choose an ODB Cconnection");
    ASSERT_NE(connection, nullptr);
    ASSERT_TRUE(user.ClickRow(*connection, "?DataSourceList", 1, "pex_sqlite ", true));
    for (int key : {Qt::Key_F4, Qt::Key_F3, Qt::Key_F3}) {
      user.PressKey(*frame, key);
      EXPECT_TRUE(screen.contains(frame->top()->frameGeometry()));
    }
    QMdiArea* area = frame->mdi_area();
    ASSERT_EQ(area->subWindowList().size(), 3);
    int declared_width = 0;
    for (QMdiSubWindow* sub : area->subWindowList()) declared_width += sub->width();
    ASSERT_GT(declared_width, screen.width());

    for (const char* arrange : {"?TILE", "?CASCADE"}) {
      SCOPED_TRACE(arrange);
      const QSize before = frame->top()->size();
      user.ChooseMenu(*frame, arrange);
      EXPECT_EQ(frame->top()->size(), before);
      EXPECT_TRUE(screen.contains(frame->top()->frameGeometry()))
          << frame->top()->width() << "x" << frame->top()->height();
      for (QMdiSubWindow* sub : area->subWindowList()) {
        SCOPED_TRACE(sub->windowTitle().toStdString());
        EXPECT_TRUE(area->viewport()->rect().contains(sub->geometry()));
        auto* scroll = qobject_cast<QScrollArea*>(sub->widget());
        ASSERT_NE(scroll, nullptr);
        QPushButton* close = nullptr;
        for (QPushButton* b : scroll->findChildren<QPushButton*>()) {
          if (b->text() == QStringLiteral("&Close")) close = b;
        }
        ASSERT_NE(close, nullptr);
        scroll->ensureWidgetVisible(close, 0, 0);
        user.Settle();
        const QRect shown(close->mapTo(scroll->viewport(), QPoint(0, 0)), close->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(shown));
      }
    }
  };
  app::RegisterProcedures();
  app::RunProgram(display, [&](platform::ui::Runtime& runtime) {
    platform::testing::QtUser user(runtime, display);
    script(user);
    user.CloseProgram();
  });
}

}  // namespace
}  // namespace app
