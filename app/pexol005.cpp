// BrowseODBCconnection: the query window. The user runs a free SQL text, or a SELECT built
// from the table and the columns marked in its lists, against the connected data source;
// the result shows in a list of up to 25 columns headed by the result's column names, sorts
// by a click on a header, and exports to a semicolon-separated file. The window also opens
// the query builder, nested on this thread.
#include "app/pexol005.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "catalog/catalog_queues.h"
#include "catalog/catalog_readers.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "platform/core/error_state.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/queue.h"
#include "platform/core/text.h"
#include "platform/files/basic_driver.h"
#include "platform/files/file.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace app {
namespace {

namespace ui = platform::ui;
using catalog::ColumnsQueue;
using catalog::GCQ;
using catalog::Glo;
using catalog::GTQ;
using catalog::TablesQueue;
using ui::FieldId;

constexpr std::string_view kProcedureName = kBrowseODBCconnectionName;

// The result list: 25 columns of 61 dialog units, their headers set at run time.
constexpr std::string_view kResultColumnFormat = "61L(2)|M~~@s255@";
constexpr auto kResultListFormatChars = [] {
  std::array<char, kResultColumnFormat.size() * kResultFields> chars{};
  for (size_t i = 0; i < chars.size(); ++i) {
    chars[i] = kResultColumnFormat[i % kResultColumnFormat.size()];
  }
  return chars;
}();
constexpr std::string_view kResultListFormat(kResultListFormatChars.data(),
                                             kResultListFormatChars.size());

constexpr ui::ControlDecl kControls[] = {
    ui::TextBox("?Glo:Query", {4, 4, 411, 60}).Attrs(ui::kAttrVScroll),
    ui::Button("?QueryBuilderButton", "&Use query builder (not complete yet)", {4, 68, 140, 14}),
    ui::Button("?ExecuteQueryButton", "&Execute query", {148, 68, 60, 14}),
    ui::Check("?Loc:BuildQuery", "&Automatic query", {214, 70, 76, 10}),
    ui::Button("?ExportResultsButton", "&Export results", {294, 68, 60, 14}),
    ui::Prompt("?Prompt2", "Export result to:", {4, 88, 60, 10}),
    ui::Prompt("?Loc:ExportFilename:Prompt", "", {64, 88, 2, 10}),
    ui::Entry("?Loc:ExportFilename", {66, 86, 349, 12}).Picture("@s255"),
    ui::Sheet("?Sheet", {4, 102, 411, 162}),
    // The doubled ampersand shows one ampersand.
    ui::Tab("?TableFieldTab", "Tables && Fields", "?Sheet"),
    ui::List("?TableList", {10, 120, 196, 124})
        .Parent("?TableFieldTab")
        .Format("196L(2)|M~Choose a table~@s100@#3#")
        .Attrs(ui::kAttrVScroll),
    ui::List("?ColumnList", {212, 120, 196, 124})
        .Parent("?TableFieldTab")
        .Format("196L(2)|M~Choose one or more fields~@s100@#4#")
        .Mark()
        .Attrs(ui::kAttrVScroll),
    ui::Entry("?Tablename", {10, 248, 196, 10}).Parent("?TableFieldTab").Picture("@s255").Skip(),
    ui::Entry("?ColumnName", {212, 248, 196, 10}).Parent("?TableFieldTab").Picture("@s255").Skip(),
    ui::Tab("?ResultTab", "Results", "?Sheet"),
    ui::String("?String5", "Click or double click a column header to sort on it",
               {10, 120, 200, 10})
        .Parent("?ResultTab"),
    ui::List("?List", {10, 132, 398, 126})
        .Parent("?ResultTab")
        .Format(kResultListFormat)
        .Attrs(ui::kAttrVScroll | ui::kAttrHScroll),
    ui::Tab("?OptionsTab", "Options", "?Sheet"),
    ui::Prompt("?Glo:OwnerFilter:Prompt", "Filter on owner:", {10, 122, 60, 10})
        .Parent("?OptionsTab"),
    ui::Entry("?Glo:OwnerFilter", {72, 120, 120, 12}).Parent("?OptionsTab").Picture("@s254"),
    ui::Check("?Glo:TablesOnly", "Show tables only", {10, 138, 100, 10}).Parent("?OptionsTab"),
    ui::Check("?Glo:SystemTables", "Show system tables", {10, 152, 100, 10}).Parent("?OptionsTab"),
    ui::Button("?RegetButton", "Reget tables and columns", {10, 168, 100, 14})
        .Parent("?OptionsTab"),
    ui::String("?ExecutingQueryString", "Executing query...", {4, 272, 70, 10}).Trn().Disabled(),
    ui::String("?RecordCountPrompt:2", "Limit number of records:", {80, 272, 84, 10}).Trn(),
    ui::Spin("?Loc:LimitNumberOfRecords", {164, 270, 44, 12}).Picture("@s8"),
    ui::String("?RecordCountPrompt", "Number of records:", {214, 272, 66, 10}).Trn(),
    ui::String("?RecordCountString", "----", {280, 272, 40, 10}).Trn(),
    ui::Button("?CloseButton", "&Close", {359, 268, 56, 14}).Std(ui::StdAction::kClose),
};

constexpr ui::WindowStructure kWindow{"pexolind$pexol005",
                                      "P1$WINDOW",
                                      ui::WindowKind::kMdiChild,
                                      "Browse an ODBC connection",
                                      {0, 0, 419, 288},
                                      kControls,
                                      "zov.ico"};

constexpr FieldId kGloQuery = kWindow.Equate("?Glo:Query");
constexpr FieldId kQueryBuilderButton = kWindow.Equate("?QueryBuilderButton");
constexpr FieldId kExecuteQueryButton = kWindow.Equate("?ExecuteQueryButton");
constexpr FieldId kLocBuildQuery = kWindow.Equate("?Loc:BuildQuery");
constexpr FieldId kExportResultsButton = kWindow.Equate("?ExportResultsButton");
constexpr FieldId kLocExportFilename = kWindow.Equate("?Loc:ExportFilename");
constexpr FieldId kSheet = kWindow.Equate("?Sheet");
constexpr FieldId kTableList = kWindow.Equate("?TableList");
constexpr FieldId kColumnList = kWindow.Equate("?ColumnList");
constexpr FieldId kTablename = kWindow.Equate("?Tablename");
constexpr FieldId kColumnName = kWindow.Equate("?ColumnName");
constexpr FieldId kResultTab = kWindow.Equate("?ResultTab");
constexpr FieldId kList = kWindow.Equate("?List");
constexpr FieldId kGloOwnerFilter = kWindow.Equate("?Glo:OwnerFilter");
constexpr FieldId kGloTablesOnly = kWindow.Equate("?Glo:TablesOnly");
constexpr FieldId kGloSystemTables = kWindow.Equate("?Glo:SystemTables");
constexpr FieldId kRegetButton = kWindow.Equate("?RegetButton");
constexpr FieldId kExecutingQueryString = kWindow.Equate("?ExecutingQueryString");
constexpr FieldId kLocLimitNumberOfRecords = kWindow.Equate("?Loc:LimitNumberOfRecords");
constexpr FieldId kRecordCountString = kWindow.Equate("?RecordCountString");

constexpr std::string_view kEnterYourQuery = "Enter your query here...";
// "a export file" is the program's text, kept as it is.
constexpr std::string_view kOverwriteQuestion = "There is already a export file|";
constexpr std::string_view kOverwriteQuestionEnd = "|do you want to overwrite?";
// Asked before the export of a result whose reading failed part of the way.
constexpr std::string_view kCutResultQuestion = "Reading the result failed after ";
constexpr std::string_view kCutResultQuestionEnd =
    " records, so it is incomplete.|Do you want to export it anyway?";
constexpr std::string_view kAddFailed = "Could not add record to the export file|";
constexpr std::string_view kAddFailedError = "|Error:";
// The other steps of the export that can fail, each said the way the add failure is.
constexpr std::string_view kCreateFailed = "Could not create the export file|";
constexpr std::string_view kOpenFailed = "Could not open the export file|";
constexpr std::string_view kWriteFailed = "Could not write the export file|";
// The result list's alert slot for the release of the left button.
constexpr int32_t kReleaseAlertSlot = 255;
// The export file: BASIC driver, ';' (character 59) between the fields.
constexpr std::string_view kExportDriverOptions = "/COMMA=59";

struct LocalState {
  uint8_t BuildQuery = 1;
  platform::FixedString<255> ExportFilename = "Result.csv";
  int32_t LimitNumberOfRecords = 500;
  // The result queue; row 1 of a fresh fill holds the column names.
  platform::Queue<ResultQueueRecord> Results;
  // Reading the last result failed part of the way: Results holds only the rows before.
  bool ResultCut = false;
  // The export file's record, laid out as the result queue's.
  ResultQueueRecord ODBCGROUP;
  platform::files::File ExportFile{ExportFileDeclaration(ODBCGROUP),
                                   platform::files::MakeBasicDriver()};

