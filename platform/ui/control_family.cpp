#include "platform/ui/control_family.h"

#include <map>
#include <mutex>

#include "platform/ui/control.h"
#include "platform/ui/image_control.h"
#include "platform/ui/list_control.h"

namespace platform::ui {
namespace {

using T = ControlType;

std::unique_ptr<Control> MakeList(Window& window, FieldId field, ControlType type,
                                  std::string equate, FieldId parent) {
  return std::make_unique<ListControl>(window, field, type, std::move(equate), parent);
}

constexpr ControlType kPlainTypes[] = {T::kString,  T::kRegion, T::kLine, T::kBox,
                                       T::kEllipse, T::kPrompt, T::kOle,  T::kProgress};
constexpr ControlType kImageTypes[] = {T::kImage};
constexpr ControlType kEntryTypes[] = {T::kEntry, T::kText};
constexpr ControlType kButtonTypes[] = {T::kButton};
constexpr ControlType kCheckTypes[] = {T::kCheck};
constexpr ControlType kOptionTypes[] = {T::kOption};
constexpr ControlType kRadioTypes[] = {T::kRadio};
constexpr ControlType kGroupTypes[] = {T::kGroup, T::kPanel};
constexpr ControlType kListTypes[] = {T::kList};
constexpr ControlType kComboTypes[] = {T::kCombo, T::kSpin, T::kDropList, T::kDropCombo};
constexpr ControlType kSheetTypes[] = {T::kSheet};
constexpr ControlType kTabTypes[] = {T::kTab};
constexpr ControlType kMenuTypes[] = {T::kMenubar, T::kMenu};
constexpr ControlType kItemTypes[] = {T::kItem};

using A = ClickAction;
constexpr ControlFamily kBuiltIn[] = {
    {"plain", kPlainTypes, ControlProperties},
    {"image", kImageTypes, ControlProperties, false, false, false, A::kFocus, MakeImageControl},
    {"entry", kEntryTypes, ControlProperties, /*takes_text=*/true, /*takes_focus=*/true},
    {"button", kButtonTypes, ControlProperties, false, true, false, A::kPress},
    {"check", kCheckTypes, ControlProperties, true, true, false, A::kToggle},
    {"option", kOptionTypes, ControlProperties, true, true, /*container=*/true},
    {"radio", kRadioTypes, ControlProperties, false, true, false, A::kChooseOption},
    {"group", kGroupTypes, ControlProperties, false, false, true},
    {"list", kListTypes, ListProperties, false, true, false, A::kFocus, MakeList},
    {"combo", kComboTypes, ListProperties, true, true, false, A::kFocus, MakeList},
    {"sheet", kSheetTypes, SheetProperties, false, true, true},
    {"tab", kTabTypes, ControlProperties, false, false, true, A::kChooseTab},
    {"menu", kMenuTypes, MenuProperties, false, false, true, A::kNothing},
    {"menu item", kItemTypes, MenuProperties, false, false, false, A::kAccept},
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
