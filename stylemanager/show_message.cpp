// The program's messages in the styled message window: a window built at run time with one
// string per text line, an optional icon and a row of buttons, styled by a restyle object of
// its own under "~ZOVRestyleMessage~". While it is open the system message hook is set aside,
// so any MESSAGE meanwhile, of any thread, shows the standard box.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/call_trace.h"
#include "platform/core/message.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

namespace ui = platform::ui;
using ui::ControlType;
using ui::FieldId;
using ui::KeyCode;
using ui::Prop;

constexpr std::string_view kMessageProcedure = "~ZOVRestyleMessage~";

// Every control is made at run time; the window is modal, so Modal holds while it is open, as
// it does for the standard box.
constexpr ui::WindowStructure kMessageWindow{.module = "zovstyma",
                                             .label = "P44$MSGWIN",
                                             .kind = ui::WindowKind::kPlain,
                                             .title = "Message",
                                             .at = {0, 0, 100, 20},
                                             .controls = {},
                                             .attrs = ui::kAttrModal};

constexpr KeyCode kLeftKey = 0x25;
constexpr KeyCode kUpKey = ui::kUpKey;
constexpr KeyCode kRightKey = 0x27;
constexpr KeyCode kDownKey = ui::kDownKey;
static_assert(kUpKey == 0x26 && kDownKey == 0x28);

// The standard buttons of a mask, in the order they stand in the row.
struct StandardButton {
  int32_t bit;
  std::string_view caption;
};
constexpr StandardButton kStandardButtons[] = {
    {platform::kButtonOk, "OK"},          {platform::kButtonYes, "&Yes"},
    {platform::kButtonNo, "&No"},         {platform::kButtonAbort, "&Abort"},
    {platform::kButtonRetry, "&Retry"},   {platform::kButtonIgnore, "&Ignore"},
    {platform::kButtonCancel, "&Cancel"}, {platform::kButtonHelp, "&Help"},
};

// Layout, in dialog units.
constexpr int32_t kIconAt = 8;
constexpr int32_t kIconSize = 24;
constexpr int32_t kIconColumn = 32;
constexpr int32_t kMargin = 8;
constexpr int32_t kTextRoom = 24;
constexpr int32_t kNarrowestButton = 45;

// One row of the window's control list. Line and button numbers are full integers: a message
// of more than 255 lines or buttons is laid out whole.
enum class Kind { kTextLine = 1, kButton = 2 };
struct MessageControl {
  FieldId CONTROLEQUATE = 0;
  int32_t CONTROLNUMBER = 0;
  Kind CONTROLTYPE = Kind::kTextLine;
  int32_t RETURNVALUE = 0;
};

// The lines of a message: split at "|" or a line feed, a carriage return just before the
// separator dropped; the text after the last separator is the last line, so an empty text is
// one empty line.
std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find_first_of("|\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(text.substr(start));
      return lines;
    }
    size_t line_end = end;
    if (line_end > start && text[line_end - 1] == '\r') --line_end;
    lines.emplace_back(text.substr(start, line_end - start));
    start = end + 1;
  }
}

}  // namespace

