// The Qt backend on Qt's offscreen platform: the gallery's sample windows are built, driven
// with real Qt input events (QTest), and the runtime events that reach the windows' loops
// are checked.
#include "platform/qt/qt_backend.h"

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <gtest/gtest.h>

#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/qt/settle.h"
#include "platform/qt/snapshot_model.h"
#include "platform/qt/stored_style.h"
#include "platform/qt/widgets/widget_family.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/gallery.h"
#include "platform/testing/pixel_probe.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::qt {
namespace {

namespace gallery = platform::testing::gallery;
using gallery::kConnectionWindow;
using gallery::kFrameWindow;
using gallery::kOptionsWindow;
using gallery::kTablesWindow;
using ui::FieldId;

constexpr FieldId kUsername = kConnectionWindow.Equate("?Username");
constexpr FieldId kPassword = kConnectionWindow.Equate("?Password");
constexpr FieldId kConnectButton = kConnectionWindow.Equate("?ConnectButton");
constexpr FieldId kTableList = kTablesWindow.Equate("?TableList");
constexpr FieldId kRefreshButton = kTablesWindow.Equate("?RefreshButton");
constexpr FieldId kCellEdit = kTablesWindow.Equate("?CellEdit");
constexpr FieldId kFileNew = kFrameWindow.Equate("?FileNew");
constexpr FieldId kSheet = kOptionsWindow.Equate("?Sheet");
constexpr FieldId kRowCount = kOptionsWindow.Equate("?RowCount");
constexpr FieldId kIndent = kOptionsWindow.Equate("?Indent");
constexpr FieldId kSeparator = kOptionsWindow.Equate("?Separator");
constexpr FieldId kPages = kOptionsWindow.Equate("?Pages");

// The lines of `log` that start with `prefix`.
std::vector<std::string> Lines(const testing::Log& log, std::string_view prefix) {
  std::vector<std::string> out;
  for (const std::string& l : log.lines()) {
    if (l.rfind(prefix, 0) == 0) out.push_back(l);
  }
  return out;
}

// The tab strip of a sheet: its own, not a nested sheet's.
QTabBar* TabStrip(const WindowMirror& m, FieldId sheet) {
  QTabBar* bar = m.widget(sheet)->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly);
  EXPECT_NE(bar, nullptr);
  if (bar == nullptr) std::abort();
  return bar;
}

class QtBackendTest : public ::testing::Test {
 protected:
  // Declared in the order they are built: the runtime joins its threads before the display
  // goes away.
  QtBackend display;
  ui::Runtime runtime{display};
  testing::Log log;

  void SetUp() override {
    gallery::SetEventLog([this](std::string line) { log.Add(std::move(line)); });
    display.SetProgramEndedHandler([] {});
  }

  void TearDown() override {
    // The frame's close box closes its children; plain windows close by their own.
    if (WindowMirror* frame = display.frame()) frame->CloseBoxPressed();
    for (ui::WindowHandle h : display.Windows()) {
      if (WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
    }
    Settle();
    runtime.Join();
    QCoreApplication::sendPostedEvents();
    gallery::SetEventLog({});
    gallery::SetTableRows(0);
  }

  void Settle() { platform::qt::Settle(runtime); }

  // Starts the frame with `children` and answers the mirror of the window titled `title`.
  WindowMirror& Start(std::vector<ui::Procedure> children, std::string_view title) {
    runtime.StartMain([children] { gallery::FrameProcedure(children); });
    return Find(title);
  }
  WindowMirror& Find(std::string_view title) {
    Settle();
    WindowMirror* m = display.Mirror(display.FindWindow(title));
    EXPECT_NE(m, nullptr) << title;
    if (m == nullptr) std::abort();
    return *m;
  }

  // Makes the window the active one, so the focus and keys go to it.
  void Activate(WindowMirror& m) {
    QWidget* window = m.top()->window();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    Settle();
  }

  // Puts the focus in `w` and forgets the events it caused.
  void FocusIn(WindowMirror& m, QWidget* w) {
    Activate(m);
    w->setFocus(Qt::OtherFocusReason);
    Settle();
    log.Clear();
  }

  QPoint CellCenter(QTableView* list, int row, int column) {
    return list->visualRect(list->model()->index(row, column)).center();
  }
};

TEST_F(QtBackendTest, EveryControlTypeBecomesItsWidget) {
  WindowMirror& frame =
      Start({gallery::ConnectionProcedure, gallery::TablesProcedure, gallery::OptionsProcedure},
            "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  WindowMirror& tables = Find("Tables");
  WindowMirror& options = Find("Options");
  EXPECT_NE(qobject_cast<QMainWindow*>(frame.top()), nullptr);
  EXPECT_NE(qobject_cast<QMdiSubWindow*>(connection.top()), nullptr);
  EXPECT_EQ(frame.mdi_area()->subWindowList().size(), 2);
  EXPECT_TRUE(options.top()->isWindow());

  struct Case {
    WindowMirror* window;
    std::string_view equate;
    const char* qt_class;
  };
  const ui::WindowStructure* structures[] = {&kConnectionWindow, &kTablesWindow, &kOptionsWindow};
  const Case kCases[] = {
      {&connection, "?Source:Prompt", "QLabel"},
      {&connection, "?Source", "QComboBox"},
      {&connection, "?Username", "QLineEdit"},
      {&connection, "?Driver", "QComboBox"},
      {&connection, "?SavePassword", "QCheckBox"},
      {&connection, "?ConnectButton", "QPushButton"},
      {&tables, "?Count", "QLabel"},
      {&tables, "?TableList", "QTableView"},
      {&options, "?Sheet", "QWidget"},
      {&options, "?RowCount", "QAbstractSpinBox"},
      {&options, "?Month", "QAbstractSpinBox"},
      {&options, "?Notes", "QPlainTextEdit"},
      {&options, "?InnerSheet", "QWidget"},
      {&options, "?Separator", "QComboBox"},
      {&options, "?Pages", "QWidget"},
      {&options, "?Align", "QGroupBox"},
      {&options, "?AlignLeft", "QRadioButton"},
      {&options, "?Logo", "QWidget"},
      {&options, "?ColourBox", "QWidget"},
      {&options, "?Panel", "QFrame"},
      {&options, "?Progress", "QProgressBar"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.equate);
    FieldId field = 0;
    for (const ui::WindowStructure* s : structures) {
      if (c.window->view().structure == s) field = s->FindEquate(c.equate);
    }
    ASSERT_NE(field, 0);
    QWidget* w = c.window->widget(field);
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->inherits(c.qt_class)) << w->metaObject()->className();
  }
  // The OLE control is in the mirror without a widget.
  const FieldId agent = kOptionsWindow.Equate("?Agent");
  ASSERT_NE(options.Find(agent), nullptr);
  EXPECT_FALSE(options.Find(agent)->view.visible);
  EXPECT_EQ(options.widget(agent), nullptr);
  // The drop list shows its variable's entry; the combo its queue's rows.
  auto* source = static_cast<QComboBox*>(connection.widget(kConnectionWindow.Equate("?Source")));
  EXPECT_EQ(source->currentText(), "Sample (SQLite)");
  auto* driver = static_cast<QComboBox*>(connection.widget(kConnectionWindow.Equate("?Driver")));
  EXPECT_EQ(driver->count(), 3);
  EXPECT_EQ(driver->currentText(), "SQLite3");
  // The plain combo takes typing and lists its literal entries.
  auto* separator = static_cast<QComboBox*>(options.widget(kSeparator));
  EXPECT_TRUE(separator->isEditable());
  EXPECT_EQ(separator->count(), 4);
  EXPECT_EQ(separator->currentText(), "Comma");
  // A sheet with tabs shows its strip; the one without hides it.
  EXPECT_FALSE(TabStrip(options, kSheet)->isHidden());
  EXPECT_TRUE(TabStrip(options, kPages)->isHidden());
  // The progress bar and the box show their stored values.
  EXPECT_EQ(static_cast<QProgressBar*>(options.widget(kOptionsWindow.Equate("?Progress")))->value(),
            60);

  // Menus: entries, separators, disabled items and keys from the structure.
  QMenuBar* bar = qobject_cast<QMainWindow*>(frame.top())->menuBar();
  ASSERT_EQ(bar->actions().size(), 4);
  EXPECT_EQ(bar->actions()[0]->text(), "&File");
  QMenu* file = frame.menu(kFrameWindow.Equate("?FileMenu"));
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(file->actions().size(), 6);
  EXPECT_TRUE(file->actions()[4]->isSeparator());
  EXPECT_EQ(frame.action(kFileNew)->text(), "&New connection\tF2");
  EXPECT_EQ(frame.action(kFileNew)->statusTip(), "Opens another connection window");
  EXPECT_FALSE(frame.action(kFrameWindow.Equate("?EditUndo"))->isEnabled());
}

TEST_F(QtBackendTest, TypedEntryIsAcceptedWhenTheFocusLeavesIt) {
  WindowMirror& frame = Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  (void)frame;
  QWidget* user = connection.widget(kUsername);
  FocusIn(connection, user);
  QTest::keyClicks(user, "sa");
  Settle();
  // Typing alone accepts nothing: the entry is not immediate.
  EXPECT_EQ(log.lines(), std::vector<std::string>{});
  QTest::keyClick(user, Qt::Key_Tab);
  Settle();
  EXPECT_TRUE(connection.widget(kPassword)->hasFocus());
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "Connection 1@4 user=sa source=Sample (SQLite)",
                             "Connection 257@6",
                         }));
}

