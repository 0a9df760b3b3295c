#include "app/app_test_support.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#include <unistd.h>

#include "app/pexolind_main.h"
#include "app/program.h"
#include "app/test_windows.h"
#include "catalog/globals.h"
#include "platform/core/call_trace.h"
#include "platform/core/paths.h"
#include "platform/testing/odbc_sources.h"
#include "platform/ui/desktop_settings.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "stylemanager/stylemanager_class.h"

namespace app::testing {

void ProgramTest::SetUp() {
  // The hermetic data sources must be in place before the process's first ODBC call.
  platform::testing::OdbcSources::Get();
  std::string tmpl = (std::filesystem::temp_directory_path() / "pex-app.XXXXXX").string();
  ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
  dir_ = tmpl;
  previous_dir_ = std::filesystem::current_path();
  std::filesystem::current_path(dir_);
  RegisterWindows();
  // The program's files live in the test's directory; its data (icons, pages) stays the one
  // the program ships, so the windows look as they do for the user.
  platform::TEST_SetDataDirectory(platform::DataDirectory());
  platform::TEST_SetProgramPath((dir_ / "pexolind").string());
  platform::ui::TEST_SetDragFullWindows(0);
  catalog::Glo.ConnectString = "";
  catalog::QueryObject.reset();
  platform::TEST_SetCallObserver([this](std::string_view call) {
    std::function<void(std::string_view)> hook;
    {
      std::lock_guard lock(mutex_);
      hook = hook_;
    }
    if (hook) hook(call);
    // Init keeps the setting it finds once its own questions are done.
    if (!styled_messages && call.starts_with("ZOVStylemanagerClass.Init ")) {
      Program().StyleManager.USECLARIONMESSAGEBOX = 1;
    }
    std::lock_guard lock(mutex_);
    calls_.emplace_back(call);
    const auto it = answers_.find(call);
    return it == answers_.end() ? 0 : it->second;
  });
}

void ProgramTest::RegisterWindows() { RegisterStandInWindows(); }

void ProgramTest::TearDown() {
  platform::TEST_SetCallObserver({});
  platform::ui::TEST_SetDragFullWindows(0);
  platform::TEST_SetProgramPath("");
  platform::TEST_SetDataDirectory("");
  catalog::QueryObject.reset();
  catalog::ODBCFILE.Close();
  catalog::Glo.ConnectString = "";
  std::filesystem::current_path(previous_dir_);
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

int ProgramTest::RunProgram(const std::function<void(platform::testing::ScriptedUser&)>& script) {
  return app::RunProgram(display, [&](platform::ui::Runtime& runtime) {
    platform::testing::ScriptedUser user(runtime, display);
    user.WaitUntilIdle();
    DismissSplash(user);
    script(user);
    CloseEverything(user);
  });
}

void ProgramTest::DismissSplash(platform::testing::ScriptedUser& user) {
  // The splash window holds until its timer runs out, which the headless display never lets
  // happen by itself.
  for (const platform::headless::MirrorWindow& w : display.Windows()) {
    if (w.view.module == "zovsplash") user.FireTimer(w.view.handle);
  }
  user.WaitUntilIdle();
}

void ProgramTest::RunOnThread1(
    const std::function<void()>& procedure,
    const std::function<void(platform::testing::ScriptedUser&)>& script) {
  platform::ui::Runtime runtime(display);
  MainModule module;
  runtime.StartMain(procedure);
  platform::testing::ScriptedUser user(runtime, display);
  user.WaitUntilIdle();
  script(user);
  CloseEverything(user);
  runtime.Join();
}

void ProgramTest::CloseEverything(platform::testing::ScriptedUser& user) {
  // A frame closes its children first, so frames go first.
  for (int round = 0; round < 3 && !display.Windows().empty(); ++round) {
    for (const platform::headless::MirrorWindow& w : display.Windows()) {
      if (round == 0 && w.view.kind != platform::ui::WindowKind::kFrame) continue;
      platform::ui::Input close;
      close.kind = platform::ui::Input::Kind::kCloseBox;
      platform::ui::PostInput(w.view.handle, close);
    }
    user.WaitUntilIdle();
  }
}

platform::ui::WindowHandle ProgramTest::Frame(platform::testing::ScriptedUser& user) {
  return user.Window("P1$APPFRAME");
}

void ProgramTest::ForgetRestyleFiles() {
  std::filesystem::remove_all(dir_ / "ZOVRestyle");
  for (const char* name : {"ZOVConditionalSet", "ZOVConditional", "ZOVProperties"}) {
    std::filesystem::remove(dir_ / name);
  }
}

std::vector<std::string> ProgramTest::Calls(std::string_view prefix) const {
  std::lock_guard lock(mutex_);
  std::vector<std::string> out;
  for (const std::string& c : calls_) {
    if (c.starts_with(prefix)) out.push_back(c);
  }
  return out;
}

void ProgramTest::ClearCalls() {
  std::lock_guard lock(mutex_);
  calls_.clear();
}

void ProgramTest::Answer(std::string call, int32_t answer) {
  std::lock_guard lock(mutex_);
  answers_[std::move(call)] = answer;
}

void ProgramTest::OnCall(std::function<void(std::string_view)> hook) {
  std::lock_guard lock(mutex_);
  hook_ = std::move(hook);
}

platform::ui::FieldId ProgramTest::FocusedField(platform::testing::ScriptedUser& user,
                                                platform::ui::WindowHandle w,
                                                std::string_view procedure) {
  platform::ui::FieldId focus = -100;
  const std::string hook = "ZOVAgentClass.HandleEvent " + std::string(procedure);
  OnCall([&](std::string_view call) {
    if (call == hook) focus = platform::ui::Focus();
  });
  platform::ui::PostToWindow(w, platform::ui::kEventUser);
  user.WaitUntilIdle();
  OnCall({});
  return focus;
}

std::string ProgramTest::ReadFile(const std::filesystem::path& path) const {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace app::testing
