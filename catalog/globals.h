// The program's globals of the catalog subsystem: the connect string, the ODBC file that
// statements and catalog reads run through, and the one statement object.
//
// They are plain objects whose construction depends on nothing else, so no static
// initialiser elsewhere has to run first; the main program creates QueryObject when a
// connect string is known and disposes it at the end.
#pragma once

#include <memory>

#include "catalog/odbc_query.h"
#include "catalog/options.h"
#include "platform/core/fixed_string.h"
#include "platform/files/file.h"

namespace catalog {

// The option globals (Glo:...): the dictionary window's options and the connect string.
struct GloGroup : GloOptions {
  // The connect string of the chosen data source; empty until Main restores it.
  platform::CString<513> ConnectString;
};
extern GloGroup Glo;

// ODBCFILE: a file of the ODBC driver without fields, whose owner is Glo.ConnectString (read
// at every OPEN).
extern platform::files::File ODBCFILE;

// The one statement object; null until a connect string is known. Shared, so a caller using
// it keeps it alive while the connection window replaces it: take a copy for your call.
extern std::shared_ptr<ODBCQueryClass> QueryObject;

}  // namespace catalog
