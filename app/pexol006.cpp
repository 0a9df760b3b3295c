// QueryBuilder: composes the condition part of a query from a table's columns, a table of
// 18 operators and typed values, joined by AND and OR connectors. Each condition is kept
// twice, as readable text and as SQL text, in two lists the user can go back to; connector
// rows are edited in place by a spin box created when the window opens. Execute joins the
// SQL texts into one condition text, closes the window and returns that text. The query
// window calls it directly, so it runs nested on that window's thread.
#include <cstdint>
#include <string>
#include <string_view>

#include "app/pexol005.h"
#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "catalog/catalog_queues.h"
#include "catalog/globals.h"
#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/number.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"
#include "platform/core/text.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace app {
namespace {

namespace ui = platform::ui;
using catalog::ColumnsQueue;
using catalog::GCQ;
using catalog::Glo;
using catalog::GTQ;
using catalog::TablesQueue;
using platform::CString;
using platform::FixedString;
using ui::FieldId;

constexpr std::string_view kProcedureName = kQueryBuilderName;

// Texts keep their typos ("Queyr", "insentive", "functie" and the Dutch captions).
constexpr ui::ControlDecl kControls[] = {
    ui::Sheet("?QBESheet", {4, 4, 459, 90}),
    ui::Tab("?InTextTab", "Queyr in text", "?QBESheet"),
    ui::List("?QBEList", {10, 22, 447, 66})
        .Parent("?InTextTab")
        .Format("447C#6#")
        .Attrs(ui::kAttrVScroll),
    ui::Tab("?SQLQueryTab", "SQL Query", "?QBESheet"),
    ui::List("?QBEQueryList", {10, 22, 447, 66})
        .Parent("?SQLQueryTab")
        .Format("447C#7#")
        .Attrs(ui::kAttrVScroll),
    ui::List("?TableList", {4, 98, 100, 170})
        .Format("100L(2)|M~Table~@s100@#3#")
        .Attrs(ui::kAttrVScroll),
    ui::Sheet("?ConditionSheet", {108, 98, 355, 172}).NoSheet(),
    ui::Tab("?SQLConditionTab", "SQL condition", "?ConditionSheet"),
    ui::List("?ColumnList", {112, 104, 110, 150})
        .Parent("?SQLConditionTab")
        .Format("110L(2)|M~Field~@s100@#4#")
        .Attrs(ui::kAttrVScroll),
    ui::String("?OperatorString", "Operator / functie:", {228, 104, 70, 10})
        .Parent("?SQLConditionTab"),
    // A drop combo: the operators drop below it, and any text may be typed.
    ui::Decl(ui::ControlType::kDropCombo, "?QFQ:SQLFunction", "", {300, 102, 159, 12})
        .Parent("?SQLConditionTab")
        .Picture("@s254")
        .Format("159L(2)@s254@#2#"),
    ui::List("?QBEFunctionList", {228, 118, 231, 60})
        .Parent("?SQLConditionTab")
        .Format("231L(2)@s255@#1#")
        .Attrs(ui::kAttrVScroll),
    ui::Sheet("?QBEFunction", {228, 182, 231, 60}).Parent("?SQLConditionTab").NoSheet(),
    ui::Tab("?OperatorTab", "Operator", "?QBEFunction"),
    ui::Entry("?QBEValue", {232, 196, 223, 12}).Parent("?OperatorTab").Picture("@s255").Imm(),
    ui::Check("?QBE:CaseInsentive", "Case insentive", {232, 212, 80, 10})
        .Parent("?OperatorTab")
        .Disabled(),
    ui::Button("?NewAndConditionButton", "Add 'AND' / 'OR'-condition", {232, 224, 110, 14})
        .Parent("?OperatorTab"),
    ui::Button("?PlaceHooksButton", "Place hooks '(' / ')'", {346, 224, 109, 14})
        .Parent("?OperatorTab"),
    ui::Tab("?Tab2", "Tab 2", "?QBEFunction"),
    ui::Tab("?Tab3", "Tab 3", "?QBEFunction"),
    ui::Tab("?Tab4", "Tab 4", "?QBEFunction"),
    ui::Tab("?SoundexTab", "Soundex", "?QBEFunction"),
    ui::Tab("?DifferenceTab", "Difference", "?QBEFunction"),
    ui::String("?QFQ:Description", "", {228, 246, 231, 10}).Parent("?SQLConditionTab").Trn(),
    ui::String("?ColumnName", "", {112, 258, 110, 10}).Parent("?SQLConditionTab").Trn(),
    ui::Tab("?AndOrTab", "AND / OR Condition", "?ConditionSheet"),
    ui::Button("?ChangeToAndConditionButton:2", "Wijzig in een 'AND'-conditie", {120, 120, 150, 14})
        .Parent("?AndOrTab"),
    ui::Button("?ChangeToOrConditionButton:2", "Wijzig in een 'OR'-conditie", {120, 140, 150, 14})
        .Parent("?AndOrTab"),
    ui::Button("?DeleteConditionButton", "Delete selected condition", {4, 276, 100, 14}),
    // The caption starts with 26 blanks, which make room for the icon.
    ui::Button("?CancelButton", "                          Cancel", {300, 276, 80, 14})
        .Icon("cancel.ico")
        .Std(ui::StdAction::kClose),
    ui::Button("?ExecuteButton", "&Execute", {384, 276, 79, 14}).Icon("zovrefresh.ico"),
};

constexpr ui::WindowStructure kWindow{
    "pexolind$pexol006", "P1$BROWSEWINDOW", ui::WindowKind::kMdiChild, "Query builder",
    {0, 0, 467, 294},    kControls,         "ZOVMSAttach.ico"};

constexpr FieldId kQBESheet = kWindow.Equate("?QBESheet");
constexpr FieldId kInTextTab = kWindow.Equate("?InTextTab");
constexpr FieldId kQBEList = kWindow.Equate("?QBEList");
constexpr FieldId kSQLQueryTab = kWindow.Equate("?SQLQueryTab");
constexpr FieldId kQBEQueryList = kWindow.Equate("?QBEQueryList");
constexpr FieldId kTableList = kWindow.Equate("?TableList");
constexpr FieldId kConditionSheet = kWindow.Equate("?ConditionSheet");
constexpr FieldId kSQLConditionTab = kWindow.Equate("?SQLConditionTab");
constexpr FieldId kColumnList = kWindow.Equate("?ColumnList");
constexpr FieldId kQFQSQLFunction = kWindow.Equate("?QFQ:SQLFunction");
constexpr FieldId kQBEFunctionList = kWindow.Equate("?QBEFunctionList");
constexpr FieldId kQBEFunction = kWindow.Equate("?QBEFunction");
constexpr FieldId kOperatorTab = kWindow.Equate("?OperatorTab");
constexpr FieldId kQBEValue = kWindow.Equate("?QBEValue");
constexpr FieldId kQBECaseInsentive = kWindow.Equate("?QBE:CaseInsentive");
constexpr FieldId kNewAndConditionButton = kWindow.Equate("?NewAndConditionButton");
constexpr FieldId kPlaceHooksButton = kWindow.Equate("?PlaceHooksButton");
constexpr FieldId kQFQDescription = kWindow.Equate("?QFQ:Description");
constexpr FieldId kColumnName = kWindow.Equate("?ColumnName");
constexpr FieldId kAndOrTab = kWindow.Equate("?AndOrTab");
constexpr FieldId kChangeToAndConditionButton = kWindow.Equate("?ChangeToAndConditionButton:2");
constexpr FieldId kChangeToOrConditionButton = kWindow.Equate("?ChangeToOrConditionButton:2");
constexpr FieldId kExecuteButton = kWindow.Equate("?ExecuteButton");
static_assert(kQBEList == 3 && kQBEValue == 15 && kExecuteButton == 31);

// The tabs of ?QBEFunction by their number, as an operator's SQLTAB names them.
constexpr FieldId kFunctionTabs[] = {kOperatorTab,
                                     kWindow.Equate("?Tab2"),
                                     kWindow.Equate("?Tab3"),
                                     kWindow.Equate("?Tab4"),
                                     kWindow.Equate("?SoundexTab"),
                                     kWindow.Equate("?DifferenceTab")};

constexpr std::string_view kSpinNotCreated =
    "Kan geavanceerd zoeken niet uitvoeren!|Er is fout opgetreden bij het creeren van een "
    "hulpveld...";
constexpr std::string_view kAnd = "AND";
constexpr std::string_view kOr = "OR";
constexpr std::string_view kPlaceholder = "???";
constexpr int32_t kConditionListFontSize = 10;
constexpr std::string_view kCheckOffIcon = "ZOVCheckoff.ico";
constexpr std::string_view kCheckOnIcon = "ZOVCheckon.ico";

struct OperatorRow {
  std::string_view description;
  std::string_view sql_function;
  uint8_t sql_tab;
};
constexpr OperatorRow kOperators[] = {
    {"is equal to (=)", "=", 1},
    {"is smaller than (<)", "<", 1},
    {"is greater than (>)", ">", 1},
    {"is greater / equal to (>=)", ">=", 1},
    {"is smaller / equal to (<=)", "<=", 1},
    {"is not equal to (<>)", "<>", 1},
    {"is (IS)", "IS", 1},
    {"is not (IS NOT)", "IS NOT", 1},
    {"contains (LIKE)", "LIKE", 1},
    {"does not contain (NOT LIKE)", "NOT LIKE", 1},
    {"is in the collection (IN)", "IN", 2},
    {"is NOT in the collection (NOT IN)", "NOT IN", 2},
    {"is between (BETWEEN)", "BETWEEN", 3},
    {"is NOT between (NOT BETWEEN)", "NOT BETWEEN", 3},
    {"exists (EXISTS)", "EXISTS", 4},
    {"does not exists (NOT EXISTS)", "NOT EXISTS", 4},
    {"sounds like (SOUNDEX)", "SOUNDEX", 5},
    {"sounds almost like (DIFFERENCE)", "DIFFERENCE", 6},
};
static_assert(std::size(kOperators) == 18);

// Column types whose values are numbers; every other type is compared as text.
constexpr std::string_view kNumericTypes[] = {"BIT",     "SMALLINT", "COUNTER", "NUMERIC", "NUMBER",
                                              "INTEGER", "CURRENCY", "DOUBLE",  "FLOAT"};

// QueryConditionQueue (QBE): one row per condition, connector or placeholder.
struct QueryConditionRecord {
  CString<255> FIELD;
  CString<255> SQLFUNCTION;
  CString<255> VALUE;
  uint8_t ISSTRINGVALUE = 0;
  uint8_t CASEINSENTIVE = 0;
  CString<3000> QUERYINTEXT;
  CString<3000> SQLQUERY;
  static const platform::RecordLayout& Layout() {
    using R = QueryConditionRecord;
    static const platform::RecordLayout layout = platform::MakeLayout<R>(
        "QBE", platform::Field<&R::FIELD>("FIELD"), platform::Field<&R::SQLFUNCTION>("SQLFUNCTION"),
        platform::Field<&R::VALUE>("VALUE"), platform::Field<&R::ISSTRINGVALUE>("ISSTRINGVALUE"),
        platform::Field<&R::CASEINSENTIVE>("CASEINSENTIVE"),
        platform::Field<&R::QUERYINTEXT>("QUERYINTEXT"), platform::Field<&R::SQLQUERY>("SQLQUERY"));
    return layout;
  }
};

// OperatorQueue (QFQ).
struct OperatorRecord {
  FixedString<255> DESCRIPTION;
  CString<255> SQLFUNCTION;
  uint8_t SQLTAB = 0;
  static const platform::RecordLayout& Layout() {
    using R = OperatorRecord;
    static const platform::RecordLayout layout = platform::MakeLayout<R>(
        "QFQ", platform::Field<&R::DESCRIPTION>("DESCRIPTION"),
        platform::Field<&R::SQLFUNCTION>("SQLFUNCTION"), platform::Field<&R::SQLTAB>("SQLTAB"));
    return layout;
  }
};

// AndOrQueue (QAOQ): the values of the connector spin box.
struct AndOrRecord {
  CString<4> OPERATOR;
  static const platform::RecordLayout& Layout() {
    using R = AndOrRecord;
    static const platform::RecordLayout layout =
        platform::MakeLayout<R>("QAOQ", platform::Field<&R::OPERATOR>("OPERATOR"));
    return layout;
  }
};

struct LocalState {
  platform::Queue<QueryConditionRecord> QueryConditionQueue;
  platform::Queue<OperatorRecord> OperatorQueue;
  platform::Queue<AndOrRecord> AndOrQueue;
  CString<256> Value;
  CString<5000> ResultText;
  int32_t CurrentRowPosition = 0;
  int32_t SavedMarkFlag = 0;
  FieldId ConnectorSpin = ui::kNoField;
};

bool IsConnector(const QueryConditionRecord& row) {
  const std::string sql = platform::Upper(platform::Clip(row.SQLQUERY.view()));
  return sql == kAnd || sql == kOr;
}

bool IsNumericType(std::string_view type_name) {
  const std::string type = platform::Upper(platform::Clip(type_name));
  for (std::string_view numeric : kNumericTypes) {
    if (type == numeric) return true;
  }
  return false;
}

// A text value inside single quotes in SQL: each quote doubled.
std::string SqlQuoted(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (char c : value) {
    out.push_back(c);
    if (c == '\'') out.push_back('\'');
  }
  return out;
}

class QueryBuilderWindow final : public ProcedureWindow {
 public:
  QueryBuilderWindow(ui::Window& window, LocalState& loc)
      : ProcedureWindow(window, kProcedureName, kQBEList),
        loc_(loc),
        QBE(loc.QueryConditionQueue.buffer),
        QFQ(loc.OperatorQueue.buffer),
        QAOQ(loc.AndOrQueue.buffer) {}

