// The fxthost command line: its subcommands, and run's options, selection, steps and
// report (host/cli/cli.h; docs/fxthost.md, "Commands", has every message and exit status).
#include "host/cli/cli.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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
#include "host/cli/musicchart.h"
#include "host/cli/notationview.h"
#include "host/cli/prefslisting.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/run/crashguard.h"
#include "host/run/messages.h"
#include "host/run/opendocuments.h"
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

// A whole number within [low, high] written in decimal, or with hex in hexadecimal
// (with or without "0x").
bool ParseNumber(const std::string& text, int64_t low, int64_t high, int64_t* value,
                 bool hex = false) {
  const bool prefixed =
      hex && text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const std::string digits = prefixed ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 12) return false;
  for (size_t i = 0; i < digits.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(digits[i]);
    const bool ok = hex ? std::isxdigit(c) != 0
                        : (c >= '0' && c <= '9') || (i == 0 && c == '-' && digits.size() > 1);
    if (!ok) return false;
  }
  errno = 0;
  const long long number = std::strtoll(digits.c_str(), nullptr, hex ? 16 : 10);
  if (errno != 0 || number < low || number > high) return false;
  *value = number;
  return true;
}

// "A-B" or "A": whole numbers, the first may be negative. Numbers too large for the
// digits allowed come out as one past the limit, so that they read as out of range.
bool ParseRange(const std::string& text, int64_t* first, int64_t* last) {
  constexpr int64_t kLimit = 999999999999;
  auto number = [&](const std::string& part, int64_t* value) {
    size_t digits = part.size() > 1 && part[0] == '-' ? 1 : 0;
    if (digits == part.size()) return false;
    for (size_t i = digits; i < part.size(); ++i)
      if (part[i] < '0' || part[i] > '9') return false;
    if (ParseNumber(part, -kLimit, kLimit, value)) return true;
    *value = part[0] == '-' ? -kLimit - 1 : kLimit + 1;
    return true;
  };
  const size_t dash = text.find('-', 1);
  if (dash == std::string::npos) {
    if (!number(text, first)) return false;
    *last = *first;
    return true;
  }
  return number(text.substr(0, dash), first) && number(text.substr(dash + 1), last);
}

struct RunOptions {
  std::string document;
  std::string plugin;
  std::string staves, slots, list, measures, startPosition, endPosition;
  std::string answer, hostVersion, output, report, item;
  std::vector<std::string> open;  // further documents: FILE or FILE=OUT
};

// A number of a refused range as the user wrote it (one past the limit: as given).
std::string AsWritten(int64_t value, const std::string& text, bool first) {
  if (value >= -999999999999 && value <= 999999999999) return std::to_string(value);
  const size_t dash = text.find('-', 1);
  return dash == std::string::npos ? text : first ? text.substr(0, dash) : text.substr(dash + 1);
}

// The first of the two numbers (first, last) outside [low, high], as written; "" when
// both are inside.
std::string OutsideOf(const std::string& text, int64_t first, int64_t last, int64_t low,
                      int64_t high) {
  if (first < low || first > high) return AsWritten(first, text, true);
  if (last < low || last > high) return AsWritten(last, text, false);
  return "";
}

// Chooses the selection the command runs on: the document's, with what the options give
// in its place, part by part (the list, the staves, the measures, the positions). Each
// refusal of an option names the option as given and what is wrong with it.
class SelectionChooser {
 public:
  SelectionChooser(const Document& document, const RunOptions& options, std::string* problem)
      : document_(document),
        options_(options),
        problem_(problem),
        hasBase_(document.hasSelection),
        base_(Selection(document)) {}

  // False with the reason in problem when the selection names no music of the document.
  bool Choose(Region* chosen) {
    if (!ChooseList() || !ChooseStaves() || !ChooseMeasures() || !ChoosePositions() ||
        !CheckRegion())
      return false;
    *chosen = region_;
    return true;
  }

 private:
  bool Refuse(std::string reason) {
    *problem_ = std::move(reason);
    return false;
  }

  // The list of the slots: --list, else the selection's, else list 0.
  bool ChooseList() {
    int64_t list = hasBase_ ? base_.startList : 0;
    if (!options_.list.empty() && !ParseNumber(options_.list, 0, 0xFFFF, &list))
      return Refuse("--list " + options_.list + ": list numbers run from 0 to 65535");
    region_.startList = region_.endList = static_cast<uint16_t>(list);
    listText_ = "list " + std::to_string(list);
    slots_ = SlotCount(document_.records, region_.startList);
    if (!options_.list.empty() && slots_ == 0)
      return Refuse("--list " + options_.list + ": " + listText_ + " has no staves");
    return true;
  }

