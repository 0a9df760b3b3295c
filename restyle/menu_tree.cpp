// The tree menu of the application frame: the frame's menu as the tree menu's structure, the
// menu look value, and starting, refreshing and stopping the tree-menu thread. Everything but
// MenuTreeThread runs on the frame's thread, or on the thread of a restyle-all.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <functional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "platform/core/call_trace.h"
#include "platform/core/number.h"
#include "platform/core/text.h"
#include "platform/files/keyed/file_system.h"
#include "platform/ui/codes.h"
#include "platform/ui/poll_wait.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"
#include "platform/ui/window.h"
#include "restyle/property_table.h"
#include "restyle/restyle_class.h"
#include "restyle/restyle_registry.h"

namespace restyle {
namespace {

namespace ui = platform::ui;
using platform::TraceCall;
using ui::FieldId;
using ui::Prop;

// MENUSETTING of a registered entry; any other value puts it in the tree and leaves it in the
// bar.
constexpr uint8_t kBarOnly = 0;
constexpr uint8_t kTreeOnly = 1;
constexpr uint8_t kNeither = 2;
// ORGINALHIDESETTING: 0 not recorded yet, else this plus Hide at the first build.
constexpr uint8_t kHideRecorded = 10;

constexpr int32_t kMaxChildren = 255;
// A separator's row shows this many dashes.
constexpr size_t kSeparatorDashes = 255;

constexpr int32_t kFrameType = static_cast<int32_t>(ui::ControlType::kApplication);
constexpr int32_t kMenuType = static_cast<int32_t>(ui::ControlType::kMenu);
constexpr int32_t kItemType = static_cast<int32_t>(ui::ControlType::kItem);
constexpr int32_t kMenubarType = static_cast<int32_t>(ui::ControlType::kMenubar);
constexpr int32_t kToolbarType = 128;

// The menu look value's defaults; colours are stored values (80000000h + n: system colour n).
constexpr int32_t kDefaultItemHeight = 8;
constexpr int64_t kDefaultItemColor = 0x80000002;
constexpr int64_t kDefaultItemBackground = 0x8000000E;
constexpr uint8_t kDefaultHideLastStarted = 1;
constexpr std::string_view kDefaultIcon = "~ZOVMenuItem.ico";

// The preset styles: the XP look's three, the tree look's one.
constexpr int32_t kUnderline = 0x2000;
constexpr int32_t kItalic = 0x1000;
constexpr int32_t kPresetText = 0xC0C0C0;
constexpr int32_t kPresetBack = 0x808080;
constexpr int32_t kNoColour = -1;

constexpr uint8_t kXPLook = 1;

int64_t Number(const ui::Window& window, FieldId field, Prop p, int32_t index = 0) {
  return platform::TextToNumber(window.Get(field, p, index));
}

// Empties the icons but for numbers 0 and 1, which show `icon`.
void DefaultIcons(platform::Queue<MenuStructureIconRecord>& icons, std::string_view icon) {
  icons.Free();
  for (int16_t n : {0, 1}) {
    icons.ClearBuffer();
    icons.buffer.ICONNUMBER = n;
    icons.buffer.ICON = icon;
    icons.Add();
  }
}

// Positions `first` to `last` (1-based) of the look value, clipped.
std::string Positions(std::string_view look, size_t first, size_t last) {
  if (look.size() < first) return {};
  return platform::Clip(look.substr(first - 1, last - first + 1));
}

}  // namespace

void ZOVRestyleClass::AddMenuItem(FieldId field, int32_t kind) {
  TraceCall("ZOVRestyleClass.AddMenuItem " + std::to_string(field) + " " + std::to_string(kind));
  platform::Queue<ConfigureMenuItemRecord>& items = *CONFIGUREMENUSTRUCTUREQUEUE;
  items.ClearBuffer();
  items.buffer.CONTROLEQUATE = field;
  items.buffer.MENUSETTING = static_cast<uint8_t>(kind);
  items.buffer.ORGINALHIDESETTING = 0;
  items.Add();
}

void ZOVRestyleClass::ApplyMenuTree() {
  TraceCall("ZOVRestyleClass.ApplyMenuTree");
  if (PROCEDUREWINDOW == nullptr || STYLEMANAGER == nullptr) return;
  if (Number(*PROCEDUREWINDOW, 0, Prop::Type) != kFrameType) return;
  ControlPropertyGroup look;
  if (GetPropertyValue(0, kCustomMenuLook, 0, /*read_type=*/1, look) == 1) {
    STYLEPROPERTIES.ENABLEMENUTREE =
        static_cast<uint8_t>(platform::TextToNumber(look.VALUE.view().substr(0, 1)));
  } else {
    STYLEPROPERTIES.ENABLEMENUTREE = 0;
  }
  const ui::ThreadId tree = STYLEMANAGER->MenuTreeThread();
  if (STYLEPROPERTIES.DISABLERESTYLE != 0 || DONOTRESTYLETHISPROCEDURE != 0) {
    if (tree != 0) {
      ui::Post(kEventEndMenuTree, 0, tree);
      // The tree is gone for everyone at once; the ending thread leaves this state alone.
      ForgetMenuTree();
    }
    return;
  }
  if (STYLEPROPERTIES.ENABLEMENUTREE != 0) {
    if (tree != 0) return;
    // A tree stopped a moment ago (restyle-all stops it and starts it again) ends first, so
    // that it cannot clear the new tree's number, nor give back the bar the new tree hides.
    if (running_tree_ != 0) {
      WaitForMenuTreeEnd();
      // Other threads ran: what the pass kept of the files may be old.
      if (pass_cache_.active) StartPassCache();
      if (STYLEMANAGER->MenuTreeThread() != 0 || !PROCEDUREWINDOW->is_open()) return;
    }
    if (MENUBUILD != 1) StartMenuTree(look.VALUE.view());
    BuildMenuStructure();
    return;
  }
  if (tree != 0) {
    ui::Post(kEventEndMenuTree, 0, tree);
    MENUBUILD = 0;
    RestoreMenuBar();
  }
}

void ZOVRestyleClass::StartMenuTree(std::string_view look) {
  TraceCall("ZOVRestyleClass.StartMenuTree");
  ui::Window& frame = *PROCEDUREWINDOW;
  const std::string size = Positions(look, 2, 4);
  MENUTREEITEMHEIGHT = static_cast<int32_t>(platform::TextToNumber(size));
  if (size.empty() || MENUTREEITEMHEIGHT <= 0) MENUTREEITEMHEIGHT = kDefaultItemHeight;
  const auto colour = [&](size_t first, size_t last, int64_t fallback) {
    const std::string text = Positions(look, first, last);
    return text.empty() ? fallback : platform::TextToNumber(text);
  };
  MENUTREEITEMCOLOR = colour(5, 15, kDefaultItemColor);
  MENUTREEITEMBACKGROUNDCOLOR = colour(16, 25, kDefaultItemBackground);
  MENUTREEITEMSELECTEDCOLOR = colour(26, 35, kDefaultItemColor);
  MENUTREEITEMSELECTEDBACKGROUND = colour(36, 45, kDefaultItemBackground);
  const std::string hide_last = Positions(look, 46, 46);
  MENUTREELASTSTARTEDMENUITEMS = hide_last.empty()
                                     ? kDefaultHideLastStarted
                                     : static_cast<uint8_t>(platform::TextToNumber(hide_last));
  const std::string face = Positions(look, 47, 86);
  MENUTREEFONT = face.empty() ? frame.Get(0, Prop::Font) : face;
  const std::string icon = Positions(look, 87, 187);
  MENUTREEDEFAULTICON = icon.empty() ? std::string(kDefaultIcon) : icon;

  MENUSTRUCTUREQUEUE->Free();
  MENUSTRUCTUREQUEUE->ClearBuffer();
  platform::Queue<MenuStructureIconRecord>& icons = *MENUSTRUCTUREICONQUEUE;
  DefaultIcons(icons, MENUTREEDEFAULTICON.view());
  MENUSTRUCTUREFONTQUEUE->Free();

  ui::SetSystemProp(Prop::LazyDisplay, "1");
  // The top-level entries in menu-bar order: the bar's entries are numbered -1, -2, ... in
  // the order they are declared.
  std::vector<std::pair<int32_t, FieldId>> top_level;
  for (FieldId field = static_cast<FieldId>(Number(frame, 0, Prop::NextField)); field != 0;
       field = static_cast<FieldId>(Number(frame, 0, Prop::NextField, field))) {
    const int64_t type = Number(frame, field, Prop::Type);
    if (type == kToolbarType) {
      TOOLBARHEIGHT = static_cast<int16_t>(Number(frame, field, Prop::Height));
    }
    if (type != kMenuType && type != kItemType) continue;
    const auto parent = static_cast<FieldId>(Number(frame, field, Prop::Parent));
    if (parent == 0 || Number(frame, parent, Prop::Type) != kMenubarType) continue;
    top_level.emplace_back(field < 0 ? -field : field, field);
  }
  std::stable_sort(top_level.begin(), top_level.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (const auto& [order, field] : top_level) AddMenuStructureItem(field, 1);

  if (MENUSTRUCTUREQUEUE->Records() > 0 && STYLEMANAGER->MenuTreeThread() == 0) {
    const std::string address = std::to_string(reinterpret_cast<uintptr_t>(this));
    const ui::ThreadId thread =
        ui::Start(std::function<void(std::string_view, std::string_view)>(MenuTreeThread),
                  /*stack_bytes=*/0, std::string(look), address);
    MENUTREETHREAD = thread;
    STYLEMANAGER->SetMenuTreeThread(thread);
    running_tree_ = thread;
  }
  // Without a tree the frame keeps its whole menu bar.
  if (STYLEMANAGER->MenuTreeThread() == 0) RestoreMenuBar();
  ui::SetSystemProp(Prop::LazyDisplay, "0");
  MENUBUILD = 1;
}

void ZOVRestyleClass::AddMenuStructureItem(FieldId field, uint8_t level) {
  ui::Window& frame = *PROCEDUREWINDOW;
  const bool hidden_now = Number(frame, field, Prop::Hide) != 0;
  platform::Queue<ConfigureMenuItemRecord>& items = *CONFIGUREMENUSTRUCTUREQUEUE;
  items.ClearBuffer();
  items.buffer.CONTROLEQUATE = field;
  if (items.GetByKey({items.Asc(&ConfigureMenuItemRecord::CONTROLEQUATE)})) {
    ConfigureMenuItemRecord& item = items.buffer;
    if (item.ORGINALHIDESETTING == 0) {
      item.ORGINALHIDESETTING = static_cast<uint8_t>(kHideRecorded + (hidden_now ? 1 : 0));
      items.Put();
    }
    const bool shown_at_first = item.ORGINALHIDESETTING == kHideRecorded;
    switch (item.MENUSETTING) {
      case kBarOnly:
        return;
      case kTreeOnly:
        if (!shown_at_first) return;
        frame.Set(field, Prop::Hide, "1");
        break;
      case kNeither:
        frame.Set(field, Prop::Hide, "1");
        return;
      default:
        if (!shown_at_first) return;
        break;
    }
  } else if (hidden_now) {
    return;
  }
  platform::Queue<MenuStructureRecord>& rows = *MENUSTRUCTUREQUEUE;
  rows.ClearBuffer();
  rows.buffer.CONTROLEQUATE = field;
  if (rows.GetByKey({rows.Asc(&MenuStructureRecord::CONTROLEQUATE)})) return;
  rows.ClearBuffer();
  MenuStructureRecord& row = rows.buffer;
  row.CONTROLEQUATE = field;
  ReadMenuRow(row);
  row.LEVEL = row.HASCHILDREN != 0 ? -level : level;
  rows.Add();
  for (int32_t i = 1; i <= kMaxChildren; ++i) {
    const std::string child = frame.Get(field, Prop::Child, i);
    if (child.empty()) break;
    AddMenuStructureItem(static_cast<FieldId>(platform::TextToNumber(child)),
                         static_cast<uint8_t>(level + 1));
  }
}

void ZOVRestyleClass::ReadMenuRow(MenuStructureRecord& row) const {
  const ui::Window& frame = *PROCEDUREWINDOW;
  const FieldId field = row.CONTROLEQUATE;
  row.PARENTEQUATE = static_cast<int32_t>(Number(frame, field, Prop::Parent));
  row.STDPROPERTY = static_cast<uint8_t>(Number(frame, field, Prop::Std));
  row.MENUITEM = MenuItemText(field);
  row.CHILDINDEX = 0;
  row.HASCHILDREN = frame.Get(field, Prop::Child, 1).empty() ? 0 : 1;
}

std::string ZOVRestyleClass::MenuItemText(FieldId field) const {
  const std::string text = PROCEDUREWINDOW->Get(field, Prop::Text);
  std::string shown = field == MENUTREEACTIVEDMENUITEM ? "*" : "";
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '&') {
      shown += text[i];
    } else if (i + 1 < text.size() && text[i + 1] == '&') {
      shown += '&';
      ++i;
    }
  }
  if (shown.empty()) shown.assign(kSeparatorDashes, '-');
  return shown;
}

