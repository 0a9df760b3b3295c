// The class library's translator: pairs of a text and its translation, looked up for every
// text a window shows. While its file name is set it collects the texts it does not know,
// and WriteCollectedTexts writes them as a translation file for the user to fill in:
//
//   ZOVResty GROUP
//   Items      USHORT(2)
//              PSTRING('Cancel')
//              PSTRING('')
//              ...
//      END
//
// Texts are compared as the runtime compares them: case-sensitive, trailing blanks ignored.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"

namespace platform::ui {

class Window;

// One line of a translation file, as it is read and written.
struct TranslationLine {
  FixedString<1024> LINE;
  static const RecordLayout& Layout();
};

class Translator {
 public:
  Translator() = default;
  Translator(const Translator&) = delete;
  Translator& operator=(const Translator&) = delete;

  // Starts with no pairs and no file name.
  void Init();
  // Adds the pair, or replaces the translation of a text already held. The translation is
  // kept exactly as given, trailing blanks included.
  void AddPair(std::string_view text, std::string_view translation);
  // The translation of `text` when a pair with a non-empty translation exists, else `text`.
  // While the file name is set, an unknown non-empty text is recorded with no translation.
  std::string LookupText(std::string_view text);
  // Translates the window's title and, of its controls, the captions (prompts, strings that
  // show no variable, buttons, checks, options, radios, groups, tabs, menus and items), the
  // tips, the status-bar messages and the list column headers. Empty texts stay as they are.
  // Requires the runtime lock.
  void ApplyToWindow(Window& window);
  // When the file name is set and no file of that name exists: writes every text without a
  // translation to it, in text order, and forgets the pairs. An existing file is never
  // replaced. Answers false when the file could not be written.
  bool WriteCollectedTexts();

  // The translation file; empty: nothing is collected or written.
  CString<260> file_name;

  // The pairs, by text without its trailing blanks.
  const std::map<std::string, std::string, std::less<>>& pairs() const { return pairs_; }

 private:
  std::map<std::string, std::string, std::less<>> pairs_;
};

}  // namespace platform::ui
