// The music region against the emulated host: its record, its tests at their bounds,
// its measure and staff walks, and the music it moves through the host's clipboard.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/core/iterator.h"
#include "framework/score/cell.h"
#include "framework/score/musicregion.h"
#include "framework/score/staff.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace {

using fxthost::Fn;
using fxthost::testing::kChordTag;
using fxthost::testing::MakeScore;
using fxthost::testing::Music;
using fxthost::testing::PutCellRecord;

constexpr int32_t kEnd = 0x7FFFFFFF;

EREGION Region(uint16_t list, int16_t top, int16_t bottom, int16_t first, int16_t last,
               int32_t startPos = 0, int32_t endPos = kEnd) {
  EREGION r = {};
  r.startInstrumentList = list;
  r.startSlot = top;
  r.startMeasure = first;
  r.startPosition = startPos;
  r.endInstrumentList = list;
  r.endSlot = bottom;
  r.endMeasure = last;
  r.endPosition = endPos;
  return r;
}

TEST(MusicRegionRecord, FieldsSitAtTheirByteOffsetsLittleEndian) {
  const uint8_t bytes[20] = {0x02, 0x00, 0xFE, 0xFF, 0x05, 0x00, 0x00, 0x02, 0x00, 0x00,
                             0x03, 0x00, 0x07, 0x00, 0x34, 0x12, 0xFF, 0xFF, 0xFF, 0x7F};
  const EREGION r = EREGION_Read(bytes);
  EXPECT_EQ(+r.startInstrumentList, 2);
  EXPECT_EQ(+r.startSlot, -2);
  EXPECT_EQ(+r.startMeasure, 5);
  EXPECT_EQ(+r.startPosition, 512);
  EXPECT_EQ(+r.endInstrumentList, 3);
  EXPECT_EQ(+r.endSlot, 7);
  EXPECT_EQ(+r.endMeasure, 0x1234);
  EXPECT_EQ(+r.endPosition, kEnd);

  // Through a region and back out: the same 20 bytes.
  fxthost::Host host;
  host.NewDocument();
  EREGION in;
  std::memcpy(&in, bytes, sizeof in);
  FCMusicRegion region(&in);
  uint8_t out[20] = {};
  region.GetEnigmaRegion(reinterpret_cast<EREGION*>(out));
  EXPECT_EQ(std::memcmp(out, bytes, sizeof out), 0);
}

TEST(MusicRegion, PartialMeansAnyPositionOtherThanTheMeasureBounds) {
  struct Row {
    int32_t start, end;
    bool partial;
  } rows[] = {
      {0, kEnd, false}, {1, kEnd, true}, {0, kEnd - 1, true}, {-1, kEnd, true}, {0, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.start << ".." << row.end);
    EREGION r = Region(0, 1, 1, 1, 2, row.start, row.end);
    EXPECT_EQ(FCMusicRegion(&r).IsPartial(), row.partial);
  }
}

TEST(MusicRegion, FullDocumentWidthNeedsWholeMeasuresFromOneToTheLast) {
  struct Row {
    int measures;
    int16_t first, last;
    int32_t startPos, endPos;
    bool lastEnd, fullWidth;
  } rows[] = {
      {40, 1, 40, 0, kEnd, true, true},  {40, 1, 39, 0, kEnd, false, false},
      {40, 2, 40, 0, kEnd, true, false}, {40, 1, 40, 0, 1023, true, false},
      {40, 1, 40, 5, kEnd, true, false}, {40, 1, 41, 0, kEnd, false, false},
      {39, 1, 39, 0, kEnd, true, true},  {39, 1, 40, 0, kEnd, false, false},
      {1, 1, 1, 0, kEnd, true, true},    {1, 0, 0, 0, kEnd, false, false},  // empty region
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << row.measures << " measures, region " << row.first << "-"
                                      << row.last << " pos " << row.startPos << ".." << row.endPos);
    fxthost::Host host;
    MakeScore(host, row.measures, {1, 2, 3});
    // The staves do not matter: a single slot of another list is enough.
    EREGION r = Region(7, 1, 1, row.first, row.last, row.startPos, row.endPos);
    FCMusicRegion region(&r);
    EXPECT_EQ(region.IsLastEndMeasure(), row.lastEnd);
    EXPECT_EQ(region.IsFullDocumentWidth(), row.fullWidth);
  }
}

