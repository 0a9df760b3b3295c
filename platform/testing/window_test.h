// A fixture for window tests: a headless display with scripted dialogs, a runtime and a scripted
// user, and an event log that the program's threads write and the test reads once everything is
// idle.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/thread.h"

namespace platform::testing {

// Lines written by the program's threads, read by the test.
class Log {
 public:
  void Add(std::string line) {
    std::lock_guard lock(mutex_);
    lines_.push_back(std::move(line));
  }
  std::vector<std::string> lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> lines_;
};

class WindowTest : public ::testing::Test {
 protected:
  // Declared in the order they are built; the runtime joins its threads before the display
  // goes away.
  ScriptedDisplay display;
  ui::Runtime runtime{display};
  ScriptedUser user{runtime, display};
  Log log;

  void TearDown() override {
    // Whatever is still open is closed by its close box, so every thread ends.
    for (const MirrorWindow& w : display.Windows()) {
      ui::Input close;
      close.kind = ui::Input::Kind::kCloseBox;
      ui::PostInput(w.view.handle, close);
    }
    runtime.Join();
  }
};

}  // namespace platform::testing
