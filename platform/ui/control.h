// A control of an open window: its field number, equate text, type, parent, position and
// property store, and the variable it shows (USE). Lists and combos add their rows in
// list_control.h.
//
// Programmatic changes (properties, DISPLAY, SELECT) never post an event; user input, fed
// back by the backend, is turned into events by the window (window.cpp).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>

#include "platform/core/fixed_string.h"
#include "platform/core/number.h"
#include "platform/ui/backend.h"
#include "platform/ui/badge.h"
#include "platform/ui/codes.h"
#include "platform/ui/property_table.h"
#include "platform/ui/structure.h"

namespace platform::ui {

class Window;

// A variable a control shows, read and written as text.
struct Binding {
  std::function<std::string()> read;
  std::function<void(std::string_view)> write;
  explicit operator bool() const { return static_cast<bool>(read); }
};

// A binding to `variable`: a sized text (cut to its declared size on write) or a number.
template <class T>
Binding BindTo(T& variable) {
  if constexpr (std::is_base_of_v<TextBase, T>) {
    return {[&variable] { return std::string(variable.view()); },
            [&variable](std::string_view text) { variable = text; }};
  } else if constexpr (std::is_same_v<T, std::string>) {
    return {[&variable] { return variable; },
            [&variable](std::string_view text) { variable = std::string(text); }};
  } else {
    static_assert(std::is_arithmetic_v<T>, "USE needs a text or a number");
    return {[&variable] { return NumberToText(static_cast<double>(variable)); },
            [&variable](std::string_view text) { variable = static_cast<T>(TextToNumber(text)); }};
  }
}

class Control {
 public:
  Control(Window& window, FieldId field, ControlType type, std::string equate, FieldId parent);
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  FieldId field() const { return field_; }
  ControlType type() const { return type_; }
  const std::string& equate() const { return equate_; }
  FieldId parent() const { return parent_; }
  Window& window() const { return window_; }

  // Properties by number. Requires the runtime lock. A property the control does not have
  // reads as "" and ignores a set. A set that changes a shown value marks the control for
  // the display; it never posts an event.
  virtual std::string Get(Prop p, int32_t index = 0) const;
  virtual void Set(Prop p, std::string_view value, int32_t index = 0);
  void SetNumber(Prop p, int64_t value, int32_t index = 0);
  int64_t GetNumber(Prop p, int32_t index = 0) const;

  // Typed accessors, through the same table.
  std::string text() const { return Get(Prop::Text); }
  void SetText(std::string_view text) { Set(Prop::Text, text); }
  std::string screen_text() const { return Get(Prop::ScreenText); }
  bool hidden() const { return !Get(Prop::Hide).empty(); }
  bool disabled() const { return !Get(Prop::Disable).empty(); }
  bool imm() const { return !Get(Prop::Imm).empty(); }
  bool skip() const { return !Get(Prop::Skip).empty(); }
  bool touched() const { return !Get(Prop::Touched).empty(); }
  StdAction std_action() const { return static_cast<StdAction>(GetNumber(Prop::Std)); }
  KeyCode key() const { return static_cast<KeyCode>(GetNumber(Prop::Key)); }
  int32_t selected() const { return static_cast<int32_t>(GetNumber(Prop::Selected)); }

  // Alerted keys (ALRT): up to 255 slots. Alert() takes the first free slot.
  bool IsAlerted(KeyCode key) const;
  void Alert(KeyCode key);

  // True for the kinds whose screen text goes into their variable when accepted.
  bool TakesText() const;
  // True for the kinds the focus can rest on.
  bool TakesFocus() const;

  // USE: the variable this control shows. Requires the runtime lock.
  void Bind(Binding binding) { use_ = std::move(binding); }
  bool bound() const { return static_cast<bool>(use_); }
  // DISPLAY: rewrites the screen from the variable when the variable changed since it was
  // last shown or accepted; leaves the screen (and what the user is typing) alone otherwise.
  void DisplayVariable();
  // The same, whatever the variable did (opening the window, CHANGE).
  void ForceDisplay();
  // DISPLAY of a control the user is not typing in: the screen shows the variable whatever
  // it showed before; nothing is sent when it shows it already.
  void ShowVariable();
  // UPDATE: the screen text into the variable.
  void UpdateVariable();
  // Accepted: the screen text into the variable, and the variable back onto the screen
  // when it holds the text differently (cut to its declared size, or a number).
  void AcceptScreen();
  // Sets the screen text as the user typed it; Touched until accepted. The window calls it
  // with the user's input from the backend.
  void SetScreenTextFromUser(Badge<Window>, std::string_view text);
  // Sets the screen text as the program does; the display shows it.
  void SetScreenTextFromProgram(std::string_view text);

  // CREATE made the control of a family that sizes to its text: a Width or Height of 0
  // answers the size its text and font take, in the window's units.
  void SizeToText(Badge<Window>) { sizes_to_text_ = true; }

  // For the display.
  virtual ControlView View() const;
  bool dirty() const { return dirty_; }
  void MarkDirty(Badge<Window>) { MarkDirty(); }
  // Sends what changed since the last flush. Requires the runtime lock.
  virtual void Flush(Badge<Window> key, DisplayBackend& backend, WindowHandle window);

 protected:
  Control(Window& window, FieldId field, ControlType type, std::string equate, FieldId parent,
          const PropertyTable& table);
  // Called after a shown property changed.
  virtual void Changed(const PropertyDef& def, int32_t index);
  // Width or Height as stored, or, while that is 0 on a control that sizes to its text, the
  // size its text takes.
  std::string Extent(Prop p) const;
  const PropertyStore& store() const { return props_; }
  void MarkDirty() { dirty_ = true; }

 private:
  Window& window_;
  const FieldId field_;
  const ControlType type_;
  const std::string equate_;
  const FieldId parent_;
  PropertyStore props_;
  Binding use_;
  std::string shown_;           // the variable's text when last shown or accepted
  bool shown_valid_ = false;    // false until the variable was first shown
  uint64_t screen_serial_ = 0;  // moves when the program sets the screen text
  bool dirty_ = true;
  bool sizes_to_text_ = false;
  // The size last measured for the text and font in `natural_key_`, in the window's units.
  mutable std::string natural_key_;
  mutable RectDu natural_;
};

}  // namespace platform::ui
