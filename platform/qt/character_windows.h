// The characters on the screen: the display of the character engine in the Qt backend. Each
// loaded character gets a character window and a balloon window, top-level widgets of the
// GUI thread (no runtime windows). The engine may tell it of changes on any thread; a Qt
// timer of about 16 ms brings the engine up to the monotonic clock and draws what changed.
//
//   CharacterWindows windows(&speech);          // GUI thread
//   agent::CharacterVoice voice(speech, &windows);
//   agent::CharacterEngine engine(&voice);
//   windows.Follow(&engine);
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include <QObject>
#include <QTimer>

#include "platform/agent/character_display.h"
#include "platform/agent/character_engine.h"
#include "platform/agent/speech.h"

namespace platform::qt {

class BalloonWindow;
class CharacterWindow;

inline constexpr int kCharacterTickMs = 16;

class CharacterWindows final : public agent::CharacterDisplay {
 public:
  // GUI thread. `speech` paces the balloons by the words heard; null shows each text whole.
  // It must outlive the windows.
  explicit CharacterWindows(const agent::SpeechBackend* speech = nullptr);
  ~CharacterWindows() override;
  CharacterWindows(const CharacterWindows&) = delete;
  CharacterWindows& operator=(const CharacterWindows&) = delete;

  // The engine the timer refreshes; null stops refreshing. It must outlive the windows or
  // be unset first. GUI thread.
  void Follow(agent::CharacterEngine* engine);

  // Any thread; never blocks: the view is drawn at the next tick.
  void ShowCharacter(const agent::CharacterView& view) override;
  void RemoveCharacter(const std::string& name) override;

  // GUI thread: refreshes the engine and draws what changed. The timer calls it.
  void Tick();

  // For tests; null when `name` has no window.
  CharacterWindow* character_window(const std::string& name) const;
  BalloonWindow* balloon_window(const std::string& name) const;

 private:
  struct Windows {
    std::unique_ptr<CharacterWindow> character;
    std::unique_ptr<BalloonWindow> balloon;
    agent::CharacterView view;
  };

  const agent::SpeechBackend* const speech_;
  agent::CharacterEngine* engine_ = nullptr;
  QTimer timer_;

  // Views told and not drawn yet; nullopt for a character removed. Guarded by mutex_.
  std::mutex mutex_;
  std::map<std::string, std::optional<agent::CharacterView>> pending_;

  // GUI thread.
  std::map<std::string, Windows> windows_;
};

}  // namespace platform::qt
