#include "platform/ui/thread.h"

#include <algorithm>
#include <atomic>
#include <cassert>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <map>

#include "platform/core/clock.h"
#include "platform/core/message.h"
#include "platform/ui/backend.h"
#include "platform/ui/dialogs.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

std::atomic<Runtime*> g_runtime{nullptr};
thread_local detail::ThreadState* t_self = nullptr;

// Threads and open windows. Its mutex is small and never held while waiting for anything,
// so posting from any thread stays cheap.
struct Registry {
  std::mutex mutex;
  std::map<ThreadId, std::shared_ptr<detail::ThreadState>> threads;
  std::map<WindowHandle, ThreadId> window_threads;
  // Below requires the runtime lock.
  std::map<WindowHandle, Window*> windows;
  Window* frame = nullptr;
  WindowHandle active = 0;
};

Registry& Reg() {
  static Registry r;
  return r;
}

std::atomic<WindowHandle> g_next_handle{0x10000};

std::mutex g_halt_mutex;
std::function<void(int32_t)> g_halt;

// Nothing may escape a runtime thread: nobody expected the failure, so it must not be
// swallowed either. Report it and end the program.
[[noreturn]] void InternalError(const char* what) {
  std::fprintf(stderr, "internal error on runtime thread %d: %s\n", Thread(), what);
  std::abort();
}

bool IsTimer(const detail::QueuedItem& item) {
  return item.kind == detail::QueuedItem::Kind::kInput && item.input.kind == Input::Kind::kTimer;
}

void WakeEveryThread() {
  for (const auto& t : detail::AllThreads()) t->Push({});
}

}  // namespace

namespace detail {

void ThreadState::Push(QueuedItem item) {
  Runtime* rt = Runtime::Current();
  {
    std::lock_guard lock(mutex_);
    if (ended_) return;
    // A slow loop does not pile up timer ticks: one waiting stands for all of them.
    if (IsTimer(item) && std::any_of(items_.begin(), items_.end(), [&](const QueuedItem& i) {
          return IsTimer(i) && i.window == item.window;
        })) {
      return;
    }
    items_.push_back(std::move(item));
    if (idle_) {
      idle_ = false;
      if (rt) rt->ChangeBusy({}, +1);
    }
  }
  arrived_.notify_one();
}

QueuedItem ThreadState::Take(WindowHandle window, bool wake_only,
                             const std::function<bool(const QueuedItem&)>& takes) {
  AssertRuntimeLockHeld();
  RuntimeLockReleaser unlocked;
  Runtime* rt = Runtime::Current();
  std::unique_lock lock(mutex_);
  for (;;) {
    for (auto it = items_.begin(); it != items_.end();) {
      const bool wake = it->kind == QueuedItem::Kind::kWake;
      const bool mine = it->window == 0 || it->window == window;
      if (wake || (!wake_only && mine && (!takes || takes(*it)))) {
        QueuedItem item = std::move(*it);
        items_.erase(it);
        return item;
      }
      if (!mine && WindowThread(it->window) != id_) {
        it = items_.erase(it);  // its window has closed
      } else {
        ++it;
      }
    }
    if (!idle_) {
      idle_ = true;
      if (rt) rt->ChangeBusy({}, -1);
    }
    arrived_.wait(lock);
  }
}

bool ThreadState::KeyWaiting() {
  std::lock_guard lock(mutex_);
  for (const QueuedItem& i : items_) {
    if (i.kind == QueuedItem::Kind::kInput && i.input.kind == Input::Kind::kKey) return true;
  }
  return false;
}

void ThreadState::End() {
  std::lock_guard lock(mutex_);
  ended_ = true;
  items_.clear();
}

ThreadState* CurrentThread() { return t_self; }

std::shared_ptr<ThreadState> FindThread(ThreadId id) {
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  const auto it = r.threads.find(id);
  return it != r.threads.end() ? it->second : nullptr;
}

std::vector<std::shared_ptr<ThreadState>> AllThreads() {
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  std::vector<std::shared_ptr<ThreadState>> out;
  for (const auto& [id, t] : r.threads) out.push_back(t);
  return out;
}

// Handles go up in twos: a frame answers the odd number after its own as ClientHandle.
WindowHandle NewWindowHandle() { return g_next_handle += 2; }

void RegisterWindow(Window& window) {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  r.windows[window.handle()] = &window;
  r.window_threads[window.handle()] = window.thread();
}

void UnregisterWindow(Window& window) {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  r.windows.erase(window.handle());
  r.window_threads.erase(window.handle());
  if (r.frame == &window) r.frame = nullptr;
  if (r.active == window.handle()) r.active = r.windows.empty() ? 0 : r.windows.rbegin()->first;
}

Window* FindWindow(WindowHandle handle) {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  const auto it = r.windows.find(handle);
  return it != r.windows.end() ? it->second : nullptr;
}

ThreadId WindowThread(WindowHandle handle) {
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  const auto it = r.window_threads.find(handle);
  return it != r.window_threads.end() ? it->second : 0;
}

std::vector<Window*> OpenWindows() {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  std::vector<Window*> out;
  for (const auto& [h, w] : r.windows) out.push_back(w);
  return out;
}

Window* Frame() {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  return r.frame;
}

void SetFrame(Window* frame) {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  r.frame = frame;
}

WindowHandle ActiveWindow() {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  return r.active;
}

void SetActiveWindow(WindowHandle handle) {
  AssertRuntimeLockHeld();
  Registry& r = Reg();
  std::lock_guard lock(r.mutex);
  r.active = handle;
}

DisplayBackend& Backend() {
  Runtime* rt = Runtime::Current();
  assert(rt && "no runtime");
  return rt->backend();
}

}  // namespace detail

