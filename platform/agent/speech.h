// The character's voice: what a speech back-end is asked to say, and the back-ends that say
// it. A back-end speaks asynchronously; Speak and Stop return at once and never block, so
// the character engine's display may call them with the engine's mutex held.
//
// Back-ends: SilentSpeech (says nothing), RecordingSpeech (keeps what it was asked, for the
// tests) and the synthesizer's (espeak_speech.h), chosen by MakeSpeechBackend.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/agent/speech_text.h"

namespace platform::agent {

struct SpeechRequest {
  uint64_t id = 0;                // the engine's request, so progress can be asked of it
  std::vector<SpeechPart> parts;  // texts and pauses, in order
  std::string language;           // a code of the language table (speech_language.h)
  int32_t rate = kDefaultSpeed;   // words per minute
  int32_t volume = 100;           // percent of the synthesizer's normal loudness
  friend bool operator==(const SpeechRequest&, const SpeechRequest&) = default;
};

// Answered by WordsHeard when the back-end does not pace: the whole text at once.
inline constexpr size_t kAllWords = std::numeric_limits<size_t>::max();

class SpeechBackend {
 public:
  // Hears that request `id` starts to be heard, for `audio_ms` milliseconds. Called on the
  // back-end's own thread with none of its locks held.
  using HeardHandler = std::function<void(uint64_t id, int64_t audio_ms)>;

  virtual ~SpeechBackend() = default;
  // Replaces the handler; an empty one hears nothing. Waits for a call under way, so the
  // owner of a handler can take it away before it goes. Any thread.
  void SetHeardHandler(HeardHandler handler) {
    std::lock_guard<std::mutex> lock(heard_mutex_);
    on_heard_ = std::move(handler);
  }
  // Says `request` in place of whatever it was saying.
  virtual void Speak(const SpeechRequest& request) = 0;
  // Stops what it is saying; nothing when it is silent.
  virtual void Stop() = 0;
  // How many words of request `id` have been heard by now; kAllWords when the back-end does
  // not know (a balloon then shows its whole text). Any thread.
  virtual size_t WordsHeard(uint64_t id) const = 0;

 protected:
  void Heard(uint64_t id, int64_t audio_ms) const {
    std::lock_guard<std::mutex> lock(heard_mutex_);
    if (on_heard_) on_heard_(id, audio_ms);
  }

 private:
  mutable std::mutex heard_mutex_;  // guards on_heard_, held while it runs
  HeardHandler on_heard_;
};

class SilentSpeech final : public SpeechBackend {
 public:
  void Speak(const SpeechRequest&) override {}
  void Stop() override {}
  size_t WordsHeard(uint64_t) const override { return kAllWords; }
};

// Keeps every request and stop, in order. Any thread.
class RecordingSpeech final : public SpeechBackend {
 public:
  void Speak(const SpeechRequest& request) override;
  void Stop() override;
  size_t WordsHeard(uint64_t) const override { return kAllWords; }

  std::vector<SpeechRequest> requests() const;
  int32_t stops() const;
  // As a synthesizer would: request `id` is heard from now on for `audio_ms`.
  void StartHearing(uint64_t id, int64_t audio_ms) const { Heard(id, audio_ms); }

 private:
  mutable std::mutex mutex_;
  std::vector<SpeechRequest> requests_;
  int32_t stops_ = 0;
};

// The request a balloon is heard as, from the volume tag's 0..65535 to percent.
SpeechRequest SpeechFor(uint64_t id, const std::vector<SpeechPart>& parts, int32_t language_id,
                        int32_t speed, int32_t volume);

// `parts` in the synthesizer's markup: "<", ">" and "&" of the texts as entities (else a
// text such as "<Enter>" would be read as a tag and not heard), a pause as a break element.
std::string SpeechMarkup(const std::vector<SpeechPart>& parts);

}  // namespace platform::agent
