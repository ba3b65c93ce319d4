// Measures, staff lists and music regions as the host computes with them (score.h; the
// rules are in docs/host-behaviour.md).
#include "host/store/score.h"

#include <cstring>
#include <unordered_map>
#include <vector>

namespace fxthost {

// --- Measures ---------------------------------------------------------------------

void SetMeasures(Document& document, int count) {
  SetMeasures(document, std::vector<MeasureSpec>(count > 0 ? static_cast<size_t>(count) : 0));
}

void SetMeasures(Document& document, const std::vector<MeasureSpec>& measures) {
  std::vector<DataKey> old;
  document.records.ForEach(
      kMeasureTag, [&](const DataKey& key, const RecordStore::Bytes&) { old.push_back(key); });
  for (const DataKey& key : old) document.records.Erase(kMeasureTag, key);
  uint16_t number = 1;
  for (const MeasureSpec& spec : measures) {
    RecordStore::Bytes record(kMeasureRecordSize, 0);
    fxt::PutS16(record.data(), kMeasureKeyOffset, spec.key);
    fxt::PutS16(record.data(), kMeasureBeatsOffset, spec.beats);
    fxt::PutS16(record.data(), kMeasureBeatDurationOffset, spec.beatDuration);
    DataKey key;
    key.first = number++;
    document.records.Put(kMeasureTag, key, std::move(record));
    if (number > 0x7FFF) break;  // measure numbers are signed 16-bit
  }
}

int32_t LastMeasure(const RecordStore& records) {
  // Asked for by every frame and region check, so the answer is kept for as long as the
  // store is unchanged.
  static uint64_t stamp = 0;
  static int32_t cached = 0;
  if (stamp == records.Stamp()) return cached;
  int32_t last = 0;
  DataKey key;
  for (int32_t measure = 1; measure <= 0x7FFF; ++measure) {
    key.first = static_cast<uint16_t>(measure);
    if (!records.Contains(kMeasureTag, key)) break;
    last = measure;
  }
  stamp = records.Stamp();
  cached = last;
  return last;
}

int32_t MeasureDuration(const RecordStore& records, int32_t measure) {
  if (measure < 1 || measure > 0x7FFF) return 0;
  DataKey key;
  key.first = static_cast<uint16_t>(measure);
  const RecordStore::Bytes* record = records.Find(kMeasureTag, key);
  if (!record || record->size() < kMeasureBeatDurationOffset + 2) return 0;
  int32_t beats = fxt::GetS16(record->data(), kMeasureBeatsOffset);
  int32_t beatDuration = fxt::GetS16(record->data(), kMeasureBeatDurationOffset);
  if (beats <= 0 || beatDuration <= 0) return 0;
  return beats * beatDuration;  // at most 0x7FFF * 0x7FFF: within 32 bits
}

// --- Staff lists -----------------------------------------------------------------

namespace {

DataKey SystemStaffKey(uint16_t list, int32_t inci) {
  DataKey key;
  key.first = list;
  key.second = static_cast<uint16_t>(inci);
  return key;
}

}  // namespace

namespace {

// An instrument list as slot and staff look-ups: its staves by slot (the gapless run of
// its system-staff records from the first position; 0 for a record too short to name a
// staff) and each staff's first slot. Walks ask for the same list once per cell, so the
// last few lists are kept, each for as long as the store is unchanged.
struct ListIndex {
  uint64_t stamp = 0;
  uint16_t list = 0;
  std::vector<int16_t> staves;
  std::unordered_map<int16_t, int32_t> slots;
};

const ListIndex& IndexOf(const RecordStore& records, uint16_t list) {
  static ListIndex cache[4];
  static size_t next = 0;
  for (const ListIndex& index : cache)
    if (index.stamp == records.Stamp() && index.list == list) return index;
  ListIndex& index = cache[next];
  next = (next + 1) % 4;
  index.stamp = records.Stamp();
  index.list = list;
  index.staves = ListStaves(records, list, 0x7FFF);
  index.slots.clear();
  for (size_t i = 0; i < index.staves.size(); ++i)
    index.slots.emplace(index.staves[i], static_cast<int32_t>(i) + 1);
  return index;
}

}  // namespace

std::vector<int16_t> ListStaves(const RecordStore& records, uint16_t list, size_t most) {
  std::vector<int16_t> staves;
  if (most == 0) return staves;
  records.ForEachFrom(
      kSystemStaffTag, SystemStaffKey(list, 0),
      [&](const DataKey& key, const RecordStore::Bytes& record) {
        if (key.first != list) return false;
        if (key.third != 0 || key.extra != 0) return true;  // not a slot
        if (key.second != staves.size()) return false;      // a gap ends it
        staves.push_back(record.size() >= 2 ? fxt::GetS16(record.data(), 0) : int16_t{0});
        return staves.size() < most;
      });
  return staves;
}

int32_t SlotCount(const RecordStore& records, uint16_t list) {
  return static_cast<int32_t>(IndexOf(records, list).staves.size());
}

int16_t StaffAtSlot(const RecordStore& records, uint16_t list, int32_t slot) {
  if (slot < 1 || slot > 0x7FFF) return 0;
  const ListIndex& index = IndexOf(records, list);
  return static_cast<size_t>(slot) <= index.staves.size()
             ? index.staves[static_cast<size_t>(slot - 1)]
             : 0;
}

int32_t SlotOf(const RecordStore& records, uint16_t list, int16_t staff) {
  if (staff <= 0) return 0;
  const ListIndex& index = IndexOf(records, list);
  const auto found = index.slots.find(staff);
  return found == index.slots.end() ? 0 : found->second;
}

bool IsCellMusicTag(uint32_t tag) { return RecordStore::InciFieldOf(tag) == InciField::kThird; }

// --- Regions -----------------------------------------------------------------------

Region Region::FromBytes(const void* bytes) {
  Region r;
  r.startList = fxt::GetU16(bytes, 0);
  r.startSlot = fxt::GetS16(bytes, 2);
  r.startMeasure = fxt::GetS16(bytes, 4);
  r.startPosition = fxt::GetS32(bytes, 6);
  r.endList = fxt::GetU16(bytes, 10);
  r.endSlot = fxt::GetS16(bytes, 12);
  r.endMeasure = fxt::GetS16(bytes, 14);
  r.endPosition = fxt::GetS32(bytes, 16);
  return r;
}

void Region::ToBytes(void* bytes) const {
  fxt::PutU16(bytes, 0, startList);
  fxt::PutS16(bytes, 2, startSlot);
  fxt::PutS16(bytes, 4, startMeasure);
  fxt::PutS32(bytes, 6, startPosition);
  fxt::PutU16(bytes, 10, endList);
  fxt::PutS16(bytes, 12, endSlot);
  fxt::PutS16(bytes, 14, endMeasure);
  fxt::PutS32(bytes, 16, endPosition);
}

Region Region::Cells(uint16_t list, int16_t topSlot, int16_t bottomSlot, int16_t firstMeasure,
                     int16_t lastMeasure) {
  Region r;
  r.startList = r.endList = list;
  r.startSlot = topSlot;
  r.endSlot = bottomSlot;
  r.startMeasure = firstMeasure;
  r.endMeasure = lastMeasure;
  r.startPosition = 0;
  r.endPosition = kMeasureEnd;
  return r;
}

bool operator==(const Region& a, const Region& b) {
  uint8_t x[Region::kBytes], y[Region::kBytes];
  a.ToBytes(x);
  b.ToBytes(y);
  return std::memcmp(x, y, sizeof x) == 0;
}

Region WholeDocumentRegion(const RecordStore& records) {
  int32_t measures = LastMeasure(records);
  int32_t staves = SlotCount(records, 0);
  if (measures == 0 || staves == 0) return Region();
  return Region::Cells(0, 1, static_cast<int16_t>(staves), 1, static_cast<int16_t>(measures));
}

bool IsValidRegion(const RecordStore& records, const Region& region) {
  int32_t last = LastMeasure(records);
  if (region.startMeasure < 1 || region.startMeasure > region.endMeasure ||
      region.endMeasure > last)
    return false;
  if (region.startSlot < 1 || region.startSlot > SlotCount(records, region.startList)) return false;
  if (region.endSlot < 1 || region.endSlot > SlotCount(records, region.endList)) return false;
  if (region.startPosition < 0 || region.endPosition < 0) return false;
  if (region.startMeasure == region.endMeasure && region.startPosition > region.endPosition)
    return false;
  return true;
}

bool SetSelection(Document& document, const Region& region) {
  if (region == Region()) {
    ClearSelection(document);
    return true;
  }
  if (!IsValidRegion(document.records, region)) return false;
  region.ToBytes(document.selection);
  document.hasSelection = true;
  return true;
}

void ClearSelection(Document& document) {
  std::memset(document.selection, 0, sizeof document.selection);
  document.hasSelection = false;
}

Region Selection(const Document& document) {
  return document.hasSelection ? Region::FromBytes(document.selection) : Region();
}

}  // namespace fxthost