  // The staves: by staff number (--staves) or by slot (--slots), else the document's.
  bool ChooseStaves() {
    if (!options_.staves.empty() && !options_.slots.empty())
      return Refuse("give --staves or --slots, not both");
    if (!options_.staves.empty()) return ChooseStavesByNumber();
    if (!options_.slots.empty()) return ChooseStavesBySlot();
    if (hasBase_) return KeepDocumentStaves();
    return Refuse("the document has no selection: give --staves or --slots, and --measures");
  }

  bool ChooseStavesByNumber() {
    const std::string option = "--staves " + options_.staves + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.staves, &first, &last))
      return Refuse(option + "expected staff numbers A-B, or one staff A");
    if (!SlotOfStaff(first, &region_.startSlot) || !SlotOfStaff(last, &region_.endSlot))
      return Refuse(option + *problem_);
    if (region_.startSlot > region_.endSlot)
      return Refuse(option + "the top staff comes after the bottom staff (staff " +
                    std::to_string(first) + " is in slot " + std::to_string(region_.startSlot) +
                    " of " + listText_ + ", staff " + std::to_string(last) + " in slot " +
                    std::to_string(region_.endSlot) + ")");
    return true;
  }

  bool ChooseStavesBySlot() {
    const std::string option = "--slots " + options_.slots + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.slots, &first, &last))
      return Refuse(option + "expected slots A-B, or one slot A");
    const std::string outside = OutsideOf(options_.slots, first, last, 1, slots_);
    if (!outside.empty())
      return Refuse(option + "slot " + outside + " does not exist (" + listText_ +
                    " has slots 1 to " + std::to_string(slots_) + ")");
    if (first > last)
      return Refuse(option + "slot " + std::to_string(first) + " comes after slot " +
                    std::to_string(last));
    region_.startSlot = static_cast<int16_t>(first);
    region_.endSlot = static_cast<int16_t>(last);
    return true;
  }

  // The document's selected staves, in the list chosen.
  bool KeepDocumentStaves() {
    const int16_t top = StaffAtSlot(document_.records, base_.startList, base_.startSlot);
    const int16_t bottom = StaffAtSlot(document_.records, base_.endList, base_.endSlot);
    if (region_.startList != base_.startList)
      return SlotOfStaff(top, &region_.startSlot) && SlotOfStaff(bottom, &region_.endSlot);
    region_.startSlot = base_.startSlot;
    region_.endSlot = base_.endSlot;
    return true;
  }

  // The slot of a staff in the list chosen; false, with the reason, when it has none.
  bool SlotOfStaff(int64_t staff, int16_t* slot) {
    *slot = staff >= -0x8000 && staff <= 0x7FFF
                ? static_cast<int16_t>(
                      SlotOf(document_.records, region_.startList, static_cast<int16_t>(staff)))
                : int16_t{0};
    if (*slot == 0) return Refuse("staff " + std::to_string(staff) + " is not in " + listText_);
    return true;
  }

  // The measures: --measures, else the document's.
  bool ChooseMeasures() {
    measures_ = LastMeasure(document_.records);
    if (!options_.measures.empty()) return ChooseGivenMeasures();
    if (!hasBase_) return Refuse("the document has no selection: give --measures");
    region_.startMeasure = base_.startMeasure;
    region_.endMeasure = base_.endMeasure;
    return true;
  }

  bool ChooseGivenMeasures() {
    const std::string option = "--measures " + options_.measures + ": ";
    int64_t first = 0, last = 0;
    if (!ParseRange(options_.measures, &first, &last))
      return Refuse(option + "expected measures A-B, or one measure A");
    const std::string outside = OutsideOf(options_.measures, first, last, 1, measures_);
    if (!outside.empty()) {
      const bool below = outside[0] == '-' || outside == "0" || measures_ == 0;
      return Refuse(
          option + "measure " + outside + (below ? " does not exist" : " is outside the document") +
          (measures_ == 0 ? std::string(" (the document has no measures)")
                          : " (measures run from 1 to " + std::to_string(measures_) + ")"));
    }
    if (first > last)
      return Refuse(option + "measure " + std::to_string(first) + " comes after measure " +
                    std::to_string(last));
    region_.startMeasure = static_cast<int16_t>(first);
    region_.endMeasure = static_cast<int16_t>(last);
    return true;
  }

  // The positions in the first and the last measure: the options', else the document's,
  // else the whole measures.
  bool ChoosePositions() {
    region_.startPosition = hasBase_ ? base_.startPosition : 0;
    region_.endPosition = hasBase_ ? base_.endPosition : Region::kMeasureEnd;
    if (!ChoosePosition("--start-position", options_.startPosition, &region_.startPosition) ||
        !ChoosePosition("--end-position", options_.endPosition, &region_.endPosition))
      return false;
    if (region_.startMeasure == region_.endMeasure && region_.startPosition > region_.endPosition)
      return Refuse("the start position " + std::to_string(region_.startPosition) +
                    " comes after the end position " + std::to_string(region_.endPosition) +
                    " in the one measure selected");
    return true;
  }

  // The position the option gives, when it gives one.
  bool ChoosePosition(const char* name, const std::string& text, int32_t* value) {
    int64_t parsed = 0;
    if (text.empty()) return true;
    if (!ParseNumber(text, -999999999999, 999999999999, &parsed) || parsed < 0 ||
        parsed > Region::kMeasureEnd)
      return Refuse(std::string(name) + " " + text + ": positions run from 0 to " +
                    std::to_string(Region::kMeasureEnd));
    *value = static_cast<int32_t>(parsed);
    return true;
  }

  // The parts together: staves in order, and music that the document has.
  bool CheckRegion() {
    if (region_.startSlot > region_.endSlot)
      return Refuse("the selection's top staff comes after its bottom staff");
    if (!IsValidRegion(document_.records, region_))
      return Refuse("the selection (slots " + std::to_string(region_.startSlot) + "-" +
                    std::to_string(region_.endSlot) + " of " + listText_ + ", measures " +
                    std::to_string(region_.startMeasure) + "-" +
                    std::to_string(region_.endMeasure) + ") is outside the document (" +
                    std::to_string(slots_) + " staves in " + listText_ + ", " +
                    std::to_string(measures_) + " measures)");
    return true;
  }

  const Document& document_;
  const RunOptions& options_;
  std::string* problem_;
  const bool hasBase_;  // whether the document has a selection to start from
  const Region base_;   // the document's selection
  Region region_;       // the selection chosen so far
  std::string listText_;
  int32_t slots_ = 0;     // of the list chosen
  int32_t measures_ = 0;  // of the document
};

