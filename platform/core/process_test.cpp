#include "platform/core/process.h"

#include <gtest/gtest.h>

#include "platform/core/error_codes.h"

namespace platform {
namespace {

TEST(Process, RunIsRecordedInsteadOfStarted) {
  ProcessRecorder recorder(/*exit_code=*/7);
  Result<int> r = platform::Run("/no/such/program", {"a b", "c;d"}, /*wait=*/true);
  ASSERT_TRUE(r.ok());
  EXPECT_EQ(r.value(), 7);
  const std::vector<ProcessCall> calls = recorder.calls();
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0], (ProcessCall{"/no/such/program", {"a b", "c;d"}, true}));
}

TEST(Process, DesktopOpenerGetsTheNameAsOneArgument) {
  ProcessRecorder recorder;
  struct Case {
    std::string_view given, passed;
  };
  constexpr Case kCases[] = {
      {"/tmp/my dir/Clarion.txd", "/tmp/my dir/Clarion.txd"},
      {"a;rm -rf x $(y) `z`", "a;rm -rf x $(y) `z`"},
      {"https://example.org/help.html", "https://example.org/help.html"},
      {"-n.txd", "./-n.txd"},  // never an option of the opener
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.given);
    EXPECT_TRUE(OpenWithDesktop(c.given).ok());
    const ProcessCall call = recorder.calls().back();
    EXPECT_EQ(call, (ProcessCall{"xdg-open", {std::string(c.passed)}, false}));
  }
}

TEST(Process, WaitingRunAnswersTheExitCode) {
  // `test` compares its arguments; each reaches it whole, blanks and ';' included.
  Result<int> same = platform::Run("test", {"a b;c", "=", "a b;c"}, /*wait=*/true);
  ASSERT_TRUE(same.ok()) << same.status().ToString();
  EXPECT_EQ(same.value(), 0);
  Result<int> differ = platform::Run("test", {"a b;c", "=", "a"}, /*wait=*/true);
  ASSERT_TRUE(differ.ok());
  EXPECT_EQ(differ.value(), 1);
}

TEST(Process, MissingProgramIsFileNotFound) {
  Result<int> r = platform::Run("/nonexistent/pexolind-no-such-program", {}, /*wait=*/true);
  ASSERT_FALSE(r.ok());
  EXPECT_EQ(r.status().code(), kFileNotFound);
  EXPECT_FALSE(r.status().file_error().empty());
}

TEST(Process, RunWithoutWaitingAnswersAtOnce) {
  Result<int> r = platform::Run("true", {}, /*wait=*/false);
  ASSERT_TRUE(r.ok()) << r.status().ToString();
  EXPECT_EQ(r.value(), 0);
}

}  // namespace
}  // namespace platform
