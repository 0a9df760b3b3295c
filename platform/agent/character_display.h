// What a display shows of the characters, and the interface the engine tells it through.
// The engine sends copies, in the way of the window backend's commands, so a display may keep
// them and draw them later on its own thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/agent/character.h"
#include "platform/agent/speech_text.h"

namespace platform::agent {

class CharacterEngine;

struct BalloonView {
  enum class Kind { kNone, kSpeech, kThought };
  Kind kind = Kind::kNone;
  std::string text;                      // without speech tags; line breaks as "\n"
  bool spoken = false;                   // a speech balloon whose text is also heard
  int32_t speed = 0;                     // words per minute, for the voice
  int32_t volume = 0;                    // the volume tag's number, for the voice
  int32_t language = 0;                  // the character's LanguageID when the text began
  std::vector<SpeechPart> spoken_parts;  // what the voice says, when spoken
  int32_t x = 0;                         // the point the balloon points at, screen pixels
  int32_t y = 0;
  uint64_t request = 0;  // the request the balloon belongs to: a new one is a new text
  friend bool operator==(const BalloonView&, const BalloonView&) = default;
};

struct CharacterView {
  std::string name;                            // as the program loaded it
  std::shared_ptr<const Character> character;  // the frames' pictures
  size_t frame = 0;                            // index into character->frames
  int32_t left = 0;                            // screen pixels
  int32_t top = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool shown = false;
  bool on_top = false;
  BalloonView balloon;
  friend bool operator==(const CharacterView&, const CharacterView&) = default;
};

class CharacterDisplay {
 public:
  virtual ~CharacterDisplay() = default;
  // The character `view.name` now looks like `view`: loaded, or changed since the last call.
  // Called with the engine's own mutex held, on whatever thread asked the engine; must not
  // block and must not call the engine.
  virtual void ShowCharacter(const CharacterView& view) = 0;
  // The character `name` was unloaded.
  virtual void RemoveCharacter(const std::string& name) = 0;
  // The character control was given `text`, which it does not know, and did nothing: a
  // fault of whoever built the text. Called on the thread that gave it, with no lock of the
  // engine held.
  virtual void UnknownText(std::string_view /*text*/) {}

  // `engine` shows on this display from its construction to its destruction, which call
  // these: a display that follows the animation refreshes the engines attached. Called on
  // the engine's thread, with no lock of the engine held; Detach waits until the display
  // no longer uses the engine.
  virtual void Attach(CharacterEngine& /*engine*/) {}
  virtual void Detach(CharacterEngine& /*engine*/) {}
};

}  // namespace platform::agent
