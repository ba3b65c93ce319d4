// The "sideRecords" member of a document file: the preferences' side records (12 bytes,
// six signed 16-bit words, under a tag 'o','t',c1,c2 and the key 0xFFFE, inci), by tag
// and inci:
//
//   "sideRecords": { "ot21": [[w0, w1, w2, w3, w4, w5]], "ot77": [null, [...], ...] }
//
// The index of a record in its tag's array is its inci; null stands for an inci without
// a record. docs/fxthost.md describes the member; host/files/docfile_read.cpp and
// host/files/docfile_write.cpp call these two.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "host/store/recordstore.h"

namespace fxthost {

// The largest inci the member writes: side records further out stay raw records.
constexpr uint16_t kLastSideRecordInci = 255;

// Where and why the member was refused.
struct SideRecordProblem {
  std::string place;
  std::string reason;
};

// A record the member stored, and its place in the file.
struct SideRecordPlace {
  uint32_t tag;
  DataKey key;
  std::string place;
};

// Stores the records of the member (found at place) in records, and, when placed is
// given, where each one is. False, storing nothing, with the first problem, when the
// member cannot be read as a whole.
bool ReadSideRecords(const nlohmann::ordered_json& member, const std::string& place,
                     RecordStore* records, SideRecordProblem* problem,
                     std::vector<SideRecordPlace>* placed = nullptr);

// The member for every side record of the store that it can say (a printable tag, inci
// 0 to kLastSideRecordInci, 12 bytes, the key's last two fields 0), tags ascending and
// trailing empty incis left out; an empty object when there is none.
nlohmann::ordered_json SideRecordsMember(const RecordStore& records);

}  // namespace fxthost
