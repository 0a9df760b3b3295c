// Runtime statements and dialogs through the headless backend: cursors, popups, file
// dialogs, START parameters, SETTARGET and changes made to another thread's window.
#include "platform/ui/statements.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include <gtest/gtest.h>

#include "platform/core/fixed_string.h"
#include "platform/core/process.h"
#include "platform/testing/window_test.h"
#include "platform/ui/desktop.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using headless::MirrorWindow;
using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    String("?Status", "----", {4, 4, 100, 10}),
};
constexpr WindowStructure kWindow{"test$statements", "P1$WINDOW",     WindowKind::kPlain,
                                  "Statements",      {0, 0, 120, 40}, kControls};
constexpr FieldId kStatus = kWindow.Equate("?Status");

constexpr ControlDecl kComboControls[] = {
    Combo("?Glo:Driver", {4, 4, 80, 10}).Picture("@s80").From("MSSQL|ODBC|ORACLE"),
    Button("?OkButton", "&OK", {4, 20, 40, 14}),
};
constexpr WindowStructure kComboWindow{"test$combo", "P1$WINDOW",     WindowKind::kPlain,
                                       "Combo",      {0, 0, 120, 40}, kComboControls};
constexpr FieldId kDriver = kComboWindow.Equate("?Glo:Driver");
constexpr FieldId kComboOk = kComboWindow.Equate("?OkButton");

using StatementsTest = WindowTest;

TEST_F(StatementsTest, WaitCursorsBalancePerThread) {
  std::vector<Cursor> seen;
  runtime.StartMain([&] {
    SetCursor(Cursor::kWait);
    SetCursor(Cursor::kWait);  // nested busy work
    seen.push_back(display.CursorOf(1));
    SetCursor(Cursor::kNormal);
    seen.push_back(display.CursorOf(1));  // the outer work still runs
    SetCursor(Cursor::kNormal);
    seen.push_back(display.CursorOf(1));
    SetCursor(Cursor::kNormal);  // one too many does nothing
    SetCursor(Cursor::kWait);    // left set: it ends with the thread
  });
  runtime.Join();
  EXPECT_EQ(seen, (std::vector<Cursor>{Cursor::kWait, Cursor::kWait, Cursor::kNormal}));
  EXPECT_EQ(display.CursorOf(1), Cursor::kNormal);
}

TEST_F(StatementsTest, PopupAndFileDialogAnswerFromTheirScripts) {
  display.ExpectPopup("Copy|-|More{", 3);
  display.ExpectFileDialog("/tmp/chosen.txd");
  display.ExpectFileDialog(std::nullopt);  // cancelled
  runtime.StartMain([this] {
    log.Add(std::to_string(Popup("Copy|-|More{|First|Second}|Last")));
    std::string file = "Clarion.txd";
    log.Add(std::to_string(FileDialog("Choose", file, "*.txd")) + " " + file);
    log.Add(std::to_string(FileDialog("Choose", file, "*.txd")) + " " + file);
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"3", "1 /tmp/chosen.txd", "0 /tmp/chosen.txd"}));
}

TEST_F(StatementsTest, ColourAndFontDialogsChangeTheirArgumentsOnlyWhenChosen) {
  display.ExpectColorDialog(0x0000FF);
  display.ExpectColorDialog(std::nullopt);
  display.ExpectFontDialog(FontChoice{"Arial", 10, 0, 700});
  display.ExpectFontDialog(FontChoice{"Symbol", 12, 255, 400, 2});
  display.ExpectFontDialog(std::nullopt);
  runtime.StartMain([this] {
    int32_t color = -1;
    const bool first = ColorDialog("Mark colour", color);
    log.Add(std::to_string(first) + " " + std::to_string(color));
    const bool second = ColorDialog("Background colour", color);
    log.Add(std::to_string(second) + " " + std::to_string(color));
    std::string typeface = "Small Fonts";
    int32_t size = 7, font_color = 0, style = 400;
    const bool font = FontDialog("List font", typeface, size, font_color, style);
    log.Add(std::to_string(font) + " " + typeface + " " + std::to_string(size) + " " +
            std::to_string(style));
    // With the character set, which a cancelled dialog leaves too.
    int32_t charset = 0;
    for (const char* title : {"Mark font", "Mark font again"}) {
      const bool chosen = FontDialog(title, typeface, size, font_color, style, charset);
      log.Add(std::to_string(chosen) + " " + typeface + " " + std::to_string(size) + " " +
              std::to_string(font_color) + " " + std::to_string(style) + " " +
              std::to_string(charset));
    }
  });
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"1 255", "0 255", "1 Arial 10 700", "1 Symbol 12 255 400 2",
                                      "0 Symbol 12 255 400 2"}));
  // Each dialog is shown with the program's title.
  EXPECT_EQ(display.dialog_titles(),
            (std::vector<std::string>{"Mark colour", "Background colour", "List font", "Mark font",
                                      "Mark font again"}));
}

