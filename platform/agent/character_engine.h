// The character engine: the loaded characters and what each is doing, headless.
//
// Each character has a queue of requests, carried out one after the other. A request's
// effect at any moment follows from when it was asked for, what came before it and the
// monotonic clock (MonotonicMs), so nothing has to tick the engine: every call first brings
// the state up to now, and Refresh() does only that, for a display that wants to follow the
// animation. After each call the display hears of every character whose view changed.
//
// Every request answers its request value, a decimal counter of the engine; a request for a
// character that is not loaded answers empty and does nothing.
//
// Any thread; the engine's state sits under its own small mutex, never under the runtime
// lock, so the GUI thread may call Refresh() and View() at any time.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "platform/agent/automation.h"
#include "platform/agent/character.h"
#include "platform/agent/character_display.h"

namespace platform::agent {

// The two-argument MoveTo takes this long.
inline constexpr int32_t kDefaultMoveMs = 1000;

class CharacterEngine {
 public:
  // `display` may be null (nothing shown) and must outlive the engine.
  // The display hears of the engine (Attach) here; at the end, that every character still
  // loaded is gone, and then of the engine's end (Detach).
  explicit CharacterEngine(CharacterDisplay* display = nullptr);
  ~CharacterEngine();
  CharacterEngine(const CharacterEngine&) = delete;
  CharacterEngine& operator=(const CharacterEngine&) = delete;

  // Loads `character` under `name`, hidden, at (0, 0), at the character's size; a character
  // loaded before under that name is replaced.
  std::string Load(const std::string& name, std::shared_ptr<const Character> character);
  void Unload(const std::string& name);
  bool IsLoaded(const std::string& name) const;

  // Show: `fast` shows at once, else the Show animation plays; nothing on a shown character.
  // Hide likewise with the Hide animation.
  std::string Show(const std::string& name, bool fast);
  std::string Hide(const std::string& name, bool fast);
  // A speech or thought balloon with `text` (its speech tags read, see speech_text.h).
  std::string Speak(const std::string& name, std::string_view text, bool think);
  // Moves in `ms` milliseconds (0 jumps; none, or a negative time, takes kDefaultMoveMs).
  std::string MoveTo(const std::string& name, int32_t x, int32_t y, std::optional<int32_t> ms);
  // Plays GestureLeft, GestureRight, GestureUp or GestureDown towards (x, y), seen from the
  // character's centre.
  std::string GestureAt(const std::string& name, int32_t x, int32_t y);
  // Plays `animation`; a name the character lacks completes at once.
  std::string Play(const std::string& name, std::string_view animation);

  // Drops request `request` of the character, or every request when it is empty.
  void Stop(const std::string& name, std::string_view request);
  // Drops every request, or those of the kinds listed in `types` ("Move", "Play", "Speak",
  // "Get", "NonQueuedGet"; separated by commas, any case).
  void StopAll(const std::string& name, std::optional<std::string_view> types);
  // Drops request `request` of whatever character has it; nothing when it is empty.
  void Interrupt(std::string_view request);
  // Activate state: 2 keeps the character on top of other windows.
  void Activate(const std::string& name, int32_t state);

  // LanguageID, Height, Width, Left and Top; nullopt for a character not loaded. Left and
  // Top follow the character during a move.
  std::optional<int32_t> Get(const std::string& name, Property property) const;
  // Sets LanguageID, Height or Width (a size below 1 is ignored); false for Left, Top or a
  // character not loaded.
  bool Set(const std::string& name, Property property, int32_t value);

  // The speech of request `request` is heard from now on for `audio_ms`: a Speak request
  // that runs now lasts at least as long, so its balloon stays while it is said and what
  // follows waits for it. Nothing for any other request.
  void SpeechHeard(uint64_t request, int64_t audio_ms);

  // Brings every character up to now and tells the display what changed.
  void Refresh();
  // What character `name` shows now; nullopt when it is not loaded.
  std::optional<CharacterView> View(const std::string& name) const;

 private:
  enum class Kind { kShow, kHide, kSpeak, kThink, kMove, kPlay };
  struct Request {
    uint64_t value = 0;
    Kind kind = Kind::kPlay;
    bool fast = false;
    std::string text;  // Speak, Think: as asked; Play: the animation's name
    int32_t x = 0;     // Move, gesture: the point
    int32_t y = 0;
    int32_t move_ms = 0;
    bool gesture = false;
    int64_t asked_at = 0;
    // Set when the request starts.
    bool started = false;
    int64_t start = 0;
    int64_t duration = 0;
    const Animation* animation = nullptr;
    int32_t from_x = 0;
    int32_t from_y = 0;
    bool hides = false;  // a slow hide of a shown character: hidden once it ends
    BalloonView balloon;
  };
  struct Loaded {
    std::shared_ptr<const Character> character;
    int32_t language = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool shown = false;
    int32_t activate = 0;
    int32_t speed = 0;  // the speech speed the last text left
    std::deque<Request> queue;
    int64_t idle_since = 0;  // when the last request ended
    std::optional<CharacterView> sent;
  };

  // Carries out what has finished by `now`, and starts what follows.
  static void Settle(Loaded& c, int64_t now);
  static void Start(Loaded& c, Request& r, int64_t at);
  static void Finish(Loaded& c, const Request& r);
  // Drops the requests `drop` picks, leaving the character where it is at `now`.
  template <class Pick>
  void Drop(Loaded& c, int64_t now, Pick drop);
  std::string Enqueue(const std::string& name, Request r);
  CharacterView ViewOf(const std::string& name, const Loaded& c, int64_t now) const;
  void SendChanges(int64_t now);
  // The character's place at `now`: along its move while one runs.
  static void PlaceAt(const Loaded& c, int64_t now, int32_t& left, int32_t& top);

  CharacterDisplay* const display_;

  // State below is protected by mutex_. Get and View settle it too, hence mutable.
  mutable std::mutex mutex_;
  mutable std::map<std::string, Loaded> characters_;
  uint64_t next_request_ = 1;
};

}  // namespace platform::agent
