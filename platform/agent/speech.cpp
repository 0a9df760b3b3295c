#include "platform/agent/speech.h"

#include <algorithm>

#include "platform/agent/speech_language.h"

namespace platform::agent {

void RecordingSpeech::Speak(const SpeechRequest& request) {
  std::lock_guard<std::mutex> lock(mutex_);
  requests_.push_back(request);
}

void RecordingSpeech::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++stops_;
}

std::vector<SpeechRequest> RecordingSpeech::requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

int32_t RecordingSpeech::stops() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return stops_;
}

SpeechRequest SpeechFor(uint64_t id, const std::vector<SpeechPart>& parts, int32_t language_id,
                        int32_t speed, int32_t volume) {
  SpeechRequest r;
  r.id = id;
  r.parts = parts;
  r.language = std::string(SpeechLanguageCode(language_id));
  r.rate = speed;
  r.volume =
      static_cast<int32_t>(int64_t{std::clamp(volume, 0, kDefaultVolume)} * 100 / kDefaultVolume);
  return r;
}

std::string SpeechMarkup(const std::vector<SpeechPart>& parts) {
  std::string out;
  for (const SpeechPart& p : parts) {
    if (p.text.empty()) {
      out += "<break time=\"" + std::to_string(p.pause_ms) + "ms\"/>";
      continue;
    }
    for (const char c : p.text) {
      switch (c) {
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '&':
          out += "&amp;";
          break;
        default:
          out += c;
      }
    }
  }
  return out;
}

}  // namespace platform::agent