  static platform::files::FileDeclaration ExportFileDeclaration(ResultQueueRecord& record) {
    platform::files::FileDeclaration d;
    d.label = "ExportFile";
    d.driver_options = kExportDriverOptions;
    d.layout = &ResultQueueRecord::Layout();
    d.record = &record;
    return d;
  }
};

class BrowseODBCconnectionWindow final : public ProcedureWindow {
 public:
  BrowseODBCconnectionWindow(ui::Window& window, LocalState& loc)
      : ProcedureWindow(window, kProcedureName, kGloQuery), loc_(loc) {}

  WindowAnswer HandleAccepted() override {
    const WindowAnswer answer = ProcedureWindow::HandleAccepted();
    switch (ui::Field()) {
      case kQueryBuilderButton:
        UpdateManagers();
        // The builder runs nested on this thread; its text is not used here.
        QueryBuilder();
        Reset();
        break;
      case kExecuteQueryButton:
        UpdateManagers();
        ExecuteQuery();
        break;
      case kExportResultsButton:
        UpdateManagers();
        ExportResults();
        break;
      case kGloOwnerFilter:
      case kGloTablesOnly:
      case kGloSystemTables:
        RegetTablesAndColumns();
        break;
      case kRegetButton:
        UpdateManagers();
        RegetTablesAndColumns();
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
        BuildSelectQuery();
        break;
      case kColumnList:
        ColumnsQueue.Get(static_cast<size_t>(ui::Choice(kColumnList)));
        BuildSelectQuery();
        break;
      default:
        break;
    }
    return answer;
  }