  WindowAnswer HandleEvent() override {
    const WindowAnswer answer = ProcedureWindow::HandleEvent();
    // The connector spin's Enter and double click end the edit as its Accepted does.
    if (ui::Event() == ui::kEventAlertKey && loc_.ConnectorSpin != ui::kNoField &&
        ui::Field() == loc_.ConnectorSpin &&
        (ui::CurrentKeyCode() == ui::kEnterKey || ui::CurrentKeyCode() == ui::kMouseLeft2)) {
      ui::Post(ui::kEventAccepted, loc_.ConnectorSpin);
    }
    return answer;
  }

  WindowAnswer HandleAccepted() override {
    const FieldId field = ui::Field();
    if (field == loc_.ConnectorSpin && field != ui::kNoField) AcceptConnectorEdit();
    const WindowAnswer answer = ProcedureWindow::HandleAccepted();
    switch (field) {
      case kNewAndConditionButton:
      case kPlaceHooksButton:
        UpdateManagers();
        AddConnectorRow();
        break;
      case kChangeToAndConditionButton:
        UpdateManagers();
        SetConnector(kAnd);
        break;
      case kChangeToOrConditionButton:
        UpdateManagers();
        SetConnector(kOr);
        break;
      case kQFQSQLFunction:
        FindTypedOperator();
        break;
      case kQBECaseInsentive:
        UpdateConditionRow();
        break;
      case kExecuteButton:
        UpdateManagers();
        UpdateConditionRow();
        AssembleQuery();
        break;
      default:
        break;
    }
    return answer;
  }

