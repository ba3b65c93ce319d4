// The record store of one open document: every data record the host keeps, as a byte
// block under a 32-bit tag and an 8-byte data key.
//
// Records of one tag are kept in key order, so that loading, stepping to the next or the
// previous record and finding the next free number are each one logarithmic look-up.
// The store is a plain value: copying it snapshots the document (undo, cancelled edits),
// and two stores compare equal when they hold the same records. A copy shares its
// records with its original, in shards of a tag's records, until one of the two changes
// a shard, which then takes a copy of its own: a snapshot costs a step per shard, not
// per record, a change after it copies one shard, and comparing a snapshot with the
// store it was taken from skips every shard neither has changed.
//
// The rules the store follows (key order, numbering on create, closing the gap when an
// inci is deleted, saving beyond the last inci, loading without a buffer) are written
// down in docs/host-records.md; the comments below repeat them briefly.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace fxthost {

// The 8-byte data key: three 16-bit item numbers and two bytes that the host passes
// through (little-endian in the caller's bytes).
struct DataKey {
  uint16_t first = 0;
  uint16_t second = 0;
  uint16_t third = 0;
  uint16_t extra = 0;

  static constexpr int kBytes = 8;
  // The marker a creating caller puts into each number the host is to assign.
  static constexpr uint16_t kAssign = 0xFFFF;

  // The key of these numbers.
  static DataKey Of(uint16_t first, uint16_t second = 0, uint16_t third = 0, uint16_t extra = 0) {
    DataKey key;
    key.first = first;
    key.second = second;
    key.third = third;
    key.extra = extra;
    return key;
  }
  static DataKey FromBytes(const void* bytes);
  void ToBytes(void* bytes) const;

  // Key order: first, second, third, extra, each compared as an unsigned 16-bit number.
  uint64_t Packed() const;
  static DataKey FromPacked(uint64_t packed);

  friend bool operator==(const DataKey& a, const DataKey& b) { return a.Packed() == b.Packed(); }
  friend bool operator!=(const DataKey& a, const DataKey& b) { return !(a == b); }
  friend bool operator<(const DataKey& a, const DataKey& b) { return a.Packed() < b.Packed(); }
};

// Which key field of a tag's records is an inci, a position in a gapless list that the
// framework walks 0, 1, 2, ... until the first number that does not load.
enum class InciField { kNone, kSecond, kThird };

class RecordStore {
 public:
  using Bytes = std::vector<uint8_t>;

  RecordStore() = default;
  // A copy holds the same records under a stamp of its own.
  RecordStore(const RecordStore& other) : tags_(other.tags_) {}
  RecordStore(RecordStore&& other) noexcept : tags_(std::move(other.tags_)) { other.Touch(); }
  RecordStore& operator=(const RecordStore& other) {
    tags_ = other.tags_;
    Touch();
    return *this;
  }
  RecordStore& operator=(RecordStore&& other) noexcept {
    tags_ = std::move(other.tags_);
    Touch();
    other.Touch();
    return *this;
  }

  // The inci field of a tag: the second item number for tags beginning 'ot' and for
  // 'SODY', 'SOIu', 'SODi'; the third for tags beginning 'dt' and for 'SDCh'; none for
  // all other tags.
  static InciField InciFieldOf(uint32_t tag);
  // Whether a record is an inci record: its tag has an inci field, and it is not one of
  // the preference side records ('ot' tags under first item number 0xFFFE), which are
  // fixed slots.
  static bool IsInciRecord(uint32_t tag, const DataKey& key);

  // --- The operations the host functions serve -----------------------------------------

  // Without a buffer: *size becomes the record's byte count. With one: copies at most
  // *size bytes (a negative size counts as 0) and sets *size to the bytes delivered.
  // False, with *size unchanged, when there is no such record or size is null.
  bool Load(uint32_t tag, const DataKey& key, void* buffer, int32_t* size) const;

  // Replaces the record under the key, or stores it there when there is none. An inci
  // record may be stored at most one past the last inci of its list; a save further out
  // is refused. False for a negative size, or a positive size without data.
  bool Save(uint32_t tag, const DataKey& key, const void* data, int32_t size);

  // Stores a new record. Each key field passed as 0xFFFF is filled in with a fresh number
  // by the leftmost marked field: a new first item number (later marked fields become
  // 0), the next number in the second field under the given first, or the next number in
  // the third field under the given first and second. Incis are numbered from 0, all
  // other numbers from 1; fresh numbers stay within 1 (or 0) to 0x7FFF. A key without
  // marks is stored as given when no record is there. On success *key names the new
  // record; on failure it is unchanged.
  bool Create(uint32_t tag, DataKey* key, const void* data, int32_t size);

  // Removes the record. When it was an inci record and no other record remains at its
  // inci, the later incis of the same list move down by one.
  bool Delete(uint32_t tag, const DataKey& key);

  // Steps *key to the next (previous) record of the tag in key order; the key itself
  // need not name a record. False, with *key unchanged, at the end (the start).
  bool Next(uint32_t tag, DataKey* key) const;
  bool Previous(uint32_t tag, DataKey* key) const;