Runtime::Runtime(DisplayBackend& backend) : backend_(backend) {
  Runtime* expected = nullptr;
  const bool first = g_runtime.compare_exchange_strong(expected, this);
  assert(first && "one Runtime at a time");
  (void)first;
  SetDialogBackend(&RuntimeDialogs());
}

Runtime::~Runtime() {
  Join();
  if (GetDialogBackend() == &RuntimeDialogs()) SetDialogBackend(nullptr);
  g_runtime.store(nullptr);
}

Runtime* Runtime::Current() { return g_runtime.load(); }

void Runtime::ChangeBusy(Badge<detail::ThreadState>, int delta) {
  {
    std::lock_guard lock(mutex_);
    busy_ += delta;
    ++activity_;
    // A thread that gets busy may change what a poller waits for.
    if (delta > 0) WakePollersLocked();
  }
  changed_.notify_all();
}

void Runtime::WakePollersLocked() {
  if (sleeping_pollers_ == 0) return;
  busy_ += sleeping_pollers_;
  sleeping_pollers_ = 0;
  ++poller_generation_;
  pollers_woken_.notify_all();
}

void Runtime::WakePollers() {
  std::lock_guard lock(mutex_);
  WakePollersLocked();
}

bool Runtime::SleepOnce(std::unique_lock<std::mutex>& lock, int64_t ms) {
  const uint64_t generation = poller_generation_;
  --busy_;
  ++sleeping_pollers_;
  changed_.notify_all();
  const bool woken = pollers_woken_.wait_for(lock, std::chrono::milliseconds(ms),
                                             [&] { return poller_generation_ != generation; });
  // A wake counted this poller busy again; after a plain time-out it does so itself.
  if (!woken) {
    --sleeping_pollers_;
    ++busy_;
  }
  return woken;
}

void Runtime::SleepPolling(int32_t ms) {
  std::unique_lock lock(mutex_);
  if (ending_) return;
  SleepOnce(lock, ms);
}

void Runtime::SleepUntil(int64_t until_ms) {
  std::unique_lock lock(mutex_);
  const auto entry = sleep_ends_.insert(until_ms);
  for (;;) {
    const int64_t left = until_ms - MonotonicMs();
    if (ending_ || left <= 0) break;
    if (virtual_clock_) {
      SleepOnce(lock, left);
    } else {
      pollers_woken_.wait_for(lock, std::chrono::milliseconds(left),
                              [&] { return ending_.load(); });
    }
  }
  sleep_ends_.erase(entry);
}

void Runtime::SetVirtualClock(bool on) {
  std::lock_guard lock(mutex_);
  virtual_clock_ = on;
}

