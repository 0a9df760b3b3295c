// The query builder driven by the scripted user: the condition texts, the AND / OR
// connectors edited in place by the spin box, the "???" placeholders that stop Execute, the
// assembled condition text, and the query window that calls it.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "app/program.h"
#include "app/query_window_test_support.h"
#include "platform/core/call_trace.h"
#include "platform/testing/odbc_sources.h"
#include "platform/ui/codes.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_class.h"

namespace app {
namespace {

using platform::testing::OdbcBackend;
using platform::testing::OdbcBackendParamName;
using platform::ui::FieldId;
using platform::ui::WindowHandle;

// The spin box the builder creates when it opens: the field after its last declared one.
constexpr FieldId kConnectorSpin = 32;

struct Operator {
  std::string_view description;
  std::string_view sql;
};
constexpr Operator kOperators[] = {
    {"is equal to (=)", "="},
    {"is smaller than (<)", "<"},
    {"is greater than (>)", ">"},
    {"is greater / equal to (>=)", ">="},
    {"is smaller / equal to (<=)", "<="},
    {"is not equal to (<>)", "<>"},
    {"is (IS)", "IS"},
    {"is not (IS NOT)", "IS NOT"},
    {"contains (LIKE)", "LIKE"},
    {"does not contain (NOT LIKE)", "NOT LIKE"},
    {"is in the collection (IN)", "IN"},
    {"is NOT in the collection (NOT IN)", "NOT IN"},
    {"is between (BETWEEN)", "BETWEEN"},
    {"is NOT between (NOT BETWEEN)", "NOT BETWEEN"},
    {"exists (EXISTS)", "EXISTS"},
    {"does not exists (NOT EXISTS)", "NOT EXISTS"},
    {"sounds like (SOUNDEX)", "SOUNDEX"},
    {"sounds almost like (DIFFERENCE)", "DIFFERENCE"},
};

class QueryBuilderTest : public QueryWindowTest {
 protected:
  void SetUp() override {
    QueryWindowTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(MakePeopleTable(backend()));
  }

  // Runs the builder on thread 1 and chooses the table people.
  void OpenBuilder() {
    runtime.StartMain([this] {
      std::string text = QueryBuilder();
      std::lock_guard lock(mutex_);
      result_ = std::move(text);
      returned_ = true;
    });
    b = user.Window("Query builder");
    user.SelectRow(b, F("?TableList"), RowOf(b, "?TableList", "people"));
    ASSERT_EQ(Rows(b, "?ColumnList"),
              (std::vector<std::vector<std::string>>{{"name"}, {"age"}, {"city"}}));
  }
  FieldId F(std::string_view equate) { return user.Field(b, equate); }
  // Column 1 name, 2 age, 3 city; operators by their row (1..18).
  void Choose(int32_t column, int32_t op, std::string_view value) {
    user.SelectRow(b, F("?ColumnList"), column);
    user.SelectRow(b, F("?QBEFunctionList"), op);
    user.Type(b, F("?QBEValue"), value);
  }
  // Per row of the condition lists: the readable text and the SQL text.
  std::vector<std::pair<std::string, std::string>> Conditions() {
    const auto text = Rows(b, "?QBEList");
    const auto sql = Rows(b, "?QBEQueryList");
    std::vector<std::pair<std::string, std::string>> out;
    for (size_t i = 0; i < text.size() && i < sql.size(); ++i) {
      out.emplace_back(text[i].at(0), sql[i].at(0));
    }
    return out;
  }
  bool Returned(std::string* text = nullptr) {
    user.WaitUntilIdle();
    std::lock_guard lock(mutex_);
    if (text != nullptr) *text = result_;
    return returned_;
  }

  WindowHandle b = 0;

