// A plug-in module loaded the way the host loads one: by path, then the version
// handshake, initialisation and menu enumeration.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bridge/fxcall.h"

namespace fxthost {

// One menu item as the plug-in registered it.
struct MenuItem {
  std::string name;
  std::string description;
  std::string menuText;
  uint16_t word1 = 0;
  uint16_t word2 = 0;
};

class PluginModule {
 public:
  // Loads the module at path and resolves its six entry points; null with a reason in
  // error when the file cannot be loaded or lacks one of them. A relative path names a
  // file under the current directory, a bare name included: the system's library path is
  // never searched.
  static std::unique_ptr<PluginModule> Load(const std::string& path, std::string* error);
  ~PluginModule();

  // The newest host interface this host implements: a plug-in that answers the version
  // handshake with 0 or with a later interface is written for a host we are not.
  static constexpr uint32_t kInterfaceVersion = 0x11000000;

  // The handshake as the host performs it after loading: FinaleExtensionVersion with
  // the host's version, FinaleExtensionInit, then FinaleExtensionEnumerate for index
  // 0, 1, ... until it answers 0. False, with the reason in error, when the plug-in
  // answers an interface version this host does not implement or its initialisation
  // answers 0; the host then uses none of its items.
  bool Start(uint32_t hostVersion, std::string* error = nullptr);

  uint32_t Version(uint32_t hostVersion);
  int32_t Init(uint32_t* flags);
  // Fills item when the plug-in answers non-zero for index.
  int32_t Enumerate(int32_t index, MenuItem* item);
  // The same with the host's raw menu item record (at least 196 bytes).
  int32_t EnumerateRecord(int32_t index, void* record);
  // Runs menu item `item` on the selection record. The host names the item in the
  // second argument slot of FinaleExtensionInvoke; a plug-in of one item may ignore it.
  int32_t Invoke(void* region, int32_t item = 0);
  int32_t GetMenuStatus();

  uint32_t PluginVersion() const { return pluginVersion_; }
  uint32_t InitFlags() const { return initFlags_; }
  const std::vector<MenuItem>& MenuItems() const { return items_; }

 private:
  PluginModule() = default;
  struct EntryPoints;
  void* module_ = nullptr;
  std::unique_ptr<EntryPoints> entry_;
  uint32_t pluginVersion_ = 0;
  uint32_t initFlags_ = 0;
  std::vector<MenuItem> items_;
};

}  // namespace fxthost
