// A small character for the engine's tests: 100 by 80 pixels, the balloon pointing at
// (50, 0), frames named after what they show, and short animations whose times the tests
// count on.
#pragma once

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/agent/character.h"

namespace platform::agent {

inline std::shared_ptr<const Character> TestCharacter() {
  auto c = std::make_shared<Character>();
  c->name = "Tester";
  c->width = 100;
  c->height = 80;
  c->balloon_x = 50;
  c->balloon_y = 0;
  const std::vector<std::string> frames = {"rest", "show1", "show2", "hide1", "wave1", "wave2",
                                           "gl",   "gr",    "gu",    "gd",    "ml",    "mr",
                                           "mu",   "md",    "talk1", "talk2"};
  for (const std::string& f : frames) c->frames.push_back(Frame{f, {}, 100, 80});
  auto frame = [&frames](const std::string& name) {
    for (size_t i = 0; i < frames.size(); ++i) {
      if (frames[i] == name) return i;
    }
    return size_t{0};
  };
  const std::vector<std::pair<std::string, std::vector<std::pair<std::string, int32_t>>>>
      animations = {
          {"RestPose", {{"rest", 100}}},  {"Show", {{"show1", 100}, {"show2", 100}}},
          {"Hide", {{"hide1", 150}}},     {"Greet", {{"wave1", 100}, {"wave2", 100}}},
          {"GestureLeft", {{"gl", 300}}}, {"GestureRight", {{"gr", 300}}},
          {"GestureUp", {{"gu", 300}}},   {"GestureDown", {{"gd", 300}}},
          {"MoveLeft", {{"ml", 200}}},    {"MoveRight", {{"mr", 200}}},
          {"MoveUp", {{"mu", 200}}},      {"MoveDown", {{"md", 200}}},
      };
  for (const auto& [name, steps] : animations) {
    Animation a;
    a.name = name;
    for (const auto& [f, ms] : steps) a.steps.push_back(FrameStep{frame(f), ms});
    c->played.push_back(Character::Played{name, c->animations.size()});
    c->animations.push_back(std::move(a));
  }
  c->speaking = {FrameStep{frame("talk1"), 100}, FrameStep{frame("talk2"), 100}};
  return c;
}

}  // namespace platform::agent
