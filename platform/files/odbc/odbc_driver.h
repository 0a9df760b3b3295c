// The ODBC file driver: a FILE whose owner is an ODBC connect string.
//
// OPEN connects with the owner (SQLDriverConnect, no prompt); CLOSE keeps the connection, so
// the next OPEN with the same owner reuses it. The connection is released when the owner
// changes (at the next OPEN), when the program sets kPropDisconnect, and when it broke (the
// server went away): a failed call whose diagnostics say so (SQLSTATE class 08, or the
// driver's words) makes CLOSE release it, and an OPEN that finds the kept connection dead
// (SQL_ATTR_CONNECTION_DEAD, which also sees failures of the catalog readers' own calls)
// connects anew. The statement that failed is not run again.
//
// A file without fields (ODBCFILE) runs SQL: setting kPropSql runs the text as a statement,
// and NEXT fetches one row of its result. The program reads the row's columns itself through
// the statement handle (kPropStatementHandle); kPropConnectionHandle lends the connection to
// the catalog readers. Both answer the handle as a 64-bit number in text, "0" for none.
//
// A file with a declared record is a table of the source: OPEN runs SELECT of the record's
// field names FROM the file's name, SET starts that read again, and NEXT fills the record's
// fields by position. OPEN of a table the source does not have posts File Not Found (2).
//
// Errors are the runtime's: ERRORCODE 90 "File System Error" with the driver's diagnostic
// (SQLGetDiagRec) in FILEERROR and its native code in FILEERRORCODE; NEXT past the last row
// posts Record Not Available (33). A statement without a result set that touched no row
// (SQL_NO_DATA) succeeds.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/files/file.h"

namespace platform::files {

// Where the owner comes from when it is a variable of the program (OWNER(Glo:ConnectString)):
// read at every OPEN and by kPropOwner. Empty: the declaration's owner.
using OwnerSource = std::function<std::string()>;

std::unique_ptr<Driver> MakeOdbcDriver(OwnerSource owner_source = {});

}  // namespace platform::files
