// The runtime lock: one program thread runs at a time, as the program expects (it shares
// queues, the statement object and globals between threads without locks of its own).
//
// A runtime thread holds the lock while it runs. It lets go only while it waits for its next
// event, in YIELD, and in blocking runtime calls (dialogs, waiting for a started program).
// The lock is handed over first come, first served, so a thread that polls with YIELD can
// never starve the thread it is waiting for. The GUI thread never takes it.
#pragma once

#include <cstdint>
#include <functional>

namespace platform::ui {

// Takes the lock, waiting behind every thread that asked before. REQUIRES: not held.
void AcquireRuntimeLock();
// Lets go of the lock and hands it to the longest waiter. REQUIRES: held by this thread.
void ReleaseRuntimeLock();
// True when the calling thread holds the lock.
bool RuntimeLockHeld();
// True when another thread waits for the lock. REQUIRES: held by this thread.
bool OthersWaitForRuntimeLock();
// Asserts RuntimeLockHeld(); the first line of every function that "Requires the runtime lock".
void AssertRuntimeLockHeld();

// Lets go of the lock for its lifetime and takes it back at the end: for blocking calls and
// busy waits. Does nothing when the calling thread did not hold the lock.
class RuntimeLockReleaser {
 public:
  RuntimeLockReleaser();
  ~RuntimeLockReleaser();
  RuntimeLockReleaser(const RuntimeLockReleaser&) = delete;
  RuntimeLockReleaser& operator=(const RuntimeLockReleaser&) = delete;

 private:
  bool held_;
};

namespace detail {
// The two halves of AcquireRuntimeLock, for START: the starter draws the new thread's
// ticket, so the new thread is in line from that moment, and the new thread waits for it.
uint64_t DrawRuntimeLockTicket();
void AcquireRuntimeLockWithTicket(uint64_t ticket);
}  // namespace detail

// Test hook: called with true right after a thread took the lock and with false right
// before it lets go, on that thread and while it still holds the lock. Empty removes it.
void TEST_SetRuntimeLockObserver(std::function<void(bool acquired)> observer);

}  // namespace platform::ui
