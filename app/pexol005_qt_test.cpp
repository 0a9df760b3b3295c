// The query window and the query builder in the real program on the Qt display (offscreen
// platform): a result of 100,000 rows in the virtual list, scrolled to its end, and a
// connector edited in place by the builder's spin box over the condition list. With
// PEX_SCREENSHOT_DIR set (scripts/screenshot) it also writes pictures of both windows.
#include <functional>
#include <string>
#include <string_view>

#include <QAbstractItemModel>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "app/app_test_support.h"
#include "app/pexolind_main.h"
#include "app/procedures.h"
#include "app/query_window_test_support.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/odbc_sources.h"
#include "platform/testing/qt_user.h"

namespace app {
namespace {

using platform::qt::WindowMirror;
using platform::testing::OdbcBackend;
using platform::testing::OdbcSources;

// The spin box the builder creates when it opens: the field after its last declared one.
constexpr platform::ui::FieldId kConnectorSpin = 32;
constexpr int kResultRows = 100000;

class QueryWindowQtTest : public testing::ProgramTest {
 protected:
  void SetUp() override {
    ProgramTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(OdbcSources::Get().RunSql(
        OdbcBackend::kSqlite,
        {"DROP TABLE IF EXISTS big", "CREATE TABLE big (n INTEGER, label VARCHAR(40))",
         "INSERT INTO big (n, label) WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 "
         "FROM c WHERE x < 100000) SELECT x, 'row ' || x FROM c"}));
    ASSERT_TRUE(MakePeopleTable(OdbcBackend::kSqlite));
  }

  // Connects to the SQLite source through the connection window and opens the query window.
  static WindowMirror* OpenQueryWindow(platform::testing::QtUser& user) {
    WindowMirror* frame = user.Frame();
    if (frame == nullptr) return nullptr;
    user.ChooseMenu(*frame, "?PEXOLINDCHOOSEODBCCONNECTION");
    WindowMirror* connection = user.Window("Choose an ODB Cconnection");
    if (connection == nullptr ||
        !user.ClickRow(*connection, "?DataSourceList", 1, "pex_sqlite ", true)) {
      return nullptr;
    }
    user.ChooseMenu(*frame, "?PEXOLINDBROWSEODBCCONNECTION");
    return user.Window("Browse an ODBC connection");
  }

  static void TypeInto(platform::testing::QtUser& user, QWidget* widget, std::string_view text) {
    ASSERT_NE(widget, nullptr);
    const QString typed = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
      edit->setFocus();
      edit->selectAll();
      QTest::keyClicks(edit, typed);
    } else if (auto* line = widget->findChild<QLineEdit*>()) {
      line->setFocus();
      line->selectAll();
      QTest::keyClicks(line, typed);
    }
    user.Settle();
  }

  // With PEX_SCREENSHOT_DIR set (scripts/screenshot), writes a picture of the sub-window.
  static void Screenshot(WindowMirror& w, const char* file) {
    EXPECT_TRUE(platform::testing::QtUser::Screenshot(w.top(), file));
  }

  // Runs the program with `script` as the user; whatever the script leaves open is closed
  // afterwards, so the run ends even when a step fails.
  static void RunAsUser(platform::qt::QtBackend& display,
                        const std::function<void(platform::testing::QtUser&)>& script) {
    app::RegisterProcedures();
    app::RunProgram(display, [&](platform::ui::Runtime& runtime) {
      platform::testing::QtUser user(runtime, display);
      script(user);
      user.CloseProgram();
    });
  }
};

TEST_F(QueryWindowQtTest, AHundredThousandRowResultScrollsToItsEnd) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});

  RunAsUser(display, [&](platform::testing::QtUser& user) {
    WindowMirror* w = OpenQueryWindow(user);
    ASSERT_NE(w, nullptr);
    TypeInto(user, user.Widget(*w, "?Glo:Query"), "SELECT n, label FROM big ORDER BY n");
    TypeInto(user, user.Widget(*w, "?Loc:LimitNumberOfRecords"), std::to_string(kResultRows + 1));
    user.Click(*w, "?ExecuteQueryButton");

    QTableView* list = user.List(*w, "?List");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());  // the Results tab is chosen
    EXPECT_EQ(user.Rows(*w, "?List"), kResultRows);
    EXPECT_EQ(list->model()->headerData(0, Qt::Horizontal).toString().toStdString(), "n");
    EXPECT_EQ(list->model()->headerData(1, Qt::Horizontal).toString().toStdString(), "label");
    EXPECT_EQ(user.Cell(*w, "?List", 1, 2), "row 1");
    // The view asks only for the rows on screen: at the end it shows the last ones.
    list->scrollToBottom();
    user.Settle();
    EXPECT_EQ(list->verticalScrollBar()->value(), list->verticalScrollBar()->maximum());
    const QModelIndex last = list->indexAt(QPoint(4, list->viewport()->height() - 2));
    ASSERT_TRUE(last.isValid());
    EXPECT_GT(last.row(), kResultRows - 50);
    EXPECT_EQ(user.Cell(*w, "?List", kResultRows, 2), "row 100000");
    auto* count = qobject_cast<QLabel*>(user.Widget(*w, "?RecordCountString"));
    ASSERT_NE(count, nullptr);
    EXPECT_EQ(count->text().toStdString(), "100000");
    Screenshot(*w, "pexolind-query-window.png");

    user.Click(*w, "?CloseButton");
  });
}

