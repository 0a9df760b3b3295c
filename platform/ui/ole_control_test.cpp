#include "platform/ui/ole_control.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/headless/virtual_clock.h"
#include "platform/testing/window_test.h"
#include "platform/ui/control_family.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    // As the agent window declares its control.
    Ole("?AgentOle", "Agent.Control.2", {0, 0, 0, 0}).Hidden().Skip(),
    Ole("?EmptyOle", {}, {10, 10, 20, 20}),
    Entry("?Name", {4, 40, 60, 10}),
    Button("?Next", "&Next", {4, 60, 40, 14}),
};
constexpr WindowStructure kWindow{"test$ole", "P1$WINDOW",     WindowKind::kPlain,
                                  "OLE",      {0, 0, 120, 80}, kControls};
constexpr FieldId kAgentOle = kWindow.Equate("?AgentOle");
constexpr FieldId kEmptyOle = kWindow.Equate("?EmptyOle");
constexpr FieldId kName = kWindow.Equate("?Name");

const std::string kMerlin = std::string(PEX_SHARE_DIR) + "/Msagent/CHARS/Merlin.ACS";

// Runs the window; each click of ?Next runs the next step on the window's thread, which
// logs what it answers.
class OleControlTest : public WindowTest {
 protected:
  using Step = std::function<std::string()>;

  void Run(std::vector<Step> steps) {
    runtime.StartMain([this, steps = std::move(steps)] {
      Window window(kWindow);
      window.Open();
      size_t next = 0;
      while (window.Accept()) {
        if (Event() == kEventAccepted && Field() == kWindow.Equate("?Next") &&
            next < steps.size()) {
          log.Add(steps[next++]());
        }
      }
    });
    w = user.Window("OLE");
    ASSERT_NE(w, 0);
  }
  // Runs the next step and answers its line.
  std::string Next() {
    const size_t before = log.lines().size();
    user.Click(w, "?Next");
    const std::vector<std::string> lines = log.lines();
    return lines.size() == before + 1 ? lines.back() : "no step ran";
  }
  std::string Shows(const std::string& name) const {
    const auto v = display.characters().Last(name);
    return v ? headless::CharacterMirror::Describe(*v) : "not shown";
  }

  headless::VirtualClock clock{runtime, display};
  WindowHandle w = 0;
};

TEST_F(OleControlTest, OnlyTheAgentServerCreatesAnObject) {
  struct Case {
    std::string_view server;
    std::string_view ole;
  };
  constexpr Case kCases[] = {
      {"Agent.Control.2", "1"}, {"Word.Document.8", ""}, {"", ""},
      {"AGENT.CONTROL.2", "1"},  // server names are not case-sensitive
      {"Agent.Control.2 ", ""},  // the program takes the blanks off; the runtime does not
      {"Agent.Control", ""},
  };
  std::vector<Step> steps;
  steps.push_back([] {
    // Declared with the agent server: created with the window. Declared without: none.
    return "declared " + GetProp(kAgentOle, Prop::Ole) + "/" + GetProp(kEmptyOle, Prop::Ole);
  });
  for (const Case& c : kCases) {
    steps.push_back([c] {
      const bool created = OleCreate(kEmptyOle, c.server);
      return std::string(created ? "created " : "none ") + GetProp(kEmptyOle, Prop::Ole);
    });
  }
  steps.push_back([] {
    // OLE is the control's to answer; another kind of control creates nothing.
    SetProp(kAgentOle, Prop::Ole, "");
    SetProp(kEmptyOle, Prop::Ole, "1");
    const bool on_entry = OleCreate(kName, "Agent.Control.2");
    return "after set " + GetProp(kAgentOle, Prop::Ole) + "/" + GetProp(kEmptyOle, Prop::Ole) +
           ", entry " + (on_entry ? "created" : "none") + " '" + GetProp(kName, Prop::Ole) + "'";
  });
  Run(std::move(steps));
  EXPECT_EQ(Next(), "declared 1/");
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.server);
    EXPECT_EQ(Next(), std::string(c.ole.empty() ? "none " : "created ") + std::string(c.ole));
  }
  EXPECT_EQ(Next(), "after set 1/, entry none ''");
}

