#include "platform/files/text_file_driver.h"

#include <cassert>
#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/error_codes.h"
#include "platform/core/fixed_string.h"
#include "platform/core/os_error.h"
#include "platform/core/paths.h"
#include "platform/core/record.h"

namespace platform::files {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The bytes a text field takes in the record: STRING(n) n, CSTRING(n) n - 1.
size_t TextWidth(const FieldInfo& f) { return f.type == FieldType::kCString ? f.size - 1 : f.size; }

// Whether `path` (which exists) and its directory may be written; a failure as the runtime
// reports it.
Status CheckWritable(const std::string& path, bool exists) {
  if (exists && access(path.c_str(), W_OK) != 0) return ErrnoStatus(errno);
  // The replacement is made beside the file, so the directory must take a new entry.
  if (access(DirName(path).c_str(), W_OK) != 0) return ErrnoStatus(errno);
  return Status();
}

// stat() of `path`: true when it exists; a directory, or a failure other than "missing", is
// answered in `error`.
bool Exists(const std::string& path, Status& error) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) {
    if (errno != ENOENT) error = ErrnoStatus(errno);
    return false;
  }
  if (S_ISDIR(st.st_mode)) error = ErrnoStatus(EISDIR);
  return true;
}

size_t StartOfRecords(std::string_view content) {
  return content.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
}

}  // namespace

std::string RecordText(const File& file) {
  std::string out;
  const RecordLayout* layout = file.layout();
  if (layout == nullptr || file.record() == nullptr) return out;
  for (size_t n = 1; n <= layout->FieldCount(); ++n) {
    const FieldInfo& f = layout->field(n);
    assert(IsTextField(f) && "a text file's record holds text fields only");
    const std::string text = GetFieldText(f, file.record());
    out += text;
    if (IsTextField(f) && text.size() < TextWidth(f)) out.append(TextWidth(f) - text.size(), ' ');
  }
  return out;
}

void SetRecordText(File& file, std::string_view line) {
  const RecordLayout* layout = file.layout();
  if (layout == nullptr || file.record() == nullptr) return;
  for (size_t n = 1; n <= layout->FieldCount(); ++n) {
    const FieldInfo& f = layout->field(n);
    assert(IsTextField(f) && "a text file's record holds text fields only");
    if (!IsTextField(f)) {
      SetFieldNumber(f, file.record(), 0);
      continue;
    }
    const std::string_view part = CutUtf8(line, TextWidth(f));
    SetFieldText(f, file.record(), ClipView(part));
    line.remove_prefix(part.size());
  }
}

Status TextFileDriver::Configure(const File&) { return Status(); }

AtomicFileOptions TextFileDriver::OutputOptions(const File& file) {
  AtomicFileOptions options;
  if (file.declaration().owner_only) options.at_most = 0600;
  return options;
}

Status TextFileDriver::Create(File& file) {
  if (Status s = Configure(file); !s.ok()) return s;
  const std::string& name = file.name();
  Status error;
  if (Exists(name, error)) {
    if (!error.ok()) return error;
    if (Status s = CheckWritable(name, /*exists=*/true); !s.ok()) return s;
    create_pending_ = name;
    return Status();
  }
  if (!error.ok()) return error;
  // A missing file is made now: nothing is lost, and a later EXISTS or OPEN finds it.
  return WriteFileAtomically(name, {}, OutputOptions(file));
}

Status TextFileDriver::Open(File& file, uint32_t mode) {
  if (Status s = Configure(file); !s.ok()) return s;
  const std::string name = file.name();
  uint32_t access = mode & 0x0F;
  if (access > kReadWrite) access = kReadWrite;
  bool emptied = create_pending_ == name;
  create_pending_.clear();

  Status error;
  const bool exists = Exists(name, error);
  if (!error.ok()) return error;
  if (!exists) {
    if (!file.declaration().create) return ErrnoStatus(ENOENT);
    if (Status s = WriteFileAtomically(name, {}, OutputOptions(file)); !s.ok()) return s;
    emptied = true;
  }
  if (access != kReadOnly) {
    if (Status s = CheckWritable(name, /*exists=*/true); !s.ok()) return s;
  }

  path_ = name;
  options_ = OutputOptions(file);
  access_ = access;
  content_.clear();
  have_content_ = false;
  out_.reset();
  stream_ = false;
  write_error_ = Status();
  if (emptied) {
    have_content_ = true;
    // The CREATE takes effect now: read-only by an empty file at once, else when CLOSE
    // commits the (possibly empty) replacement.
    Status s = access_ == kReadOnly ? WriteFileAtomically(path_, {}, options_) : StartOutput(false);
    if (!s.ok()) return s;
  } else if (access_ != kWriteOnly) {
    Result<std::string> content = ReadWholeFile(path_);
    if (!content.ok()) return content.status();
    content_ = std::move(content).value();
    have_content_ = true;
  }
  pos_ = StartOfRecords(content_);
  file.set_open(true);
  return Status();
}

Status TextFileDriver::StartOutput(bool keep_content) {
  if (keep_content && !have_content_) {
    Result<std::string> content = ReadWholeFile(path_);
    if (!content.ok()) return content.status();
    content_ = std::move(content).value();
    have_content_ = true;
  }
  Result<AtomicFile> out = AtomicFile::Begin(path_, options_);
  if (!out.ok()) return out.status();
  out_.emplace(std::move(out).value());
  if (keep_content && !content_.empty()) {
    if (Status s = out_->Write(content_); !s.ok()) return s;
    // Records appended to a last line without its end start a line of their own.
    if (content_.back() != '\n') return out_->Write("\r\n");
  }
  return Status();
}

Status TextFileDriver::Close(File& file) {
  Status s = write_error_;
  if (out_) {
    Status committed = out_->Commit();
    if (s.ok()) s = committed;
    out_.reset();
  }
  content_ = std::string();
  have_content_ = false;
  file.set_open(false);
  return s;
}

Status TextFileDriver::Set(File&) {
  pos_ = StartOfRecords(content_);
  return Status();
}

Status TextFileDriver::Next(File& file) {
  if (access_ == kWriteOnly) return Status::Error(kAccessDenied);
  if (pos_ >= content_.size()) return Status::Error(kRecordNotAvailable);
  pos_ = DecodeRecord(file, content_, pos_);
  return Status();
}

Status TextFileDriver::Add(File& file) {
  if (access_ == kReadOnly) return Status::Error(kAccessDenied);
  if (!write_error_.ok()) return write_error_;
  Status s;
  if (!out_) s = StartOutput(/*keep_content=*/true);
  if (s.ok()) s = out_->Write(EncodeRecord(file));
  // Without STREAM every record reaches the OS at once, so ADD itself reports a full disk.
  if (s.ok() && !stream_) s = out_->Flush();
  if (!s.ok()) write_error_ = s;
  return s;
}

Status TextFileDriver::Stream(File&) {
  stream_ = true;
  return Status();
}

Status TextFileDriver::Flush(File&) {
  // FLUSH ends STREAM.
  stream_ = false;
  if (!out_ || !write_error_.ok()) return write_error_;
  Status s = out_->Flush();
  if (!s.ok()) write_error_ = s;
  return s;
}

}  // namespace platform::files
