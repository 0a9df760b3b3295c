#include "platform/agent/ustar.h"

#include <algorithm>
#include <cstdint>
#include <set>

#include "platform/core/error_codes.h"

namespace platform::agent {
namespace {

// Offsets and lengths of the header fields read.
constexpr size_t kNameAt = 0, kNameLength = 100;
constexpr size_t kSizeAt = 124, kSizeLength = 12;
constexpr size_t kChecksumAt = 148, kChecksumLength = 8;
constexpr size_t kTypeAt = 156;
constexpr size_t kMagicAt = 257;
constexpr std::string_view kMagic(
    "ustar\0"
    "00",
    8);
constexpr size_t kPrefixAt = 345, kPrefixLength = 155;

Status Fault(std::string what) {
  return Status::Error(kInvalidDataFile, {}, "ustar: " + std::move(what));
}

bool IsZero(std::string_view block) {
  return std::all_of(block.begin(), block.end(), [](char c) { return c == '\0'; });
}

// A NUL-terminated text field, or the whole field when it has no NUL.
std::string_view Text(std::string_view header, size_t at, size_t length) {
  std::string_view field = header.substr(at, length);
  const size_t nul = field.find('\0');
  return nul == std::string_view::npos ? field : field.substr(0, nul);
}

// An octal number field: digits, then NULs or blanks to the end; blanks before the digits
// are allowed as older writers put them there. -1 when it is no such field.
int64_t Octal(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  int64_t value = 0;
  size_t digits = 0;
  for (; i < field.size() && field[i] >= '0' && field[i] <= '7'; ++i, ++digits) {
    if (digits == 11) return -1;  // beyond what 12 bytes of octal may hold
    value = value * 8 + (field[i] - '0');
  }
  if (digits == 0) return -1;
  for (; i < field.size(); ++i) {
    if (field[i] != '\0' && field[i] != ' ') return -1;
  }
  return value;
}

uint32_t Checksum(std::string_view header) {
  uint32_t sum = 0;
  for (size_t i = 0; i < header.size(); ++i) {
    const bool in_field = i >= kChecksumAt && i < kChecksumAt + kChecksumLength;
    sum += in_field ? ' ' : static_cast<unsigned char>(header[i]);
  }
  return sum;
}

bool IsSafeName(std::string_view name) {
  if (name.empty() || name.front() == '/' || name.back() == '/') return false;
  for (const char c : name) {
    if (c == '\\' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  size_t start = 0;
  while (start <= name.size()) {
    const size_t slash = std::min(name.find('/', start), name.size());
    const std::string_view part = name.substr(start, slash - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = slash + 1;
  }
  return true;
}

}  // namespace

Result<std::vector<UstarEntry>> ReadUstar(std::string_view archive, size_t max_entries) {
  if (archive.size() % kUstarBlock != 0) return Fault("not a whole number of blocks");
  std::vector<UstarEntry> entries;
  std::set<std::string, std::less<>> names;
  size_t at = 0;
  for (;;) {
    if (at + kUstarBlock > archive.size()) return Fault("no end blocks");
    const std::string_view header = archive.substr(at, kUstarBlock);
    if (IsZero(header)) {
      if (at + 2 * kUstarBlock > archive.size() ||
          !IsZero(archive.substr(at + kUstarBlock, kUstarBlock))) {
        return Fault("one end block at " + std::to_string(at));
      }
      if (!IsZero(archive.substr(at))) return Fault("data after the end blocks");
      return entries;
    }
    const std::string where = " in the header at " + std::to_string(at);
    const int64_t checksum = Octal(header.substr(kChecksumAt, kChecksumLength));
    if (checksum < 0 || static_cast<uint32_t>(checksum) != Checksum(header)) {
      return Fault("wrong checksum" + where);
    }
    if (header.substr(kMagicAt, kMagic.size()) != kMagic) return Fault("no ustar magic" + where);
    const char type = header[kTypeAt];
    if (type != '0' && type != '\0') return Fault("not a plain file" + where);
    const std::string_view prefix = Text(header, kPrefixAt, kPrefixLength);
    std::string name(prefix);
    if (!name.empty()) name += '/';
    name += Text(header, kNameAt, kNameLength);
    if (!IsSafeName(name)) return Fault("unsafe name" + where);
    const int64_t size = Octal(header.substr(kSizeAt, kSizeLength));
    if (size < 0) return Fault("bad size" + where);
    const size_t data_at = at + kUstarBlock;
    const size_t usize = static_cast<size_t>(size);
    if (usize > archive.size() - data_at) return Fault("data past the end" + where);
    const size_t padded = (usize + kUstarBlock - 1) / kUstarBlock * kUstarBlock;
    if (padded > archive.size() - data_at) return Fault("data past the end" + where);
    if (entries.size() == max_entries) return Fault("too many entries");
    if (!names.insert(name).second) return Fault("a name twice" + where);
    entries.push_back(UstarEntry{std::move(name), archive.substr(data_at, usize)});
    at = data_at + padded;
  }
}

}  // namespace platform::agent
