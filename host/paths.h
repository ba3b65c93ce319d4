// Where the host finds things.
#pragma once

#include <string>

namespace fxthost {

// The directory of the running executable.
std::string ExecutableDirectory();
// The plug-in module next to the executable.
std::string DefaultPluginPath();

}  // namespace fxthost
