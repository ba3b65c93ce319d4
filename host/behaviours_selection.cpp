// The selection and the music clipboard.
#include "host/host.h"

namespace fxthost {

void InstallSelectionBehaviours(Host&) {}

}  // namespace fxthost
