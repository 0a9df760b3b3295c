// Control families: what the controls of a kind of control share, in one descriptor per
// family: its types, its property table, whether it takes text or the focus, whether it holds
// other controls, what a click on it does, how its control is made and what its declaration
// implies, and the few behaviours only some families have (pages, menu entries). The window asks
// the family of a control's type instead of switching on the type, so a new family is one
// descriptor and its registration.
//
//   constexpr ControlType kTypes[] = {ControlType::kButton};
//   constexpr ControlFamily kButtonFamily{.name = "button", .types = kTypes,
//                                         .properties = ControlProperties, .takes_focus = true,
//                                         .click = ClickAction::kPress};
//   RegisterControlFamily(kButtonFamily);
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/ui/codes.h"
#include "platform/ui/property_table.h"

namespace platform::ui {

class Control;
class Window;
struct ControlDecl;

// What a click (or the control's key) does to a control of the family.
enum class ClickAction {
  kFocus,         // takes the focus when it can
  kNothing,       // a menu: it only opens
  kAccept,        // a menu item, a region: Accepted
  kPress,         // a button: the focus, then Accepted
  kToggle,        // a check box: its screen text toggles, then Accepted
  kChooseOption,  // a radio: its value onto its option's screen, the option Accepted
  kChooseTab,     // a tab: its sheet chooses it (TabChanging, NewSelection)
};

struct ControlFamily {
  std::string_view name;
  std::span<const ControlType> types;
  // The family's property table.
  const PropertyTable& (*properties)();
  bool takes_text = false;   // its screen text goes into its variable when accepted
  bool takes_focus = false;  // the focus can rest on it
  bool container = false;    // other controls name it as their parent
  ClickAction click = ClickAction::kFocus;
  // Makes a control of the family; null makes a plain Control with the family's table.
  std::unique_ptr<Control> (*make)(Window& window, FieldId field, ControlType type,
                                   std::string equate, FieldId parent) = nullptr;
  // Arriving in the control reports Selected (when it takes the focus at all).
  bool reports_selected = true;
  // A menu or menu item: numbered -1, -2, ... and its click is no mouse press.
  bool menu_entry = false;
  // A page of its parent (a tab): its controls show only while the parent chooses it, and
  // SELECT of it chooses it.
  bool page = false;
  // Choosing another page (Selected) changes which controls show (a sheet).
  bool chooses_pages = false;
  // Choosing a row also accepts it (a drop list).
  bool accepts_chosen_row = false;
  // Up and down step through the rows (a spin).
  bool steps_rows = false;
  // Its Text is a caption, which the translator translates.
  bool caption = false;
  // Bound to a variable, it shows the variable instead of its Text (a string).
  bool bound_shows_variable = false;
  // Made at run time (CREATE), it takes the size of its text and font until the program
  // gives it one (a string, a button): Width and Height answer that size.
  bool sizes_to_text = false;
  // A left press on it acts at once (a region): the press is its click, and when the control
  // is immediate (Imm) the release reports MouseUp.
  bool acts_on_press = false;
  // Sets what the declaration implies beyond the attributes every control takes; null for
  // nothing more.
  void (*declare)(Control& control, const ControlDecl& decl) = nullptr;
};

// Registers `family` for each of its types (constant data; must outlive the process's use of
// it). A type registered again takes the last family, so a test can add or replace one.
// The built-in families are registered before the first lookup. Any thread.
void RegisterControlFamily(const ControlFamily& family);
// The family of `type`; a plain family (the control table, no text, no focus) for a type no
// family lists. Any thread.
const ControlFamily& FamilyOf(ControlType type);

}  // namespace platform::ui
