#include "platform/headless/character_mirror.h"

#include <sstream>

namespace platform::headless {

void CharacterMirror::ShowCharacter(const agent::CharacterView& view) {
  std::lock_guard<std::mutex> lock(mutex_);
  last_[view.name] = view;
  lines_.push_back(Describe(view));
}

void CharacterMirror::RemoveCharacter(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  last_.erase(name);
  lines_.push_back(name + " removed");
}

std::optional<agent::CharacterView> CharacterMirror::Last(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = last_.find(name);
  if (it == last_.end()) return std::nullopt;
  return it->second;
}

std::vector<std::string> CharacterMirror::lines() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

void CharacterMirror::ClearLines() {
  std::lock_guard<std::mutex> lock(mutex_);
  lines_.clear();
}

std::string CharacterMirror::Describe(const agent::CharacterView& view) {
  std::ostringstream out;
  out << view.name << (view.shown ? " shown" : " hidden") << " at " << view.left << "," << view.top
      << " " << view.width << "x" << view.height << " frame ";
  if (view.character && view.frame < view.character->frames.size()) {
    out << view.character->frames[view.frame].name;
  } else {
    out << view.frame;
  }
  if (view.on_top) out << " on top";
  if (view.balloon.kind != agent::BalloonView::Kind::kNone) {
    out << (view.balloon.kind == agent::BalloonView::Kind::kSpeech ? ", speech \"" : ", thought \"")
        << view.balloon.text << "\"" << (view.balloon.spoken ? " spoken" : "") << " at "
        << view.balloon.x << "," << view.balloon.y;
  }
  return out.str();
}

}  // namespace platform::headless
