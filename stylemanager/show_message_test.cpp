// The styled message window on the headless display: its lines, buttons and answers, its
// layout in the display's fixed metrics (a character 4 by 8 dialog units; a button 8 wider
// and 14 high), its keys, the standard box when asked for, and the hook set aside meanwhile.
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/call_trace.h"
#include "platform/core/message.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "stylemanager/stylemanager_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace stylemanager {
namespace {

namespace ui = platform::ui;
using platform::MessageRequest;
using platform::testing::ScriptedUser;
using ui::FieldId;
using ui::WindowHandle;

MessageRequest Request(std::string text, int32_t mask = platform::kButtonOk,
                       std::string captions = {}) {
  MessageRequest r;
  r.text = std::move(text);
  r.button_mask = mask;
  r.captions = std::move(captions);
  return r;
}

class ShowMessageTest : public testing::StyleManagerFixture {
 protected:
  // Shows `request` on thread 1 with the program's hook installed, lets `act` work on the
  // open message window, closes it by its close box when it is still open, and answers what
  // ShowMessage answered.
  int32_t Show(const MessageRequest& request,
               const std::function<void(ScriptedUser&, WindowHandle)>& act) {
    int32_t answer = -1;
    ui::Runtime runtime(display);
    runtime.StartMain([&] {
      manager.Init(0x653);
      manager.MESSAGEHOOK = {};
      ui::SetSystemMessageHook([this](const MessageRequest& r) { return manager.ShowMessage(r); });
      if (!request.captions.empty() || request.blank_buttons) {
        answer = platform::MessageWithCaptions(request.text, request.caption, request.icon,
                                               request.captions, request.default_button);
      } else {
        answer = platform::Message(request.text, request.caption, request.icon, request.button_mask,
                                   request.default_button, request.style);
      }
      ui::SetSystemMessageHook({});
      manager.Shutdown();
    });
    ScriptedUser user(runtime, display);
    user.WaitUntilIdle();
    if (const auto w = display.FindWindow("P44$MSGWIN")) {
      act(user, w->view.handle);
      if (display.FindWindow(w->view.handle)) user.CloseBox(w->view.handle);
    }
    runtime.Join();
    return answer;
  }

  // The controls of the message window of `type`, in field order.
  std::vector<ui::ControlView> Controls(WindowHandle w, ui::ControlType type) {
    std::vector<ui::ControlView> out;
    if (const auto m = display.FindWindow(w)) {
      for (const auto& [field, c] : m->controls) {
        if (c.type == type) out.push_back(c);
      }
    }
    return out;
  }

  // The focused control and Modal, as the window's own loop sees them at its next event.
  std::pair<FieldId, std::string> Probe(ScriptedUser& user, WindowHandle w) {
    std::pair<FieldId, std::string> seen{-1, "?"};
    platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
      if (call == "ZOVRestyleClass.HandleEvent") {
        seen = {ui::Focus(), ui::GetSystemProp(ui::Prop::Modal)};
      }
      return 0;
    });
    ui::PostToWindow(w, ui::kEventUser);
    user.WaitUntilIdle();
    return seen;
  }
};

std::string Describe(const ui::ControlView& c) {
  return c.text + " " + std::to_string(c.at.x) + "," + std::to_string(c.at.y) + " " +
         std::to_string(c.at.width) + "x" + std::to_string(c.at.height);
}

