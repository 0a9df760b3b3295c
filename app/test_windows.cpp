// The dictionary and query windows as the frame's tests see them: their windows on the frame
// of every window procedure, with no routines of their own, so the tests of the frame's menu
// run without a catalog.
#include "app/test_windows.h"

#include <string_view>

#include "app/procedure_frame.h"
#include "app/procedures.h"
#include "platform/ui/procedure_table.h"
#include "platform/ui/structure.h"
#include "platform/ui/window.h"

namespace app::testing {
namespace {

using namespace platform::ui;

constexpr ControlDecl kControls[] = {
    Button("?CloseButton", "&Close", {8, 8, 60, 14}).Std(StdAction::kClose),
};
constexpr WindowStructure kDictionary{"pexolind$pexol004", "P1$WINDOW",      WindowKind::kMdiChild,
                                      "Pexolind",          {0, 0, 491, 294}, kControls};
constexpr WindowStructure kQuery{"pexolind$pexol005",   "P1$WINDOW",
                                 WindowKind::kMdiChild, "Browse an ODBC connection",
                                 {0, 0, 419, 288},      kControls};

void RunWindow(const WindowStructure& structure, std::string_view name) {
  Window window(structure);
  ProcedureWindow object(window, name, 1);
  RunWithRestyle(object);
}

void StandInPexolind() { RunWindow(kDictionary, kPexolindName); }
void StandInBrowseODBCconnection() { RunWindow(kQuery, kBrowseODBCconnectionName); }

}  // namespace

void RegisterStandInWindows() {
  RegisterFrameProcedures();
  platform::ui::RegisterProcedure(kPexolindName, StandInPexolind, {&kDictionary});
  platform::ui::RegisterProcedure(kBrowseODBCconnectionName, StandInBrowseODBCconnection,
                                  {&kQuery});
}

}  // namespace app::testing
