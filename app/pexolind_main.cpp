#include "app/pexolind_main.h"

#include "app/procedures.h"
#include "app/program.h"
#include "catalog/globals.h"
#include "catalog/odbc_query.h"
#include "platform/files/file.h"
#include "platform/ui/desktop_settings.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/thread.h"
#include "restyle/restyle_files.h"
#include "stylemanager/stylemanager_class.h"

namespace app {
namespace {

using platform::ui::KeyCode;
using namespace platform::ui;  // key codes and modifiers

// The INI manager's file, named without a path: the current directory.
constexpr std::string_view kIniFile = "pexolind.INI";

constexpr KeyCode kTrainModeKey = kCtrl + kF10Key;
constexpr KeyCode kActivateAlertKey = kCtrl + kF11Key;
constexpr KeyCode kPlayAgentAlertKey = kF12Key;
constexpr KeyCode kPlayControlKey = kShift + kF12Key;
constexpr KeyCode kStyleHotKey = kCtrl + kAlt + 'S';
static_assert(kTrainModeKey == 0x279 && kActivateAlertKey == 0x27A);
static_assert(kPlayAgentAlertKey == 0x7B && kPlayControlKey == 0x17B);
static_assert(kStyleHotKey == 0x653);

constexpr int32_t kSplashSeconds = 10;

void BindStyleManager(stylemanager::ZOVStylemanagerClass& manager, restyle::RestyleFiles& f) {
  manager.BindPropertyFile(f.ZOVPROPERTIESFILE, restyle::kPropertiesPrimaryKey,
                           f.ZOVPF.CONTROLTYPEEQUATE, f.ZOVPF.PROPERTYEQUATE, f.ZOVPF.PROPERTY,
                           f.ZOVPF.PROPERTYDESCRIPTION, f.ZOVPF.HIDEFROMENDUSER);
  manager.BindConditionSetFile(f.ZOVCONDITIONSETFILE, restyle::kConditionSetPrimaryKey,
                               restyle::kConditionSetSortKey, f.ZOVCS.USERNAME, f.ZOVCS.PROFILE,
                               f.ZOVCS.PROCEDURENAME, f.ZOVCS.GROUPNAME, f.ZOVCS.CONDITIONALSET,
                               f.ZOVCS.CONDITIONALSETID);
  manager.BindConditionFile(f.ZOVCONDITIONFILE, restyle::kConditionPrimaryKey,
                            f.ZOVCD.CONDITIONALSETID, f.ZOVCD.CONDITIONALID, f.ZOVCD.CONTROL,
                            f.ZOVCD.PROPERTYEQUATE, f.ZOVCD.OPERATOR, f.ZOVCD.VALUE,
                            f.ZOVCD.MANUALVALUE);
  manager.BindRestyleFile(f.ZOVRESTYLEFILE, restyle::kRestylePrimaryKey, f.ZOVRF.CONDITIONALSETID,
                          f.ZOVRF.PROPERTY, f.ZOVRF.PARAMETER, f.ZOVRF.VALUE);
}

void StartUp(ProgramObjects& program) {
  program.ErrorManager.Init();
  program.IniManager.Init(kIniFile);

  program.Agent.Init();
  program.Agent.TRAINMODEKEY = kTrainModeKey;
  program.Agent.ACTIVATEALERTKEY = kActivateAlertKey;
  program.Agent.PLAYAGENTALERTKEY = kPlayAgentAlertKey;
  program.Agent.PLAYCONTROLKEY = kPlayControlKey;

  program.Splash.SplashWindow(kSplashSeconds);

  program.RestyleUserName = "DEFAULT";
  program.StyleManager.BindUserName(program.RestyleUserName);
  BindStyleManager(program.StyleManager, program.RestyleFiles);
  program.StyleManager.Init(kStyleHotKey);

  // No system message hook is set before this point, so the style manager keeps none.
  program.StyleManager.MESSAGEHOOK = {};
  SetSystemMessageHook(MessageHook);

  SystemParametersInfoA(kSpiGetDragFullWindows, 0, &program.DragFullWindows, 0);
  if (program.DragFullWindows == 1) {
    SystemParametersInfoA(kSpiSetDragFullWindows, 0, nullptr, kSpifUpdateAndSend);
  }
}

void ShutDown(ProgramObjects& program) {
  // The INI manager's shut-down hook does nothing.
  program.Agent.Shutdown();
  catalog::ODBCQueryClass::Dispose(catalog::QueryObject);
  catalog::ODBCFILE.Close();
  catalog::ODBCFILE.SetProperty(platform::files::kPropDisconnect, "1");
  if (program.DragFullWindows == 1) {
    SystemParametersInfoA(kSpiSetDragFullWindows, 1, nullptr, kSpifUpdateAndSend);
  }
  program.IniManager.Release();
  program.ErrorManager.Release();
  program.StyleManager.Shutdown();
}

}  // namespace

void MainProgram() {
  // No step's result is tested: each runs whatever the one before did.
  ProgramObjects& program = Program();
  StartUp(program);
  Main();
  ShutDown(program);
}

int32_t MessageHook(const platform::MessageRequest& request) {
  return Program().StyleManager.ShowMessage(request);
}

int RunProgram(DisplayBackend& backend, const std::function<void(Runtime&)>& drive) {
  Runtime runtime(backend);
  // Declared after the runtime: its terminator runs once every runtime thread has ended.
  MainModule module;
  runtime.StartMain(MainProgram);
  if (drive) drive(runtime);
  runtime.Join();
  return 0;
}

}  // namespace app
