// The record changes a command made, compared store against store, for fxthost's report
// (recorddiff.h).
#include "host/store/recorddiff.h"

#include <vector>

namespace fxthost {

namespace {

// A record of a store, as a walk in tag and key order gives it.
struct Entry {
  uint32_t tag;
  uint64_t key;
  const RecordStore::Bytes* bytes;
};

// The records of the store that it does not share with the other: the records the two
// share are the same in both and cannot differ.
std::vector<Entry> Entries(const RecordStore& store, const RecordStore& other) {
  std::vector<Entry> entries;
  store.ForEachRecordNotSharedWith(
      other, [&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
        entries.push_back({tag, key.Packed(), &bytes});
      });
  return entries;
}

RecordChange Change(RecordChange::Kind kind, const Entry& entry) {
  RecordChange change;
  change.kind = kind;
  change.tag = entry.tag;
  change.key = DataKey::FromPacked(entry.key);
  return change;
}

}  // namespace

// Both stores walked side by side in tag and key order, the order of the list: linear in
// the records of the shards the two do not share, with no look-up of one store's records
// in the other.
std::vector<RecordChange> DiffRecords(const RecordStore& before, const RecordStore& after) {
  const std::vector<Entry> was = Entries(before, after);
  const std::vector<Entry> now = Entries(after, before);
  auto precedes = [](const Entry& a, const Entry& b) {
    return a.tag != b.tag ? a.tag < b.tag : a.key < b.key;
  };
  std::vector<RecordChange> list;
  size_t i = 0, j = 0;
  while (i < was.size() || j < now.size()) {
    if (j == now.size() || (i < was.size() && precedes(was[i], now[j]))) {
      list.push_back(Change(RecordChange::Kind::kDeleted, was[i]));
      list.back().before = *was[i++].bytes;
    } else if (i == was.size() || precedes(now[j], was[i])) {
      list.push_back(Change(RecordChange::Kind::kAdded, now[j]));
      list.back().after = *now[j++].bytes;
    } else {
      if (*was[i].bytes != *now[j].bytes) {
        list.push_back(Change(RecordChange::Kind::kChanged, was[i]));
        list.back().before = *was[i].bytes;
        list.back().after = *now[j].bytes;
      }
      ++i;
      ++j;
    }
  }
  return list;
}

const char* KindName(RecordChange::Kind kind) {
  switch (kind) {
    case RecordChange::Kind::kAdded:
      return "added";
    case RecordChange::Kind::kDeleted:
      return "deleted";
    case RecordChange::Kind::kChanged:
      break;
  }
  return "changed";
}

}  // namespace fxthost