  // --- Host-side access ------------------------------------------------------------

  // The record's bytes, or null. The pointer stays valid until the store changes.
  const Bytes* Find(uint32_t tag, const DataKey& key) const;
  bool Contains(uint32_t tag, const DataKey& key) const { return Find(tag, key) != nullptr; }
  // Stores the bytes under the key as given, replacing any record there; no numbering or
  // inci rules apply (for building a document from a file).
  void Put(uint32_t tag, const DataKey& key, Bytes bytes);
  // Removes the record as given, without moving any other; false when absent.
  bool Erase(uint32_t tag, const DataKey& key);

  // The records of one tag in key order, or of every tag (tags ascending).
  void ForEach(uint32_t tag, const std::function<void(const DataKey&, const Bytes&)>& visit) const;
  void ForEachRecord(
      const std::function<void(uint32_t, const DataKey&, const Bytes&)>& visit) const;
  // The records of every tag, as ForEachRecord, but for the shards this store shares
  // with the other (one is a copy of the other, or both of a third store): those hold the
  // same records in both. Where two such stores differ, the records are among those
  // visited of one or the other, so that comparing them costs the changed shards only.
  void ForEachRecordNotSharedWith(
      const RecordStore& other,
      const std::function<void(uint32_t, const DataKey&, const Bytes&)>& visit) const;
  // The records of one tag from the key on (the key need not name a record), in key
  // order, for as long as visit returns true: one look-up, then a step per record.
  void ForEachFrom(uint32_t tag, const DataKey& from,
                   const std::function<bool(const DataKey&, const Bytes&)>& visit) const;

  size_t Count() const;
  size_t Count(uint32_t tag) const;
  // The tags that have at least one record, ascending.
  std::vector<uint32_t> Tags() const;
  void Clear() {
    tags_.clear();
    Touch();
  }

  // A number that changes with every change of the store and that no other store (nor
  // copy) ever has: what a cache of something computed from the records keys on.
  uint64_t Stamp() const { return stamp_; }

  friend bool operator==(const RecordStore& a, const RecordStore& b);
  friend bool operator!=(const RecordStore& a, const RecordStore& b) { return !(a == b); }

 private:
  using TagRecords = std::map<uint64_t, Bytes>;  // by DataKey::Packed()
  using Record = TagRecords::value_type;

  // The records of a tag are kept in shards of 256 first item numbers each, so that a
  // change after a copy copies one shard, not every record of the tag. A shard's records
  // are shared between copies of the store until one of them changes the shard. Beside
  // them is the record a look-up last found: a caller that walks the records in key
  // order (a staff after the staff before it) finds each one a step from the last instead
  // of by a search from the root. The finger points into the shared records, which no
  // copy changes while they are shared; a change through this store drops it.
  struct Shard {
    std::shared_ptr<TagRecords> records;  // never null, never empty
    mutable TagRecords::const_iterator finger;
    mutable bool hasFinger = false;
  };
  using Shards =
      std::map<uint64_t, Shard>;  // by ShardKey: the tag, then the first number's high byte

  static uint64_t ShardKey(uint32_t tag, uint64_t packed) {
    return (uint64_t{tag} << 8) | (packed >> 56);
  }
  static uint32_t TagOfShard(uint64_t shardKey) { return static_cast<uint32_t>(shardKey >> 8); }
  // The shards of a tag: [first, last).
  Shards::const_iterator FirstShard(uint32_t tag) const;
  Shards::const_iterator EndShard(uint32_t tag) const;

  // The shard holding the key's records, or null.
  const TagRecords* RecordsOf(uint32_t tag, uint64_t packed) const;
  // The shard to change: made when there is none, copied first when a copy of the store
  // still shares it.
  TagRecords& WritableRecordsOf(uint32_t tag, uint64_t packed);
  // Drops the shard when a removal emptied it.
  void DropIfEmpty(uint32_t tag, uint64_t packed);
  // The record of the tag with the largest key in [lo, hi], or null.
  const Record* LastInRange(uint32_t tag, uint64_t lo, uint64_t hi) const;
  // The number one past the largest value of the field in [lo, hi] (packed keys), where
  // the field is taken from the keys by the shift; start when there is none; -1 when the
  // next number would pass 0x7FFF.
  int32_t NextNumber(uint32_t tag, uint64_t lo, uint64_t hi, int shift, int32_t start) const;
  // Whether an inci record may be stored under the key (it exists, or its inci is at
  // most one past the last of its list).
  bool WithinInciList(uint32_t tag, InciField field, const DataKey& key) const;
  // Moves the later incis of the key's list down by one; a list lies within one shard.
  static void CloseInciGap(TagRecords* records, InciField field, const DataKey& key);

  static uint64_t NextStamp();
  void Touch() { stamp_ = NextStamp(); }

  Shards tags_;
  uint64_t stamp_ = NextStamp();
};

}  // namespace fxthost
