// The characters on the screen: the display of the character engines in the Qt backend.
// Each loaded character gets a character window and a balloon window, top-level widgets of
// the GUI thread (no runtime windows). The engines may tell it of changes on any thread; a
// Qt timer of about 16 ms brings every engine attached up to the monotonic clock and draws
// what changed.
//
//   CharacterWindows windows(&speech);          // GUI thread
//   agent::CharacterVoice voice(speech, &windows);
//   agent::CharacterEngine engine(&voice);      // any thread: attaches itself
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
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

  // Any thread; never blocks: the view is drawn at the next tick.
  void ShowCharacter(const agent::CharacterView& view) override;
  void RemoveCharacter(const std::string& name) override;
  // Any thread: the timer refreshes `engine` from now on, or no longer. Detach waits for a
  // refresh under way.
  void Attach(agent::CharacterEngine& engine) override;
  void Detach(agent::CharacterEngine& engine) override;

  // GUI thread: refreshes the engines and draws what changed. The timer calls it.
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
  QTimer timer_;

  // The engines attached; held while they are refreshed. Never taken inside mutex_.
  std::mutex engines_mutex_;
  std::set<agent::CharacterEngine*> engines_;

  // Views told and not drawn yet; nullopt for a character removed. Guarded by mutex_.
  std::mutex mutex_;
  std::map<std::string, std::optional<agent::CharacterView>> pending_;

  // GUI thread.
  std::map<std::string, Windows> windows_;
};

}  // namespace platform::qt
