// The query builder's seam for tests. The builder saves its restyle object's flag
// MARKSELECTEDCONTROLACTIVE when it opens, clears it while a connector is edited in place and
// restores it afterwards; until the restyle engine is built nothing else shows that flag.
#pragma once

namespace restyle {
class ZOVRestyleClass;
}

namespace app {

// The restyle object of the query builder that runs on the calling thread, from before its
// window opens until it has closed; null while no builder runs on this thread.
restyle::ZOVRestyleClass* QueryBuilderRestyleOnThisThread();

}  // namespace app