// A value with line breaks shows on one line of its row, and a value wider than its column
// is clipped, never shortened with characters the data does not hold.
TEST_F(QueryWindowQtTest, ACellShowsOneLineAndClipsWhatDoesNotFit) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});
  const std::string wide(200, 'w');

  RunAsUser(display, [&](platform::testing::QtUser& user) {
    WindowMirror* w = OpenQueryWindow(user);
    ASSERT_NE(w, nullptr);
    TypeInto(user, user.Widget(*w, "?Glo:Query"),
             "SELECT 'first line' || char(10) || 'second' || char(13) || char(10) || 'third' "
             "AS lines, '" +
                 wide + "' AS wide, 'x' || char(9) || 'y' AS tab");
    user.Click(*w, "?ExecuteQueryButton");

    QTableView* list = user.List(*w, "?List");
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(user.Rows(*w, "?List"), 1);
    const QAbstractItemModel* model = list->model();
    EXPECT_EQ(model->data(model->index(0, 0)).toString().toStdString(), "first line second  third");
    EXPECT_EQ(model->data(model->index(0, 2)).toString().toStdString(), "x y");
    EXPECT_EQ(model->data(model->index(0, 1)).toString().toStdString(), wide);
    EXPECT_EQ(list->textElideMode(), Qt::ElideNone);
    EXPECT_LT(list->columnWidth(1),
              list->fontMetrics().horizontalAdvance(QString::fromStdString(wide)));
    // One line high, like every other row.
    EXPECT_EQ(list->rowHeight(0), list->verticalHeader()->defaultSectionSize());
    EXPECT_LT(list->rowHeight(0), 2 * list->fontMetrics().height());
    Screenshot(*w, "pexolind-query-multiline.png");

    user.Click(*w, "?CloseButton");
  });
}

// The connection's password, typed in the connection window, is masked where a failing
// query's message shows the connect string.
TEST_F(QueryWindowQtTest, AFailingQuerysMessageMasksThePassword) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});
  QString shown;
  display.SetDialogHook([&shown](QWidget& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    if (box == nullptr) return;
    shown = box->text();
    QTimer::singleShot(100, box, [box] {
      EXPECT_TRUE(platform::testing::QtUser::Screenshot(box, "pexolind-query-error.png"));
      box->button(QMessageBox::Ok)->click();
    });
  });

  RunAsUser(display, [&](platform::testing::QtUser& user) {
    WindowMirror* frame = user.Frame();
    ASSERT_NE(frame, nullptr);
    user.ChooseMenu(*frame, "?PEXOLINDCHOOSEODBCCONNECTION");
    WindowMirror* connection = user.Window("Choose an ODB Cconnection");
    ASSERT_NE(connection, nullptr);
    user.Type(*connection, "?DSNString", "pex_sqlite");
    user.Type(*connection, "?Username", "me");
    user.Type(*connection, "?Password", "secret");
    user.Click(*connection, "?ConnectButton");
    ASSERT_EQ(user.Window("Choose an ODB Cconnection"), nullptr);
    user.ChooseMenu(*frame, "?PEXOLINDBROWSEODBCCONNECTION");
    WindowMirror* w = user.Window("Browse an ODBC connection");
    ASSERT_NE(w, nullptr);
    TypeInto(user, user.Widget(*w, "?Glo:Query"), "SELECT * FROM no_such_table");
    user.Click(*w, "?ExecuteQueryButton");
    user.Settle();
    EXPECT_TRUE(shown.contains(QStringLiteral("Owner:DSN=pex_sqlite; UID=me; PWD=*****")))
        << shown.toStdString();
    EXPECT_FALSE(shown.contains(QStringLiteral("secret"))) << shown.toStdString();
    user.Click(*w, "?CloseButton");
  });
}