constexpr ControlDecl kCaseControls[] = {
    Menubar(),
    Menu("?FileMenu", "&File"),
    Item("?Exit", "E&xit", "?FileMenu"),
    Entry("?Name", {4, 4, 100, 10}),
    Entry("?Later", {4, 16, 100, 10}).Hidden(),
    Button("?Go", "&Go", {4, 30, 40, 14}).Disabled(),
    String("?Note", "", {50, 30, 100, 10}),
};
constexpr WindowStructure kCaseWindow{"test$cases", "P1$WINDOW",     WindowKind::kPlain,
                                      "Cases",      {0, 0, 160, 50}, kCaseControls};
constexpr FieldId kName = kCaseWindow.Equate("?Name");
constexpr FieldId kLater = kCaseWindow.Equate("?Later");
constexpr FieldId kGo = kCaseWindow.Equate("?Go");
constexpr FieldId kNote = kCaseWindow.Equate("?Note");
static_assert(kName == 1 && kNote == 4);

std::string Geometry(FieldId field) {
  std::string out;
  for (Prop p : {Prop::Xpos, Prop::Ypos, Prop::Width, Prop::Height}) {
    out += (out.empty() ? "" : " ") + GetProp(field, p);
  }
  return out;
}

std::string Geometry(const RectDu& at) {
  return std::to_string(at.x) + " " + std::to_string(at.y) + " " + std::to_string(at.width) + " " +
         std::to_string(at.height);
}