TEST_F(QtBackendTest, TabPassesASkipControlBy) {
  Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  FocusIn(connection, connection.widget(kPassword));
  QTest::keyClick(connection.widget(kPassword), Qt::Key_Tab);
  Settle();
  QWidget* save = connection.widget(kConnectionWindow.Equate("?SavePassword"));
  EXPECT_TRUE(save->hasFocus());
  EXPECT_EQ(log.lines(), std::vector<std::string>{"Connection 257@9"});
  // A click still reaches it.
  QWidget* driver = connection.widget(kConnectionWindow.Equate("?Driver"));
  QTest::mouseClick(driver, Qt::LeftButton, {}, QPoint(8, driver->height() / 2));
  Settle();
  EXPECT_TRUE(driver->hasFocus() || driver->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(QtBackendTest, SynthesizedClickReachesTheControlUnderTheMouse) {
  Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  Activate(connection);
  QWidget* cancel = connection.widget(kConnectionWindow.Equate("?CancelButton"));
  const QPoint at = cancel->mapToGlobal(cancel->rect().center());
  log.Clear();
  display.SetMousePosition(at.x(), at.y());
  EXPECT_EQ(display.MousePosition().x, at.x());
  display.SynthesizeMouseButton(1, true);
  display.SynthesizeMouseButton(1, false);
  Settle();
  // Cancel is a standard close: the window closes.
  EXPECT_EQ(Lines(log, "Connection"),
            (std::vector<std::string>{"Connection 1@11 user= source=Sample (SQLite)",
                                      "Connection 513@0"}));
}

TEST_F(QtBackendTest, AWindowIsWhereItIsFromTheMomentItOpens) {
  // Asked before the GUI thread has made the window: the answer waits for it rather than
  // giving an empty rectangle that an outline made from it would shrink the window to.
  region::Rect at_open;
  runtime.StartMain([&at_open] {
    ui::Window window(kOptionsWindow);
    window.Open();
    ui::GetWindowRect(window.handle(), &at_open);
    while (window.Accept()) {
    }
  });
  WindowMirror& options = Find("Options");
  const QRect g = options.top()->frameGeometry();
  EXPECT_EQ(at_open, (region::Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}));
}

TEST_F(QtBackendTest, WindowRectsAreWhereTheWindowsAre) {
  WindowMirror& frame = Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  const region::Rect outer = display.WindowRect(frame.handle());
  const QRect g = frame.top()->frameGeometry();
  EXPECT_EQ(outer, (region::Rect{g.left(), g.top(), g.left() + g.width(), g.top() + g.height()}));
  // A child's rectangle lies inside its frame's.
  const region::Rect inner = display.WindowRect(connection.handle());
  EXPECT_FALSE(inner.empty());
  EXPECT_GE(inner.left, outer.left);
  EXPECT_LE(inner.right, outer.right);
  EXPECT_EQ(display.WindowRect(0), region::Rect{});
  EXPECT_GT(display.SystemMetric(4), 0);
  // The desktop is the screen's area that windows may cover.
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_FALSE(display.DesktopRect().empty());
  EXPECT_EQ(display.DesktopRect(),
            (region::Rect{screen.left(), screen.top(), screen.left() + screen.width(),
                          screen.top() + screen.height()}));
}

constexpr ui::WindowStructure kHostWindow{"qttest$host", "P1$WINDOW",        ui::WindowKind::kPlain,
                                          "Host",        {-100, -100, 0, 0}, {}};

TEST_F(QtBackendTest, AWindowOfNoSizeIsNeverShownNorActivated) {
  Start({gallery::ConnectionProcedure,
         [] {
           ui::Window host(kHostWindow);
           host.Open();
           while (host.Accept()) {
           }
         }},
        "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  WindowMirror& host = Find("Host");
  EXPECT_TRUE(connection.top()->isVisible());
  EXPECT_FALSE(host.top()->isVisible());
  host.Activate();
  Settle();
  EXPECT_FALSE(host.top()->isVisible());
  EXPECT_NE(QApplication::activeWindow(), host.top()->window());
}

TEST_F(QtBackendTest, EntryHoldsAsManyBytesAsItsPicture) {
  Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  auto* user = static_cast<QLineEdit*>(connection.widget(kUsername));  // @s40
  FocusIn(connection, user);
  struct Case {
    const char* name;
    QString typed;
    QString shown;
  };
  const QString e_acute = QString::fromUtf8("\xc3\xa9");  // two bytes
  const Case kCases[] = {
      {"40 ASCII fit", QString(40, 'a'), QString(40, 'a')},
      {"the 41st is refused", QString(41, 'a'), QString(40, 'a')},
      {"20 two-byte characters fit", e_acute.repeated(20), e_acute.repeated(20)},
      {"no half character at the end", QString(39, 'a') + e_acute, QString(39, 'a')},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    user->clear();
    // One key per character; QTest's own key clicks know only ASCII.
    for (const QChar ch : c.typed) {
      QTest::sendKeyEvent(QTest::Click, user, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
    EXPECT_EQ(user->text(), c.shown);
  }
}

TEST_F(QtBackendTest, DoubleClickOnAListRowSelectsItAndAlertsKey5) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  FocusIn(tables, list);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCenter(list, 1, 1));
  Settle();
  const std::vector<std::string> lines = Lines(log, "Tables");
  // The press chooses row 2 (NewSelection), the double click arrives as the alerted key 5.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Tables 2@3 choice=2 marks=01000"), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), "Tables 15@3 choice=2 key=5 down=2,2"),
            lines.end());
  EXPECT_EQ(list->currentIndex().row(), 1);
}

TEST_F(QtBackendTest, CtrlClicksToggleMarksInTheQueue) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  FocusIn(tables, list);
  for (int row : {0, 2, 0}) {
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      CellCenter(list, row, 0));
    Settle();
  }
  std::vector<std::string> marks;
  for (const std::string& l : Lines(log, "Tables 2@3")) marks.push_back(l.substr(l.find("marks=")));
  EXPECT_EQ(marks, (std::vector<std::string>{"marks=10000", "marks=10100", "marks=00100"}));
  // The list shows the marks from its snapshot.
  SnapshotModel* model = tables.model(kTableList);
  EXPECT_FALSE(model->marked(0));
  EXPECT_TRUE(model->marked(2));
  EXPECT_TRUE(model->data(model->index(2, 0), Qt::BackgroundRole).isValid());
  EXPECT_FALSE(model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
}

