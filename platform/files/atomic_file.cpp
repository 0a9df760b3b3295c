#include "platform/files/atomic_file.h"

#include <atomic>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <mutex>
#include <set>

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/os_error.h"
#include "platform/core/paths.h"

namespace platform::files {
namespace {

constexpr size_t kWriteChunk = 64 * 1024;
constexpr int kTempAttempts = 100;
// A temporary file is named ".NAME.tmp-PID-N" beside its target NAME: hidden, and telling
// which process made it. (Earlier versions wrote ".NAME.tmpPID-N".)
constexpr std::string_view kTempMark = ".tmp";

// The temporary files this process is writing now, by full name.
struct LiveTemps {
  std::mutex mutex;
  std::set<std::string> names;
};
LiveTemps& Live() {
  static LiveTemps live;
  return live;
}
void SetLive(const std::string& temp, bool live) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  if (live) {
    Live().names.insert(temp);
  } else {
    Live().names.erase(temp);
  }
}
bool IsLive(const std::string& temp) {
  std::lock_guard<std::mutex> lock(Live().mutex);
  return Live().names.contains(temp);
}

// The process id in `name` when it is a temporary file of `target_base`, else 0.
pid_t TempOwner(std::string_view name, std::string_view target_base) {
  if (name.size() < 1 + target_base.size() + kTempMark.size() || name[0] != '.' ||
      name.substr(1, target_base.size()) != target_base) {
    return 0;
  }
  name.remove_prefix(1 + target_base.size());
  if (name.substr(0, kTempMark.size()) != kTempMark) return 0;
  name.remove_prefix(kTempMark.size());
  if (!name.empty() && name.front() == '-') name.remove_prefix(1);
  long pid = 0, n = 0;
  const char* end = name.data() + name.size();
  auto [p, ec] = std::from_chars(name.data(), end, pid);
  if (ec != std::errc() || p == end || *p != '-' || pid <= 0) return 0;
  auto [q, ec2] = std::from_chars(p + 1, end, n);
  if (ec2 != std::errc() || q != end) return 0;
  return static_cast<pid_t>(pid);
}

// Removes the temporary files of `target` that a write cut short left behind: those of a
// process that has ended, and this process's own that it no longer writes. A running
// process's are its own business. Ignoring errors on purpose: a leftover that cannot be
// removed harms no write.
void RemoveLeftovers(const std::string& target) {
  const std::string dir = DirName(target);
  const std::string base = BaseName(target);
  DIR* d = opendir(dir.c_str());
  if (d == nullptr) return;
  while (const dirent* e = readdir(d)) {
    const pid_t pid = TempOwner(e->d_name, base);
    if (pid == 0) continue;
    const std::string temp = JoinPath(dir, e->d_name);
    const bool ended = pid != getpid() && kill(pid, 0) != 0 && errno == ESRCH;
    if (ended || (pid == getpid() && !IsLive(temp))) (void)unlink(temp.c_str());
  }
  closedir(d);
}

// The file a path names, through symbolic links; the path itself when it is no link or the
// link leads nowhere yet.
std::string ResolveTarget(const std::string& path) {
  struct stat st;
  if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char buf[PATH_MAX];
  if (realpath(path.c_str(), buf) == nullptr) return path;
  return buf;
}

void CloseQuietly(int fd) {
  if (fd >= 0) (void)close(fd);
}

// After a rename the directory entry must reach the disk too. Ignoring errors on purpose: the
// data is in place and a file system without directory sync still did the rename.
void SyncDirectory(const std::string& dir) {
  const int fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  (void)fsync(fd);
  CloseQuietly(fd);
}

}  // namespace

Result<std::string> ReadWholeFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ErrnoStatus(errno);
  struct stat st;
  if (fstat(fd, &st) != 0) {
    const int err = errno;
    CloseQuietly(fd);
    return ErrnoStatus(err);
  }
  if (S_ISDIR(st.st_mode)) {
    CloseQuietly(fd);
    return ErrnoStatus(EISDIR);
  }
  std::string content;
  if (S_ISREG(st.st_mode)) content.reserve(static_cast<size_t>(st.st_size));
  char buf[kWriteChunk];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      const int err = errno;
      CloseQuietly(fd);
      return ErrnoStatus(err);
    }
    if (n == 0) break;
    content.append(buf, static_cast<size_t>(n));
  }
  CloseQuietly(fd);
  return content;
}

