// Polling waits: a thread waits for a field that another thread changes, as the program's
// cross-thread waits do, looking at it again after every turn of the runtime lock, until it
// holds or a time on the monotonic clock (platform/core/clock.h) has passed.
//
//   // Wait up to 10 seconds for the agent thread to load the character.
//   if (!PollUntil([&] { return agent.AGENTLOADED == 1; }, 10'000)) return;
//
// When no other thread waits for the lock, the poller sleeps about a millisecond between two
// looks, so a wait does not use a whole core. While it sleeps it counts as idle for
// Runtime::WaitUntilIdle until another thread gets busy or the clock moves (a virtual
// clock wakes it), so tests can run a wait on the virtual clock.
#pragma once

#include <cstdint>
#include <functional>

namespace platform::ui {

// How a poller lets the other threads run between two looks: YIELD, or letting go of the
// runtime lock and taking it again. Both let every waiting thread run once.
enum class PollTurn { kYield, kReleaseLock };

inline constexpr int64_t kPollForever = -1;

// Answers true as soon as `done` answers true, false once `timeout_ms` milliseconds of the
// monotonic clock have passed without (kPollForever: never), or at once once the program
// ends (ProgramEnding(), thread.h). `done` runs with the runtime
// lock held. Requires the runtime lock; releases it between two looks.
bool PollUntil(const std::function<bool()>& done, int64_t timeout_ms,
               PollTurn turn = PollTurn::kYield);

}  // namespace platform::ui
