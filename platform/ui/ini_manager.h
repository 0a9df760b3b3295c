// The class library's INI manager: works on one INI file and keeps its bookkeeping section
// (`__Dont_Touch_Me__`, key `Sectors`), read when the program starts and written back when
// it ends.
#pragma once

#include <string>
#include <string_view>

namespace platform::ui {

class IniManager {
 public:
  IniManager() = default;
  IniManager(const IniManager&) = delete;
  IniManager& operator=(const IniManager&) = delete;

  // Works on `file` (named without a path: the current directory) and reads the
  // bookkeeping section; a missing file or key reads as empty.
  void Init(std::string_view file);
  // Writes the bookkeeping section back. A failed write is not reported: nothing in the
  // program depends on the bookkeeping. Nothing when Init was not called.
  void Release();

  const std::string& file() const { return file_; }
  const std::string& sectors() const { return sectors_; }

 private:
  std::string file_;
  std::string sectors_;
  bool initialised_ = false;
};

}  // namespace platform::ui
