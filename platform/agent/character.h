// A character as the engine plays it: its size, its frames, its animations and the names the
// program plays them by. Built by the character file's loader (or by a test); constant once
// built and shared by the engine and the display.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace platform::agent {

// The names of FillAnimationList, in its order: every character plays each of them.
inline constexpr std::string_view kAnimationNames[] = {
    "Acknowledge",
    "Alert",
    "Announce",
    "Blink",
    "Confused",
    "Congratulate",
    "Congratulate_2",
    "Decline",
    "DoMagic1",
    "DoMagic2",
    "DontRecognize",
    "Explain",
    "GestureDown",
    "GestureLeft",
    "GestureRight",
    "GestureUp",
    "GetAttention",
    "GetAttentionContinued",
    "GetAttentionReturn",
    "Greet",
    "Hearing_1",
    "Hearing_2",
    "Hearing_3",
    "Hearing_4",
    "Hide",
    "Idle1_1",
    "Idle1_2",
    "Idle1_3",
    "Idle1_4",
    "Idle1_5",
    "Idle1_6",
    "Idle2_1",
    "Idle2_2",
    "Idle2_3",
    "Idle3_1",
    "Idle3_2",
    "LookDown",
    "LookDownBlink",
    "LookDownReturn",
    "LookLeft",
    "LookLeftBlink",
    "LookLeftReturn",
    "LookRight",
    "LookRightBlink",
    "LookRightReturn",
    "LookUp",
    "LookUpBlink",
    "LookUpReturn",
    "MoveDown",
    "MoveLeft",
    "MoveRight",
    "MoveUp",
    "Pleased",
    "Process",
    "Processing",
    "Read",
    "ReadContinued",
    "ReadReturn",
    "Reading",
    "RestPose",
    "Sad",
    "Search",
    "Searching",
    "Show",
    "StartListening",
    "StopListening",
    "Suggest",
    "Surprised",
    "Think",
    "Thinking",
    "Uncertain",
};
static_assert(std::size(kAnimationNames) == 71);

// One picture of the character: a PNG with alpha, kept as the file holds it.
struct Frame {
  std::string name;
  std::string png;
  int32_t width = 0;
  int32_t height = 0;
};

// A frame shown for a time.
struct FrameStep {
  size_t frame = 0;  // index into Character::frames
  int32_t ms = 0;
};

struct Animation {
  std::string name;
  std::vector<FrameStep> steps;
  int64_t duration_ms() const;
};

struct Character {
  std::string name;
  int32_t width = 0;  // pixels
  int32_t height = 0;
  int32_t balloon_x = 0;  // where the balloon points, pixels from the top-left corner
  int32_t balloon_y = 0;
  std::vector<Frame> frames;
  std::vector<Animation> animations;
  std::vector<FrameStep> speaking;  // shown in turn while the character speaks
  // The animation each played name plays, names compared in any case; every name of
  // kAnimationNames is here.
  struct Played {
    std::string name;
    size_t animation = 0;  // index into animations
  };
  std::vector<Played> played;

  // The animation `name` plays; null when the character has none by that name.
  const Animation* Find(std::string_view name) const;
};

// True when `a` and `b` are equal, ASCII letters compared in any case.
bool EqualsNoCase(std::string_view a, std::string_view b);

}  // namespace platform::agent
