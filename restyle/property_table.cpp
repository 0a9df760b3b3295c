#include "restyle/property_table.h"

namespace restyle {

const platform::RecordLayout& ControlPropertyRecord::Layout() {
  using R = ControlPropertyRecord;
  using platform::Field;
  static const platform::RecordLayout layout =
      platform::MakeLayout<R>("CCPQ", Field<&R::PROPERTY>("PROPERTY"),
                              Field<&R::PROPERTYDESCRIPTION>("PROPERTYDESCRIPTION"),
                              Field<&R::MARK>("MARK"), Field<&R::PROPERTYEQUATE>("PROPERTYEQUATE"),
                              Field<&R::TYPE>("TYPE"), Field<&R::CUSTOMPROPERTY>("CUSTOMPROPERTY"));
  return layout;
}

bool FindPropertyByNumber(PropertyTableQueue& table, int32_t number) {
  table.ClearBuffer();
  table.buffer.PROPERTYEQUATE = number;
  return table.GetByKey({table.Asc(&ControlPropertyRecord::PROPERTYEQUATE)});
}

bool FindPropertyByName(PropertyTableQueue& table, std::string_view name) {
  table.ClearBuffer();
  table.buffer.PROPERTY = name;
  return table.GetByKey({table.Asc(&ControlPropertyRecord::PROPERTY)});
}

bool IsTextValued(uint8_t type) {
  switch (type) {
    case kEditText:
    case kEditImage:
    case kEditIcon:
    case kEditCursor:
    case kEditFont:
      return true;
    default:
      return false;
  }
}

}  // namespace restyle
