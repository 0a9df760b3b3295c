// Playback of topics: which steps a topic plays, the event names of the replay messages and
// the waits of an event step, on the headless display with the stand-in character engine.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assistant/extagent.h"
#include "platform/core/paths.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/thread.h"

namespace assistant {
namespace {

TEST(EventName, NamesTheEventsAndLeavesTheTextForATimer) {
  AgentFiles files;
  ZOVAgentClass agent(files);
  agent.PROCEDURENAME = "Main";
  struct Case {
    int32_t event;
    std::string_view name;
  };
  constexpr Case kCases[] = {
      {0x01, "Accepted"},
      {0x1F, "Selecting"},
      {0x101, "Selected"},
      {0x201, "CloseWindow"},
      {0x203, "Open Window:Main"},
      {0x204, "OpenFailed"},
      {0x211, "DDEclosed"},
      {0x230, "Moved"},
      {0x242, "BuildDone"},
      {0x20B, "before"},
      {0x20A, "Onbekende gebeurtenis"},
      {0x500, "Onbekende gebeurtenis"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.event);
    std::string text = "before";
    agent.EventName(c.event, text);
    EXPECT_EQ(text, c.name);
  }
}

// The assistant's files in a fresh current directory with seeded steps, the shipped
// character, and the headless display with its scripted dialogs.
class PlaybackTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::TEST_SetDataDirectory(std::string(PEX_SHARE_DIR)); }
  void TearDown() override { platform::TEST_SetDataDirectory(""); }

  void StoreStep(AgentFileRecord step) {
    AgentFiles f;
    if (!f.AGNTFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone)) {
      ASSERT_TRUE(f.AGNTFILE.Create());
      ASSERT_TRUE(f.AGNTFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone));
    }
    f.AGF = step;
    ASSERT_TRUE(f.AGNTFILE.Add());
  }
  static AgentFileRecord Step(int32_t number) {
    AgentFileRecord r;
    r.PROCEDURENAME = "Main";
    r.ONDERWERP = "Rondleiding";
    r.STEP = number;
    r.POSITIONX = -32768;
    r.POSITIONY = -32768;
    return r;
  }
  static AgentFileRecord EventStep(int32_t number, std::string_view procedure, int32_t event) {
    AgentFileRecord r = Step(number);
    r.EVENTPROCEDURE = procedure;
    r.EVENT = event;
    return r;
  }

  void Run(const std::function<void()>& body) {
    platform::ui::Runtime runtime(display);
    runtime.StartMain([&] {
      agent.Init();
      body();
      agent.Shutdown();
    });
    runtime.Join();
  }

  platform::files::InTempDirForTest dir;
  platform::testing::ScriptedDisplay display;
  AgentFiles files;
  ZOVAgentClass agent{files};
};

TEST_F(PlaybackTest, AWindowThatNeverOpensGivesTheTimeOutAndTheTopicGoesOn) {
  StoreStep(Step(0));
  StoreStep(EventStep(1, "BrowseODBCconnection", 0x01));
  StoreStep(EventStep(2, "BrowseODBCconnection", 0x201));  // nothing to close: silent
  StoreStep(EventStep(3, "QueryBuilder", 0x230));
  display.dialogs().ExpectMessage(
      "Timeout!|VensterBrowseODBCconnection is niet geopend!|Kan gebeurtenis niet "
      "afspelen...|Accepted",
      platform::kButtonOk);
  display.dialogs().ExpectMessage(
      "Timeout!|VensterQueryBuilder is niet geopend!|Kan gebeurtenis niet afspelen...|Moved",
      platform::kButtonOk);
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
}

TEST_F(PlaybackTest, ATopicWithoutAHeaderPlaysItsFirstStep) {
  StoreStep(EventStep(1, "Nowhere", 0x01));
  display.dialogs().ExpectMessage(
      "Timeout!|VensterNowhere is niet geopend!|Kan gebeurtenis niet afspelen...|Accepted",
      platform::kButtonOk);
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
}

TEST_F(PlaybackTest, AHeaderOnlyTopicPlaysNothing) {
  StoreStep(Step(0));
  Run([&] {
    agent.TIMEOUTMOUSEEVENT = 1;
    agent.PlayTopic("Main", "Rondleiding");
  });
  // No message: nothing was played.
}

}  // namespace
}  // namespace assistant