  WindowAnswer HandleNewSelection() override {
    const WindowAnswer answer = ProcedureWindow::HandleNewSelection();
    switch (ui::Field()) {
      case kTableList:
        GetColumnsOfTableRow(ui::Choice(kTableList));
        break;
      case kColumnList:
        if (const int32_t chosen = ui::Choice(kColumnList);
            chosen > 0 && ColumnsQueue.Get(static_cast<size_t>(chosen))) {
          QBE.FIELD = GCQ.COLUMNNAME.view();
          QBE.ISSTRINGVALUE = IsNumericType(GCQ.COLUMNTYPE.view()) ? 0 : 1;
        }
        UpdateConditionRow();
        break;
      case kQBEFunctionList:
        loc_.OperatorQueue.Get(static_cast<size_t>(ui::Choice(kQBEFunctionList)));
        SelectFunctionTab();
        QBE.SQLFUNCTION = QFQ.SQLFUNCTION.view();
        ui::Display();
        UpdateConditionRow();
        break;
      case kQBEValue:
        loc_.Value = ui::GetProp(kQBEValue, ui::Prop::ScreenText);
        UpdateConditionRow();
        break;
      case kQBEList:
      case kQBEQueryList:
        SelectConditionRow();
        break;
      default:
        break;
    }
    return answer;
  }