Result<AtomicFile> AtomicFile::Begin(const std::string& path, const AtomicFileOptions& options) {
  if (path.empty()) return Status::Error(kFileNotFound);
  const std::string target = ResolveTarget(path);
  struct stat st;
  const bool exists = stat(target.c_str(), &st) == 0;
  if (exists && S_ISDIR(st.st_mode)) return ErrnoStatus(EISDIR);

  mode_t mode = 0666;  // less the umask, as for any new file
  bool exact_mode = false;
  if (options.mode) {
    mode = *options.mode;
    exact_mode = true;
  } else if (exists) {
    mode = st.st_mode & 07777;
    exact_mode = true;
  }
  if (options.at_most && !options.mode) mode &= *options.at_most;

  RemoveLeftovers(target);
  static std::atomic<unsigned> counter{0};
  std::string hidden = ".";
  hidden += BaseName(target);
  hidden += kTempMark;
  hidden += "-";
  const std::string stem = JoinPath(DirName(target), hidden);
  for (int attempt = 0; attempt < kTempAttempts; ++attempt) {
    const std::string temp =
        stem + std::to_string(getpid()) + "-" + std::to_string(counter.fetch_add(1));
    const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      // The temporary's directory is the target's: a missing one is a missing path.
      const int err = errno;
      return ErrnoStatus(err, err == ENOENT ? kPathNotFound : 0);
    }
    AtomicFile file(target, temp, fd);
    if (exact_mode && fchmod(fd, mode) != 0) return ErrnoStatus(errno);
    return file;
  }
  return ErrnoStatus(EEXIST);
}

AtomicFile::AtomicFile(std::string target, std::string temp, int fd)
    : target_(std::move(target)), temp_(std::move(temp)), fd_(fd) {
  SetLive(temp_, true);
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : target_(std::move(other.target_)),
      temp_(std::move(other.temp_)),
      fd_(other.fd_),
      pending_(std::move(other.pending_)),
      error_(std::move(other.error_)),
      done_(other.done_) {
  other.fd_ = -1;
  other.done_ = true;
}

AtomicFile::~AtomicFile() { Discard(); }

void AtomicFile::Discard() {
  if (done_) return;
  done_ = true;
  CloseQuietly(fd_);
  fd_ = -1;
  (void)unlink(temp_.c_str());
  SetLive(temp_, false);
}

Status AtomicFile::Write(std::string_view bytes) {
  if (!error_.ok()) return error_;
  if (done_) return Status::Error(kFileNotOpen);
  pending_.append(bytes);
  if (pending_.size() >= kWriteChunk) return Flush();
  return Status();
}

Status AtomicFile::Flush() {
  if (!error_.ok()) return error_;
  if (done_) return Status::Error(kFileNotOpen);
  Status s = WriteOut(pending_);
  pending_.clear();
  if (!s.ok()) error_ = s;
  return s;
}

Status AtomicFile::WriteOut(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return ErrnoStatus(errno);
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return Status();
}

Status AtomicFile::Commit() {
  Status s = Flush();
  if (s.ok() && fdatasync(fd_) != 0) s = ErrnoStatus(errno);
  if (s.ok()) {
    const int fd = fd_;
    fd_ = -1;
    if (close(fd) != 0) s = ErrnoStatus(errno);
  }
  if (s.ok() && rename(temp_.c_str(), target_.c_str()) != 0) s = ErrnoStatus(errno);
  if (!s.ok()) {
    error_ = s;
    Discard();
    return s;
  }
  done_ = true;
  SetLive(temp_, false);
  SyncDirectory(DirName(target_));
  return Status();
}

Status WriteFileAtomically(const std::string& path, std::string_view content,
                           const AtomicFileOptions& options) {
  Result<AtomicFile> file = AtomicFile::Begin(path, options);
  if (!file.ok()) return file.status();
  Status s = file.value().Write(content);
  if (!s.ok()) return s;
  return file.value().Commit();
}

}  // namespace platform::files