 private:
  std::mutex mutex_;
  std::string result_;
  bool returned_ = false;
};

TEST_P(QueryBuilderTest, OpensWithOneBlankRowTheOperatorsAndItsTexts) {
  std::vector<std::string> calls;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    // Its own set-up, the spin box included, ran before the assistant was told.
    if (call == "ZOVAgentClass.ProcedureOpened QueryBuilder") {
      calls.push_back(std::string(call) + " last field " +
                      std::to_string(platform::ui::LastField()));
    }
    return 0;
  });
  OpenBuilder();
  EXPECT_EQ(calls,
            (std::vector<std::string>{"ZOVAgentClass.ProcedureOpened QueryBuilder last field 32"}));
  EXPECT_EQ(Conditions(), (std::vector<std::pair<std::string, std::string>>{{"", ""}}));
  const auto operators = Rows(b, "?QBEFunctionList");
  ASSERT_EQ(operators.size(), std::size(kOperators));
  for (size_t i = 0; i < operators.size(); ++i) {
    SCOPED_TRACE(i + 1);
    EXPECT_EQ(operators[i].at(0), kOperators[i].description);
    EXPECT_EQ(Rows(b, "?QFQ:SQLFunction").at(i).at(0), kOperators[i].sql);
  }
  EXPECT_EQ(View(b, "?InTextTab").text, "Queyr in text");
  EXPECT_EQ(View(b, "?OperatorString").text, "Operator / functie:");
  EXPECT_EQ(View(b, "?QBE:CaseInsentive").text, "Case insentive");
  EXPECT_FALSE(View(b, "?QBE:CaseInsentive").enabled);
  EXPECT_EQ(View(b, "?ChangeToAndConditionButton:2").text, "Wijzig in een 'AND'-conditie");
  EXPECT_EQ(View(b, "?ChangeToOrConditionButton:2").text, "Wijzig in een 'OR'-conditie");
  EXPECT_EQ(View(b, "?CancelButton").text, "                          Cancel");
  EXPECT_EQ(View(b, "?QBEFunction")
                .properties.count({static_cast<int32_t>(platform::ui::Prop::NoSheet), 0}),
            1u);
  // Both sheets show no tabs: the program switches their pages.
  for (std::string_view sheet : {"?QBEFunction", "?ConditionSheet"}) {
    SCOPED_TRACE(sheet);
    const auto properties = View(b, sheet).properties;
    const auto no_sheet = properties.find({static_cast<int32_t>(platform::ui::Prop::NoSheet), 0});
    ASSERT_NE(no_sheet, properties.end());
    EXPECT_EQ(no_sheet->second, "1");
  }
  EXPECT_EQ(user.Control(b, kConnectorSpin).type, platform::ui::ControlType::kSpin);
  EXPECT_FALSE(user.Control(b, kConnectorSpin).visible);
}

