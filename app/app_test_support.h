// A fixture for tests of the whole program: a headless display, the program run through
// RunProgram with a scripted user, every traced call recorded in order, and a temporary
// directory that is the current directory and holds the program file's path, so the program
// INI and the connection INI file live there.
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "platform/testing/scripted_display.h"
#include "platform/testing/scripted_user.h"
#include "platform/ui/codes.h"

namespace app::testing {

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Fills the procedure table before each test: the frame's procedures and stand-ins for the
  // other windows (test_windows.h). A test of the real windows registers them instead.
  virtual void RegisterWindows();

  // Runs the program; `script` acts as the user once thread 1 has started. Whatever is still
  // open afterwards is closed by its close box, so the run always ends. Answers the exit code.
  int RunProgram(const std::function<void(platform::testing::ScriptedUser&)>& script);

  // Runs `procedure` on thread 1 with the main module's objects in place but without the main
  // program; `script` acts as the user. Whatever is still open afterwards is closed.
  void RunOnThread1(const std::function<void()>& procedure,
                    const std::function<void(platform::testing::ScriptedUser&)>& script);

  // The application frame. REQUIRES: open.
  platform::ui::WindowHandle Frame(platform::testing::ScriptedUser& user);

  // Every traced call so far; with a prefix, only those that start with it.
  std::vector<std::string> Calls(std::string_view prefix = {}) const;
  void ClearCalls();
  // What the next traced calls named `call` answer (the stand-ins answer it to their caller).
  void Answer(std::string call, int32_t answer);
  // A hook run on each traced call, on the calling thread, before it is recorded.
  void OnCall(std::function<void(std::string_view)> hook);

  // The control that has the focus in window `w` of procedure `procedure`, as the window's
  // own handling sees it at its next event.
  platform::ui::FieldId FocusedField(platform::testing::ScriptedUser& user,
                                     platform::ui::WindowHandle w, std::string_view procedure);

  // The next run starts without restyle files.
  void ForgetRestyleFiles();

  std::filesystem::path dir() const { return dir_; }
  std::string ConnectionIni() const { return (dir_ / "pexolind_dns.ini").string(); }
  std::string ReadFile(const std::filesystem::path& path) const;

  platform::testing::ScriptedDisplay display;
  // Set before the run: the program's messages show in the styled message window, which the
  // test answers as the user does. Unset, the style manager hands them to the standard box
  // (its USECLARIONMESSAGEBOX), which the display's dialog script answers.
  bool styled_messages = false;

 private:
  void DismissSplash(platform::testing::ScriptedUser& user);
  void CloseEverything(platform::testing::ScriptedUser& user);

  std::filesystem::path dir_;
  std::filesystem::path previous_dir_;
  mutable std::mutex mutex_;  // guards the state below; calls come from the program's threads
  std::vector<std::string> calls_;
  std::map<std::string, int32_t, std::less<>> answers_;
  std::function<void(std::string_view)> hook_;
};

}  // namespace app::testing