// The selection the command runs on: the document's, with what the options give in
// its place. False with the reason when it names no music of the document.
bool ChooseSelection(const Document& document, const RunOptions& options, Region* chosen,
                     std::string* problem) {
  return SelectionChooser(document, options, problem).Choose(chosen);
}

std::string TagName(uint32_t tag) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((tag >> shift) & 0xFF);
    if (c < 0x20 || c > 0x7E) return std::to_string(tag);
    text += c;
  }
  return text;
}

std::string Hex(const RecordStore::Bytes& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t byte : bytes) {
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

// What a run reports: the command's result, every alert it showed, the undo steps and
// record changes it made in its document, when further documents were open the
// documents it changed, and the calls the plug-in made to functions the host does not
// emulate (docs/host-functions.md).
struct RunReport {
  int32_t result = 0;
  std::string command;                              // the menu text of the item run
  std::optional<std::vector<std::string>> changed;  // with further documents only
  std::vector<Alert> alerts;
  std::vector<std::string> undoSteps;  // the undo steps it made in its document
  std::vector<RecordChange> records;   // the records of its document it changed
  std::map<Fn, int> callsNotEmulated;  // by function; left out of the report when empty
};

nlohmann::ordered_json AlertsJson(const std::vector<Alert>& alerts) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const Alert& alert : alerts) {
    // Only a question has an answer; a box with just an OK button reports "none".
    const std::string answer =
        alert.answer == "yes" || alert.answer == "no" ? alert.answer : "none";
    list.push_back(nlohmann::ordered_json{{"kind", alert.kind},
                                          {"caption", alert.caption},
                                          {"message", alert.message},
                                          {"answer", answer}});
  }
  return list;
}

// Every record change in tag and key order, and per tag the count of each kind.
nlohmann::ordered_json RecordsJson(const std::vector<RecordChange>& changes) {
  nlohmann::ordered_json counts = nlohmann::ordered_json::object();
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const RecordChange& change : changes) {
    const std::string tag = TagName(change.tag);
    if (!counts.contains(tag)) counts[tag] = {{"added", 0}, {"changed", 0}, {"deleted", 0}};
    counts[tag][KindName(change.kind)] = counts[tag][KindName(change.kind)].get<int>() + 1;
    nlohmann::ordered_json entry{
        {"tag", tag},
        {"key", {change.key.first, change.key.second, change.key.third, change.key.extra}},
        {"change", KindName(change.kind)}};
    if (change.kind != RecordChange::Kind::kAdded) entry["before"] = Hex(change.before);
    if (change.kind != RecordChange::Kind::kDeleted) entry["after"] = Hex(change.after);
    list.push_back(entry);
  }
  nlohmann::ordered_json records;
  records["counts"] = counts;
  records["changes"] = list;
  return records;
}

