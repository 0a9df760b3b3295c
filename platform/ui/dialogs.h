// The runtime's dialogs beyond MESSAGE and STOP (platform/core/message.h): POPUP, the file,
// font and colour dialogs, and BEEP; and RUN waiting for a program. Each waits with the
// runtime lock released, as every blocking runtime call does.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/message.h"
#include "platform/core/status.h"

namespace platform::ui {

// One entry of a POPUP text.
struct PopupEntry {
  std::string text;
  int32_t number = 0;  // the number Popup answers for it; 0 for separators and submenus
  int32_t depth = 0;   // 0 at the top, 1 inside the first submenu, ...
  bool separator = false;
  bool submenu = false;  // opens a submenu; the entries after it, up to its "}", are inside
};

// The entries of `text`: `|` separates entries, "-" is a separator, a text ending in "{"
// opens a submenu and "}" closes it. Entries are numbered 1, 2, ... in order, counting
// neither separators nor submenu openers.
std::vector<PopupEntry> ParsePopup(std::string_view text);

// POPUP: shows the menu at (x, y), or at the mouse when x is -1; answers the chosen entry's
// number, 0 for none. Requires the runtime lock; releases it while it waits.
int32_t Popup(std::string_view text, int32_t x = -1, int32_t y = -1);

// FILEDIALOG: true when the user chose a file, which is then in `file`.
bool FileDialog(std::string_view title, std::string& file, std::string_view extensions = {},
                int32_t flags = 0);
// FONTDIALOG: true when the user chose; the parts are in and out, the character set
// (FontCharSet) too where it is asked for.
bool FontDialog(std::string_view title, std::string& typeface, int32_t& size, int32_t& color,
                int32_t& style);
bool FontDialog(std::string_view title, std::string& typeface, int32_t& size, int32_t& color,
                int32_t& style, int32_t& charset);
// COLORDIALOG: true when the user chose; the colour (00BBGGRRh) is in and out.
bool ColorDialog(std::string_view title, int32_t& color);
// BEEP.
void Beep(int32_t sound = 0);

// RUN of another program (platform::Run), with the runtime lock released while it waits
// for the program to end, so the other threads go on meanwhile.
Result<int> RunProgram(std::string_view program, const std::vector<std::string>& args,
                       bool wait = false);

// Opens a file or an address with the desktop's opener (platform::OpenWithDesktop), with the
// runtime lock released while the opener decides. Where it cannot be started or ends with an
// error, the user is told with a message naming `path_or_url`. True when it opened.
bool OpenOnDesktop(std::string_view path_or_url);

// LOCALE settings by name, any thread. "CLABUTTON" holds the captions of the standard
// message box's buttons (OK, Yes, No, Abort, Retry, Ignore, Cancel, Help) joined by ",".
void SetLocale(std::string_view name, std::string_view value);
std::string GetLocale(std::string_view name);
// The eight standard button captions, in the order above: CLABUTTON's where it gives one,
// else "OK", "&Yes", "&No", "&Abort", "&Retry", "&Ignore", "&Cancel", "&Help".
std::vector<std::string> StandardButtonCaptions();

// The system property MessageHook (7A35h): every MESSAGE of every thread goes to `hook`
// once it is set; an empty hook removes it (platform::SetMessageHook underneath).
void SetSystemMessageHook(MessageHook hook);
// The system message hook in force now, itself; empty when none is set.
MessageHook GetSystemMessageHook();

// The dialog backend that the Runtime installs for MESSAGE and STOP: it lets go of the
// runtime lock, marks the system Modal, and asks the display backend.
DialogBackend& RuntimeDialogs();

}  // namespace platform::ui
