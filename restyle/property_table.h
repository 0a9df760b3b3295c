// CLARIONCONTROLPROPERTIESQUEUE: the style manager's table of everything a restyle can change
// or test, runtime properties by their runtime numbers and the restyle engine's custom ones by
// negative numbers. The style manager builds it once (stylemanager/property_table.cpp); every
// restyle object reads it through a borrowed reference and changes nothing in it but MARK.
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/queue.h"
#include "platform/core/record.h"

namespace restyle {

// The custom properties. Their numbers are a stored format ("property -6").
enum CustomProperty : int32_t {
  kLimitProcedureStart = -1,
  kFadeWindows = -4,
  kMarkSelectedControl = -5,
  kWindowRoundness = -6,
  kCheckWindowPosition = -7,
  kSaveWindowPosition = -8,
  kCustomMenuLook = -10,
  kDynamicSizing = -11,
  kMaximizeAutomatic = -12,
  kCenterControls = -13,
  kNoPropertyStyling = -14,
  kDisableStyling = -15,
  kControlPositionAndSize = -16,
  kResizeStrategy = -17,
  kImageOnControl = -18,
  kNameOfTheControl = -19,
};

// The value editors (TYPE): the restyle editor shows tab TYPE + 1.
enum PropertyEditor : uint8_t {
  kEditText = 0,
  kEditTrueFalse = 1,
  kEditByte = 2,
  kEditColor = 5,
  kEditImage = 6,  // a wallpaper and its mode
  kEditIcon = 7,
  kEditMark = 8,
  kEditCursor = 9,
  kEditFont = 10,
  kEditPosition = 11,
  kEditResizeStrategy = 12,
  kEditImageOnControl = 13,
  kEditMenuLook = 14,
  kEditFade = 15,
  kEditNone = 255,  // tested in conditions only
};

struct ControlPropertyRecord {
  platform::CString<64> PROPERTY;  // a runtime name in upper case, or a custom name translated
  platform::CString<256> PROPERTYDESCRIPTION;  // what lists show; the table's order
  uint8_t MARK = 0;                            // for the windows that list the table
  int32_t PROPERTYEQUATE = 0;                  // the runtime's number, or a custom one
  uint8_t TYPE = 0;                            // PropertyEditor
  uint8_t CUSTOMPROPERTY = 0;                  // 1 for a custom property
  static const platform::RecordLayout& Layout();
};

using PropertyTableQueue = platform::Queue<ControlPropertyRecord>;

// The row of property `number` into the table's buffer; false when there is none. Of the
// names that share a number, one.
bool FindPropertyByNumber(PropertyTableQueue& table, int32_t number);
// The row whose PROPERTY is `name` (compared as the runtime compares: case and all, trailing
// blanks aside) into the buffer; false when there is none.
bool FindPropertyByName(PropertyTableQueue& table, std::string_view name);

// Whether a value of the property is a text, inserted quoted where an expression refers to
// it: texts, pictures, icons, cursors and fonts.
bool IsTextValued(uint8_t type);

}  // namespace restyle
