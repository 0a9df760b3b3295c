#include "platform/files/basic_driver.h"

#include <cctype>

#include "platform/core/error_codes.h"
#include "platform/core/fixed_string.h"
#include "platform/core/record.h"
#include "platform/files/text_file_driver.h"

namespace platform::files {
namespace {

constexpr std::string_view kRecordEnd = "\r\n";
constexpr std::string_view kCommaOption = "/COMMA=";
constexpr char kQuote = '"';
constexpr char kDefaultSeparator = ',';

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// The separator that "/COMMA=n" names (n a character code 1..255), else ','. Other options
// are left alone.
Result<char> SeparatorOf(std::string_view options) {
  for (size_t i = 0; i < options.size(); ++i) {
    if (!StartsWithNoCase(options.substr(i), kCommaOption)) continue;
    size_t j = i + kCommaOption.size();
    int code = 0;
    size_t digits = 0;
    while (j < options.size() && std::isdigit(static_cast<unsigned char>(options[j])) &&
           code <= 255) {
      code = code * 10 + (options[j++] - '0');
      ++digits;
    }
    if (digits == 0 || code < 1 || code > 255 || code == kQuote) {
      return Status::Error(kFileSystemError, {}, "invalid driver option /COMMA");
    }
    return static_cast<char>(code);
  }
  return kDefaultSeparator;
}

class BasicDriver final : public TextFileDriver {
 protected:
  Status Configure(const File& file) override {
    Result<char> sep = SeparatorOf(file.declaration().driver_options);
    if (!sep.ok()) return sep.status();
    separator_ = sep.value();
    return Status();
  }

  std::string EncodeRecord(const File& file) override {
    std::string line;
    const RecordLayout* layout = file.layout();
    const size_t count = layout && file.record() ? layout->FieldCount() : 0;
    for (size_t n = 1; n <= count; ++n) {
      const FieldInfo& f = layout->field(n);
      if (n > 1) line += separator_;
      const std::string value = GetFieldText(f, file.record());
      if (!IsTextField(f)) {
        line += value;
        continue;
      }
      line += kQuote;
      for (char c : ClipView(value)) {
        if (c == kQuote) line += kQuote;
        line += c;
      }
      line += kQuote;
    }
    line += kRecordEnd;
    return line;
  }

  size_t DecodeRecord(File& file, std::string_view content, size_t pos) override {
    const RecordLayout* layout = file.layout();
    const size_t count = layout && file.record() ? layout->FieldCount() : 0;
    size_t n = 1;
    for (;;) {
      std::string value;
      if (pos < content.size() && content[pos] == kQuote) {
        ++pos;
        while (pos < content.size()) {
          const char c = content[pos++];
          if (c != kQuote) {
            value += c;
          } else if (pos < content.size() && content[pos] == kQuote) {
            value += kQuote;  // a doubled quote inside the field
            ++pos;
          } else {
            break;  // the closing quote
          }
        }
      }
      const size_t quoted = value.size();
      // Unquoted text, or what follows a closing quote, runs to the separator or line end.
      while (pos < content.size() && content[pos] != separator_ && content[pos] != '\n') {
        value += content[pos++];
      }
      if (value.size() > quoted && value.back() == '\r' &&
          (pos == content.size() || content[pos] == '\n')) {
        value.pop_back();
      }
      if (n <= count) SetFieldText(layout->field(n), file.record(), value);
      ++n;
      if (pos < content.size() && content[pos] == separator_) {
        ++pos;
        continue;
      }
      if (pos < content.size()) ++pos;  // the line feed
      break;
    }
    for (; n <= count; ++n) {
      const FieldInfo& f = layout->field(n);
      if (IsTextField(f)) {
        SetFieldText(f, file.record(), {});
      } else {
        SetFieldNumber(f, file.record(), 0);
      }
    }
    return pos;
  }

 private:
  char separator_ = kDefaultSeparator;
};

}  // namespace

std::unique_ptr<Driver> MakeBasicDriver() { return std::make_unique<BasicDriver>(); }

}  // namespace platform::files