  WindowAnswer HandleFieldEvent() override {
    const WindowAnswer answer = ProcedureWindow::HandleFieldEvent();
    if (ui::Field() == kList && ui::Event() == ui::kEventAlertKey &&
        ui::CurrentKeyCode() == ui::kMouseLeftUp) {
      SortResults();
    }
    return answer;
  }

 protected:
  void SetUp() override { InitQueryWindow(); }

 private:
  void InitQueryWindow() {
    if (Glo.Query.empty()) Glo.Query = kEnterYourQuery;
    RegetTablesAndColumns();
    ui::SetProp(kList, ui::Prop::Alrt, ui::kMouseLeftUp, kReleaseAlertSlot);
  }

  void RegetTablesAndColumns() {
    GetTablesAndFirstColumns(Glo.SystemTables, /*filters_off=*/0, Glo.TablesOnly,
                             Glo.OwnerFilter.view());
  }

  void BuildSelectQuery() {
    if (loc_.BuildQuery == 0) return;
    std::string columns;
    for (size_t i = 1; i <= ColumnsQueue.Records(); ++i) {
      ColumnsQueue.Get(i);
      if (GCQ.MARK != 0) {
        columns += platform::Clip(GCQ.COLUMNNAME.view());
        columns += ",";
      }
    }
    // Without a marked column every column is selected; else the trailing comma goes.
    const std::string list = platform::Clip(columns).empty()
                                 ? std::string("*")
                                 : platform::Clip(columns.substr(0, columns.size() - 1));
    // The loop left the buffer on the last column; the fields bound to it show the chosen one.
    const int32_t chosen = ui::Choice(kColumnList);
    if (chosen < 1 || !ColumnsQueue.Get(static_cast<size_t>(chosen))) ColumnsQueue.ClearBuffer();
    Glo.Query = "SELECT " + list + " FROM " + std::string(GTQ.TABLENAME.view());
  }