void ZOVRestyleClass::BuildMenuStructure() {
  TraceCall("ZOVRestyleClass.BuildMenuStructure");
  if (STYLEMANAGER == nullptr || PROCEDUREWINDOW == nullptr) return;
  const ui::ThreadId tree = STYLEMANAGER->MenuTreeThread();
  if (tree == 0) return;
  ui::Window& frame = *PROCEDUREWINDOW;
  const bool xp = STYLEPROPERTIES.ENABLEMENUTREE == kXPLook;

  platform::Queue<MenuStructureIconRecord>& icons = *MENUSTRUCTUREICONQUEUE;
  DefaultIcons(icons, MENUTREEDEFAULTICON.view());
  platform::Queue<MenuStructureFontRecord>& styles = *MENUSTRUCTUREFONTQUEUE;
  styles.Free();
  const auto preset = [&](int16_t number, int32_t style, int64_t text, int64_t back,
                          int64_t text_selected, int64_t back_selected) {
    styles.ClearBuffer();
    MenuStructureFontRecord& s = styles.buffer;
    s.FONTNUMBER = number;
    s.CONTROLEQUATE = 0;
    s.FONTNAME = MENUTREEFONT.view();
    s.FONTSIZE = static_cast<uint8_t>(MENUTREEITEMHEIGHT);
    s.FONTSTYLE = style;
    s.FONTCHARSET = 0;
    s.TEXTCOLOR = static_cast<int32_t>(text);
    s.BACKCOLOR = static_cast<int32_t>(back);
    s.TEXTSELECTED = static_cast<int32_t>(text_selected);
    s.BACKSELECTED = static_cast<int32_t>(back_selected);
    styles.Add();
  };
  if (xp) {
    for (const auto& [number, style] :
         {std::pair<int16_t, int32_t>{1, 0}, {2, kUnderline}, {3, kItalic}}) {
      preset(number, style, MENUTREEITEMCOLOR, MENUTREEITEMBACKGROUNDCOLOR,
             MENUTREEITEMSELECTEDCOLOR, MENUTREEITEMSELECTEDBACKGROUND);
    }
  } else {
    preset(1, 0, kPresetText, kPresetBack, kPresetBack, kPresetText);
  }

  ui::SetSystemProp(Prop::LazyDisplay, "1");
  platform::Queue<MenuStructureRecord>& rows = *MENUSTRUCTUREQUEUE;
  const platform::QueueKey by_picture = {icons.Asc(&MenuStructureIconRecord::ICON)};
  const platform::QueueKey by_look = {styles.Asc(&MenuStructureFontRecord::FONTNAME),
                                      styles.Asc(&MenuStructureFontRecord::FONTSIZE),
                                      styles.Asc(&MenuStructureFontRecord::FONTSTYLE),
                                      styles.Asc(&MenuStructureFontRecord::TEXTCOLOR),
                                      styles.Asc(&MenuStructureFontRecord::BACKCOLOR),
                                      styles.Asc(&MenuStructureFontRecord::TEXTSELECTED),
                                      styles.Asc(&MenuStructureFontRecord::BACKSELECTED)};
  for (size_t i = 1; i <= rows.Records(); ++i) {
    rows.Get(i);
    MenuStructureRecord& row = rows.buffer;
    const FieldId field = row.CONTROLEQUATE;
    ReadMenuRow(row);

    const std::string picture = platform::Clip(frame.Get(field, Prop::Icon));
    if (picture.empty()) {
      row.ICON = 1;
    } else {
      icons.ClearBuffer();
      icons.buffer.ICON = picture;
      if (!icons.GetByKey(by_picture)) {
        icons.ClearBuffer();
        icons.buffer.ICONNUMBER = static_cast<int16_t>(icons.Records());
        icons.buffer.ICON = picture;
        icons.buffer.CONTROLEQUATE = field;
        icons.Add();
      }
      row.ICON = icons.buffer.ICONNUMBER;
    }

    if (Number(frame, field, Prop::Disable) != 0) {
      row.STYLE = 1;
      rows.Put();
      continue;
    }
    styles.ClearBuffer();
    MenuStructureFontRecord& s = styles.buffer;
    s.FONTNAME = !platform::Clip(MENUTREEFONT.view()).empty() ? std::string(MENUTREEFONT.view())
                                                              : frame.Get(field, Prop::Font);
    s.FONTSIZE = static_cast<uint8_t>(
        MENUTREEITEMHEIGHT > 0 ? MENUTREEITEMHEIGHT : Number(frame, field, Prop::FontSize));
    s.FONTSTYLE = static_cast<int32_t>(Number(frame, field, Prop::FontStyle));
    s.FONTCHARSET = static_cast<uint8_t>(Number(frame, field, Prop::FontCharSet));
    const int64_t font_colour = Number(frame, field, Prop::FontColor);
    const int64_t fill1 = Number(frame, field, Prop::Color, 1);
    const int64_t fill2 = Number(frame, field, Prop::Color, 2);
    const int64_t fill3 = Number(frame, field, Prop::Color, 3);
    const auto or_else = [](int64_t value, int64_t fallback) {
      return value != kNoColour ? value : fallback;
    };
    if (xp) {
      s.TEXTCOLOR = static_cast<int32_t>(or_else(font_colour, MENUTREEITEMCOLOR));
      s.BACKCOLOR = static_cast<int32_t>(or_else(fill1, MENUTREEITEMBACKGROUNDCOLOR));
      s.TEXTSELECTED =
          static_cast<int32_t>(or_else(fill2, or_else(font_colour, MENUTREEITEMSELECTEDCOLOR)));
      s.BACKSELECTED =
          static_cast<int32_t>(or_else(fill3, or_else(fill1, MENUTREEITEMSELECTEDBACKGROUND)));
    } else {
      s.TEXTCOLOR = static_cast<int32_t>(font_colour);
      s.BACKCOLOR = static_cast<int32_t>(fill1);
      s.TEXTSELECTED = static_cast<int32_t>(fill2);
      s.BACKSELECTED = static_cast<int32_t>(fill3);
    }
    if (!styles.GetByKey(by_look)) {
      styles.buffer.FONTNUMBER = static_cast<int16_t>(styles.Records() + 1);
      styles.buffer.CONTROLEQUATE = field;
      styles.Add();
    }
    row.STYLE = styles.buffer.FONTNUMBER;
    rows.Put();
  }

  if (MENUTREELIST != 0 && MENUTREEWINDOW != nullptr) {
    ui::Window& tree_window = *MENUTREEWINDOW;
    tree_window.Set(MENUTREELIST, Prop::LineHeight, std::to_string(MENUTREEITEMHEIGHT + 2));
    for (size_t i = 1; i <= icons.Records(); ++i) {
      const MenuStructureIconRecord icon = icons.entry(i);
      const std::string picture = frame.Get(icon.CONTROLEQUATE, Prop::Icon);
      const bool usable = picture.starts_with("~") || platform::files::Exists(picture);
      tree_window.Set(MENUTREELIST, Prop::IconList,
                      usable ? picture : std::string(MENUTREEDEFAULTICON.view()), icon.ICONNUMBER);
    }
    // The list's styles take the style number as index.
    for (size_t i = 1; i <= styles.Records(); ++i) {
      const MenuStructureFontRecord& style = styles.entry(i);
      const int32_t n = style.FONTNUMBER;
      const std::string_view face =
          style.FONTNAME.view().empty() ? MENUTREEFONT.view() : style.FONTNAME.view();
      const auto set = [&](Prop prop, const std::string& value) {
        tree_window.Set(MENUTREELIST, prop, value, n);
      };
      set(Prop::Font, std::string(face));
      set(Prop::FontSize, std::to_string(style.FONTSIZE < 1 ? 10 : style.FONTSIZE));
      set(Prop::FontStyle, std::to_string(style.FONTSTYLE));
      set(Prop::FontCharSet, std::to_string(style.FONTCHARSET));
      set(Prop::FontColor, std::to_string(style.TEXTCOLOR));
      set(Prop::Color, std::to_string(style.BACKCOLOR));
      set(Prop::SelectedColor, std::to_string(style.TEXTSELECTED));
      set(Prop::SelectedFillColor, std::to_string(style.BACKSELECTED));
    }
  }
  if (xp) ui::Post(kEventMenuStructureBuilt, 0, tree);
  ui::SetSystemProp(Prop::LazyDisplay, "0");
}

