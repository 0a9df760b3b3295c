// The connection INI file: the last connection chosen, kept beside the program (its path
// without a trailing ".exe", followed by "_dns.ini") in section "Last connectstring". The
// connection window reads and writes it; the frame restores the connect string from it.
#pragma once

#include <string>
#include <string_view>

namespace app {

inline constexpr std::string_view kConnectionSection = "Last connectstring";
inline constexpr std::string_view kDsnKey = "DNS";
inline constexpr std::string_view kUsernameKey = "Username";
inline constexpr std::string_view kPasswordKey = "Password";
inline constexpr std::string_view kConnectstringKey = "Connectstring";

// The file's full name.
std::string ConnectionIniName();

}  // namespace app
