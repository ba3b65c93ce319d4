// Data collections: every record of a class loaded, saved or deleted through one template.
// Contract: collectiondata.h; why each element keeps its own record:
// docs/framework-behaviour.md, "What a load keeps".
#include "framework/core/collectiondata.h"

#include "framework/core/detaildata.h"
#include "framework/core/otherdata.h"

namespace {

// Incis are signed 16-bit numbers; only 0 to 0x7FFF belong to a list, so every walk over
// incis ends there at the latest.
constexpr int kLastInci = 0x7FFF;

// Number of records of itemno, counting incis 0, 1, 2, ... up to the first that does not
// load. Leaves record holding the last load's result.
int CountIncis(__FCInciOther* record, unsigned short itemno) {
  int count = 0;
  while (count <= kLastInci && record->Load(itemno, static_cast<short>(count))) ++count;
  return count;
}

}  // namespace

// --- __FCCollectionData ----------------------------------------------------------------

__FCBaseData* __FCCollectionData::_CreateTemplate() {
  __FCBaseData* record = CreateElement();
  if (record) record->SetCustomTag(_customtag);
  return record;
}

bool __FCCollectionData::_AppendClone(__FCBaseData* record) {
  __FCBaseData* clone = record->CreateClone();
  if (!clone) return false;
  if (!Add(clone)) {
    delete clone;
    return false;
  }
  return true;
}

void __FCCollectionData::LoadAll() {
  _ClearElements();
  __FCBaseData* record = _CreateTemplate();
  if (!record) return;
  if (record->LoadFirst() && _AppendClone(record)) {
    while (record->LoadNext())
      if (!_AppendClone(record)) break;
  }
  delete record;
}

// --- __FCCollectionInciOther -------------------------------------------------------------

__FCInciOther* __FCCollectionInciOther::_CreateInciTemplate() {
  __FCBaseData* record = _CreateTemplate();
  __FCInciOther* inci = dynamic_cast<__FCInciOther*>(record);
  if (!inci) delete record;
  return inci;
}

void __FCCollectionInciOther::LoadAllForItem(unsigned short itemno) {
  _ClearElements();
  __FCInciOther* record = _CreateInciTemplate();
  if (!record) return;
  for (int inci = 0; inci <= kLastInci; ++inci) {
    if (!record->Load(itemno, static_cast<short>(inci))) break;
    if (!_AppendClone(record)) break;
  }
  delete record;
}

bool __FCCollectionInciOther::DeleteDataForItem(unsigned short itemno) {
  __FCInciOther* record = _CreateInciTemplate();
  if (!record) return false;
  bool ok = true;
  for (int inci = CountIncis(record, itemno) - 1; inci >= 0; --inci) {
    if (!record->Load(itemno, static_cast<short>(inci)) || !record->DeleteData()) {
      ok = false;
      break;
    }
  }
  delete record;
  return ok;
}

bool __FCCollectionInciOther::SaveAllForItem(unsigned short itemno) {
  // The item's records are deleted before the elements are written. An element that
  // can never be written (its create would be refused without reaching the host)
  // would leave the item with its records gone, so such a collection is refused first.
  for (int i = 0; i < GetCount(); ++i) {
    __FCBase* element = GetItemAt(i);
    if (!element) continue;
    __FCInciOther* record = dynamic_cast<__FCInciOther*>(element);
    if (!record || record->_GetLoadedSize() <= 0) return false;
  }

  if (!DeleteDataForItem(itemno)) return false;
  for (int i = 0; i < GetCount(); ++i) {
    __FCInciOther* record = dynamic_cast<__FCInciOther*>(GetItemAt(i));
    if (!record) continue;
    record->SetCustomTag(GetCustomTag());
    if (!record->SaveNew(itemno)) return false;
  }
  return true;
}

bool __FCCollectionInciOther::SaveDataAs(unsigned short source, unsigned short destination) {
  __FCInciOther* record = _CreateInciTemplate();
  if (!record) return false;
  if (!record->Load(source, 0)) {
    delete record;
    return false;
  }

  int remaining = CountIncis(record, destination);

  // Overwrite the destination's records with the source's, inci by inci. Where the
  // destination has fewer, the save of its first missing inci appends to its list.
  int copied = 0;
  while (copied <= kLastInci && record->Load(source, static_cast<short>(copied))) {
    record->_SetKeyFirst(destination);
    if (!record->Save()) {
      delete record;
      return false;
    }
    ++copied;
  }

  // The destination's surplus records go from the top down.
  while (remaining > copied) {
    --remaining;
    if (!record->Load(destination, static_cast<short>(remaining)) || !record->DeleteData()) {
      delete record;
      return false;
    }
  }
  delete record;
  return true;
}

__FCBase* __FCCollectionInciOther::FindItemNo(unsigned short itemno, short inci) const {
  for (int i = 0; i < GetCount(); ++i) {
    const __FCBaseData* record = dynamic_cast<const __FCBaseData*>(GetItemAt(i));
    if (record && record->_GetKeyFirst() == itemno &&
        record->_GetKeySecond() == static_cast<unsigned short>(inci))
      return GetItemAt(i);
  }
  return nullptr;
}

// --- __FCCollectionNoInciOther -----------------------------------------------------------

__FCBase* __FCCollectionNoInciOther::FindItemNo(unsigned short itemno) const {
  for (int i = 0; i < GetCount(); ++i) {
    const __FCNoInciOther* record = dynamic_cast<const __FCNoInciOther*>(GetItemAt(i));
    if (record && record->GetItemNo() == itemno) return GetItemAt(i);
  }
  return nullptr;
}

// --- __FCCollectionNoInciDetail ----------------------------------------------------------

void __FCCollectionNoInciDetail::LoadAllForItem(unsigned short first, unsigned short second) {
  _ClearElements();
  __FCBaseData* element = _CreateTemplate();
  __FCNoInciDetail* record = dynamic_cast<__FCNoInciDetail*>(element);
  if (!record) {
    delete element;
    return;
  }
  for (unsigned int number = second; number <= 0xFFFF; ++number) {
    if (!record->Load(first, static_cast<unsigned short>(number))) break;
    if (!_AppendClone(record)) break;
  }
  delete record;
}
