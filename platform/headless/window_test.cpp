// Windows driven through the scripted user: events and their order, bound variables,
// redisplay, lists, properties, controls created at run time.
#include "platform/ui/window.h"

#include <gtest/gtest.h>

#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/headless/test_support.h"
#include "platform/ui/list_control.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"

namespace platform::headless {
namespace {

using namespace platform::ui;

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

struct RowRecord {
  CString<21> NAME;
  int32_t COUNT = 0;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<RowRecord>("ROW", Field<&RowRecord::NAME>("NAME"),
                                                             Field<&RowRecord::COUNT>("COUNT"));
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
        if (Event() == kChangeName) name = "changed";
        log.Add(line);
      }
      log.Add("loop ended");
    });
    w = user.Window("Test window");
    log.Clear();
  }

  WindowHandle w = 0;
};

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
  EXPECT_EQ(rows->rows[1], (std::vector<std::string>{"beta", "20"}));
  EXPECT_EQ(user.Control(w, kRows).properties.count({int32_t(Prop::Format), 0}), 1u);

  user.SelectRow(w, kRows, 2);
  // The focus arrives (Selected), the row is chosen, the alerted release follows; the
  // choice is the clicked row from the first of these events on.
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"257@7 choice=2", "2@7 choice=2", "15@7 choice=2 key=129"}));
}

TEST_F(TestWindowFixture, DoubleClickIsTheAlertOfKeyFive) {
  StartProcedure();
  user.DoubleClickRow(w, kRows, 3);
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"16@7 choice=3 key=5", "15@7 choice=3 key=5",
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

}  // namespace
}  // namespace platform::headless
