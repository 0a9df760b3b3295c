#include "platform/agent/speech_language.h"

#include <array>

namespace platform::agent {
namespace {

// The languages the train window offers; Chinese, simplified and traditional, is one voice.
constexpr std::array<SpeechLanguage, 31> kLanguages = {{
    {0x0401, "ar"}, {0x0404, "cmn"},   {0x0405, "cs"},    {0x0406, "da"},    {0x0407, "de"},
    {0x0408, "el"}, {0x0409, "en-us"}, {0x040B, "fi"},    {0x040C, "fr"},    {0x040D, "he"},
    {0x040E, "hu"}, {0x0410, "it"},    {0x0411, "ja"},    {0x0412, "ko"},    {0x0413, "nl"},
    {0x0414, "nb"}, {0x0415, "pl"},    {0x0416, "pt-br"}, {0x0418, "ro"},    {0x0419, "ru"},
    {0x041A, "hr"}, {0x041B, "sk"},    {0x041D, "sv"},    {0x041E, "th"},    {0x041F, "tr"},
    {0x0424, "sl"}, {0x042D, "eu"},    {0x0804, "cmn"},   {0x0809, "en-gb"}, {0x0816, "pt"},
    {0x0C0A, "es"},
}};

}  // namespace

std::span<const SpeechLanguage> SpeechLanguages() { return kLanguages; }

std::string_view SpeechLanguageCode(int32_t language_id) {
  for (const SpeechLanguage& l : kLanguages) {
    if (l.language_id == language_id) return l.code;
  }
  return kDefaultSpeechLanguage;
}

}  // namespace platform::agent
