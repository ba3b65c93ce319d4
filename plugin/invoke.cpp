// Running the command on the host's selection: refuse what it cannot handle, ask before
// working on a very short range, split, and say so when nothing was split. Declared in
// plugin/tolleksplitgroups.h; the command's rules are in docs/framework-behaviour.md.
#include <memory>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/score/eregion.h"
#include "framework/score/multistaff.h"
#include "framework/score/musicregion.h"
#include "framework/score/ui.h"
#include "framework/text/fcstring.h"
#include "plugin/splitgroups.h"
#include "plugin/tolleksplitgroups.h"

namespace {

// Hosts from this version on know multi-staff instruments that a selection can equal.
constexpr uint32_t kLastHostWithoutInstrumentCheck = 0x10FFFFFF;
constexpr int kSmallRangeMeasures = 2;
constexpr int kAnswerYes = 0;

short GlobalSlot(short staff) {
  return static_cast<short>(FX_InstToSlot(staff, 0, FINALE_INTERFACE_VERSION));
}

short StaffAtSlot(short slot, unsigned short instrumentList) {
  return static_cast<short>(FX_SlotToInst(slot, instrumentList, FINALE_INTERFACE_VERSION));
}

// The instrument's staff with the smallest (topmost) or largest (bottommost) slot in the
// global list. The first staff is taken whenever it has a slot; the second and third
// replace it only with a strictly better slot, so ties keep the earlier staff.
short OuterStaff(FCMultiStaffInstrument* instrument, bool topmost) {
  const short staves[] = {instrument->GetFirstStaff(), instrument->GetSecondStaff(),
                          instrument->GetThirdStaff()};
  int bestSlot = topmost ? 10000 : -10000;
  short best = 0;
  for (int i = 0; i < 3; ++i) {
    short slot = GlobalSlot(staves[i]);
    if (slot == 0) continue;
    if (i == 0 || (topmost ? slot < bestSlot : slot > bestSlot)) {
      bestSlot = slot;
      best = staves[i];
    }
  }
  return best;
}

// Shows one of the command's alerts, loading its message and caption from the table;
// lines, when given, follow the message after an empty line, one to a line.
enum class AlertKind { kError, kQuestion, kInfo };

int Alert(FCUI& ui, AlertKind kind, int messageId, int captionId,
          const std::vector<FCString>* lines = nullptr) {
  FCString message;
  FCString caption;
  LoadCommandText(&message, messageId);
  LoadCommandText(&caption, captionId);
  if (lines) {
    message.Append("\n");
    for (const FCString& line : *lines) {
      message.Append("\n");
      message.Append(&line);
    }
  }
  switch (kind) {
    case AlertKind::kError:
      ui.AlertError(&message, &caption);
      return 0;
    case AlertKind::kQuestion:
      return ui.AlertYesNo(&message, &caption);
    case AlertKind::kInfo:
      ui.AlertInfo(&message, &caption);
      return 0;
  }
  return 0;
}

// Tells the user what the split did when it did not simply split or find nothing; the
// command's result.
int32_t ReportOutcome(FCUI& ui, const SplitOutcome& outcome) {
  if (outcome.textsUnreadable) {
    Alert(ui, AlertKind::kError, kStringTextsUnreadable, kCaptionTextsUnreadable);
    return 0;
  }
  if (outcome.documentUnread) {
    Alert(ui, AlertKind::kError, kStringDocumentUnread, kCaptionDocumentUnread);
    return 0;
  }
  if (!outcome.refused.empty())
    Alert(ui, AlertKind::kError, kStringGroupsRefused, kCaptionGroupsRefused, &outcome.refused);
  else if (outcome.split == 0)
    Alert(ui, AlertKind::kInfo, kStringNoGroup, kCaptionNoGroup);
  return outcome.split > 0 ? 1 : 0;
}

}  // namespace

bool MultiStaffInstrumentCheck(FCMusicRegion* region) {
  FCMultiStaffInstruments instruments;
  instruments.LoadAll();
  for (int i = 0; i < instruments.GetCount(); ++i) {
    FCMultiStaffInstrument* instrument =
        static_cast<FCMultiStaffInstrument*>(instruments.GetItemAt(i));
    if (!instrument) continue;
    short top = StaffAtSlot(region->GetStartSlot(), region->GetStartInstrumentList());
    if (OuterStaff(instrument, true) != top) continue;
    short bottom = StaffAtSlot(region->GetEndSlot(), region->GetEndInstrumentList());
    if (OuterStaff(instrument, false) == bottom) return true;
  }
  return false;
}

int32_t RunSplitGroupsCommand(void* selection) {
  FCUI ui;
  FCMusicRegion region(static_cast<EREGION*>(selection));

  if (region.IsPartial()) {
    Alert(ui, AlertKind::kError, kStringPartialMeasures, kCaptionPartialMeasures);
    return 0;
  }
  // A host's own checks never send a selection without measures; the command does not
  // rely on them, and asks nothing about such a selection.
  if (!RegionHasMeasures(&region)) {
    Alert(ui, AlertKind::kError, kStringNoMeasures, kCaptionNoMeasures);
    return 0;
  }
  if (GetFinaleFrameworkVersion() > kLastHostWithoutInstrumentCheck &&
      MultiStaffInstrumentCheck(&region)) {
    Alert(ui, AlertKind::kError, kStringMultiStaffInstrument, kCaptionMultiStaffInstrument);
    return 0;
  }
  int measures = static_cast<int>(region.GetEndMeasure()) - region.GetStartMeasure() + 1;
  if (measures <= kSmallRangeMeasures &&
      Alert(ui, AlertKind::kQuestion, kStringSmallRange, kCaptionSmallRange) != kAnswerYes)
    return 0;
  SplitOutcome outcome;
  SplitGroups(&region, &outcome);
  return ReportOutcome(ui, outcome);
}
