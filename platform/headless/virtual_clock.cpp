#include "platform/headless/virtual_clock.h"

#include <optional>
#include <utility>

namespace platform::headless {

VirtualClock::VirtualClock(ui::Runtime& runtime, HeadlessBackend& display)
    : runtime_(runtime), display_(display) {
  previous_source_ = SetMonotonicSource([this] { return now_.load() * 10; });
}

VirtualClock::~VirtualClock() { SetMonotonicSource(std::move(previous_source_)); }

void VirtualClock::Rescan() {
  std::map<ui::WindowHandle, Timer> seen;
  for (const MirrorWindow& w : display_.Windows()) {
    if (w.view.timer <= 0) continue;
    const auto it = timers_.find(w.view.handle);
    if (it != timers_.end() && it->second.interval == w.view.timer) {
      seen[w.view.handle] = it->second;
    } else {
      seen[w.view.handle] = Timer{w.view.timer, now_.load() + w.view.timer};
    }
  }
  timers_ = std::move(seen);
}

void VirtualClock::Advance(int64_t hundredths) {
  const int64_t end = now_.load() + hundredths;
  runtime_.WaitUntilIdle();
  Rescan();
  for (;;) {
    std::optional<int64_t> next;
    for (const auto& [handle, t] : timers_) {
      if (!next || t.due < *next) next = t.due;
    }
    if (!next || *next > end) break;
    now_ = *next;
    for (auto& [handle, t] : timers_) {
      if (t.due != now_) continue;
      t.due += t.interval;
      ui::Input tick;
      tick.kind = ui::Input::Kind::kTimer;
      ui::PostInput(handle, tick);
    }
    runtime_.WaitUntilIdle();
    Rescan();
  }
  now_ = end;
}

}  // namespace platform::headless
