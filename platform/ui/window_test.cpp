// Windows driven through the scripted user: events and their order, bound variables,
// redisplay, lists, properties, controls created at run time.
#include "platform/ui/window.h"

#include <atomic>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/testing/window_test.h"
#include "platform/ui/list_control.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"

namespace platform::ui {
namespace {

using headless::MirrorWindow;
using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Prompt("?Name:Prompt", "Name:", {4, 4, 40, 10}),
    Entry("?Name", {50, 4, 100, 10}).Picture("@s20").Imm(),
    Entry("?Other", {50, 16, 100, 10}),
    Check("?Flag", "Flag", {4, 28, 60, 10}),
    Button("?OkButton", "&OK", {4, 44, 40, 14}),
    Button("?CloseButton", "&Close", {50, 44, 40, 14}).Std(StdAction::kClose),
    List("?Rows", {4, 62, 180, 50})
        .Format("80L(2)|M~Name~@s20@40R(2)~Count~@n5@")
        .Alrt(kMouseLeft2)
        .Alrt(kMouseLeftUp),
};
constexpr WindowStructure kWindow{"test$window", "P1$WINDOW",      WindowKind::kPlain,
                                  "Test window", {0, 0, 200, 120}, kControls};
constexpr FieldId kName = kWindow.Equate("?Name");
constexpr FieldId kOther = kWindow.Equate("?Other");
constexpr FieldId kFlag = kWindow.Equate("?Flag");
constexpr FieldId kOkButton = kWindow.Equate("?OkButton");
constexpr FieldId kCloseButton = kWindow.Equate("?CloseButton");
constexpr FieldId kRows = kWindow.Equate("?Rows");
constexpr EventId kRedisplay = 0x500;
constexpr EventId kChangeName = 0x501;
constexpr EventId kPressTab = 0x502;
constexpr EventId kStaleOther = 0x503;

struct RowRecord {
  CString<21> NAME;
  int32_t COUNT = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<RowRecord>("ROW", platform::Field<&RowRecord::NAME>("NAME"),
                              platform::Field<&RowRecord::COUNT>("COUNT"));
    return layout;
  }
};

std::string Describe(EventId e, FieldId f) { return std::to_string(e) + "@" + std::to_string(f); }

class TestWindowFixture : public WindowTest {
 protected:
  // The window's procedure: logs every event with the variables, and answers a few user
  // events the test posts.
  void StartProcedure() {
    runtime.StartMain([this] {
      CString<21> name;
      CString<21> other;
      uint8_t flag = 0;
      Queue<RowRecord> rows;
      for (const char* n : {"alpha", "beta", "gamma"}) {
        rows.buffer.NAME = n;
        rows.buffer.COUNT += 10;
        rows.Add();
      }
      Window window(kWindow);
      window.Use(kName, name);
      window.Use(kOther, other);
      window.Use(kFlag, flag);
      window.From(kRows, rows);
      window.Open();
      while (window.Accept()) {
        std::string line = Describe(Event(), Field());
        if (Event() == kEventAccepted) line += " name=" + std::string(name.view());
        if (Event() == kEventNewSelection && Field() == kName) {
          line += " screen=" + GetProp(kName, Prop::ScreenText);
        }
        if (Field() == kRows) line += " choice=" + std::to_string(Choice());
        if (Event() == kEventAlertKey || Event() == kEventPreAlertKey) {
          line += " key=" + std::to_string(CurrentKeyCode());
        }
        if (Field() == kFlag && Event() == kEventAccepted) {
          line += " flag=" + std::to_string(flag);
        }
        if (Event() == kRedisplay) Display();
        if (Event() == kEventNewSelection && Field() == kName && build_on_typing) {
          // As a connect string is built while the user types: from the screen text, then
          // the whole window is redisplayed.
          other = "DSN=" + GetProp(kName, Prop::ScreenText);
          Display();
        }
        if (Event() == kChangeName) name = "changed";
        if (Event() == kPressTab) PressKey(kTabKey);
        if (Event() == kStaleOther) SetProp(kOther, Prop::ScreenText, "stale");
        log.Add(line);
      }
      log.Add("loop ended");
    });
    w = user.Window("Test window");
    log.Clear();
  }

  WindowHandle w = 0;
  std::atomic<bool> build_on_typing{false};
};

