#include "host/paths.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fxthost {

std::string ExecutableDirectory() {
  char path[4096];
#if defined(_WIN32)
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  std::string full(path, length);
  size_t cut = full.find_last_of("\\/");
#else
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  std::string full(path, length > 0 ? static_cast<size_t>(length) : 0);
  size_t cut = full.rfind('/');
#endif
  return cut == std::string::npos ? "." : full.substr(0, cut);
}

std::string DefaultPluginPath() { return ExecutableDirectory() + "/tolleksplitgroups.fxt"; }

}  // namespace fxthost
