#include "platform/ui/dialogs.h"

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <optional>

#include "platform/core/message.h"
#include "platform/core/process.h"
#include "platform/core/text.h"
#include "platform/ui/backend.h"
#include "platform/ui/internal/thread_state.h"
#include "platform/ui/runtime_lock.h"
#include "platform/ui/statements.h"
#include "platform/ui/thread.h"

namespace platform::ui {
namespace {

// The message when the desktop's opener failed: these lines, the name, the reason.
constexpr std::string_view kCouldNotOpen = "Could not open";
constexpr std::string_view kOpenerFailed =
    "The desktop's opener (xdg-open) could not be started or reported an error: ";

// Marks the system Modal for the length of a dialog and lets go of the runtime lock
// meanwhile; without the lock (not a runtime thread) it does neither.
class ModalScope {
 public:
  ModalScope() : had_lock_(RuntimeLockHeld()) {
    if (had_lock_) {
      detail::EnterModal();
      detail::ShowChangesBeforeLettingGo();
    }
    unlocked_.emplace();
  }
  ~ModalScope() {
    unlocked_.reset();
    if (had_lock_) detail::LeaveModal();
  }

 private:
  bool had_lock_;
  std::optional<RuntimeLockReleaser> unlocked_;
};

class Dialogs final : public DialogBackend {
 public:
  int32_t ShowMessage(const MessageRequest& request) override {
    Runtime* rt = Runtime::Current();
    if (rt == nullptr) return 0;
    ModalScope modal;
    return rt->backend().ShowMessage(request);
  }
  bool ShowStop(std::string_view text) override {
    Runtime* rt = Runtime::Current();
    if (rt == nullptr) return false;
    ModalScope modal;
    return rt->backend().ShowStop(text);
  }
};

}  // namespace

std::vector<PopupEntry> ParsePopup(std::string_view text) {
  std::vector<PopupEntry> out;
  int32_t depth = 0;
  int32_t number = 0;
  size_t start = 0;
  while (start <= text.size()) {
    const size_t bar = text.find('|', start);
    const size_t end = bar == std::string_view::npos ? text.size() : bar;
    std::string_view part = text.substr(start, end - start);
    // "}" closes submenus; it may stand alone or end an entry ("Last}").
    int32_t closes = 0;
    while (!part.empty() && part.back() == '}') {
      part.remove_suffix(1);
      ++closes;
    }
    if (!part.empty()) {
      PopupEntry e;
      e.depth = depth;
      if (part == "-") {
        e.separator = true;
      } else if (part.back() == '{') {
        e.submenu = true;
        e.text = std::string(part.substr(0, part.size() - 1));
      } else {
        e.text = std::string(part);
        e.number = ++number;
      }
      if (e.submenu) ++depth;
      out.push_back(std::move(e));
    }
    depth = std::max(0, depth - closes);
    if (bar == std::string_view::npos) break;
    start = bar + 1;
  }
  return out;
}

int32_t Popup(std::string_view text, int32_t x, int32_t y) {
  Runtime* rt = Runtime::Current();
  if (rt == nullptr) return 0;
  PopupRequest request{std::string(text), x, y};
  ModalScope modal;
  return rt->backend().ShowPopup(request);
}

bool FileDialog(std::string_view title, std::string& file, std::string_view extensions,
                int32_t flags) {
  Runtime* rt = Runtime::Current();
  if (rt == nullptr) return false;
  FileDialogRequest request{std::string(title), file, std::string(extensions), flags};
  bool chosen;
  {
    ModalScope modal;
    chosen = rt->backend().ShowFileDialog(request);
  }
  if (chosen) file = request.file;
  return chosen;
}

bool FontDialog(std::string_view title, std::string& typeface, int32_t& size, int32_t& color,
                int32_t& style) {
  int32_t charset = 0;
  return FontDialog(title, typeface, size, color, style, charset);
}

bool FontDialog(std::string_view title, std::string& typeface, int32_t& size, int32_t& color,
                int32_t& style, int32_t& charset) {
  Runtime* rt = Runtime::Current();
  if (rt == nullptr) return false;
  FontChoice font{typeface, size, color, style, charset};
  bool chosen;
  {
    ModalScope modal;
    chosen = rt->backend().ShowFontDialog(title, font);
  }
  if (chosen) {
    typeface = font.typeface;
    size = font.size;
    color = font.color;
    style = font.style;
    charset = font.charset;
  }
  return chosen;
}

bool ColorDialog(std::string_view title, int32_t& color) {
  Runtime* rt = Runtime::Current();
  if (rt == nullptr) return false;
  int32_t chosen_color = color;
  bool chosen;
  {
    ModalScope modal;
    chosen = rt->backend().ShowColorDialog(title, chosen_color);
  }
  if (chosen) color = chosen_color;
  return chosen;
}

void Beep(int32_t sound) {
  if (Runtime* rt = Runtime::Current()) rt->backend().Beep(sound);
}

Result<int> RunProgram(std::string_view program, const std::vector<std::string>& args, bool wait) {
  if (!wait) return Run(program, args, false);
  if (RuntimeLockHeld()) detail::ShowChangesBeforeLettingGo();
  RuntimeLockReleaser unlocked;
  return Run(program, args, true);
}

bool OpenOnDesktop(std::string_view path_or_url) {
  Status opened;
  {
    if (RuntimeLockHeld()) detail::ShowChangesBeforeLettingGo();
    RuntimeLockReleaser unlocked;
    opened = OpenWithDesktop(path_or_url);
  }
  if (opened.ok()) return true;
  const std::string why = opened.file_error().empty() ? opened.text() : opened.file_error();
  Message(std::string(kCouldNotOpen) + "|" + std::string(path_or_url) + "|" +
              std::string(kOpenerFailed) + why,
          "", kIconExclamation, kButtonOk);
  return false;
}

void SetSystemMessageHook(MessageHook hook) {
  const bool set = static_cast<bool>(hook);
  SetMessageHook(std::move(hook));
  if (RuntimeLockHeld()) SetSystemProp(Prop::MessageHook, set ? "1" : "");
}

MessageHook GetSystemMessageHook() { return GetMessageHook(); }

namespace {

std::mutex g_locale_mutex;
std::map<std::string, std::string, std::less<>> g_locale;

}  // namespace

void SetLocale(std::string_view name, std::string_view value) {
  std::lock_guard lock(g_locale_mutex);
  g_locale[Upper(name)] = std::string(value);
}

std::string GetLocale(std::string_view name) {
  std::lock_guard lock(g_locale_mutex);
  const auto it = g_locale.find(Upper(name));
  return it != g_locale.end() ? it->second : std::string();
}

std::vector<std::string> StandardButtonCaptions() {
  std::vector<std::string> captions = {"OK",     "&Yes",    "&No",     "&Abort",
                                       "&Retry", "&Ignore", "&Cancel", "&Help"};
  const std::string set = GetLocale("CLABUTTON");
  size_t start = 0;
  for (size_t i = 0; i < captions.size() && start <= set.size() && !set.empty(); ++i) {
    const size_t comma = set.find(',', start);
    const std::string part =
        set.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (!part.empty()) captions[i] = part;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return captions;
}

DialogBackend& RuntimeDialogs() {
  static Dialogs dialogs;
  return dialogs;
}

}  // namespace platform::ui
