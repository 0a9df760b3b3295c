// BaseWindow driven through the scripted user: the order in which Run, Open, the handlers
// and Close are called, and what their answers do.
#include "platform/ui/base_window.h"

#include <gtest/gtest.h>

#include "platform/testing/window_test.h"
#include "platform/ui/error_manager.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

using testing::Log;
using testing::WindowTest;

constexpr ControlDecl kControls[] = {
    Menubar(),
    Menu("?ActionMenu", "&Action"),
    Item("?GoItem", "&Go", "?ActionMenu"),
    Entry("?Value", {4, 4, 100, 10}).Imm(),
    Entry("?Second", {4, 16, 100, 10}),
    Button("?GoButton", "&Go", {4, 30, 40, 14}),
    List("?Rows", {4, 50, 100, 40}).From("one|two").Alrt(kMouseLeft2),
};
constexpr WindowStructure kWindow{"test$base",   "P1$WINDOW",      WindowKind::kPlain,
                                  "Base window", {0, 0, 120, 100}, kControls};
constexpr FieldId kValue = kWindow.Equate("?Value");
constexpr FieldId kSecond = kWindow.Equate("?Second");
constexpr FieldId kGoButton = kWindow.Equate("?GoButton");
constexpr FieldId kRows = kWindow.Equate("?Rows");
constexpr FieldId kGoItem = kWindow.Equate("?GoItem");
constexpr EventId kConsumeClose = 0x500;
constexpr EventId kEndTheLoop = 0x501;

class OrderWindow final : public BaseWindow {
 public:
  OrderWindow(Window& window, Log& log, ErrorManager& errors)
      : BaseWindow(window), log_(log), errors_(errors) {}

  bool consume_close = false;

  WindowAnswer Run() override {
    log_.Add("Run");
    return BaseWindow::Run();
  }
  WindowAnswer Open() override {
    errors_.TrackProcedureName("OrderProc");
    const WindowAnswer answer = BaseWindow::Open();
    if (answer != kGoOn) return answer;
    set_first_field(kSecond);
    window().Open();
    log_.Add("Open " + errors_.procedure_name());
    RefreshManagers();
    return kGoOn;
  }
  WindowAnswer HandleEvent() override {
    log_.Add("HandleEvent " + std::to_string(Event()) + "@" + std::to_string(Field()));
    if (consume_close && Event() == kEventCloseWindow) {
      consume_close = false;
      return kHandled;  // the close does not go through
    }
    if (Event() == kConsumeClose) consume_close = true;
    if (Event() == kEndTheLoop) return kEndLoop;
    return BaseWindow::HandleEvent();
  }
  WindowAnswer HandleAccepted() override {
    const WindowAnswer answer = BaseWindow::HandleAccepted();
    log_.Add("HandleAccepted " + std::to_string(Field()));
    if (Field() == kGoButton || Field() == kGoItem) {
      UpdateManagers();
      log_.Add("Go with " + value + ", " + second);
    }
    return answer;
  }
  WindowAnswer HandleNewSelection() override {
    const WindowAnswer answer = BaseWindow::HandleNewSelection();
    log_.Add("HandleNewSelection " + std::to_string(Field()));
    return answer;
  }
  WindowAnswer HandleFieldEvent() override {
    const WindowAnswer answer = BaseWindow::HandleFieldEvent();
    log_.Add("HandleFieldEvent " + std::to_string(Event()));
    return answer;
  }
  WindowAnswer HandleWindowEvent() override {
    const WindowAnswer answer = BaseWindow::HandleWindowEvent();
    log_.Add("HandleWindowEvent " + std::to_string(Event()) + " focus " + std::to_string(Focus()));
    return answer;
  }
  WindowAnswer Close() override {
    const WindowAnswer answer = BaseWindow::Close();
    if (answer != kGoOn) {
      log_.Add("Close again");
      return answer;
    }
    errors_.TrackProcedureName();
    log_.Add("Close, name now '" + errors_.procedure_name() + "'");
    return kGoOn;
  }

  std::string value;
  std::string second;

 private:
  Log& log_;
  ErrorManager& errors_;
};

