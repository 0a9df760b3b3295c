// The synthesizer's voice: texts synthesised into memory by espeak-ng, on a thread of the
// back-end's own, and played through an audio output. The synthesizer's own playback is not
// used, because without a sound device it answers success and writes to standard error.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/agent/speech.h"

namespace platform::agent {

// Where the samples are heard: 16-bit mono.
class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // True when a device opens for `sample_rate` samples a second. Called once, before Play.
  virtual bool Open(int32_t sample_rate) = 0;
  // Plays `samples` in place of whatever it plays. Any thread; returns at once.
  virtual void Play(std::vector<int16_t> samples) = 0;
  virtual void Stop() = 0;
};

// A word's place in the audio.
struct WordEvent {
  int64_t audio_ms = 0;       // from the start of the audio
  int32_t text_position = 0;  // characters from the start of the markup, from 1
  int32_t length = 0;         // in characters
};

struct Synthesis {
  int32_t sample_rate = 0;
  std::vector<int16_t> samples;
  std::vector<WordEvent> words;
  int64_t duration_ms() const;
};

// The process's one synthesizer (espeak-ng keeps global state). Any thread; calls are
// serialised.
class Synthesizer {
 public:
  // The synthesizer, initialised on first use; null when the program was built without it
  // or it does not initialise (no voice data).
  static Synthesizer* Get();

  // Chooses the voice of language `code` (speech_language.h). False when no voice speaks
  // it: the default language's voice is chosen instead.
  bool SelectLanguage(std::string_view code);
  // The language of the voice chosen now.
  std::string language() const;
  // `request` in the synthesizer's markup, into memory, in the language it names.
  // Empty audio when the synthesizer refused it.
  Synthesis Synthesize(const SpeechRequest& request);

  int32_t sample_rate() const { return sample_rate_; }

 private:
  explicit Synthesizer(int32_t sample_rate) : sample_rate_(sample_rate) {}
  bool SelectLocked(std::string_view code);

  const int32_t sample_rate_;
};

// The voice: the synthesizer's when it is there and `output` opens, else SilentSpeech. No
// message either way. `output` may be null (no sound) and must outlive the back-end.
std::unique_ptr<SpeechBackend> MakeSpeechBackend(AudioOutput* output);

}  // namespace platform::agent
