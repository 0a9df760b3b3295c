// EXISTS, COPY and REMOVE: the runtime's statements on whole files by name. COPY and REMOVE
// post their result as the thread's error state (2 "File Not Found", 3 "Path Not Found",
// 5 "Access Denied", 52 "File Already Open") and answer true on success.
#pragma once

#include <string_view>

#include "platform/files/file.h"

namespace platform::files {

// EXISTS(name): whether a file or directory of that name exists. Sets no error state.
bool Exists(std::string_view name);

// COPY(file, new_name): copies the file named `file.name()` to `new_name`, replacing what is
// there. A keyed database is copied through SQLite, so the copy is consistent even while the
// file is open or another process writes it; any other file is copied byte for byte. The
// copy appears whole under `new_name` or not at all.
bool Copy(File& file, std::string_view new_name);
bool Copy(std::string_view name, std::string_view new_name);

// REMOVE(file): deletes the file (and a keyed file's journal). The file must be closed.
bool Remove(File& file);
bool Remove(std::string_view name);

}  // namespace platform::files
