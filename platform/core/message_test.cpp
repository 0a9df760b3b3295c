#include "platform/core/message.h"

#include <functional>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "platform/testing/dialog_script.h"

namespace platform {
namespace {

TEST(Message, GoesToTheBackendWithItsButtons) {
  testing::DialogScript dialogs;
  dialogs.ExpectMessage("Overwrite?", kButtonNo);
  EXPECT_EQ(Message("Overwrite?|really", "Export", kIconQuestion, kButtonYes | kButtonNo),
            kButtonNo);
  ASSERT_EQ(dialogs.seen().size(), 1u);
  EXPECT_EQ(dialogs.seen()[0].caption, "Export");
  EXPECT_EQ(dialogs.seen()[0].button_mask, kButtonYes | kButtonNo);
}

TEST(Message, HookTakesMessagesAndMayFallBackToTheStandardBox) {
  testing::DialogScript dialogs;
  dialogs.ExpectMessage("[styled] hello", kButtonOk);
  std::vector<std::string> hooked;
  SetMessageHook([&](const MessageRequest& r) {
    hooked.push_back(r.text);
    return Message("[styled] " + r.text);  // inside the hook MESSAGE reaches the standard box
  });
  EXPECT_EQ(Message("hello"), kButtonOk);
  SetMessageHook({});
  EXPECT_EQ(hooked, std::vector<std::string>{"hello"});
}

TEST(Message, TheHookSeesTheButtonsArgumentAsGiven) {
  struct Case {
    std::string_view name;
    std::function<void()> call;
    int32_t mask;
    std::string captions;
    bool blank;
  };
  const Case cases[] = {
      {"no button", [] { Message("t", "", "", 0); }, 0, "", false},
      {"yes and no", [] { Message("t", "", "", kButtonYes | kButtonNo); }, 6, "", false},
      {"the default", [] { Message("t"); }, kButtonOk, "", false},
      {"blank", [] { MessageWithCaptions("t", "", "", ""); }, 0, "", true},
      {"captions", [] { MessageWithCaptions("t", "", "", "&Ja|&Nee"); }, 0, "&Ja|&Nee", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MessageRequest seen;
    SetMessageHook([&](const MessageRequest& r) {
      seen = r;
      return 0;
    });
    EXPECT_TRUE(static_cast<bool>(GetMessageHook()));
    c.call();
    SetMessageHook({});
    EXPECT_EQ(seen.button_mask, c.mask);
    EXPECT_EQ(seen.captions, c.captions);
    EXPECT_EQ(seen.blank_buttons, c.blank);
  }
  EXPECT_FALSE(static_cast<bool>(GetMessageHook()));
}

TEST(Message, StopAbortRunsTheExitHandlerIgnoreGoesOn) {
  testing::DialogScript dialogs;
  int exits = 0;
  TEST_SetStopExitHandler([&] { ++exits; });
  dialogs.ExpectStop("Error: Attempt", /*abort=*/false);
  Stop("Error: Attempt to get column 3");
  EXPECT_EQ(exits, 0);
  dialogs.ExpectStop("Fatal", /*abort=*/true);
  Stop("Fatal");
  EXPECT_EQ(exits, 1);
  TEST_SetStopExitHandler({});
}

TEST(Message, WithoutABackendNothingBlocks) {
  EXPECT_EQ(Message("nobody listens"), 0);
  Stop("nobody listens");  // goes on
}

}  // namespace
}  // namespace platform
