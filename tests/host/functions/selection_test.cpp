// The emulated host's selection, whole-document region and music clipboard, reached
// through the bridge as the framework reaches them.
#include <gtest/gtest.h>

#include <cstring>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"
#include "host/store/score.h"
#include "tests/support/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

struct Regions {
  int32_t result;
  Region selection;
  Region whole;
};

Regions AskRegions() {
  uint8_t unused[32] = {}, selection[Region::kBytes], whole[Region::kBytes];
  std::memset(selection, 0xAB, sizeof selection);
  std::memset(whole, 0xAB, sizeof whole);
  int32_t result = FX_GetCurERegions(unused, selection, whole, kVersion);
  return {result, Region::FromBytes(selection), Region::FromBytes(whole)};
}

// The 28-byte transfer record: the region, then two words of 1.
struct Transfer {
  uint8_t bytes[28];
  explicit Transfer(const Region& region) {
    region.ToBytes(bytes);
    fxt::PutS32(bytes, 20, 1);
    fxt::PutS32(bytes, 24, 1);
  }
};

TEST(HostWholeDocumentRegion, CoversEveryStaffOfTheScoreOrderAndEveryMeasure) {
  struct Row {
    int measures;
    std::vector<int16_t> staves;
    Region expected;
  };
  // host-behaviour.md, Whole document: list 0 in both ends, slots 1 to the number of staves
  // of list 0, measure 1 to the last; without a measure or a staff, the empty region.
  const Row rows[] = {
      {1, {3}, Region::Cells(0, 1, 1, 1, 1)},
      {39, {3, 1, 2}, Region::Cells(0, 1, 3, 1, 39)},
      {40, {5, 6, 7, 8}, Region::Cells(0, 1, 4, 1, 40)},
      {0, {1, 2}, Region()},  // no measures: nothing to cover
      {12, {}, Region()},     // no staves
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.measures) + " measures, " + std::to_string(row.staves.size()) +
                 " staves");
    Host host;
    MakeScore(host, row.measures, row.staves);
    Regions regions = AskRegions();
    EXPECT_EQ(regions.result, 0) << "no selection was made";
    EXPECT_TRUE(regions.selection == Region()) << "an absent selection reads as empty";
    EXPECT_TRUE(regions.whole == row.expected);
  }
}

TEST(HostWholeDocumentRegion, EndsAtTheFirstMissingMeasureAndStaffPosition) {
  Host host;
  Document& document = MakeScore(host, 10, {1, 2, 3, 4});
  document.records.Erase(kMeasureTag, DataKey{6, 0, 0, 0});
  document.records.Erase(kSystemStaffTag, DataKey{0, 2, 0, 0});
  EXPECT_TRUE(AskRegions().whole == Region::Cells(0, 1, 2, 1, 5));
}

TEST(HostSelection, SetCurERegionReplacesTheSelectionOfTheCurrentDocumentOnly) {
  Host host;
  Document& first = MakeScore(host, 20, {1, 2, 3});
  Document& second = MakeScore(host, 20, {1, 2, 3});
  Region region = Region::Cells(0, 2, 3, 4, 8);
  uint8_t bytes[Region::kBytes];
  region.ToBytes(bytes);
  EXPECT_EQ(FX_SetCurERegion(bytes, kVersion), 1);
  Regions asked = AskRegions();
  EXPECT_EQ(asked.result, 1);
  EXPECT_TRUE(asked.selection == region);
  EXPECT_TRUE(second.hasSelection);
  EXPECT_FALSE(first.hasSelection);

  ASSERT_TRUE(host.SetCurrentDocument(first.number));
  EXPECT_EQ(AskRegions().result, 0);
  ASSERT_TRUE(host.SetCurrentDocument(second.number));
  EXPECT_TRUE(AskRegions().selection == region);

  // The empty region clears the selection.
  Region().ToBytes(bytes);
  EXPECT_EQ(FX_SetCurERegion(bytes, kVersion), 1);
  EXPECT_EQ(AskRegions().result, 0);
}

