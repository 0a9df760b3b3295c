#include "assistant/extagent.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/core/message.h"
#include "platform/files/file_test_support.h"
#include "platform/files/keyed/file_system.h"
#include "platform/testing/scripted_display.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace assistant {
namespace {

using platform::files::kDenyNone;
using platform::files::kReadWrite;
using platform::ui::Prop;

// The assistant's files in a fresh current directory, and the headless display with its
// scripted dialogs.
class AgentObjectTest : public ::testing::Test {
 protected:
  void Run(const std::function<void()>& body) {
    platform::ui::Runtime runtime(display);
    runtime.StartMain(body);
    runtime.Join();
  }

  // Every setting stored, as "NAME=VALUE", read through a file of its own.
  std::vector<std::string> StoredSettings() {
    AgentFiles fresh;
    std::vector<std::string> out;
    if (!fresh.AGNTSET.Open(kReadWrite | kDenyNone)) return {"cannot open"};
    fresh.AGNTSET.SetKey(kAgentSetPrimaryKey, /*from_buffer=*/false);
    while (fresh.AGNTSET.Next())
      out.push_back(fresh.AGS.SETTING.str() + "=" + fresh.AGS.VALUE.str());
    return out;
  }

  // Stores a setting before the assistant starts.
  void Store(std::string_view setting, std::string_view value) {
    AgentFiles f;
    if (!platform::files::Exists("AGNTSET")) {
      ASSERT_TRUE(f.AGNTSET.Create());
    }
    ASSERT_TRUE(f.AGNTSET.Open(kReadWrite | kDenyNone));
    f.AGS.SETTING = setting;
    f.AGS.VALUE = value;
    ASSERT_TRUE(f.AGNTSET.Add());
  }

