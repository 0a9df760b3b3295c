// The frame's part of the procedure table: what the main program runs without the other
// windows.
#include "app/procedures.h"

namespace app {

void RegisterFrameProcedures() {
  RegisterMain();
  RegisterChooseODBCconnection();
}

}  // namespace app
