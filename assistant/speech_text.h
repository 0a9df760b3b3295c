// The text of a Speak request as the agent thread sends it: with a speaking delay, every line
// break becomes a pause tag whose length grows with the distance from the previous one.
//
//   PrepareSpeech("A\r\nB", /*delay=*/10)   // "A\\Pau=20\\\rB"
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace assistant {

// Texts are cut to this many bytes after each replacement.
inline constexpr size_t kMaxSpeechBytes = 499;

// Each CR LF, from the left, becomes "\Pau=" & (i - j) * delay & "\" and a CR, where i is
// the 1-based position of its CR in the text as edited so far and j that of the previous
// replacement (0 for the first). `text` unchanged when `delay` is 0.
std::string PrepareSpeech(std::string_view text, uint8_t delay);

}  // namespace assistant
