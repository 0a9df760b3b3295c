// Restyling every open window in turn, with a progress window: each window is first put back
// to its registered look and place, then styled anew, hidden meanwhile unless it is the frame.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/ui/desktop.h"
#include "platform/ui/structure.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/restyle_class.h"
#include "stylemanager/stylemanager_class.h"

namespace stylemanager {
namespace {

using namespace platform::ui;

constexpr ControlDecl kProgressControls[] = {
    String("?String1", "Restyle progress", {6, 12, 149, 8}),
    Decl(ControlType::kProgress, "?RESTYLEPROGRESS", "", {6, 22, 149, 8}),
};
constexpr WindowStructure kProgressWindow{"zovstyma",         "P40$RESTYLEPROGRESSWINDOW",
                                          WindowKind::kPlain, "",
                                          {0, 0, 162, 43},    kProgressControls};
constexpr FieldId kProgressBar = kProgressWindow.Equate("?RESTYLEPROGRESS");
static_assert(kProgressBar == 2);

bool IsFrame(const Window& window) {
  return platform::TextToNumber(window.Get(0, Prop::Type)) ==
         static_cast<int32_t>(ControlType::kApplication);
}

}  // namespace

bool ZOVStylemanagerClass::StillToRestyle(const restyle::ZOVRestyleClass* restyle) const {
  return std::ranges::find(restyle_all_pending_, restyle) != restyle_all_pending_.end() &&
         std::ranges::find(RESTYLECLASSLIST, restyle) != RESTYLECLASSLIST.end() &&
         restyle->PROCEDUREWINDOW != nullptr && restyle->PROCEDUREWINDOW->is_open();
}

void ZOVStylemanagerClass::RestyleAllWindows() { RestyleAll(nullptr); }

void ZOVStylemanagerClass::RestyleAllWindows(restyle::ZOVRestyleClass& caller) {
  RestyleAll(&caller);
}

void ZOVStylemanagerClass::RestyleAll(restyle::ZOVRestyleClass* caller) {
  platform::TraceCall("ZOVStylemanagerClass.RestyleAllWindows");
  // The objects listed now are the pass's rows. Other threads run during each row's yield:
  // an object that leaves the registry meanwhile leaves the rows too (UnregisterRestyle), so
  // the pass never reaches a destroyed object, not even one whose place a new object took;
  // a window opened meanwhile waits for the next pass.
  restyle_all_pending_ = RESTYLECLASSLIST;
  const std::vector<restyle::ZOVRestyleClass*> rows = restyle_all_pending_;
  Window progress(kProgressWindow);
  progress.Open();
  progress.Set(0, Prop::Buffer, "1");
  progress.Set(kProgressBar, Prop::RangeHigh, std::to_string(rows.size()));
  ShowWindow(progress.handle(), kSwRestore);
  SetWindowPos(progress.handle(), kHwndTopMost, 0, 0, 0, 0, kSwpNoMove | kSwpNoSize);
  const bool fading = USEFADING == 1 && caller != nullptr;
  if (fading) caller->FadeWindow(progress, /*fade_in=*/1, 0, 1, 1, 0, 1, 0);
  for (size_t n = 1; n <= rows.size(); ++n) {
    progress.Set(kProgressBar, Prop::Progress, std::to_string(n));
    progress.Display();
    restyle::ZOVRestyleClass* object = rows[n - 1];
    if (object == nullptr || !StillToRestyle(object)) continue;
    const uint8_t kept = object->DONOTRESTYLETHISPROCEDURE;
    object->DONOTRESTYLETHISPROCEDURE = 1;
    const bool frame = IsFrame(*object->PROCEDUREWINDOW);
    if (!frame) object->PROCEDUREWINDOW->Set(0, Prop::Hide, "1");
    object->Restyle(/*reload=*/0, /*keep=*/1);
    Yield();
    if (!StillToRestyle(object)) continue;
    object->DONOTRESTYLETHISPROCEDURE = kept;
    object->Restyle(/*reload=*/1, /*keep=*/0);
    if (!frame) object->PROCEDUREWINDOW->Set(0, Prop::Hide, "0");
  }
  restyle_all_pending_.clear();
  if (fading) caller->FadeWindow(progress, /*fade_in=*/0, 0, 1, 1, 0, 1, 0);
  progress.Close();
}

}  // namespace stylemanager
