// How reading, showing and running grow with the staves: generated documents of 4,000 to
// 32,000 staves, each step timed in processor time as fxthost show and run take it
// (host/cli/cli.cpp; docs/fxthost.md, "Commands"). Prints the median of several runs per
// size and step, and the ratio of the largest to the smallest; for 8x the staves every
// step should cost at most about 9x. Run by hand:
//
//   staves_bench [plugin path]
//
// "read" is the whole reading of the text (the JSON parse included); "json" is the JSON
// parse alone, so that read - json is the host's own part of reading.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

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
constexpr int kStavesPerFullGroup = 400;
constexpr int kRepeats = 5;

// The steps, in the order printed.
enum Step { kRead, kJson, kShow, kCommand, kChart, kWrite, kReport, kSteps };
const char* const kStepNames[kSteps] = {"read",  "json",  "show",  "command",
                                        "chart", "write", "report"};

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// A score of `staves` staves (every other one named, as a score whose lower staves of
// an instrument have no name of their own), a named group over each section of sixteen
// staves whose last two staves are one instrument, a group over all staves per 400
// staves, and the middle measures of all staves selected: the command splits every group
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
  for (int k = 0; k < staves / kStavesPerFullGroup; ++k)
    group(1, staves, "Tutti " + std::to_string(k + 1), "T.");
  text += "\n  ],\n  \"selection\": { \"staves\": [1, " + std::to_string(staves) +
          "], \"measures\": [10, 20] }\n}\n";
  return text;
}

double Since(std::clock_t start) {
  return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// One pass of show and run over the text, each step timed; false when a step failed.
bool TimeSteps(const std::string& pluginPath, const std::string& text, int staves,
               double (&seconds)[kSteps]) {
  std::clock_t start = std::clock();
  fxthost::ParseStrictJson(text);
  seconds[kJson] = Since(start);

  fxthost::Host host;
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
  const size_t expected = groupsBefore + 2 * static_cast<size_t>(staves / kStavesPerFullGroup);
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

}  // namespace

int main(int argc, char** argv) {
  const std::string plugin = argc > 1 ? argv[1] : FXT_PLUGIN_PATH;
  std::printf("processor seconds, median of %d runs\n", kRepeats);
  std::printf("%7s", "staves");
  for (const char* name : kStepNames) std::printf(" %8s", name);
  std::printf(" %10s\n", "read-json");
  double medians[sizeof kSizes / sizeof kSizes[0]][kSteps + 1] = {};
  for (size_t s = 0; s < sizeof kSizes / sizeof kSizes[0]; ++s) {
    const std::string text = GeneratedDocument(kSizes[s]);
    std::vector<double> samples[kSteps + 1];
    for (int r = 0; r < kRepeats; ++r) {
      double seconds[kSteps] = {};
      if (!TimeSteps(plugin, text, kSizes[s], seconds)) return 1;
      for (int step = 0; step < kSteps; ++step) samples[step].push_back(seconds[step]);
      samples[kSteps].push_back(seconds[kRead] - seconds[kJson]);
    }
    std::printf("%7d", kSizes[s]);
    for (int step = 0; step <= kSteps; ++step) {
      medians[s][step] = Median(samples[step]);
      std::printf(step < kSteps ? " %8.4f" : " %10.4f", medians[s][step]);
    }
    std::printf("\n");
  }
  const size_t last = sizeof kSizes / sizeof kSizes[0] - 1;
  std::printf("%6dx", kSizes[last] / kSizes[0]);
  for (int step = 0; step <= kSteps; ++step)
    std::printf(step < kSteps ? " %7.1fx" : " %9.1fx",
                medians[0][step] > 0 ? medians[last][step] / medians[0][step] : 0.0);
  std::printf("\n");
  return 0;
}
