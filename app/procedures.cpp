// The whole procedure table, filled once at start-up in a fixed order.
#include "app/procedures.h"

namespace app {

void RegisterProcedures() {
  RegisterFrameProcedures();
  RegisterPexolind();
  RegisterBrowseODBCconnection();
  RegisterQueryBuilder();
}

}  // namespace app