TEST(MusicRegion, MeasurePositionsAreInclusiveAtBothEnds) {
  fxthost::Host host;
  host.NewDocument();
  EREGION multi = Region(0, 1, 1, 3, 5, 256, 511);
  EREGION single = Region(0, 1, 1, 4, 4, 100, 200);
  EREGION whole = Region(0, 1, 1, 2, 3);
  struct Row {
    const char* name;
    EREGION* record;
    int measure;
    int32_t position;
    bool within;
  } rows[] = {
      {"before the start position", &multi, 3, 255, false},
      {"at the start position", &multi, 3, 256, true},
      {"start measure, far in", &multi, 3, kEnd, true},
      {"middle measure, its start", &multi, 4, 0, true},
      {"middle measure, its end", &multi, 4, kEnd, true},
      {"at the end position", &multi, 5, 511, true},
      {"after the end position", &multi, 5, 512, false},
      {"end measure, its start", &multi, 5, 0, true},
      {"measure before", &multi, 2, 300, false},
      {"measure after", &multi, 6, 0, false},
      {"one measure: below", &single, 4, 99, false},
      {"one measure: first", &single, 4, 100, true},
      {"one measure: last", &single, 4, 200, true},
      {"one measure: above", &single, 4, 201, false},
      {"whole measures: end of the last", &whole, 3, kEnd, true},
      {"whole measures: negative position", &whole, 2, -1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMusicRegion region(row.record);
    EXPECT_EQ(region.IsMeasurePosWithin(row.measure, row.position), row.within);
  }

  struct FullRow {
    EREGION* record;
    short measure;
    bool included, full;
  } fullRows[] = {
      {&multi, 3, true, false},  {&multi, 4, true, true}, {&multi, 5, true, false},
      {&multi, 6, false, false}, {&whole, 2, true, true}, {&whole, 3, true, true},
      {&whole, 1, false, false},
  };
  for (const FullRow& row : fullRows) {
    SCOPED_TRACE(::testing::Message() << "measure " << row.measure);
    FCMusicRegion region(row.record);
    EXPECT_EQ(region.IsMeasureIncluded(row.measure), row.included);
    EXPECT_EQ(region.IsFullMeasureIncluded(row.measure), row.full);
  }
  FCMusicRegion region(&multi);
  EXPECT_TRUE(region.IsStartPos(3, 256));
  EXPECT_FALSE(region.IsStartPos(3, 257));
  EXPECT_FALSE(region.IsStartPos(4, 256));
}

TEST(MusicRegion, StaffIsIncludedOnlyThroughItsSlotInTheStartList) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 4, {10, 11, 12, 13});
  fxthost::testing::SetStaffList(doc, {12, 13, 20}, 2);
  struct Row {
    const char* name;
    EREGION record;
    short staff;
    bool included;
  } rows[] = {
      {"top slot", Region(0, 2, 3, 1, 1), 11, true},
      {"bottom slot", Region(0, 2, 3, 1, 1), 12, true},
      {"above the range", Region(0, 2, 3, 1, 1), 10, false},
      {"below the range", Region(0, 2, 3, 1, 1), 13, false},
      {"not in the list, wide range", Region(0, -100, 100, 1, 1), 99, false},
      {"another list", Region(2, 1, 2, 1, 1), 13, true},
      {"another list, staff only in the global one", Region(2, 1, 3, 1, 1), 10, false},
      {"reversed slots", Region(0, 3, 2, 1, 1), 11, false},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMusicRegion region(&row.record);
    EXPECT_EQ(region.IsStaffIncluded(row.staff), row.included);
  }

  EREGION r = Region(0, 2, 3, 2, 3, 100, 200);
  FCMusicRegion region(&r);
  struct CellRow {
    int measure, staff;
    int32_t position;
    bool within;
  } cells[] = {
      {2, 11, 100, true},  {2, 11, 99, false}, {3, 12, 200, true},          {3, 12, 201, false},
      {2, 10, 100, false}, {4, 11, 0, false},  {2, 11 + 65536, 100, false},
  };
  for (const CellRow& row : cells) {
    SCOPED_TRACE(::testing::Message()
                 << "cell " << row.measure << "/" << row.staff << " at " << row.position);
    FCCell cell(row.measure, row.staff);
    EXPECT_EQ(region.IsCellPosWithin(&cell, row.position), row.within);
  }
  EXPECT_FALSE(region.IsCellPosWithin(nullptr, 100));
}