TEST_P(QueryBuilderTest, ConditionTextsFollowTheColumnTheOperatorAndTheValue) {
  OpenBuilder();
  struct Case {
    int32_t column;  // 1 name (text), 2 age (numeric)
    int32_t op;
    std::string_view value;
    bool nocase;
    std::string_view text;
    std::string_view sql;
  };
  const Case kCases[] = {
      {1, 9, "abc", false, "name contains (LIKE) 'abc'", "NAME LIKE 'abc'"},
      {1, 9, "abc", true, "name contains (LIKE) case insensitive 'abc'",
       "UPPER(NAME) LIKE UPPER('abc')"},
      {1, 1, "", false, "name is equal to (=) ''", "NAME = ''"},
      // A quote in a value is doubled in the SQL text only.
      {1, 1, "O'Brien", false, "name is equal to (=) 'O'Brien'", "NAME = 'O''Brien'"},
      {1, 1, "O'Brien", true, "name is equal to (=) case insensitive 'O'Brien'",
       "UPPER(NAME) = UPPER('O''Brien')"},
      {1, 1, "abc   ", false, "name is equal to (=) 'abc'", "NAME = 'abc'"},
      {2, 3, "12.50", false, "age is greater than (>) 12.5", "AGE > 12.5"},
      {2, 3, "", false, "age is greater than (>) 0", "AGE > 0"},
      {2, 3, "twelve", false, "age is greater than (>) 0", "AGE > 0"},
      {2, 6, "-7", false, "age is not equal to (<>) -7", "AGE <> -7"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(std::string(c.text));
    Choose(c.column, c.op, c.value);
    if (c.nocase) user.Click(b, F("?QBE:CaseInsentive"));
    EXPECT_EQ(Conditions().at(0), (std::pair<std::string, std::string>(c.text, c.sql)));
    EXPECT_EQ(View(b, "?QBE:CaseInsentive").enabled, c.column == 1);
    if (c.nocase) user.Click(b, F("?QBE:CaseInsentive"));
  }
  // Every operator, with a text and with a numeric column. The value is typed on the first
  // operator page; operators 11 to 18 show pages of their own, without the value entry.
  for (int32_t op = 1; op <= 18; ++op) {
    const Operator& o = kOperators[op - 1];
    SCOPED_TRACE(std::string(o.sql));
    user.SelectRow(b, F("?QBEFunctionList"), 1);
    user.Type(b, F("?QBEValue"), "v");
    user.SelectRow(b, F("?ColumnList"), 1);
    user.SelectRow(b, F("?QBEFunctionList"), op);
    EXPECT_EQ(View(b, "?QBEValue").visible, op <= 10);
    EXPECT_EQ(Conditions().at(0),
              (std::pair<std::string, std::string>("name " + std::string(o.description) + " 'v'",
                                                   "NAME " + std::string(o.sql) + " 'v'")));
    EXPECT_EQ(Screen(b, "?QFQ:Description"), o.description);
    user.SelectRow(b, F("?QBEFunctionList"), 1);
    user.Type(b, F("?QBEValue"), "5");
    user.SelectRow(b, F("?ColumnList"), 2);
    user.SelectRow(b, F("?QBEFunctionList"), op);
    EXPECT_EQ(Conditions().at(0),
              (std::pair<std::string, std::string>("age " + std::string(o.description) + " 5",
                                                   "AGE " + std::string(o.sql) + " 5")));
  }
}

TEST_P(QueryBuilderTest, NothingIsWrittenUntilAColumnAndAnOperatorAreChosen) {
  std::vector<std::string> focus;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    if (call == "ZOVAgentClass.HandleEvent QueryBuilder") {
      focus.push_back(std::to_string(platform::ui::Focus()));
    }
    return 0;
  });
  OpenBuilder();
  // A connector without a column: nothing is added, the focus goes to the column list.
  user.Click(b, F("?NewAndConditionButton"));
  focus.clear();
  platform::ui::PostToWindow(b, platform::ui::kEventUser + 0x100);
  user.WaitUntilIdle();
  ASSERT_FALSE(focus.empty());
  EXPECT_EQ(focus.front(), std::to_string(F("?ColumnList")));
  EXPECT_EQ(Conditions().size(), 1u);

  // Before an operator is chosen the value shows nowhere.
  user.SelectRow(b, F("?ColumnList"), 1);
  user.Type(b, F("?QBEValue"), "abc");
  EXPECT_EQ(Conditions().at(0), (std::pair<std::string, std::string>("", "")));
  user.SelectRow(b, F("?QBEFunctionList"), 1);
  EXPECT_EQ(Conditions().at(0),
            (std::pair<std::string, std::string>("name is equal to (=) 'abc'", "NAME = 'abc'")));
}

TEST_P(QueryBuilderTest, TypedOperatorsAreFoundInAnyCase) {
  OpenBuilder();
  user.SelectRow(b, F("?ColumnList"), 1);
  user.Type(b, F("?QBEValue"), "a%");
  user.Type(b, F("?QFQ:SQLFunction"), "like");
  user.PressKey(b, platform::ui::kEnterKey);
  EXPECT_EQ(View(b, "?QBEFunctionList").selected, 9);
  EXPECT_EQ(Conditions().at(0),
            (std::pair<std::string, std::string>("name contains (LIKE) 'a%'", "NAME like 'a%'")));
  // An operator that is none of the 18: the typed text stays, and the description is not
  // the last operator's.
  user.Type(b, F("?QFQ:SQLFunction"), "FOO");
  user.PressKey(b, platform::ui::kEnterKey);
  EXPECT_EQ(Screen(b, "?QFQ:SQLFunction"), "FOO");
  EXPECT_EQ(Screen(b, "?QFQ:Description"), "contains (LIKE)");
  EXPECT_EQ(Conditions().at(0),
            (std::pair<std::string, std::string>("name contains (LIKE) 'a%'", "NAME like 'a%'")));
}

