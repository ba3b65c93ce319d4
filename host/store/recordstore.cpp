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

RecordStore::Shards::const_iterator RecordStore::FirstShard(uint32_t tag) const {
  return tags_.lower_bound(ShardKey(tag, 0));
}

RecordStore::Shards::const_iterator RecordStore::EndShard(uint32_t tag) const {
  return tags_.upper_bound(ShardKey(tag, ~uint64_t{0}));
}

const RecordStore::TagRecords* RecordStore::RecordsOf(uint32_t tag, uint64_t packed) const {
  const auto it = tags_.find(ShardKey(tag, packed));
  return it == tags_.end() ? nullptr : it->second.records.get();
}

RecordStore::TagRecords& RecordStore::WritableRecordsOf(uint32_t tag, uint64_t packed) {
  Shard& shard = tags_[ShardKey(tag, packed)];
  shard.hasFinger = false;
  std::shared_ptr<TagRecords>& records = shard.records;
  if (!records)
    records = std::make_shared<TagRecords>();
  else if (records.use_count() > 1)
    records = std::make_shared<TagRecords>(*records);
  return *records;
}

void RecordStore::DropIfEmpty(uint32_t tag, uint64_t packed) {
  const auto it = tags_.find(ShardKey(tag, packed));
  if (it != tags_.end() && it->second.records->empty()) tags_.erase(it);
}

const RecordStore::Record* RecordStore::LastInRange(uint32_t tag, uint64_t lo, uint64_t hi) const {
  // The shards from hi's down to lo's, the last record at or below hi in each.
  auto shard = tags_.upper_bound(ShardKey(tag, hi));
  const auto first = tags_.lower_bound(ShardKey(tag, lo));
  while (shard != first) {
    --shard;
    const TagRecords& records = *shard->second.records;
    auto it = records.upper_bound(hi);
    if (it == records.begin()) continue;
    --it;
    return it->first >= lo ? &*it : nullptr;
  }
  return nullptr;
}

bool operator==(const RecordStore& a, const RecordStore& b) {
  if (a.tags_.size() != b.tags_.size()) return false;
  auto other = b.tags_.begin();
  for (const auto& shard : a.tags_) {
    if (shard.first != other->first) return false;
    if (shard.second.records != other->second.records &&
        *shard.second.records != *other->second.records)
      return false;
    ++other;
  }
  return true;
}

int32_t RecordStore::NextNumber(uint32_t tag, uint64_t lo, uint64_t hi, int shift,
                                int32_t start) const {
  const Record* last = LastInRange(tag, lo, hi);
  if (!last) return start;
  const uint64_t largest = FieldOf(last->first, shift);
  if (largest >= kLargestListNumber) return -1;
  return std::max(static_cast<int32_t>(largest + 1), start);
}

