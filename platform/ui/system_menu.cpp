#include "platform/ui/system_menu.h"

#include <string>

namespace platform::ui {
namespace {

bool FlagSet(const WindowView& view, Prop p) {
  const auto it = view.properties.find({static_cast<int32_t>(p), 0});
  return it != view.properties.end() && !it->second.empty();
}

}  // namespace

std::string_view SystemMenuText(SystemMenuEntry entry) {
  switch (entry) {
    case SystemMenuEntry::kRestore:
      return "&Restore";
    case SystemMenuEntry::kMinimize:
      return "Mi&nimize";
    case SystemMenuEntry::kMaximize:
      return "Ma&ximize";
    case SystemMenuEntry::kClose:
      return "&Close";
  }
  return {};
}

bool SystemMenuEntryEnabled(SystemMenuEntry entry, const WindowView& view) {
  const bool iconized = FlagSet(view, Prop::Iconize);
  const bool maximized = FlagSet(view, Prop::Maximize);
  switch (entry) {
    case SystemMenuEntry::kRestore:
      return iconized || maximized;
    case SystemMenuEntry::kMinimize:
      return !iconized;
    case SystemMenuEntry::kMaximize:
      return !maximized || iconized;
    case SystemMenuEntry::kClose:
      return true;
  }
  return false;
}

Input SystemMenuInput(SystemMenuEntry entry) {
  Input in;
  switch (entry) {
    case SystemMenuEntry::kRestore:
      in.kind = Input::Kind::kRestored;
      break;
    case SystemMenuEntry::kMinimize:
      in.kind = Input::Kind::kIconized;
      break;
    case SystemMenuEntry::kMaximize:
      in.kind = Input::Kind::kMaximized;
      break;
    case SystemMenuEntry::kClose:
      in.kind = Input::Kind::kCloseBox;
      break;
  }
  return in;
}

}  // namespace platform::ui