TEST_F(QtBackendTest, HeaderClickReportsRowZeroAndItsColumn) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  FocusIn(tables, list);
  QHeaderView* header = list->horizontalHeader();
  const QPoint second(header->sectionViewportPosition(1) + header->sectionSize(1) / 2,
                      header->height() / 2);
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, second);
  Settle();
  EXPECT_EQ(Lines(log, "Tables"),
            std::vector<std::string>{"Tables 15@3 choice=1 key=129 down=0,2"});
}

TEST_F(QtBackendTest, FrameKeyReachesTheFrameFromInsideAChild) {
  Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  QWidget* user = connection.widget(kUsername);
  FocusIn(connection, user);
  QTest::keyClick(user, Qt::Key_F2);
  Settle();
  // F2 presses the frame's "New connection": the frame's loop gets it, and a second
  // connection window opens (its OpenWindow is the only connection event); the child with
  // the focus saw nothing of it.
  EXPECT_EQ(Lines(log, "Frame"), std::vector<std::string>{"Frame 1@-2"});
  EXPECT_EQ(Lines(log, "Connection"), std::vector<std::string>{"Connection 515@0"});
  EXPECT_EQ(display.Windows().size(), 3u);
  EXPECT_EQ(static_cast<QLineEdit*>(user)->text(), "");
}

TEST_F(QtBackendTest, CloseBoxAndAltF4PostCloseWindow) {
  Start({gallery::ConnectionProcedure, gallery::ConnectionProcedure}, "Pexolind gallery");
  std::vector<WindowMirror*> children;
  for (ui::WindowHandle h : display.Windows()) {
    if (display.Mirror(h)->view().title == "Connection") children.push_back(display.Mirror(h));
  }
  ASSERT_EQ(children.size(), 2u);
  log.Clear();
  // The close box asks the program, which closes the window.
  EXPECT_FALSE(children[0]->top()->close());
  Settle();
  EXPECT_EQ(Lines(log, "Connection"), std::vector<std::string>{"Connection 513@0"});
  EXPECT_EQ(display.Windows().size(), 2u);
  log.Clear();
  FocusIn(*children[1], children[1]->widget(kUsername));
  QTest::keyClick(children[1]->widget(kUsername), Qt::Key_F4, Qt::AltModifier);
  Settle();
  EXPECT_EQ(Lines(log, "Connection"), std::vector<std::string>{"Connection 513@0"});
  EXPECT_EQ(display.Windows().size(), 1u);
}

TEST_F(QtBackendTest, MessageAnswersTheChosenButtonAndZeroWhenClosed) {
  Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  struct Case {
    const char* name;
    QString press;  // the button's text; empty: the box's close box
    std::string answer;
  };
  const Case kCases[] = {{"second caption", "&Not now", "answer=2"},
                         {"first caption", "&Connect", "answer=1"},
                         {"closed", QString(), "answer=0"}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    display.SetDialogHook([&](QWidget& dialog) {
      auto* box = qobject_cast<QMessageBox*>(&dialog);
      ASSERT_NE(box, nullptr);
      text = box->text();
      title = box->windowTitle();
      icon = box->icon();
      // Answered once the box runs.
      QMetaObject::invokeMethod(
          box,
          [box, press = c.press] {
            if (press.isEmpty()) {
              box->close();
              return;
            }
            for (QAbstractButton* b : box->buttons()) {
              if (b->text() == press) b->click();
            }
          },
          Qt::QueuedConnection);
    });
    log.Clear();
    QTest::mouseClick(connection.widget(kConnectButton), Qt::LeftButton);
    Settle();
    EXPECT_EQ(title, "Connection");
    EXPECT_EQ(icon, QMessageBox::Question);
    EXPECT_EQ(text, "Connect to Sample (SQLite) as ?\nThe password is not kept.");
    const std::vector<std::string> lines = Lines(log, "Connection 1@10");
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find(c.answer), std::string::npos) << lines[0];
  }
  display.SetDialogHook({});
}

// A message box shows over the active window, which may belong to another thread. When that
// thread closes its window while the box is open, the box stays and still answers.
TEST_F(QtBackendTest, AMessageBoxOutlivesTheOtherThreadsWindowItShowsOver) {
  Start({gallery::ConnectionProcedure, gallery::OptionsProcedure}, "Connection");
  WindowMirror& connection = Find("Connection");
  WindowMirror& options = Find("Options");
  const ui::WindowHandle options_handle = display.FindWindow("Options");
  Activate(options);
  QWidget* const options_window = options.top()->window();
  bool over_options = false;
  display.SetDialogHook([&](QWidget& dialog) {
    auto* box = qobject_cast<QMessageBox*>(&dialog);
    ASSERT_NE(box, nullptr);
    over_options = box->parentWidget() == nullptr && box->windowHandle() != nullptr &&
                   box->windowHandle()->transientParent() == options_window->windowHandle();
    // Once the box runs, the options window's thread closes its window; the box is answered
    // only when that window is gone.
    QMetaObject::invokeMethod(
        box, [&options] { options.CloseBoxPressed(); }, Qt::QueuedConnection);
    QPointer<QMessageBox> guarded(box);
    auto answer = std::make_shared<std::function<void()>>();
    *answer = [this, guarded, options_handle, answer] {
      if (guarded.isNull()) return;
      if (display.Mirror(options_handle) != nullptr) {
        QTimer::singleShot(10, guarded.data(), *answer);
        return;
      }
      EXPECT_TRUE(guarded->isVisible());
      for (QAbstractButton* b : guarded->buttons()) {
        if (b->text() == "&Connect") b->click();
      }
    };
    QTimer::singleShot(10, box, *answer);
  });
  log.Clear();
  QTest::mouseClick(connection.widget(kConnectButton), Qt::LeftButton);
  Settle();
  display.SetDialogHook({});
  EXPECT_TRUE(over_options);
  EXPECT_EQ(display.Mirror(options_handle), nullptr);
  const std::vector<std::string> lines = Lines(log, "Connection 1@10");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find("answer=1"), std::string::npos) << lines[0];
}

TEST_F(QtBackendTest, TabsShowTheirControlsAndHiddenTabsStayHidden) {
  runtime.StartMain(gallery::OptionsProcedure);
  WindowMirror& options = Find("Options");
  QWidget* sheet = options.widget(kSheet);
  QTabBar* bar = sheet->findChild<QTabBar*>();
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->count(), 4);
  EXPECT_FALSE(bar->isTabVisible(3));  // the hidden tab
  EXPECT_TRUE(options.widget(kRowCount)->isVisible());
  EXPECT_FALSE(options.widget(kIndent)->isVisible());
  Activate(options);
  log.Clear();
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  Settle();
  // TabChanging, then NewSelection of the sheet; the controls of the chosen tab (and of the
  // nested sheet's first tab) show, the others hide.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Options 21@1", "Options 2@1"}));
  EXPECT_EQ(bar->currentIndex(), 1);
  EXPECT_FALSE(options.widget(kRowCount)->isVisible());
  EXPECT_TRUE(options.widget(kIndent)->isVisible());
  // On the Looks tab the sheet without tabs shows its first page and no strip.
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
  Settle();
  EXPECT_TRUE(options.widget(kPages)->isVisible());
  EXPECT_FALSE(TabStrip(options, kPages)->isVisible());
  EXPECT_TRUE(options.widget(kOptionsWindow.Equate("?PageOne:Text"))->isVisible());
  EXPECT_FALSE(options.widget(kOptionsWindow.Equate("?PageTwo:Text"))->isVisible());
}

TEST_F(QtBackendTest, HeaderTextSetAtRunTimeReachesTheList) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), "Rows");
  EXPECT_TRUE(list->isColumnHidden(3));  // the Id column has width 0
  Activate(tables);
  QTest::mouseClick(tables.widget(kRefreshButton), Qt::LeftButton);
  Settle();
  EXPECT_EQ(list->model()->headerData(2, Qt::Horizontal).toString(), "Rows (1)");
  EXPECT_EQ(list->model()->index(0, 2).data().toString().trimmed(), "7,920");
}

