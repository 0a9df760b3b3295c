// The dictionary window: the catalog of the connected data source in six lists (tables, and
// for the selected table its columns, primary key, indexes and the foreign keys that refer
// to it, plus the custom field types), the export options, and the buttons that reread the
// catalog, write the TXD file and edit or reload the custom field-types file.
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <system_error>

#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "catalog/catalog_queues.h"
#include "catalog/field_types.h"
#include "catalog/globals.h"
#include "catalog/txd_writer.h"
#include "catalog/txd_writer_source.h"
#include "platform/core/message.h"
#include "platform/core/text.h"
#include "platform/files/odbc/connect_string.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace app {
namespace {

namespace ui = platform::ui;
using ui::Button;
using ui::Check;
using ui::Combo;
using ui::ControlDecl;
using ui::Entry;
using ui::FieldId;
using ui::List;
using ui::Prompt;
using ui::Sheet;
using ui::String;
using ui::Tab;

constexpr std::string_view kProcedureName = kPexolindName;

// The lists sit on the tabs of the sheet; the options and buttons below it.
constexpr ui::RectDu kListAt{10, 22, 471, 170};
constexpr ControlDecl kControls[] = {
    Sheet("?Sheet", {4, 4, 483, 194}),
    Tab("?TablesTab", "Tables", "?Sheet"),
    List("?TableList", kListAt)
        .Parent("?TablesTab")
        .Attrs(ui::kAttrVScroll | ui::kAttrHScroll)
        .Format("80L(2)|M~Database~@s100@60L(2)|M~Owner~@s100@120L(2)|M~Table~@s100@"
                "70L(2)|M~Type~@s100@1020L(2)|M~Remark~@s255@"),
    Tab("?ColumnsTab", "Columns", "?Sheet"),
    List("?columnlist", kListAt)
        .Parent("?ColumnsTab")
        .Attrs(ui::kAttrVScroll | ui::kAttrHScroll)
        .Format("0L(2)|M~Database~@s100@0L(2)|M~Owner~@s100@0L(2)|M~Table~@s100@"
                "100L(2)|M~Column~@s100@30R(2)|M~nType~@n-7@70L(2)|M~Columntype~@s100@"
                "44R(2)|M~Columnsize~@n-11@52R(2)|M~BufferLength~@n-11@"
                "52R(2)|M~DecimalDigits~@n-7@52R(2)|M~NumPrecRadix~@n-7@36R(2)|M~Nullable~@n-7@"
                "80L(2)|M~Remarks~@s255@70L(2)|M~DefaultValue~@s100@48R(2)|M~SqlDataType~@n-7@"
                "52R(2)|M~SqlDateTimeSub~@n-7@56R(2)|M~CharOctetLength~@n-11@"
                "56R(2)|M~OrdinalPosition~@n-7@40L(2)|M~IsNullable~@s10@"),
    Tab("?PrimaryKeysTab", "Primary keys", "?Sheet"),
    List("?PrimaryKeyList", kListAt)
        .Parent("?PrimaryKeysTab")
        .Attrs(ui::kAttrVScroll)
        .Format("0L(2)|M~Database~@s100@0L(2)|M~Owner~@s100@0L(2)|M~Table~@s100@"
                "120L(2)|M~Column~@s100@40R(2)|M~Sequence~@n-7@200L(2)|M~Primary key name~@s100@"),
    Tab("?IndexesTab", "Indexes", "?Sheet"),
    List("?IndexList", kListAt)
        .Parent("?IndexesTab")
        .Attrs(ui::kAttrVScroll | ui::kAttrHScroll)
        .Format("0L(2)|M~Database~@s100@0L(2)|M~Owner~@s100@0L(2)|M~Table~@s100@"
                "40R(2)|M~Non unique~@n3@60L(2)|M~Index qualifier~@s100@"
                "100L(2)|M~Index name~@s100@24R(2)|M~Type~@n3@52R(2)|M~Ordinal position~@n-7@"
                "90L(2)|M~Column name~@s100@36L(2)|M~Asc / Desc~@s1@"
                "48R(2)|M~Cardinality~@n-11@40R(2)|M~Pages~@n-11@80L(2)|M~Filter condition~@s255@"),
    Tab("?RelationsTab", "Relations", "?Sheet"),
    List("?ForeignList", kListAt)
        .Parent("?RelationsTab")
        .Attrs(ui::kAttrVScroll | ui::kAttrHScroll)
        .Format("50L(2)|M~Database~@s100@40L(2)|M~Owner~@s100@70L(2)|M~Table~@s100@"
                "70L(2)|M~Column~@s100@40L(2)|M~Schema~@s100@40L(2)|M~Owner~@s100@"
                "70L(2)|M~Table~@s100@70L(2)|M~Column~@s100@36L(2)|M~Sequence~@s100@"
                "40L(2)|M~Update rule~@s100@40L(2)|M~Delete rule~@s100@60L(2)|M~Key~@s100@"
                "60L(2)|M~Foreign key~@s100@40L(2)|M~Deferrability~@s100@"),
    Tab("?CustomFieldTypesTab", "Custom fieldtypes", "?Sheet"),
    List("?CustomFieldtypesList", {10, 22, 471, 150})
        .Parent("?CustomFieldTypesTab")
        .Attrs(ui::kAttrVScroll)
        .Format("120L(2)|M~Columntype~@s80@50R(2)|M~Columnsize~@n-11@50R(2)|M~Precision~@n-11@"
                "200L(2)|M~Clarion fieldtype~@s80@"),
    Button("?EditCustomFieldtypes", "&Edit custom fieldtypes", {10, 176, 110, 14})
        .Parent("?CustomFieldTypesTab"),
    Button("?RegetCustomFieldtypes", "Reget custom &fieldtypes", {126, 176, 110, 14})
        .Parent("?CustomFieldTypesTab"),
    String("?TableString", "Current selected table:", {8, 206, 92, 10}),
    Entry("?Tablename", {102, 205, 200, 10}).Picture("@s255").Skip(),
    Prompt("?Glo:OwnerFilter:Prompt", "Filter on owner:", {8, 222, 92, 10}),
    Entry("?Glo:OwnerFilter", {102, 221, 120, 10}).Picture("@s254"),
    Check("?Glo:ExternalNames", "Do not use external names", {320, 205, 150, 10}),
    Prompt("?Glo:TXDFilename:Prompt", "TXD filename:", {8, 238, 92, 10}),
    Entry("?Glo:TXDFilename", {102, 237, 200, 10}).Picture("@s255"),
    Check("?Glo:TablesOnly", "Show tables only", {320, 221, 150, 10}),
    String("?DriverString", "Generate with file driver:", {8, 254, 92, 10}),
    Combo("?Glo:Driver", {102, 253, 80, 10}).Picture("@s80").From("MSSQL|ODBC|ORACLE"),
    Check("?Glo:NoRelations", "No relations", {320, 237, 150, 10}),
    Check("?Glo:SystemTables", "Also generate system tables", {320, 253, 150, 10}),
    Button("?RegetButton", "&Reget tables, columns, etc.", {8, 274, 120, 14}),
    Button("?WriteTXDButton", "&Write Clarion TXD", {134, 274, 100, 14}),
    Button("?CloseButton", "&Close", {427, 274, 56, 14}).Std(ui::StdAction::kClose),
};

constexpr ui::WindowStructure kWindow{
    "pexolind$pexol004", "P1$WINDOW", ui::WindowKind::kMdiChild, "Pexolind", {0, 0, 491, 294},
    kControls,           "zov.ico"};

constexpr FieldId kTableList = kWindow.Equate("?TableList");
constexpr FieldId kColumnList = kWindow.Equate("?columnlist");
constexpr FieldId kPrimaryKeyList = kWindow.Equate("?PrimaryKeyList");
constexpr FieldId kIndexList = kWindow.Equate("?IndexList");
constexpr FieldId kForeignList = kWindow.Equate("?ForeignList");
constexpr FieldId kCustomFieldtypesList = kWindow.Equate("?CustomFieldtypesList");
constexpr FieldId kEditCustomFieldtypes = kWindow.Equate("?EditCustomFieldtypes");
constexpr FieldId kRegetCustomFieldtypes = kWindow.Equate("?RegetCustomFieldtypes");
constexpr FieldId kTablename = kWindow.Equate("?Tablename");
constexpr FieldId kOwnerFilter = kWindow.Equate("?Glo:OwnerFilter");
constexpr FieldId kExternalNames = kWindow.Equate("?Glo:ExternalNames");
constexpr FieldId kTXDFilename = kWindow.Equate("?Glo:TXDFilename");
constexpr FieldId kTablesOnly = kWindow.Equate("?Glo:TablesOnly");
constexpr FieldId kDriver = kWindow.Equate("?Glo:Driver");
constexpr FieldId kNoRelations = kWindow.Equate("?Glo:NoRelations");
constexpr FieldId kSystemTables = kWindow.Equate("?Glo:SystemTables");
constexpr FieldId kRegetButton = kWindow.Equate("?RegetButton");
constexpr FieldId kWriteTXDButton = kWindow.Equate("?WriteTXDButton");
static_assert(kTableList == 3 && kCustomFieldtypesList == 13 && kWriteTXDButton == 29);

// "the will be used" is the program's text as it stands.
constexpr std::string_view kNoCustomTypesYet =
    "There are no custom Columntypes yet (first generate a TXD)...";
constexpr std::string_view kEditCustomTypesNote =
    "The custom columntypes file will now be opened so you can edit it.|When you have finished "
    "editing and saved the custom columntypes file|you can use Reget columntypes, so the will "
    "be used when generating the Clarion Dictionary.";

// A catalog that cannot be read (a wrong data source, password or database) reads as empty;
// these say so instead of showing empty lists and writing a dictionary without tables.
constexpr std::string_view kCatalogUnreadable =
    "Couldn't read the catalog of the data source!|Data source:";
constexpr std::string_view kTxdNotWritten =
    "The TXD file is not written: the catalog of the data source could not be read.|File:";

// The procedure's own variables.
struct PexolindLocals {
  // The custom field-types file the editor was last started on.
  std::string custom_field_types_file;
  // Why the last reading of the tables failed; empty when it succeeded.
  std::string catalog_error;
};

// "|Error:" and the failure, the passwords in it masked.
std::string ErrorPart(std::string_view error) {
  return "|Error:" + platform::files::MaskPasswords(error);
}

// The data source as the messages show it: the connect string, its password masked.
std::string DataSourceShown() {
  return platform::files::MaskPasswords(platform::ClipView(catalog::Glo.ConnectString));
}

class PexolindWindow final : public ProcedureWindow {
 public:
  PexolindWindow(ui::Window& window, PexolindLocals& loc)
      : ProcedureWindow(window, kProcedureName, kTableList), loc_(loc) {}

