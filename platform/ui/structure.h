// Window structures: the declarative description of a window, written once per window as
// constant data and registered under its module and window label. Opening a window builds
// its controls from the structure; the structure itself never changes.
//
//   constexpr ControlDecl kControls[] = {
//       Prompt("?Username:Prompt", "Username:", {8, 24, 60, 10}),
//       Entry("?Username", {80, 24, 120, 10}).Picture("@s80").Imm(),
//       Button("?ConnectButton", "&Connect", {8, 200, 60, 14}).Std(StdAction::kClose),
//   };
//   constexpr WindowStructure kWindow{"pexolind$pexol003", "P1$WINDOW", WindowKind::kMdiChild,
//                                     "Choose an ODB Cconnection", {0, 0, 419, 232}, kControls};
//   constexpr FieldId kUsername = kWindow.Equate("?Username");  // 2, checked when compiled
//
// Field numbers: controls 1..n in declaration order, menus and items -1..-n; the separators
// and then the menu bar are numbered after the named menu entries, so they shift no named
// entry's number. Equate texts are kept exactly as written.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "platform/ui/codes.h"

namespace platform::ui {

struct RectDu {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// Attribute flags of a control or a window.
enum Attr : uint32_t {
  kAttrNone = 0,
  kAttrImm = 1u << 0,       // entries report each change as a new selection
  kAttrSkip = 1u << 1,      // passed over by the tab key
  kAttrTrn = 1u << 2,       // transparent
  kAttrDisabled = 1u << 3,  // starts disabled
  kAttrHidden = 1u << 4,    // starts hidden
  kAttrReadOnly = 1u << 5,
  kAttrPassword = 1u << 6,
  kAttrNoSheet = 1u << 7,  // a sheet without visible tabs
  kAttrVScroll = 1u << 8,
  kAttrHScroll = 1u << 9,
  kAttrDefault = 1u << 10,  // the button that Enter presses
  kAttrSeparator = 1u << 11,
  kAttrMark = 1u << 12,  // a list whose rows are marked through its MARK field
  kAttrCenter = 1u << 13,
  kAttrUpr = 1u << 14,
  kAttrModal = 1u << 15,  // a window: the other windows wait while it is open
};

inline constexpr size_t kMaxDeclaredAlerts = 4;

// One control of a window structure. Built with the factory functions below and refined with
// the chained setters, all usable in constant expressions.
struct ControlDecl {
  ControlType type = ControlType::kString;
  std::string_view equate;  // "?TableList"; empty for a separator
  std::string_view text;
  RectDu at;
  std::string_view parent;  // the equate of the menu, sheet, tab or group it sits in
  uint32_t attrs = kAttrNone;
  StdAction std = StdAction::kNone;
  KeyCode key = 0;
  std::string_view msg;
  std::string_view tip;
  std::string_view icon;
  std::string_view picture;  // "@s80"
  std::string_view format;   // a list's format: "1020L(2)@s255@?"
  std::string_view from;     // fixed entries of a combo or spin: "MSSQL|ODBC|ORACLE"
  std::string_view value;    // a radio: what its option's variable holds when it is chosen
  std::string_view server;   // an OLE control: the server its object is created from
  std::array<KeyCode, kMaxDeclaredAlerts> alerts{};

