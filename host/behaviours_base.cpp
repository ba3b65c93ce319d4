// Host functions that need no document.
#include "host/host.h"

namespace fxthost {

void InstallBaseBehaviours(Host&) {}

}  // namespace fxthost
