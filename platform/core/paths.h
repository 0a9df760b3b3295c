// The program's paths: where the program file is, the current directory (LONGPATH), and the
// names the program builds from them. The separator is '/'; a name without '/' is bare and
// lives in the current directory, like every data file named without a path.
//
//   ProgramSiblingName("_dns.ini")   // "/opt/x/bin/pexolind_dns.ini"
//   InCurrentDirectory("Result.csv") // "/home/u/work/Result.csv"
#pragma once

#include <string>
#include <string_view>

namespace platform {

// The program file's full path (COMMAND('0')), read from /proc/self/exe once; or the path a
// test set. Any thread.
std::string ProgramPath();
// Makes ProgramPath() answer `path`; an empty path goes back to /proc/self/exe.
void TEST_SetProgramPath(std::string path);

// LONGPATH: the current directory's full path; "." when it cannot be read (removed).
std::string LongPath();

// True when `name` holds no '/', so it names a file in the current directory.
bool IsBareName(std::string_view name);

// `dir` and `name` joined by one '/', left out when `dir` already ends with one (the root
// "/"); `name` alone when `dir` is empty.
std::string JoinPath(std::string_view dir, std::string_view name);

// The directory part of `path`: "/" for a file in the root, "." for a bare name.
std::string DirName(std::string_view path);
// The part of `path` after its last '/'.
std::string BaseName(std::string_view path);

// `name` itself when it holds a '/', else joined to LongPath(): the full name of a data file.
std::string InCurrentDirectory(std::string_view name);

// `path` without a trailing ".exe", else `path` unchanged.
std::string WithoutExe(std::string_view path);

// The program's path without a trailing ".exe", followed by `suffix`: the INI and field-types
// files that live beside the program.
std::string ProgramSiblingName(std::string_view suffix);

// The program's data directory: `share/pexolind` under the install prefix (the parent of the
// program's directory), or the build tree's `share/` when the program runs from the build
// tree; or the directory a test set. Never ends with '/'.
std::string DataDirectory();
// Makes DataDirectory() answer `dir`; empty goes back to the rule above.
void TEST_SetDataDirectory(std::string dir);

}  // namespace platform