 protected:
  void SetUpBeforeAssistant() override { InitQueryBuilder(); }

 private:
  void InitQueryBuilder() {
    loc_.SavedMarkFlag = restyle().STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE;
    // The pages of these sheets are switched by the program only.
    ui::SetProp(kQBEFunction, ui::Prop::NoSheet, 1);
    ui::SetProp(kConditionSheet, ui::Prop::NoSheet, 1);
    // The first condition: one blank row.
    loc_.QueryConditionQueue.ClearBuffer();
    loc_.QueryConditionQueue.Add();
    CreateConnectorSpin();
    // Every table, whatever its owner and type.
    GetTablesAndFirstColumns(Glo.SystemTables, /*filters_off=*/1, /*tables_only=*/0, "");
    ui::SetProp(kColumnList, ui::Prop::IconList, kCheckOffIcon, 1);
    ui::SetProp(kColumnList, ui::Prop::IconList, kCheckOnIcon, 2);
    for (const OperatorRow& op : kOperators) {
      QFQ.DESCRIPTION = op.description;
      QFQ.SQLFUNCTION = op.sql_function;
      QFQ.SQLTAB = op.sql_tab;
      loc_.OperatorQueue.Add();
    }
    ColumnsQueue.ClearBuffer();
    loc_.OperatorQueue.ClearBuffer();
    // No column and no operator is chosen yet, and the two lists show none chosen.
    ui::SetProp(kColumnList, ui::Prop::Selected, 0);
    ui::SetProp(kQBEFunctionList, ui::Prop::Selected, 0);
  }

