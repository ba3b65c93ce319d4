// Enclosures copied with CloneFrom: into the region's record when the enclosure lives in
// a measure number region (so that the region's save carries the copy, in both layouts),
// into the object's own record otherwise.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "framework/notation/enclosure.h"
#include "framework/notation/measurenumberregion.h"
#include "host/functions/host.h"
#include "tests/support/notation_fixture.h"

namespace {

using notation_testing::HostVersion;
using notation_testing::kCurrentHost;
using notation_testing::kOlderHost;

const uint8_t kFrame[FCEnclosure::RECORD_SIZE] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

FCEnclosure* EnclosureOf(FCMeasureNumberRegion* region, bool multiple, bool parts) {
  return multiple ? region->GetMultipleEnclosure(parts) : region->GetEnclosure(parts);
}

bool HoldsFrame(const FCEnclosure& enclosure) {
  uint8_t bytes[FCEnclosure::RECORD_SIZE];
  enclosure._GetRecordBytes(bytes);
  return std::memcmp(bytes, kFrame, sizeof bytes) == 0;
}

// framework-behaviour.md, Enclosures in a region: the region's Save carries the copy.
TEST(Enclosure, ACopyIntoARegionsEnclosureReachesTheRegionsSave) {
  struct Row {
    const char* name;
    uint32_t layout;
    bool multiple, parts;
    int offset;  // where the enclosure lies in the region's record
  } rows[] = {
      {"score start, newer layout", kCurrentHost, false, false, 18},
      {"parts start, newer layout", kCurrentHost, false, true, 66 + 18},
      {"score multiple, newer layout", kCurrentHost, true, false, 30},
      {"parts multiple, newer layout", kCurrentHost, true, true, 66 + 30},
      {"the one enclosure of the older layout", kOlderHost, false, false, 70},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    host.NewDocument();
    HostVersion version(row.layout);
    FCMeasureNumberRegion region;
    region.SetStartMeasure(1);
    region.SetEndMeasure(4);
    ASSERT_TRUE(region.SaveNew());
    FCEnclosure frame;
    frame._SetRecordBytes(kFrame);

    EnclosureOf(&region, row.multiple, row.parts)->CloneFrom(&frame);
    const uint8_t* record = static_cast<const uint8_t*>(region._GetDataBlock());
    EXPECT_EQ(std::memcmp(record + row.offset, kFrame, sizeof kFrame), 0);
    ASSERT_TRUE(region.Save());

    FCMeasureNumberRegion reloaded;
    ASSERT_TRUE(reloaded.Load(region.GetItemNo()));
    EXPECT_TRUE(HoldsFrame(*EnclosureOf(&reloaded, row.multiple, row.parts)));
  }
}

// framework-behaviour.md, Enclosures in a region: a clone has a record of its own, which
// later changes to the region do not reach.
TEST(Enclosure, ACloneOfARegionsEnclosureKeepsItsOwnRecord) {
  HostVersion version(kCurrentHost);
  FCMeasureNumberRegion region;
  FCEnclosure frame;
  frame._SetRecordBytes(kFrame);
  region.GetEnclosure(false)->CloneFrom(&frame);
  std::unique_ptr<__FCBaseData> made(region.GetEnclosure(false)->CreateClone());
  FCEnclosure* clone = dynamic_cast<FCEnclosure*>(made.get());
  ASSERT_NE(clone, nullptr);
  const uint8_t zeros[FCEnclosure::RECORD_SIZE] = {};
  FCEnclosure empty;
  empty._SetRecordBytes(zeros);
  region.GetEnclosure(false)->CloneFrom(&empty);
  EXPECT_FALSE(HoldsFrame(*region.GetEnclosure(false)));
  EXPECT_TRUE(HoldsFrame(*clone));
  EXPECT_EQ(clone->_GetLoadedSize(), FCEnclosure::RECORD_SIZE);
}

}  // namespace
