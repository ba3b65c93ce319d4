// Splits every group of generated scores of growing size through the real plug-in
// module, and prints the processor time and the host calls per score and how they grow against
// groups + staves. Given a second module (an earlier build, say), runs each score with
// both in turn, on fresh copies of the same document, and prints the ratio.
//
//   split_bench [plugin path [other plugin path]]
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "host/store/groups.h"
#include "host/functions/host.h"
#include "host/run/pluginmodule.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/functions/userinterface.h"

namespace {

struct Size {
  int staves;
  int groups;
  int measures;
};

struct Run {
  double seconds = -1;
  size_t calls = 0;
};

// A score whose every group brackets all staves over all measures, and a selection of
// the middle measures on all staves: one run of the command splits every group in three.
Run SplitEveryGroup(const std::string& pluginPath, const Size& size) {
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
    return Run();
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

  host.ClearCalls();
  // Processor time, not wall time: on a shared machine the wall clock mostly measures
  // the other processes.
  const std::clock_t start = std::clock();
  int32_t result = plugin->Invoke(bytes);
  Run run;
  run.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  run.calls = host.Calls().size();
  size_t groups = fxthost::ReadGroups(document).size();
  if (result != 1 || groups != static_cast<size_t>(3 * size.groups)) {
    std::fprintf(stderr, "split_bench: expected %d groups after the split, found %zu\n",
                 3 * size.groups, groups);
    return Run();
  }
  return run;
}

// The median of several runs of one score (each on a fresh document), so that a busy
// machine's slow moments do not decide the figure.
constexpr int kRepeats = 5;

Run Median(std::vector<Run> runs) {
  std::sort(runs.begin(), runs.end(),
            [](const Run& a, const Run& b) { return a.seconds < b.seconds; });
  return runs[runs.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const std::string plugin = argc > 1 ? argv[1] : FXT_PLUGIN_PATH;
  const std::string other = argc > 2 ? argv[2] : "";
  const Size sizes[] = {{20, 100, 200}, {50, 250, 500}, {100, 500, 1000}, {200, 1000, 2000}};
  std::printf("median of %d runs each%s\n", kRepeats,
              other.empty() ? "" : ", the two modules in turn");
  std::printf("%7s %7s %9s %10s %12s", "staves", "groups", "measures", "cpu s", "calls/group");
  if (!other.empty()) std::printf(" %14s %13s %11s", "other cpu s", "other calls/g", "other/this");
  std::printf("\n");
  Run first, last;
  Size firstSize{}, lastSize{};
  for (const Size& size : sizes) {
    std::vector<Run> runs, others;
    for (int i = 0; i < kRepeats; ++i) {
      runs.push_back(SplitEveryGroup(plugin, size));
      if (runs.back().seconds < 0) return 1;
      if (other.empty()) continue;
      others.push_back(SplitEveryGroup(other, size));
      if (others.back().seconds < 0) return 1;
    }
    const Run run = Median(runs);
    std::printf("%7d %7d %9d %10.4f %12.1f", size.staves, size.groups, size.measures, run.seconds,
                static_cast<double>(run.calls) / size.groups);
    if (!other.empty()) {
      const Run old = Median(others);
      std::printf(" %14.4f %13.1f %11.1f", old.seconds,
                  static_cast<double>(old.calls) / size.groups, old.seconds / run.seconds);
    }
    std::printf("\n");
    if (first.seconds < 0) {
      first = run;
      firstSize = size;
    }
    last = run;
    lastSize = size;
  }
  const double sum = static_cast<double>(lastSize.groups + lastSize.staves) /
                     (firstSize.groups + firstSize.staves);
  const double product = static_cast<double>(lastSize.groups) * lastSize.staves /
                         (static_cast<double>(firstSize.groups) * firstSize.staves);
  std::printf(
      "largest/smallest: time %.1fx, host calls %.1fx, for %.0fx the groups + staves "
      "(%.0fx the groups x staves)\n",
      last.seconds / first.seconds,
      static_cast<double>(last.calls) / static_cast<double>(first.calls), sum, product);
  return 0;
}
