// The fuzz target of one picture reader, chosen when it is compiled: PEX_FUZZ_READER names
// an enumerator of Reader (kPng, kJpeg, ...).
#include <cstddef>
#include <cstdint>

#include "platform/image/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::image::FuzzReader(platform::image::Reader::PEX_FUZZ_READER, {data, size});
  return 0;
}
