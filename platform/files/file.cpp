#include "platform/files/file.h"

#include "platform/core/error_codes.h"
#include "platform/core/error_state.h"

namespace platform::files {
namespace {

Status NotSupported() {
  return Status::Error(kFileSystemError, {}, "not supported by this file driver");
}

}  // namespace

Status Driver::Create(File&) { return NotSupported(); }
Status Driver::Set(File&) { return NotSupported(); }
Status Driver::SetKey(File&, size_t, bool) { return NotSupported(); }
Status Driver::Next(File&) { return NotSupported(); }
Status Driver::Previous(File&) { return NotSupported(); }
Status Driver::Get(File&, size_t) { return NotSupported(); }
Status Driver::Reget(File&, std::string_view) { return NotSupported(); }
Result<std::string> Driver::Position(File&) { return NotSupported(); }
Status Driver::Add(File&) { return NotSupported(); }
Status Driver::Put(File&) { return NotSupported(); }
Status Driver::Delete(File&) { return NotSupported(); }
Result<int64_t> Driver::Records(File&) { return NotSupported(); }
Status Driver::Buffer(File&, int32_t, int32_t, int32_t, int32_t) { return Status(); }
Status Driver::Stream(File&) { return Status(); }
Status Driver::Flush(File&) { return Status(); }
std::string Driver::GetProperty(File&, int32_t, int32_t, bool& handled) {
  handled = false;
  return {};
}
Status Driver::SetProperty(File&, int32_t, int32_t, std::string_view, bool& handled) {
  handled = false;
  return Status();
}

File::File(FileDeclaration declaration, std::unique_ptr<Driver> driver)
    : decl_(std::move(declaration)), driver_(std::move(driver)) {}

File::~File() {
  // Closing at the end of the file's life is the runtime's too; its errors go nowhere.
  if (open_) (void)driver_->Close(*this);
}

bool File::Post(const Status& s) { return SetErrorState(s); }

bool File::Create() { return Post(driver_->Create(*this)); }

bool File::Open(uint32_t mode) {
  if (open_) return Post(Status::Error(kFileAlreadyOpen));
  return Post(driver_->Open(*this, mode));
}

bool File::Close() {
  // CLOSE of a file that is not open is no error.
  if (!open_) return Post(Status());
  return Post(driver_->Close(*this));
}

#define PEX_REQUIRE_OPEN() \
  if (!open_) return Post(Status::Error(kFileNotOpen))

bool File::Set() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Set(*this));
}
bool File::SetKey(size_t key_index, bool from_buffer) {
  PEX_REQUIRE_OPEN();
  return Post(driver_->SetKey(*this, key_index, from_buffer));
}
bool File::Next() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Next(*this));
}
bool File::Previous() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Previous(*this));
}
bool File::Get(size_t key_index) {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Get(*this, key_index));
}
bool File::Reget(std::string_view position) {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Reget(*this, position));
}
bool File::Add() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Add(*this));
}
bool File::Put() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Put(*this));
}
bool File::Delete() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Delete(*this));
}
bool File::Buffer(int32_t pages, int32_t behind, int32_t ahead, int32_t timeout) {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Buffer(*this, pages, behind, ahead, timeout));
}
bool File::Stream() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Stream(*this));
}
bool File::Flush() {
  PEX_REQUIRE_OPEN();
  return Post(driver_->Flush(*this));
}

#undef PEX_REQUIRE_OPEN

std::string File::Position() {
  if (!open_) {
    Post(Status::Error(kFileNotOpen));
    return {};
  }
  Result<std::string> r = driver_->Position(*this);
  Post(r.status());
  return r.ok() ? r.value() : std::string();
}

int64_t File::Records() {
  if (!open_) {
    Post(Status::Error(kFileNotOpen));
    return 0;
  }
  Result<int64_t> r = driver_->Records(*this);
  Post(r.status());
  return r.ok() ? r.value() : 0;
}

void File::Clear() {
  if (decl_.layout && decl_.record) ClearRecord(*decl_.layout, decl_.record);
}

std::string File::GetProperty(int32_t prop, int32_t index) {
  bool handled = false;
  std::string value = driver_->GetProperty(*this, prop, index, handled);
  if (handled) return value;
  switch (prop) {
    case kPropName:
      return name();
    case kPropOwner:
      return decl_.owner;
    case kPropFieldCount:
      return std::to_string(FieldCount());
    default:
      return {};
  }
}

void File::SetProperty(int32_t prop, std::string_view value, int32_t index) {
  bool handled = false;
  Status s = driver_->SetProperty(*this, prop, index, value, handled);
  if (handled) {
    Post(s);
    return;
  }
  switch (prop) {
    case kPropName:
      decl_.name = value;
      break;
    case kPropOwner:
      decl_.owner = value;
      break;
    default:
      break;  // unknown properties are ignored, as the runtime does
  }
}

}  // namespace platform::files