class BaseWindowTest : public WindowTest {
 protected:
  void StartProcedure() {
    runtime.StartMain([this] {
      errors.TrackProcedureName("Main");
      Window window(kWindow);
      OrderWindow object(window, log, errors);
      window.Use(kValue, object.value);
      window.Use(kSecond, object.second);
      log.Add("Run answered " + std::to_string(object.Run()));
      object.Close();  // a second close does nothing
      log.Add("name '" + errors.procedure_name() + "'");
    });
    w = user.Window("Base window");
  }

  ErrorManager errors;
  WindowHandle w = 0;
};

TEST_F(BaseWindowTest, OperationsRunInTheFrameOrder) {
  StartProcedure();
  user.Type(w, kValue, "x");
  user.Click(w, kGoButton);
  user.DoubleClickRow(w, kRows, 2);
  user.CloseBox(w);
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{
                             "Run",
                             "Open OrderProc",
                             // Window events go to HandleWindowEvent; on open the focus goes
                             // to the window object's first field.
                             "HandleEvent 515@0",
                             "HandleWindowEvent 515 focus 2",
                             // Typing moves the focus: Selected, then each keystroke.
                             "HandleEvent 257@1",
                             "HandleFieldEvent 257",
                             "HandleEvent 2@1",
                             "HandleNewSelection 1",
                             "HandleFieldEvent 2",
                             // The entry is accepted before the button.
                             "HandleEvent 1@1",
                             "HandleAccepted 1",
                             "HandleFieldEvent 1",
                             "HandleEvent 1@3",
                             "HandleAccepted 3",
                             "Go with x, ",
                             "HandleFieldEvent 1",
                             // A double click on the list: the alert, then the selection.
                             "HandleEvent 16@4",
                             "HandleFieldEvent 16",
                             "HandleEvent 15@4",
                             "HandleFieldEvent 15",
                             "HandleEvent 257@4",
                             "HandleFieldEvent 257",
                             "HandleEvent 2@4",
                             "HandleNewSelection 4",
                             "HandleFieldEvent 2",
                             "HandleEvent 513@0",
                             "HandleWindowEvent 513 focus 4",
                             "Close, name now 'Main'",
                             "Run answered 0",
                             "Close again",
                             "name 'Main'",
                         }));
}

TEST_F(BaseWindowTest, UpdateManagersTakesTextThatWasNeverAccepted) {
  StartProcedure();
  // Typing into the entry that is not immediate accepts nothing; the menu item takes no focus,
  // so the entry is not accepted before it either: only UpdateManagers puts the text into
  // the variable.
  user.Type(w, kSecond, "typed");
  log.Clear();
  user.ChooseMenu(w, kGoItem);
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"HandleEvent 1@-2", "HandleAccepted -2",
                                                   "Go with , typed", "HandleFieldEvent 1"}));
}

TEST_F(BaseWindowTest, HandledSkipsTheDefaultAction) {
  StartProcedure();
  PostToWindow(w, kConsumeClose);
  user.WaitUntilIdle();
  user.CloseBox(w);
  // The close was handled (CYCLE): the window stays open.
  EXPECT_TRUE(display.FindWindow("Base window"));
  log.Clear();
  user.CloseBox(w);
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"HandleEvent 513@0", "HandleWindowEvent 513 focus 2",
                                      "Close, name now 'Main'", "Run answered 0", "Close again",
                                      "name 'Main'"}));
}

TEST_F(BaseWindowTest, EndLoopEndsTheLoopWithoutACloseEvent) {
  StartProcedure();
  log.Clear();
  PostToWindow(w, kEndTheLoop);
  runtime.Join();
  EXPECT_EQ(log.lines(),
            (std::vector<std::string>{"HandleEvent 1281@0", "Close, name now 'Main'",
                                      "Run answered 0", "Close again", "name 'Main'"}));
}

TEST_F(BaseWindowTest, ProcedureNamesArePerThread) {
  runtime.StartMain([this] {
    errors.TrackProcedureName("Main");
    Start([this] {
      log.Add("other thread '" + errors.procedure_name() + "'");
      errors.TrackProcedureName("Child");
      log.Add("other thread '" + errors.procedure_name() + "'");
    });
    Yield();
    log.Add("thread 1 '" + errors.procedure_name() + "'");
  });
  runtime.Join();
  EXPECT_EQ(log.lines(), (std::vector<std::string>{"other thread ''", "other thread 'Child'",
                                                   "thread 1 'Main'"}));
}

}  // namespace
}  // namespace platform::ui
