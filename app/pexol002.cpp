// Main: the application frame. Its menu starts the connection, query and dictionary windows,
// each on a thread of its own; shows the current connection; opens the assistant's topic
// chooser, the style configuration and the program's own web pages. When it opens it
// restores the last connection from the connection INI file.
#include <memory>
#include <string>
#include <string_view>

#include "app/connection_ini.h"
#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "app/program.h"
#include "catalog/globals.h"
#include "platform/core/fixed_string.h"
#include "platform/core/message.h"
#include "platform/core/paths.h"
#include "platform/core/text.h"
#include "platform/files/file.h"
#include "platform/files/ini_file.h"
#include "platform/files/odbc/connect_string.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/statements.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"

namespace app {
namespace {

using namespace platform::ui;

constexpr std::string_view kProcedureName = kMainName;

constexpr ControlDecl kControls[] = {
    Menubar(),
    Menu("?PEXOLIND", "Pexolind").Icon("ZOVpexolind.ico"),
    Item("?PEXOLINDCHOOSEODBCCONNECTION", "Choose ODBC connection  F2", "?PEXOLIND").Key(kF2Key),
    Separator("?PEXOLIND"),
    Item("?PEXOLINDNOCONNECTIONSELECTED", "No connection selected", "?PEXOLIND").Disabled(),
    Separator("?PEXOLIND"),
    Item("?PEXOLINDBROWSEODBCCONNECTION", "Browse ODBC connection  F3", "?PEXOLIND").Key(kF3Key),
    Item("?PEXOLINDBUILDDICTIONARY", "Build dictionary  F4", "?PEXOLIND").Key(kF4Key),
    Separator("?PEXOLIND"),
    Item("?PEXOLINDEXITPROGRAM", "&Exit program  Alt+F4", "?PEXOLIND").Std(StdAction::kClose),
    Menu("?SPECIALOPTIONS", "&Special options").Icon("ZOVTemplate.ico"),
    Item("?HELPMSAGENTHELP", "Activate the help  F12", "?SPECIALOPTIONS"),
    Item("?APPLICATIONSETTINGSRESTYLEAPPLICATION", "Activate ZOVRestyle  Ctrl+Alt+S",
         "?SPECIALOPTIONS"),
    Menu("?WEBLINKS", "Web links").Icon("ZOVWeb.gif"),
    Item("?HELPVISITAUTHORWEBSITE", "Visit the author's home page", "?WEBLINKS"),
    Item("?HELPVISITZOVANTRIXWEBSITE", "Visit Zovantrix website", "?WEBLINKS"),
    Item("?HELPDOWNLOADMSAGENT", "Download MS Agent", "?WEBLINKS"),
    Menu("?EDITMENU", "&Edit"),
    Item("?CUT", "Cu&t", "?EDITMENU").Std(StdAction::kCut).Msg("Verplaats selectie naar klembord"),
    Item("?COPY", "&Copy", "?EDITMENU").Std(StdAction::kCopy).Msg("Kopiëer selectie naar klembord"),
    Item("?PASTE", "&Paste", "?EDITMENU").Std(StdAction::kPaste).Msg("Inhoud van klembord plakken"),
    Menu("?WINDOW", "&Window").Std(StdAction::kWindowList).Msg("Creëer en rangschik vensters"),
    Item("?TILE", "&Tile", "?WINDOW").Std(StdAction::kTile).Msg("Alle vensters naast elkaar"),
    Item("?CASCADE", "&Cascade", "?WINDOW")
        .Std(StdAction::kCascade)
        .Msg("Alle vensters trapsgewijs zichtbaar"),
    Item("?ARRANGE", "&Arrange minimized windows", "?WINDOW")
        .Std(StdAction::kArrange)
        .Msg("Alle icons rangschikken"),
};

constexpr WindowStructure kWindow{
    "pexolind$pexol002", "P1$APPFRAME",
    WindowKind::kFrame,  "Pexolind version 1.10 - ODBC catalogs to TXD dictionaries",
    {0, 0, 310, 244},    kControls,
    "zov.ico",
};

constexpr FieldId kChooseItem = kWindow.Equate("?PEXOLINDCHOOSEODBCCONNECTION");
constexpr FieldId kConnectionItem = kWindow.Equate("?PEXOLINDNOCONNECTIONSELECTED");
constexpr FieldId kBrowseItem = kWindow.Equate("?PEXOLINDBROWSEODBCCONNECTION");
constexpr FieldId kDictionaryItem = kWindow.Equate("?PEXOLINDBUILDDICTIONARY");
constexpr FieldId kHelpItem = kWindow.Equate("?HELPMSAGENTHELP");
constexpr FieldId kRestyleItem = kWindow.Equate("?APPLICATIONSETTINGSRESTYLEAPPLICATION");
constexpr FieldId kAuthorItem = kWindow.Equate("?HELPVISITAUTHORWEBSITE");
constexpr FieldId kMakerItem = kWindow.Equate("?HELPVISITZOVANTRIXWEBSITE");
constexpr FieldId kAgentItem = kWindow.Equate("?HELPDOWNLOADMSAGENT");
static_assert(kChooseItem == -2 && kConnectionItem == -3 && kDictionaryItem == -5);
static_assert(kAgentItem == -13 && kWindow.Equate("?ARRANGE") == -21);

constexpr std::string_view kSelectConnectionFirst = "Please select a ODBC connection first!";
// The connection item shows this many leading characters of the connect string.
constexpr size_t kConnectionShown = 20;
constexpr int32_t kStackBytes = 25000;
// The web pages are the program's own, in its data directory.
constexpr std::string_view kAuthorPage = "pexolind-pages/author.html";
constexpr std::string_view kMakerPage = "pexolind-pages/zovantrix.html";
constexpr std::string_view kAgentPage = "pexolind-pages/msagent.html#core-components";

class MainWindow final : public ProcedureWindow {
 public:
  // The focus goes to control 1 on open, as in the other windows; the frame has none.
  explicit MainWindow(Window& window)
      : ProcedureWindow(window, kProcedureName, /*first_field=*/1) {}

