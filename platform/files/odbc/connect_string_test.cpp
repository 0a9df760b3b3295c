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

TEST(MaskPasswords, MasksPasswordValuesOnly) {
  struct Case {
    std::string_view in;
    std::string_view out;
  };
  constexpr Case kCases[] = {
      {"", ""},
      {"DSN=x", "DSN=x"},
      {"DSN=x;UID=u", "DSN=x;UID=u"},
      {"DSN=x; UID=u; PWD=secret", "DSN=x; UID=u; PWD=*****"},
      {"DSN=x;Pwd=secret;UID=u", "DSN=x;Pwd=*****;UID=u"},
      {"DSN=x;pwd=s", "DSN=x;pwd=*****"},
      {"Driver=d;PASSWORD=secret;Port=5", "Driver=d;PASSWORD=*****;Port=5"},
      {"Driver=d;password = secret", "Driver=d;password =*****"},
      {"DSN=x;PWD={a;b}};c};UID=u", "DSN=x;PWD=*****;UID=u"},
      {"DSN=x;PASSWORD={a;b}", "DSN=x;PASSWORD=*****"},
      {"DSN=x;PWD=", "DSN=x;PWD="},
      {"Owner:DSN=x;PWD=secret", "Owner:DSN=x;PWD=*****"},
      {"Owner:PWD=secret", "Owner:PWD=*****"},
      {"DSN=x;PWDX=keep;XPWD=keep", "DSN=x;PWDX=keep;XPWD=keep"},
      {"DSN=a=b;UID=u", "DSN=a=b;UID=u"},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(MaskPasswords(c.in), c.out);
  }
}

}  // namespace
}  // namespace platform::files
