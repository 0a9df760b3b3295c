#include "platform/agent/espeak_speech.h"

#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/agent/speech_language.h"

namespace platform::agent {
namespace {

SpeechRequest Request(std::vector<SpeechPart> parts, std::string language = "nl") {
  SpeechRequest r;
  r.id = 7;
  r.parts = std::move(parts);
  r.language = std::move(language);
  return r;
}

// An output that opens or not, and keeps what it is asked to play.
class FakeOutput final : public AudioOutput {
 public:
  explicit FakeOutput(bool opens) : opens_(opens) {}
  bool Open(int32_t sample_rate) override {
    rate_ = sample_rate;
    return opens_;
  }
  void Play(std::vector<int16_t> samples) override {
    std::lock_guard<std::mutex> lock(mutex_);
    played_.push_back(samples.size());
    changed_.notify_all();
  }
  void Stop() override {}
  // Waits for the first Play; its number of samples.
  size_t FirstPlayed() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !played_.empty(); });
    return played_.front();
  }
  int32_t rate() const { return rate_; }

 private:
  const bool opens_;
  int32_t rate_ = 0;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<size_t> played_;
};

#ifdef PEX_HAVE_ESPEAK

Synthesizer& Synth() {
  Synthesizer* s = Synthesizer::Get();
  EXPECT_NE(s, nullptr) << "the synthesizer does not initialise: are its voices installed?";
  return *s;
}

TEST(Synthesizer, SpeaksADutchSentenceIntoMemory) {
  testing::internal::CaptureStderr();
  const Synthesis s = Synth().Synthesize(Request({{"Dit is een test.", 0}}));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_GT(s.sample_rate, 0);
  EXPECT_GE(s.duration_ms(), 300);
  EXPECT_LE(s.duration_ms(), 3000);
  ASSERT_EQ(s.words.size(), 4u);
  // The words follow each other through the audio.
  for (size_t i = 1; i < s.words.size(); ++i) {
    EXPECT_GT(s.words[i].audio_ms, s.words[i - 1].audio_ms);
    EXPECT_GT(s.words[i].text_position, s.words[i - 1].text_position);
  }
  EXPECT_LT(s.words.back().audio_ms, s.duration_ms());
}

TEST(Synthesizer, APauseTagLengthensTheAudio) {
  const Synthesis plain = Synth().Synthesize(Request({{"Dit is een test.", 0}}));
  const Synthesis paused =
      Synth().Synthesize(Request({{"Dit is", 0}, {"", 500}, {" een test.", 0}}));
  EXPECT_GE(paused.duration_ms() - plain.duration_ms(), 400);
  EXPECT_EQ(paused.words.size(), 4u);
}

TEST(Synthesizer, AnglesInTheTextAreHeardAsWords) {
  const Synthesis s = Synth().Synthesize(Request({{"Klik op <Enter> nu", 0}}));
  EXPECT_EQ(s.words.size(), 4u);
}

TEST(Synthesizer, EveryLanguageOfTheTableHasAVoiceAndAnUnknownOneFallsBackToDutch) {
  Synthesizer& s = Synth();
  // A request in an unknown language is spoken by the default voice.
  EXPECT_EQ(s.Synthesize(Request({{"Dit is een test.", 0}}, "xx-nowhere")).words.size(), 4u);
  EXPECT_EQ(s.language(), "nl");
  for (const SpeechLanguage& l : SpeechLanguages()) {
    SCOPED_TRACE(std::string(l.code));
    EXPECT_TRUE(s.SelectLanguage(l.code));
    EXPECT_TRUE(s.language().starts_with(l.code)) << s.language();  // "fr" is "fr-fr"
  }
  EXPECT_FALSE(s.SelectLanguage("xx-nowhere"));
  EXPECT_EQ(s.language(), "nl");
}

TEST(MakeSpeechBackend, PlaysTheSynthesisThroughAnOutputThatOpens) {
  FakeOutput output(/*opens=*/true);
  std::unique_ptr<SpeechBackend> speech = MakeSpeechBackend(&output);
  EXPECT_EQ(dynamic_cast<SilentSpeech*>(speech.get()), nullptr);
  EXPECT_EQ(output.rate(), Synth().sample_rate());
  std::promise<std::pair<uint64_t, int64_t>> heard;
  speech->SetHeardHandler([&heard](uint64_t id, int64_t ms) { heard.set_value({id, ms}); });
  speech->Speak(Request({{"Dit is een test.", 0}}));
  const size_t samples = output.FirstPlayed();
  EXPECT_GE(samples * 1000 / output.rate(), 300u);
  // The voice tells how long the text is heard: the whole audio played.
  const std::pair<uint64_t, int64_t> h = heard.get_future().get();
  EXPECT_EQ(h.first, 7u);
  EXPECT_EQ(h.second, static_cast<int64_t>(samples * 1000 / output.rate()));
  speech->SetHeardHandler({});
  EXPECT_EQ(speech->WordsHeard(/*id=*/8), kAllWords);  // not what it says
}

#else

TEST(Synthesizer, IsNotThereWithoutTheLibrary) { EXPECT_EQ(Synthesizer::Get(), nullptr); }

#endif

TEST(MakeSpeechBackend, IsSilentWithoutAnOutputThatOpens) {
  FakeOutput closed(/*opens=*/false);
  for (AudioOutput* output :
       {static_cast<AudioOutput*>(&closed), static_cast<AudioOutput*>(nullptr)}) {
    testing::internal::CaptureStderr();
    std::unique_ptr<SpeechBackend> speech = MakeSpeechBackend(output);
    EXPECT_NE(dynamic_cast<SilentSpeech*>(speech.get()), nullptr);
    speech->Speak(Request({{"Dit is een test.", 0}}));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  }
}

}  // namespace
}  // namespace platform::agent
