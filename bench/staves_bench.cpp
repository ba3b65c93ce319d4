// How reading, showing and running grow with the staves: generated documents of 4,000 to
// 32,000 staves, each step timed in processor time as fxthost show and run take it
// (host/cli/cli.cpp; docs/fxthost.md, "Commands"). Prints the median of several runs per
// size and step, and the median ratio of the largest to the smallest; for 8x the staves every
// step should cost at most about 9x. Run by hand:
//
//   staves_bench [plugin path]
//
// "read" is the whole reading of the text (the JSON parse included); "json" is the JSON
// parse alone, so that read - json is the host's own part of reading.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#endif

#include "host/cli/chart.h"
#include "host/cli/musicchart.h"
#include "host/cli/notationview.h"
#include "host/cli/report.h"
#include "host/files/docfile.h"
#include "host/files/docfile_json.h"
#include "host/functions/host.h"
#include "host/functions/userinterface.h"
#include "host/run/pluginmodule.h"
#include "host/store/groups.h"
#include "host/store/recorddiff.h"
#include "host/store/score.h"

namespace {

constexpr int kSizes[] = {4000, 8000, 16000, 32000};
constexpr int kMeasures = 40;
constexpr int kSectionStaves = 16;  // the staves of one section's group
// Groups over all staves: as many at every size, as a larger score has more sections but
// not more brackets over the whole score. (One such group per so many staves would make
// groups times staves grow with the square of the staves, and with it the staves the
// command must read, whatever the host does.)
constexpr int kFullGroups = 10;
constexpr int kRepeats = 9;

// The steps, in the order printed.
enum Step { kRead, kJson, kShow, kCommand, kChart, kWrite, kReport, kSteps };
const char* const kStepNames[kSteps] = {"read",  "json",  "show",  "command",
                                        "chart", "write", "report"};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A score of `staves` staves (every other one named, as a score whose lower staves of
// an instrument have no name of their own), a named group over each section of sixteen
// staves whose last two staves are one instrument, ten groups over all staves, and the
// middle measures of all staves selected: the command splits every group
// over all staves in three.
std::string GeneratedDocument(int staves) {
  std::string text =
      "{\n  \"format\": \"fxthost-document/1\",\n  \"measures\": " + std::to_string(kMeasures) +
      ",\n  \"staves\": [\n";
  for (int staff = 1; staff <= staves; ++staff)
    text += "    { \"id\": " + std::to_string(staff) +
            (staff % 2 ? ", \"name\": " + Quoted("Staff " + std::to_string(staff)) : "") + " }" +
            (staff < staves ? ",\n" : "\n");
  // A two-staff instrument (a keyboard, say) at the foot of each full section.
  text += "  ],\n  \"multiStaffInstruments\": [\n";
  for (int top = 1; top + kSectionStaves - 1 <= staves; top += kSectionStaves)
    text += std::string(top > 1 ? ",\n" : "") +
            "    { \"id\": " + std::to_string(top / kSectionStaves + 1) + ", \"staves\": [" +
            std::to_string(top + kSectionStaves - 2) + ", " +
            std::to_string(top + kSectionStaves - 1) + ", 0] }";
  text += "\n  ],\n  \"groups\": [\n";
  int id = 0;
  auto group = [&](int top, int bottom, const std::string& name, const std::string& abbreviation) {
    text += std::string(id > 0 ? ",\n" : "");
    text += "    { \"id\": " + std::to_string(++id) + ", \"staves\": [" + std::to_string(top) +
            ", " + std::to_string(bottom) + "], \"measures\": [1, " + std::to_string(kMeasures) +
            "], \"name\": " + Quoted("^font(Times New Roman)^size(12)^nfx(0)" + name) +
            ", \"abbreviation\": " + Quoted(abbreviation) + " }";
  };
  for (int top = 1; top <= staves; top += kSectionStaves)
    group(top, std::min(top + kSectionStaves - 1, staves), "Section " + std::to_string(top),
          "Sec.");
  for (int k = 0; k < kFullGroups; ++k) group(1, staves, "Tutti " + std::to_string(k + 1), "T.");
  text += "\n  ],\n  \"selection\": { \"staves\": [1, " + std::to_string(staves) +
          "], \"measures\": [10, 20] }\n}\n";
  return text;
}

double Since(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// One pass of show and run over the text, each step timed; false when a step failed.
bool TimeSteps(const std::string& pluginPath, const std::string& text, double (&seconds)[kSteps]) {
  std::clock_t start = std::clock();
  fxthost::ParseStrictJson(text);
  seconds[kJson] = Since(start);

  fxthost::Host host;
  host.KeepCallLog(false);  // as fxthost's commands run
  fxthost::Document& document = host.NewDocument("generated.json");
  fxthost::DocumentFile info;
  fxthost::DocumentError error;
  start = std::clock();
  if (!fxthost::ParseDocument(text, "generated.json", &document, &info, &error)) {
    std::fprintf(stderr, "staves_bench: %s\n", error.Message().c_str());
    return false;
  }
  seconds[kRead] = Since(start);

  fxthost::ChartOptions chart;
  chart.title = "generated.json";
  start = std::clock();
  const std::string shown = fxthost::DrawChart(document, chart) +
                            fxthost::DrawNotation(document, chart.width) +
                            fxthost::DrawMusic(document, chart.width);
  seconds[kShow] = Since(start);

  std::string reason;
  std::unique_ptr<fxthost::PluginModule> plugin = fxthost::PluginModule::Load(pluginPath, &reason);
  if (!plugin || !plugin->Start(host.Version(), &reason)) {
    std::fprintf(stderr, "staves_bench: %s: %s\n", pluginPath.c_str(), reason.c_str());
    return false;
  }
  fxthost::ScriptedUserInterface ui(host, fxthost::Answer::kYes);
  host.SetUserInterface(&ui);
  host.SetCurrentDocument(document.number);
  uint8_t selection[fxthost::Region::kBytes];
  fxthost::Selection(document).ToBytes(selection);
  const size_t groupsBefore = fxthost::ReadGroups(document).size();

  // The chart before the command, then the command in its undo step, then the chart
  // after it, marked against the groups before: as run takes them.
  start = std::clock();
  const std::vector<fxthost::ChartGroup> before = fxthost::ChartGroups(document);
  std::string charts = fxthost::DrawChart(document, chart);
  seconds[kChart] = Since(start);

  start = std::clock();
  const fxthost::Document::Content contentBefore = document.Snapshot();
  seconds[kReport] = Since(start);

  start = std::clock();
  int32_t result = 0;
  if (host.BeginCommand("Split Groups")) {
    result = plugin->Invoke(selection);
    host.EndCommand(true);
  }
  seconds[kCommand] = Since(start);

  start = std::clock();
  chart.before = &before;
  charts += fxthost::DrawChart(document, chart);
  seconds[kChart] += Since(start);

  start = std::clock();
  const std::string written = fxthost::FormatDocument(document, info);
  seconds[kWrite] = Since(start);

  start = std::clock();
  fxthost::RunReport report;
  report.result = result;
  report.records = fxthost::DiffRecords(contentBefore.records, document.records);
  const std::string reported = fxthost::FormatReport(report);
  seconds[kReport] += Since(start);

  // Two new groups for each group over all staves.
  const size_t expected = groupsBefore + 2 * static_cast<size_t>(kFullGroups);
  const size_t groupsAfter = fxthost::ReadGroups(document).size();
  if (result != 1 || groupsAfter != expected || shown.empty() || written.empty() ||
      reported.empty()) {
    std::fprintf(stderr, "staves_bench: expected %zu groups after the split, found %zu\n", expected,
                 groupsAfter);
    return false;
  }
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// One process per measurement, as each fxthost command is a process of its own: a run
// of one size does not inherit the heap and caches another size left behind.
int MeasureOne(const std::string& plugin, int staves) {
  double seconds[kSteps] = {};
  if (!TimeSteps(plugin, GeneratedDocument(staves), seconds)) return 1;
  for (int step = 0; step < kSteps; ++step) std::printf("%.6f ", seconds[step]);
  std::printf("\n");
  return 0;
}

bool RunOne(const std::string& self, const std::string& plugin, int staves,
            double (&seconds)[kSteps]) {
  const std::string command =
      "\"" + self + "\" --one " + std::to_string(staves) + " \"" + plugin + "\"";
  std::FILE* child = popen(command.c_str(), "r");
  if (!child) return false;
  int read = 0;
  for (double& value : seconds) read += std::fscanf(child, "%lf", &value);
  return pclose(child) == 0 && read == kSteps;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--one") return MeasureOne(argv[3], std::atoi(argv[2]));
  const std::string plugin = argc > 1 ? argv[1] : FXT_PLUGIN_PATH;
  constexpr size_t kSizeCount = sizeof kSizes / sizeof kSizes[0];
  constexpr int kColumns = kSteps + 1;  // the steps, then read - json
  // The sizes take turns within each round, so that a busy spell of the machine falls on
  // all of them alike; the ratio of the largest to the smallest is taken round by round.
  std::vector<double> samples[kSizeCount][kColumns];
  std::vector<double> ratios[kColumns];
  for (int r = 0; r < kRepeats; ++r) {
    double round[kSizeCount][kColumns] = {};
    for (size_t s = 0; s < kSizeCount; ++s) {
      double seconds[kSteps] = {};
      if (!RunOne(argv[0], plugin, kSizes[s], seconds)) {
        std::fprintf(stderr, "staves_bench: the run of %d staves failed\n", kSizes[s]);
        return 1;
      }
      for (int step = 0; step < kSteps; ++step) round[s][step] = seconds[step];
      round[s][kSteps] = seconds[kRead] - seconds[kJson];
      for (int column = 0; column < kColumns; ++column)
        samples[s][column].push_back(round[s][column]);
    }
    for (int column = 0; column < kColumns; ++column)
      if (round[0][column] > 0)
        ratios[column].push_back(round[kSizeCount - 1][column] / round[0][column]);
  }

  std::printf("processor seconds, median of %d rounds\n", kRepeats);
  std::printf("%7s", "staves");
  for (const char* name : kStepNames) std::printf(" %8s", name);
  std::printf(" %10s\n", "read-json");
  for (size_t s = 0; s < kSizeCount; ++s) {
    std::printf("%7d", kSizes[s]);
    for (int column = 0; column < kColumns; ++column)
      std::printf(column < kSteps ? " %8.4f" : " %10.4f", Median(samples[s][column]));
    std::printf("\n");
  }
  std::printf("%6dx", kSizes[kSizeCount - 1] / kSizes[0]);
  for (int column = 0; column < kColumns; ++column)
    std::printf(column < kSteps ? " %7.1fx" : " %9.1fx",
                ratios[column].empty() ? 0.0 : Median(ratios[column]));
  std::printf("   (median of the rounds' ratios)\n");
  return 0;
}
