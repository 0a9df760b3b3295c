// For the keyed driver's tests: a scratch directory, a small record with its field table,
// and helpers that declare files over it and list their records.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/file.h"
#include "platform/files/keyed/keyed_driver.h"

namespace platform::files::keyed_test {

// A directory of its own under /tmp, removed with its content at the end.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/pexkeyed.XXXXXX";
    if (mkdtemp(pattern.data())) path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  std::string operator/(std::string_view name) const { return path_ + "/" + std::string(name); }

 private:
  std::string path_;
};

// A forked child process and a pipe each way. The child runs `body` and ends with its result
// as exit code, without running any of the parent's clean-up.
class Child {
 public:
  explicit Child(const std::function<int(Child&)>& body) {
    if (::pipe(to_child_) != 0 || ::pipe(to_parent_) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      in_child_ = true;
      ::close(to_child_[1]);
      ::close(to_parent_[0]);
      ::_exit(body(*this));
    }
    ::close(to_child_[0]);
    ::close(to_parent_[1]);
  }
  ~Child() {
    if (pid_ > 0 && !waited_) {
      ::kill(pid_, SIGKILL);
      (void)Wait();
    }
    ::close(to_child_[1]);
    ::close(to_parent_[0]);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  // To the other side.
  void Tell(char c) { (void)!::write(in_child_ ? to_parent_[1] : to_child_[1], &c, 1); }
  // From the other side; 0 when it has gone.
  char Await() {
    char c = 0;
    return ::read(in_child_ ? to_child_[0] : to_parent_[0], &c, 1) == 1 ? c : 0;
  }
  void Kill() { ::kill(pid_, SIGKILL); }
  // The wait status of the ended child.
  int Wait() {
    int status = 0;
    ::waitpid(pid_, &status, 0);
    waited_ = true;
    return status;
  }

 private:
  int to_child_[2] = {-1, -1};
  int to_parent_[2] = {-1, -1};
  pid_t pid_ = -1;
  bool in_child_ = false;
  bool waited_ = false;
};

// NAME, NUMBER, NOTE: enough for keys over texts and numbers in either direction.
struct Row {
  CString<21> NAME;
  int32_t NUMBER = 0;
  FixedString<40> NOTE;
  static const RecordLayout& Layout() {
    static const RecordLayout layout = MakeLayout<Row>(
        "ROW", Field<&Row::NAME>("NAME"), Field<&Row::NUMBER>("NUMBER"), Field<&Row::NOTE>("NOTE"));
    return layout;
  }
};
inline constexpr size_t kName = 1, kNumber = 2, kNote = 3;

inline FileKey Key(std::vector<KeyComponent> components, bool duplicates, bool nocase) {
  return FileKey{"ROW:KEY", std::move(components), duplicates, nocase, false, false};
}

// A keyed file at `path` over `record`, laid out as `layout`, with `keys`.
inline std::unique_ptr<File> KeyedFile(const std::string& path, const RecordLayout& layout,
                                       void* record, std::vector<FileKey> keys,
                                       bool create = true) {
  FileDeclaration d;
  d.label = "KEYEDFILE";
  d.name = path;
  d.layout = &layout;
  d.record = record;
  d.keys = std::move(keys);
  d.create = create;
  return std::make_unique<File>(std::move(d), MakeKeyedDriver());
}

// A keyed file of Rows at `path` with `keys`, reading and writing `row`.
inline std::unique_ptr<File> RowFile(const std::string& path, Row& row, std::vector<FileKey> keys,
                                     bool create = true) {
  return KeyedFile(path, Row::Layout(), &row, std::move(keys), create);
}

// "a3": a row's name and number, how the tests write expected orders.
inline std::string Tag(const Row& row) { return row.NAME.str() + std::to_string(row.NUMBER); }

// Every record read by NEXT (or PREVIOUS) after the SET already done, as tags.
inline std::vector<std::string> ReadOn(File& file, Row& row, bool forward = true) {
  std::vector<std::string> out;
  while (forward ? file.Next() : file.Previous()) out.push_back(Tag(row));
  return out;
}

inline bool AddRow(File& file, Row& row, std::string_view name, int32_t number,
                   std::string_view note = {}) {
  file.Clear();
  row.NAME = name;
  row.NUMBER = number;
  row.NOTE = note;
  return file.Add();
}

}  // namespace platform::files::keyed_test
