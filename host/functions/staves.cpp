// Staff lists, staff names and the current staff settings.
//
// The staff lists are the system-staff records ('SOIu', first item number = instrument
// list, inci = slot - 1, staff number at offset 0): the slot conversions read them as
// they are at the moment of the call, so a rewritten list is seen at once.
#include <cstring>
#include <string>

#include "host/functions/host.h"
#include "host/functions/recordcodecs.h"
#include "host/store/scoremodel.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// FX_SlotToInst(slot, instrument list, version): the staff at the slot, 0 when the slot
// holds none (slot 0 or less, past the end of the list, or no document).
intptr_t SlotToInst(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  return document ? StaffAtSlot(document->records, U16(w[1]), S16(w[0])) : 0;
}

// FX_InstToSlot(staff, instrument list, version): the staff's slot, 0 when it is not in
// the list.
intptr_t InstToSlot(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  return document ? SlotOf(document->records, U16(w[1]), S16(w[0])) : 0;
}

// FX_AutoNumberedName_UTF16(name block, staff, buffer, size, flag, version): the staff's
// displayed name as a terminated UTF-16 text. The size counts bytes (the smaller of the
// two readings, so that a buffer of that many bytes is never overrun); a name that does
// not fit is cut, never inside a surrogate pair. The flag is not used. 0, with the
// buffer untouched, when there is no name text or no room for the terminator.
intptr_t AutoNumberedName(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  char16_t* buffer = Ptr<char16_t>(w[2]);
  const int16_t size = S16(w[3]);
  if (!document || !buffer || size < 2) return 0;
  std::u16string name;
  if (!StaffDisplayedName(*document, S16(w[0]), S16(w[1]), &name)) return 0;
  const size_t room = static_cast<size_t>(size) / 2 - 1;
  if (name.size() > room) {
    name.resize(room);
    if (!name.empty() && name.back() >= 0xD800 && name.back() <= 0xDBFF) name.pop_back();
  }
  std::memcpy(buffer, name.c_str(), (name.size() + 1) * sizeof(char16_t));
  return 1;
}

// --- Current staff settings ('SOSC') ------------------------------------------------

// The key names the staff (first item number), the measure (second) and the position
// in the measure (bytes 4-7). The host keeps one set of settings per staff for the whole
// score, so the answer is the staff's own record; the measure must be one of the
// document's (when it has measure records at all).
bool LoadCurrentStaffSpec(const RecordStore& store, uint32_t, const DataKey& key, void* buffer,
                          int32_t* size, uint32_t) {
  const int16_t measure = static_cast<int16_t>(key.second);
  if (measure < 1) return false;
  if (store.Count(kMeasureTag) > 0) {
    DataKey measureKey;
    measureKey.first = key.second;
    if (!store.Contains(kMeasureTag, measureKey)) return false;
  }
  DataKey staffKey;
  staffKey.first = key.first;
  return store.Load(kStaffTag, staffKey, buffer, size);
}

// The current settings are computed, never stored.
bool RefuseSave(RecordStore&, uint32_t, const DataKey&, const void*, int32_t, uint32_t) {
  return false;
}
bool RefuseCreate(RecordStore&, uint32_t, DataKey*, const void*, int32_t, uint32_t) {
  return false;
}

}  // namespace

const RecordCodec& CurrentStaffSpecCodec() {
  static const RecordCodec codec = {LoadCurrentStaffSpec, RefuseSave, RefuseCreate};
  return codec;
}

void InstallStaffBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_SlotToInst, SlotToInst);
  host.SetBehaviour(Fn::FX_InstToSlot, InstToSlot);
  host.SetBehaviour(Fn::FX_AutoNumberedName_UTF16, AutoNumberedName);
}

}  // namespace fxthost
