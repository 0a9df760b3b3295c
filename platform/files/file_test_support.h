// For the tests of the file drivers: a temporary directory, a way to make writes fail as on a
// full disk, and a one-line record.
#pragma once

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <grp.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/file.h"

namespace platform::files {

// A fresh directory under $TMPDIR (or /tmp), removed with everything in it when the object
// goes, with helpers to read and write whole files in it.
class TempDirForTest {
 public:
  TempDirForTest() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base && *base ? base : "/tmp") + "/pexfiles.XXXXXX";
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~TempDirForTest() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDirForTest(const TempDirForTest&) = delete;
  TempDirForTest& operator=(const TempDirForTest&) = delete;

  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }

  void Write(std::string_view name, std::string_view bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(std::string_view name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  // The names in the directory, sorted: shows that no temporary file was left behind.
  std::string Listing() const {
    std::string out;
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(path_)) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    for (const std::string& n : names) out += n + " ";
    return out;
  }

 private:
  std::string path_;
};

// Files in a fresh current directory, for the test's lifetime.
class InTempDirForTest {
 public:
  InTempDirForTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InTempDirForTest() { std::filesystem::current_path(previous_); }
  InTempDirForTest(const InTempDirForTest&) = delete;
  InTempDirForTest& operator=(const InTempDirForTest&) = delete;

  const TempDirForTest& dir() const { return dir_; }

 private:
  TempDirForTest dir_;
  std::filesystem::path previous_;
};

// While it lives, every write past `bytes` in a file fails with EFBIG, as writes to a full
// disk fail. The whole process is limited, so keep the object's life short.
class FileSizeLimitForTest {
 public:
  explicit FileSizeLimitForTest(rlim_t bytes) {
    old_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimitForTest() {
    setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, old_handler_);
  }
  FileSizeLimitForTest(const FileSizeLimitForTest&) = delete;
  FileSizeLimitForTest& operator=(const FileSizeLimitForTest&) = delete;

 private:
  rlimit old_{};
  void (*old_handler_)(int) = nullptr;
};

// Runs `check` where file permissions bind: in this process, or, when the tests run as root
// (who may open anything), in a forked child that has become "nobody" (uid and gid 65534).
// Files the check uses must be reachable by that user. Answers what `check` returned, or -1
// when the child could not give up root or did not end by itself.
inline int RunWithoutRoot(const std::function<int()>& check) {
  if (geteuid() != 0) return check();
  constexpr int kCannotDrop = 255;
  const pid_t pid = fork();
  if (pid < 0) return -1;
  if (pid == 0) {
    if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0) {
      _exit(kCannotDrop);
    }
    _exit(check());  // no clean-up of the parent's state in the child
  }
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status) == kCannotDrop ? -1 : WEXITSTATUS(status);
}

// Errors a FaultyDriverForTest answers instead of doing the statement; 0 does it. Shared by
// the test and the drivers it made, so a test can change them while the files are in use.
struct DriverFaultsForTest {
  int open = 0;
  int add = 0;
  int put = 0;
  std::string file_error;  // FILEERROR() of a fault
};

// A driver that passes every statement on to `inner`; a test's driver derives from it and
// overrides what it changes.
class ForwardingDriverForTest : public Driver {
 public:
  explicit ForwardingDriverForTest(std::unique_ptr<Driver> inner) : inner_(std::move(inner)) {}

  Status Create(File& f) override { return inner_->Create(f); }
  Status Open(File& f, uint32_t mode) override { return inner_->Open(f, mode); }
  Status Close(File& f) override { return inner_->Close(f); }
  Status Set(File& f) override { return inner_->Set(f); }
  Status SetKey(File& f, size_t key, bool from_buffer) override {
    return inner_->SetKey(f, key, from_buffer);
  }
  Status Next(File& f) override { return inner_->Next(f); }
  Status Previous(File& f) override { return inner_->Previous(f); }
  Status Get(File& f, size_t key) override { return inner_->Get(f, key); }
  Status Reget(File& f, std::string_view position) override { return inner_->Reget(f, position); }
  Result<std::string> Position(File& f) override { return inner_->Position(f); }
  Status Add(File& f) override { return inner_->Add(f); }
  Status Put(File& f) override { return inner_->Put(f); }
  Status Delete(File& f) override { return inner_->Delete(f); }
  Result<int64_t> Records(File& f) override { return inner_->Records(f); }
  Status Buffer(File& f, int32_t pages, int32_t behind, int32_t ahead, int32_t timeout) override {
    return inner_->Buffer(f, pages, behind, ahead, timeout);
  }
  Status Stream(File& f) override { return inner_->Stream(f); }
  Status Flush(File& f) override { return inner_->Flush(f); }
  std::string GetProperty(File& f, int32_t prop, int32_t index, bool& handled) override {
    return inner_->GetProperty(f, prop, index, handled);
  }
  Status SetProperty(File& f, int32_t prop, int32_t index, std::string_view value,
                     bool& handled) override {
    return inner_->SetProperty(f, prop, index, value, handled);
  }

 protected:
  Driver& inner() { return *inner_; }

 private:
  std::unique_ptr<Driver> inner_;
};

// A driver that passes every statement on to `inner`, except the ones `faults` makes fail:
// for the cases no real file produces on demand (a lock held past the busy time-out, a full
// disk in the middle of a store).
class FaultyDriverForTest final : public ForwardingDriverForTest {
 public:
  FaultyDriverForTest(std::unique_ptr<Driver> inner, std::shared_ptr<DriverFaultsForTest> faults)
      : ForwardingDriverForTest(std::move(inner)), faults_(std::move(faults)) {}

  Status Open(File& f, uint32_t mode) override {
    return faults_->open ? Fault(faults_->open) : inner().Open(f, mode);
  }
  Status Add(File& f) override { return faults_->add ? Fault(faults_->add) : inner().Add(f); }
  Status Put(File& f) override { return faults_->put ? Fault(faults_->put) : inner().Put(f); }

 private:
  Status Fault(int code) const { return Status::Error(code, {}, faults_->file_error); }

  std::shared_ptr<DriverFaultsForTest> faults_;
};

// The declaration of a text file named `name` with the record `record` of `layout`.
inline FileDeclaration TextFileDeclaration(std::string name, const RecordLayout& layout,
                                           void* record, std::string driver_options = {}) {
  FileDeclaration d;
  d.label = "TEXTFILE";
  d.name = std::move(name);
  d.driver_options = std::move(driver_options);
  d.layout = &layout;
  d.record = record;
  return d;
}

// One line of a text file, as the field-types file declares it (STRING(n)).
template <size_t N>
struct LineRecord {
  FixedString<N> LINE;
  static const RecordLayout& Layout() {
    static const RecordLayout layout =
        MakeLayout<LineRecord>("LIN", Field<&LineRecord::LINE>("LINE"));
    return layout;
  }
};

}  // namespace platform::files
