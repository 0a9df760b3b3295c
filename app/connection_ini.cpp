#include "app/connection_ini.h"

#include "platform/core/paths.h"

namespace app {

std::string ConnectionIniName() { return platform::ProgramSiblingName("_dns.ini"); }

}  // namespace app