  constexpr ControlDecl Parent(std::string_view p) const { return With(&ControlDecl::parent, p); }
  constexpr ControlDecl Attrs(uint32_t a) const {
    ControlDecl d = *this;
    d.attrs |= a;
    return d;
  }
  constexpr ControlDecl Imm() const { return Attrs(kAttrImm); }
  constexpr ControlDecl Skip() const { return Attrs(kAttrSkip); }
  constexpr ControlDecl Trn() const { return Attrs(kAttrTrn); }
  constexpr ControlDecl Disabled() const { return Attrs(kAttrDisabled); }
  constexpr ControlDecl Hidden() const { return Attrs(kAttrHidden); }
  constexpr ControlDecl ReadOnly() const { return Attrs(kAttrReadOnly); }
  constexpr ControlDecl Default() const { return Attrs(kAttrDefault); }
  constexpr ControlDecl NoSheet() const { return Attrs(kAttrNoSheet); }
  constexpr ControlDecl Mark() const { return Attrs(kAttrMark); }
  constexpr ControlDecl Std(StdAction a) const { return With(&ControlDecl::std, a); }
  constexpr ControlDecl Key(KeyCode k) const { return With(&ControlDecl::key, k); }
  constexpr ControlDecl Msg(std::string_view m) const { return With(&ControlDecl::msg, m); }
  constexpr ControlDecl Tip(std::string_view t) const { return With(&ControlDecl::tip, t); }
  constexpr ControlDecl Icon(std::string_view i) const { return With(&ControlDecl::icon, i); }
  constexpr ControlDecl Picture(std::string_view p) const { return With(&ControlDecl::picture, p); }
  constexpr ControlDecl Format(std::string_view f) const { return With(&ControlDecl::format, f); }
  constexpr ControlDecl From(std::string_view f) const { return With(&ControlDecl::from, f); }
  constexpr ControlDecl Value(std::string_view v) const { return With(&ControlDecl::value, v); }
  // Adds an alerted key; at most kMaxDeclaredAlerts in a structure (ALRT at run time has 255).
  constexpr ControlDecl Alrt(KeyCode k) const {
    ControlDecl d = *this;
    for (KeyCode& slot : d.alerts) {
      if (slot == 0) {
        slot = k;
        return d;
      }
    }
    throw "too many declared alerts";
  }

  // True for the controls that take a negative field number.
  constexpr bool IsMenuEntry() const {
    return type == ControlType::kMenu || type == ControlType::kItem;
  }
  // True for a separator between menu items.
  constexpr bool IsSeparator() const { return (attrs & kAttrSeparator) != 0; }
  // True for the menu bar, which holds the menus and the items outside them.
  constexpr bool IsMenubar() const { return type == ControlType::kMenubar; }

 private:
  template <class T>
  constexpr ControlDecl With(T ControlDecl::*member, T value) const {
    ControlDecl d = *this;
    d.*member = value;
    return d;
  }
};

constexpr ControlDecl Decl(ControlType type, std::string_view equate, std::string_view text,
                           RectDu at) {
  ControlDecl d;
  d.type = type;
  d.equate = equate;
  d.text = text;
  d.at = at;
  return d;
}
constexpr ControlDecl String(std::string_view e, std::string_view text, RectDu at) {
  return Decl(ControlType::kString, e, text, at);
}
constexpr ControlDecl Prompt(std::string_view e, std::string_view text, RectDu at) {
  return Decl(ControlType::kPrompt, e, text, at);
}
constexpr ControlDecl Entry(std::string_view e, RectDu at) {
  return Decl(ControlType::kEntry, e, {}, at);
}
constexpr ControlDecl TextBox(std::string_view e, RectDu at) {
  return Decl(ControlType::kText, e, {}, at);
}
constexpr ControlDecl Button(std::string_view e, std::string_view text, RectDu at) {
  return Decl(ControlType::kButton, e, text, at);
}
constexpr ControlDecl Check(std::string_view e, std::string_view text, RectDu at) {
  return Decl(ControlType::kCheck, e, text, at);
}
constexpr ControlDecl List(std::string_view e, RectDu at) {
  return Decl(ControlType::kList, e, {}, at);
}
constexpr ControlDecl Combo(std::string_view e, RectDu at) {
  return Decl(ControlType::kCombo, e, {}, at);
}
constexpr ControlDecl Spin(std::string_view e, RectDu at) {
  return Decl(ControlType::kSpin, e, {}, at);
}
constexpr ControlDecl Option(std::string_view e, std::string_view text, RectDu at) {
  return Decl(ControlType::kOption, e, text, at);
}
// A radio of `option`; without a Value its option's variable holds the radio's text.
constexpr ControlDecl Radio(std::string_view e, std::string_view text, RectDu at,
                            std::string_view option) {
  return Decl(ControlType::kRadio, e, text, at).Parent(option);
}
constexpr ControlDecl Sheet(std::string_view e, RectDu at) {
  return Decl(ControlType::kSheet, e, {}, at);
}
constexpr ControlDecl Tab(std::string_view e, std::string_view text, std::string_view sheet) {
  return Decl(ControlType::kTab, e, text, {}).Parent(sheet);
}
// An OLE control whose object is created from `server` when the window is built; an empty
// server leaves it without one until the program creates it.
constexpr ControlDecl Ole(std::string_view e, std::string_view server, RectDu at) {
  ControlDecl d = Decl(ControlType::kOle, e, {}, at);
  d.server = server;
  return d;
}
constexpr ControlDecl Menubar() { return Decl(ControlType::kMenubar, {}, {}, {}); }
constexpr ControlDecl Menu(std::string_view e, std::string_view text,
                           std::string_view parent = {}) {
  return Decl(ControlType::kMenu, e, text, {}).Parent(parent);
}
constexpr ControlDecl Item(std::string_view e, std::string_view text, std::string_view menu) {
  return Decl(ControlType::kItem, e, text, {}).Parent(menu);
}
constexpr ControlDecl Separator(std::string_view menu) {
  return Decl(ControlType::kItem, {}, {}, {}).Parent(menu).Attrs(kAttrSeparator);
}

// A whole window.
struct WindowStructure {
  std::string_view module;  // "pexolind$pexol003"
  std::string_view label;   // "P1$WINDOW"
  WindowKind kind = WindowKind::kPlain;
  std::string_view title;
  RectDu at;
  std::span<const ControlDecl> controls;
  std::string_view icon = {};
  uint32_t attrs = kAttrNone;
  std::array<KeyCode, kMaxDeclaredAlerts> alerts{};

