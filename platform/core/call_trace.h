// A seam for tests: the calls that leave no visible trace of their own (the desktop-settings
// service, the stand-ins of subsystems that are not built yet, the class library's managers)
// report themselves here, so one test can check the order of calls across all of them and
// choose what a stand-in answers.
//
//   TEST_ScopedCallObserver observer([&](std::string_view call) { log.push_back(...); return 0; });
//   ... run the program ...
//
// Any thread; never takes the runtime lock. Calls from several threads reach the observer
// one at a time.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>
#include <utility>

namespace platform {

// Sees each traced call, named as "Class.Operation" and its arguments, and answers what the
// stand-in answers its caller (0, "go on", for every call a test does not steer).
using CallObserver = std::function<int32_t(std::string_view call)>;

namespace detail {
struct CallTraceState {
  std::recursive_mutex mutex;  // an observer may trigger traced calls itself
  CallObserver observer;
};
inline CallTraceState& GetCallTraceState() {
  static CallTraceState state;
  return state;
}
}  // namespace detail

// Installs `observer`; an empty one removes it.
inline void TEST_SetCallObserver(CallObserver observer) {
  detail::CallTraceState& s = detail::GetCallTraceState();
  std::lock_guard lock(s.mutex);
  s.observer = std::move(observer);
}

// Reports `call`; answers the observer's answer, 0 without an observer.
inline int32_t TraceCall(std::string_view call) {
  detail::CallTraceState& s = detail::GetCallTraceState();
  std::lock_guard lock(s.mutex);
  return s.observer ? s.observer(call) : 0;
}

// Installs an observer for its lifetime.
class TEST_ScopedCallObserver {
 public:
  explicit TEST_ScopedCallObserver(CallObserver observer) {
    TEST_SetCallObserver(std::move(observer));
  }
  ~TEST_ScopedCallObserver() { TEST_SetCallObserver({}); }
  TEST_ScopedCallObserver(const TEST_ScopedCallObserver&) = delete;
  TEST_ScopedCallObserver& operator=(const TEST_ScopedCallObserver&) = delete;
};

}  // namespace platform