TEST_F(ShowMessageTest, TheTextIsOneStringPerLine) {
  struct Case {
    std::string_view name;
    std::string text;
    std::vector<std::string> lines;
  };
  std::vector<Case> cases = {
      {"bar", "one|two", {"one", "two"}},
      {"carriage return and line feed", "one\r\ntwo", {"one", "two"}},
      {"line feed alone", "one\ntwo", {"one", "two"}},
      {"carriage return before a bar", "one\r|two", {"one", "two"}},
      {"carriage return inside a line", "one\rtwo", {"one\rtwo"}},
      {"empty", "", {""}},
      {"a separator at the end", "one|", {"one", ""}},
  };
  // Lines are counted in full: the 300th is there, below the 299th.
  std::string many;
  std::vector<std::string> many_lines;
  for (int i = 1; i <= 300; ++i) {
    if (i > 1) many += '|';
    many += std::to_string(i);
    many_lines.push_back(std::to_string(i));
  }
  cases.push_back({"three hundred lines", many, many_lines});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> lines;
    Show(Request(c.text), [&](ScriptedUser&, WindowHandle w) {
      const std::vector<ui::ControlView> strings = Controls(w, ui::ControlType::kString);
      if (strings.size() == 300) {
        EXPECT_EQ(strings[299].at.y, 8 + 299 * 8);
      }
      for (const ui::ControlView& s : Controls(w, ui::ControlType::kString)) {
        lines.push_back(s.text);
        EXPECT_TRUE(s.visible);
      }
    });
    EXPECT_EQ(lines, c.lines);
  }
}

