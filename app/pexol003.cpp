// ChooseODBCconnection: the connection window. The user enters a data source name with an
// optional user name and password, from which the connect string is built as they type, or
// types the connect string whole, or picks a data source from the list. Whenever the window
// closes, the connection is replaced by the connect string shown, the entries are saved to
// the connection INI file, and the frame is told.
#include <memory>
#include <string>
#include <string_view>

#include "app/connection_ini.h"
#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "catalog/catalog_queues.h"
#include "catalog/catalog_readers.h"
#include "catalog/globals.h"
#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/queue.h"
#include "platform/core/text.h"
#include "platform/files/file.h"
#include "platform/files/ini_file.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"

namespace app {
namespace {

using namespace platform::ui;
using catalog::Glo;

constexpr std::string_view kProcedureName = kChooseODBCconnectionName;

constexpr ControlDecl kControls[] = {
    Prompt("?DSNString:Prompt", "DNS (Data source name):", {8, 8, 88, 10}),
    Combo("?DSNString", {100, 7, 200, 12}).Picture("@s80").Imm(),
    Prompt("?Username:Prompt", "Username:", {8, 24, 88, 10}),
    Entry("?Username", {100, 23, 200, 12}).Picture("@s80").Imm(),
    Prompt("?Password:Prompt", "Password:", {8, 40, 88, 10}),
    Entry("?Password", {100, 39, 200, 12}).Picture("@s80").Imm().Attrs(kAttrPassword),
    Prompt("?Glo:ConnectString:Prompt", "Connectstring:", {8, 56, 88, 10}).Trn(),
    TextBox("?Glo:ConnectString", {100, 55, 311, 30}).Attrs(kAttrVScroll),
    // The text keeps its typo.
    String("?ConnectStringExamples",
           "Or you cane choose one of the listed ODBC datasources (double click to select "
           "directly):",
           {8, 92, 403, 10})
        .Trn(),
    List("?DataSourceList", {8, 104, 403, 100})
        .Format("1020L(2)@s255@?")
        .Skip()
        .Trn()
        .Attrs(kAttrVScroll)
        .Alrt(kMouseLeft2),
    Button("?ConnectButton", "&Connect", {351, 210, 60, 14}).Std(StdAction::kClose),
};

// The title keeps its typo.
constexpr WindowStructure kWindow{
    "pexolind$pexol003",
    "P1$WINDOW",
    WindowKind::kMdiChild,
    "Choose an ODB Cconnection",
    {0, 0, 419, 232},
    kControls,
    "zov.ico",
};

constexpr FieldId kDSNStringPrompt = kWindow.Equate("?DSNString:Prompt");
constexpr FieldId kDSNString = kWindow.Equate("?DSNString");
constexpr FieldId kUsername = kWindow.Equate("?Username");
constexpr FieldId kPassword = kWindow.Equate("?Password");
constexpr FieldId kConnectString = kWindow.Equate("?Glo:ConnectString");
constexpr FieldId kDataSourceList = kWindow.Equate("?DataSourceList");
static_assert(kDSNString == 2 && kUsername == 4 && kPassword == 6 && kDataSourceList == 10);

constexpr std::string_view kConnectStringPrompt =
    "DSN=Enter the ODBC DSN name; UID=Enter the username or omit it; PWD=Enter the password or "
    "omit it";
constexpr int32_t kListLineHeight = 14;
// The closing window pauses before it tells the frame.
constexpr int32_t kPauseBeforeTellingMs = 100;
// A connection INI file that cannot be written: the runtime's error, the system's own text
// and the file's name follow.
constexpr std::string_view kSaveFailed = "Couldn't save the connection!|Error:";

struct Locals {
  platform::CString<81> DSNString;
  platform::CString<81> Username;
  platform::CString<81> Password;
  platform::Queue<catalog::DataSourceQueueRecord> DataSourceQueue;
};

class ChooseODBCconnectionWindow final : public ProcedureWindow {
 public:
  ChooseODBCconnectionWindow(Window& window, Locals& loc)
      : ProcedureWindow(window, kProcedureName, kDSNStringPrompt), loc_(loc) {}

  WindowAnswer HandleAccepted() override {
    const WindowAnswer answer = BaseWindow::HandleAccepted();
    if (IsEntry(Accepted())) BuildConnectString();
    return answer;
  }

  WindowAnswer HandleNewSelection() override {
    const WindowAnswer answer = BaseWindow::HandleNewSelection();
    if (IsEntry(Field())) BuildConnectString();
    if (Field() == kDataSourceList) ChooseDataSource();
    return answer;
  }

  WindowAnswer HandleFieldEvent() override {
    const WindowAnswer answer = BaseWindow::HandleFieldEvent();
    // A double click on a row connects with it at once.
    if (Field() == kDataSourceList && Event() == kEventAlertKey &&
        CurrentKeyCode() == kMouseLeft2 && ChooseDataSource()) {
      window().Post(kEventCloseWindow);
    }
    return answer;
  }

