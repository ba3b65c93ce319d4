// Group Tools: two commands on the document's staff groups.
//   0 Group Report              an alert listing every group: staves, measures, names
//   1 Extend Groups to the End  every group that ends early ends at the last measure
#include <fxt/framework/finaleframework.h>
#include <fxt/plugin/entrypoints.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "resources/version.h"

namespace {

enum : int {
  kStringName = 101,  // + 10 * item: description 102, menu text 103
  kCaptionGroups = 201,
  kStringNoGroups = 202,
  kStringGroupLine = 203,
  kStringAllReachEnd = 204,
};
constexpr int kItems = 2;

std::string Text(int id) {
  FCString text;
  text.LoadResource(id, FXT_MODULE_FILE_NAME);
  return text.GetCString();
}

void Alert(const std::string& message) {
  FCUI ui;
  ui.AlertInfo(message.c_str(), Text(kCaptionGroups).c_str());
}

// One line per group: its numbers from the string table's pattern, then its names.
int32_t GroupReport() {
  FCGroups groups;
  groups.LoadAll();
  if (groups.GetCount() == 0) {
    Alert(Text(kStringNoGroups));
    return 0;
  }
  const std::string pattern = Text(kStringGroupLine);
  std::string report;
  for (int i = 0; i < groups.GetCount(); ++i) {
    FCGroup* group = static_cast<FCGroup*>(groups.GetItemAt(i));
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

// Ends every group at the document's last measure; 1 when a group changed.
int32_t ExtendGroups() {
  FCMeasures measures;
  measures.LoadAll();
  const int last = measures.GetCount();
  FCGroups groups;
  groups.LoadAll();
  int changed = 0;
  for (int i = 0; i < groups.GetCount(); ++i) {
    FCGroup* group = static_cast<FCGroup*>(groups.GetItemAt(i));
    if (group->GetEndMeasure() >= last) continue;
    group->SetEndMeasure(static_cast<short>(last));
    if (group->Save()) ++changed;
  }
  if (changed == 0) Alert(Text(kStringAllReachEnd));
  return changed > 0 ? 1 : 0;
}

void CopyField(uint8_t* field, const std::string& text) {
  std::strncpy(reinterpret_cast<char*>(field), text.c_str(), kMenuItemTextSize);
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
  if (index < 0 || index >= kItems || !menuItem) return 0;
  uint8_t* record = static_cast<uint8_t*>(menuItem);
  CopyField(record + kMenuItemNameOffset, Text(kStringName));
  CopyField(record + kMenuItemDescriptionOffset, Text(kStringName + 1 + 10 * index));
  CopyField(record + kMenuItemTextOffset, Text(kStringName + 2 + 10 * index));
  record[kMenuItemWord1Offset] = 1;
  record[kMenuItemWord1Offset + 1] = 0;
  record[kMenuItemWord2Offset] = 0;
  record[kMenuItemWord2Offset + 1] = 0;
  return 1;
}

// The host names the item chosen in the second slot.
int32_t FX_CALL FinaleExtensionInvoke(FXPTR, FXPTR item, void*, FXPTR) {
  return item == 0 ? GroupReport() : item == 1 ? ExtendGroups() : 0;
}

void FX_CALL FinaleExtensionTerminate(FXPTR) {}

int32_t FX_CALL FinaleExtensionGetMenuStatus(FXPTR) { return 1; }

}  // extern "C"