TEST(MusicRegion, OverlapNeedsMeetingMeasuresAndASharedStaff) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 10, {1, 2, 3, 4, 5});
  fxthost::testing::SetStaffList(doc, {4, 5}, 3);
  struct Row {
    const char* name;
    EREGION a, b;
    bool overlap;
  } rows[] = {
      {"touching at one position", Region(0, 1, 3, 2, 5, 0, 512), Region(0, 1, 3, 5, 7, 512), true},
      {"one unit apart", Region(0, 1, 3, 2, 5, 0, 512), Region(0, 1, 3, 5, 7, 513), false},
      {"the other way round, touching", Region(0, 1, 3, 5, 7, 512), Region(0, 1, 3, 2, 5, 0, 512),
       true},
      {"the other way round, apart", Region(0, 1, 3, 5, 7, 513), Region(0, 1, 3, 2, 5, 0, 512),
       false},
      {"measures apart", Region(0, 1, 3, 1, 2), Region(0, 1, 3, 3, 4), false},
      {"one staff shared", Region(0, 1, 3, 1, 2), Region(0, 3, 5, 2, 4), true},
      {"no staff shared", Region(0, 1, 2, 1, 2), Region(0, 3, 5, 1, 2), false},
      {"shared through another list", Region(0, 4, 4, 1, 2), Region(3, 1, 1, 1, 2), true},
      {"other region reversed", Region(0, 1, 5, 1, 2), Region(0, 3, 1, 1, 2), false},
      {"this region reversed", Region(0, 3, 1, 1, 2), Region(0, 1, 5, 1, 2), false},
      {"slots without staves share nothing", Region(0, 8, 9, 1, 2), Region(3, 5, 6, 1, 2), false},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMusicRegion a(&row.a), b(&row.b);
    EXPECT_EQ(a.IsOverlapping(&b), row.overlap);
  }
  EREGION r = Region(0, 1, 3, 1, 2);
  EXPECT_FALSE(FCMusicRegion(&r).IsOverlapping(nullptr));
}

