// JPEG through libjpeg-turbo, read from the bytes with jpeg_mem_src. The error manager jumps
// back here instead of ending the process; the frames it jumps over are libjpeg's own and the
// callbacks below, which hold nothing with a destructor.
#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

#include "platform/image/formats.h"

namespace platform::image::detail {

namespace {

// A progressive file can hold any number of scans, each a pass over the whole picture;
// real pictures use about ten.
constexpr int kMaxScans = 256;
// The coefficient buffers of a progressive picture of the largest size allowed.
constexpr long kMaxMemory = 768L * 1024 * 1024;

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  bool truncated = false;
};

[[noreturn]] void OnError(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings are kept quiet; data that ends early gives no partial picture.
void OnMessage(j_common_ptr cinfo, int level) {
  if (level < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF)
    reinterpret_cast<ErrorManager*>(cinfo->err)->truncated = true;
}

void OnProgress(j_common_ptr cinfo) {
  const auto* decompress = reinterpret_cast<j_decompress_ptr>(cinfo);
  if (decompress->input_scan_number > kMaxScans) OnError(cinfo);
}

class Decompress {
 public:
  Decompress() {
    cinfo_.err = jpeg_std_error(&errors_.base);
    errors_.base.error_exit = OnError;
    errors_.base.emit_message = OnMessage;
    progress_.progress_monitor = OnProgress;
  }
  ~Decompress() {
    if (created_) jpeg_destroy_decompress(&cinfo_);
  }
  Decompress(const Decompress&) = delete;
  Decompress& operator=(const Decompress&) = delete;

  jpeg_decompress_struct* cinfo() { return &cinfo_; }
  ErrorManager* errors() { return &errors_; }
  jpeg_progress_mgr* progress() { return &progress_; }
  void set_created() { created_ = true; }

 private:
  jpeg_decompress_struct cinfo_{};
  ErrorManager errors_{};
  jpeg_progress_mgr progress_{};
  bool created_ = false;
};

// Reads the header, and with `out` the pixels; false on any error.
bool ReadInto(Decompress* d, Bytes bytes, PictureSize* size, Picture* out,
              std::vector<std::uint8_t>* row) {
  j_decompress_ptr cinfo = d->cinfo();
  if (setjmp(d->errors()->jump)) return false;
  jpeg_create_decompress(cinfo);
  d->set_created();
  cinfo->mem->max_memory_to_use = kMaxMemory;
  cinfo->progress = d->progress();
  jpeg_mem_src(cinfo, bytes.data(), static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(cinfo, TRUE) != JPEG_HEADER_OK) return false;
  if (!SizeAllowed(cinfo->image_width, cinfo->image_height)) return false;
  size->width = static_cast<int>(cinfo->image_width);
  size->height = static_cast<int>(cinfo->image_height);
  if (out == nullptr) return true;

  const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
  cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  // Adobe's CMYK files store their inks inverted.
  const bool inverted = cmyk && cinfo->saw_Adobe_marker;
  jpeg_start_decompress(cinfo);
  if (cinfo->output_width != cinfo->image_width || cinfo->output_height != cinfo->image_height ||
      cinfo->output_components != 4)
    return false;
  const std::size_t width = cinfo->output_width;
  out->width = size->width;
  out->height = size->height;
  out->rgba.assign(width * cinfo->output_height * 4, 0);
  row->assign(width * 4, 0);
  while (cinfo->output_scanline < cinfo->output_height) {
    std::uint8_t* target = out->rgba.data() + std::size_t{cinfo->output_scanline} * width * 4;
    JSAMPROW rows[1] = {cmyk ? row->data() : target};
    if (jpeg_read_scanlines(cinfo, rows, 1) != 1) return false;
    if (!cmyk) continue;
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t* ink = row->data() + x * 4;
      const int k = inverted ? ink[3] : 255 - ink[3];
      for (int c = 0; c < 3; ++c) {
        const int v = inverted ? ink[c] : 255 - ink[c];
        target[x * 4 + c] = static_cast<std::uint8_t>((v * k + 127) / 255);
      }
      target[x * 4 + 3] = 0xFF;
    }
  }
  jpeg_finish_decompress(cinfo);
  return !d->errors()->truncated;
}

}  // namespace

std::optional<PictureSize> ProbeJpeg(Bytes bytes) {
  Decompress d;
  PictureSize size;
  if (!ReadInto(&d, bytes, &size, nullptr, nullptr)) return std::nullopt;
  return size;
}

std::optional<Picture> DecodeJpeg(Bytes bytes) {
  Decompress d;
  PictureSize size;
  Picture picture;
  std::vector<std::uint8_t> row;
  if (!ReadInto(&d, bytes, &size, &picture, &row)) return std::nullopt;
  return picture;
}

}  // namespace platform::image::detail
