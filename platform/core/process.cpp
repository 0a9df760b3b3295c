#include "platform/core/process.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/os_error.h"

extern char** environ;

namespace platform {
namespace {

constexpr std::string_view kDesktopOpener = "xdg-open";
// How long the opener may take to tell that it cannot open; it ends at once when it can't.
constexpr std::chrono::milliseconds kOpenerVerdict{1500};
constexpr std::chrono::milliseconds kOpenerPoll{10};

struct HookSlot {
  std::mutex mu;
  ProcessHook hook;
};

HookSlot& Slot() {
  static HookSlot slot;
  return slot;
}

int ExitCodeOf(int wait_status) {
  if (WIFEXITED(wait_status)) return WEXITSTATUS(wait_status);
  if (WIFSIGNALED(wait_status)) return 128 + WTERMSIG(wait_status);
  return 0;
}

Result<int> WaitFor(pid_t pid) {
  int wait_status = 0;
  while (waitpid(pid, &wait_status, 0) < 0) {
    if (errno != EINTR) return ErrnoStatus(errno);
  }
  return ExitCodeOf(wait_status);
}

// The exit code when `pid` ends within `limit`, else nullopt (it goes on unwaited).
Result<std::optional<int>> WaitBriefly(pid_t pid, std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    int wait_status = 0;
    const pid_t done = waitpid(pid, &wait_status, WNOHANG);
    if (done == pid) return std::optional<int>(ExitCodeOf(wait_status));
    if (done < 0 && errno != EINTR) return ErrnoStatus(errno);
    if (std::chrono::steady_clock::now() >= deadline) return std::optional<int>();
    std::this_thread::sleep_for(kOpenerPoll);
  }
}

Result<pid_t> Start(const ProcessCall& call) {
  std::vector<char*> argv;
  argv.reserve(call.args.size() + 2);
  std::string program = call.program;
  argv.push_back(program.data());
  std::vector<std::string> args = call.args;  // posix_spawn wants non-const texts
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  pid_t pid = 0;
  // posix_spawnp searches PATH for a name without '/', as a shell would, but runs no shell.
  const int err = posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ);
  if (err != 0) return ErrnoStatus(err);
  return pid;
}

// Nobody waits for the program, so it is reaped when it ends instead of left a zombie.
void ReapLater(pid_t pid) {
  std::thread([pid] { (void)WaitFor(pid); }).detach();
}

Result<int> Spawn(const ProcessCall& call) {
  Result<pid_t> pid = Start(call);
  if (!pid.ok()) return pid.status();
  if (call.wait) return WaitFor(pid.value());
  ReapLater(pid.value());
  return 0;
}

ProcessHook CurrentHook() {
  HookSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mu);
  return slot.hook;
}

}  // namespace

Result<int> Run(std::string_view program, const std::vector<std::string>& args, bool wait) {
  ProcessCall call{std::string(program), args, wait};
  if (ProcessHook hook = CurrentHook()) return hook(call);
  if (call.program.empty()) return Status::Error(kFileNotFound);
  return Spawn(call);
}

Status OpenWithDesktop(std::string_view path_or_url) {
  std::string arg(path_or_url);
  if (!arg.empty() && arg.front() == '-') arg.insert(0, "./");
  const ProcessCall call{std::string(kDesktopOpener), {arg}, false};
  int exit_code = 0;
  if (ProcessHook hook = CurrentHook()) {
    exit_code = hook(call);
  } else {
    Result<pid_t> pid = Start(call);
    if (!pid.ok()) return pid.status();
    Result<std::optional<int>> ended = WaitBriefly(pid.value(), kOpenerVerdict);
    if (!ended.ok()) return ended.status();
    if (!ended.value().has_value()) {
      ReapLater(pid.value());
      return Status();
    }
    exit_code = *ended.value();
  }
  if (exit_code == 0) return Status();
  return Status::Error(
      kFileSystemError, {},
      std::string(kDesktopOpener) + " ended with exit code " + std::to_string(exit_code));
}

void SetProcessHook(ProcessHook hook) {
  HookSlot& slot = Slot();
  std::lock_guard<std::mutex> lock(slot.mu);
  slot.hook = std::move(hook);
}

ProcessRecorder::ProcessRecorder(int exit_code) {
  SetProcessHook([this, exit_code](const ProcessCall& call) {
    std::lock_guard<std::mutex> lock(mu_);
    calls_.push_back(call);
    return exit_code;
  });
}

ProcessRecorder::~ProcessRecorder() { SetProcessHook(nullptr); }

std::vector<ProcessCall> ProcessRecorder::calls() const {
  std::lock_guard<std::mutex> lock(mu_);
  return calls_;
}

}  // namespace platform