  void ExecuteQuery() {
    ui::Enable(kExecutingQueryString);
    ui::Display();
    ui::SetCursor(ui::Cursor::kWait);
    ui::Select(kResultTab);
    const std::shared_ptr<catalog::ODBCQueryClass> query = catalog::QueryObject;
    // Execute reports its own errors. After a failure there is no result to read: the
    // result is emptied rather than filled from a statement that never ran.
    const bool failed = !query || query->Execute(Glo.Query.view());
    loc_.ResultCut = false;
    if (failed) {
      loc_.Results.Free();
    } else {
      // A fill cut short by a failure has said so; the rows read so far are shown and
      // counted, and an export of them asks first.
      loc_.ResultCut =
          query->FillQueue(loc_.Results, loc_.LimitNumberOfRecords, /*unlimited=*/false);
    }
    if (loc_.Results.Records() > 0) {
      loc_.Results.Get(1);
      // Every header goes first, so a narrower result keeps no names of the last one.
      for (int32_t n = 1; n <= static_cast<int32_t>(kResultFields); ++n) {
        ui::SetProp(kList, ui::Prop::ColumnHeader, "", n);
      }
      for (size_t n = 1; n <= kResultFields; ++n) {
        const std::string name = platform::Clip(loc_.Results.GetText(n));
        if (name.empty()) break;
        ui::SetProp(kList, ui::Prop::ColumnHeader, name, static_cast<int32_t>(n));
      }
      loc_.Results.Delete();
    }
    ui::SetProp(kRecordCountString, ui::Prop::Text, std::to_string(loc_.Results.Records()));
    ui::Disable(kExecutingQueryString);
    ui::SetCursor(ui::Cursor::kNormal);
  }

  void SortResults() {
    const int64_t row = ui::GetPropNumber(kList, ui::Prop::MouseDownRow);
    const int64_t column = ui::GetPropNumber(kList, ui::Prop::MouseDownField);
    if (row == 0 && column != 0) loc_.Results.Sort("Field" + std::to_string(column));
  }

  void ExportResults() {
    if (platform::IsBareName(loc_.ExportFilename.view())) {
      loc_.ExportFilename =
          platform::JoinPath(platform::LongPath(), platform::Clip(loc_.ExportFilename.view()));
      ui::Display();
    }
    if (loc_.Results.Records() == 0) return;
    if (loc_.ResultCut &&
        platform::Message(std::string(kCutResultQuestion) + std::to_string(loc_.Results.Records()) +
                              std::string(kCutResultQuestionEnd),
                          "", platform::kIconQuestion,
                          platform::kButtonYes | platform::kButtonNo) != platform::kButtonYes) {
      return;
    }
    const std::string name = platform::Clip(loc_.ExportFilename.view());
    if (platform::files::Exists(name)) {
      // Only Yes replaces the file; No, and closing the question any other way, keep it.
      const int32_t answer = platform::Message(
          std::string(kOverwriteQuestion) + name + std::string(kOverwriteQuestionEnd), "",
          platform::kIconQuestion, platform::kButtonYes | platform::kButtonNo);
      if (answer != platform::kButtonYes) return;
    }
    ui::SetCursor(ui::Cursor::kWait);
    // The header row: the list's column headers, and nothing else of the buffer.
    loc_.Results.ClearBuffer();
    for (size_t n = 1; n <= kResultFields; ++n) {
      const std::string header =
          platform::Clip(ui::GetProp(kList, ui::Prop::ColumnHeader, static_cast<int32_t>(n)));
      if (header.empty()) break;
      loc_.Results.SetText(n, header);
    }
    loc_.Results.AddAt(1);

    platform::files::File& file = loc_.ExportFile;
    file.SetProperty(platform::files::kPropName, name);
    // The driver writes the lines beside the old file and puts them in its place at CLOSE, so
    // a step that fails leaves the old file as it was; each failure is shown, with the file's
    // name and the system's own text.
    if (!file.Create()) {
      ShowExportError(kCreateFailed, name);
    } else if (!file.Open(platform::files::kReadWrite | platform::files::kDenyWrite)) {
      ShowExportError(kOpenFailed, name);
    } else {
      file.Stream();
      file.Set();
      bool written = true;
      for (size_t i = 1; written && i <= loc_.Results.Records(); ++i) {
        loc_.ODBCGROUP = loc_.Results.entry(i);
        written = file.Add();
        if (!written) ShowExportError(kAddFailed, name);
      }
      if (written && !file.Flush()) {
        ShowExportError(kWriteFailed, name);
        written = false;
      }
      // CLOSE puts the lines in place. After a failed step it only drops them, and answers
      // that failure again, which was shown.
      if (!file.Close() && written) ShowExportError(kWriteFailed, name);
    }
    if (loc_.Results.Get(1)) loc_.Results.Delete();
    ui::SetCursor(ui::Cursor::kNormal);
  }

