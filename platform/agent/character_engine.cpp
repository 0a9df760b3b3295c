#include "platform/agent/character_engine.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/agent/speech_text.h"
#include "platform/core/clock.h"

namespace platform::agent {
namespace {

// The frame `animation` shows `elapsed` milliseconds after it started; its last frame once
// it has run out, or every step again from the first when `loop`.
size_t FrameAt(const Animation& animation, int64_t elapsed, bool loop) {
  const int64_t total = animation.duration_ms();
  if (loop && total > 0) elapsed %= total;
  for (const FrameStep& s : animation.steps) {
    if (elapsed < s.ms) return s.frame;
    elapsed -= s.ms;
  }
  return animation.steps.empty() ? 0 : animation.steps.back().frame;
}

// Which of two names lies towards (dx, dy): the longer axis decides.
std::string_view Towards(int64_t dx, int64_t dy, std::string_view left, std::string_view right,
                         std::string_view up, std::string_view down) {
  if (std::llabs(dx) >= std::llabs(dy)) return dx < 0 ? left : right;
  return dy < 0 ? up : down;
}

// distance * elapsed / duration, rounded towards zero, without the product overflowing:
// REQUIRES 0 <= elapsed <= duration, 0 < duration.
int64_t Along(int64_t distance, int64_t elapsed, int64_t duration) {
  return distance / duration * elapsed + distance % duration * elapsed / duration;
}

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace

CharacterEngine::CharacterEngine(CharacterDisplay* display) : display_(display) {
  if (display_ != nullptr) display_->Attach(*this);
}

CharacterEngine::~CharacterEngine() {
  if (display_ == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& [name, c] : characters_) display_->RemoveCharacter(name);
  }
  display_->Detach(*this);
}

std::string CharacterEngine::Load(const std::string& name,
                                  std::shared_ptr<const Character> character) {
  if (!character) return {};
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = MonotonicMs();
  Loaded c;
  c.width = character->width;
  c.height = character->height;
  c.character = std::move(character);
  c.speed = kDefaultSpeed;
  c.idle_since = now;
  characters_[name] = std::move(c);
  SendChanges(now);
  return std::to_string(next_request_++);
}

void CharacterEngine::Unload(const std::string& name) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (characters_.erase(name) == 0) return;
  if (display_ != nullptr) display_->RemoveCharacter(name);
}

bool CharacterEngine::IsLoaded(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  return characters_.contains(name);
}