TEST(HostSelection, RegionsThatNameNoMusicOfTheDocumentAreRefused) {
  struct Row {
    const char* name;
    Region region;
  };
  Region partialBackwards = Region::Cells(0, 1, 2, 5, 5);
  partialBackwards.startPosition = 600;
  partialBackwards.endPosition = 100;
  Region negative = Region::Cells(0, 1, 2, 5, 6);
  negative.startPosition = -1;
  const Row rows[] = {
      {"measure beyond the last (host-behaviour.md: not 1 <= start <= end <= last)",
       Region::Cells(0, 1, 2, 5, 11)},
      {"measure 0 (host-behaviour.md: not 1 <= start <= end <= last)",
       Region::Cells(0, 1, 2, 0, 3)},
      {"end before start (host-behaviour.md: not 1 <= start <= end <= last)",
       Region::Cells(0, 1, 2, 6, 5)},
      {"slot 0 (host-behaviour.md: a slot that is not a staff of its list)",
       Region::Cells(0, 0, 2, 1, 2)},
      {"slot past the list (host-behaviour.md: a slot that is not a staff of its list)",
       Region::Cells(0, 1, 4, 1, 2)},
      {"list that does not exist (host-behaviour.md: a slot that is not a staff of its list)",
       Region::Cells(7, 1, 1, 1, 2)},
      {"one measure, start after end (host-behaviour.md: a start position after the end)",
       partialBackwards},
      {"negative position (host-behaviour.md: a negative position)", negative},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    MakeScore(host, 10, {1, 2, 3});
    Region kept = Region::Cells(0, 1, 1, 2, 2);
    ASSERT_TRUE(SetSelection(*host.CurrentDocument(), kept));
    uint8_t bytes[Region::kBytes];
    row.region.ToBytes(bytes);
    EXPECT_EQ(FX_SetCurERegion(bytes, kVersion), 0);
    EXPECT_TRUE(AskRegions().selection == kept) << "the selection stays";
  }
}

TEST(HostClipboard, TokenLivesFromCopyUntilDisposed) {
  Host host;
  Document& document = MakeScore(host, 8, {1, 2, 3});
  PutCellRecord(document, kChordTag, 1, 2, 0, 10);
  PutCellRecord(document, kChordTag, 1, 2, 1, 11);
  PutCellRecord(document, kMidiTag, 2, 3, 0, 20);
  PutCellRecord(document, kChordTag, 3, 2, 0, 30);  // outside: staff 3
  PutCellRecord(document, kChordTag, 1, 4, 0, 40);  // outside: measure 4

  Transfer from(Region::Cells(0, 1, 2, 2, 3));
  int32_t token = FX_CopyCutMusic(from.bytes, 1, kVersion);
  ASSERT_NE(token, 0);
  ASSERT_NE(host.FindClip(static_cast<uint32_t>(token)), nullptr);
  EXPECT_EQ(host.FindClip(static_cast<uint32_t>(token))->records.size(), 3u);

  Transfer to(Region::Cells(0, 2, 3, 6, 7));
  EXPECT_EQ(FX_InsertMergeMusic(token, to.bytes, true, kVersion), 1);
  EXPECT_EQ(Music(document),
            (std::vector<std::string>{"SDCh 1,2,0=10", "SDCh 1,2,1=11", "SDCh 1,4,0=40",
                                      "SDCh 2,6,0=10", "SDCh 2,6,1=11", "SDCh 3,2,0=30",
                                      "dtME 2,3,0=20", "dtME 3,7,0=20"}));

  // The token can be pasted again until it is disposed of; then it is unknown.
  Transfer again(Region::Cells(0, 1, 1, 8, 8));
  EXPECT_EQ(FX_InsertMergeMusic(token, again.bytes, true, kVersion), 0) << "does not fit";
  EXPECT_EQ(FX_DisposeFinClipFileToken(token, kVersion), 1);
  EXPECT_EQ(FX_DisposeFinClipFileToken(token, kVersion), 0);
  EXPECT_EQ(FX_InsertMergeMusic(token, to.bytes, true, kVersion), 0);
  EXPECT_EQ(FX_InsertMergeMusic(token + 1, to.bytes, true, kVersion), 0);
  EXPECT_EQ(FX_DisposeFinClipFileToken(0, kVersion), 0);
  EXPECT_EQ(host.ClipCount(), 0u);

  // A new copy never brings back a released token.
  EXPECT_NE(FX_CopyCutMusic(from.bytes, 1, kVersion), token);
}

