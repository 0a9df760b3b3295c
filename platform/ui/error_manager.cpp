#include "platform/ui/error_manager.h"

#include "platform/core/call_trace.h"
#include "platform/ui/thread.h"

namespace platform::ui {

void ErrorManager::Init() {
  TraceCall("ErrorManager.Init");
  std::lock_guard lock(mutex_);
  names_.clear();
}

void ErrorManager::Release() {
  TraceCall("ErrorManager.Release");
  std::lock_guard lock(mutex_);
  names_.clear();
}

void ErrorManager::TrackProcedureName(std::string_view name) {
  std::lock_guard lock(mutex_);
  names_[Thread()].emplace_back(name);
}

void ErrorManager::TrackProcedureName() {
  std::lock_guard lock(mutex_);
  const auto it = names_.find(Thread());
  if (it == names_.end() || it->second.empty()) return;
  it->second.pop_back();
  if (it->second.empty()) names_.erase(it);
}

std::string ErrorManager::procedure_name() const {
  std::lock_guard lock(mutex_);
  const auto it = names_.find(Thread());
  return it == names_.end() || it->second.empty() ? std::string() : it->second.back();
}

}  // namespace platform::ui
