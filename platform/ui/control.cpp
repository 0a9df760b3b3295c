#include "platform/ui/control.h"

#include "platform/ui/control_family.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/window.h"

namespace platform::ui {
namespace {

constexpr int32_t kAlertSlots = 255;

}  // namespace

Control::Control(Window& window, FieldId field, ControlType type, std::string equate,
                 FieldId parent)
    : Control(window, field, type, std::move(equate), parent, FamilyOf(type).properties()) {}

Control::Control(Window& window, FieldId field, ControlType type, std::string equate,
                 FieldId parent, const PropertyTable& table)
    : window_(window),
      field_(field),
      type_(type),
      equate_(std::move(equate)),
      parent_(parent),
      props_(table) {}

std::string Control::Get(Prop p, int32_t index) const {
  switch (p) {
    case Prop::Type:
      return std::to_string(static_cast<int32_t>(type_));
    case Prop::Parent:
      return std::to_string(parent_);
    case Prop::Child: {
      // Empty past the last child, as the runtime answers.
      const FieldId child = window_.Child(field_, index);
      return child != kNoField ? std::to_string(child) : std::string();
    }
    case Prop::ChildIndex: {
      // Menu entries count among menu entries (the menu bar holds the menus), other controls
      // among other controls.
      int32_t index = 0;
      for (int32_t i = 1;; ++i) {
        const FieldId sibling = window_.Child(parent_, i);
        if (sibling == kNoField) return std::string();
        if ((sibling < 0) != (field_ < 0)) continue;
        ++index;
        if (sibling == field_) return std::to_string(index);
      }
    }
    case Prop::Visible:
      return window_.IsVisible(*this) ? "1" : "";
    case Prop::Width:
    case Prop::Height:
      return Extent(p);
    default:
      return props_.Get(p, index);
  }
}

std::string Control::Extent(Prop p) const {
  std::string stored = props_.Get(p);
  if (!sizes_to_text_ || TextToNumber(stored) != 0) return stored;
  // The text and font decide the size; it is measured again only when either changed.
  const bool pixels = !window_.Get(kNoField, Prop::Pixels).empty();
  std::string key = text() + (pixels ? "\x01p" : "\x01u");
  for (Prop font : {Prop::Font, Prop::FontSize, Prop::FontStyle, Prop::FontCharSet}) {
    key += '\x01' + props_.Get(font);
  }
  if (key != natural_key_) {
    ControlView v;
    v.field = field_;
    v.type = type_;
    v.text = text();
    v.properties = props_.values();
    const SizePx px = detail::Backend().NaturalSize(window_.handle(), v);
    const TextMetrics m = detail::Backend().Metrics();
    // Whole units, rounded up, so the text always fits.
    const auto units = [&](int32_t size, int32_t per, int32_t unit) {
      if (pixels || per <= 0) return size;
      return (size * unit + per - 1) / per;
    };
    natural_.width = units(px.width, m.average_char_width_px, 4);
    natural_.height = units(px.height, m.char_height_px, 8);
    natural_key_ = std::move(key);
  }
  return std::to_string(p == Prop::Width ? natural_.width : natural_.height);
}

void Control::Set(Prop p, std::string_view value, int32_t index) {
  AssertRuntimeLockHeld();
  if (p == Prop::ScreenText) {
    SetScreenTextFromProgram(value);
    return;
  }
  if (const PropertyDef* def = props_.Set(p, value, index)) Changed(*def, index);
}

void Control::SetNumber(Prop p, int64_t value, int32_t index) {
  Set(p, std::to_string(value), index);
}

int64_t Control::GetNumber(Prop p, int32_t index) const {
  return static_cast<int64_t>(TextToNumber(Get(p, index)));
}

void Control::Changed(const PropertyDef& def, int32_t /*index*/) {
  if (!def.shown) return;
  dirty_ = true;
  // Showing and hiding, and choosing another tab, change what the controls inside show.
  const bool layout =
      def.prop == Prop::Hide || (def.prop == Prop::Selected && FamilyOf(type_).chooses_pages);
  window_.NoteChanged({}, *this, layout);
}

bool Control::IsAlerted(KeyCode key) const {
  if (key == 0) return false;
  const std::string k = std::to_string(key);
  for (const auto& [slot, value] : props_.values()) {
    if (slot.first == static_cast<int32_t>(Prop::Alrt) && value == k) return true;
  }
  return false;
}

void Control::Alert(KeyCode key) {
  if (IsAlerted(key)) return;
  for (int32_t slot = 1; slot <= kAlertSlots; ++slot) {
    if (GetNumber(Prop::Alrt, slot) == 0) {
      SetNumber(Prop::Alrt, key, slot);
      return;
    }
  }
}

bool Control::TakesText() const { return FamilyOf(type_).takes_text; }

bool Control::TakesFocus() const { return FamilyOf(type_).takes_focus; }

void Control::DisplayVariable() {
  AssertRuntimeLockHeld();
  if (!use_) return;
  std::string value = use_.read();
  // Rewriting only a changed variable keeps what the user is typing: the screen text is
  // the user's until it is accepted, unless the program changed the variable meanwhile.
  if (shown_valid_ && value == shown_) return;
  shown_ = value;
  shown_valid_ = true;
  SetScreenTextFromProgram(value);
}

void Control::ForceDisplay() {
  AssertRuntimeLockHeld();
  if (!use_) return;
  shown_valid_ = false;
  DisplayVariable();
}

void Control::ShowVariable() {
  AssertRuntimeLockHeld();
  if (!use_) return;
  const std::string value = use_.read();
  const bool showing = shown_valid_ && value == shown_ && screen_text() == value;
  shown_ = value;
  shown_valid_ = true;
  if (!showing) SetScreenTextFromProgram(value);
}

void Control::UpdateVariable() {
  AssertRuntimeLockHeld();
  props_.Set(Prop::Touched, "");
  if (!use_) return;
  use_.write(screen_text());
  // The variable may cut the text to its declared size; what it holds now is what was shown.
  shown_ = use_.read();
  shown_valid_ = true;
}

void Control::AcceptScreen() {
  UpdateVariable();
  if (use_ && shown_ != screen_text()) SetScreenTextFromProgram(shown_);
}

void Control::SetScreenTextFromUser(Badge<Window>, std::string_view text) {
  AssertRuntimeLockHeld();
  props_.Set(Prop::ScreenText, text);
  props_.Set(Prop::Touched, "1");
}

void Control::SetScreenTextFromProgram(std::string_view text) {
  AssertRuntimeLockHeld();
  props_.Set(Prop::ScreenText, text);
  props_.Set(Prop::Touched, "");
  ++screen_serial_;
  dirty_ = true;
  window_.NoteChanged({}, *this, false);
}

ControlView Control::View() const {
  ControlView v;
  v.field = field_;
  v.type = type_;
  v.equate = equate_;
  v.parent = parent_;
  v.at = {static_cast<int32_t>(GetNumber(Prop::Xpos)), static_cast<int32_t>(GetNumber(Prop::Ypos)),
          static_cast<int32_t>(GetNumber(Prop::Width)),
          static_cast<int32_t>(GetNumber(Prop::Height))};
  v.text = text();
  v.screen_text = screen_text();
  v.screen_serial = screen_serial_;
  v.visible = window_.IsVisible(*this);
  v.enabled = !disabled();
  v.selected = selected();
  v.properties = props_.values();
  return v;
}

void Control::Flush(Badge<Window>, DisplayBackend& backend, WindowHandle window) {
  if (!dirty_) return;
  dirty_ = false;
  backend.UpdateControl(window, View());
}

}  // namespace platform::ui
