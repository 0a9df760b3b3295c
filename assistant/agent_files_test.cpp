#include "assistant/agent_files.h"

#include <gtest/gtest.h>

#include "assistant/agent_queues.h"
#include "platform/files/file_test_support.h"
#include "platform/testing/record_layout_check.h"

namespace assistant {
namespace {

using platform::FieldType;
using platform::testing::CheckLayout;

constexpr FieldType kC = FieldType::kCString;
constexpr FieldType kS = FieldType::kString;
constexpr FieldType kL = FieldType::kLong;
constexpr FieldType kB = FieldType::kByte;
constexpr FieldType kSh = FieldType::kShort;

TEST(AgentFiles, StepRecordFields) {
  CheckLayout<AgentFileRecord>("AGF", {{"PROCEDURENAME", kC, 81},
                                       {"PROCEDUREOMSCHRIJVING", kC, 81},
                                       {"ONDERWERP", kC, 51},
                                       {"STEP", kL, 4},
                                       {"POSITIONX", kSh, 2},
                                       {"POSITIONY", kSh, 2},
                                       {"SPEED", kSh, 2},
                                       {"EVENTPROCEDURE", kC, 81},
                                       {"EVENT", kL, 4},
                                       {"CONTROL", kL, 4},
                                       {"DONNOTMOVE", kB, 1},
                                       {"ANIBEFOREORAFTER", kS, 1},
                                       {"ANIMATE", kC, 51},
                                       {"SPEAK", kC, 501},
                                       {"ALLEENTEKST", kB, 1},
                                       {"AANWIJSRICHTING", kB, 1},
                                       {"CURSORPOSTOVAGENT", kS, 2}});
}

TEST(AgentFiles, SettingRecordFields) {
  CheckLayout<AgentSettingRecord>("AGS", {{"SETTING", kC, 81}, {"VALUE", kC, 81}});
}

TEST(AgentFiles, QueueRecordFields) {
  CheckLayout<AgentRequestRecord>("BUFFERAGENTEVENTQUE", {{"EVENT", kL, 4},
                                                          {"XPOS", kL, 4},
                                                          {"YPOS", kL, 4},
                                                          {"SPEED", kL, 4},
                                                          {"STRINGVALUE", kC, 500},
                                                          {"REQUEST", kC, 21},
                                                          {"DONE", kB, 1}});
  CheckLayout<ProcedureThreadRecord>("PROCEDURETHREADQUEUE",
                                     {{"PROCEDURENAME", kC, 81}, {"THREAD", kL, 4}});
  CheckLayout<AgentEventRecord>("EVENTQUEUE", {{"PROCEDURENAME", kC, 81},
                                               {"EVENT", kL, 4},
                                               {"CONTROL", kL, 4},
                                               {"XPOS", kL, 4},
                                               {"YPOS", kL, 4},
                                               {"INFO", kC, 254},
                                               {"VALUE", kC, 254},
                                               {"EVENTTIME", kL, 4}});
  CheckLayout<AgentButtonRecord>("EXTAGENTBUTTONQUEUE",
                                 {{"PROCEDURENAME", kC, 81}, {"CONTROLEQUATE", kL, 4}});
}

TEST(AgentFiles, KeysAreThoseOfTheStoredFormat) {
  AgentFiles files;
  EXPECT_EQ(files.AGNTFILE.name(), "AGNTFILE");
  EXPECT_EQ(files.AGNTSET.name(), "AGNTSET");
  EXPECT_FALSE(files.AGNTFILE.declaration().create);
  EXPECT_FALSE(files.AGNTSET.declaration().create);

  const auto& step_keys = files.AGNTFILE.declaration().keys;
  ASSERT_EQ(step_keys.size(), 2u);
  const auto& primary = step_keys[kAgentFilePrimaryKey];
  EXPECT_EQ(primary.label, "AGF:KEY_AGF");
  ASSERT_EQ(primary.components.size(), 3u);
  EXPECT_EQ(primary.components[0].field, 1u);  // PROCEDURENAME
  EXPECT_EQ(primary.components[1].field, 3u);  // ONDERWERP
  EXPECT_EQ(primary.components[2].field, 4u);  // STEP
  EXPECT_TRUE(primary.primary && primary.nocase && !primary.duplicates);
  const auto& by_procedure = step_keys[kAgentFileProcedureKey];
  EXPECT_EQ(by_procedure.label, "AGF:KEY_PRC");
  ASSERT_EQ(by_procedure.components.size(), 1u);
  EXPECT_TRUE(by_procedure.duplicates && by_procedure.nocase && !by_procedure.primary);

  const auto& setting_keys = files.AGNTSET.declaration().keys;
  ASSERT_EQ(setting_keys.size(), 1u);
  EXPECT_EQ(setting_keys[0].label, "AGS:KEY_AGS");
  EXPECT_TRUE(setting_keys[0].primary && setting_keys[0].nocase && !setting_keys[0].duplicates);
}

TEST(AgentFiles, StepsOfOneTopicAreUniqueWithoutRegardToCase) {
  platform::files::InTempDirForTest dir;
  AgentFiles files;
  ASSERT_TRUE(files.AGNTFILE.Create());
  ASSERT_TRUE(files.AGNTFILE.Open(platform::files::kReadWrite | platform::files::kDenyNone));
  files.AGF.PROCEDURENAME = "Main";
  files.AGF.ONDERWERP = "Start";
  files.AGF.STEP = 1;
  EXPECT_TRUE(files.AGNTFILE.Add());
  files.AGF.PROCEDURENAME = "MAIN";
  files.AGF.ONDERWERP = "start";
  EXPECT_FALSE(files.AGNTFILE.Add());
  files.AGF.STEP = 2;
  EXPECT_TRUE(files.AGNTFILE.Add());
}

}  // namespace
}  // namespace assistant
