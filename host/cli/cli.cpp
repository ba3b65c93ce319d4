// The fxthost command line: its subcommands and the steps of run (host/cli/cli.h; its
// options, selection and report: options.h, selection.h, report.h; docs/fxthost.md, "Commands", has
// every message and exit status).
#include "host/cli/cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/cli/batch.h"
#include "host/cli/chart.h"
#include "host/cli/console.h"
#include "host/cli/import.h"
#include "host/cli/musicchart.h"
#include "host/cli/notationview.h"
#include "host/cli/options.h"
#include "host/cli/prefslisting.h"
#include "host/cli/report.h"
#include "host/cli/selection.h"
#include "host/cli/svg.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/run/crashguard.h"
#include "host/run/messages.h"
#include "host/run/opendocuments.h"
#include "host/run/outputs.h"
#include "host/run/paths.h"
#include "host/run/pluginmodule.h"
#include "host/store/recorddiff.h"
#include "host/store/score.h"

namespace fxthost {

namespace {

constexpr int kExitRan = 0;
// The command ran, but what it was to write could not be written.
constexpr int kExitNotWritten = 1;
constexpr int kExitUnusable = 2;
constexpr const char* kDemoName = "built-in orchestra";

int Unusable(const std::string& reason) {
  Complain(std::cerr, reason);
  return kExitUnusable;
}

std::string DescribeSelection(const Document& document, const Region& region) {
  if (region.IsEmpty()) return "an empty selection";
  const int16_t top = StaffAtSlot(document.records, region.startList, region.startSlot);
  const int16_t bottom = StaffAtSlot(document.records, region.endList, region.endSlot);
  std::string text = "staves " + std::to_string(top) + "-" + std::to_string(bottom) + " (slots " +
                     std::to_string(region.startSlot) + "-" + std::to_string(region.endSlot) +
                     (region.startList == 0 ? "" : " of list " + std::to_string(region.startList)) +
                     "), measures " + std::to_string(region.startMeasure) + "-" +
                     std::to_string(region.endMeasure);
  if (region.IsPartial())
    text += ", positions " + std::to_string(region.startPosition) + " to " +
            std::to_string(region.endPosition);
  return text;
}

// Loads the plug-in and performs the host's handshake with it; null, with the reason,
// when the module is no plug-in this host can use. A crash in the handshake ends fxthost.
std::unique_ptr<PluginModule> StartPlugin(const std::string& path, uint32_t hostVersion,
                                          std::string* error) {
  std::string reason;
  std::unique_ptr<PluginModule> plugin = PluginModule::Load(path, &reason);
  if (!plugin) {
    *error = "cannot load plug-in " + path + ": " + reason;
    return nullptr;
  }
  const std::string what = "plug-in " + path + " crashed while starting";
  CrashGuard guard(what.c_str());
  if (plugin->Start(hostVersion, &reason)) return plugin;
  *error = "cannot use plug-in " + path + ": " + reason;
  return nullptr;
}

// A run made ready before the plug-in is loaded: its document open with the selection
// set, the version the host reports, and the further documents open.
struct PreparedRun {
  std::string name;  // the document as the charts title it
  Document* document = nullptr;
  DocumentFile info;  // what the document's file holds beside the document
  Region region;
  uint32_t version = 0;
  std::vector<OpenedDocument> further;
};

// The built-in orchestra, read into a new document of the host.
Document* OpenDemoDocument(Host& host, DocumentFile* info, DocumentError* error) {
  Document& document = host.NewDocument(kDemoName);
  return ParseDocument(kDemoScore, kDemoName, &document, info, error) ? &document : nullptr;
}

// The version the host reports: --host-version when given, else version unchanged (the
// document file's, or the host's own).
bool ChooseHostVersion(const std::string& text, uint32_t* version, std::string* problem) {
  if (text.empty()) return true;
  int64_t parsed = 0;
  if (!ParseNumber(text, 0, 0xFFFFFFFFll, &parsed, true)) {
    *problem = "--host-version " + text + ": expected a version such as 0x11000000";
    return false;
  }
  *version = static_cast<uint32_t>(parsed);
  return true;
}

// The report may replace neither the input document nor the document written (-o).
bool CheckReportPath(const RunOptions& options, bool demo, std::string* problem) {
  if (options.report.empty()) return true;
  if (!demo && SamePath(options.report, options.document)) {
    *problem = "--report " + options.report + " would overwrite the input document";
    return false;
  }
  if (!options.output.empty() && SamePath(options.report, options.output)) {
    *problem = "-o and --report name the same file";
    return false;
  }
  return true;
}

// The picture may replace neither the input document nor another output.
bool CheckSvgPath(const RunOptions& options, bool demo, std::string* problem) {
  if (options.svg.empty()) return true;
  if (!demo && SamePath(options.svg, options.document)) {
    *problem = "--svg " + options.svg + " would overwrite the input document";
    return false;
  }
  for (const std::string* other : {&options.output, &options.report})
    if (!other->empty() && SamePath(options.svg, *other)) {
      *problem = std::string(other == &options.output ? "-o" : "--report") +
                 " and --svg name the same file";
      return false;
    }
  return true;
}

// The name a picture's heading gives a document: its file name without the folders, so
// that the picture does not depend on where the file was read from.
std::string PictureName(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Opens the document and everything the run needs before the plug-in is loaded, and
// makes the document current. False, with the reason, when the input is unusable.
bool PrepareRun(Host& host, const RunOptions& options, bool demo, PreparedRun* run,
                std::string* problem) {
  run->name = demo ? kDemoName : options.document;
  DocumentError error;
  run->document = demo ? OpenDemoDocument(host, &run->info, &error)
                       : OpenDocumentFile(host, options.document, &run->info, &error);
  if (!run->document) {
    *problem = error.Message();
    return false;
  }
  if (!ChooseSelection(*run->document, options, &run->region, problem)) return false;
  // An empty selection leaves the document without one, as it came.
  if (!run->region.IsEmpty()) SetSelection(*run->document, run->region);
  run->version = run->info.hostVersion.value_or(host.Version());
  if (!ChooseHostVersion(options.hostVersion, &run->version, problem) ||
      !CheckReportPath(options, demo, problem) || !CheckSvgPath(options, demo, problem) ||
      !OpenFurtherDocuments(host, options.open, options.document,
                            {options.output, options.report, options.svg}, &run->further, problem))
    return false;
  host.SetCurrentDocument(run->document->number);  // the command works on its own document
  host.SetVersion(run->version);
  return true;
}

// The plug-in, started, and the menu item the run invokes.
struct LoadedCommand {
  std::unique_ptr<PluginModule> plugin;
  int32_t item = 0;
  std::string menuText;
};

// Starts the plug-in and picks its item (--item, else the first). False, with the
// reason, when the plug-in cannot be used or has no such item.
bool LoadCommand(const RunOptions& options, uint32_t version, LoadedCommand* command,
                 std::string* problem) {
  command->plugin = StartPlugin(options.plugin, version, problem);
  if (!command->plugin) return false;
  const std::vector<MenuItem>& items = command->plugin->MenuItems();
  const int64_t count = static_cast<int64_t>(items.size());
  if (count == 0) {
    *problem = "plug-in " + options.plugin + " registers no menu item";
    return false;
  }
  int64_t item = 0;
  if (!options.item.empty() && !ParseNumber(options.item, 0, count - 1, &item)) {
    *problem = "--item " + options.item + ": the plug-in's items are numbered 0 to " +
               std::to_string(count - 1);
    return false;
  }
  command->item = static_cast<int32_t>(item);
  command->menuText = items[static_cast<size_t>(item)].menuText;
  return true;
}

// Invokes the command in one undo step, as the host runs a menu item; nothing when the
// host could not start the command. A crash in the plug-in ends fxthost.
std::optional<int32_t> InvokeCommand(Host& host, const std::string& pluginPath,
                                     const LoadedCommand& command, const Region& region) {
  if (!host.BeginCommand(command.menuText)) {
    Complain(std::cerr, "the host could not start the command");
    return std::nullopt;
  }
  uint8_t selection[Region::kBytes];
  region.ToBytes(selection);
  int32_t result = 0;
  {
    const std::string what =
        "plug-in " + pluginPath + " crashed while running \"" + command.menuText + "\"";
    CrashGuard guard(what.c_str());
    result = command.plugin->Invoke(selection, command.item);
  }
  host.EndCommand(true);
  return result;
}

// The documents the command changed, its own first, by the names the run was given.
std::vector<std::string> ChangedDocuments(const PreparedRun& run,
                                          const Document::Content& contentBefore) {
  std::vector<std::string> changed;
  if (run.document->Snapshot() != contentBefore) changed.push_back(run.name);
  for (const OpenedDocument& other : run.further)
    if (other.Changed()) changed.push_back(other.input);
  return changed;
}

// The line under the chart after the command that names the documents it changed.
void PrintChangedDocuments(const std::vector<std::string>& changed) {
  std::cout << "Changed documents:";
  for (const std::string& file : changed) std::cout << " " << file;
  std::cout << (changed.empty() ? " none\n" : "\n");
}

// Runs the command on the document between a chart of its groups before and one after
// that marks what changed, alerts answered as the options say; fills in the report and,
// with --svg, the picture of the two. False when the host could not start the command.
bool RunCommand(Host& host, const RunOptions& options, const PreparedRun& run,
                const LoadedCommand& command, RunReport* report, std::string* svg) {
  Document& document = *run.document;
  ChartOptions chart;
  chart.width = TerminalWidth();
  const std::vector<ChartGroup> before = ChartGroups(document);
  SvgPanel beforePanel;
  if (!options.svg.empty())
    beforePanel =
        DrawSvgPanel(document, {"Before: " + PictureName(run.name), "before", true, nullptr});
  chart.title = "Before: " + run.name;
  std::cout << DrawChart(document, chart) << "\n";

  Answer answer = Answer::kNone;
  const bool answered = !options.answer.empty() && ParseAnswer(options.answer, &answer);
  ConsoleUserInterface ui = ConsoleUserInterface::ForTerminal(host, answered ? &answer : nullptr);
  host.SetUserInterface(&ui);
  host.Alerts().clear();

  std::cout << command.menuText << " on " << DescribeSelection(document, run.region) << std::endl;
  const Document::Content contentBefore = document.Snapshot();
  const size_t undoStepsBefore = document.undoSteps.size();
  const std::optional<int32_t> result = InvokeCommand(host, options.plugin, command, run.region);
  host.SetUserInterface(nullptr);
  if (!result) return false;
  if (host.FramesOutstanding() > 0)
    Complain(std::cerr, "the command left " + std::to_string(host.FramesOutstanding()) +
                            " entry frame(s) outstanding");
  report->result = *result;
  report->command = command.menuText;
  report->alerts = host.Alerts();
  std::cout << "The command returned " << *result << ".\n\n";

  chart.title = "After: " + run.name;
  chart.before = &before;
  std::cout << DrawChart(document, chart);
  if (!options.svg.empty())
    *svg = SvgPicture({beforePanel, DrawSvgPanel(document, {"After: " + PictureName(run.name) +
                                                                " \u2014 " + command.menuText,
                                                            "after", false, &before})});
  const std::vector<std::string> changed = ChangedDocuments(run, contentBefore);
  if (!run.further.empty()) {
    PrintChangedDocuments(changed);
    report->changed = changed;
  }
  for (size_t i = undoStepsBefore; i < document.undoSteps.size(); ++i)
    report->undoSteps.push_back(document.undoSteps[i].name);
  report->records = DiffRecords(contentBefore.records, document.records);
  report->callsNotEmulated = host.CallsNotEmulated();
  return true;
}

// Every file the run is to write, prepared before the plug-in runs: -o, --report and
// each further document's output. False, with the reason, when one cannot be.
bool PrepareOutputs(const RunOptions& options, const PreparedRun& run, Outputs* outputs,
                    std::string* problem) {
  std::vector<std::string> targets{options.output, options.report, options.svg};
  for (const OpenedDocument& document : run.further) targets.push_back(document.output);
  for (const std::string& target : targets)
    if (!target.empty() && !outputs->Prepare(target, problem)) return false;
  return true;
}

// Writes what the run was asked for, all or nothing, and says so; false, with the reason
// on standard error, when it could not.
bool WriteOutputs(const RunOptions& options, const PreparedRun& run, const RunReport& report,
                  const std::string& svg, Outputs& outputs) {
  if (!options.output.empty())
    outputs.Fill(options.output, FormatDocument(*run.document, run.info));
  if (!options.report.empty()) outputs.Fill(options.report, FormatReport(report));
  if (!options.svg.empty()) outputs.Fill(options.svg, svg);
  SaveChangedDocuments(run.further, outputs, std::cout);
  std::vector<std::string> written;
  std::string error;
  if (!outputs.Commit(&written, &error)) {
    Complain(std::cerr, error + "; nothing was written");
    return false;
  }
  for (const std::string& path : written) std::cout << "Wrote " << path << "\n";
  return true;
}

// fxthost run (and demo, on the built-in orchestra): prepares the run and its outputs,
// loads the plug-in, runs the command and writes what was asked for; returns the exit
// status.
int Run(const RunOptions& options, bool demo) {
  Host host;
  host.KeepCallLog(false);
  std::string problem;
  PreparedRun run;
  if (!PrepareRun(host, options, demo, &run, &problem)) return Unusable(problem);
  Outputs outputs;
  if (!PrepareOutputs(options, run, &outputs, &problem)) return Unusable(problem);
  LoadedCommand command;
  if (!LoadCommand(options, run.version, &command, &problem)) return Unusable(problem);
  RunReport report;
  std::string svg;
  if (!RunCommand(host, options, run, command, &report, &svg)) return kExitNotWritten;
  return WriteOutputs(options, run, report, svg, outputs) ? kExitRan : kExitNotWritten;
}

// fxthost show: the chart, and with --svg the picture, written through a temporary file
// as run's outputs are.
int Show(const std::string& path, const std::string& svgPath) {
  Host host;
  host.KeepCallLog(false);
  Document& document = host.NewDocument(path);
  DocumentError error;
  if (!ReadDocumentFile(path, &document, nullptr, &error)) return Unusable(error.Message());
  Outputs outputs;
  std::string problem;
  if (!svgPath.empty() && SamePath(svgPath, path))
    return Unusable("--svg " + svgPath + " would overwrite the input document");
  if (!svgPath.empty() && !outputs.Prepare(svgPath, &problem)) return Unusable(problem);
  ChartOptions chart;
  chart.width = TerminalWidth();
  chart.title = path;
  std::cout << DrawChart(document, chart) << DrawNotation(document, chart.width)
            << DrawMusic(document, chart.width);
  if (svgPath.empty()) return kExitRan;
  outputs.Fill(svgPath,
               SvgPicture({DrawSvgPanel(document, {PictureName(path), "score", true, nullptr})}));
  std::vector<std::string> written;
  if (!outputs.Commit(&written, &problem)) {
    Complain(std::cerr, problem + "; nothing was written");
    return kExitNotWritten;
  }
  std::cout << "Wrote " << svgPath << "\n";
  return kExitRan;
}

int Menu(const std::string& pluginPath) {
  Host host;
  std::string error;
  std::unique_ptr<PluginModule> plugin = StartPlugin(pluginPath, host.Version(), &error);
  if (!plugin) return Unusable(error);
  for (size_t i = 0; i < plugin->MenuItems().size(); ++i) {
    const MenuItem& item = plugin->MenuItems()[i];
    std::cout << (i ? "\n" : "") << "Item:        " << i << "\n"
              << "Name:        " << item.name << "\n"
              << "Description: " << item.description << "\n"
              << "Menu text:   " << item.menuText << "\n";
  }
  return 0;
}

// An empty value ("-o ''") names nothing, and taken for an absent option it would quietly
// do the default: every option and argument that takes a value refuses one.
bool RefuseEmptyValues(const CLI::App& app, std::string* problem) {
  for (const CLI::App* command : app.get_subcommands())
    for (const CLI::Option* option : command->get_options()) {
      if (option->get_type_size_max() == 0) continue;  // a flag
      for (const std::string& value : option->results())
        if (value.empty()) {
          *problem = command->get_name() + " " + option->get_name() +
                     ": the value is empty; give a value or leave the option out";
          return false;
        }
    }
  return true;
}

// Standard output flushed and checked: a write that failed (a full disk, a device that
// takes nothing) is an error like any other, so that no one takes a lost chart or menu
// for one shown. The stream is cleared again for what a batch runs next.
int FinishStandardOutput(int status) {
  errno = 0;
  std::cout.flush();
  const bool failed = std::fflush(stdout) != 0 || std::ferror(stdout) != 0 || !std::cout.good();
  if (!failed) return status;
  const int error = errno;
  Complain(std::cerr, "cannot write to standard output" +
                          (error ? ": " + std::string(std::strerror(error)) : std::string()));
  std::clearerr(stdout);
  std::cout.clear();
  return std::max(status, kExitNotWritten);
}

int ParseAndRun(int argc, char** argv) {
  CLI::App app{
      "fxthost: an emulated Finale host that loads plug-in modules and runs them "
      "on score documents."};
  app.require_subcommand(1);
  app.set_version_flag("--version", std::string("fxthost ") + FXT_PROJECT_VERSION);
  // The same options everywhere: on Windows the parser would otherwise read an argument
  // that begins with "/" as an option, and a path such as "/scores/a.json" (or a Unix
  // path under Wine) would never reach DOC, -o or --report. Subcommands made after
  // this inherit it.
  app.allow_windows_style_options(false);

  std::string menuPlugin = DefaultPluginPath();
  CLI::App* menu = app.add_subcommand("menu", "Show the plug-in's menu registration");
  menu->add_option("--plugin", menuPlugin, "Path of the plug-in module")->capture_default_str();

  std::string showPath, showSvg;
  CLI::App* show = app.add_subcommand("show", "Chart of a document's staves and groups");
  show->add_option("DOC", showPath, "The document file (JSON)")->required();
  show->add_option("--svg", showSvg, "Also draw the staves and groups here (SVG)");

  std::string prefsPath;
  CLI::App* prefs =
      app.add_subcommand("prefs", "A document's side records by the preference they serve");
  prefs->add_option("DOC", prefsPath, "The document file (JSON)")->required();

  std::string importScore, importOutput;
  CLI::App* import =
      app.add_subcommand("import", "Read a MusicXML score (.musicxml, .xml, .mxl) into a document");
  import->add_option("SCORE", importScore, "The MusicXML score")->required();
  import->add_option("-o", importOutput, "The document file to write (JSON)")->required();

  RunOptions runOptions;
  runOptions.plugin = DefaultPluginPath();
  CLI::App* run = app.add_subcommand("run", "Run the command on a document's selection");
  run->add_option("DOC", runOptions.document, "The document file (JSON)")->required();
  run->add_option("--plugin", runOptions.plugin, "Path of the plug-in module")
      ->capture_default_str();
  run->add_option("--staves", runOptions.staves, "Selected staves by staff number, A-B");
  run->add_option("--slots", runOptions.slots, "Selected staves by slot of the list, A-B");
  run->add_option("--list", runOptions.list, "The instrument list of the slots (default 0)");
  run->add_option("--measures", runOptions.measures, "Selected measures, A-B");
  run->add_option("--start-position", runOptions.startPosition, "Position in the first measure");
  run->add_option("--end-position", runOptions.endPosition, "Position in the last measure");
  run->add_option("--item", runOptions.item, "The plug-in's menu item to run (from 0; default 0)");
  run->add_option("--answer", runOptions.answer, "Answer to a yes/no question")
      ->check(CLI::IsMember({"yes", "no"}));
  run->add_option("--host-version", runOptions.hostVersion, "Version the host reports (hex)");
  run->add_option("-o", runOptions.output, "Write the document after the command here");
  run->add_option("--report", runOptions.report, "Write the result and the alerts here (JSON)");
  run->add_option("--svg", runOptions.svg,
                  "Draw the staves and groups before and after the command here (SVG)");
  run->add_option("--open", runOptions.open,
                  "Open a further document, FILE or FILE=OUT (saved to OUT if the command "
                  "changes it); repeatable")
      ->allow_extra_args(false);

  RunOptions demoOptions;
  demoOptions.plugin = DefaultPluginPath();
  CLI::App* demo = app.add_subcommand("demo", "Run the command on the built-in sample score");
  demo->add_option("--plugin", demoOptions.plugin, "Path of the plug-in module")
      ->capture_default_str();

  std::string batchPath;
  CLI::App* batch =
      app.add_subcommand("batch", "Run the command lines of a file, one a line, in this process");
  batch->add_option("FILE", batchPath, "The file of command lines")->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    int status = app.exit(e);
    return status == 0 ? 0 : kExitUnusable;
  }
  std::string problem;
  if (!RefuseEmptyValues(app, &problem)) return Unusable(problem);
  if (menu->parsed()) return Menu(menuPlugin);
  if (show->parsed()) return Show(showPath, showSvg);
  if (prefs->parsed()) return PrintPreferenceRecords(prefsPath, std::cout, std::cerr);
  if (import->parsed()) return ImportScore(importScore, importOutput, std::cout, std::cerr);
  if (run->parsed()) return Run(runOptions, false);
  if (demo->parsed()) return Run(demoOptions, true);
  if (batch->parsed()) return RunBatch(batchPath);
  return kExitUnusable;
}

}  // namespace

int RunCommandLine(int argc, char** argv) { return FinishStandardOutput(ParseAndRun(argc, argv)); }

}  // namespace fxthost