  WindowAnswer HandleAccepted() override {
    const FieldId accepted = ui::Accepted();
    if (accepted == kWriteTXDButton) {
      // The options on screen are the ones the tables are read with and the file is written
      // with, so a filter the user just typed takes effect in this very run.
      UpdateManagers();
      RegetTables();
    }
    const WindowAnswer answer = ProcedureWindow::HandleAccepted();
    if (accepted == kWriteTXDButton && !loc_.catalog_error.empty()) {
      // Written now, the dictionary would replace a good one by one without tables.
      platform::Message(std::string(kTxdNotWritten) +
                        std::string(platform::ClipView(catalog::Glo.TXDFilename)) +
                        "|Data source:" + DataSourceShown() + ErrorPart(loc_.catalog_error));
      Reset();
      return answer;
    }
    if (accepted == kEditCustomFieldtypes) {
      UpdateManagers();
      EditCustomFieldTypes();
    } else if (accepted == kRegetCustomFieldtypes) {
      UpdateManagers();
      catalog::LoadCustomFieldTypes();
      Reset();
    } else if (accepted == kRegetButton) {
      UpdateManagers();
      RegetTables();
      ShowCatalogError();
    } else if (accepted == kWriteTXDButton) {
      catalog::WriteTXD();
      // The writer turns every GTQ.TABLENAME into its label and leaves the queues of the
      // last table it wrote; the lists show the catalog as read again instead, so the
      // selected table's details (and any SELECT built from its name) use its real name.
      RegetTables();
      LoadTableDetails();
      Reset();
    }
    return answer;
  }

