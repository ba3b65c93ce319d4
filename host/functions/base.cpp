// Host functions that need no document.
#include "host/functions/host.h"

namespace fxthost {

void InstallBaseBehaviours(Host&) {}

}  // namespace fxthost
