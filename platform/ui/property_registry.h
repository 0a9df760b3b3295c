// The property registry: every property number the runtime knows, once, with the name the
// program's texts give it, the kind of value it holds, whether it takes an index and which
// families of objects have it. The families' property tables (property_table.h) say how each
// family stores a property; this registry is what lists, names and looks them up.
//
//   const PropertyInfo* p = FindProperty("FontColor");   // p->prop == Prop::FontColor
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ui/prop.h"

namespace platform::ui {

// What a property's value means, for the windows that list and edit properties.
enum class ValueKind : uint8_t {
  kText,
  kNumber,
  kFlag,     // "1" or ""
  kColour,   // a stored colour: RGB, a system colour 80000000h + n, or -1 for none
  kPicture,  // a picture's or icon's file name
  kKey,      // a key code
};

// The families of objects a property belongs to, as bits.
using Families = uint16_t;
inline constexpr Families kFamilyControl = 1 << 0;  // every control
inline constexpr Families kFamilyList = 1 << 1;     // lists, combos, drop lists, spins
inline constexpr Families kFamilySheet = 1 << 2;
inline constexpr Families kFamilyWindow = 1 << 3;
inline constexpr Families kFamilySystem = 1 << 4;
inline constexpr Families kFamilyMenu = 1 << 5;  // menus and menu items
inline constexpr Families kFamilyOle = 1 << 6;   // OLE controls
inline constexpr Families kAllFamilies = (1 << 7) - 1;

struct PropertyInfo {
  Prop prop;
  std::string_view name;
  ValueKind kind;
  bool indexed;
  Families families;
  bool read_only = false;  // answered or reported by the runtime; the program's set is ignored
};

// Every registered property, in ascending order of number.
std::span<const PropertyInfo> AllProperties();
// The row of `p`, or null when the registry has no such number.
const PropertyInfo* FindProperty(Prop p);
// The row named `name`, compared without regard to case ("FONTCOLOR" finds FontColor); null
// when no property has that name.
const PropertyInfo* FindProperty(std::string_view name);

// The position of the first row whose number an earlier row already has; `table.size()` when
// every number is unique. Compile-time, so the registry proves its numbers unique when it builds.
constexpr std::size_t FirstDuplicateNumber(std::span<const PropertyInfo> table) {
  for (std::size_t i = 0; i < table.size(); ++i) {
    for (std::size_t j = 0; j < i; ++j) {
      if (table[j].prop == table[i].prop) return i;
    }
  }
  return table.size();
}

}  // namespace platform::ui