  void CreateConnectorSpin() {
    loc_.ConnectorSpin = ui::Create(ui::kNoField, ui::ControlType::kSpin);
    if (loc_.ConnectorSpin == ui::kNoField) {
      platform::Message(kSpinNotCreated);
      ui::Post(ui::kEventCloseWindow);
      return;
    }
    const FieldId spin = loc_.ConnectorSpin;
    ui::SetProp(spin, ui::Prop::Alrt, ui::kMouseLeft2, 1);
    ui::SetProp(spin, ui::Prop::Alrt, ui::kEnterKey, 2);
    ui::SetProp(spin, ui::Prop::HScroll, 1);
    ui::SetProp(spin, ui::Prop::VScroll, 1);
    ui::SetProp(spin, ui::Prop::ReadOnly, 1);
    ui::SetProp(spin, ui::Prop::Center, 1);  // Below: the values drop below the spin
    // Shown only while it edits a connector in place.
    ui::Hide(spin);
    window().From(spin, loc_.AndOrQueue);
  }

  bool OnTextTab() const { return ui::Choice(kQBESheet) == 1; }

  // The no-column and no-operator checks of UpdateConditionRow and AddConnectorRow: false
  // after moving the focus to what is missing.
  bool ColumnAndOperatorChosen() {
    const bool value_has_focus = ui::Focus() == kQBEValue;
    if (ui::Choice(kColumnList) == 0) {
      if (!value_has_focus) ui::Select(kColumnList);
      GCQ.COLUMNNAME = "";
      return false;
    }
    if (ui::Choice(kQBEFunctionList) == 0) {
      if (!value_has_focus) ui::Select(kQBEFunctionList);
      QFQ.DESCRIPTION = "";
      QBE.SQLFUNCTION = "";
      return false;
    }
    return true;
  }