  platform::files::InTempDirForTest dir;
  platform::testing::ScriptedDisplay display;
  AgentFiles files;
  ZOVAgentClass agent{files};
};

TEST_F(AgentObjectTest, StartsWithMerlinTheRingAtOneAndItsQueues) {
  EXPECT_EQ(agent.AGENTNAME, "Merlin");
  EXPECT_EQ(agent.WINDOWPLACEMENT.LENGTH, 44);
  EXPECT_EQ(agent.BUFFERINDEX, 1);
  EXPECT_EQ(agent.BUFFERPOS, 1);
  EXPECT_EQ(agent.INITIALIZED, 0);
  EXPECT_EQ(agent.TRAINFILEOPEN, 0);
  ASSERT_NE(agent.BUFFERAGENTEVENTQUE, nullptr);
  ASSERT_NE(agent.PROCEDURETHREADQUEUE, nullptr);
  ASSERT_NE(agent.EVENTQUEUE, nullptr);
  ASSERT_NE(agent.EXTAGENTBUTTONQUEUE, nullptr);
  EXPECT_EQ(agent.BUFFERAGENTEVENTQUE->Records(), 0u);
}

TEST_F(AgentObjectTest, AFirstStartCreatesBothFilesAndTakesEveryDefault) {
  Run([&] { agent.Init(); });
  EXPECT_TRUE(platform::files::Exists("AGNTFILE"));
  EXPECT_TRUE(platform::files::Exists("AGNTSET"));
  EXPECT_EQ(agent.TRAINFILEOPEN, 1);
  EXPECT_EQ(agent.AGENTNAME, "Merlin");
  EXPECT_EQ(agent.SPEAKDELAY, 0);
  EXPECT_EQ(agent.SPEAKSPEED, 0);
  EXPECT_EQ(agent.LANGUAGEID, 0x413);
  EXPECT_EQ(agent.ASSISTENTBINNENBUREAUBLAD, 1);
  EXPECT_EQ(agent.SLOWDOWNMOUSEVENTS, 25);
  EXPECT_EQ(agent.TIMEOUTMOUSEEVENT, 10);
  EXPECT_EQ(agent.TYPESNELHEID, 10);
  EXPECT_EQ(agent.USEEXTAGENTBUTTON, 1);
  // The headless desktop.
  EXPECT_EQ(agent.DESKTOPPLACEMENT.LEFT, 0);
  EXPECT_EQ(agent.DESKTOPPLACEMENT.TOP, 0);
  EXPECT_EQ(agent.DESKTOPPLACEMENT.RIGHT, 1024);
  EXPECT_EQ(agent.DESKTOPPLACEMENT.BOTTOM, 768);
  // Defaults are not written.
  EXPECT_TRUE(StoredSettings().empty());
  EXPECT_TRUE(display.dialogs().seen().empty());
}

TEST_F(AgentObjectTest, TheDesktopIsTheOneTheDisplayHas) {
  display.TEST_SetDesktopRect({0, 0, 800, 600});
  Run([&] { agent.Init(); });
  EXPECT_EQ(agent.DESKTOPPLACEMENT.RIGHT, 800);
  EXPECT_EQ(agent.DESKTOPPLACEMENT.BOTTOM, 600);
}

TEST_F(AgentObjectTest, StoredSettingsAreReadAsLeadingIntegersNarrowedToTheirFields) {
  Store("~MSAgent.Character", "Genie   ");
  Store("speakdelay", "300");  // the key ignores case
  Store("SpeakSpeed", "abc");
  Store("Language", "1033.9");
  Store("AssistentBinnenBureaublad", "0");
  Store("SlowDownMousEvents", "65537");
  Store("TimeOutMouseEvent", " 3 seconds");
  Store("TypeSnelheid", "-1");
  Store("UseExtAgentButton", "");
  Run([&] { agent.Init(); });
  EXPECT_EQ(agent.AGENTNAME, "Genie");
  EXPECT_EQ(agent.SPEAKDELAY, 44);  // 300 modulo 256
  EXPECT_EQ(agent.SPEAKSPEED, 0);
  EXPECT_EQ(agent.LANGUAGEID, 1033);
  EXPECT_EQ(agent.ASSISTENTBINNENBUREAUBLAD, 0);
  EXPECT_EQ(agent.SLOWDOWNMOUSEVENTS, 1);
  EXPECT_EQ(agent.TIMEOUTMOUSEEVENT, 3);
  EXPECT_EQ(agent.TYPESNELHEID, 255);
  EXPECT_EQ(agent.USEEXTAGENTBUTTON, 0);
}

TEST_F(AgentObjectTest, ABlankOrLongCharacterNameIsMendedOrCut) {
  Store("~MSAgent.Character", "   ");
  Run([&] { agent.Init(); });
  EXPECT_EQ(agent.AGENTNAME, "Merlin");

  AgentFiles other_files;
  ZOVAgentClass other{other_files};
  Run([&] {
    agent.SaveSetting("~MSAgent.Character", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    other.Init();
  });
  EXPECT_EQ(other.AGENTNAME, "ABCDEFGHIJKLMNOPQRS");  // 19 characters
}

TEST_F(AgentObjectTest, SaveSettingAddsOnceThenRewritesAndCutsTo80) {
  const std::string long_value(90, 'x');
  Run([&] {
    agent.Init();
    agent.SaveSetting("ZoekVensterTransparant  ", "1  ");
    agent.SaveSetting("ZoekVensterTransparant", "0");
    agent.SaveSetting("~Long.XPos", long_value);
  });
  EXPECT_EQ(StoredSettings(), (std::vector<std::string>{"ZoekVensterTransparant=0",
                                                        "~Long.XPos=" + std::string(80, 'x')}));
}

TEST_F(AgentObjectTest, ASecondInitChangesNothing) {
  Run([&] {
    agent.Init();
    agent.SaveSetting("SpeakDelay", "7");
    agent.LANGUAGEID = 5;
    agent.Init();
  });
  EXPECT_EQ(agent.SPEAKDELAY, 0);
  EXPECT_EQ(agent.LANGUAGEID, 5);
}

TEST_F(AgentObjectTest, AFileThatCannotBeOpenedIsNeverMadeAnew) {
  const std::string other_bytes = "these are not the steps of any topic\n";
  dir.dir().Write("AGNTFILE", other_bytes);
  display.dialogs().ExpectMessage("Open:", platform::kButtonOk);
  Run([&] { agent.Init(); });
  const std::vector<platform::MessageRequest> seen = display.dialogs().seen();
  ASSERT_EQ(seen.size(), 1u);
  // ERROR and FILEERROR of the failed OPEN, without a caption.
  EXPECT_EQ(seen[0].text.rfind("Open:Invalid Data File|", 0), 0u) << seen[0].text;
  EXPECT_EQ(seen[0].caption, "");
  EXPECT_EQ(dir.dir().Read("AGNTFILE"), other_bytes);
  // The settings file is opened all the same, and the settings read.
  EXPECT_TRUE(platform::files::Exists("AGNTSET"));
  EXPECT_EQ(agent.TRAINFILEOPEN, 1);
  EXPECT_EQ(agent.LANGUAGEID, 0x413);
}

TEST_F(AgentObjectTest, AMissingFolderIsNoMissingFileAndNothingIsMade) {
  const std::string name = dir.dir().File("missing/AGNTFILE");
  files.AGNTFILE.set_name(name);
  display.dialogs().ExpectMessage("Open:", platform::kButtonOk);
  Run([&] { agent.Init(); });
  ASSERT_EQ(display.dialogs().seen().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.dir().File("missing")));
}

TEST_F(AgentObjectTest, ANonBlankOwnerBecomesTheStepFilesOwner) {
  agent.OWNERVARIABELE = "secret";
  Run([&] { agent.Init(); });
  EXPECT_EQ(files.AGNTFILE.owner(), "secret");
  EXPECT_EQ(files.AGNTSET.owner(), "");
}

TEST_F(AgentObjectTest, ShutdownBeforeAnyActionDoesNothing) {
  Run([&] {
    agent.Init();
    agent.Shutdown();
  });
  EXPECT_TRUE(files.AGNTFILE.is_open());  // closed by the program's end
  EXPECT_EQ(agent.TRAINFILEOPEN, 1);
}

constexpr platform::ui::WindowStructure kFrame{
    "agenttest", "FRAME", platform::ui::WindowKind::kFrame, "Frame", {20, 10, 200, 100}, {}};

TEST_F(AgentObjectTest, TheApplicationWindowsOriginIsItsNormalPlaceUnlessMaximized) {
  platform::ui::RegisterWindowStructure(kFrame);
  Run([&] {
    auto frame = platform::ui::BuildWindow("agenttest", "FRAME");
    frame->Open();
    const platform::ui::WindowHandle handle = frame->handle();
    EXPECT_EQ(platform::ui::GetProp(0, Prop::Type), "24");
    agent.SetApplicationWindow(handle);
    EXPECT_EQ(agent.ACTIVEWINDOW, handle);
    // 20 by 10 dialog units of 8 by 16 pixel characters.
    EXPECT_EQ(agent.APPLICATIONPOSX, 40);
    EXPECT_EQ(agent.APPLICATIONPOSY, 20);
    EXPECT_EQ(agent.WINDOWPLACEMENT.SHOWCMD, 1);

    platform::ui::SetProp(0, Prop::Maximize, "1");
    agent.SetApplicationWindow(handle);
    EXPECT_EQ(agent.WINDOWPLACEMENT.SHOWCMD, 3);
    EXPECT_EQ(agent.APPLICATIONPOSX, 0);
    EXPECT_EQ(agent.APPLICATIONPOSY, 0);

    agent.StoreWindowPos(handle);
    EXPECT_EQ(agent.WINDOWPOSX, 40);
    EXPECT_EQ(agent.WINDOWPOSY, 20);

    agent.APPLICATIONPOSX = 5;
    agent.SetApplicationWindow(handle + 1000);  // no such window
    EXPECT_EQ(agent.APPLICATIONPOSX, 0);
    frame->Close();
  });
}

TEST_F(AgentObjectTest, SetProcedureKeepsTheNameWithoutTrailingBlanks) {
  agent.SetProcedure("Main   ", 77);
  EXPECT_EQ(agent.PROCEDURENAME.str(), "Main");
  EXPECT_EQ(agent.PROCEDUREWINDOWHANDLE, 77);
}

}  // namespace
}  // namespace assistant
