// Property tables: which properties a kind of object has, of what kind, with what initial
// value, and whether the display must hear of a change. Every get and set by number goes
// through a table, and so do the typed accessors built on them, so the two cannot drift.
// A property that is not in the object's table reads as empty and ignores a set, as the
// runtime tolerates it.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "platform/ui/prop.h"

namespace platform::ui {

enum class PropKind : uint8_t {
  kText,    // kept as given
  kNumber,  // kept as the number's text ("12", "-1", "0.5")
  kFlag,    // "1" when set, "" when not; "0" and "" clear it
};

struct PropertyDef {
  Prop prop;
  PropKind kind;
  std::string_view initial = {};
  bool indexed = false;  // has an index (column, alert slot, icon number)
  bool shown = true;     // a change must reach the display
};

class PropertyTable {
 public:
  // `base` is the table of the wider family (null for none); its entries come after own.
  constexpr PropertyTable(std::span<const PropertyDef> own, const PropertyTable* base)
      : own_(own), base_(base) {}
  // The definition of `p`, or null when this family has no such property.
  const PropertyDef* Find(Prop p) const;
  // The definition of the property named `name` in the registry (property_registry.h, any
  // case), or null when there is no such name or this family does not have it.
  const PropertyDef* Find(std::string_view name) const;
  // Calls `visit` once for every property of the family, its own first, then the wider
  // family's that it does not redefine.
  void ForEach(const std::function<void(const PropertyDef&)>& visit) const;

 private:
  std::span<const PropertyDef> own_;
  const PropertyTable* base_;
};

// The tables of the families.
const PropertyTable& ControlProperties();  // every control
const PropertyTable& ListProperties();     // lists, combos, drop lists, spins
const PropertyTable& SheetProperties();
const PropertyTable& MenuProperties();  // menus and menu items
const PropertyTable& OleProperties();   // OLE controls
const PropertyTable& WindowProperties();
const PropertyTable& SystemProperties();

// The values of one object, by (number, index).
class PropertyStore {
 public:
  using Key = std::pair<int32_t, int32_t>;

  explicit PropertyStore(const PropertyTable& table) : table_(&table) {}

  const PropertyTable& table() const { return *table_; }
  // The stored value, else the table's initial value; "" for a property not in the table.
  // The index is ignored for a property that has none.
  std::string Get(Prop p, int32_t index = 0) const;
  // Stores `value`, normalised to the property's kind. Answers the definition when the value
  // changed, null when it did not or when the table has no such property.
  const PropertyDef* Set(Prop p, std::string_view value, int32_t index = 0);
  // Every value stored, for the display.
  const std::map<Key, std::string>& values() const { return values_; }

 private:
  const PropertyTable* table_;
  std::map<Key, std::string> values_;
};

// The text of `value` normalised to `kind`.
std::string NormalizeProperty(PropKind kind, std::string_view value);

}  // namespace platform::ui