  // Rebuilds the texts of the current condition row (the record buffer). A connector row is
  // never rewritten, and neither is any row while its column or operator is missing, so a
  // connector or a placeholder cannot turn into an incomplete condition.
  void UpdateConditionRow() {
    if (!ColumnAndOperatorChosen()) return;
    if (IsConnector(QBE)) return;
    QBE.VALUE = loc_.Value.view();
    const std::string function = platform::Clip(QBE.SQLFUNCTION.view());
    const std::string value = function.empty() ? std::string() : platform::Clip(QBE.VALUE.view());
    const std::string column = platform::Clip(GCQ.COLUMNNAME.view());
    const std::string description = platform::Clip(QFQ.DESCRIPTION.view());
    const std::string upper_column = platform::Upper(column);
    if (QBE.ISSTRINGVALUE == 1) {
      ui::Enable(kQBECaseInsentive);
      const bool nocase = QBE.CASEINSENTIVE == 1;
      QBE.QUERYINTEXT =
          column + " " + description + (nocase ? " case insensitive '" : " '") + value + "'";
      // Quotes inside the value are doubled, so the condition stays valid SQL.
      const std::string quoted = SqlQuoted(value);
      QBE.SQLQUERY = nocase ? "UPPER(" + upper_column + ") " + function + " UPPER('" + quoted + "')"
                            : upper_column + " " + function + " '" + quoted + "'";
    } else {
      ui::Disable(kQBECaseInsentive);
      const std::string number = platform::NumberToText(platform::ParseNumber(value).value_or(0));
      QBE.QUERYINTEXT = column + " " + description + " " + number;
      QBE.SQLQUERY = upper_column + " " + function + " " + number;
    }
    loc_.QueryConditionQueue.Put();
  }

  void AddConnectorRow() {
    if (!ColumnAndOperatorChosen()) return;
    platform::Queue<QueryConditionRecord>& rows = loc_.QueryConditionQueue;
    QBE.QUERYINTEXT = kAnd;
    QBE.SQLQUERY = kAnd;
    rows.Add();
    loc_.CurrentRowPosition = static_cast<int32_t>(rows.Pointer());
    // The placeholder carries no column, operator or value of the condition before it, so
    // choosing it chooses nothing and Execute stops at it instead of copying that condition.
    QBE.FIELD = "";
    QBE.SQLFUNCTION = "";
    QBE.VALUE = "";
    QBE.QUERYINTEXT = kPlaceholder;
    QBE.SQLQUERY = kPlaceholder;
    rows.Add();
    // A new column and operator must be chosen for the next condition.
    ui::Select(kColumnList, -1);
    ui::Select(kQBEFunctionList, -1);
    loc_.Value = "";
    rows.Get(static_cast<size_t>(loc_.CurrentRowPosition));
    SelectInBothLists(loc_.CurrentRowPosition);
    ui::Select(kAndOrTab);
  }

  // Selects row `position` in the list of the tab shown and sets the other list's selection.
  void SelectInBothLists(int32_t position) {
    if (OnTextTab()) {
      ui::Select(kQBEList, position);
      ui::SetProp(kQBEQueryList, ui::Prop::Selected, position);
    } else {
      ui::Select(kQBEQueryList, position);
      ui::SetProp(kQBEList, ui::Prop::Selected, position);
    }
  }

