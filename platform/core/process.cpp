#include "platform/core/process.h"

#include <cerrno>
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

Result<int> Spawn(const ProcessCall& call) {
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
  if (call.wait) return WaitFor(pid);
  // Nobody waits for the program, so reap it when it ends instead of leaving a zombie.
  std::thread([pid] { (void)WaitFor(pid); }).detach();
  return 0;
}

}  // namespace

Result<int> Run(std::string_view program, const std::vector<std::string>& args, bool wait) {
  ProcessCall call{std::string(program), args, wait};
  ProcessHook hook;
  {
    HookSlot& slot = Slot();
    std::lock_guard<std::mutex> lock(slot.mu);
    hook = slot.hook;
  }
  if (hook) return hook(call);
  if (call.program.empty()) return Status::Error(kFileNotFound);
  return Spawn(call);
}

Status OpenWithDesktop(std::string_view path_or_url) {
  std::string arg(path_or_url);
  if (!arg.empty() && arg.front() == '-') arg.insert(0, "./");
  return Run(kDesktopOpener, {arg}, /*wait=*/false).status();
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
