// The staff lists as the host reads them from the system-staff records (host/store/score.h;
// the rules are in docs/host-behaviour.md).
#include "host/store/score.h"

#include <gtest/gtest.h>

#include <vector>

namespace fxthost {
namespace {

// A list is the gapless run of its records from the first position: a gap, the next
// list or the limit ends it; a record under a third number or extra bytes is no slot,
// and a record too short to name a staff holds staff 0.
TEST(StaffLists, AListIsTheGaplessRunOfItsRecordsFromTheFirstSlot) {
  const struct {
    const char* name;
    std::vector<DataKey> keys;  // list 2 and its neighbours; each record names staff 10 + inci
    size_t most;
    std::vector<int16_t> staves;
  } rows[] = {
      {"whole list", {DataKey::Of(2, 0), DataKey::Of(2, 1), DataKey::Of(2, 2)}, 9, {10, 11, 12}},
      {"a gap ends it", {DataKey::Of(2, 0), DataKey::Of(2, 1), DataKey::Of(2, 3)}, 9, {10, 11}},
      {"no first slot", {DataKey::Of(2, 1), DataKey::Of(2, 2)}, 9, {}},
      {"the lists around it stay apart",
       {DataKey::Of(1, 0), DataKey::Of(2, 0), DataKey::Of(3, 1)},
       9,
       {10}},
      {"a record under a third number is no slot",
       {DataKey::Of(2, 0), DataKey::Of(2, 0, 1), DataKey::Of(2, 1), DataKey::Of(2, 2, 1)},
       9,
       {10, 11}},
      {"nor one with extra bytes",
       {DataKey::Of(2, 0), DataKey::Of(2, 1, 0, 1), DataKey::Of(2, 2)},
       9,
       {10}},
      {"at most the limit", {DataKey::Of(2, 0), DataKey::Of(2, 1), DataKey::Of(2, 2)}, 2, {10, 11}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    RecordStore records;
    for (const DataKey& key : row.keys) {
      RecordStore::Bytes bytes(8, 0);
      fxt::PutS16(bytes.data(), 0, static_cast<int16_t>(10 + key.second));
      records.Put(kSystemStaffTag, key, bytes);
    }
    EXPECT_EQ(ListStaves(records, 2, row.most), row.staves);
    EXPECT_EQ(SlotCount(records, 2), static_cast<int32_t>(ListStaves(records, 2, 0x7FFF).size()));
  }
  RecordStore records;
  records.Put(kSystemStaffTag, DataKey::Of(2, 0), {7});
  EXPECT_EQ(ListStaves(records, 2, 9), std::vector<int16_t>{0});
  EXPECT_EQ(ListStaves(records, 2, 0), std::vector<int16_t>{});
}

}  // namespace
}  // namespace fxthost