bool RecordStore::WithinInciList(uint32_t tag, InciField field, const DataKey& key) const {
  if (Find(tag, key)) return true;
  const int shift = FieldShift(field);
  const uint16_t inci = FieldOf(key.Packed(), shift);
  const uint64_t parent = ParentBits(key, shift);
  const int32_t next = NextNumber(tag, RangeLow(parent, shift, 0),
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
  if (!Find(tag, key) && IsInciRecord(tag, key) && !WithinInciList(tag, InciFieldOf(tag), key))
    return false;
  const uint8_t* begin = static_cast<const uint8_t*>(data);
  WritableRecordsOf(tag, key.Packed())[key.Packed()] = Bytes(begin, begin + size);
  Touch();
  return true;
}

bool RecordStore::Create(uint32_t tag, DataKey* key, const void* data, int32_t size) {
  if (!key || !ValidBlock(data, size)) return false;
  const InciField inciField = InciFieldOf(tag);

  DataKey made = *key;
  if (made.first == DataKey::kAssign) {
    const int32_t number =
        NextNumber(tag, 0, RangeHigh(0, kFirstShift, kLargestListNumber), kFirstShift, 1);
    if (number < 0) return false;
    made.first = static_cast<uint16_t>(number);
    if (made.second == DataKey::kAssign) made.second = 0;
    if (made.third == DataKey::kAssign) made.third = 0;
  } else if (made.second == DataKey::kAssign) {
    const uint64_t parent = uint64_t{made.first} << kFirstShift;
    const int32_t number =
        NextNumber(tag, parent, RangeHigh(parent, kSecondShift, kLargestListNumber), kSecondShift,
                   inciField == InciField::kSecond ? 0 : 1);
    if (number < 0) return false;
    made.second = static_cast<uint16_t>(number);
    if (made.third == DataKey::kAssign) made.third = 0;
  } else if (made.third == DataKey::kAssign) {
    const uint64_t parent =
        (uint64_t{made.first} << kFirstShift) | (uint64_t{made.second} << kSecondShift);
    const int32_t number =
        NextNumber(tag, parent, RangeHigh(parent, kThirdShift, kLargestListNumber), kThirdShift,
                   inciField == InciField::kThird ? 0 : 1);
    if (number < 0) return false;
    made.third = static_cast<uint16_t>(number);
  }
  // Whatever was assigned, an inci kept as passed must not leave a gap: the record would
  // sit behind it, where no inci walk reaches.
  if (IsInciRecord(tag, made) && !WithinInciList(tag, inciField, made)) return false;
  if (Find(tag, made)) return false;

  const uint8_t* begin = static_cast<const uint8_t*>(data);
  WritableRecordsOf(tag, made.Packed()).emplace(made.Packed(), Bytes(begin, begin + size));
  Touch();
  *key = made;
  return true;
}

bool RecordStore::Delete(uint32_t tag, const DataKey& key) {
  if (!Contains(tag, key)) return false;
  TagRecords& records = WritableRecordsOf(tag, key.Packed());
  records.erase(key.Packed());
  Touch();
  if (IsInciRecord(tag, key)) CloseInciGap(&records, InciFieldOf(tag), key);
  DropIfEmpty(tag, key.Packed());
  return true;
}

bool RecordStore::Next(uint32_t tag, DataKey* key) const {
  if (!key) return false;
  const uint64_t packed = key->Packed();
  for (auto shard = tags_.lower_bound(ShardKey(tag, packed)); shard != EndShard(tag); ++shard) {
    const TagRecords& records = *shard->second.records;
    const auto it = records.upper_bound(packed);
    if (it == records.end()) continue;
    *key = DataKey::FromPacked(it->first);
    return true;
  }
  return false;
}

bool RecordStore::Previous(uint32_t tag, DataKey* key) const {
  if (!key || key->Packed() == 0) return false;
  const Record* before = LastInRange(tag, 0, key->Packed() - 1);
  if (!before) return false;
  *key = DataKey::FromPacked(before->first);
  return true;
}

// --- Host-side access ----------------------------------------------------------------

const RecordStore::Bytes* RecordStore::Find(uint32_t tag, const DataKey& key) const {
  const uint64_t packed = key.Packed();
  const auto found = tags_.find(ShardKey(tag, packed));
  if (found == tags_.end()) return nullptr;
  const Shard& shard = found->second;
  const TagRecords& records = *shard.records;
  if (shard.hasFinger) {
    if (shard.finger->first == packed) return &shard.finger->second;
    const auto next = std::next(shard.finger);
    if (next != records.end() && next->first == packed) {
      shard.finger = next;
      return &next->second;
    }
  }
  const auto it = records.find(packed);
  if (it == records.end()) return nullptr;
  shard.finger = it;
  shard.hasFinger = true;
  return &it->second;
}

void RecordStore::Put(uint32_t tag, const DataKey& key, Bytes bytes) {
  WritableRecordsOf(tag, key.Packed())[key.Packed()] = std::move(bytes);
  Touch();
}

bool RecordStore::Erase(uint32_t tag, const DataKey& key) {
  if (!Contains(tag, key)) return false;
  WritableRecordsOf(tag, key.Packed()).erase(key.Packed());
  Touch();
  DropIfEmpty(tag, key.Packed());
  return true;
}

void RecordStore::ForEach(uint32_t tag,
                          const std::function<void(const DataKey&, const Bytes&)>& visit) const {
  for (auto shard = FirstShard(tag); shard != EndShard(tag); ++shard)
    for (const auto& record : *shard->second.records)
      visit(DataKey::FromPacked(record.first), record.second);
}

void RecordStore::ForEachRecord(
    const std::function<void(uint32_t, const DataKey&, const Bytes&)>& visit) const {
  for (const auto& shard : tags_)
    for (const auto& record : *shard.second.records)
      visit(TagOfShard(shard.first), DataKey::FromPacked(record.first), record.second);
}

void RecordStore::ForEachRecordNotSharedWith(
    const RecordStore& other,
    const std::function<void(uint32_t, const DataKey&, const Bytes&)>& visit) const {
  for (const auto& shard : tags_) {
    const auto twin = other.tags_.find(shard.first);
    if (twin != other.tags_.end() && twin->second.records == shard.second.records) continue;
    for (const auto& record : *shard.second.records)
      visit(TagOfShard(shard.first), DataKey::FromPacked(record.first), record.second);
  }
}

void RecordStore::ForEachFrom(
    uint32_t tag, const DataKey& from,
    const std::function<bool(const DataKey&, const Bytes&)>& visit) const {
  const uint64_t packed = from.Packed();
  for (auto shard = tags_.lower_bound(ShardKey(tag, packed)); shard != EndShard(tag); ++shard) {
    const TagRecords& records = *shard->second.records;
    for (auto it = records.lower_bound(packed); it != records.end(); ++it)
      if (!visit(DataKey::FromPacked(it->first), it->second)) return;
  }
}

size_t RecordStore::Count() const {
  size_t count = 0;
  for (const auto& shard : tags_) count += shard.second.records->size();
  return count;
}

size_t RecordStore::Count(uint32_t tag) const {
  size_t count = 0;
  for (auto shard = FirstShard(tag); shard != EndShard(tag); ++shard)
    count += shard->second.records->size();
  return count;
}

std::vector<uint32_t> RecordStore::Tags() const {
  std::vector<uint32_t> tags;
  for (const auto& shard : tags_)
    if (tags.empty() || tags.back() != TagOfShard(shard.first))
      tags.push_back(TagOfShard(shard.first));
  return tags;
}

}  // namespace fxthost
