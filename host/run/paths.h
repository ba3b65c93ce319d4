// Where the host finds things.
#pragma once

#include <string>

namespace fxthost {

// The directory of the running executable.
std::string ExecutableDirectory();
// The plug-in module next to the executable.
std::string DefaultPluginPath();

// Whether two paths name the same file (existing or not).
bool SamePath(const std::string& a, const std::string& b);
// The path made absolute (unchanged when that fails).
std::string AbsolutePath(const std::string& path);

}  // namespace fxthost