  WindowAnswer HandleAccepted() override {
    switch (Accepted()) {
      case kChooseItem:
        StartProcedure(kChooseODBCconnectionName, kStackBytes);
        break;
      case kBrowseItem:
      case kDictionaryItem:
        if (platform::Clip(catalog::Glo.ConnectString).empty()) {
          platform::Message(kSelectConnectionFirst, "", platform::kIconExclamation,
                            platform::kButtonOk);
          // The connection window opens next.
          window().Post(kEventAccepted, kChooseItem);
        } else {
          StartProcedure(Accepted() == kBrowseItem ? kBrowseODBCconnectionName : kPexolindName,
                         kStackBytes);
        }
        break;
      case kHelpItem:
        Program().Agent.SetProcedure(kProcedureName, window().handle());
        Program().Agent.ChooseSubject(/*test_mode=*/0);
        break;
      case kRestyleItem:
        Program().StyleManager.ConfigureMain(restyle());
        break;
      case kAuthorItem:
        OpenWebPage(kAuthorPage);
        break;
      case kMakerItem:
        OpenWebPage(kMakerPage);
        break;
      case kAgentItem:
        OpenWebPage(kAgentPage);
        break;
      default:
        break;
    }
    return BaseWindow::HandleAccepted();
  }

  WindowAnswer HandleWindowEvent() override {
    switch (Event()) {
      case kEventConnectionChanged:
        RefreshConnectionItem();
        break;
      case kEventOpenWindow:
        SetProp(0, Prop::Imm, 1);
        Program().Agent.SetApplicationWindow(window().handle());
        break;
      default:
        break;
    }
    return ProcedureWindow::HandleWindowEvent();
  }

 protected:
  // The frame registers its menu: the five menus as kind 1, every item as kind 3.
  void RegisterWithRestyle() override {
    restyle().EXPANDMENUTREEAUTOMATICALLY = 1;
    for (size_t i = 0; i < kWindow.controls.size(); ++i) {
      const FieldId field = kWindow.FieldAt(i);
      if (!kWindow.controls[i].IsMenuEntry() || kWindow.controls[i].IsSeparator()) continue;
      restyle().AddMenuItem(field, kWindow.controls[i].type == ControlType::kMenu ? 1 : 3);
    }
  }

  void SetUp() override { LoadLastConnection(); }

 private:
  void LoadLastConnection() {
    catalog::Glo.ConnectString =
        platform::files::GetIni(kConnectionSection, kConnectstringKey, "", ConnectionIniName());
    if (platform::Clip(catalog::Glo.ConnectString).empty()) return;
    catalog::ODBCFILE.SetProperty(platform::files::kPropOwner, catalog::Glo.ConnectString);
    catalog::QueryObject = std::make_shared<catalog::ODBCQueryClass>();
    catalog::QueryObject->Init(catalog::ODBCFILE);
    ShowConnection();
  }

  void RefreshConnectionItem() {
    if (!platform::Clip(catalog::Glo.ConnectString).empty()) ShowConnection();
    restyle().BuildMenuStructure();
  }

  // The connection item shows the first 20 characters, and "..." when the connect string
  // without its trailing blanks is longer. A password among them is shown masked.
  void ShowConnection() {
    const std::string connect = platform::files::MaskPasswords(catalog::Glo.ConnectString);
    std::string text(platform::CutUtf8(connect, kConnectionShown));
    if (platform::Clip(connect).size() > kConnectionShown) text += "...";
    SetProp(kConnectionItem, Prop::Text, text);
  }

  // The page's address is a file URL, so that a section after '#' reaches the browser. A
  // page that does not open is told to the user.
  static void OpenWebPage(std::string_view page) {
    platform::ui::OpenOnDesktop("file://" + platform::JoinPath(platform::DataDirectory(), page));
  }
};

}  // namespace

void RegisterMain() { RegisterProcedure(kProcedureName, Main, {&kWindow}); }

void Main() {
  Window window(kWindow);
  MainWindow object(window);
  RunWithRestyle(object);
}

}  // namespace app
