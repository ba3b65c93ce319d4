// A plug-in module loaded, started and invoked as the host does (host/run/pluginmodule.h;
// which modules fxthost can use is in docs/fxthost.md, "Commands").
#include "host/run/pluginmodule.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

#include "bridge/recordbytes.h"
#include "host/run/paths.h"

namespace fxthost {

struct PluginModule::EntryPoints {
  uint32_t(FX_CALL* version)(uint32_t);
  int32_t(FX_CALL* init)(FXPTR, uint32_t*);
  int32_t(FX_CALL* enumerate)(FXPTR, int32_t, void*);
  int32_t(FX_CALL* invoke)(FXPTR, FXPTR, void*, FXPTR);
  void(FX_CALL* terminate)(FXPTR);
  int32_t(FX_CALL* menuStatus)(FXPTR);
};

namespace {

// The file the host loads for a module path: the path made absolute against the current
// directory, so that a bare name ("plug.fxt") means the file in the current directory and
// is never looked up where dlopen and LoadLibrary look for libraries by name. Empty, with
// the reason, when no such file is there.
std::string ModuleFile(const std::string& path, std::string* error) {
  namespace fs = std::filesystem;
  std::string file = AbsolutePath(path);
  std::error_code ec;
  const fs::file_status status = fs::status(file, ec);
  const char* problem = !fs::exists(status)        ? "no such file"
                        : fs::is_directory(status) ? "a directory, not a module"
                                                   : nullptr;
  if (problem) {
    if (error) *error = std::string(problem) + " (" + file + ")";
    return "";
  }
#if defined(_WIN32)
  // LoadLibrary adds ".dll" to a name without an extension; a final dot says it has none.
  if (!fs::path(file).has_extension()) file += ".";
#endif
  return file;
}

void* OpenModule(const std::string& path, std::string* error) {
  const std::string file = ModuleFile(path, error);
  if (file.empty()) return nullptr;
#if defined(_WIN32)
  HMODULE module = LoadLibraryA(file.c_str());
  if (!module && error)
    *error = "cannot load " + path + " (error " + std::to_string(GetLastError()) + ")";
  return reinterpret_cast<void*>(module);
#else
  void* module = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!module && error) *error = dlerror();
  return module;
#endif
}

void* FindExport(void* module, const char* name) {
#if defined(_WIN32)
  return reinterpret_cast<void*>(GetProcAddress(reinterpret_cast<HMODULE>(module), name));
#else
  return dlsym(module, name);
#endif
}

void CloseModule(void* module) {
#if defined(_WIN32)
  FreeLibrary(reinterpret_cast<HMODULE>(module));
#else
  dlclose(module);
#endif
}

template <typename Fn>
bool Bind(void* module, const char* name, Fn* fn, std::string* error) {
  void* address = FindExport(module, name);
  if (!address) {
    if (error) *error = std::string("the module does not export ") + name;
    return false;
  }
  *fn = reinterpret_cast<Fn>(address);
  return true;
}

std::string Field(const uint8_t* record, int offset) {
  const char* text = reinterpret_cast<const char*>(record + offset);
  return std::string(text, strnlen(text, 64));
}

}  // namespace

std::unique_ptr<PluginModule> PluginModule::Load(const std::string& path, std::string* error) {
  void* module = OpenModule(path, error);
  if (!module) return nullptr;
  std::unique_ptr<PluginModule> plugin(new PluginModule);
  plugin->module_ = module;
  plugin->entry_.reset(new EntryPoints{});
  EntryPoints& e = *plugin->entry_;
  if (!Bind(module, "FinaleExtensionVersion", &e.version, error) ||
      !Bind(module, "FinaleExtensionInit", &e.init, error) ||
      !Bind(module, "FinaleExtensionEnumerate", &e.enumerate, error) ||
      !Bind(module, "FinaleExtensionInvoke", &e.invoke, error) ||
      !Bind(module, "FinaleExtensionTerminate", &e.terminate, error) ||
      !Bind(module, "FinaleExtensionGetMenuStatus", &e.menuStatus, error)) {
    plugin->entry_->terminate = nullptr;
    return nullptr;
  }
  return plugin;
}

PluginModule::~PluginModule() {
  if (entry_ && entry_->terminate) entry_->terminate(0);
  if (module_) CloseModule(module_);
}

bool PluginModule::Start(uint32_t hostVersion, std::string* error) {
  items_.clear();
  pluginVersion_ = Version(hostVersion);
  if (pluginVersion_ == 0 || pluginVersion_ > kInterfaceVersion) {
    if (error) {
      char text[128];
      std::snprintf(text, sizeof text,
                    "the plug-in is written for host interface 0x%08X; this host implements "
                    "interfaces up to 0x%08X",
                    static_cast<unsigned>(pluginVersion_),
                    static_cast<unsigned>(kInterfaceVersion));
      *error = text;
    }
    return false;
  }
  if (!Init(&initFlags_)) {
    if (error) *error = "the plug-in's initialisation (FinaleExtensionInit) failed";
    return false;
  }
  // A plug-in offers a handful of items; a bound keeps a faulty one from hanging us.
  const int32_t kMaxItems = 256;
  for (int32_t index = 0; index < kMaxItems; ++index) {
    MenuItem item;
    if (!Enumerate(index, &item)) break;
    items_.push_back(item);
  }
  return true;
}

uint32_t PluginModule::Version(uint32_t hostVersion) { return entry_->version(hostVersion); }

int32_t PluginModule::Init(uint32_t* flags) { return entry_->init(0, flags); }

int32_t PluginModule::Enumerate(int32_t index, MenuItem* item) {
  uint8_t record[256] = {};
  int32_t result = EnumerateRecord(index, record);
  if (result && item) {
    item->name = Field(record, 0);
    item->description = Field(record, 64);
    item->menuText = Field(record, 128);
    item->word1 = fxt::GetU16(record, 192);
    item->word2 = fxt::GetU16(record, 194);
  }
  return result;
}

int32_t PluginModule::EnumerateRecord(int32_t index, void* record) {
  return entry_->enumerate(0, index, record);
}

int32_t PluginModule::Invoke(void* region, int32_t item) {
  return entry_->invoke(0, static_cast<FXPTR>(item), region, 0);
}

int32_t PluginModule::GetMenuStatus() { return entry_->menuStatus(0); }

}  // namespace fxthost