  void SelectConditionRow() {
    const bool text_tab = OnTextTab();
    const FieldId list = text_tab ? kQBEList : kQBEQueryList;
    loc_.QueryConditionQueue.Get(static_cast<size_t>(ui::Choice(list)));
    if (IsConnector(QBE)) {
      restyle().STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = 0;
      const FieldId spin = loc_.ConnectorSpin;
      if (text_tab) {
        window().Use(spin, QBE.QUERYINTEXT);
      } else {
        window().Use(spin, QBE.SQLQUERY);
      }
      ui::Change(spin, text_tab ? QBE.QUERYINTEXT.view() : QBE.SQLQUERY.view());
      QAOQ.OPERATOR = kAnd;
      loc_.AndOrQueue.Add();
      QAOQ.OPERATOR = kOr;
      loc_.AndOrQueue.Add();
      ui::Hide(text_tab ? kSQLQueryTab : kInTextTab);
      // The spin looks like the list it edits. It keeps its own format: the list's would
      // show a field of the condition queue, which the spin's values do not have.
      ui::SetProp(spin, ui::Prop::Font, ui::GetProp(list, ui::Prop::Font));
      ui::SetProp(spin, ui::Prop::FontSize, ui::GetProp(list, ui::Prop::FontSize));
      ui::SetProp(list, ui::Prop::EditControl, spin, 1);
      ui::Select(kAndOrTab);
      ui::Select(spin);
    } else {
      ui::Unhide(kInTextTab);
      ui::Unhide(kSQLQueryTab);
      ui::Select(kSQLConditionTab);
      restyle().STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE =
          static_cast<uint8_t>(loc_.SavedMarkFlag);
      EndInPlaceEdit();
      GCQ.COLUMNNAME = QBE.FIELD.view();
      const bool column_found =
          ColumnsQueue.GetByKey({ColumnsQueue.Asc(&catalog::ColumnsQueueRecord::COLUMNNAME)});
      ui::Select(kColumnList, column_found ? static_cast<int32_t>(ColumnsQueue.Pointer()) : -1);
      QFQ.SQLFUNCTION = QBE.SQLFUNCTION.view();
      const bool operator_found =
          loc_.OperatorQueue.GetByKey({loc_.OperatorQueue.Asc(&OperatorRecord::SQLFUNCTION)});
      ui::Select(kQBEFunctionList,
                 operator_found ? static_cast<int32_t>(loc_.OperatorQueue.Pointer()) : -1);
      loc_.Value = QBE.VALUE.view();
    }
    ui::Display();
  }

  // Both condition lists lose the in-place editor and get their own font size again.
  void EndInPlaceEdit() {
    for (FieldId list : {kQBEList, kQBEQueryList}) {
      ui::SetProp(list, ui::Prop::FontSize, kConditionListFontSize);
      ui::SetProp(list, ui::Prop::EditControl, 0, 1);
    }
  }

  void AcceptConnectorEdit() {
    restyle().STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = static_cast<uint8_t>(loc_.SavedMarkFlag);
    if (OnTextTab()) {
      QBE.SQLQUERY = QBE.QUERYINTEXT == kAnd ? kAnd : kOr;
      ui::Unhide(kSQLQueryTab);
    } else {
      QBE.QUERYINTEXT = QBE.SQLQUERY == kAnd ? kAnd : kOr;
      ui::Unhide(kInTextTab);
    }
    EndInPlaceEdit();
    ui::Select(kSQLConditionTab);
    loc_.QueryConditionQueue.Put();
  }