TEST_F(QueryWindowQtTest, TheBuildersSpinEditsAConnectorInPlace) {
  platform::qt::QtBackend display;
  display.SetProgramEndedHandler([] {});

  RunAsUser(display, [&](platform::testing::QtUser& user) {
    WindowMirror* w = OpenQueryWindow(user);
    ASSERT_NE(w, nullptr);
    user.Click(*w, "?QueryBuilderButton");
    WindowMirror* b = user.Window("Query builder");
    ASSERT_NE(b, nullptr);
    ASSERT_TRUE(user.ClickRow(*b, "?TableList", 1, "people"));
    ASSERT_TRUE(user.ClickRow(*b, "?ColumnList", 1, "name"));
    ASSERT_TRUE(user.ClickRow(*b, "?QBEFunctionList", 1, "is equal to (=)"));
    user.Type(*b, "?QBEValue", "x");
    EXPECT_EQ(user.Cell(*b, "?QBEList", 1, 1), "name is equal to (=) 'x'");
    // The strings that show the operator row's description and the chosen column.
    auto* description = qobject_cast<QLabel*>(user.Widget(*b, "?QFQ:Description"));
    ASSERT_NE(description, nullptr);
    EXPECT_EQ(description->text().toStdString(), "is equal to (=)");
    auto* column = qobject_cast<QLabel*>(user.Widget(*b, "?ColumnName"));
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->text().toStdString(), "name");
    Screenshot(*b, "pexolind-query-builder-condition.png");
    auto* combo = qobject_cast<QComboBox*>(user.Widget(*b, "?QFQ:SQLFunction"));
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText().toStdString(), "=");
    user.Click(*b, "?NewAndConditionButton");
    ASSERT_EQ(user.Rows(*b, "?QBEList"), 3);
    // A new column and operator must be chosen: neither list shows one chosen.
    EXPECT_TRUE(user.List(*b, "?ColumnList")->selectionModel()->selectedRows().empty());
    EXPECT_TRUE(user.List(*b, "?QBEFunctionList")->selectionModel()->selectedRows().empty());
    // The placeholder has no column and no operator, and the combo and the string show so.
    ASSERT_TRUE(user.ClickRow(*b, "?QBEList", 1, "???"));
    EXPECT_EQ(combo->currentText().toStdString(), "");
    EXPECT_EQ(column->text().toStdString(), "");
    ASSERT_TRUE(user.ClickRow(*b, "?QBEList", 1, "AND"));

    // The spin sits over the connector's cell.
    auto* spin = qobject_cast<QAbstractSpinBox*>(b->widget(kConnectorSpin));
    ASSERT_NE(spin, nullptr);
    EXPECT_TRUE(spin->isVisible());
    QTableView* list = user.List(*b, "?QBEList");
    ASSERT_NE(list, nullptr);
    const QRect cell = list->visualRect(list->model()->index(1, 0));
    const QPoint cell_at = list->viewport()->mapTo(spin->parentWidget(), cell.topLeft());
    EXPECT_EQ(spin->geometry().topLeft(), cell_at);
    EXPECT_EQ(spin->text().toStdString(), "AND");

    // The keys go where the program put the focus: to the spin, right after the click.
    user.PressKey(*b, Qt::Key_Up);
    EXPECT_EQ(QApplication::focusWidget(), spin);
    EXPECT_EQ(spin->text().toStdString(), "OR");
    Screenshot(*b, "pexolind-query-builder.png");
    QTest::keyClick(spin, Qt::Key_Return);
    user.Settle();
    EXPECT_EQ(user.Cell(*b, "?QBEList", 2, 1), "OR");
    EXPECT_FALSE(spin->isVisible());

    // The buttons with an icon show it and their whole text.
    for (const char* equate : {"?CancelButton", "?ExecuteButton"}) {
      SCOPED_TRACE(equate);
      auto* button = qobject_cast<QPushButton*>(user.Widget(*b, equate));
      ASSERT_NE(button, nullptr);
      EXPECT_FALSE(button->icon().isNull());
      const QString text = button->text().remove(QLatin1Char('&'));
      EXPECT_FALSE(text.startsWith(QLatin1Char(' ')));
      const int needed = button->fontMetrics().horizontalAdvance(text) +
                         button->iconSize().width() + 8;  // icon, gap and frame
      EXPECT_LE(needed, button->width()) << qPrintable(text);
    }
    EXPECT_EQ(qobject_cast<QPushButton*>(user.Widget(*b, "?CancelButton"))->text(),
              QStringLiteral("Cancel"));

    user.Click(*b, "?CancelButton");
    EXPECT_EQ(user.Window("Query builder"), nullptr);
    user.Click(*w, "?CloseButton");
  });
}

}  // namespace
}  // namespace app

// The application lives as long as the tests run and goes before the process's static
// objects do, as Qt wants it.
int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
