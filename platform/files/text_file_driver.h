// What the ASCII and BASIC drivers share: a file of text records, read whole at OPEN and
// written through an AtomicFile, so a crash never leaves half a file behind.
//
// CREATE of a missing file makes it, empty, at once. CREATE of an existing file empties it
// when the next OPEN's CLOSE commits, so the old content survives a failed or interrupted
// rewrite. OPEN without CREATE and then ADD appends: the old content is copied into the
// replacement, then the records follow. CLOSE renames the replacement over the file and
// reports every write error (a full disk, a failed rename); after a failed write the file
// keeps its old content.
//
// NEXT reads the content as it was at OPEN; records ADDed in the same open are not read back.
// Sharing modes are accepted and not enforced.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/files/atomic_file.h"
#include "platform/files/file.h"

namespace platform::files {

class TextFileDriver : public Driver {
 public:
  Status Create(File& file) override;
  Status Open(File& file, uint32_t mode) override;
  Status Close(File& file) override;
  Status Set(File& file) override;
  Status Next(File& file) override;
  Status Add(File& file) override;
  Status Stream(File& file) override;
  Status Flush(File& file) override;

 protected:
  // Reads the driver options of the declaration (at CREATE and OPEN).
  virtual Status Configure(const File& file);
  // The bytes ADD writes for the record buffer, record end included.
  virtual std::string EncodeRecord(const File& file) = 0;
  // Fills the record buffer from the record that starts at `pos` of `content`
  // (pos < content.size()); answers the position just past that record's end.
  virtual size_t DecodeRecord(File& file, std::string_view content, size_t pos) = 0;

 private:
  Status StartOutput(bool keep_content);
  // How the file is written: owner-only files never grant more than 0600.
  static AtomicFileOptions OutputOptions(const File& file);

  std::string create_pending_;  // the name CREATE emptied but OPEN has not rewritten yet
  std::string path_;            // the open file's name
  AtomicFileOptions options_;   // of the open file
  uint32_t access_ = kReadWrite;
  bool have_content_ = false;  // content_ holds the file as it was at OPEN
  std::string content_;
  size_t pos_ = 0;
  std::optional<AtomicFile> out_;
  bool stream_ = false;
  Status write_error_;  // the first write failure of this open, reported again by CLOSE
};

// The record's text fields, each blank-padded to its size, joined: the record's bytes as one
// line. REQUIRES: every field of the layout is a text field.
std::string RecordText(const File& file);
// Spreads `line` over the record's text fields: each takes as much as fits on a UTF-8
// boundary; what is left over is dropped, fields past the end are cleared.
void SetRecordText(File& file, std::string_view line);

}  // namespace platform::files
