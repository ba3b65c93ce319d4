// One run of the command through the real plug-in module, as the host runs it: a fresh
// host with a document read from JSON, the module loaded and started, questions answered
// as told, and the document's records as they were before the command.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/run/pluginmodule.h"
#include "host/store/score.h"
#include "host/functions/userinterface.h"

namespace fxt_testing {

struct ModuleRun {
  fxthost::Host host;
  fxthost::ScriptedUserInterface ui;
  fxthost::Document* document = nullptr;
  std::unique_ptr<fxthost::PluginModule> plugin;
  fxthost::RecordStore before;

  explicit ModuleRun(const std::string& json, fxthost::Answer answer = fxthost::Answer::kYes)
      : ui(host, answer) {
    host.SetUserInterface(&ui);
    document = &host.NewDocument("run");
    fxthost::DocumentError error;
    if (!fxthost::ParseDocument(json, "run.json", document, nullptr, &error)) {
      ADD_FAILURE() << error.Message();
      return;
    }
    before = document->records;
    std::string loadError;
    plugin = fxthost::PluginModule::Load(FXT_PLUGIN_PATH, &loadError);
    if (!plugin) {
      ADD_FAILURE() << loadError;
      return;
    }
    plugin->Start(host.Version());
    host.ClearCalls();
  }

  // Records taken now count as the document before the command (after the test has
  // added what the JSON cannot say).
  void TakeBefore() { before = document->records; }

  int32_t Invoke(const fxthost::Region& region) {
    uint8_t bytes[fxthost::Region::kBytes];
    region.ToBytes(bytes);
    return plugin->Invoke(bytes);
  }

  bool Unchanged() const { return document->records == before; }
};

}  // namespace fxt_testing
