#include "platform/ui/control_family.h"

#include <map>
#include <mutex>

#include "platform/ui/control.h"
#include "platform/ui/image_control.h"
#include "platform/ui/list_control.h"
#include "platform/ui/ole_control.h"
#include "platform/ui/structure.h"

namespace platform::ui {
namespace {

using T = ControlType;

std::unique_ptr<Control> MakeList(Window& window, FieldId field, ControlType type,
                                  std::string equate, FieldId parent) {
  return std::make_unique<ListControl>(window, field, type, std::move(equate), parent);
}

std::unique_ptr<Control> MakeOle(Window& window, FieldId field, ControlType type,
                                 std::string equate, FieldId parent) {
  return std::make_unique<OleControl>(window, field, type, std::move(equate), parent);
}

constexpr ControlType kPlainTypes[] = {T::kLine, T::kBox, T::kEllipse, T::kProgress};
constexpr ControlType kRegionTypes[] = {T::kRegion};
constexpr ControlType kLabelTypes[] = {T::kString, T::kPrompt};
constexpr ControlType kImageTypes[] = {T::kImage};
constexpr ControlType kEntryTypes[] = {T::kEntry, T::kText};
constexpr ControlType kButtonTypes[] = {T::kButton};
constexpr ControlType kCheckTypes[] = {T::kCheck};
constexpr ControlType kOptionTypes[] = {T::kOption};
constexpr ControlType kRadioTypes[] = {T::kRadio};
constexpr ControlType kGroupTypes[] = {T::kGroup};
constexpr ControlType kPanelTypes[] = {T::kPanel};
constexpr ControlType kListTypes[] = {T::kList};
constexpr ControlType kComboTypes[] = {T::kCombo, T::kDropCombo};
constexpr ControlType kDropListTypes[] = {T::kDropList};
constexpr ControlType kSpinTypes[] = {T::kSpin};
constexpr ControlType kSheetTypes[] = {T::kSheet};
constexpr ControlType kTabTypes[] = {T::kTab};
constexpr ControlType kMenubarTypes[] = {T::kMenubar};
constexpr ControlType kMenuTypes[] = {T::kMenu};
constexpr ControlType kItemTypes[] = {T::kItem};
constexpr ControlType kOleTypes[] = {T::kOle};

// A radio without a value of its own stands for its text.
void DeclareRadio(Control& c, const ControlDecl& d) {
  c.Set(Prop::Value, d.value.empty() ? d.text : d.value);
}

// A sheet opens on its first tab.
void DeclareSheet(Control& c, const ControlDecl& /*d*/) { c.Set(Prop::Selected, "1"); }

// An OLE control declared with a server name holds its object from the start.
void DeclareOle(Control& c, const ControlDecl& d) {
  if (auto* o = dynamic_cast<OleControl*>(&c); o != nullptr && !d.server.empty()) {
    // Ignoring the answer on purpose: an unknown server leaves OLE false, as at run time.
    (void)o->Create(d.server);
  }
}

using A = ClickAction;
constexpr ControlFamily kBuiltIn[] = {
    {.name = "plain", .types = kPlainTypes, .properties = ControlProperties},
    {.name = "region",
     .types = kRegionTypes,
     .properties = ControlProperties,
     .click = A::kAccept,
     .acts_on_press = true},
    {.name = "image",
     .types = kImageTypes,
     .properties = ControlProperties,
     .click = A::kFocus,
     .make = MakeImageControl},
    {.name = "label",
     .types = kLabelTypes,
     .properties = ControlProperties,
     .caption = true,
     .bound_shows_variable = true,
     .sizes_to_text = true},
    {.name = "entry",
     .types = kEntryTypes,
     .properties = ControlProperties,
     .takes_text = true,
     .takes_focus = true},
    {.name = "button",
     .types = kButtonTypes,
     .properties = ControlProperties,
     .takes_focus = true,
     .click = A::kPress,
     .reports_selected = false,
     .caption = true,
     .sizes_to_text = true},
    {.name = "check",
     .types = kCheckTypes,
     .properties = ControlProperties,
     .takes_text = true,
     .takes_focus = true,
     .click = A::kToggle,
     .caption = true},
    {.name = "option",
     .types = kOptionTypes,
     .properties = ControlProperties,
     .takes_text = true,
     .takes_focus = true,
     .container = true,
     .caption = true},
    {.name = "radio",
     .types = kRadioTypes,
     .properties = ControlProperties,
     .takes_focus = true,
     .click = A::kChooseOption,
     .caption = true,
     .declare = DeclareRadio},
    {.name = "group",
     .types = kGroupTypes,
     .properties = ControlProperties,
     .container = true,
     .caption = true},
    {.name = "panel", .types = kPanelTypes, .properties = ControlProperties, .container = true},
    {.name = "list",
     .types = kListTypes,
     .properties = ListProperties,
     .takes_focus = true,
     .make = MakeList},
    {.name = "combo",
     .types = kComboTypes,
     .properties = ListProperties,
     .takes_text = true,
     .takes_focus = true,
     .make = MakeList},
    {.name = "drop list",
     .types = kDropListTypes,
     .properties = ListProperties,
     .takes_text = true,
     .takes_focus = true,
     .make = MakeList,
     .accepts_chosen_row = true},
    {.name = "spin",
     .types = kSpinTypes,
     .properties = ListProperties,
     .takes_text = true,
     .takes_focus = true,
     .make = MakeList,
     .steps_rows = true},
    {.name = "sheet",
     .types = kSheetTypes,
     .properties = SheetProperties,
     .takes_focus = true,
     .container = true,
     .chooses_pages = true,
     .declare = DeclareSheet},
    {.name = "tab",
     .types = kTabTypes,
     .properties = ControlProperties,
     .container = true,
     .click = A::kChooseTab,
     .page = true,
     .caption = true},
    // The bar holds the menus; it has no number of its own.
    {.name = "menu bar",
     .types = kMenubarTypes,
     .properties = MenuProperties,
     .container = true,
     .click = A::kNothing},
    {.name = "menu",
     .types = kMenuTypes,
     .properties = MenuProperties,
     .container = true,
     .click = A::kNothing,
     .menu_entry = true,
     .caption = true},
    {.name = "menu item",
     .types = kItemTypes,
     .properties = MenuProperties,
     .click = A::kAccept,
     .menu_entry = true,
     .caption = true},
    {.name = "ole",
     .types = kOleTypes,
     .properties = OleProperties,
     .click = A::kNothing,
     .make = MakeOle,
     .declare = DeclareOle},
};

constexpr ControlFamily kUnknown{"plain", {}, ControlProperties};

struct FamilyRegistry {
  std::mutex mutex;
  std::map<ControlType, const ControlFamily*> by_type;
  FamilyRegistry() {
    for (const ControlFamily& f : kBuiltIn) {
      for (ControlType t : f.types) by_type[t] = &f;
    }
  }
};

FamilyRegistry& Families() {
  static FamilyRegistry r;
  return r;
}

}  // namespace

void RegisterControlFamily(const ControlFamily& family) {
  FamilyRegistry& r = Families();
  std::lock_guard lock(r.mutex);
  for (ControlType t : family.types) r.by_type[t] = &family;
}

const ControlFamily& FamilyOf(ControlType type) {
  FamilyRegistry& r = Families();
  std::lock_guard lock(r.mutex);
  const auto it = r.by_type.find(type);
  return it != r.by_type.end() ? *it->second : kUnknown;
}

}  // namespace platform::ui
