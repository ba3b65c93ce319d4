// The report fxthost run writes with --report: the command's result, its alerts, its
// undo steps and record changes (docs/fxthost.md describes each member).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "host/functions/host.h"
#include "host/store/recorddiff.h"

namespace fxthost {

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

// The text of the report file: a JSON object, its members in this order.
std::string FormatReport(const RunReport& run);

}  // namespace fxthost
