// For the program's tests on the Qt display: one application for each suite, gone before the
// statics of Qt it uses, and a way to run the GUI with the program's threads until what a
// test waits for has happened.
#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include <QApplication>
#include <gtest/gtest.h>

#include "app/pexolind_main.h"
#include "app/program.h"
#include "app/test_windows.h"
#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/testing/qt_user.h"
#include "platform/ui/thread.h"

namespace app::testing {

class QtProgramTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static int argc = 1;
    static char name[] = "app_qt_test";
    static char* argv[] = {name, nullptr};
    application_ = std::make_unique<QApplication>(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
  }
  static void TearDownTestSuite() { application_.reset(); }

  // Runs the GUI and the program's threads until `done` holds; false when it never does. How
  // many rounds that takes depends on the machine's load, so it goes on for up to a minute of
  // rounds instead of a fixed count. The GUI keeps running while the threads settle, since
  // one of them may be waiting for it.
  static bool PumpUntil(platform::ui::Runtime& runtime, const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < give_up) {
      platform::qt::Settle(runtime, 1);
      if (done()) return true;
    }
    return false;
  }

 private:
  static inline std::unique_ptr<QApplication> application_;
};

// The whole program started on a Qt display, with a user to drive it. The runtime joins the
// program's threads before the display goes.
struct ProgramOnQt {
  ProgramOnQt() {
    display.SetProgramEndedHandler([] {});
    RegisterStandInWindows();
    runtime.StartMain(MainProgram);
  }

  // Opens the connection window by the frame's menu item, as the user does; null when it does
  // not open.
  platform::qt::WindowMirror* OpenConnectionWindow() {
    platform::qt::WindowMirror* frame = user.Frame();
    if (frame == nullptr) return nullptr;
    user.ChooseMenu(*frame, "?PEXOLINDCHOOSEODBCCONNECTION");
    return user.Window("Choose an ODB Cconnection");
  }

  platform::qt::QtBackend display;
  platform::ui::Runtime runtime{display};
  MainModule module;
  platform::testing::QtUser user{runtime, display};
};

}  // namespace app::testing
