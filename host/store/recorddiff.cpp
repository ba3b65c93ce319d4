// The record changes a command made, compared store against store, for fxthost's report
// (recorddiff.h).
#include "host/store/recorddiff.h"

#include <map>
#include <utility>

namespace fxthost {

std::vector<RecordChange> DiffRecords(const RecordStore& before, const RecordStore& after) {
  using Place = std::pair<uint32_t, uint64_t>;
  std::map<Place, RecordChange> changes;
  before.ForEachRecord([&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
    const RecordStore::Bytes* now = after.Find(tag, key);
    if (now && *now == bytes) return;
    RecordChange& change = changes[{tag, key.Packed()}];
    change.kind = now ? RecordChange::Kind::kChanged : RecordChange::Kind::kDeleted;
    change.tag = tag;
    change.key = key;
    change.before = bytes;
    if (now) change.after = *now;
  });
  after.ForEachRecord([&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
    if (before.Contains(tag, key)) return;
    RecordChange& change = changes[{tag, key.Packed()}];
    change.kind = RecordChange::Kind::kAdded;
    change.tag = tag;
    change.key = key;
    change.after = bytes;
  });
  std::vector<RecordChange> list;
  list.reserve(changes.size());
  for (auto& entry : changes) list.push_back(std::move(entry.second));
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