std::string CharacterEngine::Show(const std::string& name, bool fast) {
  Request r;
  r.kind = Kind::kShow;
  r.fast = fast;
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::Hide(const std::string& name, bool fast) {
  Request r;
  r.kind = Kind::kHide;
  r.fast = fast;
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::Speak(const std::string& name, std::string_view text, bool think) {
  Request r;
  r.kind = think ? Kind::kThink : Kind::kSpeak;
  r.text = std::string(text);
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::MoveTo(const std::string& name, int32_t x, int32_t y,
                                    std::optional<int32_t> ms) {
  Request r;
  r.kind = Kind::kMove;
  r.x = x;
  r.y = y;
  r.move_ms = ms && *ms >= 0 ? *ms : kDefaultMoveMs;
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::GestureAt(const std::string& name, int32_t x, int32_t y) {
  Request r;
  r.kind = Kind::kPlay;
  r.gesture = true;
  r.x = x;
  r.y = y;
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::Play(const std::string& name, std::string_view animation) {
  Request r;
  r.kind = Kind::kPlay;
  r.text = std::string(animation);
  return Enqueue(name, std::move(r));
}

std::string CharacterEngine::Enqueue(const std::string& name, Request r) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return {};
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) Settle(c, now);
  r.value = next_request_++;
  r.asked_at = now;
  const uint64_t value = r.value;
  it->second.queue.push_back(std::move(r));
  Settle(it->second, now);
  SendChanges(now);
  return std::to_string(value);
}

void CharacterEngine::Settle(Loaded& c, int64_t now) {
  while (!c.queue.empty()) {
    Request& r = c.queue.front();
    if (!r.started) Start(c, r, std::max(r.asked_at, c.idle_since));
    if (r.start + r.duration > now) return;
    Finish(c, r);
    c.idle_since = r.start + r.duration;
    c.queue.pop_front();
  }
}

void CharacterEngine::Start(Loaded& c, Request& r, int64_t at) {
  r.started = true;
  r.start = at;
  const Character& ch = *c.character;
  switch (r.kind) {
    case Kind::kShow:
      if (!r.fast && !c.shown) r.animation = ch.Find("Show");
      c.shown = true;
      break;
    case Kind::kHide:
      if (!c.shown) break;
      if (r.fast) {
        c.shown = false;
      } else {
        r.animation = ch.Find("Hide");
        r.hides = true;
      }
      break;
    case Kind::kSpeak:
    case Kind::kThink: {
      const SpeechText s = ReadSpeechText(r.text, c.speed);
      c.speed = s.speed;
      r.duration = s.duration_ms;
      if (!s.shown.empty()) {
        r.balloon.kind =
            r.kind == Kind::kThink ? BalloonView::Kind::kThought : BalloonView::Kind::kSpeech;
        r.balloon.text = s.shown;
        r.balloon.spoken = r.kind == Kind::kSpeak && s.spoken;
        r.balloon.speed = s.speed;
        r.balloon.request = r.value;
        if (r.balloon.spoken) {
          r.balloon.volume = s.volume;
          r.balloon.language = c.language;
          r.balloon.spoken_parts = s.parts;
        }
      }
      return;
    }
    case Kind::kMove:
      r.from_x = c.left;
      r.from_y = c.top;
      r.duration = r.move_ms;
      if (r.x != c.left || r.y != c.top) {
        r.animation = ch.Find(Towards(int64_t{r.x} - c.left, int64_t{r.y} - c.top, "MoveLeft",
                                      "MoveRight", "MoveUp", "MoveDown"));
      }
      return;
    case Kind::kPlay:
      if (r.gesture) {
        const int64_t dx = int64_t{r.x} - (int64_t{c.left} + c.width / 2);
        const int64_t dy = int64_t{r.y} - (int64_t{c.top} + c.height / 2);
        r.animation =
            ch.Find(Towards(dx, dy, "GestureLeft", "GestureRight", "GestureUp", "GestureDown"));
      } else {
        r.animation = ch.Find(r.text);
      }
      break;
  }
  r.duration = r.animation != nullptr ? r.animation->duration_ms() : 0;
}

void CharacterEngine::Finish(Loaded& c, const Request& r) {
  if (r.hides) c.shown = false;
  if (r.kind == Kind::kMove) {
    c.left = r.x;
    c.top = r.y;
  }
}

template <class Pick>
void CharacterEngine::Drop(Loaded& c, int64_t now, Pick drop) {
  if (c.queue.empty()) return;
  const Request& front = c.queue.front();
  if (front.started && drop(front)) {
    // A move stopped half-way leaves the character where it got to; a hide stopped leaves
    // it shown.
    PlaceAt(c, now, c.left, c.top);
    c.idle_since = now;
  }
  std::erase_if(c.queue, drop);
  Settle(c, now);
}

void CharacterEngine::Stop(const std::string& name, std::string_view request) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return;
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) Settle(c, now);
  Drop(it->second, now, [request](const Request& r) {
    return request.empty() || std::to_string(r.value) == request;
  });
  SendChanges(now);
}

void CharacterEngine::StopAll(const std::string& name, std::optional<std::string_view> types) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return;
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) Settle(c, now);
  std::vector<Kind> kinds;
  if (!types) {
    kinds = {Kind::kShow, Kind::kHide, Kind::kSpeak, Kind::kThink, Kind::kMove, Kind::kPlay};
  } else {
    std::string_view rest = *types;
    while (true) {
      const size_t comma = rest.find(',');
      const std::string_view type = Trimmed(rest.substr(0, comma));
      // Get and NonQueuedGet stop the loading of animation data, which this engine does
      // not do in the background.
      if (EqualsNoCase(type, "Move")) kinds.push_back(Kind::kMove);
      if (EqualsNoCase(type, "Play")) kinds.push_back(Kind::kPlay);
      if (EqualsNoCase(type, "Speak")) {
        kinds.push_back(Kind::kSpeak);
        kinds.push_back(Kind::kThink);
      }
      if (comma == std::string_view::npos) break;
      rest.remove_prefix(comma + 1);
    }
  }
  Drop(it->second, now, [&kinds](const Request& r) {
    return std::find(kinds.begin(), kinds.end(), r.kind) != kinds.end();
  });
  SendChanges(now);
}

void CharacterEngine::Interrupt(std::string_view request) {
  if (request.empty()) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) Settle(c, now);
  for (auto& [n, c] : characters_) {
    Drop(c, now, [request](const Request& r) { return std::to_string(r.value) == request; });
  }
  SendChanges(now);
}

