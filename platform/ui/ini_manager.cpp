#include "platform/ui/ini_manager.h"

#include "platform/core/call_trace.h"
#include "platform/files/ini_file.h"

namespace platform::ui {
namespace {

constexpr std::string_view kBookkeepingSection = "__Dont_Touch_Me__";
constexpr std::string_view kSectorsKey = "Sectors";

}  // namespace

void IniManager::Init(std::string_view file) {
  TraceCall("IniManager.Init " + std::string(file));
  file_ = file;
  sectors_ = files::GetIni(kBookkeepingSection, kSectorsKey, "", file_);
  initialised_ = true;
}

void IniManager::Release() {
  TraceCall("IniManager.Release");
  if (!initialised_) return;
  initialised_ = false;
  // Ignoring errors on purpose: see the header.
  (void)files::PutIni(kBookkeepingSection, kSectorsKey, sectors_, file_);
}

}  // namespace platform::ui
