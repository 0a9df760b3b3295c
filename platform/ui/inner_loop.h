// A second event loop on a window, run while the window's own loop handles one of its events
// (or before that loop starts): a glide that moves the window, a fade that waits for the
// window's Timer events.
//
//   InnerLoop fade(window, [](EventId e) { return e == kEventTimer; });
//   while (fade.Accept()) {
//     if (Step()) break;
//   }
//
// The inner loop ends when the program leaves it, or when its ACCEPT answers false (the
// window closed, or a CloseWindow it took went through; the window's own loop then ends
// too). Leaving it gives the window's own loop back the event it was handling (EVENT(),
// FIELD(), its default action, a CYCLE); every event the inner loop did not take is still
// queued, in order, for that loop.
#pragma once

#include <functional>

#include "platform/ui/codes.h"
#include "platform/ui/window.h"

namespace platform::ui {

class InnerLoop {
 public:
  // `takes` answers true for the events the inner loop takes; empty: every event. A user's
  // input other than the timer stays queued for the window's own loop while `takes` is set.
  // Requires the runtime lock, on the window's thread; the window must be open.
  explicit InnerLoop(Window& window, std::function<bool(EventId)> takes = {});
  ~InnerLoop();
  InnerLoop(const InnerLoop&) = delete;
  InnerLoop& operator=(const InnerLoop&) = delete;

  // ACCEPT of the inner loop.
  bool Accept() { return window_.Accept(); }

 private:
  Window& window_;
  // What the window's own loop had when the inner loop began.
  EventRecord current_;
  EventRecord thread_event_;
  bool delivered_;
  bool cycled_;
  std::function<bool(EventId)> takes_;
};

}  // namespace platform::ui