TEST_F(TestWindowFixture, TypingInAnImmediateEntrySurvivesARedisplay) {
  build_on_typing = true;
  StartProcedure();
  user.Type(w, kName, "src");
  // Each keystroke redisplayed the window: the other control follows, the entry keeps what
  // was typed, and its variable is still empty until the entry is accepted.
  EXPECT_EQ(user.ScreenText(w, kOther), "DSN=src");
  EXPECT_EQ(user.ScreenText(w, kName), "src");
  user.Click(w, kOkButton);
  EXPECT_EQ(log.lines().back(), "1@5 name=src");
}

TEST_F(TestWindowFixture, EntryAcceptedPrecedesButtonAccepted) {
  StartProcedure();
  user.Type(w, kName, "ab");
  user.Click(w, kOkButton);
  // The entry reports each keystroke (it is immediate) with the screen text readable before
  // it is accepted; clicking the button commits the entry first.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "2@2 screen=a",
                             "2@2 screen=ab",
                             "1@2 name=ab",
                             "1@5 name=ab",
                         }));
}

TEST_F(TestWindowFixture, TypingSurvivesARedisplay) {
  StartProcedure();
  user.Type(w, kOther, "typed");
  PostToWindow(w, kRedisplay);
  user.WaitUntilIdle();
  // The variable did not change, so the redisplay leaves what the user typed.
  EXPECT_EQ(user.ScreenText(w, kOther), "typed");
  user.Click(w, kOkButton);
  // ?Other was selected, the redisplay ran, then ?Other is accepted before the button.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"257@3", "1280@0", "1@3 name=", "1@5 name="}));
}

TEST_F(TestWindowFixture, DisplayShowsTheVariableWhateverTheControlShowedBefore) {
  StartProcedure();
  PostToWindow(w, kStaleOther);
  user.WaitUntilIdle();
  EXPECT_EQ(user.ScreenText(w, kOther), "stale");
  PostToWindow(w, kRedisplay);
  user.WaitUntilIdle();
  // ?Other's variable is still empty, and ?Other is not where the user types (?Name is).
  EXPECT_EQ(user.ScreenText(w, kOther), "");
}

TEST_F(TestWindowFixture, PressKeyTabsToTheNextFieldAndCommitsTheEntry) {
  StartProcedure();
  user.Type(w, kName, "x");
  PostToWindow(w, kPressTab);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"2@2 screen=x", "1282@0", "1@2 name=x", "257@3"}));
}

TEST_F(TestWindowFixture, ChangedVariableIsRedisplayed) {
  StartProcedure();
  user.Type(w, kName, "ab");
  PostToWindow(w, kChangeName);
  user.WaitUntilIdle();
  // The program changed the variable, so the next display shows it.
  EXPECT_EQ(user.ScreenText(w, kName), "changed");
}

TEST_F(TestWindowFixture, CheckBoxTogglesItsVariableOnAccepted) {
  StartProcedure();
  user.Click(w, kFlag);
  user.Click(w, kFlag);
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"257@4", "1@4 name= flag=1", "1@4 name= flag=0"}));
}

TEST_F(TestWindowFixture, StdCloseButtonClosesTheWindow) {
  StartProcedure();
  user.Click(w, kCloseButton);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@6 name=", "513@0", "loop ended"}));
  EXPECT_FALSE(display.FindWindow("Test window"));
}

TEST_F(TestWindowFixture, CloseBoxPostsCloseWindow) {
  StartProcedure();
  user.CloseBox(w);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"513@0", "loop ended"}));
}

TEST_F(TestWindowFixture, ListShowsItsQueueAndReportsSelection) {
  StartProcedure();
  std::shared_ptr<const ListSnapshot> rows = user.Rows(w, kRows);
  ASSERT_NE(rows, nullptr);
  ASSERT_EQ(rows->rows.size(), 3u);
  EXPECT_EQ(rows->rows[1], (std::vector<std::string>{"beta", "   20"}));  // @n5
  EXPECT_EQ(user.Control(w, kRows).properties.count({int32_t(Prop::Format), 0}), 1u);
  // The program chose no row: the list shows the first one chosen.
  EXPECT_EQ(user.Control(w, kRows).selected, 1);

  user.SelectRow(w, kRows, 2);
  // The focus arrives (Selected), the row is chosen, the alerted release follows; the
  // choice is the clicked row from the first of these events on.
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"257@7 choice=2", "2@7 choice=2", "15@7 choice=2 key=129"}));
}

