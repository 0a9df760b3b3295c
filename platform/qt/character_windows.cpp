#include "platform/qt/character_windows.h"

#include <utility>

#include "platform/qt/balloon_window.h"
#include "platform/qt/character_window.h"

namespace platform::qt {

CharacterWindows::CharacterWindows(const agent::SpeechBackend* speech) : speech_(speech) {
  timer_.setInterval(kCharacterTickMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { Tick(); });
  timer_.start();
}

CharacterWindows::~CharacterWindows() = default;

void CharacterWindows::Attach(agent::CharacterEngine& engine) {
  std::lock_guard<std::mutex> lock(engines_mutex_);
  engines_.insert(&engine);
}

void CharacterWindows::Detach(agent::CharacterEngine& engine) {
  std::lock_guard<std::mutex> lock(engines_mutex_);
  engines_.erase(&engine);
}

void CharacterWindows::ShowCharacter(const agent::CharacterView& view) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_[view.name] = view;
}

void CharacterWindows::RemoveCharacter(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_[name] = std::nullopt;
}

void CharacterWindows::Tick() {
  {
    // An engine tells what changed through ShowCharacter, which takes only mutex_.
    std::lock_guard<std::mutex> lock(engines_mutex_);
    for (agent::CharacterEngine* engine : engines_) engine->Refresh();
  }
  std::map<std::string, std::optional<agent::CharacterView>> pending;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    pending.swap(pending_);
  }
  for (auto& [name, view] : pending) {
    if (!view) {
      windows_.erase(name);  // unloaded: both windows go
      continue;
    }
    Windows& w = windows_[name];
    if (!w.character) {
      w.character = std::make_unique<CharacterWindow>();
      w.balloon = std::make_unique<BalloonWindow>();
    }
    w.view = std::move(*view);
    w.character->Apply(w.view);
  }
  // The balloons follow their characters and the words heard, which move without a view.
  for (auto& [name, w] : windows_) {
    const agent::BalloonView& b = w.view.balloon;
    const bool shown = w.view.shown && b.kind != agent::BalloonView::Kind::kNone;
    if (!shown) {
      w.balloon->Apply(agent::BalloonView{}, agent::kAllWords);
      continue;
    }
    const size_t words =
        speech_ != nullptr && b.spoken ? speech_->WordsHeard(b.request) : agent::kAllWords;
    w.balloon->Apply(b, words);
  }
}

CharacterWindow* CharacterWindows::character_window(const std::string& name) const {
  const auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : it->second.character.get();
}

BalloonWindow* CharacterWindows::balloon_window(const std::string& name) const {
  const auto it = windows_.find(name);
  return it == windows_.end() ? nullptr : it->second.balloon.get();
}

}  // namespace platform::qt