TEST_F(QtBackendTest, ListOf100000RowsShowsFromItsSnapshot) {
  gallery::SetTableRows(100000);
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  ASSERT_EQ(list->model()->rowCount(), 100000);
  list->scrollToBottom();
  QCoreApplication::processEvents();
  const QModelIndex last = list->model()->index(99999, 1);
  EXPECT_TRUE(list->viewport()->rect().intersects(list->visualRect(last)));
  EXPECT_EQ(last.data().toString(), "employees_12500");
  // Choosing the last row reports it.
  Activate(tables);
  log.Clear();
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
  Settle();
  EXPECT_EQ(Lines(log, "Tables 2@3"),
            std::vector<std::string>{"Tables 2@3 choice=100000 marks=00000"});
}

TEST_F(QtBackendTest, DoubleClickEditsTheCellInPlaceAndTheEditorFollowsScrolling) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  QWidget* editor = tables.widget(kCellEdit);
  EXPECT_FALSE(editor->isVisible());
  FocusIn(tables, list);
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, CellCenter(list, 2, 1));
  Settle();
  // The editor lies over row 3's name and shows it.
  auto cell_rect = [&] {
    const QRect r = list->visualRect(list->model()->index(2, 1));
    return QRect(list->viewport()->mapTo(tables.client(), r.topLeft()), r.size());
  };
  ASSERT_TRUE(editor->isVisible());
  EXPECT_EQ(editor->geometry(), cell_rect());
  EXPECT_EQ(static_cast<QLineEdit*>(editor)->text(), "order_lines_1");
  // Scrolling by a row moves it with its cell; scrolled out of sight it hides.
  list->verticalScrollBar()->setValue(1);
  QCoreApplication::processEvents();
  EXPECT_EQ(editor->geometry(), cell_rect());
  list->verticalScrollBar()->setValue(40);
  QCoreApplication::processEvents();
  EXPECT_FALSE(editor->isVisible());
  list->verticalScrollBar()->setValue(0);
  QCoreApplication::processEvents();
  ASSERT_TRUE(editor->isVisible());
  // Typing and Enter put the name into the queue; the list shows it and the editor goes.
  editor->setFocus();
  Settle();
  static_cast<QLineEdit*>(editor)->selectAll();
  QTest::keyClicks(editor, "orders_old");
  QTest::keyClick(editor, Qt::Key_Return);
  Settle();
  EXPECT_FALSE(editor->isVisible());
  EXPECT_EQ(list->model()->index(2, 1).data().toString(), "orders_old");
  EXPECT_EQ(Lines(log, "Tables 1@4"), std::vector<std::string>{"Tables 1@4 name=orders_old"});
}

TEST_F(QtBackendTest, AlertedKeyIsSwallowedAndOtherKeysReachTheWidget) {
  Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  auto* list = static_cast<QTableView*>(tables.widget(kTableList));
  FocusIn(tables, list);
  list->setCurrentIndex(list->model()->index(0, 0));
  QTest::keyClick(list, Qt::Key_Delete);
  Settle();
  // Delete is alerted on the list: the program gets it (PreAlertKey, AlertKey) and the list
  // does nothing with it.
  EXPECT_EQ(Lines(log, "Tables"),
            (std::vector<std::string>{"Tables 16@3 choice=1 key=46 down=0,0",
                                      "Tables 15@3 choice=1 key=46 down=0,0"}));
  EXPECT_EQ(list->currentIndex().row(), 0);
  log.Clear();
  // Down is not: the list moves to the next row itself, and the runtime hears of the choice.
  QTest::keyClick(list, Qt::Key_Down);
  Settle();
  EXPECT_EQ(list->currentIndex().row(), 1);
  EXPECT_EQ(Lines(log, "Tables 2@3"), std::vector<std::string>{"Tables 2@3 choice=2 marks=01000"});
}

TEST_F(QtBackendTest, WindowMenuListsTheChildrenAndTilesThem) {
  WindowMirror& frame =
      Start({gallery::ConnectionProcedure, gallery::TablesProcedure}, "Pexolind gallery");
  Find("Tables");
  QMenu* window_menu = frame.menu(kFrameWindow.Equate("?WindowMenu"));
  ASSERT_NE(window_menu, nullptr);
  window_menu->popup(QPoint(0, 0));
  QStringList entries;
  for (QAction* a : window_menu->actions()) entries << (a->isSeparator() ? "-" : a->text());
  window_menu->close();
  EXPECT_EQ(entries, (QStringList{"&Tile", "&Cascade", "&Arrange icons", "-", "&Windows", "-",
                                  "&1 Connection", "&2 Tables"}));
  // Tile is the runtime's standard action: the item is accepted, then the area tiles.
  frame.action(kFrameWindow.Equate("?WindowTile"))->trigger();
  Settle();
  const QList<QMdiSubWindow*> subs = frame.mdi_area()->subWindowList();
  ASSERT_EQ(subs.size(), 2);
  EXPECT_FALSE(subs[0]->geometry().intersects(subs[1]->geometry()));
  EXPECT_EQ(subs[0]->height(), frame.mdi_area()->viewport()->height());
  EXPECT_EQ(
      Lines(log, "Frame 1@"),
      std::vector<std::string>{"Frame 1@" + std::to_string(kFrameWindow.Equate("?WindowTile"))});
}

TEST_F(QtBackendTest, FrameGrowsToShowAChildLargerThanItsArea) {
  WindowMirror& frame = Start({gallery::TablesProcedure}, "Pexolind gallery");
  WindowMirror& tables = Find("Tables");
  const QRect area = frame.mdi_area()->rect();
  // Shrink the frame below the child, then open another child: the frame makes room again.
  frame.top()->resize(200, 150);
  Settle();
  ASSERT_LT(frame.mdi_area()->width(), tables.top()->width());
  frame.action(kFileNew)->trigger();
  WindowMirror& second = Find("Connection");
  Settle();
  EXPECT_TRUE(frame.mdi_area()->rect().contains(second.top()->geometry()))
      << "area " << frame.mdi_area()->width() << "x" << frame.mdi_area()->height();
  EXPECT_GE(frame.mdi_area()->width(), std::min(area.width(), second.top()->width()));
}

TEST_F(QtBackendTest, SpinsStepThroughNumbersAndEntries) {
  runtime.StartMain(gallery::OptionsProcedure);
  WindowMirror& options = Find("Options");
  auto* rows = static_cast<QAbstractSpinBox*>(options.widget(kRowCount));
  auto* month = static_cast<QAbstractSpinBox*>(options.widget(kOptionsWindow.Equate("?Month")));
  EXPECT_EQ(rows->text(), "500");
  EXPECT_EQ(month->text(), "March");
  FocusIn(options, rows);
  QTest::keyClick(rows, Qt::Key_Up);  // by the step the program set
  Settle();
  EXPECT_EQ(rows->text(), "510");
  month->setFocus();
  Settle();
  QTest::keyClick(month, Qt::Key_Up);
  QTest::keyClick(month, Qt::Key_Up);
  Settle();
  EXPECT_EQ(month->text(), "May");
  // Leaving the numbers accepted them; the entries' spin reports each step as a choice.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Options 1@4", "Options 257@6", "Options 2@6",
                                                   "Options 2@6"}));
}