void ZOVRestyleClass::RestoreMenuBar() {
  if (PROCEDUREWINDOW == nullptr || !PROCEDUREWINDOW->is_open()) return;
  const platform::Queue<ConfigureMenuItemRecord>& items = *CONFIGUREMENUSTRUCTUREQUEUE;
  for (size_t i = 1; i <= items.Records(); ++i) {
    const ConfigureMenuItemRecord item = items.entry(i);
    if (item.ORGINALHIDESETTING == 0) continue;
    if (item.MENUSETTING != kTreeOnly && item.MENUSETTING != kNeither) continue;
    PROCEDUREWINDOW->Set(item.CONTROLEQUATE, Prop::Hide,
                         item.ORGINALHIDESETTING == kHideRecorded ? "0" : "1");
  }
}

void ZOVRestyleClass::MenuTreeEnded(ui::ThreadId thread) {
  if (STYLEMANAGER != nullptr && STYLEMANAGER->MenuTreeThread() == thread) ForgetMenuTree();
  if (running_tree_ == thread) running_tree_ = 0;
}

void ZOVRestyleClass::ForgetMenuTree() {
  STYLEMANAGER->SetMenuTreeThread(0);
  MENUTREETHREAD = 0;
  MENUBUILD = 0;
  RestoreMenuBar();
}

void ZOVRestyleClass::WaitForMenuTreeEnd() {
  static_cast<void>(ui::PollUntil([this] { return running_tree_ == 0; }, ui::kPollForever));
}

void MenuTreeThread(std::string_view look, std::string_view address) {
  uintptr_t number = 0;
  if (std::from_chars(address.data(), address.data() + address.size(), number).ec != std::errc{}) {
    return;
  }
  auto& object = *reinterpret_cast<ZOVRestyleClass*>(number);
  TraceCall("MenuTreeThread " + std::string(address) + " " + platform::Clip(look));
  if (look.starts_with("1")) {
    object.XPMenuTreeWindow(look);
  } else {
    object.InternalMenuTreeWindow(look);
  }
  object.MenuTreeEnded(ui::Thread());
}

}  // namespace restyle
