// Everything the Qt backend shows and says of the characters: the sound output, the voice
// chosen for it (silent without a synthesizer or an output device), the windows, and the
// display the character engines are given.
#pragma once

#include <memory>

#include "platform/agent/character_display.h"
#include "platform/agent/character_voice.h"
#include "platform/agent/speech.h"
#include "platform/qt/audio_output.h"
#include "platform/qt/character_windows.h"

namespace platform::qt {

class CharacterStage {
 public:
  // GUI thread, with the application made.
  CharacterStage()
      : speech_(agent::MakeSpeechBackend(&output_)),
        windows_(speech_.get()),
        voice_(*speech_, &windows_) {}
  CharacterStage(const CharacterStage&) = delete;
  CharacterStage& operator=(const CharacterStage&) = delete;

  // The display for the engines; any thread. It lives as long as the stage.
  agent::CharacterDisplay* display() { return &voice_; }
  CharacterWindows& windows() { return windows_; }

 private:
  // Built in this order: the voice speaks through the output, the windows ask the voice
  // how far it got, and the display says, then shows.
  QtAudioOutput output_;
  std::unique_ptr<agent::SpeechBackend> speech_;
  CharacterWindows windows_;
  agent::CharacterVoice voice_;
};

}  // namespace platform::qt
