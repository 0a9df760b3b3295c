// Inside the window runtime: the state of one runtime thread and the registry of threads
// and windows. Not for program code.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/ui/backend.h"
#include "platform/ui/codes.h"
#include "platform/ui/window.h"

namespace platform::ui::detail {

struct QueuedItem {
  enum class Kind {
    kEvent,      // POST
    kInput,      // user input from the backend
    kWake,       // nothing to deliver: look again (a thread ended, a window changed elsewhere)
    kStdAction,  // run `std_action` on the window (PostStdAction)
  };
  Kind kind = Kind::kWake;
  WindowHandle window = 0;  // 0: the thread's active window
  EventId event = 0;
  FieldId field = kNoField;
  Input input;
  StdAction std_action = StdAction::kNone;
};

class ThreadState {
 public:
  explicit ThreadState(ThreadId id) : id_(id) {}
  ThreadId id() const { return id_; }

  // Queues `item`. Any thread; never takes the runtime lock. Dropped after the thread ended.
  void Push(QueuedItem item);
  // The next item for `window`: posted to it, to the thread, or a wake-up. Items for windows
  // of this thread that are still open stay queued; items for closed windows are dropped.
  // With `wake_only`, only wake-ups are taken; with `takes`, only wake-ups and the items it
  // answers true for, the others staying queued in order. Requires the runtime lock;
  // releases it while it waits.
  QueuedItem Take(WindowHandle window, bool wake_only = false,
                  const std::function<bool(const QueuedItem&)>& takes = {});
  // True when a key input is queued (KEYBOARD()).
  bool KeyWaiting();
  // Marks the thread ended: later pushes are dropped.
  void End();

  // State below requires the runtime lock.
  std::vector<Window*> windows;  // open windows in opening order; back() is the active one
  EventRecord event;             // what EVENT(), FIELD() and KEYCODE() answer
  WindowHandle target = 0;       // SETTARGET; 0: the active window
  int wait_cursors = 0;          // SETCURSOR(wait) not yet balanced

 private:
  const ThreadId id_;
  std::mutex mutex_;  // guards the state below; never held while taking the runtime lock
  std::condition_variable arrived_;
  std::deque<QueuedItem> items_;
  bool idle_ = false;  // waiting with nothing it could take
  bool ended_ = false;
};

// The calling thread's state; null on a thread that is not a runtime thread.
ThreadState* CurrentThread();
std::shared_ptr<ThreadState> FindThread(ThreadId id);
// Every live runtime thread.
std::vector<std::shared_ptr<ThreadState>> AllThreads();

// Open windows by handle. Requires the runtime lock, except WindowThread (any thread).
WindowHandle NewWindowHandle();
void RegisterWindow(Window& window);
void UnregisterWindow(Window& window);
Window* FindWindow(WindowHandle handle);
ThreadId WindowThread(WindowHandle handle);  // 0 when closed
std::vector<Window*> OpenWindows();
Window* Frame();  // the open application frame, or null
void SetFrame(Window* frame);
// The active window: the one opened or activated last; when it closes, the newest open
// window. 0 when none is open. Requires the runtime lock.
WindowHandle ActiveWindow();
void SetActiveWindow(WindowHandle handle);

DisplayBackend& Backend();

// The system property Modal is set while any modal window or dialog of any thread is open:
// each one enters on opening and leaves on closing. Requires the runtime lock.
void EnterModal();
void LeaveModal();

// Before the calling thread lets the others run (waiting for its next event, YIELD, a
// blocking dialog or program): its own windows show what it changed, and the thread of every
// other window whose list shows a queue that changed since it was shown is woken to show it
// anew, because queues are shared between threads. Requires the runtime lock.
void ShowChangesBeforeLettingGo();

}  // namespace platform::ui::detail
