#include "platform/files/keyed/file_system.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"
#include "platform/files/atomic_file.h"
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

// A consistent image of a database, read through SQLite, which waits for a writer in another
// process and first rolls back a transaction that a crashed process left behind (when the
// file may be written: keyed::OpenForReading).
Result<std::string> DatabaseImage(const std::string& from) {
  Result<keyed::Db> source = keyed::OpenForReading(from);
  if (!source.ok()) return source.status();
  Result<keyed::Db> image = keyed::OpenDb(":memory:", SQLITE_OPEN_READWRITE);
  if (!image.ok()) return image.status();
  sqlite3_backup* backup =
      sqlite3_backup_init(image.value().get(), "main", source.value().get(), "main");
  if (!backup) {
    return keyed::SqliteError(image.value().get(), sqlite3_errcode(image.value().get()));
  }
  const int rc = sqlite3_backup_step(backup, -1);
  sqlite3_backup_finish(backup);
  if (rc != SQLITE_DONE) return keyed::SqliteError(source.value().get(), rc);
  return keyed::Serialize(image.value().get());
}

Status CopyFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (::stat(from.c_str(), &st) != 0) return ErrnoStatus(errno, from);
  if (S_ISDIR(st.st_mode)) return ErrnoStatus(EISDIR, from);
  if (IsSqliteFile(from)) {
    Result<std::string> image = DatabaseImage(from);
    if (!image.ok()) return image.status();
    return keyed::ReplaceDatabaseFile(to, image.value());
  }
  Result<std::string> bytes = ReadWholeFile(from);
  if (!bytes.ok()) return bytes.status();
  return WriteFileAtomically(to, bytes.value());
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