TEST_P(QueryBuilderTest, ATypedOperatorNoneOfTheListMatchesLeavesTheConditionsOperator) {
  OpenBuilder();
  using Texts = std::pair<std::string, std::string>;
  struct Case {
    std::string_view name;
    int32_t chosen;                // the operator row chosen before typing, 0 for none
    std::string_view description;  // shown after the typed operator
    std::string_view value;        // typed afterwards, which updates the row
    Texts written;
  };
  const Case kCases[] = {
      // Without a chosen operator the update writes nothing.
      {"no operator chosen", 0, "", "b", {"", ""}},
      // The row keeps the chosen operator in both texts: the typed one never reaches the SQL.
      {"LIKE chosen", 9, "contains (LIKE)", "c", {"name contains (LIKE) 'c'", "NAME LIKE 'c'"}},
  };
  user.SelectRow(b, F("?ColumnList"), 1);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    if (c.chosen != 0) user.SelectRow(b, F("?QBEFunctionList"), c.chosen);
    user.Type(b, F("?QBEValue"), "a");
    const Texts before = Conditions().at(0);
    user.Type(b, F("?QFQ:SQLFunction"), "FOO");
    user.PressKey(b, platform::ui::kEnterKey);
    // The typed text stays; the description and the list's choice are those from before.
    EXPECT_EQ(Screen(b, "?QFQ:SQLFunction"), "FOO");
    EXPECT_EQ(Screen(b, "?QFQ:Description"), c.description);
    EXPECT_EQ(View(b, "?QBEFunctionList").selected, c.chosen);
    EXPECT_EQ(Conditions().at(0), before);

    user.Type(b, F("?QBEValue"), c.value);
    EXPECT_EQ(Conditions().at(0), c.written);
    EXPECT_EQ(Screen(b, "?QFQ:SQLFunction"), "FOO");
    EXPECT_EQ(Screen(b, "?QFQ:Description"), c.description);
  }
}

TEST_P(QueryBuilderTest, BothConnectorButtonsAddAConnectorAndAPlaceholder) {
  OpenBuilder();
  using Texts = std::vector<std::pair<std::string, std::string>>;
  struct Case {
    std::string_view button;
    int32_t row;  // the condition row chosen and completed first
    int32_t column;
    int32_t op;
    std::string_view value;
    std::pair<std::string, std::string> condition;
  };
  const Case kCases[] = {
      {"?NewAndConditionButton", 1, 1, 1, "x", {"name is equal to (=) 'x'", "NAME = 'x'"}},
      {"?PlaceHooksButton", 3, 2, 3, "3", {"age is greater than (>) 3", "AGE > 3"}},
  };
  Texts rows{{"", ""}};
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.button);
    // No column chosen: nothing is added.
    user.Click(b, F(c.button));
    EXPECT_EQ(Conditions(), rows);

    user.SelectRow(b, F("?QBEList"), c.row);
    Choose(c.column, c.op, c.value);
    rows[c.row - 1] = c.condition;
    user.Click(b, F(c.button));
    rows.emplace_back("AND", "AND");
    rows.emplace_back("???", "???");
    EXPECT_EQ(Conditions(), rows);
    EXPECT_EQ(View(b, "?ConditionSheet").selected, 2);  // AND / OR
    EXPECT_EQ(View(b, "?QBEList").selected, c.row + 1);
    EXPECT_EQ(View(b, "?QBEQueryList").selected, c.row + 1);
    EXPECT_EQ(View(b, "?ColumnList").selected, 0);
    EXPECT_EQ(View(b, "?QBEFunctionList").selected, 0);
    EXPECT_EQ(Screen(b, "?QBEValue"), "");
  }
}

