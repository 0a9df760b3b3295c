#include "platform/core/paths.h"

#include <mutex>
#include <vector>

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr std::string_view kExe = ".exe";

#ifndef PEX_BUILD_DIR
#define PEX_BUILD_DIR ""
#endif
#ifndef PEX_SOURCE_DIR
#define PEX_SOURCE_DIR ""
#endif
// Where this program was built, so a program started from the build tree finds its data.
constexpr std::string_view kBuildDir = PEX_BUILD_DIR;
constexpr std::string_view kSourceDir = PEX_SOURCE_DIR;

struct Overrides {
  std::mutex mu;
  std::string program_path;
  std::string data_directory;
};

Overrides& GetOverrides() {
  static Overrides overrides;
  return overrides;
}

std::string ReadProgramPath() {
  std::vector<char> buf(PATH_MAX + 1);
  const ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return {};
  return std::string(buf.data(), static_cast<size_t>(n));
}

bool IsDirectory(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsUnder(std::string_view path, std::string_view dir) {
  return !dir.empty() && path.size() > dir.size() && path.substr(0, dir.size()) == dir &&
         path[dir.size()] == '/';
}

}  // namespace

std::string ProgramPath() {
  Overrides& o = GetOverrides();
  {
    std::lock_guard<std::mutex> lock(o.mu);
    if (!o.program_path.empty()) return o.program_path;
  }
  static const std::string path = ReadProgramPath();
  return path;
}

void TEST_SetProgramPath(std::string path) {
  Overrides& o = GetOverrides();
  std::lock_guard<std::mutex> lock(o.mu);
  o.program_path = std::move(path);
}

std::string LongPath() {
  std::vector<char> buf(PATH_MAX + 1);
  if (getcwd(buf.data(), buf.size()) == nullptr) return ".";
  return buf.data();
}

bool IsBareName(std::string_view name) { return name.find('/') == std::string_view::npos; }

std::string JoinPath(std::string_view dir, std::string_view name) {
  std::string out(dir);
  if (!out.empty() && out.back() != '/') out += '/';
  out += name;
  return out;
}

std::string DirName(std::string_view path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string_view::npos) return ".";
  if (slash == 0) return "/";
  return std::string(path.substr(0, slash));
}

std::string BaseName(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string InCurrentDirectory(std::string_view name) {
  return IsBareName(name) ? JoinPath(LongPath(), name) : std::string(name);
}

std::string WithoutExe(std::string_view path) {
  if (path.size() >= kExe.size() && path.substr(path.size() - kExe.size()) == kExe) {
    path.remove_suffix(kExe.size());
  }
  return std::string(path);
}

std::string ProgramSiblingName(std::string_view suffix) {
  return WithoutExe(ProgramPath()) + std::string(suffix);
}

std::string DataDirectory() {
  Overrides& o = GetOverrides();
  {
    std::lock_guard<std::mutex> lock(o.mu);
    if (!o.data_directory.empty()) return o.data_directory;
  }
  const std::string program = ProgramPath();
  if (IsUnder(program, kBuildDir)) {
    const std::string build_share = JoinPath(kBuildDir, "share");
    if (IsDirectory(build_share) || kSourceDir.empty()) return build_share;
    return JoinPath(kSourceDir, "share");
  }
  // <prefix>/bin/pexolind finds <prefix>/share/pexolind, wherever the prefix was moved.
  return JoinPath(DirName(DirName(program)), "share/pexolind");
}

void TEST_SetDataDirectory(std::string dir) {
  Overrides& o = GetOverrides();
  std::lock_guard<std::mutex> lock(o.mu);
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  o.data_directory = std::move(dir);
}

}  // namespace platform