TEST_F(StatementsTest, DisplayAndEventStatementsOnTheTargetWindow) {
  // The cases run in order on one window, each from where the one before left it. The
  // program's part runs in the window's loop on a posted event; what it answers and what
  // the loop reports of the user's part are logged.
  constexpr EventId kRunCase = 0x500;
  struct Case {
    const char* name;
    std::function<void(WindowHandle)> user_before;
    std::function<std::string()> program;
    std::function<void(WindowHandle)> user_after;  // with what the display must show
    std::vector<std::string> log;
  };
  std::function<std::string()> program;
  auto name = std::make_shared<CString<21>>();
  runtime.StartMain([this, &program, name] {
    *name = "first";
    Window window(kCaseWindow);
    window.Use(kName, *name);
    window.Open();
    while (window.Accept()) {
      if (Event() == kRunCase) log.Add(program());
      if (Event() == kEventAccepted) log.Add("accepted " + std::to_string(Field()));
    }
  });
  const Case kCases[] = {
      {"SETPOSITION of a control",
       nullptr,
       [] {
         SetPosition(kName, 10, 20, 60, 12);
         return Geometry(kName);
       },
       [this](WindowHandle w) { EXPECT_EQ(Geometry(user.Control(w, kName).at), "10 20 60 12"); },
       {"10 20 60 12"}},
      {"SETPOSITION of the window",
       nullptr,
       [] {
         SetPosition(0, 5, 6, 150, 70);
         return Geometry(0);
       },
       [this](WindowHandle w) {
         EXPECT_EQ(Geometry(display.FindWindow(w)->view.at), "5 6 150 70");
       },
       {"5 6 150 70"}},
      {"CHANGE puts the value on screen and in the variable",
       nullptr,
       [name] {
         Change(kName, "changed");
         return std::string(name->view());
       },
       [this](WindowHandle w) { EXPECT_EQ(user.ScreenText(w, kName), "changed"); },
       {"changed"}},
      {"UPDATE takes what the user typed without an Accepted",
       [this](WindowHandle w) { user.Type(w, kName, "typed"); },
       [name] {
         std::string was(name->view());
         Update(kName);
         return was + " > " + std::string(name->view());
       },
       nullptr,
       {"changed > typed"}},
      {"UNHIDE",
       nullptr,
       [] {
         const std::string was = GetProp(kLater, Prop::Visible);
         Unhide(kLater);
         return "'" + was + "' > '" + GetProp(kLater, Prop::Visible) + "'";
       },
       [this](WindowHandle w) { EXPECT_TRUE(user.Control(w, kLater).visible); },
       {"'' > '1'"}},
      {"ENABLE: the button takes clicks again",
       [this](WindowHandle w) { user.Click(w, kGo); },  // disabled: nothing happens
       [] {
         const std::string was = GetProp(kGo, Prop::Disable);
         Enable(kGo);
         return "'" + was + "' > '" + GetProp(kGo, Prop::Disable) + "'";
       },
       [this](WindowHandle w) {
         EXPECT_TRUE(user.Control(w, kGo).enabled);
         user.Click(w, kGo);
       },
       {"'1' > ''", "accepted 3"}},
      {"SETKEYCODE",
       nullptr,
       [] {
         SetKeyCode(kF1Key + 4);
         return std::to_string(CurrentKeyCode());
       },
       nullptr,
       {"116"}},
      {"KEYCODE keeps the set code at the next event",
       nullptr,
       [] { return std::to_string(CurrentKeyCode()); },
       nullptr,
       {"116"}},
      {"KEYBOARD sees a key waiting",
       nullptr,
       [] {
         const bool before = Keyboard();
         Input key;
         key.kind = Input::Kind::kKey;
         key.key = 'A';
         PostInput(TargetWindow()->handle(), key);
         return std::to_string(before) + " > " + std::to_string(Keyboard());
       },
       nullptr,
       {"0 > 1"}},
      {"FIRSTFIELD and LASTFIELD leave the menu out",
       nullptr,
       [] { return std::to_string(FirstField()) + " " + std::to_string(LastField()); },
       nullptr,
       {"1 4"}},
  };
  const WindowHandle w = user.Window("Cases");
  ASSERT_NE(w, 0);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    log.Clear();
    if (c.user_before) c.user_before(w);
    program = c.program;
    PostToWindow(w, kRunCase);
    user.WaitUntilIdle();
    if (c.user_after) c.user_after(w);
    EXPECT_EQ(log.lines(), c.log);
  }
}

TEST_F(StatementsTest, StartPassesUpToTwoTexts) {
  runtime.StartMain([this] {
    Start([this](std::string_view a) { log.Add("one " + std::string(a)); }, 25000, "x");
    Start([this](std::string_view a,
                 std::string_view b) { log.Add("two " + std::string(a) + std::string(b)); },
          25000, "y", "z");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"one x", "two yz"}));
}

TEST_F(StatementsTest, ChangesFromAnotherThreadReachTheDisplay) {
  // Styling every window sets properties of windows of other threads; the owning thread
  // is woken to show them while it waits for its events.
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    Start([this, &window] {
      SetTarget(window.handle());
      SetProp(kStatus, Prop::Text, "restyled");
      SetProp(kStatus, Prop::FontColor, 255);
      SetProp(0, Prop::Text, "New title");
      log.Add("window of thread " + GetProp(0, Prop::Thread));
      SetTarget(0);
    });
    while (window.Accept()) {
    }
  });
  const WindowHandle w = user.Window("New title");
  ASSERT_NE(w, 0);
  EXPECT_EQ(user.Control(w, kStatus).text, "restyled");
  EXPECT_EQ(user.Control(w, kStatus).properties.at({int32_t(Prop::FontColor), 0}), "255");
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"window of thread 1"}));
}

