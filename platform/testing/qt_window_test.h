// A test of windows on the Qt display. The runtime joins the program's threads before the
// display goes; the windows still open at the end are closed by their close boxes, as a user
// closes them, and the program's threads end with them.
//
//   class PanelTest : public platform::testing::QtWindowTest {
//     void SetUp() override {
//       QtWindowTest::SetUp();
//       mirror = Start([] { ... window.Open(); while (window.Accept()) {} }, "Panels");
//     }
//   };
#pragma once

#include <functional>
#include <string_view>
#include <utility>

#include <QCoreApplication>
#include <gtest/gtest.h>

#include "platform/qt/qt_backend.h"
#include "platform/qt/settle.h"
#include "platform/qt/window_mirror.h"
#include "platform/ui/thread.h"

namespace platform::testing {

class QtWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    display.SetProgramEndedHandler([] {});
  }
  void TearDown() override {
    for (ui::WindowHandle h : display.Windows()) {
      if (qt::WindowMirror* m = display.Mirror(h)) m->CloseBoxPressed();
    }
    qt::Settle(runtime);
    runtime.Join();
    QCoreApplication::sendPostedEvents();
  }

  // Runs `main` as the program's first thread until the runtime is idle, and answers the
  // mirror of its window titled `title`; null when there is none.
  qt::WindowMirror* Start(std::function<void()> main, std::string_view title) {
    runtime.StartMain(std::move(main));
    qt::Settle(runtime);
    return display.Mirror(display.FindWindow(title));
  }

  qt::QtBackend display;
  ui::Runtime runtime{display};
};

}  // namespace platform::testing
