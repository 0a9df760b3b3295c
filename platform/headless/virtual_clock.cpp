#include "platform/headless/virtual_clock.h"

#include <optional>
#include <utility>

namespace platform::headless {

VirtualClock::VirtualClock(ui::Runtime& runtime, HeadlessBackend& display)
    : runtime_(runtime), display_(display) {
  previous_source_ = SetMonotonicSource([this] { return now_ms_.load(); });
  runtime_.SetVirtualClock(true);
}

VirtualClock::~VirtualClock() {
  runtime_.SetVirtualClock(false);
  SetMonotonicSource(std::move(previous_source_));
}

void VirtualClock::Rescan() {
  std::map<ui::WindowHandle, Timer> seen;
  for (const MirrorWindow& w : display_.Windows()) {
    if (w.view.timer <= 0) continue;
    const auto it = timers_.find(w.view.handle);
    if (it != timers_.end() && it->second.interval == w.view.timer) {
      seen[w.view.handle] = it->second;
    } else {
      seen[w.view.handle] = Timer{w.view.timer, now_ms_.load() + int64_t{w.view.timer} * 10};
    }
  }
  timers_ = std::move(seen);
}

void VirtualClock::AdvanceMs(int64_t ms) {
  const int64_t end = now_ms_.load() + ms;
  runtime_.WaitUntilIdle();
  Rescan();
  for (;;) {
    std::optional<int64_t> next;
    for (const auto& [handle, t] : timers_) {
      if (!next || t.due_ms < *next) next = t.due_ms;
    }
    // A SLEEP ends on its way too, at its own time.
    if (const auto wake = runtime_.NextSleepEnd(now_ms_.load()); wake && (!next || *wake < *next)) {
      next = wake;
    }
    if (!next || *next > end) break;
    now_ms_ = *next;
    runtime_.WakePollers();
    for (auto& [handle, t] : timers_) {
      if (t.due_ms != *next) continue;
      t.due_ms += int64_t{t.interval} * 10;
      ui::Input tick;
      tick.kind = ui::Input::Kind::kTimer;
      ui::PostInput(handle, tick);
    }
    runtime_.WaitUntilIdle();
    Rescan();
  }
  now_ms_ = end;
  // A polling wait whose time ran out ends before the clock's caller goes on.
  runtime_.WakePollers();
  runtime_.WaitUntilIdle();
}

}  // namespace platform::headless