TEST_F(ShowMessageTest, EachButtonAnswersItsNumber) {
  struct Case {
    std::string_view name;
    MessageRequest request;
    std::vector<std::pair<std::string, int32_t>> buttons;
  };
  MessageRequest blank = Request("t", 0);
  blank.blank_buttons = true;
  const Case cases[] = {
      {"yes and no",
       Request("t", platform::kButtonYes | platform::kButtonNo),
       {{"&Yes", 2}, {"&No", 4}}},
      {"captions", Request("t", 0, "&Ja|&Nee"), {{"&Ja", 1}, {"&Nee", 2}}},
      {"blank", blank, {{"OK", 1}}},
      {"every bit",
       Request("t", 0xFF),
       {{"OK", 1},
        {"&Yes", 2},
        {"&No", 4},
        {"&Abort", 8},
        {"&Retry", 0x10},
        {"&Ignore", 0x20},
        {"&Cancel", 0x40},
        {"&Help", 0x80}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (size_t k = 0; k < c.buttons.size(); ++k) {
      SCOPED_TRACE(k);
      std::vector<std::pair<std::string, int32_t>> seen;
      const int32_t answer = Show(c.request, [&](ScriptedUser& user, WindowHandle w) {
        const std::vector<ui::ControlView> buttons = Controls(w, ui::ControlType::kButton);
        for (size_t i = 0; i < buttons.size(); ++i) {
          seen.emplace_back(buttons[i].text, i < c.buttons.size() ? c.buttons[i].second : 0);
        }
        if (k < buttons.size()) user.Click(w, buttons[k].field);
      });
      EXPECT_EQ(seen, c.buttons);
      EXPECT_EQ(answer, c.buttons[k].second);
    }
  }
}

TEST_F(ShowMessageTest, WithoutButtonsOnlyTheCloseBoxEndsItAnsweringZero) {
  size_t buttons = 99;
  const int32_t answer = Show(Request("Wait", 0), [&](ScriptedUser& user, WindowHandle w) {
    buttons = Controls(w, ui::ControlType::kButton).size();
    user.CloseBox(w);
  });
  EXPECT_EQ(buttons, 0u);
  EXPECT_EQ(answer, 0);
}

TEST_F(ShowMessageTest, TheLayoutFollowsTheLinesTheIconAndTheButtons) {
  struct Case {
    std::string_view name;
    MessageRequest request;
    std::vector<std::string> strings;
    std::vector<std::string> buttons;
    std::string icon;  // empty: none
    std::string size;
  };
  MessageRequest with_icon = Request("Hello");
  with_icon.icon = "Exclamation";
  MessageRequest six = Request("a|b|c|d|e|f");
  six.icon = "Question";
  const Case cases[] = {
      // The line is centred beside the icon: both have their middle at 20.
      {"an icon and one line",
       with_icon,
       {"Hello 40,16 20x8"},
       {"OK 11,40 45x14"},
       "Exclamation 8,8 24x24",
       "68x70"},
      {"six lines beside an icon at the top",
       six,
       {"a 40,8 4x8", "b 40,16 4x8", "c 40,24 4x8", "d 40,32 4x8", "e 40,40 4x8", "f 40,48 4x8"},
       {"OK 8,64 45x14"},
       "Question 8,8 24x24",
       "61x94"},
      // The row of one button is centred under the text.
      {"one narrow button under a long text",
       Request(std::string(40, 'x')),
       {std::string(40, 'x') + " 8,8 160x8"},
       {"OK 65,24 45x14"},
       "",
       "176x54"},
      {"three wide buttons under a short text",
       Request("Go?", 0, "Save all changes|Discard changes|Cancel"),
       {"Go? 8,8 12x8"},
       {"Save all changes 8,24 72x14", "Discard changes 88,24 72x14", "Cancel 168,24 72x14"},
       "",
       "248x54"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> strings;
    std::vector<std::string> buttons;
    std::string icon;
    std::string size;
    Show(c.request, [&](ScriptedUser&, WindowHandle w) {
      for (const ui::ControlView& s : Controls(w, ui::ControlType::kString))
        strings.push_back(Describe(s));
      for (const ui::ControlView& b : Controls(w, ui::ControlType::kButton))
        buttons.push_back(Describe(b));
      for (const ui::ControlView& i : Controls(w, ui::ControlType::kImage)) icon = Describe(i);
      const ui::RectDu at = display.FindWindow(w)->view.at;
      size = std::to_string(at.width) + "x" + std::to_string(at.height);
    });
    EXPECT_EQ(strings, c.strings);
    EXPECT_EQ(buttons, c.buttons);
    EXPECT_EQ(icon, c.icon);
    EXPECT_EQ(size, c.size);
  }
}

TEST_F(ShowMessageTest, TheWindowIsCentredModalAndTitledByTheCaption) {
  MessageRequest r = Request("Hello");
  r.caption = "Export";
  std::string title;
  ui::RectDu at;
  std::string modal;
  Show(r, [&](ScriptedUser& user, WindowHandle w) {
    title = display.FindWindow(w)->view.title;
    at = display.FindWindow(w)->view.at;
    modal = Probe(user, w).second;
  });
  EXPECT_EQ(title, "Export");
  EXPECT_EQ(modal, "1");
  // 61 by 54 units are 122 by 108 pixels, 130 by 135 with the frame and caption, in the
  // middle of 1024 by 768 pixels: at 447, 316 pixels.
  EXPECT_EQ(at.width, 61);
  EXPECT_EQ(at.height, 54);
  EXPECT_EQ(at.x, 447 / 2);
  EXPECT_EQ(at.y, 316 / 2);

  std::string untitled = "?";
  Show(Request("Hello"),
       [&](ScriptedUser&, WindowHandle w) { untitled = display.FindWindow(w)->view.title; });
  EXPECT_EQ(untitled, "");
}

TEST_F(ShowMessageTest, TheDefaultButtonHasTheFocusAndTheArrowsMoveIt) {
  struct Case {
    std::string_view name;
    int32_t default_button;
    std::vector<ui::KeyCode> keys;
    int32_t focused;  // the button number, from 1
  };
  const Case cases[] = {
      {"no default: the first", 0, {}, 1},
      {"the second", 2, {}, 2},
      {"beyond the last: the first", 9, {}, 1},
      {"down", 0, {ui::kDownKey}, 2},
      {"right", 0, {0x27}, 2},
      {"down and up", 0, {ui::kDownKey, ui::kUpKey}, 1},
      {"left from the third", 3, {0x25}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MessageRequest r = Request("Save?", 0, "&Save|&Discard|&Cancel");
    r.default_button = c.default_button;
    FieldId focused = -1;
    FieldId expected = -2;
    Show(r, [&](ScriptedUser& user, WindowHandle w) {
      for (ui::KeyCode key : c.keys) user.PressKey(w, key);
      focused = Probe(user, w).first;
      expected = Controls(w, ui::ControlType::kButton).at(c.focused - 1).field;
    });
    EXPECT_EQ(focused, expected);
  }
}

TEST_F(ShowMessageTest, TheStyleHotKeyOpensTheConfigurationForTheMessageWindow) {
  std::vector<std::string> configured;
  std::mutex mutex;
  const int32_t answer = Show(Request("Styled?"), [&](ScriptedUser& user, WindowHandle w) {
    platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
      std::lock_guard lock(mutex);
      if (call.starts_with("ZOVStylemanagerClass.ConfigureMain")) configured.emplace_back(call);
      return 0;
    });
    user.PressKey(w, ui::kCtrl + ui::kAlt + 'S');
  });
  EXPECT_EQ(configured.size(), 1u);
  // Only the close box ended it.
  EXPECT_EQ(answer, 0);
}

TEST_F(ShowMessageTest, UseClarionMessageBoxPassesEverythingToTheStandardBox) {
  manager.USECLARIONMESSAGEBOX = 1;
  MessageRequest r = Request("Overwrite?", platform::kButtonYes | platform::kButtonNo);
  r.caption = "Export";
  r.icon = platform::kIconQuestion;
  r.default_button = 2;
  r.style = 7;
  display.dialogs().ExpectMessage("Overwrite?", platform::kButtonNo);
  bool opened = false;
  const int32_t answer = Show(r, [&](ScriptedUser&, WindowHandle) { opened = true; });
  EXPECT_FALSE(opened);
  EXPECT_EQ(answer, platform::kButtonNo);
  ASSERT_EQ(display.dialogs().seen().size(), 1u);
  const MessageRequest seen = display.dialogs().seen()[0];
  EXPECT_EQ(seen.caption, "Export");
  EXPECT_EQ(seen.icon, "Question");
  EXPECT_EQ(seen.button_mask, 6);
  EXPECT_EQ(seen.default_button, 2);
  EXPECT_EQ(seen.style, 7);
}

TEST_F(ShowMessageTest, WhileItIsOpenMessagesOfEveryThreadGoToTheStandardBox) {
  display.dialogs().ExpectMessage("from its own thread", platform::kButtonOk);
  display.dialogs().ExpectMessage("from thread 2", platform::kButtonOk);
  std::vector<std::string> styled;
  bool hook_back = false;
  ui::Runtime runtime(display);
  runtime.StartMain([&] {
    manager.Init(0x653);
    manager.MESSAGEHOOK = {};
    const platform::MessageHook hook = [&](const MessageRequest& r) {
      styled.push_back(r.text);
      return manager.ShowMessage(r);
    };
    ui::SetSystemMessageHook(hook);
    {
      // While the window is being styled, its own thread asks, and another thread is started
      // that asks as soon as this one waits.
      platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
        if (call == "ZOVStylemanagerClass.BeforeMessageRestyle" && styled.size() == 1) {
          platform::Message("from its own thread");
          ui::Start([] { platform::Message("from thread 2"); });
        }
        return 0;
      });
      platform::Message("styled");
    }
    hook_back = static_cast<bool>(ui::GetSystemMessageHook());
    ui::SetSystemMessageHook({});
    manager.Shutdown();
  });
  ScriptedUser user(runtime, display);
  WindowHandle w = user.Window("P44$MSGWIN");
  user.WaitUntilIdle();
  user.Click(w, Controls(w, ui::ControlType::kButton).at(0).field);
  runtime.Join();
  EXPECT_EQ(styled, std::vector<std::string>{"styled"});
  EXPECT_TRUE(hook_back);
  EXPECT_EQ(display.dialogs().pending(), 0u);
}

}  // namespace
}  // namespace stylemanager
