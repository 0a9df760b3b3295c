// The checks the fuzz targets of the picture readers share: any bytes at all give a picture
// within the limits or none, the probe agrees with the decode, and nothing crashes, hangs or
// takes memory beyond the limits.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform::image {

enum class Reader { kPng, kJpeg, kGif, kBmp, kIcon, kPcx, kWmf };

struct ReaderName {
  Reader reader;
  std::string_view name;  // of its fuzz target and corpus folder
};
inline constexpr ReaderName kReaders[] = {
    {Reader::kPng, "png"},   {Reader::kJpeg, "jpeg"}, {Reader::kGif, "gif"}, {Reader::kBmp, "bmp"},
    {Reader::kIcon, "icon"}, {Reader::kPcx, "pcx"},   {Reader::kWmf, "wmf"},
};

// Runs `bytes` through `reader`, its probe and DecodePicture; aborts when a check fails.
void FuzzReader(Reader reader, std::span<const std::uint8_t> bytes);

}  // namespace platform::image