TEST_F(StatementsTest, ATargetWindowThatClosesOnItsOwnThreadIsForgotten) {
  constexpr EventId kReport = 0x500;
  runtime.StartMain([this] {
    bool other_ended = false;  // under the runtime lock
    auto window = std::make_unique<Window>(kWindow);
    window->Open();
    Start([this, &other_ended, target = window->handle()] {
      Window own(kComboWindow);
      own.Open();
      SetTarget(target);
      log.Add("target " + GetProp(0, Prop::Text));
      while (own.Accept()) {
        if (Event() == kReport) log.Add("target " + GetProp(0, Prop::Text));
      }
      other_ended = true;
    });
    while (window->Accept()) {
    }
    window.reset();
    // The program goes on until the other thread's window is closed too.
    PollUntil([&] { return other_ended; }, kPollForever);
  });
  user.WaitUntilIdle();
  user.CloseBox(user.Window("Statements"));
  // The statements of the other thread work on its own window again, not on the gone one.
  PostToWindow(user.Window("Combo"), kReport);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"target Statements", "target Combo"}));
}

TEST_F(StatementsTest, ChoosingAComboEntryPutsItOnScreenUntilAccepted) {
  runtime.StartMain([this] {
    CString<80> driver = "ODBC";
    Window window(kComboWindow);
    window.Use(kDriver, driver);
    window.Open();
    while (window.Accept()) {
      log.Add(std::to_string(Event()) + "@" + std::to_string(Field()) + " " +
              std::string(driver.view()));
    }
  });
  const WindowHandle w = user.Window("Combo");
  EXPECT_EQ(user.Rows(w, kDriver)->rows.size(), 3u);
  EXPECT_EQ(user.ScreenText(w, kDriver), "ODBC");
  log.Clear();
  user.SelectRow(w, kDriver, 3);
  EXPECT_EQ(user.ScreenText(w, kDriver), "ORACLE");
  user.Click(w, kComboOk);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"2@1 ODBC", "1@1 ORACLE", "1@2 ORACLE"}));
}

TEST_F(StatementsTest, RunProgramWaitsWithTheLockReleased) {
  // The hook stands in for the program and runs where the wait would be.
  SetProcessHook([this](const ProcessCall& call) {
    log.Add(call.program + (RuntimeLockHeld() ? " while held" : " while released"));
    return 7;
  });
  runtime.StartMain([this] {
    Result<int> r = RunProgram("notepad", {"file.txt"}, /*wait=*/true);
    log.Add(std::to_string(r.ok() ? r.value() : -1) + (RuntimeLockHeld() ? " held" : " free"));
  });
  runtime.Join();
  SetProcessHook(nullptr);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"notepad while released", "7 held"}));
}

// The desktop's opener as the user's PATH gives it: none at all, one that fails, one that
// opens. A failure is told with a message that names the file; an opening is not.
TEST_F(StatementsTest, AnOpenerThatCannotOpenIsToldWithTheNameOfTheFile) {
  const std::filesystem::path dir = std::filesystem::path(::testing::TempDir()) / "pex_opener_test";
  std::filesystem::remove_all(dir);
  struct Case {
    std::string_view name;
    std::string_view opener;  // the script put in PATH as xdg-open; empty for none
    std::string_view message;
  };
  const std::string file = "/tmp/my dir/Clarion.txd";
  const Case kCases[] = {
      {"no-opener", "",
       "Could not open|/tmp/my dir/Clarion.txd|The desktop's opener (xdg-open) could not be "
       "started or reported an error: "},
      {"no-desktop", "exit 3",
       "Could not open|/tmp/my dir/Clarion.txd|The desktop's opener (xdg-open) could not be "
       "started or reported an error: xdg-open ended with exit code 3"},
      {"opens", "exit 0", ""},
      {"opens-and-stays", "/bin/sleep 5", ""},
  };
  const char* old_path = std::getenv("PATH");
  const std::string saved = old_path != nullptr ? old_path : "";
  for (const Case& c : kCases) {
    if (!c.message.empty()) display.dialogs().ExpectMessage(c.message, kButtonOk);
  }
  std::vector<bool> opened;
  runtime.StartMain([&] {
    for (const Case& c : kCases) {
      const std::filesystem::path bin = dir / c.name;
      std::filesystem::create_directories(bin);
      if (!c.opener.empty()) {
        std::ofstream(bin / "xdg-open") << "#!/bin/sh\n" << c.opener << "\n";
        std::filesystem::permissions(bin / "xdg-open", std::filesystem::perms::owner_all);
      }
      setenv("PATH", bin.c_str(), 1);
      opened.push_back(OpenOnDesktop(file));
      setenv("PATH", saved.c_str(), 1);
    }
  });
  runtime.Join();
  EXPECT_EQ(opened, (std::vector<bool>{false, false, true, true}));
  const std::vector<MessageRequest> seen = display.dialogs().seen();
  ASSERT_EQ(seen.size(), 2u);
  for (size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE(kCases[i].name);
    EXPECT_EQ(seen[i].text.substr(0, kCases[i].message.size()), kCases[i].message);
    EXPECT_EQ(seen[i].icon, kIconExclamation);
  }
  std::filesystem::remove_all(dir);
}

