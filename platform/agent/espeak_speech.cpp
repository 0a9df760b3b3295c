#include "platform/agent/espeak_speech.h"

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/agent/speech_language.h"
#include "platform/core/clock.h"

#ifdef PEX_HAVE_ESPEAK
#include <espeak-ng/speak_lib.h>
#endif

namespace platform::agent {
namespace {

// Serialises every call into the synthesizer, whose state is global.
std::mutex& SynthMutex() {
  static std::mutex m;
  return m;
}

#ifdef PEX_HAVE_ESPEAK
// Gathers what one espeak_Synth call delivers; the call runs the callback on its own thread
// before it returns.
int Gather(short* wav, int samples, espeak_EVENT* events) {
  for (espeak_EVENT* e = events; e->type != espeakEVENT_LIST_TERMINATED; ++e) {
    auto* out = static_cast<Synthesis*>(e->user_data);
    if (out == nullptr) continue;
    if (e->type == espeakEVENT_WORD) {
      out->words.push_back(WordEvent{e->audio_position, e->text_position, e->length});
    }
  }
  if (wav != nullptr && samples > 0 && events->user_data != nullptr) {
    auto* out = static_cast<Synthesis*>(events->user_data);
    out->samples.insert(out->samples.end(), wav, wav + samples);
  }
  return 0;  // go on
}
#endif

// Says one request at a time on its own thread: synthesis, then the output plays it.
class SynthesizedSpeech final : public SpeechBackend {
 public:
  SynthesizedSpeech(Synthesizer& synthesizer, AudioOutput& output)
      : synthesizer_(synthesizer), output_(output), thread_([this] { Run(); }) {}
  ~SynthesizedSpeech() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      ending_ = true;
    }
    wake_.notify_one();
    thread_.join();
  }

  void Speak(const SpeechRequest& request) override {
    std::lock_guard<std::mutex> lock(mutex_);
    output_.Stop();
    pending_ = request;
    saying_ = request.id;
    heard_.reset();
    wake_.notify_one();
  }

  void Stop() override {
    std::lock_guard<std::mutex> lock(mutex_);
    output_.Stop();
    pending_.reset();
    saying_ = 0;
    heard_.reset();
  }

  size_t WordsHeard(uint64_t id) const override {
    std::lock_guard<std::mutex> lock(mutex_);
    if (id != saying_) return kAllWords;
    if (!heard_) return 0;  // still being synthesised
    const int64_t elapsed = MonotonicMs() - heard_->started;
    if (heard_->words.empty() || elapsed >= heard_->duration_ms) return kAllWords;
    size_t n = 0;
    for (const WordEvent& w : heard_->words) n += w.audio_ms <= elapsed ? 1 : 0;
    return n;
  }

 private:
  struct Hearing {
    std::vector<WordEvent> words;
    int64_t duration_ms = 0;
    int64_t started = 0;
  };

  void Run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
      wake_.wait(lock, [this] { return ending_ || pending_.has_value(); });
      if (ending_) return;
      const SpeechRequest request = std::move(*pending_);
      pending_.reset();
      lock.unlock();
      Synthesis s = synthesizer_.Synthesize(request);
      lock.lock();
      if (saying_ != request.id || pending_) continue;  // stopped or replaced meanwhile
      const int64_t duration_ms = s.duration_ms();
      heard_ = Hearing{std::move(s.words), duration_ms, MonotonicMs()};
      output_.Play(std::move(s.samples));
      lock.unlock();
      Heard(request.id, duration_ms);
      lock.lock();
    }
  }

  Synthesizer& synthesizer_;
  AudioOutput& output_;

  // State below is protected by mutex_.
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool ending_ = false;
  std::optional<SpeechRequest> pending_;
  uint64_t saying_ = 0;  // the request being said; 0 for none
  std::optional<Hearing> heard_;

  std::thread thread_;  // last: it starts once the state above is built
};

}  // namespace

int64_t Synthesis::duration_ms() const {
  return sample_rate > 0 ? static_cast<int64_t>(samples.size()) * 1000 / sample_rate : 0;
}

Synthesizer* Synthesizer::Get() {
#ifdef PEX_HAVE_ESPEAK
  static Synthesizer* const synthesizer = []() -> Synthesizer* {
    std::lock_guard<std::mutex> lock(SynthMutex());
    const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, /*buflength=*/0,
                                       /*path=*/nullptr, espeakINITIALIZE_DONT_EXIT);
    if (rate <= 0) return nullptr;
    espeak_SetSynthCallback(Gather);
    static Synthesizer s(rate);
    if (!s.SelectLocked(kDefaultSpeechLanguage)) return nullptr;
    return &s;
  }();
  return synthesizer;
#else
  return nullptr;
#endif
}

bool Synthesizer::SelectLanguage(std::string_view code) {
  std::lock_guard<std::mutex> lock(SynthMutex());
  return SelectLocked(code);
}

bool Synthesizer::SelectLocked(std::string_view code) {
#ifdef PEX_HAVE_ESPEAK
  auto select = [](std::string_view c) {
    const std::string language(c);
    espeak_VOICE voice{};
    voice.languages = language.c_str();
    return espeak_SetVoiceByProperties(&voice) == EE_OK;
  };
  if (select(code)) return true;
  // A code without a voice leaves the voice before it; the default is wanted instead.
  (void)select(kDefaultSpeechLanguage);
  return false;
#else
  (void)code;
  return false;
#endif
}

std::string Synthesizer::language() const {
#ifdef PEX_HAVE_ESPEAK
  std::lock_guard<std::mutex> lock(SynthMutex());
  const espeak_VOICE* voice = espeak_GetCurrentVoice();
  // The languages field is a priority byte and a name, for each language of the voice.
  if (voice == nullptr || voice->languages == nullptr || voice->languages[0] == '\0') return {};
  return std::string(voice->languages + 1);
#else
  return {};
#endif
}

Synthesis Synthesizer::Synthesize(const SpeechRequest& request) {
  Synthesis out;
  out.sample_rate = sample_rate_;
#ifdef PEX_HAVE_ESPEAK
  const std::string markup = SpeechMarkup(request.parts);
  std::lock_guard<std::mutex> lock(SynthMutex());
  (void)SelectLocked(request.language);  // the default voice when there is none
  espeak_SetParameter(espeakRATE, request.rate, 0);
  espeak_SetParameter(espeakVOLUME, request.volume, 0);
  if (espeak_Synth(markup.c_str(), markup.size() + 1, 0, POS_CHARACTER, 0,
                   espeakCHARS_UTF8 | espeakSSML, nullptr, &out) != EE_OK) {
    return Synthesis{sample_rate_, {}, {}};
  }
#else
  (void)request;
#endif
  return out;
}

std::unique_ptr<SpeechBackend> MakeSpeechBackend(AudioOutput* output) {
  Synthesizer* synthesizer = Synthesizer::Get();
  if (synthesizer == nullptr || output == nullptr || !output->Open(synthesizer->sample_rate())) {
    return std::make_unique<SilentSpeech>();
  }
  return std::make_unique<SynthesizedSpeech>(*synthesizer, *output);
}

}  // namespace platform::agent