TEST_P(QueryBuilderTest, ConnectorsAreAddedAndChangedInPlaceWithTheSpin) {
  OpenBuilder();
  Choose(1, 1, "x");
  user.Click(b, F("?NewAndConditionButton"));
  using Texts = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Conditions(),
            (Texts{{"name is equal to (=) 'x'", "NAME = 'x'"}, {"AND", "AND"}, {"???", "???"}}));
  EXPECT_EQ(View(b, "?ConditionSheet").selected, 2);  // AND / OR
  EXPECT_EQ(View(b, "?QBEList").selected, 2);
  EXPECT_EQ(View(b, "?QBEQueryList").selected, 2);
  EXPECT_EQ(View(b, "?ColumnList").selected, 0);
  EXPECT_EQ(View(b, "?QBEFunctionList").selected, 0);
  EXPECT_EQ(Screen(b, "?QBEValue"), "");

  // Choosing the connector row puts the spin over it; the SQL tab is hidden meanwhile.
  user.SelectRow(b, F("?QBEList"), 2);
  platform::ui::ControlView spin = user.Control(b, kConnectorSpin);
  EXPECT_TRUE(spin.visible);
  EXPECT_EQ(spin.screen_text, "AND");
  EXPECT_EQ(
      View(b, "?QBEList").properties.at({static_cast<int32_t>(platform::ui::Prop::EditControl), 1}),
      std::to_string(kConnectorSpin));
  EXPECT_FALSE(View(b, "?SQLQueryTab").visible);
  EXPECT_EQ(Rows(b, "?QBEList").size(), 3u);
  EXPECT_EQ(user.Rows(b, kConnectorSpin)->rows,
            (std::vector<std::vector<std::string>>{{"AND"}, {"OR"}}));

  // Keys: up to the next value, Enter ends the edit.
  user.PressKey(b, platform::ui::kUpKey);
  EXPECT_EQ(user.ScreenText(b, kConnectorSpin), "OR");
  user.PressKey(b, platform::ui::kEnterKey);
  EXPECT_EQ(Conditions().at(1), (std::pair<std::string, std::string>("OR", "OR")));
  EXPECT_FALSE(user.Control(b, kConnectorSpin).visible);
  EXPECT_TRUE(View(b, "?SQLQueryTab").visible || View(b, "?QBESheet").selected == 1);
  EXPECT_EQ(View(b, "?ConditionSheet").selected, 1);
  EXPECT_EQ(
      View(b, "?QBEList").properties.at({static_cast<int32_t>(platform::ui::Prop::FontSize), 0}),
      "10");

  // A double click on a value ends the edit with it, here from the SQL tab.
  user.Click(b, F("?SQLQueryTab"));
  user.SelectRow(b, F("?QBEQueryList"), 2);
  EXPECT_EQ(user.ScreenText(b, kConnectorSpin), "OR");
  EXPECT_FALSE(View(b, "?InTextTab").visible);
  // The spin's values grow by two rows at every connector chosen.
  ASSERT_EQ(user.Rows(b, kConnectorSpin)->rows.size(), 4u);
  user.DoubleClickRow(b, kConnectorSpin, 1);
  EXPECT_EQ(Conditions().at(1), (std::pair<std::string, std::string>("AND", "AND")));
  EXPECT_FALSE(user.Control(b, kConnectorSpin).visible);

  // The buttons of the AND / OR page change it too, and move on to the placeholder.
  user.SelectRow(b, F("?QBEQueryList"), 2);
  user.Click(b, F("?ChangeToOrConditionButton:2"));
  EXPECT_EQ(Conditions().at(1), (std::pair<std::string, std::string>("OR", "OR")));
  EXPECT_EQ(View(b, "?QBEList").selected, 3);
  EXPECT_EQ(View(b, "?QBEQueryList").selected, 3);
  EXPECT_TRUE(
      View(b, "?InTextTab").properties.count({static_cast<int32_t>(platform::ui::Prop::Hide), 0}) ==
          0 ||
      View(b, "?InTextTab").properties.at({static_cast<int32_t>(platform::ui::Prop::Hide), 0}) ==
          "");
  EXPECT_EQ(Conditions().at(2), (std::pair<std::string, std::string>("???", "???")));
}