  // The field number of the control declared with `equate`; a compile error in a constant
  // expression when there is none.
  consteval FieldId Equate(std::string_view equate) const {
    const FieldId f = FindEquate(equate);
    if (f == kNoField) throw "no control with this equate in the window structure";
    return f;
  }
  // The same at run time: 0 when there is no such control.
  constexpr FieldId FindEquate(std::string_view equate) const {
    for (size_t i = 0; i < controls.size(); ++i) {
      const ControlDecl& d = controls[i];
      if (d.equate == equate && !d.IsMenubar() && !d.IsSeparator()) return FieldAt(i);
    }
    return kNoField;
  }
  // The field number of controls[i]. The named menu entries come first, then the separators
  // and the menu bar, each in declaration order, so the unnamed ones leave the named entries'
  // numbers alone.
  constexpr FieldId FieldAt(size_t i) const {
    FieldId positive = 0;
    FieldId named = 0;
    FieldId named_before = 0;
    FieldId separators = 0;
    FieldId separators_before = 0;
    FieldId bars_before = 0;
    for (size_t j = 0; j < controls.size(); ++j) {
      const ControlDecl& d = controls[j];
      if (d.IsMenubar()) {
        if (j <= i) ++bars_before;
      } else if (d.IsSeparator()) {
        ++separators;
        if (j <= i) ++separators_before;
      } else if (d.IsMenuEntry()) {
        ++named;
        if (j <= i) ++named_before;
      } else if (j <= i) {
        ++positive;
      }
    }
    const ControlDecl& d = controls[i];
    if (d.IsMenubar()) return -(named + separators + bars_before);
    if (d.IsSeparator()) return -(named + separators_before);
    return d.IsMenuEntry() ? -named_before : positive;
  }
  // The field number of the control that holds controls[i]: the one its parent equate names,
  // else, for a menu entry, the menu bar; 0 when there is none.
  constexpr FieldId ParentAt(size_t i) const {
    const ControlDecl& d = controls[i];
    if (!d.parent.empty()) return FindEquate(d.parent);
    if (!d.IsMenuEntry()) return kNoField;
    for (size_t j = 0; j < controls.size(); ++j) {
      if (controls[j].IsMenubar()) return FieldAt(j);
    }
    return kNoField;
  }
};

// The registry of window structures by module and label. The structure must outlive the
// registration (it is constant data). Registering the same module and label twice keeps
// the last. Any thread.
void RegisterWindowStructure(const WindowStructure& structure);
// The structure registered as `module` and `label` (compared without regard to case, as the
// runtime names them); null when there is none.
const WindowStructure* FindWindowStructure(std::string_view module, std::string_view label);
// Every registered structure, in order of module and label. Any thread.
std::vector<const WindowStructure*> WindowStructures();

}  // namespace platform::ui
