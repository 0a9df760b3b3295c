#include "platform/agent/character_voice.h"

namespace platform::agent {

CharacterVoice::CharacterVoice(SpeechBackend& speech, CharacterDisplay* next)
    : speech_(speech), next_(next) {
  speech_.SetHeardHandler([this](uint64_t id, int64_t audio_ms) {
    std::lock_guard<std::mutex> lock(engines_mutex_);
    for (CharacterEngine* engine : engines_) engine->SpeechHeard(id, audio_ms);
  });
}

CharacterVoice::~CharacterVoice() { speech_.SetHeardHandler({}); }

void CharacterVoice::ShowCharacter(const CharacterView& view) {
  const BalloonView& b = view.balloon;
  const bool heard = b.kind == BalloonView::Kind::kSpeech && b.spoken && !b.spoken_parts.empty();
  const auto it = saying_.find(view.name);
  if (it == saying_.end() || !heard || it->second != b.request) {
    if (it != saying_.end()) {
      speech_.Stop();
      saying_.erase(it);
    }
    if (heard) {
      speech_.Speak(SpeechFor(b.request, b.spoken_parts, b.language, b.speed, b.volume));
      saying_[view.name] = b.request;
    }
  }
  if (next_ != nullptr) next_->ShowCharacter(view);
}

void CharacterVoice::RemoveCharacter(const std::string& name) {
  if (saying_.erase(name) > 0) speech_.Stop();
  if (next_ != nullptr) next_->RemoveCharacter(name);
}

void CharacterVoice::Attach(CharacterEngine& engine) {
  {
    std::lock_guard<std::mutex> lock(engines_mutex_);
    engines_.insert(&engine);
  }
  if (next_ != nullptr) next_->Attach(engine);
}

void CharacterVoice::Detach(CharacterEngine& engine) {
  {
    std::lock_guard<std::mutex> lock(engines_mutex_);
    engines_.erase(&engine);
  }
  if (next_ != nullptr) next_->Detach(engine);
}

void CharacterVoice::UnknownText(std::string_view text) {
  if (next_ != nullptr) next_->UnknownText(text);
}

}  // namespace platform::agent
