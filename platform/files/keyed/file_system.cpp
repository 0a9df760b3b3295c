#include "platform/files/keyed/file_system.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/files/keyed/sqlite_db.h"

namespace platform::files {
namespace {

constexpr std::string_view kSqliteMagic{"SQLite format 3\0", 16};

Status ErrnoStatus(int error, const std::string& name) {
  const std::string message = name + ": " + std::strerror(error);
  int code = kFileSystemError;
  if (error == ENOENT) code = kFileNotFound;
  if (error == ENOTDIR) code = kPathNotFound;
  if (error == EACCES || error == EPERM || error == EROFS || error == EISDIR) code = kAccessDenied;
  return Status::Error(code, {}, message, std::to_string(error));
}

bool IsSqliteFile(const std::string& name) {
  const int fd = ::open(name.c_str(), O_RDONLY);
  if (fd < 0) return false;
  char head[16];
  const ssize_t n = ::read(fd, head, sizeof head);
  ::close(fd);
  return n == static_cast<ssize_t>(sizeof head) &&
         std::string_view(head, sizeof head) == kSqliteMagic;
}

// Copies byte for byte from `from` to the open descriptor `to`.
Status CopyBytes(const std::string& from, int to) {
  const int in = ::open(from.c_str(), O_RDONLY);
  if (in < 0) return ErrnoStatus(errno, from);
  char buffer[1 << 16];
  Status s;
  for (;;) {
    const ssize_t n = ::read(in, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      s = ErrnoStatus(errno, from);
      break;
    }
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      const ssize_t w = ::write(to, buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w < 0) {
        ::close(in);
        return ErrnoStatus(errno, from);
      }
      done += w;
    }
  }
  ::close(in);
  return s;
}

// A consistent copy of a database, read through SQLite (which also rolls back a
// transaction that a crashed process left behind before it copies).
Status CopyDatabase(const std::string& from, const std::string& to) {
  Result<keyed::Db> source = keyed::OpenDb(from, SQLITE_OPEN_READONLY);
  if (!source.ok()) return source.status();
  Result<keyed::Db> target = keyed::OpenDb(to, SQLITE_OPEN_READWRITE);
  if (!target.ok()) return target.status();
  sqlite3_backup* backup =
      sqlite3_backup_init(target.value().get(), "main", source.value().get(), "main");
  if (!backup)
    return keyed::SqliteError(target.value().get(), sqlite3_errcode(target.value().get()));
  const int rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) return keyed::SqliteError(target.value().get(), rc);
  return Status();
}

Status CopyFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (::stat(from.c_str(), &st) != 0) return ErrnoStatus(errno, from);
  if (S_ISDIR(st.st_mode)) return ErrnoStatus(EISDIR, from);
  // Written under a temporary name beside the target, then renamed over it.
  std::string temp = to + ".XXXXXX";
  const int fd = ::mkstemp(temp.data());
  if (fd < 0) return ErrnoStatus(errno == ENOENT ? ENOTDIR : errno, to);
  Status s;
  if (IsSqliteFile(from)) {
    ::close(fd);
    s = CopyDatabase(from, temp);
  } else {
    s = CopyBytes(from, fd);
    if (s.ok() && ::fsync(fd) != 0) s = ErrnoStatus(errno, to);
    ::close(fd);
  }
  if (s.ok()) {
    ::unlink((to + "-journal").c_str());
    if (::rename(temp.c_str(), to.c_str()) != 0) s = ErrnoStatus(errno, to);
  }
  ::unlink((temp + "-journal").c_str());
  if (!s.ok()) ::unlink(temp.c_str());
  return s;
}

Status RemoveFile(const std::string& name) {
  if (::unlink(name.c_str()) != 0) return ErrnoStatus(errno, name);
  // A keyed file's journal belongs to it; left behind it would be replayed into a new file
  // of the same name.
  ::unlink((name + "-journal").c_str());
  return Status();
}

}  // namespace

bool Exists(std::string_view name) {
  struct stat st;
  return ::stat(std::string(name).c_str(), &st) == 0;
}

bool Copy(File& file, std::string_view new_name) { return Copy(file.name(), new_name); }

bool Copy(std::string_view name, std::string_view new_name) {
  return SetErrorState(CopyFile(std::string(name), std::string(new_name)));
}

bool Remove(File& file) {
  if (file.is_open()) return SetErrorState(Status::Error(kFileAlreadyOpen));
  return Remove(file.name());
}

bool Remove(std::string_view name) { return SetErrorState(RemoveFile(std::string(name))); }

}  // namespace platform::files
