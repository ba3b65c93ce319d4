// Splits every group of generated scores of growing size through the real plug-in
// module, and prints the time per score and how it grows against groups x staves.
//
//   split_bench [plugin path]
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "host/groups.h"
#include "host/host.h"
#include "host/pluginmodule.h"
#include "host/score.h"
#include "host/scoremodel.h"
#include "host/userinterface.h"

namespace {

struct Size {
  int staves;
  int groups;
  int measures;
};

// A score whose every group brackets all staves over all measures, and a selection of
// the middle measures on all staves: one run of the command splits every group in three.
double SplitEveryGroup(const std::string& pluginPath, const Size& size) {
  fxthost::Host host;
  fxthost::ScriptedUserInterface ui(host, fxthost::Answer::kYes);
  host.SetUserInterface(&ui);
  fxthost::Document& document = host.NewDocument("generated");
  fxthost::SetMeasures(document, size.measures);
  std::vector<int16_t> staves;
  for (int s = 1; s <= size.staves; ++s) {
    staves.push_back(static_cast<int16_t>(s));
    fxthost::PutStaff(document, static_cast<int16_t>(s), "Staff " + std::to_string(s));
  }
  fxthost::WriteInstrumentList(document, 0, staves);
  for (int g = 1; g <= size.groups; ++g) {
    fxthost::GroupRecord group;
    group.number = static_cast<uint16_t>(g);
    group.startStaff = 1;
    group.endStaff = static_cast<int16_t>(size.staves);
    group.startMeasure = 1;
    group.endMeasure = static_cast<int16_t>(size.measures);
    fxthost::WriteGroup(document, group);
    fxthost::WriteGroupNames(document, 0, group.number, "Group " + std::to_string(g), "G.");
  }
  std::string error;
  std::unique_ptr<fxthost::PluginModule> plugin = fxthost::PluginModule::Load(pluginPath, &error);
  if (!plugin) {
    std::fprintf(stderr, "split_bench: %s\n", error.c_str());
    return -1;
  }
  plugin->Start(host.Version());
  fxthost::Region region;
  region.startSlot = 1;
  region.endSlot = static_cast<int16_t>(size.staves);
  region.startMeasure = static_cast<int16_t>(size.measures / 2);
  region.endMeasure = static_cast<int16_t>(size.measures / 2 + 2);
  region.endPosition = fxthost::Region::kMeasureEnd;
  uint8_t bytes[fxthost::Region::kBytes];
  region.ToBytes(bytes);

  auto start = std::chrono::steady_clock::now();
  int32_t result = plugin->Invoke(bytes);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  size_t groups = fxthost::ReadGroups(document).size();
  if (result != 1 || groups != static_cast<size_t>(3 * size.groups)) {
    std::fprintf(stderr, "split_bench: expected %d groups after the split, found %zu\n",
                 3 * size.groups, groups);
    return -1;
  }
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  std::string plugin = argc > 1 ? argv[1] : FXT_PLUGIN_PATH;
  const Size sizes[] = {{20, 100, 200}, {50, 250, 500}, {100, 500, 1000}, {200, 1000, 2000}};
  std::printf("%8s %8s %9s %10s %16s\n", "staves", "groups", "measures", "seconds",
              "us per group*staff");
  double first = 0, last = 0;
  double firstWork = 0, lastWork = 0;
  for (const Size& size : sizes) {
    double seconds = SplitEveryGroup(plugin, size);
    if (seconds < 0) return 1;
    double work = static_cast<double>(size.groups) * size.staves;
    std::printf("%8d %8d %9d %10.3f %16.3f\n", size.staves, size.groups, size.measures, seconds,
                seconds / work * 1e6);
    if (first == 0) {
      first = seconds;
      firstWork = work;
    }
    last = seconds;
    lastWork = work;
  }
  std::printf("time ratio largest/smallest: %.1f for %.0fx the groups x staves\n", last / first,
              lastWork / firstWork);
  std::printf("largest: %s one second\n", last < 1.0 ? "under" : "OVER");
  return last < 1.0 ? 0 : 1;
}
