#include "platform/ui/inner_loop.h"

#include <cassert>

#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"

namespace platform::ui {

InnerLoop::InnerLoop(Window& window, std::function<bool(EventId)> takes)
    : window_(window),
      current_(window.current_),
      delivered_(window.delivered_),
      cycled_(window.cycled_),
      takes_(std::move(window.takes_)) {
  AssertRuntimeLockHeld();
  detail::ThreadState* t = detail::CurrentThread();
  assert(t != nullptr && t->id() == window.thread() && "an inner loop runs on the window's thread");
  thread_event_ = t->event;
  // The inner loop starts afresh: the event being handled is not the inner loop's to act on.
  window_.delivered_ = false;
  window_.cycled_ = false;
  window_.takes_ = std::move(takes);
}

InnerLoop::~InnerLoop() {
  window_.current_ = current_;
  window_.delivered_ = delivered_;
  window_.cycled_ = cycled_;
  window_.takes_ = std::move(takes_);
  if (detail::ThreadState* t = detail::CurrentThread()) t->event = thread_event_;
}

}  // namespace platform::ui
