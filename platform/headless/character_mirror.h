// The headless display of the characters: it keeps what the character engine last sent of
// each, and a line for every view it was sent, so a test sees what a person would have seen
// and in what order.
#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/agent/character_display.h"

namespace platform::headless {

class CharacterMirror : public agent::CharacterDisplay {
 public:
  void ShowCharacter(const agent::CharacterView& view) override;
  void RemoveCharacter(const std::string& name) override;
  void UnknownText(std::string_view text) override;

  // The last view of `name`; nullopt when it was never sent or was removed. Any thread.
  std::optional<agent::CharacterView> Last(const std::string& name) const;
  // One line per view sent (Describe) and per removal, in order. Any thread.
  std::vector<std::string> lines() const;
  void ClearLines();
  // Every text the character control did not know, in order; a test fails on any. Any thread.
  std::vector<std::string> unknown_texts() const;

  // "Merlin shown at 10,20 128x128 frame rest1 on top, speech "Hello" spoken at 74,20": the
  // view in one line; the frame by its name, the balloon when there is one.
  static std::string Describe(const agent::CharacterView& view);

 private:
  mutable std::mutex mutex_;
  std::map<std::string, agent::CharacterView> last_;
  std::vector<std::string> lines_;
  std::vector<std::string> unknown_;
};

}  // namespace platform::headless
