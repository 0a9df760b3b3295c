// The window runtime's numbers: field, thread and window identities, control types, events,
// key codes, cursors and standard actions, written in hex as the runtime writes them.
#pragma once

#include <cstdint>

#include "platform/ui/forward.h"

namespace platform::ui {

inline constexpr FieldId kNoField = 0;

// Control types as the runtime numbers them (CREATE, the Type property).
enum class ControlType : int32_t {
  kString = 2,
  kImage = 3,
  kRegion = 4,
  kLine = 5,
  kBox = 6,
  kEllipse = 7,
  kEntry = 8,
  kButton = 9,
  kPrompt = 10,
  kOption = 11,
  kCheck = 12,
  kGroup = 13,
  kList = 14,
  kCombo = 15,
  kSpin = 16,
  kText = 17,
  kMenu = 19,
  kItem = 20,
  kRadio = 21,
  kMenubar = 22,
  kApplication = 24,  // the Type of the application frame
  kWindow = 25,
  kOle = 32,
  kDropList = 33,
  kDropCombo = 34,
  kProgress = 35,
  kSheet = 37,
  kTab = 38,
  kPanel = 39,
};

// Events. Field events carry the control, window events field 0.
inline constexpr EventId kEventAccepted = 0x01;
inline constexpr EventId kEventNewSelection = 0x02;
inline constexpr EventId kEventScrollUp = 0x03;
inline constexpr EventId kEventScrollDown = 0x04;
inline constexpr EventId kEventPageUp = 0x05;
inline constexpr EventId kEventPageDown = 0x06;
inline constexpr EventId kEventScrollTop = 0x07;
inline constexpr EventId kEventScrollBottom = 0x08;
inline constexpr EventId kEventLocate = 0x09;
inline constexpr EventId kEventMouseUp = 0x0A;
inline constexpr EventId kEventMouseIn = 0x0B;
inline constexpr EventId kEventMouseOut = 0x0C;
inline constexpr EventId kEventMouseMove = 0x0D;
inline constexpr EventId kEventAlertKey = 0x0F;
inline constexpr EventId kEventPreAlertKey = 0x10;
inline constexpr EventId kEventTabChanging = 0x15;
// A tree list's row (its TreeRow) is about to open: CYCLE keeps it closed. Expanded follows
// when it opened, Contracted when a row was closed.
inline constexpr EventId kEventExpanding = 0x16;
inline constexpr EventId kEventExpanded = 0x18;
inline constexpr EventId kEventContracted = 0x19;
inline constexpr EventId kEventRejected = 0x1A;
inline constexpr EventId kEventDroppingDown = 0x1B;
inline constexpr EventId kEventDroppedDown = 0x1C;
inline constexpr EventId kEventSelected = 0x101;
inline constexpr EventId kEventCloseWindow = 0x201;
inline constexpr EventId kEventCloseDown = 0x202;
inline constexpr EventId kEventOpenWindow = 0x203;
inline constexpr EventId kEventOpenFailed = 0x204;
inline constexpr EventId kEventLoseFocus = 0x205;
inline constexpr EventId kEventGainFocus = 0x206;
inline constexpr EventId kEventSuspend = 0x208;
inline constexpr EventId kEventResume = 0x209;
inline constexpr EventId kEventTimer = 0x20B;
inline constexpr EventId kEventMove = 0x220;
inline constexpr EventId kEventSize = 0x221;
inline constexpr EventId kEventRestore = 0x222;
inline constexpr EventId kEventMaximize = 0x223;
inline constexpr EventId kEventIconize = 0x224;
inline constexpr EventId kEventCompleted = 0x225;
inline constexpr EventId kEventMoved = 0x230;
inline constexpr EventId kEventSized = 0x231;
inline constexpr EventId kEventRestored = 0x232;
inline constexpr EventId kEventMaximized = 0x233;
inline constexpr EventId kEventIconized = 0x234;
// A tool window's Docked changed: docked at a side of the frame, or floating again.
inline constexpr EventId kEventDocked = 0x235;
inline constexpr EventId kEventUndocked = 0x236;
// The program's own events start here; the last number an event may have is 0FFFh.
inline constexpr EventId kEventUser = 0x500;
inline constexpr EventId kEventLast = 0xFFF;

// Key codes: a key is its virtual-key code plus the modifiers; mouse buttons have their own.
inline constexpr KeyCode kShift = 0x100;
inline constexpr KeyCode kCtrl = 0x200;
inline constexpr KeyCode kAlt = 0x400;
inline constexpr KeyCode kMouseLeft = 0x01;
inline constexpr KeyCode kMouseRight = 0x02;
inline constexpr KeyCode kMouseCenter = 0x03;
inline constexpr KeyCode kMouseLeft2 = 0x05;  // double click
inline constexpr KeyCode kMouseRight2 = 0x06;
inline constexpr KeyCode kMouseCenter2 = 0x07;
inline constexpr KeyCode kMouseLeftUp = 0x81;  // release
inline constexpr KeyCode kMouseRightUp = 0x82;
inline constexpr KeyCode kMouseCenterUp = 0x83;
inline constexpr KeyCode kBackspaceKey = 0x08;
inline constexpr KeyCode kTabKey = 0x09;
inline constexpr KeyCode kEnterKey = 0x0D;
inline constexpr KeyCode kEscKey = 0x1B;
inline constexpr KeyCode kSpaceKey = 0x20;
inline constexpr KeyCode kUpKey = 0x26;
inline constexpr KeyCode kDownKey = 0x28;
inline constexpr KeyCode kF1Key = 0x70;  // F1..F12 are 70h..7Bh
inline constexpr KeyCode kF2Key = 0x71;
inline constexpr KeyCode kF3Key = 0x72;
inline constexpr KeyCode kF4Key = 0x73;
inline constexpr KeyCode kF10Key = 0x79;
inline constexpr KeyCode kF11Key = 0x7A;
inline constexpr KeyCode kF12Key = 0x7B;

// True for the mouse codes (1, 2, 3, 5, 6, 7, 81h, 82h, 83h), with or without modifiers.
constexpr bool IsMouseKey(KeyCode k) {
  const KeyCode base = k & 0xFF;
  return (base >= 1 && base <= 3) || (base >= 5 && base <= 7) || (base >= 0x81 && base <= 0x83);
}

// Standard actions of buttons and menu items (the STD attribute). Close keeps the runtime's
// number 15, which the program compares a menu item's Std with.
enum class StdAction : int32_t {
  kNone = 0,
  kClose = 0x0F,
  kCut = 2,
  kCopy = 3,
  kPaste = 4,
  kTile = 5,
  kCascade = 6,
  kArrange = 7,
  kWindowList = 8,
  kHelp = 9,
};

// SETCURSOR shapes.
enum class Cursor : int32_t {
  kNormal = 0,
  kWait = 1,
};

// Where a tool window is (the Docked property): at a side of the frame, or floating.
inline constexpr int32_t kDockLeft = 1;
inline constexpr int32_t kDockTop = 2;
inline constexpr int32_t kDockRight = 4;
inline constexpr int32_t kDockBottom = 8;
inline constexpr int32_t kDockFloat = 16;

// Window kinds.
enum class WindowKind : int32_t {
  kFrame = 1,     // the application frame: holds the MDI children
  kMdiChild = 2,  // a child of the frame
  kPlain = 3,     // a window of its own, optionally owned by another
};

}  // namespace platform::ui