TEST_F(StatementsTest, WindowsAreBuiltFromTheirRegisteredStructure) {
  RegisterWindowStructure(kComboWindow);
  runtime.StartMain([this] {
    std::unique_ptr<Window> window = BuildWindow("TEST$COMBO", "p1$window");
    log.Add(window ? std::string(window->structure().title) : "none");
    log.Add(BuildWindow("test$combo", "P2$OTHER") ? "found" : "none");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"Combo", "none"}));
}

TEST_F(StatementsTest, AWindowThatOutlivesItsProcedureClosesWithTheThread) {
  std::unique_ptr<Window> kept;
  runtime.StartMain([&kept] {
    kept = std::make_unique<Window>(kWindow);
    kept->Open();
  });
  runtime.Join();
  EXPECT_FALSE(kept->is_open());
  EXPECT_TRUE(display.Windows().empty());
}

TEST_F(StatementsTest, ShapeAndOpacityReachTheDisplay) {
  runtime.StartMain([] {
    Window window(kWindow);
    window.Open();
    window.SetShape(region::Region::Combine(region::Region(), region::Region(),
                                            region::CombineMode::kOr));  // shown nowhere
    SetProp(0, Prop::Opacity, 128);
    while (window.Accept()) {
    }
  });
  const WindowHandle w = user.Window("Statements");
  const std::optional<MirrorWindow> m = display.FindWindow(w);
  ASSERT_TRUE(m);
  ASSERT_NE(m->view.shape, nullptr);
  EXPECT_TRUE(m->view.shape->empty());
  EXPECT_EQ(m->view.properties.at({int32_t(Prop::Opacity), 0}), "128");
}

constexpr WindowStructure kModalWindow{"test$modal", "P1$WINDOW",     WindowKind::kPlain,
                                       "Modal",      {0, 0, 120, 40}, kControls,
                                       {},           kAttrModal};

TEST_F(StatementsTest, ModalIsSetWhileAModalWindowIsOpen) {
  runtime.StartMain([this] {
    log.Add("before '" + GetSystemProp(Prop::Modal) + "'");
    {
      Window modal(kModalWindow);
      modal.Open();
      log.Add("open '" + GetSystemProp(Prop::Modal) + "'");
    }
    log.Add("after '" + GetSystemProp(Prop::Modal) + "'");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"before ''", "open '1'", "after ''"}));
}

TEST_F(StatementsTest, ModalStaysSetUntilTheLastModalWindowOrDialogEnds) {
  // Thread 2's message box is open while thread 1's modal window closes, and is answered
  // only after that.
  std::atomic<WindowHandle> modal_window{0};
  std::atomic<bool> closed{false};
  display.SetDialogHook([&] {
    PostToWindow(modal_window, kEventCloseWindow);
    while (!closed.load()) std::this_thread::yield();
  });
  display.dialogs().ExpectMessage("Wait", kButtonOk);
  runtime.StartMain([&] {
    {
      Window modal(kModalWindow);
      modal.Open();
      modal_window = modal.handle();
      Start([&] {
        Message("Wait");
        log.Add("after the message '" + GetSystemProp(Prop::Modal) + "'");
      });
      while (modal.Accept()) {
      }
    }
    log.Add("after the window '" + GetSystemProp(Prop::Modal) + "'");
    closed = true;
  });
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"after the window '1'", "after the message ''"}));
}

