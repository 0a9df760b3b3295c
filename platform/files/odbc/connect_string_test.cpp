#include "platform/files/odbc/connect_string.h"

#include <gtest/gtest.h>

namespace platform::files {
namespace {

TEST(NormalizeConnectString, RemovesBlanksAroundPairsOutsideBraces) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  constexpr Case kCases[] = {
      {"", ""},
      {"DSN=x", "DSN=x"},
      {"DSN=x; UID=u; PWD=p", "DSN=x;UID=u;PWD=p"},
      {"  DSN=x ;\tUID=u  ;PWD=p ", "DSN=x;UID=u;PWD=p"},
      {"DSN=x;UID=u;", "DSN=x;UID=u;"},
      {"DSN=x; ;UID=u", "DSN=x;;UID=u"},
      {"DSN=my source; UID=u", "DSN=my source;UID=u"},
      {"DSN=x; PWD={ a; b }; UID=u", "DSN=x;PWD={ a; b };UID=u"},
      {"DSN=x; PWD={a}};b }; UID=u", "DSN=x;PWD={a}};b };UID=u"},
      {"DSN=x; PWD={unclosed; UID=u", "DSN=x;PWD={unclosed; UID=u"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(NormalizeConnectString(c.in), c.out);
  }
}

}  // namespace
}  // namespace platform::files