int32_t ZOVStylemanagerClass::ShowMessage(const platform::MessageRequest& request) {
  platform::TraceCall("ZOVStylemanagerClass.ShowMessage " + request.text);
  // The window needs a runtime thread; a message from anywhere else shows the standard box.
  if (!ui::RuntimeLockHeld() || ui::Thread() == 0) return platform::StandardMessage(request);

  // Declared before its restyle object, the window closes once the object has left the
  // registry.
  ui::Window window(kMessageWindow);
  restyle::ZOVRestyleClass restyle;
  restyle.SetCreatorsInitialValues();
  const platform::MessageHook remembered = ui::GetSystemMessageHook();
  ui::SetSystemMessageHook(MESSAGEHOOK);
  if (USECLARIONMESSAGEBOX == 1) {
    const int32_t answer = platform::StandardMessage(request);
    ui::SetSystemMessageHook(remembered);
    return answer;
  }

  // Owned by the window the message was raised from, so it stays above it.
  window.Open(ui::TargetWindow());
  window.Set(0, Prop::Buffer, "1");
  const int32_t default_button = request.default_button == 0 ? 1 : request.default_button;
  window.Set(0, Prop::Text, "");

  std::vector<MessageControl> controls;
  int32_t widest_line = 0;
  int32_t line_height = 0;
  int32_t lines = 0;
  for (const std::string& line : SplitLines(request.text)) {
    const FieldId field = window.Create(0, ControlType::kString);
    controls.push_back({field, ++lines, Kind::kTextLine, 0});
    window.Set(field, Prop::Text, line);
    window.Set(field, Prop::Trn, "1");
    const auto width = static_cast<int32_t>(platform::TextToNumber(window.Get(field, Prop::Width)));
    if (width > widest_line) {
      widest_line = width;
      line_height = static_cast<int32_t>(platform::TextToNumber(window.Get(field, Prop::Height)));
    }
  }
  if (!request.caption.empty()) window.Set(0, Prop::Text, request.caption);

  int32_t widest_button = 0;
  int32_t button_height = 0;
  int32_t buttons = 0;
  const auto add_button = [&](std::string_view caption, int32_t answer) {
    const FieldId field = window.Create(0, ControlType::kButton);
    for (KeyCode key : {kLeftKey, kUpKey, kRightKey, kDownKey}) {
      if (ui::Control* c = window.control(field)) c->Alert(key);
    }
    controls.push_back({field, ++buttons, Kind::kButton, answer});
    window.Set(field, Prop::Text, caption);
    const auto width = static_cast<int32_t>(platform::TextToNumber(window.Get(field, Prop::Width)));
    if (width > widest_button) {
      widest_button = width;
      button_height = static_cast<int32_t>(platform::TextToNumber(window.Get(field, Prop::Height)));
    }
  };
  const std::string_view captions = platform::ClipView(request.captions);
  if (!captions.empty() && !platform::Numeric(captions)) {
    int32_t number = 0;
    size_t start = 0;
    for (;;) {
      const size_t end = request.captions.find('|', start);
      add_button(std::string_view(request.captions).substr(start, end - start), ++number);
      if (end == std::string::npos) break;
      start = end + 1;
    }
  } else if (request.blank_buttons || (!request.captions.empty() && captions.empty())) {
    add_button(Translate("OK"), platform::kButtonOk);
  } else {
    const int32_t mask = captions.empty() ? request.button_mask
                                          : static_cast<int32_t>(platform::TextToNumber(captions));
    for (const StandardButton& b : kStandardButtons) {
      if ((mask & b.bit) != 0) add_button(Translate(b.caption), b.bit);
    }
  }
  widest_button = std::max(widest_button, kNarrowestButton);

  // Layout.
  FieldId icon = 0;
  if (!request.icon.empty()) {
    icon = window.Create(0, ControlType::kImage);
    window.SetPosition(icon, kIconAt, kIconAt, kIconSize, kIconSize);
    window.Set(icon, Prop::Text, request.icon);
  }
  const int32_t icon_width = icon != 0 ? kIconColumn : 0;
  int32_t height = 0;
  int32_t text_y = 0;
  if (icon_width + 16 > lines * line_height + kTextRoom) {
    height = icon_width + 16 + button_height + kMargin;
    text_y = (kTextRoom - lines * line_height) / 2;
  } else {
    height = lines * line_height + kTextRoom + button_height + kMargin;
  }
  const int32_t row = buttons * (widest_button + kMargin) + kMargin;
  int32_t width = 0;
  int32_t row_x = 0;
  if (icon_width + kMargin + widest_line + kMargin > row) {
    width = icon_width + widest_line + 16;
    row_x = (width - row) / 2;
  } else {
    width = row;
  }
  restyle.AddControl(0, 0, kMessageProcedure, kMessageProcedure);
  for (const FieldId field : window.Fields()) {
    const auto row_of =
        std::find_if(controls.begin(), controls.end(),
                     [&](const MessageControl& c) { return c.CONTROLEQUATE == field; });
    if (row_of != controls.end() && row_of->CONTROLTYPE == Kind::kButton) {
      window.Set(field, Prop::Xpos,
                 std::to_string(row_x + kMargin +
                                (row_of->CONTROLNUMBER - 1) * (widest_button + kMargin)));
      window.Set(field, Prop::Ypos, std::to_string(height - kMargin - button_height - kMargin));
      window.Set(field, Prop::Width, std::to_string(widest_button));
    } else if (row_of != controls.end()) {
      window.Set(field, Prop::Xpos, std::to_string(icon_width + kMargin));
      window.Set(field, Prop::Ypos,
                 std::to_string(text_y + kMargin + (row_of->CONTROLNUMBER - 1) * line_height));
    }
    window.SetHidden(field, field, false);
    const std::string text = window.Get(field, Prop::Text);
    restyle.AddControl(field, 0, text, text);
  }
  window.Set(0, Prop::Width, std::to_string(width));
  window.Set(0, Prop::Height, std::to_string(height));
  window.Set(0, Prop::Center, "1");

  RestyleMessageWindow(window, restyle);
  ui::SetCursor(ui::Cursor::kNormal);

  int32_t answer = 0;
  bool chosen = false;
  while (!chosen && window.Accept()) {
    if (restyle.HandleEvent() != 0) {
      window.Cycle();
      continue;
    }
    switch (ui::Event()) {
      case ui::kEventOpenWindow: {
        // A default beyond the last button gives the focus to the first.
        const auto is_default = [&](const MessageControl& c) {
          return c.CONTROLTYPE == Kind::kButton && c.CONTROLNUMBER == default_button;
        };
        const auto first = [](const MessageControl& c) { return c.CONTROLTYPE == Kind::kButton; };
        auto it = std::find_if(controls.begin(), controls.end(), is_default);
        if (it == controls.end()) it = std::find_if(controls.begin(), controls.end(), first);
        if (it != controls.end()) window.Select(it->CONTROLEQUATE);
        break;
      }
      case ui::kEventAlertKey: {
        const KeyCode key = ui::CurrentKeyCode();
        if (key == kUpKey || key == kLeftKey) ui::PressKey(ui::kShift + ui::kTabKey);
        if (key == kDownKey || key == kRightKey) ui::PressKey(ui::kTabKey);
        break;
      }
      case ui::kEventAccepted: {
        const auto it = std::find_if(controls.begin(), controls.end(), [](const MessageControl& c) {
          return c.CONTROLEQUATE == ui::Field() && c.CONTROLTYPE == Kind::kButton;
        });
        if (it != controls.end()) {
          answer = it->RETURNVALUE;
          chosen = true;
        }
        break;
      }
      default:
        break;
    }
  }
  ui::SetSystemMessageHook(remembered);
  return answer;
}

void ZOVStylemanagerClass::RestyleMessageWindow(ui::Window& window,
                                                restyle::ZOVRestyleClass& restyle) {
  (void)restyle.Init(*this, kMessageProcedure);
  restyle.SetWindow(window, 1);
}

}  // namespace stylemanager