TEST_F(StatementsTest, WhatTheProgramChangedIsOnScreenWhileItWaitsInADialog) {
  std::string shown;
  display.SetDialogHook([&] {
    const std::optional<MirrorWindow> w = display.FindWindow("Statements");
    shown = w ? w->controls.at(kStatus).text : "no window";
  });
  display.dialogs().ExpectMessage("Busy", kButtonOk);
  runtime.StartMain([] {
    Window window(kWindow);
    window.Open();
    SetProp(kStatus, Prop::Text, "Working");
    Message("Busy");
  });
  runtime.Join();
  EXPECT_EQ(shown, "Working");
}

TEST_F(StatementsTest, DesktopServicesActOnTheProgramsOwnWindows) {
  runtime.StartMain([this] {
    Window window(kWindow);  // 120 x 40 dialog units at (0, 0)
    window.Open();
    const WindowHandle h = window.handle();
    // Each call in a statement of its own: the order of operands of + is unspecified.
    region::Rect rect;
    const bool found = GetWindowRect(h, &rect);
    log.Add(std::to_string(found) + " " + std::to_string(rect.right) + "x" +
            std::to_string(rect.bottom));
    log.Add(std::to_string(GetWindowRect(h + 2, &rect)));  // no such window
    log.Add(std::to_string(GetSystemMetrics(kSmCxFrame)) + " " +
            std::to_string(GetSystemMetrics(kSmCyCaption)));
    const int32_t shaped = SetWindowRgn(h, std::nullopt, true);
    log.Add(std::to_string(shaped) + " " + std::to_string(SetWindowRgn(h + 2, std::nullopt, true)));
    const bool layered = SetLayeredWindowAttributes(h, 0, 100, kLwaAlpha);
    log.Add(std::to_string(layered) + " " + GetProp(0, Prop::Opacity));
    SetCursorPos(30, 40);
    mouse_event(kMouseEventLeftDown | kMouseEventLeftUp);
    log.Add(std::to_string(GetCursorPos().x) + "," + std::to_string(GetCursorPos().y));
  });
  runtime.Join();
  // 120 x 40 units are 240 x 80 pixels, plus two frames of 4 and a caption of 19.
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"1 248x107", "0", "4 19", "1 0", "1 100", "30,40"}));
  EXPECT_EQ(display.synthesized_buttons(),
            (std::vector<std::pair<int32_t, bool>>{{1, true}, {1, false}}));
}

// Maximized, a window shows the desktop and its placement keeps the rectangle it is
// restored to; restored, both are its own again.
TEST_F(StatementsTest, APlacementKeepsTheNormalRectangleOfAMaximizedWindow) {
  runtime.StartMain([this] {
    Window window(kWindow);  // 120 x 40 dialog units at (0, 0)
    window.Open();
    const WindowHandle h = window.handle();
    auto note = [&] {
      Yield();  // the display hears of the change
      region::Rect shown;
      WindowPlacement placement;
      GetWindowRect(h, &shown);
      GetWindowPlacement(h, &placement);
      log.Add(std::to_string(placement.show_cmd) + " " + std::to_string(shown.right) + "x" +
              std::to_string(shown.bottom) + " " + std::to_string(placement.normal.right) + "x" +
              std::to_string(placement.normal.bottom));
    };
    SetProp(0, Prop::Maximize, "1");
    note();
    SetProp(0, Prop::Maximize, "");
    note();
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"3 1024x768 248x107", "1 248x107 248x107"}));
}

TEST_F(StatementsTest, OpacityShowsOnlyWhereTheDesktopCompositesWindows) {
  runtime.StartMain([this] {
    Window window(kWindow);
    window.Open();
    const WindowHandle h = window.handle();
    log.Add(std::to_string(CanShowOpacity(h)));
    display.TEST_SetShowsOpacity(false);
    log.Add(std::to_string(CanShowOpacity(h)));
    display.TEST_SetShowsOpacity(true);
    window.Close();
    log.Add(std::to_string(CanShowOpacity(h)));
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"1", "0", "0"}));
}

