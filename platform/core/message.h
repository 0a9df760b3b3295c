// MESSAGE and STOP: the runtime's message box and stop box. The statements live here so that
// every layer can call them; the display backend (or a test's scripted responder) answers them
// through a DialogBackend. A system message hook, when set, takes MESSAGE calls first.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace platform {

// Standard buttons, combinable as a mask. The answer of Message() is one of these values.
enum MessageButton : int32_t {
  kButtonOk = 1,
  kButtonYes = 2,
  kButtonNo = 4,
  kButtonAbort = 8,
  kButtonRetry = 16,
  kButtonIgnore = 32,
  kButtonCancel = 64,
  kButtonHelp = 128,
};

// Icons as the program names them.
inline constexpr std::string_view kIconExclamation = "Exclamation";
inline constexpr std::string_view kIconQuestion = "Question";
inline constexpr std::string_view kIconAsterisk = "Asterisk";  // information
inline constexpr std::string_view kIconHand = "Hand";          // stop

struct MessageRequest {
  std::string text;     // `|` is a line break
  std::string caption;  // empty: the default caption
  std::string icon;     // empty: none
  // Used when `captions` is empty. 0 with `blank_buttons` unset asks for no button at all;
  // the standard box shows OK then.
  int32_t button_mask = kButtonOk;
  std::string captions;  // buttons given as captions joined by `|`; answers 1..n
  // The buttons argument was blank (no captions, no mask): one OK button.
  bool blank_buttons = false;
  int32_t default_button = 0;  // 0: the first button
  int32_t style = 0;
};

// Who answers dialogs: the display backend, or a test's responder. Any thread.
class DialogBackend {
 public:
  virtual ~DialogBackend() = default;
  // Shows the message box; answers the chosen button's value (or its 1-based number when
  // the buttons were given as captions); 0 when it was closed without a button.
  virtual int32_t ShowMessage(const MessageRequest& request) = 0;
  // Shows the stop box with Abort and Ignore; true when the user chose Abort.
  virtual bool ShowStop(std::string_view text) = 0;
};

// Installs the backend (not owned; null removes it). Without one, Message answers 0 at once
// and Stop goes on, so a program without a display never blocks.
void SetDialogBackend(DialogBackend* backend);
DialogBackend* GetDialogBackend();

// The system message hook: a program function that takes every MESSAGE call. Set it to an
// empty function to remove it. While the hook runs, MESSAGE calls it makes go to the
// standard box, so a hook can fall back to the runtime's own message box.
using MessageHook = std::function<int32_t(const MessageRequest&)>;
void SetMessageHook(MessageHook hook);
// The hook in force now; empty when none is set.
MessageHook GetMessageHook();

// MESSAGE: routes through the hook when one is set, else to the standard box. The buttons
// reach the hook as given: a mask of 0 stays 0.
int32_t Message(std::string_view text, std::string_view caption = {}, std::string_view icon = {},
                int32_t buttons = kButtonOk, int32_t default_button = 0, int32_t style = 0);
// MESSAGE with buttons given as captions joined by `|` ("&Yes|&No"); answers 1..n. Blank
// captions are the blank buttons argument: one OK button, answering 1.
int32_t MessageWithCaptions(std::string_view text, std::string_view caption, std::string_view icon,
                            std::string_view captions, int32_t default_button = 0);
// The standard message box, bypassing the hook.
int32_t StandardMessage(const MessageRequest& request);

// STOP: the stop box. Abort ends the program (through the exit handler), Ignore goes on.
void Stop(std::string_view text);
// What Abort does; by default std::exit(1). Tests replace it.
void TEST_SetStopExitHandler(std::function<void()> handler);

}  // namespace platform
