#include "platform/files/ascii_driver.h"

#include "platform/core/fixed_string.h"
#include "platform/files/text_file_driver.h"

namespace platform::files {
namespace {

constexpr std::string_view kRecordEnd = "\r\n";

class AsciiDriver final : public TextFileDriver {
 protected:
  std::string EncodeRecord(const File& file) override {
    std::string line(ClipView(RecordText(file)));
    line += kRecordEnd;
    return line;
  }

  size_t DecodeRecord(File& file, std::string_view content, size_t pos) override {
    const size_t newline = content.find('\n', pos);
    const size_t end = newline == std::string_view::npos ? content.size() : newline;
    std::string_view line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    SetRecordText(file, line);
    return newline == std::string_view::npos ? content.size() : newline + 1;
  }
};

}  // namespace

std::unique_ptr<Driver> MakeAsciiDriver() { return std::make_unique<AsciiDriver>(); }

}  // namespace platform::files
