// The condition list of one set as the restyle editor shows it, read from a real condition
// file.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "restyle/restyle_files.h"
#include "restyle/restyle_test_support.h"
#include "stylemanager/stylemanager_class.h"
#include "stylemanager/stylemanager_test_support.h"

namespace stylemanager {
namespace {

struct Row {
  int32_t set;
  int32_t id;
  std::string control;
  int32_t property;
  std::string op;
  std::string value;
  uint8_t manual;
};

class ConditionListTest : public ::testing::Test {
 protected:
  void SetUp() override { testing::BindToFiles(manager, files, user); }

  // Starts the style manager, stores `rows` in the condition file (in the order given) and
  // answers the list of set `set`: "CONDITIONALID|CONDITION|PROPERTY|VALUE|MANUALVALUE".
  std::vector<std::string> List(const std::vector<Row>& rows, int32_t set) {
    std::vector<std::string> out;
    restyle::testing::RunOnRuntimeThread(display, [&] {
      manager.Init(0x653);
      for (const Row& r : rows) {
        files.ZOVCONDITIONFILE.Clear();
        files.ZOVCD = {r.set, r.id, r.control, r.property, r.op, r.value, r.manual};
        ASSERT_TRUE(files.ZOVCONDITIONFILE.Add());
      }
      // What an earlier list left goes.
      manager.CONDITIONQUEUE->buffer.CONDITION = "left over";
      manager.CONDITIONQUEUE->Add();
      manager.LoadConditionList(set);
      for (size_t i = 1; i <= manager.CONDITIONQUEUE->Records(); ++i) {
        const restyle::ConditionQueueRecord c = manager.CONDITIONQUEUE->entry(i);
        out.push_back(std::to_string(c.CONDITIONALID) + "|" + c.CONDITION.str() + "|" +
                      c.PROPERTY.str() + "|" + c.VALUE.str() + "|" + std::to_string(c.MANUALVALUE));
      }
      manager.Shutdown();
    });
    return out;
  }

  restyle::testing::InTempDirForTest temp;
  restyle::RestyleFiles files;
  platform::FixedString<255> user = "DEFAULT";
  ZOVStylemanagerClass manager;
  platform::testing::ScriptedDisplay display;
};

TEST_F(ConditionListTest, EachConditionListsAsControlPropertyOperatorAndItsPaddedValue) {
  const std::string long_value(200, 'v');
  const std::vector<std::string> list = List(
      {
          {7, 3, "?GO", -19, "CONTAINS", long_value, 1},
          {7, 1, "?NAME", 0x7C00, "=", "X", 0},
          {6, 1, "?OTHER", 0x7C00, "=", "other set", 0},
          {7, 2, "", 0, "AND", "", 0},
          {8, 1, "?OTHER", 0x7C00, "=", "other set", 0},
          {7, 4, "?NAME", 0x5, "<>", "unlisted property", 0},
      },
      7);
  const std::string value_128(128, 'v');
  EXPECT_EQ(list, (std::vector<std::string>{
                      // The blanks of the value end the text: a STRING keeps them as padding.
                      "1|?NAME{Prop:TEXT} = X|TEXT|X|0",
                      "2|AND|||0",
                      "3|?GO{Prop:Name of the control} CONTAINS " + value_128 +
                          "|Name of the control|" + value_128 + "|0",
                      "4|?NAME{Prop:} <> unlisted property||unlisted property|0",
                  }));
}

TEST_F(ConditionListTest, ASetWithoutConditionsListsNothing) {
  EXPECT_TRUE(List({{6, 1, "?NAME", 0x7C00, "=", "X", 0}}, 7).empty());
}

}  // namespace
}  // namespace stylemanager