TEST(HostClipboard, CutTakesTheMusicAndPasteBringsItBack) {
  Host host;
  Document& document = MakeScore(host, 4, {7, 8});
  PutCellRecord(document, kChordTag, 7, 1, 0, 1);
  PutCellRecord(document, kChordTag, 8, 2, 0, 2);
  PutCellRecord(document, kChordTag, 8, 3, 0, 3);
  RecordStore before = document.records;

  Transfer region(Region::Cells(0, 1, 2, 1, 2));
  int32_t token = FX_CopyCutMusic(region.bytes, 2, kVersion);
  ASSERT_NE(token, 0);
  EXPECT_EQ(Music(document), std::vector<std::string>{"SDCh 8,3,0=3"});
  EXPECT_EQ(FX_InsertMergeMusic(token, region.bytes, true, kVersion), 1);
  EXPECT_TRUE(document.records == before);
  EXPECT_EQ(FX_DisposeFinClipFileToken(token, kVersion), 1);
}

TEST(HostClipboard, MergePutsTheMusicAfterTheCellsOwnAndInsertReplacesIt) {
  struct Row {
    bool insert;
    std::vector<std::string> expected;
  };
  const Row rows[] = {
      {true, {"SDCh 2,1,0=5", "SDCh 2,1,1=6"}},
      {false, {"SDCh 2,1,0=9", "SDCh 2,1,1=5", "SDCh 2,1,2=6"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.insert ? "insert (host-behaviour.md: every target cell is replaced)"
                            : "merge (host-behaviour.md: merged after the cell's own)");
    Host host;
    Document& document = MakeScore(host, 2, {1, 2});
    PutCellRecord(document, kChordTag, 1, 1, 0, 5);
    PutCellRecord(document, kChordTag, 1, 1, 1, 6);
    Transfer from(Region::Cells(0, 1, 1, 1, 1));
    int32_t token = FX_CopyCutMusic(from.bytes, 2, kVersion);
    PutCellRecord(document, kChordTag, 2, 1, 0, 9);
    Transfer to(Region::Cells(0, 2, 2, 1, 1));
    EXPECT_EQ(FX_InsertMergeMusic(token, to.bytes, row.insert, kVersion), 1);
    EXPECT_EQ(Music(document), row.expected);
    FX_DisposeFinClipFileToken(token, kVersion);
  }
}

TEST(HostClipboard, RefusedTransfersChangeNothing) {
  Region partial = Region::Cells(0, 1, 1, 1, 2);
  partial.endPosition = 511;
  struct Row {
    const char* name;
    Region region;
    int16_t mode;
  };
  const Row rows[] = {
      {"partial measures (host-behaviour.md: Music moves by whole measures)", partial, 2},
      {"measure beyond the document (host-behaviour.md: an invalid or partial region gives 0)",
       Region::Cells(0, 1, 1, 3, 4), 2},
      {"empty region (host-behaviour.md: an invalid or partial region gives 0)", Region(), 1},
      {"unknown mode (host-behaviour.md: Any other mode gives 0)", Region::Cells(0, 1, 1, 1, 1), 3},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = MakeScore(host, 3, {1});
    PutCellRecord(document, kChordTag, 1, 1, 0, 1);
    RecordStore before = document.records;
    Transfer transfer(row.region);
    EXPECT_EQ(FX_CopyCutMusic(transfer.bytes, row.mode, kVersion), 0);
    EXPECT_TRUE(document.records == before);
    EXPECT_EQ(host.ClipCount(), 0u);
  }
  Host host;
  MakeScore(host, 3, {1});
  EXPECT_EQ(FX_CopyCutMusic(nullptr, 1, kVersion), 0);
}

}  // namespace
}  // namespace fxthost
