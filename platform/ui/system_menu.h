// A window's system menu, the one its caption's icon (or Alt and space) opens: a menu of our
// own, the same in every display, with Restore, Minimize, Maximize and Close.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "platform/ui/backend.h"

namespace platform::ui {

enum class SystemMenuEntry : int32_t { kRestore = 1, kMinimize, kMaximize, kClose };

inline constexpr std::array<SystemMenuEntry, 4> kSystemMenuEntries = {
    SystemMenuEntry::kRestore, SystemMenuEntry::kMinimize, SystemMenuEntry::kMaximize,
    SystemMenuEntry::kClose};

// The entry's text as the menu shows it, with the "&" of its mnemonic.
std::string_view SystemMenuText(SystemMenuEntry entry);

// True when the entry can be chosen for the window as `view` shows it: Restore while it is
// iconized or maximized, Minimize while it is not iconized, Maximize while it is not
// maximized, Close always.
bool SystemMenuEntryEnabled(SystemMenuEntry entry, const WindowView& view);

// The input that choosing the entry gives the window: kRestored, kIconized, kMaximized or
// kCloseBox.
Input SystemMenuInput(SystemMenuEntry entry);

}  // namespace platform::ui
