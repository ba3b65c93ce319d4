// What a command did to a document's records, for fxthost's report: every record added,
// changed or deleted, in tag and key order, and a count per tag.
#pragma once

#include <cstdint>
#include <vector>

#include "host/store/recordstore.h"

namespace fxthost {

struct RecordChange {
  enum class Kind { kAdded, kChanged, kDeleted };
  Kind kind = Kind::kChanged;
  uint32_t tag = 0;
  DataKey key;
  RecordStore::Bytes before;  // empty when added
  RecordStore::Bytes after;   // empty when deleted
};

// The records that differ between the two stores, ordered by tag, then key.
std::vector<RecordChange> DiffRecords(const RecordStore& before, const RecordStore& after);

const char* KindName(RecordChange::Kind kind);

}  // namespace fxthost