TEST_P(QueryBuilderTest, TheMarkFlagIsOffOnlyWhileAConnectorIsEditedInPlace) {
  constexpr platform::ui::EventId kReadFlag = platform::ui::kEventUser + 0x101;
  std::atomic<int> flag = -1;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    // The innermost procedure's: on the query window's thread, the builder's while it runs.
    restyle::ZOVRestyleClass* const restyle = TEST_RunningRestyle();
    if (restyle == nullptr) return 0;  // no procedure on this thread
    // The restyle settings switch marking on when the window is attached, before the
    // builder's own set-up saves the flag.
    if (call == "ZOVRestyleClass.SetWindow 1")
      restyle->STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 1;
    if (call == "ZOVAgentClass.HandleEvent QueryBuilder" && platform::ui::Event() == kReadFlag) {
      flag = restyle->STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE;
    }
    return 0;
  });
  // The flag once everything before is handled.
  auto mark_flag = [&] {
    flag = -1;
    platform::ui::PostToWindow(b, kReadFlag);
    user.WaitUntilIdle();
    return flag.load();
  };
  OpenBuilder();
  EXPECT_EQ(mark_flag(), 1);
  Choose(1, 1, "x");
  user.Click(b, F("?NewAndConditionButton"));
  EXPECT_EQ(mark_flag(), 1);

  struct Case {
    std::string_view name;
    std::function<void()> end_edit;
    std::string_view connector;  // after the edit
  };
  const Case kCases[] = {
      {"OR button", [&] { user.Click(b, F("?ChangeToOrConditionButton:2")); }, "OR"},
      {"AND button", [&] { user.Click(b, F("?ChangeToAndConditionButton:2")); }, "AND"},
      {"Enter",
       [&] {
         user.PressKey(b, platform::ui::kUpKey);
         user.PressKey(b, platform::ui::kEnterKey);
       },
       "OR"},
      {"double click", [&] { user.DoubleClickRow(b, kConnectorSpin, 1); }, "AND"},
      {"a condition row chosen", [&] { user.SelectRow(b, F("?QBEList"), 1); }, "AND"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    user.SelectRow(b, F("?QBEList"), 2);
    ASSERT_TRUE(user.Control(b, kConnectorSpin).visible);
    EXPECT_EQ(mark_flag(), 0);
    c.end_edit();
    EXPECT_EQ(mark_flag(), 1);
    EXPECT_FALSE(user.Control(b, kConnectorSpin).visible);
    EXPECT_EQ(Conditions().at(1), (std::pair<std::string, std::string>(c.connector, c.connector)));
  }
}

TEST_P(QueryBuilderTest, APlaceholderStopsExecuteAndStaysUntouched) {
  OpenBuilder();
  Choose(1, 1, "x");
  user.Click(b, F("?NewAndConditionButton"));
  user.Click(b, F("?ChangeToAndConditionButton:2"));  // on to the placeholder
  using Texts = std::vector<std::pair<std::string, std::string>>;
  const Texts before{{"name is equal to (=) 'x'", "NAME = 'x'"}, {"AND", "AND"}, {"???", "???"}};
  EXPECT_EQ(Conditions(), before);

  // Nothing chosen for the placeholder: Execute stops at it and rewrites nothing.
  user.Click(b, F("?ExecuteButton"));
  EXPECT_FALSE(Returned());
  EXPECT_EQ(Conditions(), before);

  // From the first row the placeholder still stops it; the row edited afterwards is the first,
  // not the last one the check read.
  user.SelectRow(b, F("?QBEList"), 1);
  EXPECT_EQ(View(b, "?ColumnList").selected, 1);
  EXPECT_EQ(View(b, "?QBEFunctionList").selected, 1);
  EXPECT_EQ(Screen(b, "?QBEValue"), "x");
  user.Click(b, F("?ExecuteButton"));
  EXPECT_FALSE(Returned());
  user.Type(b, F("?QBEValue"), "y");
  EXPECT_EQ(Conditions(),
            (Texts{{"name is equal to (=) 'y'", "NAME = 'y'"}, {"AND", "AND"}, {"???", "???"}}));

  // Choosing the placeholder itself chooses no column or operator, so Execute still stops
  // there instead of turning it into a copy of the condition before the connector.
  user.SelectRow(b, F("?QBEList"), 3);
  EXPECT_EQ(View(b, "?ColumnList").selected, 0);
  EXPECT_EQ(View(b, "?QBEFunctionList").selected, 0);
  user.Click(b, F("?ExecuteButton"));
  EXPECT_FALSE(Returned());
  EXPECT_EQ(Conditions(),
            (Texts{{"name is equal to (=) 'y'", "NAME = 'y'"}, {"AND", "AND"}, {"???", "???"}}));

  // The connector row is never rewritten as a condition.
  user.SelectRow(b, F("?QBEList"), 2);
  user.PressKey(b, platform::ui::kEnterKey);
  user.SelectRow(b, F("?ColumnList"), 2);
  user.SelectRow(b, F("?QBEFunctionList"), 3);
  EXPECT_EQ(Conditions().at(1), (std::pair<std::string, std::string>("AND", "AND")));
}