TEST(MusicRegion, StaffRangeOperations) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 4, {10, 11, 12, 13});
  fxthost::testing::SetStaffList(doc, {12, 13, 10}, 2);
  struct Row {
    const char* name;
    EREGION record;
    void (*apply)(FCMusicRegion&, bool*);
    bool result;
    uint16_t startList, endList;
    int16_t startSlot, endSlot;
  } rows[] = {
      {"sorting reversed slots", Region(2, 7, 3, 1, 2),
       [](FCMusicRegion& r, bool* ok) { r.AssureSortedStaves(), *ok = true; }, true, 2, 2, 3, 7},
      {"sorting sorted slots", Region(2, 3, 7, 1, 2),
       [](FCMusicRegion& r, bool* ok) { r.AssureSortedStaves(), *ok = true; }, true, 2, 2, 3, 7},
      {"full stack of the global list", Region(0, 2, 2, 1, 2),
       [](FCMusicRegion& r, bool* ok) { *ok = r.SetFullMeasureStack(); }, true, 0, 0, 1, 4},
      {"full stack of list 2", Region(2, 2, 2, 1, 2),
       [](FCMusicRegion& r, bool* ok) { *ok = r.SetFullMeasureStack(); }, true, 2, 2, 1, 3},
      {"full stack of a list without staves", Region(5, 2, 2, 1, 2),
       [](FCMusicRegion& r, bool* ok) { *ok = r.SetFullMeasureStack(); }, false, 5, 5, 2, 2},
      {"full stack of an empty region", Region(0, 2, 2, 0, 0),
       [](FCMusicRegion& r, bool* ok) { *ok = r.SetFullMeasureStack(); }, false, 0, 0, 2, 2},
      {"list 2 to the global list", Region(2, 1, 3, 1, 2),
       [](FCMusicRegion& r, bool* ok) { r.ConvertToGlobalInstrumentList(), *ok = true; }, true, 0,
       0, 3, 1},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMusicRegion region(&row.record);
    bool ok = false;
    row.apply(region, &ok);
    EXPECT_EQ(ok, row.result);
    EXPECT_EQ(region.GetStartInstrumentList(), row.startList);
    EXPECT_EQ(region.GetEndInstrumentList(), row.endList);
    EXPECT_EQ(region.GetStartSlot(), row.startSlot);
    EXPECT_EQ(region.GetEndSlot(), row.endSlot);
    // Measures and positions are never touched.
    EXPECT_EQ(region.GetStartMeasure(), +row.record.startMeasure);
    EXPECT_EQ(region.GetEndMeasure(), +row.record.endMeasure);
    EXPECT_EQ(region.GetEndMeasurePos(), kEnd);
  }
}

TEST(MusicRegion, DurationCountsBothBoundsOnTheTopStaff) {
  fxthost::Host host;
  fxthost::Document& doc = host.NewDocument();
  fxthost::SetMeasures(doc, {{4, 1024, 0}, {4, 1024, 0}, {4, 1024, 0}, {3, 1024, 0}});
  fxthost::testing::SetStaffList(doc, {1, 2});
  struct Row {
    const char* name;
    EREGION record;
    int duration;
  } rows[] = {
      {"three whole measures", Region(0, 1, 2, 1, 3), 3 * 4096},
      {"start past the first measure's end", Region(0, 1, 1, 1, 3, 5000, 511), 4096 + 512},
      {"one whole measure of 3/4", Region(0, 1, 1, 4, 4), 3072},
      {"start 256 in the first, end 511 in the last", Region(0, 1, 1, 1, 3, 256, 511),
       (4096 - 256) + 4096 + 512},
      {"one measure, one unit", Region(0, 1, 1, 2, 2, 100, 100), 1},
      {"empty region", Region(0, 1, 1, 0, 0), 0},
      {"a measure not in the document adds nothing", Region(0, 1, 1, 4, 5), 3072},
      {"no staff at the top slot", Region(0, 9, 9, 1, 3), 0},
      {"start after the end in one measure", Region(0, 1, 1, 2, 2, 600, 100), 0},
      {"end measure before the start", Region(0, 1, 1, 3, 2), 0},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FCMusicRegion(&row.record).CalcDuration(), row.duration);
  }

  // The example of three measures of 1024 units each.
  fxthost::SetMeasures(doc, {{1, 1024, 0}, {1, 1024, 0}, {1, 1024, 0}});
  EREGION whole = Region(0, 1, 1, 1, 3);
  EREGION partial = Region(0, 1, 1, 1, 3, 256, 511);
  EXPECT_EQ(FCMusicRegion(&whole).CalcDuration(), 3072);
  EXPECT_EQ(FCMusicRegion(&partial).CalcDuration(), 768 + 1024 + 512);
}

// Records the staves it is handed and stops after a given number.
class StaffCollector : public FCIteratorHandler {
 public:
  explicit StaffCollector(int stopAfter) : _stopAfter(stopAfter) {}
  bool Iterate(__FCBase* object) override {
    auto* staff = static_cast<FCStaff*>(object);
    staves.push_back(staff->GetItemNo());
    flags.push_back(staff->GetFlags());
    return static_cast<int>(staves.size()) < _stopAfter;
  }
  std::vector<unsigned short> staves;
  std::vector<unsigned short> flags;

