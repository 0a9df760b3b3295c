// Character files: an uncompressed ustar archive (ustar.h) holding the manifest
// "character.ini" and the frames as PNG pictures with alpha.
//
// The manifest is UTF-8, lines ending in LF or CR LF, ";" beginning a comment line:
//
//   [Character]
//   Name=Merlin                   1 to 64 bytes, no control characters
//   Width=128                     pixels, 1 to kMaxSide
//   Height=128
//   Balloon=64,6                  where the balloon points, a point of the character
//   Speaking=talk1 120, talk2 120 the frames shown in turn while it speaks (may be left out)
//   [Frames]
//   rest=frames/rest.png          a frame name and the archive entry of its PNG
//   [Animations]
//   Rest=rest 1000                frames and their milliseconds (1 to 60000) in order
//   Wave=wave1 120, wave2 120
//   [Names]
//   RestPose=Rest                 the animation a played name plays
//   *=Rest                        the animation of every FillAnimationList name not listed
//
// Frame, animation and played names are 1 to 64 letters, digits and underscores; names are
// unique in their section in any case. Every frame is a PNG of the character's size; every
// archive entry is the manifest or a frame. Anything else, and anything beyond the limits
// below, loads nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/agent/character.h"
#include "platform/core/status.h"

namespace platform::agent {

// The limits of a character file. A file beyond them is refused before anything of that
// size is allocated.
inline constexpr size_t kMaxFileBytes = 8 * 1024 * 1024;
inline constexpr size_t kMaxEntries = 512;
inline constexpr size_t kMaxManifestBytes = 64 * 1024;
inline constexpr size_t kMaxFrames = 500;
inline constexpr size_t kMaxAnimations = 256;
inline constexpr size_t kMaxPlayedNames = 256;
inline constexpr size_t kMaxSteps = 256;   // of one animation, and of the speaking frames
inline constexpr int32_t kMaxSide = 1024;  // pixels, of the character and its frames
inline constexpr int64_t kMaxFramePixels = 16 * 1024 * 1024;  // all frames together
inline constexpr int32_t kMaxStepMs = 60000;

inline constexpr std::string_view kManifestName = "character.ini";

// The character in `file`, the bytes of a character file. An error (kInvalidDataFile, the
// fault in file_error()) for any fault.
Result<std::shared_ptr<const Character>> ReadCharacterFile(std::string_view file);

// The character in the file at `path`: a plain file of at most kMaxFileBytes, read whole.
Result<std::shared_ptr<const Character>> LoadCharacterFile(const std::string& path);

// LoadCharacterFile's character, or null: the character control's loader.
std::shared_ptr<const Character> LoadCharacter(const std::string& path);

}  // namespace platform::agent
