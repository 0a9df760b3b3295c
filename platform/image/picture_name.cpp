#include "platform/image/picture_name.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "platform/core/paths.h"

namespace platform::image {

namespace {

constexpr std::string_view kImagesFolder = "images";
// The largest file a picture within the limits needs: uncompressed 32-bit pixels and more
// than room enough for headers, palettes and masks.
// What the size probe reads first.
constexpr std::size_t kProbeBytes = 64 * 1024;
constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{kMaxPixels} * 4 + 64 * 1024 * 1024;

bool IsFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(path, error);
}

std::string ProgramPicture(std::string_view name) {
  return JoinPath(JoinPath(DataDirectory(), kImagesFolder), name);
}

std::optional<std::vector<std::uint8_t>> NamedBytes(std::string_view name) {
  const std::optional<std::string> path = ResolvePictureName(name);
  if (!path) return std::nullopt;
  return ReadPictureFile(*path);
}

}  // namespace

std::optional<std::string> ResolvePictureName(std::string_view name) {
  if (name.empty()) return std::nullopt;
  if (name.front() == '~') {
    if (name.size() == 1) return std::nullopt;
    std::string own = ProgramPicture(name.substr(1));
    return IsFile(own) ? std::optional(std::move(own)) : std::nullopt;
  }
  std::string path(name);
  if (IsFile(path)) return path;
  if (IsBareName(name)) {
    std::string own = ProgramPicture(name);
    if (IsFile(own)) return own;
  }
  return std::nullopt;
}

std::optional<std::vector<std::uint8_t>> ReadPictureFile(const std::string& path,
                                                         std::size_t max_bytes) {
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(path, error);
  if (error || size > kMaxFileBytes) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::vector<std::uint8_t> bytes(
      static_cast<std::size_t>(std::min<std::uintmax_t>(size, max_bytes)));
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (in.gcount() != static_cast<std::streamsize>(bytes.size())) return std::nullopt;
  return bytes;
}

std::optional<Picture> LoadNamedPicture(std::string_view name, int want_side) {
  const std::optional<std::vector<std::uint8_t>> bytes = NamedBytes(name);
  if (!bytes) return std::nullopt;
  return DecodePicture(*bytes, want_side);
}

std::optional<PictureSize> ProbeNamedPicture(std::string_view name, int want_side) {
  const std::optional<std::string> path = ResolvePictureName(name);
  if (!path) return std::nullopt;
  // The headers lie in the first bytes, except for icons whose entries lie further on and
  // metafiles without a placeable header: for those the whole file is read. A probe that
  // succeeds on the first bytes gives what it gives on the whole file.
  const std::optional<std::vector<std::uint8_t>> head = ReadPictureFile(*path, kProbeBytes);
  if (!head) return std::nullopt;
  if (std::optional<PictureSize> size = ProbePicture(*head, want_side)) return size;
  if (head->size() < kProbeBytes) return std::nullopt;
  const std::optional<std::vector<std::uint8_t>> bytes = ReadPictureFile(*path);
  if (!bytes) return std::nullopt;
  return ProbePicture(*bytes, want_side);
}

}  // namespace platform::image
