// The languages the character speaks: LanguageID (a locale number) to the synthesizer's
// language code.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace platform::agent {

struct SpeechLanguage {
  int32_t language_id;
  std::string_view code;
};

// The code spoken when a LanguageID is not in the table, or its voice is missing.
inline constexpr std::string_view kDefaultSpeechLanguage = "nl";

// Every language of the table, in LanguageID order.
std::span<const SpeechLanguage> SpeechLanguages();

// The code of `language_id`; kDefaultSpeechLanguage for one not in the table.
std::string_view SpeechLanguageCode(int32_t language_id);

}  // namespace platform::agent
