// Writing the report of a run as JSON (report.h; docs/fxthost.md describes the members).
#include "host/cli/report.h"

#include <nlohmann/json.hpp>

namespace fxthost {

namespace {

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

}  // namespace

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

}  // namespace fxthost