// Hidden, a window is nowhere on the screen; shown restored, it is neither hidden nor
// maximized.
TEST_F(StatementsTest, AWindowHiddenAndShownRestored) {
  runtime.StartMain([this] {
    Window window(kComboWindow);  // ?OkButton at (4, 20), 40 x 14 dialog units
    window.Open();
    const WindowHandle h = window.handle();
    auto note = [&](bool answer) {
      Yield();  // the display hears of the change
      WindowPlacement placement;
      GetWindowPlacement(h, &placement);
      const std::optional<headless::MirrorWindow> m = display.FindWindow(h);
      log.Add(std::to_string(answer) + " " + std::to_string(placement.show_cmd) +
              (m && m->view.hidden ? " hidden" : " shown"));
    };
    SetProp(0, Prop::Maximize, "1");
    note(ShowWindow(h, kSwHide));
    // A click where the hidden window is reaches nothing.
    SetCursorPos(4 + 8 + 5, 4 + 19 + 40 + 5);
    mouse_event(kMouseEventLeftDown | kMouseEventLeftUp);
    note(ShowWindow(h, kSwRestore));
    note(ShowWindow(h, kSwShowMaximized));
    note(ShowWindow(h, 42));
    while (window.Accept()) {
      if (Event() == kEventAccepted) log.Add("accepted " + std::to_string(Field()));
      if (Event() == kEventOpenWindow) Post(kEventCloseWindow);
    }
  });
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"1 3 hidden", "0 1 shown", "1 3 shown", "0 3 shown"}));
}

TEST_F(StatementsTest, ASynthesizedClickReachesTheControlUnderTheMouse) {
  runtime.StartMain([this] {
    Window window(kComboWindow);  // ?OkButton at (4, 20), 40 x 14 dialog units
    window.Open();
    while (window.Accept()) {
      if (Event() == kEventAccepted) log.Add("accepted " + std::to_string(Field()));
      if (Event() == 0x700) {
        // Inside the button: frame 4 and caption 19, then (4, 20) units are (8, 40) pixels.
        SetCursorPos(4 + 8 + 5, 4 + 19 + 40 + 5);
        mouse_event(kMouseEventLeftDown);
        mouse_event(kMouseEventLeftUp);
      }
    }
  });
  const WindowHandle w = user.Window("Combo");
  PostToWindow(w, 0x700);
  user.WaitUntilIdle();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"accepted 2"}));
}

constexpr ControlDecl kOptionControls[] = {
    Option("?CHANGEGLOBALPROPERTIES", "", {4, 4, 150, 30}),
    Radio("?Global", "Change global property", {8, 8, 140, 10}, "?CHANGEGLOBALPROPERTIES")
        .Value("1"),
    Radio("?Local", "Change properties of this procedure", {8, 20, 140, 10},
          "?CHANGEGLOBALPROPERTIES")
        .Value("0"),
};
constexpr WindowStructure kOptionWindow{"test$option", "P1$WINDOW",     WindowKind::kPlain,
                                        "Option",      {0, 0, 160, 40}, kOptionControls};
constexpr FieldId kOption = kOptionWindow.Equate("?CHANGEGLOBALPROPERTIES");
constexpr FieldId kLocal = kOptionWindow.Equate("?Local");
constexpr FieldId kGlobal = kOptionWindow.Equate("?Global");

TEST_F(StatementsTest, ChoosingARadioAcceptsItsOptionWithTheRadiosValue) {
  runtime.StartMain([this] {
    uint8_t global = 1;
    Window window(kOptionWindow);
    window.Use(kOption, global);
    window.Open();
    while (window.Accept()) {
      if (Event() == kEventAccepted) {
        log.Add("accepted " + std::to_string(Field()) + " global=" + std::to_string(global));
      }
    }
  });
  const WindowHandle w = user.Window("Option");
  EXPECT_EQ(user.ScreenText(w, kOption), "1");
  user.Click(w, kLocal);
  EXPECT_EQ(user.ScreenText(w, kOption), "0");
  user.Click(w, kGlobal);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"accepted 1 global=0", "accepted 1 global=1"}));
}

TEST_F(StatementsTest, HaltGoesThroughItsHandlerAndBeepReachesTheDisplay) {
  SetHaltHandler([this](int32_t code) { log.Add("halt " + std::to_string(code)); });
  runtime.StartMain([] {
    Beep();
    Halt(3);
  });
  runtime.Join();
  SetHaltHandler(nullptr);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"halt 3"}));
  EXPECT_EQ(display.beeps(), 1);
}

}  // namespace
}  // namespace platform::ui
