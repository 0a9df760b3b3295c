// The class library's error manager: keeps, per runtime thread, the stack of the current
// procedures' names, which every window procedure pushes when its window opens and pops
// when it closes.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/codes.h"

namespace platform::ui {

class ErrorManager {
 public:
  ErrorManager() = default;
  ErrorManager(const ErrorManager&) = delete;
  ErrorManager& operator=(const ErrorManager&) = delete;

  // Starts with empty stacks.
  void Init();
  // Forgets every stack.
  void Release();
  // Pushes `name` on the calling thread's stack.
  void TrackProcedureName(std::string_view name);
  // Pops the calling thread's stack; nothing when it is empty.
  void TrackProcedureName();
  // The calling thread's current procedure name; "" when none.
  std::string procedure_name() const;

 private:
  mutable std::mutex mutex_;  // the object is shared by every thread
  std::map<ThreadId, std::vector<std::string>> names_;
};

}  // namespace platform::ui