  WindowAnswer HandleNewSelection() override {
    const WindowAnswer answer = ProcedureWindow::HandleNewSelection();
    if (ui::Field() == kTableList) LoadTableDetails();
    return answer;
  }

 protected:
  void SetUp() override {
    RegetTables();
    ShowCatalogError();
    window().Post(ui::kEventNewSelection, kTableList);  // the first table's details
    catalog::LoadCustomFieldTypes();
  }

 private:
  void RegetTables() {
    const std::unique_ptr<catalog::CatalogSource> source = catalog::MakeQueryObjectCatalog();
    source->ReadTables(catalog::Glo.SystemTables != 0, catalog::Glo.TablesOnly != 0,
                       catalog::Glo.OwnerFilter.view());
    loc_.catalog_error = source->ReadError();
    if (loc_.catalog_error.empty()) {
      source->ReadForeignKeys("", "");
    } else {
      // Nothing of another source stays in the lists.
      EmptyTableDetails();
      catalog::ForeignKeysQueue.Free();
    }
    catalog::TablesQueue.Get(1);  // an empty queue leaves the cleared record buffer
  }

  // The failure of the last reading of the tables, once for that reading.
  void ShowCatalogError() {
    if (loc_.catalog_error.empty()) return;
    platform::Message(std::string(kCatalogUnreadable) + DataSourceShown() +
                      ErrorPart(loc_.catalog_error));
  }