// The text of the report file: a JSON object, its members in this order.
std::string FormatReport(const RunReport& run) {
  nlohmann::ordered_json report;
  report["result"] = run.result;
  report["command"] = run.command;
  if (run.changed) report["changed"] = *run.changed;
  report["alerts"] = AlertsJson(run.alerts);
  report["undoSteps"] = run.undoSteps;
  report["records"] = RecordsJson(run.records);
  if (!run.callsNotEmulated.empty()) {
    nlohmann::ordered_json calls = nlohmann::ordered_json::object();
    for (const auto& [fn, count] : run.callsNotEmulated) calls[Info(fn).name] = count;
    report["callsNotEmulated"] = calls;
  }
  return report.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

std::string DescribeSelection(const Document& document, const Region& region) {
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
  SetSelection(*run->document, run->region);
  run->version = run->info.hostVersion.value_or(host.Version());
  if (!ChooseHostVersion(options.hostVersion, &run->version, problem) ||
      !CheckReportPath(options, demo, problem) ||
      !OpenFurtherDocuments(host, options.open, options.document, {options.output, options.report},
                            &run->further, problem))
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
// that marks what changed, alerts answered as the options say; fills in the report.
// False when the host could not start the command.
bool RunCommand(Host& host, const RunOptions& options, const PreparedRun& run,
                const LoadedCommand& command, RunReport* report) {
  Document& document = *run.document;
  ChartOptions chart;
  chart.width = TerminalWidth();
  const std::vector<ChartGroup> before = ChartGroups(document);
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

// Writes a file the run was asked for and says so; false, with the reason on standard
// error, when it cannot be written.
bool WriteOutput(const std::string& path, const std::string& content) {
  std::string error;
  if (!WriteFileAtomically(path, content, &error)) {
    Complain(std::cerr, error);
    return false;
  }
  std::cout << "Wrote " << path << "\n";
  return true;
}

// fxthost run (and demo, on the built-in orchestra): prepares the run, loads the plug-in,
// runs the command and writes what was asked for; returns the exit status.
int Run(const RunOptions& options, bool demo) {
  Host host;
  std::string problem;
  PreparedRun run;
  if (!PrepareRun(host, options, demo, &run, &problem)) return Unusable(problem);
  LoadedCommand command;
  if (!LoadCommand(options, run.version, &command, &problem)) return Unusable(problem);
  RunReport report;
  if (!RunCommand(host, options, run, command, &report)) return kExitNotWritten;

  bool written = true;
  if (!options.output.empty())
    written = WriteOutput(options.output, FormatDocument(*run.document, run.info)) && written;
  if (!options.report.empty())
    written = WriteOutput(options.report, FormatReport(report)) && written;
  if (!SaveChangedDocuments(run.further, std::cout, std::cerr)) written = false;
  return written ? kExitRan : kExitNotWritten;
}

int Show(const std::string& path) {
  Host host;
  Document& document = host.NewDocument(path);
  DocumentError error;
  if (!ReadDocumentFile(path, &document, nullptr, &error)) return Unusable(error.Message());
  ChartOptions chart;
  chart.width = TerminalWidth();
  chart.title = path;
  std::cout << DrawChart(document, chart) << DrawNotation(document, chart.width)
            << DrawMusic(document, chart.width);
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

}  // namespace

int RunCommandLine(int argc, char** argv) {
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

  std::string showPath;
  CLI::App* show = app.add_subcommand("show", "Chart of a document's staves and groups");
  show->add_option("DOC", showPath, "The document file (JSON)")->required();

  std::string prefsPath;
  CLI::App* prefs =
      app.add_subcommand("prefs", "A document's side records by the preference they serve");
  prefs->add_option("DOC", prefsPath, "The document file (JSON)")->required();

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
  if (menu->parsed()) return Menu(menuPlugin);
  if (show->parsed()) return Show(showPath);
  if (prefs->parsed()) return PrintPreferenceRecords(prefsPath, std::cout, std::cerr);
  if (run->parsed()) return Run(runOptions, false);
  if (demo->parsed()) return Run(demoOptions, true);
  if (batch->parsed()) return RunBatch(batchPath);
  return kExitUnusable;
}

}  // namespace fxthost
