// The view, alerts and measure durations.
#include "host/host.h"

namespace fxthost {

void InstallViewBehaviours(Host&) {}

}  // namespace fxthost
