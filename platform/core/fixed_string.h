// Texts of a declared size, as the runtime declares them.
//   FixedString<N>  STRING(N): N bytes, blank-padded. Stored without its trailing blanks
//                   (they never count in a comparison); Padded() gives the full N bytes.
//   CString<N>      CSTRING(N): zero-terminated, so it holds at most N-1 bytes.
// Assignment cuts the text to the declared size, never inside a UTF-8 character.
// Comparison is the runtime's: case-sensitive, trailing blanks ignored.
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// The longest prefix of `text` of at most `max_bytes` bytes that ends on a character boundary.
std::string_view CutUtf8(std::string_view text, size_t max_bytes);

// `text` without its trailing blanks.
std::string_view ClipView(std::string_view text);

// The runtime's text comparison: byte order, case-sensitive, trailing blanks ignored.
int CompareText(std::string_view a, std::string_view b);
inline bool TextEqual(std::string_view a, std::string_view b) { return CompareText(a, b) == 0; }

// What every sized text is underneath: one std::string. Field tables reach a text field
// through this base, whatever its declared size.
class TextBase {
 public:
  const std::string& str() const { return value_; }
  std::string_view view() const { return value_; }
  const char* c_str() const { return value_.c_str(); }
  bool empty() const { return value_.empty(); }
  size_t size() const { return value_.size(); }
  void clear() { value_.clear(); }
  // The stored bytes, for code that has already applied the declared size (field tables).
  std::string& storage() { return value_; }

 protected:
  std::string value_;
};

namespace detail {

template <size_t kCapacity, bool kStripBlanks>
class SizedText : public TextBase {
 public:
  static constexpr size_t kCapacityBytes = kCapacity;

  SizedText() = default;
  SizedText(std::string_view text) { Assign(text); }    // NOLINT: texts assign implicitly
  SizedText(const char* text) { Assign(text); }         // NOLINT
  SizedText(const std::string& text) { Assign(text); }  // NOLINT

  SizedText& operator=(std::string_view text) {
    Assign(text);
    return *this;
  }
  SizedText& operator=(const char* text) { return *this = std::string_view(text); }
  SizedText& operator=(const std::string& text) { return *this = std::string_view(text); }

  void Assign(std::string_view text) {
    text = CutUtf8(text, kCapacity);
    if (kStripBlanks) text = ClipView(text);
    value_.assign(text.data(), text.size());
  }

  operator std::string_view() const { return value_; }  // NOLINT

  friend bool operator==(const SizedText& a, std::string_view b) { return TextEqual(a.value_, b); }
  friend bool operator==(const SizedText& a, const SizedText& b) {
    return TextEqual(a.value_, b.value_);
  }
  friend bool operator==(const SizedText& a, const char* b) { return TextEqual(a.value_, b); }
  // Without it, a comparison with a std::string could go through either of its conversions.
  friend bool operator==(const SizedText& a, const std::string& b) {
    return TextEqual(a.value_, b);
  }
  friend std::strong_ordering operator<=>(const SizedText& a, const SizedText& b) {
    return CompareText(a.value_, b.value_) <=> 0;
  }
};

}  // namespace detail

template <size_t N>
class FixedString : public detail::SizedText<N, true> {
 public:
  using detail::SizedText<N, true>::SizedText;
  using detail::SizedText<N, true>::operator=;
  static constexpr size_t kDeclaredSize = N;
  // The text blank-padded to N bytes, as the runtime holds a STRING(N).
  std::string Padded() const {
    std::string out = this->str();
    out.resize(N, ' ');
    return out;
  }
};

template <size_t N>
class CString : public detail::SizedText<N - 1, false> {
  static_assert(N >= 1);

 public:
  using detail::SizedText<N - 1, false>::SizedText;
  using detail::SizedText<N - 1, false>::operator=;
  static constexpr size_t kDeclaredSize = N;
};

}  // namespace platform
