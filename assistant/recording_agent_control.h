// For tests: a character control that records every automation text it gets, registered in
// place of the stand-in engine with RegisterOleServer(kRecordingServer).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/ole_object.h"

namespace assistant::testing {

// A character control that records every text it gets and answers what the test set.
struct Recording {
  std::mutex mutex;
  std::vector<std::string> texts;
  std::string left = "10";
};
inline Recording& Recorded() {
  static Recording r;
  return r;
}

class RecordingObject : public platform::ui::OleObject {
 public:
  std::string Read(std::string_view e) override {
    Add("read " + std::string(e));
    if (e.ends_with(".Height") || e.ends_with(".Width")) return "128";
    if (e.ends_with(".Left")) {
      std::lock_guard lock(Recorded().mutex);
      return Recorded().left;
    }
    return "7";
  }
  void Call(std::string_view s) override { Add("call " + std::string(s)); }
  void Assign(std::string_view p, int32_t v) override {
    Add("assign " + std::string(p) + "=" + std::to_string(v));
  }
  bool SetMember(std::string_view m, int32_t v) override {
    Add("member " + std::string(m) + "=" + std::to_string(v));
    return true;
  }

 private:
  static void Add(std::string line) {
    std::lock_guard lock(Recorded().mutex);
    Recorded().texts.push_back(std::move(line));
  }
};

inline const platform::ui::OleServer kRecordingServer{
    "Agent.Control.2",
    [](platform::ui::DisplayBackend&) -> std::unique_ptr<platform::ui::OleObject> {
      return std::make_unique<RecordingObject>();
    }};

}  // namespace assistant::testing