std::optional<int64_t> Runtime::NextSleepEnd(int64_t after_ms) const {
  std::lock_guard lock(mutex_);
  const auto it = sleep_ends_.upper_bound(after_ms);
  if (it == sleep_ends_.end()) return std::nullopt;
  return *it;
}

void Runtime::BeginEnding() {
  AssertRuntimeLockHeld();
  {
    std::lock_guard lock(mutex_);
    ending_ = true;
    WakePollersLocked();
  }
  pollers_woken_.notify_all();  // the sleepers on the system's clock too
  // The procedures of the other threads end as they would when the user closed them.
  for (Window* w : detail::OpenWindows()) PostToWindow(w->handle(), kEventCloseWindow);
}

bool Runtime::running() const {
  std::lock_guard lock(mutex_);
  return live_ > 0;
}

ThreadId Runtime::StartMain(Procedure main) {
  assert(t_self == nullptr && "StartMain is for the process's main thread");
  ThreadId id;
  {
    std::lock_guard lock(mutex_);
    id = next_id_++;
    // A test may run one program after another on the same runtime.
    main_thread_ = id;
    ending_ = false;
  }
  return Launch(id, std::move(main));
}

ThreadId Runtime::Launch(ThreadId id, Procedure proc) {
  auto state = std::make_shared<detail::ThreadState>(id);
  {
    Registry& r = Reg();
    std::lock_guard lock(r.mutex);
    r.threads[id] = state;
  }
  std::lock_guard lock(mutex_);
  ++busy_;
  ++live_;
  ++activity_;
  WakePollersLocked();
  // The new thread queues for the lock now, behind its starter, so a YIELD right after
  // START lets it run.
  const uint64_t ticket = detail::DrawRuntimeLockTicket();
  threads_.emplace_back([this, state, ticket, proc = std::move(proc)] {
    t_self = state.get();
    detail::AcquireRuntimeLockWithTicket(ticket);
    try {
      proc();
    } catch (const std::exception& e) {
      InternalError(e.what());
    } catch (...) {
      InternalError("unknown exception");
    }
    // Windows are the procedure's locals and have closed with it; one that outlives its
    // procedure closes with the thread, and a wait cursor left set ends with it too.
    while (!state->windows.empty()) state->windows.back()->Close();
    if (state->wait_cursors > 0) backend_.SetCursor(state->id(), Cursor::kNormal);
    if (state->id() == main_thread_.load()) BeginEnding();
    state->End();
    {
      Registry& r = Reg();
      std::lock_guard reg_lock(r.mutex);
      r.threads.erase(state->id());
    }
    // A frame may be waiting for this thread's child window to go away.
    WakeEveryThread();
    bool last;
    {
      std::lock_guard counts(mutex_);
      --busy_;
      --live_;
      ++activity_;
      last = live_ == 0;
    }
    changed_.notify_all();
    if (last) backend_.ProgramEnded();
    t_self = nullptr;
    ReleaseRuntimeLock();
  });
  return id;
}

void Runtime::Join() {
  assert(t_self == nullptr);
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return live_ == 0; });
  }
  std::vector<std::thread> threads;
  {
    std::lock_guard lock(mutex_);
    threads.swap(threads_);
  }
  for (std::thread& t : threads) t.join();
}

void Runtime::WaitUntilIdle() {
  assert(t_self == nullptr);
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [&] { return busy_ == 0; });
    if (sleeping_pollers_ == 0) return;
    // A poller may have gone to sleep just after another thread, which then went idle, made
    // its condition hold: each looks once more, and the program is idle only when that
    // changed nothing but the pollers' own sleep.
    const uint64_t activity = activity_;
    WakePollersLocked();
    changed_.wait(lock, [&] { return busy_ == 0; });
    if (activity_ == activity) return;
  }
}

namespace {
std::atomic<int32_t> g_refused_starts = 0;
}  // namespace

void TEST_RefuseStarts(int32_t count) { g_refused_starts = count; }

ThreadId StartThread(Procedure proc) {
  AssertRuntimeLockHeld();
  Runtime* rt = Runtime::Current();
  assert(rt);
  for (int32_t left = g_refused_starts.load(); left > 0;) {
    if (g_refused_starts.compare_exchange_weak(left, left - 1)) return 0;
  }
  ThreadId id;
  {
    std::lock_guard lock(rt->mutex_);
    id = rt->next_id_++;
  }
  return rt->Launch(id, std::move(proc));
}

