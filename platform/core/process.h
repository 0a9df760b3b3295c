// RUN and the desktop opener: starting another program directly, never through a shell, so
// a file name or address reaches it as one argument whatever characters it holds. Tests
// install a ProcessRecorder, which captures each call instead of starting anything.
//
//   ProcessRecorder recorder;               // in a test: nothing is started
//   OpenWithDesktop("/tmp/x/Clarion.txd");
//   EXPECT_EQ(recorder.calls()[0].args[0], "/tmp/x/Clarion.txd");
#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/status.h"

namespace platform {

// One start of a program, as Run was asked for it.
struct ProcessCall {
  std::string program;            // a path, or a name looked up in PATH
  std::vector<std::string> args;  // the arguments after the program's name
  bool wait = false;

  friend bool operator==(const ProcessCall&, const ProcessCall&) = default;
};

// RUN: starts `program` with `args` (argv[0] is `program`). With `wait` it blocks until the
// program ends and answers its exit code (128 + the signal number when a signal ended it);
// without, it answers 0 at once and the child is reaped in the background.
// On failure to start: 2 "File Not Found" when there is no such program, 5 "Access Denied"
// when it may not be run, else 90; the OS text is the Status's file error.
// Any thread. Blocks while waiting; a caller holding the runtime lock releases it around a
// waiting Run.
Result<int> Run(std::string_view program, const std::vector<std::string>& args, bool wait = false);

// Opens a file or an address with the desktop's opener (xdg-open). The text is passed as one
// argument; a relative name that starts with '-' gets "./" in front so that it is never read
// as an option. Waits a moment for the opener to end: an opener that cannot be started, or
// that ends with an exit code other than 0 (no desktop, nothing to open with), is an error;
// one still running then is taken as opening, and not waited for. Blocks for that moment.
Status OpenWithDesktop(std::string_view path_or_url);

// What Run does instead of starting a program while set: the answer becomes Run's exit code.
// Empty restores real starts. Prefer ProcessRecorder in tests.
using ProcessHook = std::function<int(const ProcessCall&)>;
void SetProcessHook(ProcessHook hook);

// A scoped ProcessHook that records every call and answers `exit_code`. One at a time;
// the destructor restores real starts.
class ProcessRecorder {
 public:
  explicit ProcessRecorder(int exit_code = 0);
  ~ProcessRecorder();
  ProcessRecorder(const ProcessRecorder&) = delete;
  ProcessRecorder& operator=(const ProcessRecorder&) = delete;

  // A copy of the calls so far, in order. Any thread.
  std::vector<ProcessCall> calls() const;

 private:
  mutable std::mutex mu_;
  std::vector<ProcessCall> calls_;
};

}  // namespace platform
