#include "platform/ui/poll_wait.h"

#include "platform/core/clock.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/thread.h"

namespace platform::ui {
namespace {

constexpr int32_t kIdleSleepMs = 1;

}  // namespace

bool PollUntil(const std::function<bool()>& done, int64_t timeout_ms, PollTurn turn) {
  AssertRuntimeLockHeld();
  const int64_t start = MonotonicMs();
  for (;;) {
    if (done()) return true;
    if (ProgramEnding()) return false;
    if (timeout_ms != kPollForever && MonotonicMs() - start >= timeout_ms) return false;
    detail::ShowChangesBeforeLettingGo();
    if (OthersWaitForRuntimeLock()) {
      if (turn == PollTurn::kYield) {
        Yield();
      } else {
        RuntimeLockReleaser released;
      }
      continue;
    }
    // Nobody else wants to run now: sleep a little instead of spinning on the lock.
    RuntimeLockReleaser released;
    if (Runtime* runtime = Runtime::Current()) runtime->SleepPolling(kIdleSleepMs);
  }
}

}  // namespace platform::ui
