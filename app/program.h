// The main module's global objects: the style manager, the assistant, the splash window, the
// restyle user name and the restyle files, the full-window-dragging setting read at start-up, the
// error manager and the INI manager. MainModule builds them in the initialisers' order and tears
// them down in the terminator's; everything else reaches them through Program().
#pragma once

#include <cstdint>
#include <memory>

#include "assistant/extagent.h"
#include "catalog/txd_relations.h"
#include "platform/core/fixed_string.h"
#include "platform/ui/error_manager.h"
#include "platform/ui/ini_manager.h"
#include "restyle/restyle_files.h"
#include "splash/splash_class.h"
#include "stylemanager/stylemanager_class.h"

namespace app {

namespace detail {
// Clears the record buffers of the catalog queues and the field-types queue, and answers the
// record of the table sysrel, cleared.
catalog::SysrelRecord ClearCatalogRecords();
}  // namespace detail

// Declared in the order the initialiser sets them up; the terminator destroys them in reverse
// (the assistant before the style manager).
struct ProgramObjects {
  splash::ZOVSplashClass Splash;
  // The record of the table sysrel, cleared together with the catalog queues' record buffers
  // before the style manager is built.
  catalog::SysrelRecord SYSREL = detail::ClearCatalogRecords();
  stylemanager::ZOVStylemanagerClass StyleManager;
  // The assistant's files with their record buffers, cleared, before the assistant that uses
  // them.
  assistant::AgentFiles AgentFiles;
  assistant::ZOVAgentClass Agent{AgentFiles};
  // The user name of every restyle record; blank until start-up sets it.
  platform::FixedString<255> RestyleUserName;
  // The four restyle files, closed, and their record buffers, cleared.
  restyle::RestyleFiles RestyleFiles;

  // The desktop's full-window-dragging setting as read at start-up (1 = on).
  int32_t DragFullWindows = 0;
  platform::ui::ErrorManager ErrorManager;
  platform::ui::IniManager IniManager;
};

// The main module's initialiser (constructor) and terminator (destructor). One at a time per
// process; it must outlive every runtime thread that uses Program().
class MainModule {
 public:
  MainModule();
  ~MainModule();
  MainModule(const MainModule&) = delete;
  MainModule& operator=(const MainModule&) = delete;

 private:
  std::unique_ptr<ProgramObjects> objects_;
};

// The objects of the live MainModule. REQUIRES: one exists.
ProgramObjects& Program();

}  // namespace app
