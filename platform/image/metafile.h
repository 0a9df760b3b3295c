// Windows metafiles (WMF), read within bounds: the natural size from the placeable header,
// else from the window extent, and the records as function and parameter words. Drawing them
// is the display backend's work.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/image/picture.h"

namespace platform::image {

// No metafile the program shows has more; a longer walk is refused.
inline constexpr std::size_t kMaxMetaRecords = 1 << 20;

struct MetaRecord {
  std::uint16_t function = 0;
  std::vector<std::uint16_t> params;
};

struct Metafile {
  PictureSize size;  // in pixels at 96 per inch
  // The logical frame the drawing fills: the placeable header's box, or the window's origin
  // and extent.
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  // Slots of the object table the records may fill (pens, brushes, fonts).
  int object_count = 0;
  std::vector<MetaRecord> records;  // up to the end record, which is left out
};

// True when `bytes` begin with a placeable header or a metafile header.
bool LooksLikeMetafile(std::span<const std::uint8_t> bytes);

// The metafile in `bytes`, or nullopt when any record runs past the data, the walk exceeds
// kMaxMetaRecords or no size can be found.
std::optional<Metafile> ReadMetafile(std::span<const std::uint8_t> bytes);

// The natural size alone: from the placeable header without reading the records.
std::optional<PictureSize> ProbeMetafile(std::span<const std::uint8_t> bytes);

}  // namespace platform::image
