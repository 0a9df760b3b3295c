#include "platform/image/picture_fuzz.h"

#include <cstdlib>
#include <optional>

#include "platform/image/formats.h"
#include "platform/image/metafile.h"
#include "platform/image/picture.h"

namespace platform::image {

namespace {

void Check(bool holds) {
  if (!holds) std::abort();
}

void CheckPicture(const std::optional<Picture>& picture, const std::optional<PictureSize>& probe) {
  if (!picture) return;
  Check(SizeAllowed(picture->width, picture->height));
  Check(picture->rgba.size() == static_cast<std::size_t>(picture->width) * picture->height * 4);
  if (picture->hot_spot) {
    Check(picture->hot_spot->x >= 0 && picture->hot_spot->x < picture->width);
    Check(picture->hot_spot->y >= 0 && picture->hot_spot->y < picture->height);
  }
  // What decodes has a header the probe reads, and the same size.
  Check(probe.has_value() && *probe == picture->size());
}

}  // namespace

void FuzzReader(Reader reader, std::span<const std::uint8_t> bytes) {
  using namespace detail;
  switch (reader) {
    case Reader::kPng:
      CheckPicture(DecodePng(bytes), ProbePng(bytes));
      break;
    case Reader::kJpeg:
      CheckPicture(DecodeJpeg(bytes), ProbeJpeg(bytes));
      break;
    case Reader::kGif:
      CheckPicture(DecodeGif(bytes), ProbeGif(bytes));
      break;
    case Reader::kBmp:
      CheckPicture(DecodeBmp(bytes), ProbeBmp(bytes));
      CheckPicture(DecodeDib(bytes, /*icon_mask=*/true), ProbeDib(bytes, /*icon_mask=*/true));
      break;
    case Reader::kIcon:
      for (const int side : {0, 16, 48})
        CheckPicture(DecodeIcon(bytes, side), ProbeIcon(bytes, side));
      break;
    case Reader::kPcx:
      CheckPicture(DecodePcx(bytes), ProbePcx(bytes));
      break;
    case Reader::kWmf: {
      const std::optional<Metafile> meta = ReadMetafile(bytes);
      if (meta) {
        Check(SizeAllowed(meta->size.width, meta->size.height));
        Check(meta->records.size() <= kMaxMetaRecords);
        const std::optional<PictureSize> probe = ProbeMetafile(bytes);
        Check(probe.has_value() && *probe == meta->size);
      }
      break;
    }
  }
  // The dispatcher reads the same bytes by what they announce.
  CheckPicture(DecodePicture(bytes), ProbePicture(bytes));
}

}  // namespace platform::image