 private:
  int _stopAfter;
};

TEST(MusicRegion, StaffWalkHandsOverEachStaffOfTheSlotRange) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 4, {10, 11, 12, 13});
  fxthost::testing::SetStaffList(doc, {13, 11}, 2);
  // Staff 13 carries a flag word, so that a record handed on to the next slot shows.
  {
    FCStaff staff;
    ASSERT_TRUE(staff.Load(13));
    staff.SetFlags(0x1234);
    ASSERT_TRUE(staff.Save());
  }
  struct Row {
    const char* name;
    EREGION record;
    int stopAfter;
    int count;
    std::vector<unsigned short> staves;
  } rows[] = {
      {"all of the range", Region(0, 2, 4, 1, 1), 100, 3, {11, 12, 13}},
      {"stopped by the handler", Region(0, 1, 4, 1, 1), 2, 2, {10, 11}},
      {"through the start list", Region(2, 1, 2, 1, 1), 100, 2, {13, 11}},
      {"reversed slots", Region(0, 3, 1, 1, 1), 100, 0, {}},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMusicRegion region(&row.record);
    StaffCollector collector(row.stopAfter);
    EXPECT_EQ(region.ForEachStaff(&collector), row.count);
    EXPECT_EQ(collector.staves, row.staves);
  }

  // A slot without a staff is handed over too, empty: never with the staff before it.
  EREGION past = Region(0, 2, 5, 1, 1);
  StaffCollector collector(100);
  EXPECT_EQ(FCMusicRegion(&past).ForEachStaff(&collector), 4);
  ASSERT_EQ(collector.flags.size(), 4u);
  EXPECT_EQ(collector.flags[2], 0x1234);
  EXPECT_EQ(collector.staves[3], 0);
  EXPECT_EQ(collector.flags[3], 0);
  EXPECT_EQ(FCMusicRegion(&past).ForEachStaff(nullptr), 0);
}

TEST(MusicRegion, SelectionAndWholeDocumentComeFromTheCurrentDocument) {
  fxthost::Host host;
  fxthost::Document& first = MakeScore(host, 12, {1, 2, 3});
  FCMusicRegion region;
  EXPECT_FALSE(region.SetCurrentSelection()) << "no selection yet";
  EXPECT_TRUE(region.IsEmpty());

  EREGION wanted = Region(0, 1, 2, 3, 4);
  FCMusicRegion want(&wanted);
  EXPECT_TRUE(want.SetInDocument());
  EXPECT_TRUE(region.SetCurrentSelection());
  EXPECT_EQ(region.GetStartSlot(), 1);
  EXPECT_EQ(region.GetEndSlot(), 2);
  EXPECT_EQ(region.GetStartMeasure(), 3);
  EXPECT_EQ(region.GetEndMeasure(), 4);
  EXPECT_EQ(region.GetDocumentNumber(), first.number);

  EXPECT_TRUE(region.SetFullDocument());
  EXPECT_EQ(region.GetStartSlot(), 1);
  EXPECT_EQ(region.GetEndSlot(), 3);
  EXPECT_EQ(region.GetStartMeasure(), 1);
  EXPECT_EQ(region.GetEndMeasure(), 12);
  EXPECT_TRUE(region.IsFullDocumentWidth());

  // Once another document is current, the region is not handed to the host.
  MakeScore(host, 3, {1});
  EXPECT_FALSE(region.IsCurrentDocument());
  host.ClearCalls();
  EXPECT_FALSE(region.SetInDocument());
  EXPECT_TRUE(host.CallsTo(Fn::FX_SetCurERegion).empty());
  EXPECT_TRUE(host.SetCurrentDocument(first.number));
  EXPECT_TRUE(region.SetInDocument());

  // A region never set belongs to no document.
  FCMusicRegion unset;
  EXPECT_FALSE(unset.IsCurrentDocument());
}

