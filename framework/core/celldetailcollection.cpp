// Collections of cell records, loaded by cell, by region or over the whole document.
// Walk orders: celldetailcollection.h; empty regions: docs/framework-behaviour.md.
#include "framework/core/celldetailcollection.h"

#include <cstdint>
#include <memory>

#include "bridge/finalepdk.h"
#include "framework/core/detaildata.h"
#include "framework/notation/celldetails.h"
#include "framework/score/cell.h"
#include "framework/score/measure.h"
#include "framework/score/musicregion.h"
#include "framework/score/staff.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

// Calls visit(cell) for every cell of the region, slots outer and measures inner, each a
// temporary cell on the heap. Nothing for a null or empty region.
template <typename Visit>
void ForEachRegionCellBySlot(FCMusicRegion* region, Visit visit) {
  if (!region || region->IsEmpty()) return;
  for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
    const int staff =
        FX_SlotToInst(static_cast<int16_t>(slot), region->GetStartInstrumentList(), kVersion);
    for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
      std::unique_ptr<FCCell> cell(new FCCell(measure, staff));
      visit(cell.get());
    }
  }
}

}  // namespace

// --- __FCCollectionCellDetail ----------------------------------------------------------

__FCCellDetail* __FCCollectionCellDetail::_CreateCellTemplate() {
  __FCBaseData* record = _CreateTemplate();
  __FCCellDetail* detail = dynamic_cast<__FCCellDetail*>(record);
  if (!detail) delete record;
  return detail;
}

void __FCCollectionCellDetail::_AppendCellRecords(__FCCellDetail* record, FCCell* cell) {
  record->ConnectCell(cell);
  if (record->LoadFirst() && _AppendClone(record)) {
    while (record->LoadNext())
      if (!_AppendClone(record)) break;
  }
  record->ConnectCell(nullptr);
}

void __FCCollectionCellDetail::LoadAllForCell(FCCell* cell) {
  _ClearElements();
  __FCCellDetail* record = _CreateCellTemplate();
  if (!record) return;
  if (cell) _AppendCellRecords(record, cell);
  delete record;
}

void __FCCollectionCellDetail::LoadAllInRegion(FCMusicRegion* region) {
  _ClearElements();
  __FCCellDetail* record = _CreateCellTemplate();
  if (!record) return;
  ForEachRegionCellBySlot(region, [&](FCCell* cell) { _AppendCellRecords(record, cell); });
  delete record;
}

void __FCCollectionCellDetail::LoadAll() {
  _ClearElements();
  __FCCellDetail* record = _CreateCellTemplate();
  if (!record) return;
  FCStaves staves;
  staves.LoadAll();
  FCMeasures measures;
  measures.LoadAll();
  for (int m = 0; m < measures.GetCount(); ++m) {
    FCMeasure* measure = dynamic_cast<FCMeasure*>(measures.GetItemAt(m));
    if (!measure) continue;
    for (int s = 0; s < staves.GetCount(); ++s) {
      FCStaff* staff = dynamic_cast<FCStaff*>(staves.GetItemAt(s));
      if (!staff) continue;
      FCCell cell(measure->GetItemNo(), staff->GetItemNo());
      _AppendCellRecords(record, &cell);
    }
  }
  delete record;
}

// --- __FCCollectionNoInciCellDetail ----------------------------------------------------

void __FCCollectionNoInciCellDetail::LoadAllInRegion(FCMusicRegion* region) {
  _ClearElements();
  __FCBaseData* element = _CreateTemplate();
  __FCCellDetail* record = dynamic_cast<__FCCellDetail*>(element);
  if (!record) {
    delete element;
    return;
  }
  ForEachRegionCellBySlot(region, [&](FCCell* cell) {
    record->ConnectCell(cell);
    if (record->LoadFirst()) _AppendClone(record);
    record->ConnectCell(nullptr);
  });
  delete record;
}

// --- The cell records' collections -----------------------------------------------------

__FCBaseData* FCChords::CreateElement() { return new FCChord; }
__FCBaseData* FCMidiExpressions::CreateElement() { return new FCMidiExpression; }
__FCBaseData* FCIndependentCellDetails::CreateElement() { return new FCIndependentCellDetail; }
