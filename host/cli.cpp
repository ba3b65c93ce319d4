#include "host/cli.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <iostream>
#include <string>

#include "host/host.h"
#include "host/paths.h"
#include "host/pluginmodule.h"

namespace fxthost {

namespace {

constexpr int kExitUnusable = 2;

int Menu(const std::string& pluginPath) {
  Host host;
  std::string error;
  std::unique_ptr<PluginModule> plugin = PluginModule::Load(pluginPath, &error);
  if (!plugin) {
    std::cerr << "fxthost: cannot load plug-in " << pluginPath << ": " << error << "\n";
    return kExitUnusable;
  }
  plugin->Start(host.Version());
  for (const MenuItem& item : plugin->MenuItems()) {
    std::cout << "Name:        " << item.name << "\n"
              << "Description: " << item.description << "\n"
              << "Menu text:   " << item.menuText << "\n";
  }
  return 0;
}

}  // namespace

int RunCommandLine(int argc, char** argv) {
  CLI::App app{"fxthost: an emulated Finale host that loads plug-in modules and runs them "
               "on score documents."};
  app.require_subcommand(1);

  std::string menuPlugin = DefaultPluginPath();
  CLI::App* menu = app.add_subcommand("menu", "Show the plug-in's menu registration");
  menu->add_option("--plugin", menuPlugin, "Path of the plug-in module")->capture_default_str();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int status = app.exit(e);
    return status == 0 ? 0 : kExitUnusable;
  }
  if (menu->parsed()) return Menu(menuPlugin);
  return kExitUnusable;
}

}  // namespace fxthost
