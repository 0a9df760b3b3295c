#include "platform/agent/character_voice.h"

namespace platform::agent {

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
  if (next_ != nullptr) next_->Attach(engine);
}

void CharacterVoice::Detach(CharacterEngine& engine) {
  if (next_ != nullptr) next_->Detach(engine);
}

}  // namespace platform::agent