void CharacterEngine::Activate(const std::string& name, int32_t state) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return;
  it->second.activate = state;
  SendChanges(MonotonicMs());
}

std::optional<int32_t> CharacterEngine::Get(const std::string& name, Property property) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return std::nullopt;
  Loaded& c = it->second;
  const int64_t now = MonotonicMs();
  Settle(c, now);
  int32_t left = 0;
  int32_t top = 0;
  PlaceAt(c, now, left, top);
  switch (property) {
    case Property::kLanguageId:
      return c.language;
    case Property::kHeight:
      return c.height;
    case Property::kWidth:
      return c.width;
    case Property::kLeft:
      return left;
    case Property::kTop:
      return top;
  }
  return std::nullopt;
}

bool CharacterEngine::Set(const std::string& name, Property property, int32_t value) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return false;
  Loaded& c = it->second;
  switch (property) {
    case Property::kLanguageId:
      c.language = value;
      break;
    case Property::kHeight:
      if (value < 1) return false;
      c.height = value;
      break;
    case Property::kWidth:
      if (value < 1) return false;
      c.width = value;
      break;
    case Property::kLeft:
    case Property::kTop:
      return false;
  }
  const int64_t now = MonotonicMs();
  for (auto& [n, ch] : characters_) Settle(ch, now);
  SendChanges(now);
  return true;
}

void CharacterEngine::SpeechHeard(uint64_t request, int64_t audio_ms) {
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) {
    Settle(c, now);
    if (c.queue.empty()) continue;
    Request& r = c.queue.front();
    if (r.started && r.kind == Kind::kSpeak && r.value == request) {
      r.duration = std::max(r.duration, now - r.start + std::max<int64_t>(audio_ms, 0));
    }
  }
  SendChanges(now);
}

void CharacterEngine::Refresh() {
  std::lock_guard<std::mutex> lock(mutex_);
  const int64_t now = MonotonicMs();
  for (auto& [n, c] : characters_) Settle(c, now);
  SendChanges(now);
}

std::optional<CharacterView> CharacterEngine::View(const std::string& name) const {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = characters_.find(name);
  if (it == characters_.end()) return std::nullopt;
  const int64_t now = MonotonicMs();
  Settle(it->second, now);
  return ViewOf(name, it->second, now);
}

void CharacterEngine::PlaceAt(const Loaded& c, int64_t now, int32_t& left, int32_t& top) {
  left = c.left;
  top = c.top;
  if (c.queue.empty()) return;
  const Request& r = c.queue.front();
  if (!r.started || r.kind != Kind::kMove || r.duration <= 0) return;
  const int64_t elapsed = std::clamp<int64_t>(now - r.start, 0, r.duration);
  left = static_cast<int32_t>(r.from_x + Along(int64_t{r.x} - r.from_x, elapsed, r.duration));
  top = static_cast<int32_t>(r.from_y + Along(int64_t{r.y} - r.from_y, elapsed, r.duration));
}

CharacterView CharacterEngine::ViewOf(const std::string& name, const Loaded& c, int64_t now) const {
  CharacterView v;
  v.name = name;
  v.character = c.character;
  v.width = c.width;
  v.height = c.height;
  v.shown = c.shown;
  v.on_top = c.activate == 2;
  PlaceAt(c, now, v.left, v.top);
  const Character& ch = *c.character;
  const Animation* rest = ch.Find("RestPose");
  v.frame = rest != nullptr ? FrameAt(*rest, now - c.idle_since, false) : 0;
  if (c.queue.empty() || !c.queue.front().started) return v;
  const Request& r = c.queue.front();
  const int64_t elapsed = now - r.start;
  if (r.animation != nullptr) {
    v.frame = FrameAt(*r.animation, elapsed, r.kind == Kind::kMove);
  } else if (r.kind == Kind::kSpeak && !ch.speaking.empty()) {
    Animation speaking;
    speaking.steps = ch.speaking;
    v.frame = FrameAt(speaking, elapsed, true);
  }
  if (c.shown && r.balloon.kind != BalloonView::Kind::kNone) {
    v.balloon = r.balloon;
    v.balloon.x = v.left + ch.balloon_x;
    v.balloon.y = v.top + ch.balloon_y;
  }
  return v;
}

void CharacterEngine::SendChanges(int64_t now) {
  if (display_ == nullptr) return;
  for (auto& [name, c] : characters_) {
    CharacterView v = ViewOf(name, c, now);
    if (c.sent && *c.sent == v) continue;
    display_->ShowCharacter(v);
    c.sent = std::move(v);
  }
}

}  // namespace platform::agent
