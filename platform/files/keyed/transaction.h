// LOGOUT, COMMIT and ROLLBACK over keyed files. One transaction at a time for the whole
// process: its files commit together or not at all, also when the process dies in the
// middle of it. While it is active, every statement on its files runs inside it.
//
//   conditions.SetProperty(kPropLogoutOrder, "1");   // enrol, in the order of the value
//   restyle.SetProperty(kPropLogoutOrder, "2");
//   Logout(1);                                       // over the enrolled open files
//   ... ADD, PUT, DELETE ...
//   if (!Commit()) Rollback();
#pragma once

#include <initializer_list>
#include <span>

#include "platform/files/file.h"

namespace platform::files {

// LOGOUT(timeout) naming no files: a transaction over the open files enrolled through
// PROP:LogoutOrder (7301h), lowest value first. Posts 56 "LOGOUT Already Active" while a
// transaction is active, 48 "Unable to Log Transaction" when a file cannot be locked within
// `timeout_seconds` or is no keyed file. Answers true on success.
bool Logout(int timeout_seconds);

// LOGOUT(timeout, file, ...): a transaction over the named files, which must be open keyed
// files (37 "File Not Open" otherwise).
bool Logout(int timeout_seconds, std::span<File* const> files);
bool Logout(int timeout_seconds, std::initializer_list<File*> files);

// COMMIT: makes the transaction's changes lasting in all its files at once and ends it.
// Posts 91 "No LOGOUT Active" when there is none. When the commit itself fails the
// transaction stays active, so it can be committed again or rolled back.
bool Commit();

// ROLLBACK: undoes every change since LOGOUT in all its files and ends the transaction.
// Posts 91 when there is none.
bool Rollback();

// A file closed during a transaction leaves it; its changes stay in it and are committed or
// rolled back with the others. When the last of the transaction's files is closed, the
// transaction is rolled back and ends, so that it holds no file locked.

// Whether a LOGOUT is active.
bool InTransaction();

}  // namespace platform::files