  void SetConnector(std::string_view connector) {
    restyle().STYLEPROPERTIES.MARKSELECTEDCONTROLACTIVE = static_cast<uint8_t>(loc_.SavedMarkFlag);
    QBE.QUERYINTEXT = connector;
    QBE.SQLQUERY = connector;
    EndInPlaceEdit();
    ui::Select(kSQLConditionTab);
    platform::Queue<QueryConditionRecord>& rows = loc_.QueryConditionQueue;
    rows.Put();
    ui::Unhide(kInTextTab);
    ui::Unhide(kSQLQueryTab);
    // On to the placeholder after the connector.
    loc_.CurrentRowPosition = static_cast<int32_t>(rows.Pointer()) + 1;
    rows.Get(static_cast<size_t>(loc_.CurrentRowPosition));
    SelectInBothLists(loc_.CurrentRowPosition);
  }

  void SelectFunctionTab() {
    if (QFQ.SQLTAB >= 1 && QFQ.SQLTAB <= std::size(kFunctionTabs)) {
      ui::Select(kFunctionTabs[QFQ.SQLTAB - 1]);
    }
  }

  // The operator typed into the combo: chosen in the list when it is one of the 18.
  void FindTypedOperator() {
    platform::Queue<OperatorRecord>& operators = loc_.OperatorQueue;
    const std::string typed_text(QFQ.SQLFUNCTION.view());
    const std::string typed = platform::Upper(platform::Clip(typed_text));
    const OperatorRecord before = QFQ;
    for (size_t i = 1; i <= operators.Records(); ++i) {
      operators.Get(i);
      if (platform::Upper(platform::Clip(QFQ.SQLFUNCTION.view())) == typed) {
        QBE.SQLFUNCTION = typed_text;
        ui::Select(kQBEFunctionList, static_cast<int32_t>(i));
        UpdateConditionRow();
        return;
      }
    }
    // None matched: the search must not leave the last operator's description beside what
    // the user typed, and the condition keeps the operator it has, so its SQL text never
    // holds an operator that its readable text does not name.
    QFQ = before;
  }

  void AssembleQuery() {
    platform::Queue<QueryConditionRecord>& rows = loc_.QueryConditionQueue;
    const size_t current = rows.Pointer();
    std::string result;
    for (size_t i = 1; i <= rows.Records(); ++i) {
      rows.Get(i);
      if (QBE.SQLQUERY == kPlaceholder) {
        result.clear();
        break;
      }
      result += " ";
      result += QBE.SQLQUERY.view();
    }
    // The loop moved the buffer; the row being edited is the current one again.
    if (current != 0) rows.Get(current);
    // Only a text that holds more than blanks is returned; otherwise the window stays open.
    loc_.ResultText = platform::Clip(result).empty() ? std::string() : result;
    if (!loc_.ResultText.empty()) ui::Post(ui::kEventCloseWindow);
  }

  LocalState& loc_;
  // The record buffers, named by their prefixes.
  QueryConditionRecord& QBE;
  OperatorRecord& QFQ;
  AndOrRecord& QAOQ;
};

}  // namespace

void RegisterQueryBuilder() { ui::RegisterWindowStructure(kWindow); }

std::string QueryBuilder() {
  LocalState loc;
  ui::Window window(kWindow);
  window.From(kQBEList, loc.QueryConditionQueue);
  window.From(kQBEQueryList, loc.QueryConditionQueue);
  window.From(kTableList, TablesQueue);
  window.From(kColumnList, ColumnsQueue);
  window.Use(kQFQSQLFunction, loc.OperatorQueue.buffer.SQLFUNCTION);
  window.From(kQFQSQLFunction, loc.OperatorQueue);
  window.From(kQBEFunctionList, loc.OperatorQueue);
  window.Use(kQBEValue, loc.Value);
  window.Use(kQBECaseInsentive, loc.QueryConditionQueue.buffer.CASEINSENTIVE);
  window.Use(kQFQDescription, loc.OperatorQueue.buffer.DESCRIPTION);
  window.Use(kColumnName, GCQ.COLUMNNAME);
  QueryBuilderWindow object(window, loc);
  RunWithRestyle(object);
  return std::string(loc.ResultText.view());
}

}  // namespace app