TEST_F(TestWindowFixture, DoubleClickIsTheAlertOfKeyFive) {
  StartProcedure();
  user.DoubleClickRow(w, kRows, 3);
  // PreAlertKey comes before the press; from AlertKey on, the double-clicked row is chosen.
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"16@7 choice=0 key=5", "15@7 choice=3 key=5",
                                      "257@7 choice=3", "2@7 choice=3", "15@7 choice=3 key=129"}));
}

TEST_F(TestWindowFixture, HeaderClickReportsRowZeroAndTheColumn) {
  runtime.StartMain([this] {
    Queue<RowRecord> rows;
    Window window(kWindow);
    window.From(kRows, rows);
    window.Open();
    while (window.Accept()) {
      if (Event() == kEventAlertKey && Field() == kRows) {
        log.Add("down row=" + GetProp(kRows, Prop::MouseDownRow) +
                " column=" + GetProp(kRows, Prop::MouseDownField));
      }
    }
  });
  w = user.Window("Test window");
  user.ClickHeader(w, kRows, 2);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"down row=0 column=2"}));
}

TEST_F(TestWindowFixture, MouseMovesAreReportedStateWithoutEvents) {
  runtime.StartMain([this] {
    Queue<RowRecord> rows;
    rows.Add();
    rows.Add();
    Window window(kWindow);
    window.From(kRows, rows);
    window.Open();
    while (window.Accept()) {
      log.Add(std::to_string(Event()) + " row=" + GetProp(kRows, Prop::MouseMoveRow) +
              " state=" + GetProp(kRows, Prop::MouseState) + " at " + std::to_string(MouseX()) +
              "," + std::to_string(MouseY()));
    }
  });
  w = user.Window("Test window");
  log.Clear();
  user.MoveMouse(w, 40, 130, kRows, 2);
  EXPECT_TRUE(log.lines().empty());
  user.FireTimer(w);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"523 row=2 state=0 at 40,130"}));
}

TEST_F(TestWindowFixture, AcceptedTextIsCutToTheVariablesSizeOnACharacterBoundary) {
  runtime.StartMain([this] {
    CString<5> name;  // four bytes
    Window window(kWindow);
    window.Use(kName, name);
    window.Open();
    while (window.Accept()) {
      if (Event() == kEventAccepted) log.Add("[" + std::string(name.view()) + "]");
    }
  });
  w = user.Window("Test window");
  struct Case {
    std::string_view typed;
    std::string_view kept;
  };
  constexpr Case kCases[] = {
      {"abc", "abc"}, {"abcd", "abcd"}, {"abcde", "abcd"}, {"abc\xC3\xA9", "abc"}, {"", ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.typed));
    log.Clear();
    user.Type(w, kName, c.typed);
    user.Click(w, kOkButton);
    ASSERT_FALSE(log.lines().empty());
    EXPECT_EQ(log.lines().front(), "[" + std::string(c.kept) + "]");
    // Once accepted, the screen shows what the variable holds.
    EXPECT_EQ(user.ScreenText(w, kName), c.kept);
  }
}

TEST_F(TestWindowFixture, PropertiesByNumberWithIndexes) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    SetProp(kRows, Prop::LineHeight, 14);
    SetProp(kRows, Prop::ColumnHeader, "Renamed", 2);
    SetProp(kName, Prop::Handle, 99);  // not a control property: ignored
    log.Add(GetProp(kRows, Prop::LineHeight) + "|" + GetProp(kRows, Prop::ColumnHeader, 1) + "|" +
            GetProp(kRows, Prop::ColumnHeader, 2) + "|" + GetProp(kName, Prop::Handle) + "|" +
            GetProp(kRows, Prop::ColumnResizable, 3) + "|" + GetProp(99, Prop::Text));
    log.Add(GetProp(0, Prop::Handle) == std::to_string(window.handle()) ? "handle" : "no");
    log.Add(GetProp(0, Prop::Text));
    while (window.Accept()) {
    }
  });
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"14|Name|Renamed|||", "handle", "Test window"}));
  // The display shows the columns as the program set them.
  const ControlView list = user.Control(user.Window("Test window"), kRows);
  ASSERT_EQ(list.columns.size(), 2u);
  EXPECT_EQ(list.columns[0].header, "Name");
  EXPECT_EQ(list.columns[1].header, "Renamed");
  EXPECT_EQ(list.columns[1].width, 40);
}

TEST_F(TestWindowFixture, CreatedControlTakesTheNextFreeFieldNumber) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    const FieldId spin = Create(0, ControlType::kSpin);
    log.Add(std::to_string(spin) + " " + GetProp(spin, Prop::Type));
    log.Add(std::to_string(Create(kName, ControlType::kEntry)));  // taken
    Destroy(spin);
    log.Add(GetProp(spin, Prop::Type).empty() ? "gone" : "still there");
    while (window.Accept()) {
    }
  });
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"8 16", "0", "gone"}));
}

