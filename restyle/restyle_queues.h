// The record shapes of a restyle object's own queues (restyle_class.h): the snapshot of its
// controls, their initial geometry, the images placed on the window and the frame's menu
// structure.
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"
#include "platform/core/record.h"

namespace restyle {

using platform::CString;

// CONTROLPROPERTIESQUEUE: a registered control's look before any styling.
struct ControlSnapshotRecord {
  int32_t CONTROLEQUATE = 0;         // 0: the window itself
  CString<128> CONTROLEQUATESTRING;  // clipped and upper case ("?DSNSTRING:PROMPT", "WINDOW")
  CString<255> CONTROLDESCRIPTION;   // as registered
  int32_t CONTROLTYPEEQUATE = 0;     // the control's Type
  uint8_t PROP_STD = 0;              // "PROP:STD" and so on, as the fields are named
  CString<512> PROP_TEXT;
  int16_t PROP_XPOS = 0;
  int16_t PROP_YPOS = 0;
  int16_t PROP_WIDTH = 0;
  int16_t PROP_HEIGHT = 0;
  int16_t PROP_FONT = 0;  // the typeface read as a number
  CString<256> PROP_FONTNAME;
  int16_t PROP_FONTSIZE = 0;
  int32_t PROP_FONTCOLOR = 0;
  int32_t PROP_FONTSTYLE = 0;
  int32_t PROP_COLOR = 0;  // these three: the one Color property
  int32_t PROP_BACKGROUND = 0;
  int32_t PROP_FILLCOLOR = 0;
  int32_t PROP_SELECTEDCOLOR = 0;
  int32_t PROP_SELECTEDFILLCOLOR = 0;
  uint8_t PROP_DISABLE = 0;
  uint8_t PROP_FLAT = 0;
  uint8_t PROP_TRN = 0;
  uint8_t PROP_MAXIMIZE = 0;
  CString<256> PROP_ICON;
  CString<256> PROP_WALLPAPER;
  static const platform::RecordLayout& Layout();
};

// RESIZEQUEUE: the geometry of the window (0) and every control when it was attached.
struct ResizeRecord {
  int32_t CONTROLEQUATE = 0;
  int16_t XPOS = 0;
  int16_t YPOS = 0;
  int16_t WIDTH = 0;
  int16_t HEIGHT = 0;
  platform::FixedString<40> FONTNAME;
  uint8_t FONTSIZE = 0;
  static const platform::RecordLayout& Layout();
};

// IMAGEBUTTONQUEUE and EXCLUDEMENUITEMQUEUE: an image control laid over a control.
struct ImageButtonRecord {
  int32_t PARENTCONTROLEQUATE = 0;
  int32_t CONTROLEQUATE = 0;
  static const platform::RecordLayout& Layout();
};

// IMAGEEQUATEQUEUE: the image controls made for the window's images.
struct ImageEquateRecord {
  int32_t IMAGEEQUATE = 0;
  uint8_t FIXED = 0;
  static const platform::RecordLayout& Layout();
};

// PROPERTIESQUEUE: kept for its shape; nothing fills it.
struct TypePropertyRecord {
  int32_t CONTROLTYPEEQUATE = 0;
  int32_t PROPERTYEQUATE = 0;
  static const platform::RecordLayout& Layout();
};

// CONFIGUREMENUSTRUCTUREQUEUE: the frame's registered menus and items.
struct ConfigureMenuItemRecord {
  int32_t CONTROLEQUATE = 0;  // negative
  uint8_t MENUSETTING = 0;
  uint8_t ORGINALHIDESETTING = 0;  // 0 not recorded, else 10 + Hide at the first build
  static const platform::RecordLayout& Layout();
};

// MENUSTRUCTUREQUEUE: the tree menu's rows, in tree order.
struct MenuStructureRecord {
  CString<256> MENUITEM;
  int16_t ICON = 0;
  int32_t LEVEL = 0;  // negative while collapsed
  int16_t STYLE = 0;
  int16_t LOADED = 0;
  int32_t CONTROLEQUATE = 0;
  int32_t PARENTEQUATE = 0;
  uint8_t CHILDINDEX = 0;
  uint8_t STDPROPERTY = 0;
  uint8_t HASCHILDREN = 0;
  uint8_t AUTOOPENED = 0;
  uint8_t MENUSETTING = 0;
  static const platform::RecordLayout& Layout();
};

// MENUSTRUCTUREICONQUEUE: the tree menu's icons by number.
struct MenuStructureIconRecord {
  int16_t ICONNUMBER = 0;
  CString<256> ICON;
  int32_t CONTROLEQUATE = 0;
  static const platform::RecordLayout& Layout();
};

// MENUSTRUCTUREFONTQUEUE: the tree menu's row styles by number.
struct MenuStructureFontRecord {
  int16_t FONTNUMBER = 0;
  int32_t CONTROLEQUATE = 0;
  platform::FixedString<64> FONTNAME;
  uint8_t FONTSIZE = 0;
  int32_t FONTSTYLE = 0;
  uint8_t FONTCHARSET = 0;
  int32_t TEXTCOLOR = 0;
  int32_t BACKCOLOR = 0;
  int32_t TEXTSELECTED = 0;
  int32_t BACKSELECTED = 0;
  static const platform::RecordLayout& Layout();
};

}  // namespace restyle