TEST_F(QtBackendTest, ChoosingARadioPutsItsValueInTheOption) {
  runtime.StartMain(gallery::OptionsProcedure);
  WindowMirror& options = Find("Options");
  QTabBar* bar = options.widget(kSheet)->findChild<QTabBar*>();
  Activate(options);
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(1).center());
  Settle();
  auto* left = static_cast<QRadioButton*>(options.widget(kOptionsWindow.Equate("?AlignLeft")));
  auto* right = static_cast<QRadioButton*>(options.widget(kOptionsWindow.Equate("?AlignRight")));
  EXPECT_TRUE(left->isChecked());
  EXPECT_FALSE(right->isChecked());
  log.Clear();
  QTest::mouseClick(right, Qt::LeftButton, {}, QPoint(6, right->height() / 2));
  Settle();
  EXPECT_FALSE(left->isChecked());
  EXPECT_TRUE(right->isChecked());
  const std::string option = std::to_string(kOptionsWindow.Equate("?Align"));
  EXPECT_EQ(Lines(log, "Options 1@"), std::vector<std::string>{"Options 1@" + option + " align=R"});
}

TEST_F(QtBackendTest, MnemonicPressesItsControl) {
  runtime.StartMain(gallery::OptionsProcedure);
  WindowMirror& options = Find("Options");
  auto* quote = static_cast<QCheckBox*>(options.widget(kOptionsWindow.Equate("?Quote")));
  EXPECT_TRUE(quote->isChecked());
  FocusIn(options, options.widget(kRowCount));
  // Qt presses a control by its mnemonic as an animated click, which lands a moment later;
  // the spy waits for it (the bound only ends a failing test).
  QSignalSpy clicked(quote, &QCheckBox::clicked);
  QTest::keyClick(options.widget(kRowCount), Qt::Key_Q, Qt::AltModifier);
  ASSERT_TRUE(clicked.count() > 0 || clicked.wait(5000));
  Settle();
  EXPECT_FALSE(quote->isChecked());
  EXPECT_EQ(Lines(log, "Options 1@9"), std::vector<std::string>{"Options 1@9"});
}

TEST_F(QtBackendTest, EditMenuCopiesAndPastesInTheFocusedEntry) {
  WindowMirror& frame = Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  WindowMirror& connection = Find("Connection");
  auto* user = static_cast<QLineEdit*>(connection.widget(kUsername));
  auto* password = static_cast<QLineEdit*>(connection.widget(kPassword));
  FocusIn(connection, user);
  QTest::keyClicks(user, "scott");
  user->selectAll();
  frame.action(kFrameWindow.Equate("?EditCopy"))->trigger();
  Settle();
  password->setFocus();
  Settle();
  frame.action(kFrameWindow.Equate("?EditPaste"))->trigger();
  Settle();
  EXPECT_EQ(password->text(), "scott");
  // The pasted text is the user's: leaving the entry accepts it into its variable.
  log.Clear();
  user->setFocus();
  Settle();
  EXPECT_EQ(Lines(log, "Connection 1@6"),
            std::vector<std::string>{"Connection 1@6 user=scott source=Sample (SQLite)"});
}

TEST_F(QtBackendTest, EnterPressesTheDefaultButton) {
  runtime.StartMain(gallery::OptionsProcedure);
  WindowMirror& options = Find("Options");
  FocusIn(options, options.widget(kRowCount));
  QTest::keyClicks(options.widget(kRowCount), "0");
  QTest::keyClick(options.widget(kRowCount), Qt::Key_Return);
  Settle();
  // The entry is accepted, then OK (the default button, a standard close) closes the window.
  const std::string ok = std::to_string(kOptionsWindow.Equate("?OkButton"));
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"Options 1@4", "Options 1@" + ok, "Options 513@0"}));
  EXPECT_EQ(display.FindWindow("Options"), 0);
}

TEST_F(QtBackendTest, StatusBarShowsTheFocusedControlsMessage) {
  WindowMirror& frame = Start({gallery::ConnectionProcedure}, "Pexolind gallery");
  // A menu entry's message shows while the entry is under the mouse.
  frame.action(kFileNew)->showStatusText(frame.top());
  EXPECT_EQ(frame.status_bar()->currentMessage(), "Opens another connection window");
  WindowMirror& connection = Find("Connection");
  FocusIn(connection, connection.widget(kUsername));
  EXPECT_EQ(frame.status_bar()->currentMessage(), "The user to connect as");
  connection.widget(kPassword)->setFocus();
  Settle();
  EXPECT_EQ(frame.status_bar()->currentMessage(), "");
}

// A frame of the test's own whose program changes menu texts, enables and disables entries
// and sets the wait cursor on request.
constexpr ui::ControlDecl kMenuControls[] = {
    ui::Menubar(),
    ui::Menu("?Menu", "&Tools").Icon("zov.ico"),
    ui::Item("?Run", "&Run", "?Menu").Icon("zov.ico"),
    ui::Item("?Stop", "&Stop", "?Menu"),
    ui::Button("?Go", "&Go", {2, 2, 40, 14}),
};
constexpr ui::WindowStructure kMenuFrame{"test$menu", "Frame",          ui::WindowKind::kFrame,
                                         "Menu test", {0, 0, 200, 100}, kMenuControls};
constexpr FieldId kToolsMenu = kMenuFrame.Equate("?Menu");
constexpr FieldId kRun = kMenuFrame.Equate("?Run");
constexpr FieldId kStop = kMenuFrame.Equate("?Stop");
constexpr FieldId kGo = kMenuFrame.Equate("?Go");
constexpr ui::EventId kRename = 0x500;
constexpr ui::EventId kBusy = 0x501;
constexpr ui::EventId kIdle = 0x502;

void MenuFrameProcedure() {
  ui::Window frame(kMenuFrame);
  frame.Open();
  while (frame.Accept()) {
    if (ui::Event() == kRename) {
      ui::SetProp(kRun, ui::Prop::Text, "&Run again");
      ui::Disable(kStop);
    }
    if (ui::Event() == kBusy) ui::SetCursor(ui::Cursor::kWait);
    if (ui::Event() == kIdle) ui::SetCursor(ui::Cursor::kNormal);
  }
}

TEST_F(QtBackendTest, MenuTextsAndTheCursorFollowTheProgram) {
  runtime.StartMain(MenuFrameProcedure);
  WindowMirror& frame = Find("Menu test");
  // The menu bar shows its menus' texts; icons (here one the program ships) show on the
  // entries below it.
  EXPECT_EQ(frame.action(kToolsMenu)->text(), "&Tools");
  EXPECT_TRUE(frame.action(kToolsMenu)->icon().isNull());
  EXPECT_FALSE(frame.action(kRun)->icon().isNull());
  EXPECT_EQ(frame.action(kRun)->text(), "&Run");
  EXPECT_TRUE(frame.action(kStop)->isEnabled());
  ui::PostToWindow(frame.handle(), kRename);
  Settle();
  EXPECT_EQ(frame.action(kRun)->text(), "&Run again");
  EXPECT_FALSE(frame.action(kStop)->isEnabled());
  ui::PostToWindow(frame.handle(), kBusy);
  Settle();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  ui::PostToWindow(frame.handle(), kIdle);
  Settle();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(QtBackendTest, FrameControlsSitInAToolStripAboveTheArea) {
  runtime.StartMain(MenuFrameProcedure);
  WindowMirror& frame = Find("Menu test");
  QWidget* go = frame.widget(kGo);
  ASSERT_NE(go, nullptr);
  QWidget* strip = go->parentWidget();
  ASSERT_NE(strip, nullptr);
  EXPECT_NE(qobject_cast<QToolBar*>(strip->parentWidget()), nullptr);
  // The strip holds the button whole, and the area starts below it.
  EXPECT_TRUE(strip->rect().contains(go->geometry()));
  const QPoint area_top = frame.mdi_area()->mapTo(frame.top(), QPoint(0, 0));
  const QPoint go_bottom = go->mapTo(frame.top(), QPoint(0, go->height()));
  EXPECT_GE(area_top.y(), go_bottom.y());
  EXPECT_EQ(frame.mdi_area()->viewport()->height(), ui::VerticalPixels(100, display.Metrics()));
}

TEST_F(QtBackendTest, PopupAnswersTheChosenEntrysNumber) {
  struct Case {
    const char* name;
    QString choose;  // the entry's text; empty: Escape
    int32_t answer;
  };
  const Case kCases[] = {
      {"first", "&Open", 1}, {"after a submenu", "&Last", 5}, {"none", QString(), 0}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<QString> entries;
    display.SetDialogHook([&](QWidget& popup) {
      auto* menu = qobject_cast<QMenu*>(&popup);
      ASSERT_NE(menu, nullptr);
      for (QAction* a : menu->actions()) entries.push_back(a->isSeparator() ? "-" : a->text());
      QMetaObject::invokeMethod(
          menu,
          [menu, choose = c.choose] {
            for (QAction* a : menu->actions()) {
              if (!choose.isEmpty() && a->text() == choose) {
                QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(a).center());
                return;
              }
            }
            QTest::keyClick(menu, Qt::Key_Escape);
          },
          Qt::QueuedConnection);
    });
    log.Clear();
    runtime.StartMain([this] {
      log.Add(std::to_string(ui::Popup("&Open|-|More{|&First|&Second}|~Gone|&Last", 10, 10)));
    });
    Settle();
    runtime.Join();
    EXPECT_EQ(entries, (std::vector<QString>{"&Open", "-", "More", "Gone", "&Last"}));
    EXPECT_EQ(log.lines(), std::vector<std::string>{std::to_string(c.answer)});
  }
  display.SetDialogHook({});
}