TEST_F(TestWindowFixture, HiddenAndDisabledControlsTakeNoInput) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    Hide(kOkButton);
    Disable(kCloseButton);
    while (window.Accept()) log.Add(Describe(Event(), Field()));
  });
  w = user.Window("Test window");
  log.Clear();
  user.Click(w, kOkButton);
  user.Click(w, kCloseButton);
  EXPECT_TRUE(log.lines().empty());
  EXPECT_FALSE(user.Control(w, kOkButton).visible);
  EXPECT_FALSE(user.Control(w, kCloseButton).enabled);
}

constexpr ControlDecl kDefaultButtonControls[] = {
    Entry("?Search", {4, 4, 100, 10}).Picture("@s20"),
    Button("?Find", "&Find", {4, 20, 40, 14}).Default(),
};
constexpr WindowStructure kDefaultButtonWindow{"test$default",     "P1$WINDOW",
                                               WindowKind::kPlain, "Default",
                                               {0, 0, 120, 40},    kDefaultButtonControls};
constexpr FieldId kSearch = kDefaultButtonWindow.Equate("?Search");
constexpr FieldId kFind = kDefaultButtonWindow.Equate("?Find");

TEST_F(WindowTest, EnterAcceptsTheTypedEntryOnceThenPressesTheDefaultButton) {
  runtime.StartMain([this] {
    CString<21> search;
    Window window(kDefaultButtonWindow);
    window.Use(kSearch, search);
    window.Open();
    while (window.Accept()) {
      log.Add(Describe(Event(), Field()) + " search=" + std::string(search.view()));
    }
  });
  const WindowHandle w = user.Window("Default");
  user.Type(w, kSearch, "ab");
  log.Clear();
  user.PressKey(w, kEnterKey);
  // Leaving the entry for the button must not commit it a second time.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1@1 search=ab", "1@2 search=ab"}));
}

constexpr ControlDecl kOwnedControls[] = {
    Button("?Done", "&Done", {4, 4, 40, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kOwnedWindow{"test$owned", "P1$WINDOW",      WindowKind::kPlain,
                                       "Owned",      {20, 20, 60, 24}, kOwnedControls};
constexpr FieldId kDone = kOwnedWindow.Equate("?Done");

constexpr WindowStructure kHostWindow{"test$host", "P1$WINDOW",        WindowKind::kPlain,
                                      "Host",      {-100, -100, 0, 0}, kOwnedControls};

TEST_F(WindowTest, AWindowOfNoSizeLeavesTheUsersWindowActive) {
  constexpr EventId kOpenHost = 0x500;
  std::string owner_active;
  std::string host_active;
  runtime.StartMain([&] {
    Window owner(kDefaultButtonWindow);
    owner.Open();
    while (owner.Accept()) {
      if (Event() != kOpenHost) continue;
      Start([&] {
        Window host(kHostWindow);
        host.Open(&owner);
        while (host.Accept()) {
          if (Event() != kEventOpenWindow) continue;
          host_active = host.Get(kNoField, Prop::Active);
          owner_active = owner.Get(kNoField, Prop::Active);
        }
      });
    }
  });
  const WindowHandle owner = user.Window("Default");
  PostToWindow(owner, kOpenHost);
  const WindowHandle host = user.Window("Host");
  user.WaitUntilIdle();
  EXPECT_EQ(host_active, "");
  EXPECT_EQ(owner_active, "1");
  EXPECT_TRUE(display.FindWindow(host)->view.shown_nowhere());
  EXPECT_NE(display.activated(), host);
  PostToWindow(host, kEventCloseWindow);
  user.WaitUntilIdle();
  user.CloseBox(owner);
}

TEST_F(WindowTest, AnOwnedPlainWindowNamesItsOwnerAndRunsItsOwnLoop) {
  constexpr EventId kOpenOwned = 0x500;
  constexpr EventId kOpenOwnedOnAThread = 0x501;
  constexpr EventId kHello = 0x502;
  runtime.StartMain([this] {
    Window owner(kDefaultButtonWindow);
    owner.Open();
    auto run_owned = [this, &owner] {
      Window owned(kOwnedWindow);
      owned.Open(&owner);
      const std::string who = "owned t" + std::to_string(Thread()) + " ";
      while (owned.Accept()) log.Add(who + Describe(Event(), Field()));
      log.Add(who + "closed");
    };
    while (owner.Accept()) {
      log.Add("owner " + Describe(Event(), Field()));
      if (Event() == kOpenOwned) run_owned();
      if (Event() == kOpenOwnedOnAThread) Start(run_owned);
    }
  });
  const WindowHandle owner = user.Window("Default");
  EXPECT_EQ(display.FindWindow(owner)->view.owner, 0);

  // Opened in the owner's loop, on the owner's thread: the owner's loop waits meanwhile, and
  // its event comes once the owned window has closed.
  PostToWindow(owner, kOpenOwned);
  WindowHandle owned = user.Window("Owned");
  std::optional<MirrorWindow> m = display.FindWindow(owned);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->view.owner, owner);
  EXPECT_EQ(m->view.kind, WindowKind::kPlain);
  EXPECT_EQ(m->view.thread, 1);
  log.Clear();
  PostToWindow(owner, kHello);
  PostToWindow(owned, kHello);
  user.WaitUntilIdle();
  user.Click(owned, kDone);
  EXPECT_FALSE(display.FindWindow(owned));
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"owned t1 1282@0", "owned t1 1@1", "owned t1 513@0",
                                      "owned t1 closed", "owner 1282@0"}));

  // Opened on a thread of its own: both loops run.
  PostToWindow(owner, kOpenOwnedOnAThread);
  owned = user.Window("Owned");
  m = display.FindWindow(owned);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->view.owner, owner);
  EXPECT_EQ(m->view.thread, 2);
  log.Clear();
  PostToWindow(owner, kHello);
  user.WaitUntilIdle();
  user.CloseBox(owned);
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"owner 1282@0", "owned t2 513@0", "owned t2 closed"}));
}

