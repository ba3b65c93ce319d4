// Group Tools: two commands on the document's staff groups.
//   0 Group Report              an alert listing every group: staves, measures, names
//   1 Extend Groups to the End  every group that ends early ends at the last measure
#include <fxt/framework/finaleframework.h>
#include <fxt/plugin/entrypoints.h>
#include <fxt/plugin/moduletext.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

enum : int {
  kStringName = 101,  // + 10 * item: description 102, menu text 103
  kCaptionGroups = 201,
  kStringNoGroups = 202,
  kStringGroupLine = 203,
  kStringAllReachEnd = 204,
};
constexpr int kItems = 2;

void Alert(const std::string& message) {
  FCUI ui;
  ui.AlertInfo(message.c_str(), ModuleText(kCaptionGroups).c_str());
}

// The groups top to bottom as the score shows them: by the place of their top staff in
// the score order (a group whose top staff is not in it comes last), in the host's order
// where that is the same.
std::vector<FCGroup*> InScoreOrder(const FCGroups& groups) {
  FCSystemStaves order;
  order.LoadScoreOrder();
  std::map<short, int> place;
  for (FCSystemStaff* staff : order)
    place.emplace(staff->GetStaff(), static_cast<int>(place.size()));
  auto placeOf = [&](const FCGroup* group) {
    auto found = place.find(group->GetStartStaff());
    return found == place.end() ? static_cast<int>(place.size()) : found->second;
  };
  std::vector<FCGroup*> sorted(groups.begin(), groups.end());
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](FCGroup* a, FCGroup* b) { return placeOf(a) < placeOf(b); });
  return sorted;
}

// One line per group, top to bottom: its numbers from the string table's pattern, then
// its names.
int32_t GroupReport() {
  FCGroups groups;
  groups.LoadAll();
  if (groups.GetCount() == 0) {
    Alert(ModuleText(kStringNoGroups));
    return 0;
  }
  const std::string pattern = ModuleText(kStringGroupLine);
  std::string report;
  for (FCGroup* group : InScoreOrder(groups)) {
    if (!report.empty()) report += "\n";
    char line[160];
    std::snprintf(line, sizeof line, pattern.c_str(), group->GetItemID(), group->GetStartStaff(),
                  group->GetEndStaff(), group->GetStartMeasure(), group->GetEndMeasure());
    report += line;
    std::unique_ptr<FCString> full(group->CreateTrimmedFullNameString());
    std::unique_ptr<FCString> abbreviated(group->CreateAbbreviatedNameString());
    abbreviated->TrimEnigmaTags();
    if (full->GetLength() > 0) report += std::string(", \"") + full->GetCString() + "\"";
    if (abbreviated->GetLength() > 0)
      report += std::string(" (\"") + abbreviated->GetCString() + "\")";
  }
  Alert(report);
  return 1;
}

// Ends every group at the document's last measure, all of it one edit that is kept only
// when every group was saved; 1 when groups changed.
int32_t ExtendGroups() {
  FCMeasures measures;
  measures.LoadAll();
  const int last = measures.GetCount();
  FCGroups groups;
  groups.LoadAll();
  int changed = 0;
  const bool kept = FCUndoBlock().Execute(
      [&] {
        for (FCGroup* group : groups) {
          if (group->GetEndMeasure() >= last) continue;
          group->SetEndMeasure(static_cast<short>(last));
          if (!group->Save()) return false;
          ++changed;
        }
        return true;
      },
      ModuleText(kStringName + 12).c_str());
  if (kept && changed == 0) Alert(ModuleText(kStringAllReachEnd));
  return kept && changed > 0 ? 1 : 0;
}

}  // namespace

extern "C" {

uint32_t FX_CALL FinaleExtensionVersion(uint32_t hostVersion) {
  SetFinaleFrameworkVersion(hostVersion);
  return FINALE_INTERFACE_VERSION;
}

int32_t FX_CALL FinaleExtensionInit(FXPTR, uint32_t* flags) {
  if (flags) *flags |= 1u;
  return 1;
}

int32_t FX_CALL FinaleExtensionEnumerate(FXPTR, int32_t index, void* menuItem) {
  if (index < 0 || index >= kItems) return 0;
  return FillMenuItem(menuItem, ModuleText(kStringName).c_str(),
                      ModuleText(kStringName + 1 + 10 * index).c_str(),
                      ModuleText(kStringName + 2 + 10 * index).c_str());
}

int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR itemIndex, void*, FXPTR) {
  return itemIndex == 0 ? GroupReport() : itemIndex == 1 ? ExtendGroups() : 0;
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
