#include "catalog/globals.h"

#include <string>

#include "platform/files/odbc/odbc_driver.h"

namespace catalog {
namespace {

platform::files::FileDeclaration OdbcFileDeclaration() {
  platform::files::FileDeclaration d;
  d.label = "ODBCFILE";
  return d;
}

}  // namespace

// Defined in this order so that the file, which reads Glo when it opens, is built after Glo
// and torn down before it.
GloGroup Glo;
platform::files::File ODBCFILE(OdbcFileDeclaration(), platform::files::MakeOdbcDriver([] {
                                 return std::string(Glo.ConnectString.view());
                               }));
std::shared_ptr<ODBCQueryClass> QueryObject;

}  // namespace catalog