TEST_F(WindowTest, AQueueChangedOnAnotherThreadReachesTheListThatShowsIt) {
  constexpr EventId kAddRow = 0x500;
  // Shared by both threads as the program shares its catalog queues: the runtime lock
  // guards it.
  auto rows = std::make_shared<Queue<RowRecord>>();
  runtime.StartMain([rows] {
    Window window(kWindow);
    window.From(kRows, *rows);
    window.Open();
    Start([rows] {
      Window own(kDefaultButtonWindow);
      own.Open();
      while (own.Accept()) {
        if (Event() != kAddRow) continue;
        rows->buffer.NAME = "added";
        rows->Add();
      }
    });
    while (window.Accept()) {
    }
  });
  const WindowHandle w = user.Window("Test window");
  ASSERT_NE(user.Rows(w, kRows), nullptr);
  EXPECT_EQ(user.Rows(w, kRows)->rows.size(), 0u);
  PostToWindow(user.Window("Default"), kAddRow);
  user.WaitUntilIdle();
  // Thread 1 got no event of its own, yet its list shows the row thread 2 added.
  EXPECT_EQ(user.Rows(w, kRows)->rows.size(), 1u);
}

constexpr ControlDecl kSheetControls[] = {
    Sheet("?Sheet", {4, 4, 180, 100}),
    Tab("?FirstTab", "First", "?Sheet"),
    List("?Marks", {8, 20, 160, 60}).Parent("?FirstTab").Format("80L(2)@s20@").Mark(),
    Tab("?SecondTab", "Second", "?Sheet"),
    Button("?OnSecond", "On second", {8, 20, 60, 14}).Parent("?SecondTab"),
};
constexpr WindowStructure kSheetWindow{
    "test$sheet",   "P1$WINDOW", WindowKind::kPlain, "Sheet window",      {0, 0, 200, 120},
    kSheetControls, {},          kAttrNone,          {kCtrl + kAlt + 'S'}};
constexpr FieldId kSheet = kSheetWindow.Equate("?Sheet");
constexpr FieldId kSecondTab = kSheetWindow.Equate("?SecondTab");
constexpr FieldId kMarks = kSheetWindow.Equate("?Marks");
constexpr FieldId kOnSecond = kSheetWindow.Equate("?OnSecond");
constexpr KeyCode kStyleHotKey = kCtrl + kAlt + 'S';
constexpr EventId kAlertLeftButton = 0x600;
static_assert(kStyleHotKey == 0x653);

