// Staff lists and staff names.
#include "host/host.h"

namespace fxthost {

void InstallStaffBehaviours(Host&) {}

}  // namespace fxthost