TEST_F(OleControlTest, ConnectedReadCallAndAssignReachTheCharacter) {
  const std::string n = "Characters(\"Merlin\").";
  const std::string load = "Characters.Load(\"Merlin\", " + kMerlin + ")";
  Run({
      [this] {
        // The way the agent thread starts its control.
        const std::string server = "Agent.Control.2    ";
        if (GetProp(kAgentOle, Prop::Ole).empty()) (void)OleCreate(kAgentOle, server);
        OleRegisterEventHandler(kAgentOle,
                                [this](const OleEvent& e) { log.Add("event " + e.name); });
        return std::string(OleSetMember(kAgentOle, "Connected", 1) ? "connected" : "refused") +
               (OleSetMember(kAgentOle, "Visible", 1) ? ", visible" : ", no Visible");
      },
      [&] {
        const std::string loaded = OleRead(kAgentOle, load);
        OleAssign(kAgentOle, n + "LanguageID", 1043);
        const std::string language = OleRead(kAgentOle, n + "LanguageID");
        const std::string width = OleRead(kAgentOle, n + "Width");
        return "load " + loaded + ", language " + language + ", size " + width + "x" +
               OleRead(kAgentOle, n + "Height");
      },
      [&] {
        OleAssign(kAgentOle, n + "Height", 96);
        OleCall(kAgentOle, n + "Activate(2)");
        const std::string shown = OleRead(kAgentOle, n + "Show(True)");
        return "shown " + shown + ", moving " + OleRead(kAgentOle, n + "MoveTo(300,-40,1000)");
      },
      [&] { return "at " + OleRead(kAgentOle, n + "Left") + "," + OleRead(kAgentOle, n + "Top"); },
      [&] { return "speaking " + OleRead(kAgentOle, n + "Speak(\"Hello\")"); },
      [&] {
        OleCall(kAgentOle, n + "StopAll");
        const std::string unloaded = OleRead(kAgentOle, "Characters.UnLoad(\"Merlin\")");
        return "unloaded '" + unloaded + "' '" + OleRead(kAgentOle, n + "Left") + "'";
      },
  });
  EXPECT_EQ(Next(), "connected, no Visible");
  EXPECT_EQ(Next(), "load 1, language 1043, size 128x128");
  EXPECT_EQ(Next(), "shown 2, moving 3");
  // Shown at once, on top, its new height assigned, and setting off to the right.
  EXPECT_EQ(Shows("Merlin"), "Merlin shown at 0,0 128x96 frame move_right1 on top");
  clock.AdvanceMs(500);
  // Halfway along the move.
  EXPECT_EQ(Next(), "at 150,-20");
  clock.AdvanceMs(500);
  EXPECT_EQ(Next(), "speaking 4");
  clock.AdvanceMs(10);
  EXPECT_EQ(Shows("Merlin"),
            "Merlin shown at 300,-40 128x96 frame talk1 on top, speech \"Hello\" spoken at "
            "364,-36");
  EXPECT_EQ(Next(), "unloaded '' ''");
  EXPECT_EQ(Shows("Merlin"), "not shown");
  // The member it does not have is recorded; every automation text was known. The stand-in
  // raised no event.
  EXPECT_EQ(display.characters().unknown_texts(), std::vector<std::string>{"Visible"});
  EXPECT_EQ(log.lines().size(), 6u);
}

TEST_F(OleControlTest, TheCharactersGoWithTheObject) {
  const std::string load = "Characters.Load(\"Merlin\", " + kMerlin + ")";
  Run({
      [&] {
        (void)OleRead(kAgentOle, load);
        return "shown " + OleRead(kAgentOle, "Characters(\"Merlin\").Show(True)");
      },
      [] {
        // A new object in place of the old one: the old one's characters leave the screen.
        return std::string(OleCreate(kAgentOle, "Agent.Control.2") ? "again" : "none");
      },
  });
  EXPECT_EQ(Next(), "shown 2");
  EXPECT_NE(Shows("Merlin"), "not shown");
  EXPECT_EQ(Next(), "again");
  EXPECT_EQ(Shows("Merlin"), "not shown");
  EXPECT_EQ(display.characters().lines().back(), "Merlin removed");
}

TEST_F(OleControlTest, IsListedInvisibleAndZeroByZero) {
  Run({[] {
    Unhide(kEmptyOle);
    SetProp(kEmptyOle, Prop::Width, 50);
    return std::string("unhidden");
  }});
  EXPECT_EQ(Next(), "unhidden");
  for (const FieldId f : {kAgentOle, kEmptyOle}) {
    SCOPED_TRACE(f);
    const ControlView v = user.Control(w, f);
    EXPECT_EQ(v.type, ControlType::kOle);
    EXPECT_FALSE(v.visible);
    EXPECT_EQ(v.at.width, 0);
    EXPECT_EQ(v.at.height, 0);
  }
  // Nor can it hold the focus.
  EXPECT_EQ(FamilyOf(ControlType::kOle).takes_focus, false);
}

// A server only this test knows: its object raises an event named after each statement.
class RaisingObject final : public OleObject {
 public:
  std::string Read(std::string_view) override { return "read"; }
  void Call(std::string_view statement) override {
    if (handler_) handler_(OleEvent{std::string(statement), {"1", "two"}});
  }
  void Assign(std::string_view, int32_t) override {}
  bool SetMember(std::string_view, int32_t) override { return false; }
  void SetEventHandler(OleEventHandler handler) override { handler_ = std::move(handler); }

 private:
  OleEventHandler handler_;
};
constexpr OleServer kRaisingServer{"Test.Raising.1",
                                   [](DisplayBackend&) -> std::unique_ptr<OleObject> {
                                     return std::make_unique<RaisingObject>();
                                   }};

TEST_F(OleControlTest, EventsReachTheProgramsHandlerOnTheWindowsThread) {
  RegisterOleServer(kRaisingServer);
  auto events = std::make_shared<std::vector<std::string>>();
  Run({
      [] {
        // Raised before any handler is registered: dropped.
        (void)OleCreate(kEmptyOle, "Test.Raising.1");
        OleCall(kEmptyOle, "Early");
        return std::string("created");
      },
      [events] {
        const ThreadId window_thread = Thread();
        OleRegisterEventHandler(kEmptyOle, [events, window_thread](const OleEvent& e) {
          events->push_back(e.name + "(" + e.parameters.at(0) + "," + e.parameters.at(1) + ")" +
                            (Thread() == window_thread && RuntimeLockHeld() ? " here" : " away"));
        });
        OleCall(kEmptyOle, "Clicked");
        // The handler stays for an object created later.
        (void)OleCreate(kEmptyOle, "Test.Raising.1");
        OleCall(kEmptyOle, "Again");
        OleRegisterEventHandler(kEmptyOle, {});
        OleCall(kEmptyOle, "Late");
        return std::to_string(events->size()) + " events";
      },
  });
  EXPECT_EQ(Next(), "created");
  EXPECT_EQ(Next(), "2 events");
  EXPECT_EQ(*events, (std::vector<std::string>{"Clicked(1,two) here", "Again(1,two) here"}));
}

}  // namespace
}  // namespace platform::ui