  WindowAnswer Close() override {
    const WindowAnswer answer = ProcedureWindow::Close();
    if (answer != kGoOn) return answer;
    SaveConnection();
    return kGoOn;
  }

 protected:
  void SetUp() override { LoadConnectionSettings(); }

 private:
  static bool IsEntry(FieldId field) {
    return field == kDSNString || field == kUsername || field == kPassword;
  }

  void LoadConnectionSettings() {
    catalog::GetDataSources(loc_.DataSourceQueue);
    SetProp(kDataSourceList, Prop::LineHeight, kListLineHeight);
    const std::string ini = ConnectionIniName();
    loc_.DSNString = platform::files::GetIni(kConnectionSection, kDsnKey, "", ini);
    loc_.Username = platform::files::GetIni(kConnectionSection, kUsernameKey, "", ini);
    loc_.Password = platform::files::GetIni(kConnectionSection, kPasswordKey, "", ini);
    Glo.ConnectString = platform::files::GetIni(kConnectionSection, kConnectstringKey, "", ini);
    if (platform::Clip(Glo.ConnectString).empty()) Glo.ConnectString = kConnectStringPrompt;
  }

  // The connect string follows what is on screen in the three entries while the user types.
  void BuildConnectString() {
    const std::string dsn = platform::Clip(GetProp(kDSNString, Prop::ScreenText));
    const std::string user = platform::Clip(GetProp(kUsername, Prop::ScreenText));
    const std::string password = platform::Clip(GetProp(kPassword, Prop::ScreenText));
    std::string connect = "DSN=" + dsn;
    if (!user.empty()) connect += "; UID=" + user;
    if (!password.empty()) connect += "; PWD=" + password;
    Glo.ConnectString = connect;
    Display();
  }

  // The chosen row's data source becomes the connect string; the entries stay as they are.
  // False when no row is chosen.
  bool ChooseDataSource() {
    const int32_t row = Choice(kDataSourceList);
    if (row <= 0 || !loc_.DataSourceQueue.Get(static_cast<size_t>(row))) return false;
    Glo.ConnectString = "DSN=" + std::string(loc_.DataSourceQueue.buffer.DSNNAME.view());
    Display();
    return true;
  }

  // Whatever closed the window: the connection is replaced by the connect string shown, the
  // entries are saved, and the frame is told.
  void SaveConnection() {
    if (catalog::QueryObject != nullptr) {
      // A window on another thread that is using the old object holds its own reference, so
      // the object lives on until that window lets go of it.
      catalog::ODBCQueryClass::Dispose(catalog::QueryObject);
      catalog::ODBCFILE.Close();
      catalog::ODBCFILE.SetProperty(platform::files::kPropDisconnect, "1");
    }
    catalog::ODBCFILE.SetProperty(platform::files::kPropOwner, Glo.ConnectString);
    catalog::QueryObject = std::make_shared<catalog::ODBCQueryClass>();
    catalog::QueryObject->Init(catalog::ODBCFILE);

    // The file holds the password in clear text: only its owner may read it. A failed write
    // leaves the file as it was and is shown once; the connection is made all the same.
    const std::string ini = ConnectionIniName();
    const platform::files::AtomicFileOptions owner_only{.mode = 0600};
    for (const auto& [key, value] :
         {std::pair{kDsnKey, loc_.DSNString.view()}, std::pair{kUsernameKey, loc_.Username.view()},
          std::pair{kPasswordKey, loc_.Password.view()},
          std::pair{kConnectstringKey, Glo.ConnectString.view()}}) {
      const platform::Status saved =
          platform::files::PutIni(kConnectionSection, key, value, ini, owner_only);
      if (!saved.ok()) {
        std::string text = std::string(kSaveFailed) + saved.text();
        if (!saved.file_error().empty()) text += " (" + saved.file_error() + ")";
        platform::Message(text + "|File:" + ini);
        break;
      }
    }

    Yield();
    Sleep(kPauseBeforeTellingMs);
    Post(kEventConnectionChanged, kNoField, /*thread=*/1);
  }

  Locals& loc_;
};

}  // namespace

void RegisterChooseODBCconnection() {
  RegisterProcedure(kProcedureName, ChooseODBCconnection, {&kWindow});
}

void ChooseODBCconnection() {
  Locals loc;
  Window window(kWindow);
  window.Use(kDSNString, loc.DSNString);
  window.Use(kUsername, loc.Username);
  window.Use(kPassword, loc.Password);
  window.Use(kConnectString, Glo.ConnectString);
  window.From(kDataSourceList, loc.DataSourceQueue);
  ChooseODBCconnectionWindow object(window, loc);
  RunWithRestyle(object);
}

}  // namespace app
