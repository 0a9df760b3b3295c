// Property numbers, as the runtime numbers them. Stored styles keep these numbers, so every
// number the program stores is the runtime's own. Where the program stores no number for a
// property, the number below is ours, taken from the block 7D40h-7D5Fh.
//
// Several names share a number where the runtime gives one property two meanings
// (Center and Below, Decimal and Above, Font and FontName, Range and RangeLow, Color,
// Background and FillColor); they are listed once under their first name.
#pragma once

#include <cstdint>

namespace platform::ui {

enum class Prop : int32_t {
  // Text and kind.
  Text = 0x7C00,  // a control's text; a window's title
  Type = 0x7C01,  // the control type number
  // Position in dialog units (pixels while the window's Pixels is set).
  Xpos = 0x7C02,
  Ypos = 0x7C03,
  Width = 0x7C04,
  Height = 0x7C05,
  // Layout attributes.
  Center = 0x7C06,  // also Below
  CenterOffset = 0x7C07,
  Left = 0x7C08,
  LeftOffset = 0x7C09,
  Decimal = 0x7C0A,  // also Above
  DecimalOffset = 0x7C0B,
  Right = 0x7C0C,
  RightOffset = 0x7C0D,
  // Fonts. On a list the font and colour properties (Font, FontSize, FontStyle, FontCharSet,
  // FontColor, Color, SelectedColor, SelectedFillColor) take a style number as index: 0 is
  // the list's own look, n the look of the cells whose style (format modifier Y) is n.
  Font = 0x7C10,  // the typeface name (FontName)
  FontSize = 0x7C11,
  FontColor = 0x7C12,
  FontStyle = 0x7C13,
  RangeLow = 0x7C14,
  RangeHigh = 0x7C15,
  Vcr = 0x7C16,
  Double = 0x7C19,
  Resize = 0x7C1A,
  NoFrame = 0x7C1B,
  Pixels = 0x7C1E,  // window: positions in pixels instead of dialog units
  // List mouse reporting: the row and column under the last press, the row under the mouse.
  MouseDownRow = 0x7C20,
  MouseMoveRow = 0x7C21,
  MouseDownField = 0x7C23,  // the column of the last press, 0 outside every column
  MouseState = 0x7C27,      // 0 when no button is down
  Max = 0x7C42,
  First = 0x7C55,
  Last = 0x7C56,
  Ins = 0x7C57,
  Ovr = 0x7C58,
  Boxed = 0x7C59,
  Cap = 0x7C5A,
  Cursor = 0x7C5D,
  Default = 0x7C5E,
  Disable = 0x7C5F,
  Drop = 0x7C60,
  Fill = 0x7C61,
  From = 0x7C62,  // a combo's or spin's entries as one `|`-joined text
  Full = 0x7C63,
  Gray = 0x7C64,
  Hide = 0x7C65,
  Hlp = 0x7C66,
  HScroll = 0x7C67,
  Icon = 0x7C68,
  Iconize = 0x7C69,
  Imm = 0x7C6A,  // immediate: entries report every change; windows report move and size
  Key = 0x7C6B,  // the key code that presses the control
  Maximize = 0x7C6F,
  Msg = 0x7C73,
  NoBar = 0x7C74,
  NoMerge = 0x7C75,
  Password = 0x7C7A,
  ReadOnly = 0x7C7B,
  Req = 0x7C7C,
  Round = 0x7C7E,
  Scroll = 0x7C7F,
  Skip = 0x7C81,
  Step = 0x7C83,
  System = 0x7C84,
  Format = 0x7C85,  // a list's format text
  Trn = 0x7C88,
  Upr = 0x7C89,
  VScroll = 0x7C8B,
  Items = 0x7C8E,  // list: visible rows
  Auto = 0x7C91,
  ToolBox = 0x7C92,
  Palette = 0x7C93,
  Handle = 0x7C96,  // window: its handle
  Active = 0x7C97,  // window: 1 while it is the active window
  Tip = 0x7CA0,
  MinWidth = 0x7CAD,
  MinHeight = 0x7CAE,
  MaxWidth = 0x7CAF,
  MaxHeight = 0x7CB0,
  NoTips = 0x7CB1,
  Spread = 0x7CB7,
  Size = 0x7CB9,
  ScreenText = 0x7CBA,   // the text on screen, before it is accepted
  LazyDisplay = 0x7CBC,  // system
  DeferMove = 0x7CBD,    // system
  BevelStyle = 0x7CE0,
  Join = 0x7CE2,
  NoSheet = 0x7CE3,  // sheet: no visible tabs
  BevelOuter = 0x7CE4,
  BevelInner = 0x7CE5,
  LineWidth = 0x7CE7,
  Angle = 0x7CE9,
  Color = 0x7CFA,  // also Background and FillColor
  SelectedColor = 0x7CFB,
  SelectedFillColor = 0x7CFC,
  LineHeight = 0x7CFD,
  DropWidth = 0x7CFE,
  AlwaysDrop = 0x7CFF,
  Up = 0x7A00,
  Down = 0x7A01,
  UpsideDown = 0x7A02,
  Single = 0x7A06,
  Repeat = 0x7A08,
  Flat = 0x7A14,
  WallPaper = 0x7A15,
  Tiled = 0x7A16,
  Centered = 0x7A17,
  MessageHook = 0x7A35,  // system: the MESSAGE hook
  StopHook = 0x7A36,     // system: the STOP hook
  NoWidth = 0x7A40,
  NoHeight = 0x7A41,
  BrokenTabs = 0x7A49,
  Buffer = 0x7A4C,       // system and window: draw off screen, show at once
  EditControl = 0x7D05,  // list, indexed by column: the field of the in-place editor
  Alrt = 0x7D06,         // indexed 1..255: the alerted key codes
  NextField =
      0x7D0B,  // indexed by a field number: the next control in field order, 0 after the last
  SnapWidth = 0x7D0C,
  SnapHeight = 0x7D0D,
  ColumnHeader = 0x7E03,     // list, indexed by column
  ColumnWidth = 0x7E04,      // list, indexed by column
  ColumnResizable = 0x7E0A,  // list, indexed by column; empty when the column does not exist
  // Numbers of our own.
  Parent = 0x7D40,         // the containing control's field number (menu, sheet, tab, group)
  Visible = 0x7D41,        // 1 when the control is shown: not hidden itself, nor its containers
  Selected = 0x7D42,       // list: the chosen row; sheet: the chosen tab's number; spin: the value
  Timer = 0x7D43,          // window: the timer interval in hundredths of a second, 0 off
  Std = 0x7D44,            // the standard action (StdAction)
  Thread = 0x7D45,         // window: the number of the thread that opened it
  ClientHandle = 0x7D46,   // frame: the handle of its MDI client area
  Touched = 0x7D47,        // 1 while the screen text differs from what was last accepted
  Modal = 0x7D48,          // system: 1 while a modal window or dialog is open
  IconList = 0x7D49,       // list, indexed: the icons of the list's icon column
  Mark = 0x7D4A,           // list: the FROM queue's field number that marks rows, 0 none
  Picture = 0x7D4B,        // entry: the display picture
  ChildIndex = 0x7D4C,     // the control's position among its parent's children, from 1
  Target = 0x7D4D,         // system: the handle of the window SETTARGET chose
  Opacity = 0x7D4E,        // window: 0 (invisible) to 255 (opaque), for fading in and out
  Progress = 0x7D4F,       // progress bar: its value, from RangeLow to RangeHigh
  TopMost = 0x7D50,        // window: 1 while it stays above every other window
  Value = 0x7D51,          // radio: what its option's variable holds when it is chosen
  Ole = 0x7D52,            // OLE control: 1 while it holds an object
  Stretch = 0x7D53,        // image: 1 fills the control with the picture, whatever Tiled says
  FontCharSet = 0x7D54,    // the character set of the font (0 ANSI, 1 default, 2 symbol, ...)
  InToolBar = 0x7D55,      // 1 for a control in a toolbar; no window has one, so always empty
  Docked = 0x7D56,         // tool window: the side of the frame it is docked at, 16 floating
  TreeRow = 0x7D57,        // tree list: the row the last Expanding, Expanded or Contracted names
  MenuBarHilite = 0x7D58,  // window: the menu-bar entry shown highlighted, from 1; 0 for none
  Child = 0x7D5E,          // indexed from 1: the field of the control's i-th child, empty after
};

}  // namespace platform::ui
