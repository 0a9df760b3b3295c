// The character's voice as a display of the engine: each new spoken balloon is said through
// a speech back-end, and a balloon that goes (Stop, StopAll, its time up, a new text, the
// character unloaded) stops what is being said. Think balloons and texts shown without
// sound are never said. Every view passes on to the display behind it.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <string_view>

#include "platform/agent/character_display.h"
#include "platform/agent/character_engine.h"
#include "platform/agent/speech.h"

namespace platform::agent {

class CharacterVoice final : public CharacterDisplay {
 public:
  // `speech` must outlive the voice; `next` may be null (nothing shown) and must too. The
  // voice hears from `speech` how long each text is heard, and lengthens the engines'
  // requests to match.
  CharacterVoice(SpeechBackend& speech, CharacterDisplay* next);
  ~CharacterVoice() override;
  CharacterVoice(const CharacterVoice&) = delete;
  CharacterVoice& operator=(const CharacterVoice&) = delete;

  // Called with the engine's mutex held; the back-end never blocks.
  void ShowCharacter(const CharacterView& view) override;
  void RemoveCharacter(const std::string& name) override;
  void Attach(CharacterEngine& engine) override;
  void Detach(CharacterEngine& engine) override;
  void UnknownText(std::string_view text) override;

 private:
  SpeechBackend& speech_;
  CharacterDisplay* const next_;
  // The request each character is saying; absent when it says nothing. Guarded by the
  // engine's mutex, under which the engine calls the display.
  std::map<std::string, uint64_t> saying_;

  // The engines attached; held while one is told of speech heard.
  std::mutex engines_mutex_;
  std::set<CharacterEngine*> engines_;
};

}  // namespace platform::agent