class SheetWindowTest : public WindowTest {
 protected:
  void StartProcedure() {
    runtime.StartMain([this] {
      Queue<RowRecord> rows;
      for (const char* n : {"a", "b", "c", "d"}) {
        rows.buffer.NAME = n;
        rows.Add();
      }
      rows.buffer.NAME = "kept";
      Window window(kSheetWindow);
      window.From(kMarks, rows);
      window.Mark(kMarks, 2);  // COUNT marks the row
      window.Open();
      SetProp(0, Prop::Timer, 8);  // hundredths of a second
      while (window.Accept()) {
        std::string line = std::to_string(Event()) + "@" + std::to_string(Field());
        if (Event() == kEventAlertKey || Event() == kEventPreAlertKey) {
          line += " key=" + std::to_string(CurrentKeyCode());
        }
        if (Event() == kEventPreAlertKey && cycle_pre_alert) window.Cycle();
        if (Event() == kAlertLeftButton) SetProp(0, Prop::Alrt, kMouseLeft, 255);
        if (Event() == kEventTimer) line += " active=" + GetProp(0, Prop::Active);
        if (Field() == kMarks) {
          line += " marks=";
          for (size_t r = 1; r <= rows.Records(); ++r) line += rows.entry(r).COUNT ? "1" : "0";
          line += " buffer=" + std::string(rows.buffer.NAME.view());
        }
        log.Add(line);
      }
    });
    w = user.Window("Sheet window");
    log.Clear();
  }

  std::atomic<bool> cycle_pre_alert{false};
  WindowHandle w = 0;
};

TEST_F(SheetWindowTest, ChoosingATabShowsItsControlsOnly) {
  StartProcedure();
  EXPECT_TRUE(user.Control(w, kMarks).visible);
  EXPECT_FALSE(user.Control(w, kOnSecond).visible);
  user.Click(w, kSecondTab);
  EXPECT_FALSE(user.Control(w, kMarks).visible);
  EXPECT_TRUE(user.Control(w, kOnSecond).visible);
  EXPECT_EQ(user.Control(w, kSheet).selected, 2);
  // The sheet has the focus already (its first control), so no Selected comes.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"21@1", "2@1"}));
}

TEST_F(SheetWindowTest, ClicksMarkRowsWithoutTouchingTheBuffer) {
  StartProcedure();
  user.SelectRow(w, kMarks, 2);
  user.SelectRow(w, kMarks, 4);  // a plain click marks its row alone
  ui::Input ctrl;
  ctrl.kind = ui::Input::Kind::kSelectRow;
  ctrl.field = kMarks;
  ctrl.row = 1;
  ctrl.key = kMouseLeft + kCtrl;  // Ctrl toggles
  ui::PostInput(w, ctrl);
  user.WaitUntilIdle();
  ctrl.key = kMouseLeft + kShift;  // Shift marks the range from the chosen row
  ctrl.row = 3;
  ui::PostInput(w, ctrl);
  user.WaitUntilIdle();
  const std::vector<std::string> lines = log.lines();
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], "2@3 marks=0100 buffer=kept");
  EXPECT_EQ(lines[2], "2@3 marks=0001 buffer=kept");
  EXPECT_EQ(lines[3], "2@3 marks=1001 buffer=kept");
  EXPECT_EQ(lines[4], "2@3 marks=1110 buffer=kept");
  EXPECT_EQ(user.Rows(w, kMarks)->marked, (std::vector<bool>{true, true, true, false}));
}

TEST_F(SheetWindowTest, WindowAlertKeyComesAsPreAlertAndAlert) {
  StartProcedure();
  user.PressKey(w, kStyleHotKey);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@0 key=1619", "15@0 key=1619"}));
}

TEST_F(SheetWindowTest, CyclingOnPreAlertSkipsTheClick) {
  StartProcedure();
  // Alert the left button on the window, as a mode that picks controls with the mouse does.
  PostToWindow(w, kAlertLeftButton);
  user.WaitUntilIdle();
  log.Clear();
  cycle_pre_alert = true;
  user.Click(w, kSecondTab);
  // The program cycled on PreAlertKey: AlertKey follows, the click itself does not.
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@0 key=1", "15@0 key=1"}));
  EXPECT_EQ(user.Control(w, kSheet).selected, 1);
  log.Clear();
  cycle_pre_alert = false;
  user.Click(w, kSecondTab);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"16@0 key=1", "15@0 key=1", "21@1", "2@1"}));
}

TEST_F(SheetWindowTest, TimerEventsComeFromTheBackend) {
  StartProcedure();
  EXPECT_EQ(display.FindWindow(w)->view.timer, 8);
  user.FireTimer(w);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"523@0 active=1"}));
}

}  // namespace
}  // namespace platform::ui
