#include "assistant/speech_text.h"

#include "platform/core/fixed_string.h"

namespace assistant {

std::string PrepareSpeech(std::string_view text, uint8_t delay) {
  std::string out(text);
  if (delay == 0) return out;
  size_t previous = 0;  // 1-based position of the previous replacement, 0 for none
  size_t from = 0;
  for (;;) {
    const size_t at = out.find("\r\n", from);
    if (at == std::string::npos) break;
    const size_t position = at + 1;
    const int64_t pause = static_cast<int64_t>(position - previous) * delay;
    const std::string tag = "\\Pau=" + std::to_string(pause) + "\\\r";
    out.replace(at, 2, tag);
    previous = position;
    from = at + tag.size();
    out = std::string(platform::CutUtf8(out, kMaxSpeechBytes));
  }
  return out;
}

}  // namespace assistant
