// Runtime threads: the Runtime that owns them, START, THREAD, YIELD and POST.
//
// Every runtime thread, thread 1 included, is a std::thread that holds the runtime lock
// while it runs (runtime_lock.h). Each has its own event queue under a small mutex of its
// own, so anyone (another runtime thread, a timer, the GUI thread) may post to it without
// the runtime lock. The process's main thread belongs to the display backend: it starts the
// program with Runtime::StartMain and never takes the runtime lock.
//
//   HeadlessBackend display;
//   Runtime runtime(display);
//   runtime.StartMain(ProgramMain);   // thread 1
//   runtime.Join();
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "platform/ui/badge.h"
#include "platform/ui/codes.h"

namespace platform::ui {

class DisplayBackend;
namespace detail {
class ThreadState;
}  // namespace detail

using Procedure = std::function<void()>;

class Runtime {
 public:
  // One Runtime at a time per process; `backend` must outlive it.
  explicit Runtime(DisplayBackend& backend);
  // Joins every runtime thread.
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // Starts thread 1 running `main`. Not on a runtime thread.
  ThreadId StartMain(Procedure main);
  // Waits until every runtime thread has ended. Not on a runtime thread. When thread 1's
  // procedure returns the program ends: the windows still open on other threads get
  // CloseWindow, so their procedures end as they would for the user, and every polling wait
  // and SLEEP ends at once; a window opened after that gets CloseWindow as it opens.
  void Join();
  // Waits until every runtime thread waits for its next event with nothing it could take
  // queued, sleeps in a polling wait whose condition it has looked at since the others went
  // idle, or has ended. Not on a runtime thread; never takes the runtime lock.
  void WaitUntilIdle();
  // True until every runtime thread has ended.
  bool running() const;

  DisplayBackend& backend() const { return backend_; }

  // The Runtime of the process; null when there is none.
  static Runtime* Current();

  // Bookkeeping of the threads: a thread's queue tells when it starts or stops waiting.
  void ChangeBusy(Badge<detail::ThreadState>, int delta);

  // A thread in a polling wait (poll_wait.h) sleeps here for up to `ms` milliseconds with the
  // runtime lock released. Meanwhile it counts as idle, until another thread gets busy or
  // WakePollers() is called: then the poller must look at its condition again first, and
  // counts as busy until it sleeps here again.
  void SleepPolling(int32_t ms);
  // Makes every sleeping poller look at its condition again: for a change that no thread's
  // work makes (a virtual clock moved on). Any thread; never takes the runtime lock.
  void WakePollers();
  // A thread in SLEEP waits here, with the runtime lock released, until the monotonic clock
  // reaches `until_ms` or the program ends. On the system's clock it counts as busy, since
  // it goes on by itself; on a virtual clock as idle, as a poller does, until the clock moves.
  void SleepUntil(int64_t until_ms);
  // Set by a virtual clock while it drives the monotonic clock. Any thread.
  void SetVirtualClock(bool on);
  // The earliest time after `after_ms` that a thread in SLEEP waits for; none when no thread
  // sleeps that long. For a virtual clock, which stops there on its way. Any thread.
  std::optional<int64_t> NextSleepEnd(int64_t after_ms) const;

  // True once thread 1's procedure (the last StartMain's) has returned. Any thread.
  bool ending() const { return ending_.load(); }

 private:
  ThreadId Launch(ThreadId id, Procedure proc);
  void WakePollersLocked();  // REQUIRES: mutex_ held
  // One sleep of a poller, counted idle, for up to `ms` or until the next wake; answers
  // true when a wake ended it. REQUIRES: `lock` holds mutex_.
  bool SleepOnce(std::unique_lock<std::mutex>& lock, int64_t ms);
  // Thread 1's procedure has returned. Requires the runtime lock.
  void BeginEnding();

  DisplayBackend& backend_;

  mutable std::mutex mutex_;  // guards the state below
  std::condition_variable changed_;
  int busy_ = 0;  // threads not waiting for an event, nor sleeping in a polling wait
  std::condition_variable pollers_woken_;
  int sleeping_pollers_ = 0;           // counted idle until the next wake
  uint64_t poller_generation_ = 0;     // moves at every wake
  int live_ = 0;                       // threads not ended
  uint64_t activity_ = 0;              // moves whenever a thread starts or stops waiting, or ends
  std::multiset<int64_t> sleep_ends_;  // when the threads in SLEEP wake
  std::atomic<bool> ending_ = false;   // set under mutex_
  std::atomic<ThreadId> main_thread_ = 0;  // the one StartMain started: thread 1
  bool virtual_clock_ = false;
  ThreadId next_id_ = 1;
  std::vector<std::thread> threads_;

  friend ThreadId StartThread(Procedure proc);
};

// START: runs `proc` on a new runtime thread and answers its number. The new thread runs
// once the caller lets go of the runtime lock. The stack size is accepted and not used (a
// std::thread has the system's stack). A START refused by TEST_RefuseStarts answers 0 and
// runs nothing, as the runtime's START does when it gets no thread. Requires the runtime lock.
ThreadId Start(Procedure proc, int32_t stack_bytes = 0);
ThreadId Start(std::function<void(std::string_view)> proc, int32_t stack_bytes, std::string p1);
ThreadId Start(std::function<void(std::string_view, std::string_view)> proc, int32_t stack_bytes,
               std::string p1, std::string p2);

// Test hook: the next `count` STARTs make no thread and answer 0, as when the system has no
// thread left to give. Any thread.
void TEST_RefuseStarts(int32_t count);

// THREAD: the calling runtime thread's number; 0 on a thread that is not a runtime thread.
ThreadId Thread();

// YIELD: lets every thread waiting for the runtime lock run first, then goes on. Requires
// the runtime lock; releases it meanwhile.
void Yield();
// SLEEP: waits `ms` milliseconds of the monotonic clock (platform/core/clock.h) and goes on;
// the other threads run meanwhile, and the calling thread's windows show what it changed
// first. SLEEP(0) only lets the others run once, as YIELD does. Ends at once when the
// program ends. Requires the runtime lock; releases it while it waits.
void Sleep(int32_t ms);

// True once thread 1's procedure has returned and the program is ending: a thread that is
// still running should stop what it is doing and show nothing more. Any thread.
bool ProgramEnding();

// POST of `event` to `field` (0: the window) of the active window of `thread` (0: the
// calling thread). Any thread; never takes the runtime lock. Dropped when the thread has
// ended.
void Post(EventId event, FieldId field = kNoField, ThreadId thread = 0);
// POST to one window, whichever thread owns it. Dropped when the window has closed.
void PostToWindow(WindowHandle window, EventId event, FieldId field = kNoField);
// Runs the standard action `action` on `window` as a control of it with that Std would when
// accepted, without such a control: the request waits in the window's thread's queue, in
// order with its other input, and that thread runs it. kClose posts CloseWindow (a frame
// then closes its MDI children first); tile, cascade and arrange lay out the frame's MDI
// children; cut, copy and paste act in the focused control. Any thread; never takes the
// runtime lock. Dropped when the window has closed; kNone does nothing.
//
//   PostStdAction(frame_handle, StdAction::kTile);  // from the tree-menu thread
void PostStdAction(WindowHandle window, StdAction action);

// PRESSKEY: queues `key` as if the user pressed it in the calling thread's active window.
void PressKey(KeyCode key);

// HALT: ends the program with `code` through the halt handler (by default std::exit; a
// test handler may return, and Halt then returns too).
void Halt(int32_t code = 0);
void SetHaltHandler(std::function<void(int32_t)> handler);

}  // namespace platform::ui