  // The message of a failed step of the export. The normal cursor shows while it is open.
  static void ShowExportError(std::string_view lead, const std::string& name) {
    std::string text = std::string(lead) + name + std::string(kAddFailedError) + platform::Error();
    if (!platform::FileError().empty()) text += " (" + platform::FileError() + ")";
    ui::SetCursor(ui::Cursor::kNormal);
    platform::Message(text, "", platform::kIconExclamation, platform::kButtonOk);
    ui::SetCursor(ui::Cursor::kWait);
  }

  LocalState& loc_;
};

}  // namespace

const platform::RecordLayout& ResultQueueRecord::Layout() {
  using R = ResultQueueRecord;
  static const platform::RecordLayout layout = platform::MakeLayout<R>(
      "", platform::Field<&R::FIELD1>("FIELD1"), platform::Field<&R::FIELD2>("FIELD2"),
      platform::Field<&R::FIELD3>("FIELD3"), platform::Field<&R::FIELD4>("FIELD4"),
      platform::Field<&R::FIELD5>("FIELD5"), platform::Field<&R::FIELD6>("FIELD6"),
      platform::Field<&R::FIELD7>("FIELD7"), platform::Field<&R::FIELD8>("FIELD8"),
      platform::Field<&R::FIELD9>("FIELD9"), platform::Field<&R::FIELD10>("FIELD10"),
      platform::Field<&R::FIELD11>("FIELD11"), platform::Field<&R::FIELD12>("FIELD12"),
      platform::Field<&R::FIELD13>("FIELD13"), platform::Field<&R::FIELD14>("FIELD14"),
      platform::Field<&R::FIELD15>("FIELD15"), platform::Field<&R::FIELD16>("FIELD16"),
      platform::Field<&R::FIELD17>("FIELD17"), platform::Field<&R::FIELD18>("FIELD18"),
      platform::Field<&R::FIELD19>("FIELD19"), platform::Field<&R::FIELD20>("FIELD20"),
      platform::Field<&R::FIELD21>("FIELD21"), platform::Field<&R::FIELD22>("FIELD22"),
      platform::Field<&R::FIELD23>("FIELD23"), platform::Field<&R::FIELD24>("FIELD24"),
      platform::Field<&R::FIELD25>("FIELD25"));
  return layout;
}

void GetTablesAndFirstColumns(uint8_t system_tables, uint8_t filters_off, uint8_t tables_only,
                              std::string_view owner_filter) {
  // A copy of the statement object for this call: the connection window may replace it.
  const std::shared_ptr<catalog::ODBCQueryClass> query = catalog::QueryObject;
  if (!query) {
    // No connection chosen yet: there is no catalog to read.
    TablesQueue.Free();
    ColumnsQueue.Free();
    return;
  }
  catalog::GetTables(*query, TablesQueue, system_tables, /*system_tables2=*/0,
                     /*owner_filter_off=*/filters_off, /*type_filter_off=*/filters_off, tables_only,
                     owner_filter);
  if (TablesQueue.Get(1)) catalog::GetColumns(*query, ColumnsQueue, GTQ.TABLENAME.view());
}

void GetColumnsOfTableRow(int32_t row) {
  const std::shared_ptr<catalog::ODBCQueryClass> query = catalog::QueryObject;
  if (row < 1 || !TablesQueue.Get(static_cast<size_t>(row)) || !query) return;
  catalog::GetColumns(*query, ColumnsQueue, GTQ.TABLENAME.view());
}

void RegisterBrowseODBCconnection() {
  ui::RegisterProcedure(kProcedureName, BrowseODBCconnection, {&kWindow});
}

void BrowseODBCconnection() {
  LocalState loc;
  ui::Window window(kWindow);
  window.Use(kGloQuery, Glo.Query);
  window.Use(kLocBuildQuery, loc.BuildQuery);
  window.Use(kLocExportFilename, loc.ExportFilename);
  window.From(kTableList, TablesQueue);
  window.From(kColumnList, ColumnsQueue);
  window.Mark(kColumnList, ColumnsQueue.layout().Find("MARK"));
  window.Use(kTablename, GTQ.TABLENAME);
  window.Use(kColumnName, GCQ.COLUMNNAME);
  window.From(kList, loc.Results);
  window.Use(kGloOwnerFilter, Glo.OwnerFilter);
  window.Use(kGloTablesOnly, Glo.TablesOnly);
  window.Use(kGloSystemTables, Glo.SystemTables);
  window.Use(kLocLimitNumberOfRecords, loc.LimitNumberOfRecords);
  BrowseODBCconnectionWindow object(window, loc);
  RunWithRestyle(object);
}

}  // namespace app
