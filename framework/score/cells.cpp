// FCCells: the cells of a region measure by measure, and the walks over one measure or one
// staff (cells.h). Empty regions: docs/framework-behaviour.md.
#include "framework/score/cells.h"

#include <cstdint>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/score/cell.h"
#include "framework/score/musicregion.h"

namespace {
constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
}

void FCCells::ApplyRegion(FCMusicRegion* region) {
  _ClearElements();
  if (!region || region->IsEmpty()) return;
  const int firstSlot = region->GetStartSlot();
  const int lastSlot = region->GetEndSlot();
  if (lastSlot < firstSlot || region->GetEndMeasure() < region->GetStartMeasure()) return;
  // The staves of the slots, asked for once: the same for every measure.
  std::vector<int> staves;
  for (int slot = firstSlot; slot <= lastSlot; ++slot)
    staves.push_back(
        FX_SlotToInst(static_cast<int16_t>(slot), region->GetStartInstrumentList(), kVersion));
  for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure)
    for (int staff : staves) Add(new FCCell(measure, staff));
}

template <typename Matches>
int FCCells::_ForEachMatching(FCIteratorHandler* handler, Matches matches) {
  if (!handler) return 0;
  int result = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCCell* cell = GetItemAt(i);
    if (!cell || !matches(cell)) continue;
    if (!handler->Iterate(cell)) break;
    ++result;
  }
  return result;
}

int FCCells::ForEachAtMeasure(int measure, FCIteratorHandler* handler) {
  return _ForEachMatching(handler,
                          [measure](FCCell* cell) { return cell->GetMeasure() == measure; });
}

int FCCells::ForEachAtStaff(int staff, FCIteratorHandler* handler) {
  return _ForEachMatching(handler, [staff](FCCell* cell) { return cell->GetStaff() == staff; });
}

FCCell* FCCells::GetItemAt(int index) const {
  return dynamic_cast<FCCell*>(__FCCollection::GetItemAt(index));
}