TEST(MusicRegion, ClipTokenLivesFromCopyToRelease) {
  fxthost::Host host;
  fxthost::Document& doc = MakeScore(host, 4, {1, 2});
  PutCellRecord(doc, kChordTag, 1, 1, 0, 11);
  PutCellRecord(doc, kChordTag, 2, 2, 0, 22);

  EREGION source = Region(0, 1, 2, 1, 2);
  FCMusicRegion region(&source);
  EXPECT_EQ(region.GetClipToken(), 0u);
  EXPECT_FALSE(region.PasteMusic()) << "nothing held";
  EXPECT_FALSE(region.ReleaseMusic()) << "nothing held";

  ASSERT_TRUE(region.CopyMusic());
  const uint32_t token = region.GetClipToken();
  EXPECT_NE(token, 0u);
  ASSERT_NE(host.FindClip(token), nullptr);
  EXPECT_EQ(host.FindClip(token)->records.size(), 2u);

  // A second copy or a cut is refused and keeps the token held.
  host.ClearCalls();
  EXPECT_FALSE(region.CopyMusic());
  EXPECT_FALSE(region.CutMusic());
  EXPECT_EQ(region.GetClipToken(), token);
  EXPECT_TRUE(host.CallsTo(Fn::FX_CopyCutMusic).empty());

  // The transfer record: the region's 20 bytes, then 1 and 1.
  ASSERT_TRUE(region.PasteMusic());
  const auto pastes = host.CallsTo(Fn::FX_InsertMergeMusic);
  ASSERT_EQ(pastes.size(), 1u);
  EXPECT_EQ(pastes[0].words[0], token);
  EXPECT_EQ(pastes[0].words[2], 1u);
  EXPECT_EQ(region.GetClipToken(), token) << "paste keeps the token";

  ASSERT_TRUE(region.ReleaseMusic());
  EXPECT_EQ(region.GetClipToken(), 0u);
  EXPECT_EQ(host.FindClip(token), nullptr);
  EXPECT_FALSE(region.ReleaseMusic());

  // A release the host refuses keeps the token.
  ASSERT_TRUE(region.CutMusic());
  EXPECT_TRUE(Music(doc).empty()) << "cut takes the music";
  const uint32_t cut = region.GetClipToken();
  host.FailCall(Fn::FX_DisposeFinClipFileToken, 1);
  EXPECT_FALSE(region.ReleaseMusic());
  EXPECT_EQ(region.GetClipToken(), cut);
  EXPECT_TRUE(region.PasteMusic());
  EXPECT_EQ(Music(doc), (std::vector<std::string>{"SDCh 1,1,0=11", "SDCh 2,2,0=22"}));
  EXPECT_TRUE(region.ReleaseMusic());
}

TEST(MusicRegion, TransferIsRefusedForEmptyRegionsAndFailedCopies) {
  fxthost::Host host;
  MakeScore(host, 4, {1, 2});
  struct Row {
    const char* name;
    EREGION record;
    bool hostAsked;
  } rows[] = {
      {"empty region", Region(0, 1, 1, 0, 0), false},
      {"partial region, refused by the host (host-behaviour.md: Music moves by whole measures)",
       Region(0, 1, 1, 1, 2, 5), true},
      {"measures outside the document (host-behaviour.md: an invalid or partial region gives 0)",
       Region(0, 1, 1, 7, 8), true},
  };
  for (Row& row : rows) {
    SCOPED_TRACE(row.name);
    host.ClearCalls();
    FCMusicRegion region(&row.record);
    EXPECT_FALSE(region.CopyMusic());
    EXPECT_EQ(region.GetClipToken(), 0u);
    EXPECT_EQ(host.CallsTo(Fn::FX_CopyCutMusic).size(), row.hostAsked ? 1u : 0u);
    // A failed copy holds nothing, so a later one may try again.
    EXPECT_FALSE(region.CutMusic());
    EXPECT_EQ(host.CallsTo(Fn::FX_CopyCutMusic).size(), row.hostAsked ? 2u : 0u);
  }
}

}  // namespace
