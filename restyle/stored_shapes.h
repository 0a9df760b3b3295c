// The groups and queue records the restyle store keeps, one restyle record per field under
// the field's name. The field names are a stored format: every writer and reader of a shape
// uses these.
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"

namespace restyle {

// A property value or a setting: stored under "property " & number, or a setting's name.
struct ControlPropertyGroup {
  uint8_t ENABLED = 0;  // 1: the value applies
  platform::FixedString<512> VALUE;
  uint8_t CLARIONVALUE = 0;  // 1: VALUE is an expression
  static const platform::RecordLayout& Layout();
};

// The image settings of a window.
struct ImagePropertyGroup {
  uint8_t CHANGEIMAGESETTINGS = 0;
  uint8_t DONOTUSEIMAGES = 0;
  uint8_t NUMBEROFIMAGES = 0;
  static const platform::RecordLayout& Layout();
};

// One image of a window.
struct ImageQueueRecord {
  uint8_t IMAGEORDER = 0;
  platform::CString<256> IMAGEFILE;
  int16_t XPOS = 0;
  int16_t YPOS = 0;
  int16_t WIDTH = 0;
  uint8_t WIDTHINPERCENTAGE = 0;
  int16_t HEIGHT = 0;
  uint8_t HEIGHTINPERCENTAGE = 0;
  uint8_t STYLE = 0;
  uint8_t MOVEFROM = 0;
  int16_t SHIFTXPOS = 0;
  uint8_t SHIFTXINPERCENTAGE = 0;
  int16_t SHIFTYPOS = 0;
  uint8_t SHIFTYINPERCENTAGE = 0;
  int32_t IMAGEEQUATE = 0;
  uint8_t FIXED = 0;
  static const platform::RecordLayout& Layout();
};

}  // namespace restyle
