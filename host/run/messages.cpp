// Failure messages on standard error, each one line under the program's name
// (host/run/messages.h).
#include "host/run/messages.h"

#include <ostream>

namespace fxthost {

void Complain(std::ostream& err, const std::string& reason) {
  err << kMessagePrefix << reason << "\n";
}

}  // namespace fxthost
