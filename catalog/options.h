// The options of the dictionary window that the catalog readers and the TXD writer read,
// with their values at start. They are members of the program's globals (Glo, globals.h):
// Glo.TXDFilename, Glo.Driver, ...
#pragma once

#include <cstdint>

#include "platform/core/fixed_string.h"

namespace catalog {

struct GloOptions {
  platform::FixedString<255> TXDFilename = "Clarion.txd";
  // Written into every FILE line; exactly "ORACLE" switches on the Oracle rules.
  platform::CString<80> Driver = "ODBC";
  uint8_t TablesOnly = 1;
  uint8_t NoRelations = 1;
  uint8_t ExternalNames = 0;  // 1: no NAME attributes
  uint8_t SystemTables = 0;   // 0: tables of type "SYSTEM TABLE" are left out
  platform::CString<255> OwnerFilter;
  platform::CString<5000> Query;
};

}  // namespace catalog