ThreadId Start(Procedure proc, int32_t /*stack_bytes*/) { return StartThread(std::move(proc)); }

ThreadId Start(std::function<void(std::string_view)> proc, int32_t /*stack_bytes*/,
               std::string p1) {
  return StartThread([proc = std::move(proc), p1 = std::move(p1)] { proc(p1); });
}

ThreadId Start(std::function<void(std::string_view, std::string_view)> proc,
               int32_t /*stack_bytes*/, std::string p1, std::string p2) {
  return StartThread(
      [proc = std::move(proc), p1 = std::move(p1), p2 = std::move(p2)] { proc(p1, p2); });
}

ThreadId Thread() { return t_self ? t_self->id() : 0; }

void Yield() {
  AssertRuntimeLockHeld();
  detail::ShowChangesBeforeLettingGo();
  // Going to the back of the lock's line lets every waiting thread run once.
  ReleaseRuntimeLock();
  AcquireRuntimeLock();
}

void Sleep(int32_t ms) {
  AssertRuntimeLockHeld();
  detail::ShowChangesBeforeLettingGo();
  Runtime* rt = Runtime::Current();
  if (ms <= 0 || rt == nullptr) {
    // Going to the back of the lock's line lets every waiting thread run once.
    RuntimeLockReleaser released;
    return;
  }
  const int64_t until = MonotonicMs() + ms;
  RuntimeLockReleaser released;
  rt->SleepUntil(until);
}

bool ProgramEnding() {
  const Runtime* rt = Runtime::Current();
  return rt != nullptr && rt->ending();
}

void Post(EventId event, FieldId field, ThreadId thread) {
  const ThreadId target = thread != 0 ? thread : Thread();
  std::shared_ptr<detail::ThreadState> t = detail::FindThread(target);
  if (!t) return;
  detail::QueuedItem item;
  item.kind = detail::QueuedItem::Kind::kEvent;
  item.event = event;
  item.field = field;
  t->Push(std::move(item));
}

namespace {

// Queues `item` for `window` on the thread that owns it; dropped when the window has closed.
void PushToWindow(WindowHandle window, detail::QueuedItem item) {
  std::shared_ptr<detail::ThreadState> t = detail::FindThread(detail::WindowThread(window));
  if (!t) return;
  item.window = window;
  t->Push(std::move(item));
}

}  // namespace

void PostToWindow(WindowHandle window, EventId event, FieldId field) {
  detail::QueuedItem item;
  item.kind = detail::QueuedItem::Kind::kEvent;
  item.event = event;
  item.field = field;
  PushToWindow(window, std::move(item));
}

void PostStdAction(WindowHandle window, StdAction action) {
  if (action == StdAction::kNone) return;
  detail::QueuedItem item;
  item.kind = detail::QueuedItem::Kind::kStdAction;
  item.std_action = action;
  PushToWindow(window, std::move(item));
}

void PostInput(WindowHandle window, Input input) {
  detail::QueuedItem item;
  item.kind = detail::QueuedItem::Kind::kInput;
  item.input = std::move(input);
  PushToWindow(window, std::move(item));
}

void PressKey(KeyCode key) {
  detail::ThreadState* self = detail::CurrentThread();
  if (!self) return;
  detail::QueuedItem item;
  item.kind = detail::QueuedItem::Kind::kInput;
  item.input.kind = Input::Kind::kKey;
  item.input.key = key;
  self->Push(std::move(item));
}

void SetHaltHandler(std::function<void(int32_t)> handler) {
  std::lock_guard lock(g_halt_mutex);
  g_halt = std::move(handler);
}

void Halt(int32_t code) {
  std::function<void(int32_t)> handler;
  {
    std::lock_guard lock(g_halt_mutex);
    handler = g_halt;
  }
  if (handler) {
    handler(code);
    return;
  }
  // Other threads (the display's among them) are still running: the program ends without
  // running static destructors underneath them. Files written by replacement keep their old
  // contents, and open transactions roll back.
  std::fflush(nullptr);
  std::_Exit(code);
}

}  // namespace platform::ui