TEST_P(QueryBuilderTest, ThreeConditionsAssembleIntoOneText) {
  OpenBuilder();
  Choose(1, 1, "x");
  user.Click(b, F("?NewAndConditionButton"));
  user.Click(b, F("?ChangeToAndConditionButton:2"));
  Choose(2, 3, "3");
  user.Click(b, F("?NewAndConditionButton"));
  // The second connector becomes OR in place.
  user.SelectRow(b, F("?QBEList"), 4);
  user.PressKey(b, platform::ui::kUpKey);
  user.PressKey(b, platform::ui::kEnterKey);
  user.SelectRow(b, F("?QBEList"), 5);
  Choose(3, 9, "A%");
  using Texts = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Conditions(), (Texts{{"name is equal to (=) 'x'", "NAME = 'x'"},
                                 {"AND", "AND"},
                                 {"age is greater than (>) 3", "AGE > 3"},
                                 {"OR", "OR"},
                                 {"city contains (LIKE) 'A%'", "CITY LIKE 'A%'"}}));
  user.Click(b, F("?ExecuteButton"));
  std::string text;
  ASSERT_TRUE(Returned(&text));
  EXPECT_EQ(text, " NAME = 'x' AND AGE > 3 OR CITY LIKE 'A%'");
  EXPECT_FALSE(display.FindWindow("Query builder"));
}

TEST_P(QueryBuilderTest, ExecutingTheFirstConditionAloneAndCancelling) {
  OpenBuilder();
  Choose(2, 5, "40");
  user.Click(b, F("?ExecuteButton"));
  std::string text;
  ASSERT_TRUE(Returned(&text));
  EXPECT_EQ(text, " AGE <= 40");
}

TEST_P(QueryBuilderTest, CancelReturnsNothing) {
  OpenBuilder();
  Choose(2, 5, "40");
  user.Click(b, F("?CancelButton"));
  std::string text = "unset";
  ASSERT_TRUE(Returned(&text));
  EXPECT_EQ(text, "");
}

TEST_P(QueryBuilderTest, TheQueryWindowWaitsAndRunsOnAfterTheBuilder) {
  std::vector<std::string> names;
  std::mutex names_mutex;
  platform::TEST_ScopedCallObserver observer([&](std::string_view call) {
    if (call.starts_with("ZOVAgentClass.HandleEvent ")) {
      std::lock_guard lock(names_mutex);
      const std::string entry =
          std::string(call.substr(26)) + " / " + Program().ErrorManager.procedure_name();
      if (names.empty() || names.back() != entry) names.push_back(entry);
    }
    return 0;
  });
  runtime.StartMain(BrowseODBCconnection);
  const WindowHandle w = user.Window("Browse an ODBC connection");
  user.Type(w, "?Glo:Query", "SELECT name FROM people");
  user.Click(w, "?QueryBuilderButton");
  b = user.Window("Query builder");
  // Input for the query window waits while the builder runs.
  user.Click(w, "?ExecuteQueryButton");
  EXPECT_TRUE(Rows(w, "?List").empty());
  user.Click(b, F("?CancelButton"));
  EXPECT_FALSE(display.FindWindow("Query builder"));
  ASSERT_EQ(Rows(w, "?List").size(), 1u);
  EXPECT_EQ(Rows(w, "?List")[0][0], "x");
  user.Click(w, "?ExecuteQueryButton");
  std::lock_guard lock(names_mutex);
  ASSERT_GE(names.size(), 3u);
  EXPECT_EQ(names[0], "BrowseODBCconnection / BrowseODBCconnection");
  EXPECT_EQ(names[1], "QueryBuilder / QueryBuilder");
  EXPECT_EQ(names.back(), "BrowseODBCconnection / BrowseODBCconnection");
  EXPECT_EQ(Screen(w, "?Glo:Query"), "SELECT name FROM people");
}

// The builder's numeric types are the names the SQLite source reports (INTEGER).
INSTANTIATE_TEST_SUITE_P(Drivers, QueryBuilderTest, ::testing::Values(OdbcBackend::kSqlite),
                         OdbcBackendParamName);

}  // namespace
}  // namespace app