TEST_F(QtBackendTest, FileFontAndColourDialogsAnswerWhatWasChosen) {
  QTemporaryDir dir;
  const QString chosen = dir.path() + "/orders.txd";
  QStringList titles;
  display.SetDialogHook([&](QWidget& dialog) {
    titles << dialog.windowTitle();
    // Each dialog is answered once it runs.
    QMetaObject::invokeMethod(
        &dialog,
        [&dialog, chosen] {
          if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(chosen);
            static_cast<QDialog*>(files)->accept();
          } else if (auto* fonts = qobject_cast<QFontDialog*>(&dialog)) {
            QFont f("DejaVu Sans", 15);
            f.setBold(true);
            fonts->setCurrentFont(f);
            fonts->accept();
          } else if (auto* colours = qobject_cast<QColorDialog*>(&dialog)) {
            colours->setCurrentColor(QColor(0x10, 0x20, 0x30));
            colours->accept();
          }
        },
        Qt::QueuedConnection);
  });
  runtime.StartMain([this] {
    std::string file = "dictionary.txd";
    const bool got_file = ui::FileDialog("Save the TXD file", file, "TXD files|*.txd", 1);
    log.Add("file " + std::to_string(got_file) + " " + file);
    std::string face = "Arial";
    int32_t size = 9;
    int32_t colour = 0;
    int32_t style = 400;
    int32_t charset = 2;  // the dialog offers none: the one given stays
    const bool got_font = ui::FontDialog("The list's font", face, size, colour, style, charset);
    log.Add("font " + std::to_string(got_font) + " " + face + " " + std::to_string(size) + " " +
            std::to_string(style) + " " + std::to_string(charset));
    int32_t picked = 0xFFFFFF;
    const bool got_colour = ui::ColorDialog("The marks' colour", picked);
    log.Add("colour " + std::to_string(got_colour) + " " + std::to_string(picked));
  });
  Settle();
  runtime.Join();
  display.SetDialogHook({});
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "file 1 " + chosen.toStdString(),
                             "font 1 DejaVu Sans 15 700 2",
                             "colour 1 " + std::to_string(0x302010),
                         }));
  EXPECT_EQ(titles, (QStringList{"Save the TXD file", "The list's font", "The marks' colour"}));
}

TEST_F(QtBackendTest, StopOffersAbortAndIgnore) {
  for (bool abort : {false, true}) {
    SCOPED_TRACE(abort ? "Abort" : "Ignore");
    QStringList buttons;
    display.SetDialogHook([&](QWidget& dialog) {
      auto* box = qobject_cast<QMessageBox*>(&dialog);
      ASSERT_NE(box, nullptr);
      for (QAbstractButton* b : box->buttons()) buttons << b->text();
      QMetaObject::invokeMethod(
          box,
          [box, abort] { box->button(abort ? QMessageBox::Abort : QMessageBox::Ignore)->click(); },
          Qt::QueuedConnection);
    });
    platform::TEST_SetStopExitHandler([this] { log.Add("aborted"); });
    log.Clear();
    runtime.StartMain([this] {
      platform::Stop("Cannot go on|here");
      log.Add("went on");
    });
    Settle();
    runtime.Join();
    EXPECT_EQ(buttons.size(), 2);
    const std::vector<std::string> expected = abort ? std::vector<std::string>{"aborted", "went on"}
                                                    : std::vector<std::string>{"went on"};
    EXPECT_EQ(log.lines(), expected);
  }
  platform::TEST_SetStopExitHandler({});
  display.SetDialogHook({});
}

// Answers the message box the dialog hook is given by clicking the button captioned `text`,
// once the box runs, and records the caption and role of each of its buttons.
void AnswerWith(QWidget& dialog, const QString& text,
                std::map<QString, QMessageBox::ButtonRole>& buttons) {
  auto* box = qobject_cast<QMessageBox*>(&dialog);
  ASSERT_NE(box, nullptr);
  for (QAbstractButton* b : box->buttons()) buttons[b->text()] = box->buttonRole(b);
  QMetaObject::invokeMethod(
      box,
      [box, text] {
        for (QAbstractButton* b : box->buttons()) {
          if (b->text() == text) return b->click();
        }
        box->close();
      },
      Qt::QueuedConnection);
}

TEST_F(QtBackendTest, StandardButtonsTakeTheirCaptionsFromTheLocale) {
  ui::SetLocale("CLABUTTON", "D'accord,&Oui,&Non,A&bandonner,&Recommencer,&Ignorer,Annuler,&Aide");
  std::map<QString, QMessageBox::ButtonRole> message;
  std::map<QString, QMessageBox::ButtonRole> stop;
  display.SetDialogHook([&](QWidget& dialog) {
    if (dialog.windowTitle() == "STOP") {
      AnswerWith(dialog, "&Ignorer", stop);
    } else {
      AnswerWith(dialog, "&Non", message);
    }
  });
  platform::TEST_SetStopExitHandler([this] { log.Add("aborted"); });
  runtime.StartMain([this] {
    log.Add(std::to_string(Message("Save the changes?", "Editor", kIconQuestion,
                                   kButtonYes | kButtonNo | kButtonCancel)));
    platform::Stop("Cannot go on");
    log.Add("went on");
  });
  Settle();
  runtime.Join();
  platform::TEST_SetStopExitHandler({});
  display.SetDialogHook({});
  ui::SetLocale("CLABUTTON", "");
  // Each button keeps the role of the standard button it stands for.
  EXPECT_EQ(message, (std::map<QString, QMessageBox::ButtonRole>{
                         {"&Oui", QMessageBox::YesRole},
                         {"&Non", QMessageBox::NoRole},
                         {"Annuler", QMessageBox::RejectRole},
                     }));
  EXPECT_EQ(stop, (std::map<QString, QMessageBox::ButtonRole>{
                      {"A&bandonner", QMessageBox::RejectRole},
                      {"&Ignorer", QMessageBox::AcceptRole},
                  }));
  EXPECT_EQ(log.lines(), (std::vector<std::string>{std::to_string(kButtonNo), "went on"}));
}

