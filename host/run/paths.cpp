// Where fxthost finds its plug-in, and how it compares the paths it is given
// (host/run/paths.h).
#include "host/run/paths.h"

#include <filesystem>

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

bool SamePath(const std::string& a, const std::string& b) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::exists(a, ec) && fs::exists(b, ec)) {
    const bool same = fs::equivalent(a, b, ec);
    if (!ec) return same;
  }
  const fs::path x = fs::weakly_canonical(fs::absolute(a, ec), ec);
  const fs::path y = fs::weakly_canonical(fs::absolute(b, ec), ec);
  return x == y;
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace fxthost
