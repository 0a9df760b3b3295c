// Whole-file reading and crash-safe replacement. A replacement is written to a new temporary
// file in the target's directory, synced, and renamed over the target only when all of it was
// written, so the target is always either the old file or the whole new one.
//
//   Result<AtomicFile> out = AtomicFile::Begin("/home/u/Clarion.txd");
//   if (!out.ok()) return out.status();
//   Status s = out.value().Write("  [DICTIONARY]\r\n");
//   if (s.ok()) s = out.value().Commit();
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <sys/types.h>

#include "platform/core/status.h"

namespace platform::files {

// The whole content of `path`. Errors as the runtime reports them: 2 when it is missing,
// 5 when it may not be read or is a directory, the OS text in the file error.
Result<std::string> ReadWholeFile(const std::string& path);

struct AtomicFileOptions {
  // The new file's permission bits. Unset: those of the file replaced, or 0666 less the
  // umask for a new file. Set (0600 for a file holding a password): exactly these.
  std::optional<mode_t> mode = std::nullopt;
  // When set, and `mode` is not, the bits above are limited to these: 0600 gives a new file
  // 0600 and keeps a replaced file's 0400, but turns its 0644 into 0600.
  std::optional<mode_t> at_most = std::nullopt;
};

class AtomicFile {
 public:
  // Creates the temporary file beside `path` (a symbolic link is followed, so the file it
  // points to is replaced and the link kept), named ".NAME.tmp-PID-N" for the target NAME.
  // Temporary files of the same target that a killed write left behind (their process has
  // ended) are removed first. Fails as the OS does: 2/3 when the directory is missing, 5
  // when it may not be written.
  static Result<AtomicFile> Begin(const std::string& path, const AtomicFileOptions& options = {});

  AtomicFile(AtomicFile&& other) noexcept;
  AtomicFile& operator=(AtomicFile&&) = delete;
  AtomicFile(const AtomicFile&) = delete;
  // Removes the temporary file unless Commit succeeded; the target stays as it was.
  ~AtomicFile();

  // Appends `bytes`; they are held until about 64 KiB gather, then written. The first
  // failure is kept: it answers every later Write, Flush and Commit.
  Status Write(std::string_view bytes);
  // Hands the held bytes to the OS, so a full disk is reported now.
  Status Flush();
  // Flushes, syncs the data to disk and renames the temporary over the target. On failure the
  // temporary is removed and the target left alone. REQUIRES: called at most once.
  Status Commit();

  // The file that Commit replaces.
  const std::string& target() const { return target_; }

 private:
  AtomicFile(std::string target, std::string temp, int fd);
  Status WriteOut(std::string_view bytes);
  void Discard();

  std::string target_;
  std::string temp_;
  int fd_ = -1;
  std::string pending_;  // written bytes not yet handed to the OS
  Status error_;         // the first failure, sticky
  bool done_ = false;    // committed or discarded
};

// Replaces `path` by `content` atomically.
Status WriteFileAtomically(const std::string& path, std::string_view content,
                           const AtomicFileOptions& options = {});

}  // namespace platform::files
