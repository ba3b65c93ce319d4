// Edit transactions and undo.
#include "host/host.h"

namespace fxthost {

void InstallEditBehaviours(Host&) {}

}  // namespace fxthost
