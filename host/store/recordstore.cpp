// The record store of one document: records by tag in key order, numbering on create,
// stepping and the inci rules (recordstore.h; the rules are in docs/host-records.md).
#include "host/store/recordstore.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <iterator>

#include "bridge/recordbytes.h"

namespace fxthost {

namespace {

constexpr int kFirstShift = 48;
constexpr int kSecondShift = 32;
constexpr int kThirdShift = 16;
// Fresh numbers stay within the range that the framework's signed 16-bit item numbers
// and incis can hold; larger numbers (such as 0xFFFE, the preference side records) are
// never counted as part of a list.
constexpr uint64_t kLargestListNumber = 0x7FFF;
// The item number under which 'ot' records hold preference side records.
constexpr uint16_t kPrefsSideItem = 0xFFFE;

// Packed bounds of the keys whose fields above the shift are those of the base key and
// whose field at the shift lies in [from, to]; lower fields take any value.
uint64_t RangeLow(uint64_t base, int shift, uint64_t from) { return base | (from << shift); }
uint64_t RangeHigh(uint64_t base, int shift, uint64_t to) {
  const uint64_t lower = (uint64_t{1} << shift) - 1;
  return base | (to << shift) | lower;
}

uint64_t ParentBits(const DataKey& key, int shift) {
  // The fields above the one at the shift (the list's parent), the rest zero.
  return (key.Packed() >> (shift + 16)) << (shift + 16);
}

int FieldShift(InciField field) { return field == InciField::kSecond ? kSecondShift : kThirdShift; }

uint16_t FieldOf(uint64_t packed, int shift) { return static_cast<uint16_t>(packed >> shift); }

bool ValidBlock(const void* data, int32_t size) { return size >= 0 && (size == 0 || data); }

}  // namespace

// --- DataKey -------------------------------------------------------------------------

DataKey DataKey::FromBytes(const void* bytes) {
  DataKey key;
  key.first = fxt::GetU16(bytes, 0);
  key.second = fxt::GetU16(bytes, 2);
  key.third = fxt::GetU16(bytes, 4);
  key.extra = fxt::GetU16(bytes, 6);
  return key;
}

void DataKey::ToBytes(void* bytes) const {
  fxt::PutU16(bytes, 0, first);
  fxt::PutU16(bytes, 2, second);
  fxt::PutU16(bytes, 4, third);
  fxt::PutU16(bytes, 6, extra);
}

uint64_t DataKey::Packed() const {
  return (uint64_t{first} << kFirstShift) | (uint64_t{second} << kSecondShift) |
         (uint64_t{third} << kThirdShift) | uint64_t{extra};
}

DataKey DataKey::FromPacked(uint64_t packed) {
  DataKey key;
  key.first = FieldOf(packed, kFirstShift);
  key.second = FieldOf(packed, kSecondShift);
  key.third = FieldOf(packed, kThirdShift);
  key.extra = FieldOf(packed, 0);
  return key;
}

// --- Classification ------------------------------------------------------------------

InciField RecordStore::InciFieldOf(uint32_t tag) {
  const uint32_t family = tag >> 16;
  if (family == (fxt::MakeTag('o', 't', 0, 0) >> 16)) return InciField::kSecond;
  if (family == (fxt::MakeTag('d', 't', 0, 0) >> 16)) return InciField::kThird;
  switch (tag) {
    case fxt::MakeTag('S', 'O', 'D', 'Y'):  // expressions
    case fxt::MakeTag('S', 'O', 'I', 'u'):  // system staves
    case fxt::MakeTag('S', 'O', 'D', 'i'):  // percussion layout notes
      return InciField::kSecond;
    case fxt::MakeTag('S', 'D', 'C', 'h'):  // chords of a cell
      return InciField::kThird;
    default:
      return InciField::kNone;
  }
}

bool RecordStore::IsInciRecord(uint32_t tag, const DataKey& key) {
  const InciField field = InciFieldOf(tag);
  if (field == InciField::kNone) return false;
  const bool prefsSide =
      (tag >> 16) == (fxt::MakeTag('o', 't', 0, 0) >> 16) && key.first == kPrefsSideItem;
  return !prefsSide;
}

// --- Helpers -----------------------------------------------------------------------

const RecordStore::TagRecords* RecordStore::RecordsOf(uint32_t tag) const {
  const auto it = tags_.find(tag);
  return it == tags_.end() ? nullptr : &it->second;
}

int32_t RecordStore::NextNumber(const TagRecords& records, uint64_t lo, uint64_t hi, int shift,
                                int32_t start) {
  auto it = records.upper_bound(hi);
  if (it == records.begin()) return start;
  --it;
  if (it->first < lo) return start;
  const uint64_t largest = FieldOf(it->first, shift);
  if (largest >= kLargestListNumber) return -1;
  return std::max(static_cast<int32_t>(largest + 1), start);
}

bool RecordStore::WithinInciList(const TagRecords& records, InciField field, const DataKey& key) {
  if (records.count(key.Packed()) != 0) return true;
  const int shift = FieldShift(field);
  const uint16_t inci = FieldOf(key.Packed(), shift);
  const uint64_t parent = ParentBits(key, shift);
  const int32_t next = NextNumber(records, RangeLow(parent, shift, 0),
                                  RangeHigh(parent, shift, kLargestListNumber), shift, 0);
  // A full list (next < 0) ends at 0x7FFF; no list reaches beyond it.
  const uint64_t limit = next < 0 ? kLargestListNumber : static_cast<uint64_t>(next);
  return inci <= limit;
}

void RecordStore::CloseInciGap(TagRecords* records, InciField field, const DataKey& key) {
  const int shift = FieldShift(field);
  const uint16_t inci = FieldOf(key.Packed(), shift);
  if (inci >= kLargestListNumber) return;
  const uint64_t parent = ParentBits(key, shift);
  // Another record still stands at this inci (its lower fields differ): nothing moves.
  const auto same = records->lower_bound(RangeLow(parent, shift, inci));
  if (same != records->end() && same->first <= RangeHigh(parent, shift, inci)) return;

  const uint64_t step = uint64_t{1} << shift;
  const uint64_t hi = RangeHigh(parent, shift, kLargestListNumber);
  auto it = records->lower_bound(RangeLow(parent, shift, inci + 1u));
  while (it != records->end() && it->first <= hi) {
    auto node = records->extract(it++);
    node.key() -= step;
    // The lower key is free: its inci was emptied by the deletion or by the move before.
    records->insert(it, std::move(node));
  }
}

// --- Host operations ---------------------------------------------------------------

bool RecordStore::Load(uint32_t tag, const DataKey& key, void* buffer, int32_t* size) const {
  if (!size) return false;
  const Bytes* bytes = Find(tag, key);
  if (!bytes) return false;
  const int32_t stored = static_cast<int32_t>(bytes->size());
  if (!buffer) {
    *size = stored;
    return true;
  }
  const int32_t delivered = std::min(std::max(*size, int32_t{0}), stored);
  if (delivered > 0) std::memcpy(buffer, bytes->data(), static_cast<size_t>(delivered));
  *size = delivered;
  return true;
}

uint64_t RecordStore::NextStamp() {
  static std::atomic<uint64_t> next{1};
  return next++;
}

bool RecordStore::Save(uint32_t tag, const DataKey& key, const void* data, int32_t size) {
  if (!ValidBlock(data, size)) return false;
  const TagRecords* records = RecordsOf(tag);
  const bool exists = records && records->count(key.Packed()) != 0;
  if (!exists && IsInciRecord(tag, key)) {
    const TagRecords empty;
    if (!WithinInciList(records ? *records : empty, InciFieldOf(tag), key)) return false;
  }
  const uint8_t* begin = static_cast<const uint8_t*>(data);
  tags_[tag][key.Packed()] = Bytes(begin, begin + size);
  Touch();
  return true;
}

bool RecordStore::Create(uint32_t tag, DataKey* key, const void* data, int32_t size) {
  if (!key || !ValidBlock(data, size)) return false;
  const TagRecords empty;
  const TagRecords* found = RecordsOf(tag);
  const TagRecords& records = found ? *found : empty;
  const InciField inciField = InciFieldOf(tag);

  DataKey made = *key;
  if (made.first == DataKey::kAssign) {
    const int32_t number =
        NextNumber(records, 0, RangeHigh(0, kFirstShift, kLargestListNumber), kFirstShift, 1);
    if (number < 0) return false;
    made.first = static_cast<uint16_t>(number);
    if (made.second == DataKey::kAssign) made.second = 0;
    if (made.third == DataKey::kAssign) made.third = 0;
  } else if (made.second == DataKey::kAssign) {
    const uint64_t parent = uint64_t{made.first} << kFirstShift;
    const int32_t number =
        NextNumber(records, parent, RangeHigh(parent, kSecondShift, kLargestListNumber),
                   kSecondShift, inciField == InciField::kSecond ? 0 : 1);
    if (number < 0) return false;
    made.second = static_cast<uint16_t>(number);
    if (made.third == DataKey::kAssign) made.third = 0;
  } else if (made.third == DataKey::kAssign) {
    const uint64_t parent =
        (uint64_t{made.first} << kFirstShift) | (uint64_t{made.second} << kSecondShift);
    const int32_t number =
        NextNumber(records, parent, RangeHigh(parent, kThirdShift, kLargestListNumber), kThirdShift,
                   inciField == InciField::kThird ? 0 : 1);
    if (number < 0) return false;
    made.third = static_cast<uint16_t>(number);
  }
  // Whatever was assigned, an inci kept as passed must not leave a gap: the record would
  // sit behind it, where no inci walk reaches.
  if (IsInciRecord(tag, made) && !WithinInciList(records, inciField, made)) return false;
  if (records.count(made.Packed()) != 0) return false;

  const uint8_t* begin = static_cast<const uint8_t*>(data);
  tags_[tag].emplace(made.Packed(), Bytes(begin, begin + size));
  Touch();
  *key = made;
  return true;
}

bool RecordStore::Delete(uint32_t tag, const DataKey& key) {
  const auto tagIt = tags_.find(tag);
  if (tagIt == tags_.end()) return false;
  TagRecords& records = tagIt->second;
  if (records.erase(key.Packed()) == 0) return false;
  Touch();
  if (IsInciRecord(tag, key)) CloseInciGap(&records, InciFieldOf(tag), key);
  if (records.empty()) tags_.erase(tagIt);
  return true;
}

bool RecordStore::Next(uint32_t tag, DataKey* key) const {
  const TagRecords* records = RecordsOf(tag);
  if (!records || !key) return false;
  const auto it = records->upper_bound(key->Packed());
  if (it == records->end()) return false;
  *key = DataKey::FromPacked(it->first);
  return true;
}

bool RecordStore::Previous(uint32_t tag, DataKey* key) const {
  const TagRecords* records = RecordsOf(tag);
  if (!records || !key) return false;
  auto it = records->lower_bound(key->Packed());
  if (it == records->begin()) return false;
  --it;
  *key = DataKey::FromPacked(it->first);
  return true;
}

// --- Host-side access ----------------------------------------------------------------

const RecordStore::Bytes* RecordStore::Find(uint32_t tag, const DataKey& key) const {
  const TagRecords* records = RecordsOf(tag);
  if (!records) return nullptr;
  const auto it = records->find(key.Packed());
  return it == records->end() ? nullptr : &it->second;
}

void RecordStore::Put(uint32_t tag, const DataKey& key, Bytes bytes) {
  tags_[tag][key.Packed()] = std::move(bytes);
  Touch();
}

bool RecordStore::Erase(uint32_t tag, const DataKey& key) {
  const auto tagIt = tags_.find(tag);
  if (tagIt == tags_.end() || tagIt->second.erase(key.Packed()) == 0) return false;
  Touch();
  if (tagIt->second.empty()) tags_.erase(tagIt);
  return true;
}

void RecordStore::ForEach(uint32_t tag,
                          const std::function<void(const DataKey&, const Bytes&)>& visit) const {
  const TagRecords* records = RecordsOf(tag);
  if (!records) return;
  for (const auto& record : *records) visit(DataKey::FromPacked(record.first), record.second);
}

void RecordStore::ForEachRecord(
    const std::function<void(uint32_t, const DataKey&, const Bytes&)>& visit) const {
  for (const auto& tag : tags_) {
    for (const auto& record : tag.second) {
      visit(tag.first, DataKey::FromPacked(record.first), record.second);
    }
  }
}

void RecordStore::ForEachFrom(
    uint32_t tag, const DataKey& from,
    const std::function<bool(const DataKey&, const Bytes&)>& visit) const {
  const TagRecords* records = RecordsOf(tag);
  if (!records) return;
  for (auto it = records->lower_bound(from.Packed()); it != records->end(); ++it)
    if (!visit(DataKey::FromPacked(it->first), it->second)) return;
}

size_t RecordStore::Count() const {
  size_t count = 0;
  for (const auto& tag : tags_) count += tag.second.size();
  return count;
}

size_t RecordStore::Count(uint32_t tag) const {
  const TagRecords* records = RecordsOf(tag);
  return records ? records->size() : 0;
}

std::vector<uint32_t> RecordStore::Tags() const {
  std::vector<uint32_t> tags;
  tags.reserve(tags_.size());
  for (const auto& tag : tags_) tags.push_back(tag.first);
  return tags;
}

}  // namespace fxthost
