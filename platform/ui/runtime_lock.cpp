#include "platform/ui/runtime_lock.h"

#include <cassert>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform::ui {
namespace {

// A ticket lock: each comer draws the next ticket and waits until it is served, which hands
// the lock over in arrival order.
struct TicketLock {
  std::mutex mutex;
  std::condition_variable turn;
  uint64_t next_ticket = 0;
  uint64_t now_serving = 0;
  std::function<void(bool)> observer;  // guarded by mutex; called by the holder
};

// The lock is never destroyed: when the program ends from a runtime thread (HALT, STOP's
// Abort) other threads may still wait for it, and destroying a condition variable that
// threads wait on would hold up the end of the program for ever.
TicketLock& Lock() {
  union Forever {
    Forever() : lock() {}
    ~Forever() {}
    TicketLock lock;
  };
  static Forever forever;
  return forever.lock;
}

thread_local bool t_held = false;

}  // namespace

void AcquireRuntimeLock() { detail::AcquireRuntimeLockWithTicket(detail::DrawRuntimeLockTicket()); }

uint64_t detail::DrawRuntimeLockTicket() {
  TicketLock& l = Lock();
  std::lock_guard guard(l.mutex);
  return l.next_ticket++;
}

void detail::AcquireRuntimeLockWithTicket(uint64_t ticket) {
  assert(!t_held && "the runtime lock is not reentrant");
  TicketLock& l = Lock();
  std::function<void(bool)> observer;
  {
    std::unique_lock guard(l.mutex);
    l.turn.wait(guard, [&] { return l.now_serving == ticket; });
    observer = l.observer;
  }
  t_held = true;
  if (observer) observer(true);
}

void ReleaseRuntimeLock() {
  assert(t_held && "the runtime lock is not held by this thread");
  TicketLock& l = Lock();
  std::function<void(bool)> observer;
  {
    std::lock_guard guard(l.mutex);
    observer = l.observer;
  }
  if (observer) observer(false);
  t_held = false;
  {
    std::lock_guard guard(l.mutex);
    ++l.now_serving;
  }
  l.turn.notify_all();
}

bool RuntimeLockHeld() { return t_held; }

bool OthersWaitForRuntimeLock() {
  assert(t_held && "the runtime lock is not held by this thread");
  TicketLock& l = Lock();
  std::lock_guard guard(l.mutex);
  // The holder's ticket is the one being served; every later one is a waiter.
  return l.next_ticket - l.now_serving > 1;
}

void AssertRuntimeLockHeld() { assert(t_held && "requires the runtime lock"); }

RuntimeLockReleaser::RuntimeLockReleaser() : held_(t_held) {
  if (held_) ReleaseRuntimeLock();
}

RuntimeLockReleaser::~RuntimeLockReleaser() {
  if (held_) AcquireRuntimeLock();
}

void TEST_SetRuntimeLockObserver(std::function<void(bool acquired)> observer) {
  TicketLock& l = Lock();
  std::lock_guard guard(l.mutex);
  l.observer = std::move(observer);
}

}  // namespace platform::ui
