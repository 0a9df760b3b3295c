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

void CharacterMirror::UnknownText(std::string_view text) {
  std::lock_guard<std::mutex> lock(mutex_);
  unknown_.emplace_back(text);
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

std::vector<std::string> CharacterMirror::unknown_texts() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return unknown_;
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
