// Raw texts in both encodings and the font table.
#include "host/host.h"

namespace fxthost {

void InstallTextBehaviours(Host&) {}

}  // namespace fxthost
