// Browsers: record walks with one working object, and region walks over the expressions,
// chords and MIDI expressions of each cell. Contract: browser.h; null and empty regions:
// docs/framework-behaviour.md, "Cells, regions and collections".
#include "framework/core/browser.h"

#include <cstdint>
#include <memory>

#include "bridge/finalepdk.h"
#include "framework/core/basedata.h"
#include "framework/core/otherdata.h"
#include "framework/notation/celldetails.h"
#include "framework/notation/expression.h"
#include "framework/score/cell.h"
#include "framework/score/musicregion.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

// Walks the cell's records of one cell-record class with a working object on the stack,
// handing those inside the region to the handler; false when the handler said stop.
template <typename Record>
bool IterateCellRecords(FCCell* cell, FCIteratorHandler* handler, FCMusicRegion* region) {
  Record record;
  record.ConnectCell(cell);
  bool go = true;
  if (!record.LoadFirst()) return go;
  do {
    if (region->IsCellPosWithin(cell, record.GetMeasurePos())) {
      go = handler->Iterate(&record);
      if (!go) break;
    }
  } while (record.LoadNext());
  return go;
}

}  // namespace

// --- __FCBrowserBaseData -----------------------------------------------------------------

int __FCBrowserBaseData::ForEach(FCIteratorHandler* handler) {
  if (!handler || !handler->BeforeIteration()) return 0;
  std::unique_ptr<__FCBaseData> object(CreateElement());
  int result = 0;
  if (object && object->LoadFirst() && handler->BeforeFirst()) {
    while (handler->Iterate(object.get())) {
      ++result;
      if (!object->LoadNext()) break;
    }
    handler->AfterLoop();
  }
  handler->AfterIteration();
  return result;
}

__FCBase* __FCBrowserBaseData::FindFirst(FCIteratorHandler* handler) {
  if (!handler || !handler->BeforeIteration()) return nullptr;
  std::unique_ptr<__FCBaseData> object(CreateElement());
  if (object && object->LoadFirst() && handler->BeforeFirst()) {
    do {
      if (handler->IsMatch(object.get())) {
        handler->AfterLoop();
        return object.release();
      }
    } while (object->LoadNext());
  }
  handler->AfterIteration();
  return nullptr;
}

// --- __FCBrowserNoInciOther --------------------------------------------------------------

__FCBaseData* __FCBrowserNoInciOther::LoadAnElement(unsigned short itemno) {
  __FCBaseData* object = CreateElement();
  __FCNoInciOther* record = dynamic_cast<__FCNoInciOther*>(object);
  if (record && record->Load(itemno)) return object;
  delete object;
  return nullptr;
}

int __FCBrowserNoInciOther::ToEndFrom(unsigned short itemno, FCIteratorHandler* handler) {
  if (!handler) return 0;
  std::unique_ptr<__FCBaseData> object(LoadAnElement(itemno));
  if (!object) return 0;
  int result = 0;
  while (handler->Iterate(object.get())) {
    ++result;
    if (!object->LoadNext()) break;
  }
  return result;
}

int __FCBrowserNoInciOther::GetCount() {
  std::unique_ptr<__FCBaseData> object(LoadAnElement(1));
  if (!object) return 0;
  int count = 1;
  while (object->LoadNext()) ++count;
  return count;
}

// --- __FCBrowserRegionBase ---------------------------------------------------------------

int __FCBrowserRegionBase::ForEach(FCIteratorHandler* handler) {
  FCMusicRegion region;
  region.SetFullDocument();
  return ForEachInRegion(handler, &region);
}

int __FCBrowserRegionBase::ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region) {
  if (!handler || !region || region->IsEmpty()) return 0;
  int result = 0;
  for (int measure = region->GetStartMeasure(); measure <= region->GetEndMeasure(); ++measure) {
    for (int slot = region->GetStartSlot(); slot <= region->GetEndSlot(); ++slot) {
      const int staff =
          FX_SlotToInst(static_cast<int16_t>(slot), region->GetStartInstrumentList(), kVersion);
      std::unique_ptr<FCCell> cell(new FCCell(measure, staff));
      if (!RegionIterateCellHandler(cell.get(), handler, region)) return result;
      ++result;
    }
  }
  return result;
}

bool FCBrowserExpressions::RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                                    FCMusicRegion* region) {
  if (!cell || !handler || !region) return true;
  FCExpressions expressions;
  expressions.LoadAllInCell(cell, FCStaffListElement::STAFFLIST_NONE);
  for (int i = 0; i < expressions.GetCount(); ++i) {
    FCExpression* expression = static_cast<FCExpression*>(expressions.GetItemAt(i));
    if (!expression || !region->IsCellPosWithin(cell, expression->GetMeasurePos())) continue;
    if (!handler->Iterate(expression)) return false;
  }
  return true;
}

bool FCBrowserChords::RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                               FCMusicRegion* region) {
  if (!cell || !handler || !region) return true;
  return IterateCellRecords<FCChord>(cell, handler, region);
}

bool FCBrowserMidiExpressions::RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                                        FCMusicRegion* region) {
  if (!cell || !handler || !region) return true;
  return IterateCellRecords<FCMidiExpression>(cell, handler, region);
}
