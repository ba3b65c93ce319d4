// Module handles on POSIX. A handle is the dynamic loader's handle of a loaded module;
// the null handle, and the name "FINALE.EXE", name the executable that started the
// process, which plays the host. The calls' rules are in platform/fxwin.h.
#include <dlfcn.h>
#include <link.h>
#include <strings.h>

#include <cstring>
#include <string>

#include <unistd.h>

#include "platform/fxwin.h"
#include "platform/platform_internal.h"

namespace {

const char* BaseName(const char* path) {
  const char* slash = std::strrchr(path, '/');
  const char* backslash = std::strrchr(path, '\\');
  const char* last = slash > backslash ? slash : backslash;
  return last ? last + 1 : path;
}

bool HasDirectory(const char* path) {
  return std::strchr(path, '/') != nullptr || std::strchr(path, '\\') != nullptr;
}

struct Search {
  const char* wanted;
  std::string found;
};

int MatchModule(struct dl_phdr_info* info, size_t, void* data) {
  Search* search = static_cast<Search*>(data);
  if (!info->dlpi_name || !info->dlpi_name[0]) return 0;
  bool match = HasDirectory(search->wanted)
                   ? strcasecmp(info->dlpi_name, search->wanted) == 0
                   : strcasecmp(BaseName(info->dlpi_name), search->wanted) == 0;
  if (!match) return 0;
  search->found = info->dlpi_name;
  return 1;
}

bool NamesExecutable(const char* name) {
  if (strcasecmp(BaseName(name), "FINALE.EXE") == 0) return true;
  char path[4096];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  path[length] = '\0';
  return HasDirectory(name) ? strcasecmp(path, name) == 0 : strcasecmp(BaseName(path), name) == 0;
}

}  // namespace

namespace fxt_platform {

HMODULE ExecutableHandle() {
  static void* handle = dlopen(nullptr, RTLD_LAZY);
  return handle;
}

}  // namespace fxt_platform

extern "C" {

HMODULE GetModuleHandleA(LPCSTR moduleName) {
  if (!moduleName || NamesExecutable(moduleName)) return fxt_platform::ExecutableHandle();
  Search search{moduleName, {}};
  if (!dl_iterate_phdr(MatchModule, &search)) return nullptr;
  // The module is loaded; asking without loading gives its handle. The reference taken
  // is given back at once: like a Windows module handle, it stays valid while the
  // module is loaded.
  void* handle = dlopen(search.found.c_str(), RTLD_LAZY | RTLD_NOLOAD);
  if (handle) dlclose(handle);
  return handle;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR procName) {
  if (!procName) return nullptr;
  void* symbol = dlsym(module ? module : fxt_platform::ExecutableHandle(), procName);
  return reinterpret_cast<FARPROC>(symbol);
}

}  // extern "C"