TEST_F(QtBackendTest, EnterPressesTheMessagesDefaultButton) {
  struct Case {
    const char* name;
    int32_t buttons;
    int32_t default_button;
    QString default_text;
  };
  const Case kCases[] = {
      {"No of Yes, No and Cancel", kButtonYes | kButtonNo | kButtonCancel, kButtonNo, "&No"},
      {"Cancel of Yes, No and Cancel", kButtonYes | kButtonNo | kButtonCancel, kButtonCancel,
       "&Cancel"},
      {"Retry of Abort, Retry and Ignore", kButtonAbort | kButtonRetry | kButtonIgnore,
       kButtonRetry, "&Retry"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    QString default_text;
    display.SetDialogHook([&](QWidget& dialog) {
      auto* box = qobject_cast<QMessageBox*>(&dialog);
      ASSERT_NE(box, nullptr);
      default_text = box->defaultButton() != nullptr ? box->defaultButton()->text() : QString();
      // Enter goes where the keyboard is: the widget with the focus in the box.
      QMetaObject::invokeMethod(
          box,
          [box] {
            QWidget* focus = QApplication::focusWidget();
            QTest::keyClick(focus != nullptr && box->isAncestorOf(focus) ? focus : box,
                            Qt::Key_Return);
          },
          Qt::QueuedConnection);
    });
    log.Clear();
    runtime.StartMain([this, c] {
      log.Add(std::to_string(
          Message("Save the changes?", "Editor", kIconQuestion, c.buttons, c.default_button)));
    });
    Settle();
    runtime.Join();
    EXPECT_EQ(default_text, c.default_text);
    EXPECT_EQ(log.lines(), std::vector<std::string>{std::to_string(c.default_button)});
  }
  display.SetDialogHook({});
}

// A window of the test's own that alerts a key on the window itself, not on a control.
constexpr ui::KeyCode kHotKey = ui::kCtrl + ui::kAlt + 'S';
constexpr ui::ControlDecl kHotKeyControls[] = {
    ui::Entry("?Text", {4, 4, 100, 12}).Picture("@s20"),
};
constexpr ui::WindowStructure kHotKeyWindow{
    "test$hotkey",   "HotKey", ui::WindowKind::kPlain, "Hot key", {0, 0, 120, 24},
    kHotKeyControls, {},       ui::kAttrNone,          {kHotKey}};
constexpr FieldId kHotKeyText = kHotKeyWindow.Equate("?Text");

// Counts the key presses that reach a widget.
class KeySpy final : public QObject {
 public:
  explicit KeySpy(QWidget* w) { w->installEventFilter(this); }
  QList<int> keys;

  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress) keys << static_cast<QKeyEvent*>(e)->key();
    return false;
  }
};

TEST_F(QtBackendTest, KeyAlertedOnTheWindowIsSwallowed) {
  runtime.StartMain([this] {
    ui::Window window(kHotKeyWindow);
    window.Open();
    while (window.Accept()) {
      if (ui::Event() == ui::kEventPreAlertKey || ui::Event() == ui::kEventAlertKey) {
        log.Add(std::to_string(ui::Event()) + "@" + std::to_string(ui::Field()) +
                " key=" + std::to_string(ui::CurrentKeyCode()));
      }
    }
  });
  WindowMirror& w = Find("Hot key");
  auto* text = static_cast<QLineEdit*>(w.widget(kHotKeyText));
  FocusIn(w, text);
  KeySpy spy(text);
  QTest::keyClick(text, Qt::Key_S, Qt::ControlModifier | Qt::AltModifier);
  Settle();
  // The window's loop gets it as PreAlertKey and AlertKey of the window (field 0); the entry
  // never sees the key.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@0 key=" + std::to_string(kHotKey),
                                                   "15@0 key=" + std::to_string(kHotKey)}));
  EXPECT_FALSE(spy.keys.contains(Qt::Key_S));
  // A key the window does not alert reaches the entry.
  QTest::keyClick(text, Qt::Key_S);
  Settle();
  EXPECT_TRUE(spy.keys.contains(Qt::Key_S));
  EXPECT_EQ(text->text(), "s");
  EXPECT_EQ(log.lines().size(), 2u);
}

// A window of the test's own whose program styles its controls.
constexpr ui::ControlDecl kStyledControls[] = {
    ui::String("?Styled", "Styled text", {4, 4, 100, 10}),
    ui::Button("?Iconic", "&Go", {4, 20, 40, 14}).Icon("~go.png"),
};
constexpr ui::WindowStructure kStyledWindow{"test$styled", "Styled",        ui::WindowKind::kPlain,
                                            "Styled",      {0, 0, 120, 40}, kStyledControls};
constexpr FieldId kStyled = kStyledWindow.Equate("?Styled");
constexpr FieldId kIconic = kStyledWindow.Equate("?Iconic");

TEST_F(QtBackendTest, StoredFontsColoursAndIconsReachTheWidgets) {
  QTemporaryDir data;
  QDir(data.path()).mkpath("images");
  QPixmap go(16, 16);
  go.fill(Qt::green);
  ASSERT_TRUE(go.save(data.path() + "/images/go.png"));
  platform::TEST_SetDataDirectory(data.path().toStdString());
  runtime.StartMain([] {
    ui::Window window(kStyledWindow);
    window.Open();
    ui::SetFont(kStyled, "DejaVu Serif", 14, 0x0000FF, 700 | 0x1000);
    ui::SetProp(kStyled, ui::Prop::Color, int64_t{0x80000018});  // info background
    while (window.Accept()) {
    }
  });
  WindowMirror& styled = Find("Styled");
  Settle();
  QWidget* label = styled.widget(kStyled);
  EXPECT_EQ(label->font().pointSize(), 14);
  EXPECT_TRUE(label->font().bold());
  EXPECT_TRUE(label->font().italic());
  EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(255, 0, 0));
  EXPECT_EQ(label->palette().color(QPalette::Window),
            QApplication::palette().color(QPalette::Active, QPalette::ToolTipBase));
  EXPECT_FALSE(static_cast<QPushButton*>(styled.widget(kIconic))->icon().isNull());
  platform::TEST_SetDataDirectory("");
}

using platform::testing::Shows;

TEST_F(QtBackendTest, TheWindowIsDrawnWithItsStoredColourAndFont) {
  constexpr ui::EventId kTakeItAway = 0x500;
  runtime.StartMain([] {
    ui::Window window(kStyledWindow);
    window.Open();
    ui::SetProp(0, ui::Prop::Color, int64_t{0x00FF00});  // green
    ui::SetFont(0, "DejaVu Serif", 16, 0x0000FF, 700);   // red, bold
    ui::SetProp(kIconic, ui::Prop::FontSize, 8);         // a size of its own, the face not
    while (window.Accept()) {
      if (ui::Event() == kTakeItAway) {
        ui::SetProp(0, ui::Prop::Color, -1);
        ui::SetProp(0, ui::Prop::Font, "");
        ui::SetFont(0, "", 0, -1, 0);
        ui::SetProp(0, ui::Prop::FontColor, -1);
      }
    }
  });
  WindowMirror& styled = Find("Styled");
  Settle();
  QWidget* client = styled.client();
  QWidget* label = styled.widget(kStyled);
  QWidget* button = styled.widget(kIconic);
  QImage shown = client->grab().toImage();
  // The window's ground, beside its controls and behind its text.
  const QRect ground(client->width() - 6, client->height() - 6, 4, 4);
  EXPECT_EQ(shown.pixelColor(ground.center()), QColor(0, 255, 0));
  const QRect text = label->geometry();
  EXPECT_TRUE(Shows(shown, text, QColor(255, 0, 0))) << "no red text";
  EXPECT_EQ(shown.pixelColor(text.right() - 2, text.center().y()), QColor(0, 255, 0));
  // Controls without a font of their own show the window's; a control's own part wins.
  const QFontInfo label_font(label->font());
  EXPECT_EQ(label_font.family(), "DejaVu Serif");
  EXPECT_EQ(label_font.pointSize(), 16);
  EXPECT_TRUE(label_font.bold());
  EXPECT_EQ(QFontInfo(button->font()).family(), "DejaVu Serif");
  EXPECT_EQ(button->font().pointSize(), 8);

  // Taken away again, the window looks as it did without them.
  ui::PostToWindow(styled.handle(), kTakeItAway);
  Settle();
  shown = client->grab().toImage();
  EXPECT_NE(shown.pixelColor(ground.center()), QColor(0, 255, 0));
  EXPECT_FALSE(Shows(shown, label->geometry(), QColor(255, 0, 0)));
  EXPECT_EQ(label->font().pointSize(), QApplication::font().pointSize());
  EXPECT_EQ(label->font().family(), QApplication::font().family());
}