  static void EmptyTableDetails() {
    catalog::PrimaryKeysQueue.Free();
    catalog::IndexesQueue.Free();
    catalog::ColumnsQueue.Free();
  }

  // With no row chosen (or none to choose) the details are read for whatever the record
  // buffer holds.
  void LoadTableDetails() {
    // The source could not be read: reading the details would only fail again.
    if (!loc_.catalog_error.empty()) return EmptyTableDetails();
    const int32_t choice = ui::Choice(kTableList);
    if (choice >= 1) catalog::TablesQueue.Get(static_cast<size_t>(choice));
    const std::string table(platform::ClipView(catalog::GTQ.TABLENAME));
    // The table of its own schema: another schema may hold a table of the same name.
    const std::string owner(platform::ClipView(catalog::GTQ.OWNER));
    const std::unique_ptr<catalog::CatalogSource> source = catalog::MakeQueryObjectCatalog();
    source->ReadPrimaryKeys(table, owner);
    source->ReadIndexes(table, owner);
    source->ReadColumns(table, owner);
    source->ReadForeignKeys(table, owner);
  }

  void EditCustomFieldTypes() {
    loc_.custom_field_types_file = catalog::CustomFieldTypesFileName();
    std::error_code error;
    if (!std::filesystem::exists(loc_.custom_field_types_file, error)) {
      platform::Message(kNoCustomTypesYet, "", "", platform::kButtonOk);
      return;
    }
    platform::Message(kEditCustomTypesNote, "", platform::kIconAsterisk, platform::kButtonOk);
    // Not waited for: the user edits while the program goes on, and reloads with the
    // button. A desktop that cannot open the file says so.
    platform::ui::OpenOnDesktop(loc_.custom_field_types_file);
  }

  PexolindLocals& loc_;
};

}  // namespace

void RegisterPexolind() { ui::RegisterProcedure(kProcedureName, Pexolind, {&kWindow}); }

void Pexolind() {
  PexolindLocals loc;
  ui::Window window(kWindow);
  window.Use(kTablename, catalog::GTQ.TABLENAME);
  window.Use(kOwnerFilter, catalog::Glo.OwnerFilter);
  window.Use(kExternalNames, catalog::Glo.ExternalNames);
  window.Use(kTXDFilename, catalog::Glo.TXDFilename);
  window.Use(kTablesOnly, catalog::Glo.TablesOnly);
  window.Use(kDriver, catalog::Glo.Driver);
  window.Use(kNoRelations, catalog::Glo.NoRelations);
  window.Use(kSystemTables, catalog::Glo.SystemTables);
  // The lists show the program's catalog queues, which other windows refill too.
  window.From(kTableList, catalog::TablesQueue);
  window.From(kColumnList, catalog::ColumnsQueue);
  window.From(kPrimaryKeyList, catalog::PrimaryKeysQueue);
  window.From(kIndexList, catalog::IndexesQueue);
  window.From(kForeignList, catalog::ForeignKeysQueue);
  window.From(kCustomFieldtypesList, catalog::FieldTypesQueue);
  PexolindWindow object(window, loc);
  RunWithRestyle(object);
}

}  // namespace app