TEST_F(QtBackendTest, WindowTimerPostsTimerEvents) {
  runtime.StartMain([this] {
    ui::Window window(kStyledWindow);
    window.Open();
    ui::SetProp(0, ui::Prop::Timer, 6000);  // a minute: it never runs out by itself here
    while (window.Accept()) {
      if (ui::Event() == ui::kEventTimer) log.Add("timer");
    }
  });
  WindowMirror& w = Find("Styled");
  auto* timer = w.top()->findChild<QTimer*>();
  ASSERT_NE(timer, nullptr);
  EXPECT_TRUE(timer->isActive());
  EXPECT_EQ(timer->interval(), 60000);
  // Its time running out (here at once) reaches the program as Timer.
  ASSERT_TRUE(QMetaObject::invokeMethod(timer, "timeout"));
  Settle();
  EXPECT_EQ(log.lines(), std::vector<std::string>{"timer"});
}

TEST_F(QtBackendTest, AnOwnedWindowStaysAboveItsOwnerAndOutlivesIt) {
  constexpr ui::EventId kOpenOwned = 0x500;
  runtime.StartMain([this] {
    // The program goes on until both windows' threads have ended.
    int ended = 0;  // under the runtime lock
    ui::Start([this, &ended] {
      ui::Window owner(kStyledWindow);
      owner.Open();
      while (owner.Accept()) {
        if (ui::Event() != kOpenOwned) continue;
        ui::Start([this, &owner, &ended] {
          ui::Window owned(kHotKeyWindow);
          owned.Open(&owner);
          while (owned.Accept()) {
          }
          log.Add("owned closed");
          ++ended;
        });
      }
      log.Add("owner closed");
      ++ended;
    });
    ui::PollUntil([&] { return ended == 2; }, ui::kPollForever);
  });
  WindowMirror& owner = Find("Styled");
  ui::PostToWindow(owner.handle(), kOpenOwned);
  WindowMirror& owned = Find("Hot key");
  // A window of its own, kept above its owner.
  EXPECT_TRUE(owned.top()->isWindow());
  EXPECT_EQ(owned.top()->parentWidget(), owner.top());
  // The owner closes first, on its own thread: the owned window stays on screen until its
  // own thread closes it.
  owner.CloseBoxPressed();
  Settle();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  Settle();
  EXPECT_EQ(log.lines(), std::vector<std::string>{"owner closed"});
  WindowMirror* still = display.Mirror(display.FindWindow("Hot key"));
  ASSERT_NE(still, nullptr);
  ASSERT_NE(still->top(), nullptr);
  EXPECT_TRUE(still->top()->isVisible());
  ASSERT_NE(still->widget(kHotKeyText), nullptr);
  still->CloseBoxPressed();
  Settle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"owner closed", "owned closed"}));
}

TEST(StoredStyle, ColoursAreStoredValues) {
  QPalette palette;
  palette.setColor(QPalette::Active, QPalette::ButtonText, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(4, 5, 6));
  struct Case {
    const char* name;
    int64_t stored;
    QColor color;
  };
  const Case kCases[] = {
      {"none", -1, QColor()},
      {"red", 0x0000FF, QColor(255, 0, 0)},
      {"blue", 0xFF0000, QColor(0, 0, 255)},
      {"mixed", 0xC08040, QColor(0x40, 0x80, 0xC0)},
      {"button text", 0x80000012, QColor(1, 2, 3)},
      {"highlight", 0x8000000D, QColor(4, 5, 6)},
      {"unknown system colour", 0x800000FF, QColor()},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ColorFromStored(c.stored, palette), c.color);
    if (c.stored >= 0 && c.stored <= 0xFFFFFF) {
      EXPECT_EQ(StoredFromColor(c.color), c.stored);
    }
  }
}

TEST(StoredStyle, FontStylesCarryWeightAndFlags) {
  const QFont f = FontFromStored(QFont(), "Arial", 12, 700 | 0x1000 | 0x2000);
  EXPECT_EQ(f.pointSize(), 12);
  EXPECT_EQ(f.weight(), QFont::Bold);
  EXPECT_TRUE(f.italic());
  EXPECT_TRUE(f.underline());
  EXPECT_FALSE(f.strikeOut());
  EXPECT_EQ(StoredStyleFromFont(f), 700 | 0x1000 | 0x2000);
  // Nothing given keeps the base.
  QFont base;
  base.setPointSize(9);
  EXPECT_EQ(FontFromStored(base, "", 0, 0), base);
}

constexpr ui::ControlDecl kMaximizedControls[] = {ui::Button("?Ok", "OK", {4, 4, 40, 14})};
constexpr ui::WindowStructure kMaximizedWindow{
    "test$qt",   "P9$WINDOW",       ui::WindowKind::kMdiChild,
    "Maximized", {10, 10, 120, 60}, kMaximizedControls};
std::atomic<int> g_restored_width = -1;

// Opens maximized; a user event sets Maximize back to 0 and notes the width it answers then.
void MaximizedProcedure() {
  ui::Window window(kMaximizedWindow);
  window.Open();
  window.Set(0, ui::Prop::Maximize, "1");
  while (window.Accept()) {
    if (ui::Event() == ui::kEventUser) {
      window.Set(0, ui::Prop::Maximize, "");
      g_restored_width = static_cast<int>(ui::GetPropNumber(0, ui::Prop::Width));
    }
  }
}

TEST_F(QtBackendTest, MaximizeShowsTheWindowMaximizedAndItsRestoredSizeStays) {
  g_restored_width = -1;
  Start({MaximizedProcedure}, "Pexolind gallery");
  WindowMirror& maximized = Find("Maximized");
  Settle();
  EXPECT_TRUE(maximized.top()->isMaximized());
  ui::PostToWindow(maximized.handle(), ui::kEventUser);
  Settle();
  EXPECT_FALSE(maximized.top()->isMaximized());
  EXPECT_EQ(g_restored_width, 120);
}

constexpr ui::WindowStructure kHiddenWindow{"test$qt",  "P9$HIDDEN",       ui::WindowKind::kPlain,
                                            "Hideable", {10, 10, 120, 60}, kMaximizedControls};
constexpr ui::EventId kHide = ui::kEventUser;
constexpr ui::EventId kRestore = ui::kEventUser + 1;
constexpr ui::EventId kMaximize = ui::kEventUser + 2;

// Hides itself, shows itself restored, or maximizes itself as the test posts.
void HideableProcedure() {
  ui::Window window(kHiddenWindow);
  window.Open();
  while (window.Accept()) {
    if (ui::Event() == kHide) window.Set(0, ui::Prop::Hide, "1");
    if (ui::Event() == kRestore) ui::ShowWindow(window.handle(), ui::kSwRestore);
    if (ui::Event() == kMaximize) window.Set(0, ui::Prop::Maximize, "1");
  }
}

TEST_F(QtBackendTest, HideHidesAWindowAndRestoringShowsItAgainUnmaximized) {
  Start({HideableProcedure}, "Hideable");
  WindowMirror& w = Find("Hideable");
  EXPECT_TRUE(w.top()->isVisible());
  for (const ui::EventId e : {kMaximize, kHide}) {
    ui::PostToWindow(w.handle(), e);
    Settle();
  }
  EXPECT_FALSE(w.top()->isVisible());
  ui::PostToWindow(w.handle(), kRestore);
  Settle();
  EXPECT_TRUE(w.top()->isVisible());
  EXPECT_FALSE(w.top()->isMaximized());
  ui::PostToWindow(w.handle(), kMaximize);
  Settle();
  EXPECT_TRUE(w.top()->isMaximized());
}

}  // namespace
}  // namespace platform::qt

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  QApplication::setQuitOnLastWindowClosed(false);
  return RUN_ALL_TESTS();
}
