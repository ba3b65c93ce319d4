// Cells and their music, in-process against the host: the length of a cell's music by
// layer choice, its key signature from its own details or its measure, the cells and
// measures of a region, the measure metrics, the cell-detail collections in their two
// walk orders, and the browsers with their handler notifications. After every test no
// entry frame is outstanding.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/finaleframework.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/cli/musicchart.h"
#include "host/store/score.h"

namespace {

using fxthost::DataKey;

// Chords carry their own marks as positions: 0 and 2048 in (staff 1, measure 1), 1 in
// (3, 1), 2 in (1, 2), 3 in (3, 2).
const char* const kScore = R"({
  "measures": [ { "key": 0 }, { "key": 3 }, { "key": 2 }, { "key": 0 } ],
  "staves": [ { "id": 1 }, { "id": 3 } ],
  "textExpressions": [ { "id": 1, "text": "p" } ],
  "expressions": [ { "measure": 1, "staff": 1, "definition": 1, "position": 0 },
                   { "measure": 2, "staff": 3, "definition": 1, "position": 100 } ],
  "music": {
    "shownLayers": [1, 4],
    "cells": [
      { "staff": 1, "measure": 1,
        "layers": [ [ { "duration": 1024, "notes": [ { "level": 0 } ] } ],
                    [ { "duration": 1024, "rest": true }, { "duration": 2048, "notes": [ { "level": 2 } ] } ],
                    [],
                    [ { "duration": 2048, "notes": [ { "level": 4 } ] } ] ],
        "chords": [0, 2048], "midiExpressions": [0] },
      { "staff": 3, "measure": 1, "chords": [1] },
      { "staff": 1, "measure": 2, "chords": [2] },
      { "staff": 3, "measure": 2, "chords": [3] }
    ]
  }
})";

class Cells : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadedTGFCounter = 0;
    fxthost::DocumentError error;
    ASSERT_TRUE(fxthost::ParseDocument(kScore, "cells.json", &host.NewDocument(), nullptr, &error))
        << error.Message();
  }
  void TearDown() override {
    EXPECT_EQ(host.FramesOutstanding(), 0u);
    EXPECT_EQ(LoadedTGFCounter, 0);
  }
  fxthost::Document& Doc() { return *host.CurrentDocument(); }
  // An independent cell detail of staff 3 in the measure: the key value and its flag.
  void PutDetail(int measure, short key, bool flag) {
    std::vector<uint8_t> record(FCIndependentCellDetail::RECORD_SIZE, 0);
    fxt::PutS16(record.data(), 0, key);
    if (flag) fxt::PutU16(record.data(), 8, 0x0800);
    Doc().records.Put(FCIndependentCellDetail::TAG,
                      DataKey::Of(3, static_cast<uint16_t>(measure), 0), record);
  }

  fxthost::Host host;
};

// Whole measures first to last on slots top to bottom of list 0.
FCMusicRegion Region(short firstMeasure, short lastMeasure, short top, short bottom) {
  FCMusicRegion region;
  region.SetStartMeasure(firstMeasure);
  region.SetEndMeasure(lastMeasure);
  region.SetStartSlot(top);
  region.SetEndSlot(bottom);
  region.SetEndMeasurePos(0x7FFFFFFF);
  return region;
}

// What a walk showed the handler: "B" BeforeIteration, "F" BeforeFirst, "I:x" Iterate,
// "M:x" IsMatch, "L" AfterLoop, "A" AfterIteration, where x says the object.
class Recorder : public FCIteratorHandler {
 public:
  std::string log;
  std::string stopAt;   // Iterate answers false for the object that says this
  std::string matchAt;  // IsMatch answers true for it
  bool before = true;

  bool Iterate(__FCBase* object) override {
    const std::string x = Say(object);
    log += "I:" + x + " ";
    return x != stopAt;
  }
  bool IsMatch(__FCBase* object) override {
    const std::string x = Say(object);
    log += "M:" + x + " ";
    return x == matchAt;
  }
  bool BeforeIteration() override {
    log += "B ";
    return before;
  }
  bool BeforeFirst() override {
    log += "F ";
    return true;
  }
  void AfterIteration() override { log += "A "; }
  void AfterLoop() override { log += "L "; }

  static std::string Say(__FCBase* object) {
    if (auto* chord = dynamic_cast<FCChord*>(object)) return std::to_string(chord->GetMeasurePos());
    if (auto* midi = dynamic_cast<FCMidiExpression*>(object))
      return "midi" + std::to_string(midi->GetMeasurePos());
    if (auto* expression = dynamic_cast<FCExpression*>(object))
      return "x" + std::to_string(expression->GetMeasurePos());
    if (auto* measure = dynamic_cast<FCMeasure*>(object))
      return "m" + std::to_string(measure->GetItemNo());
    if (auto* cell = dynamic_cast<FCCell*>(object))
      return std::to_string(cell->GetMeasure()) + "/" + std::to_string(cell->GetStaff());
    return "?";
  }
};

std::string Positions(const __FCCollection& collection) {
  std::string out;
  for (int i = 0; i < collection.GetCount(); ++i)
    out += (out.empty() ? "" : ",") + Recorder::Say(collection.GetItemAt(i));
  return out;
}

TEST_F(Cells, EntryDurationByLayerChoice) {
  // Layer 1 is 1024 long, layer 2 3072, layer 4 2048; the document shows layers 1 and 4.
  // A layer choice below -1 chooses no layer, and staff 7, without a slot in the score's
  // list, gives 0 (framework-behaviour.md, Cells, regions and collections).
  struct Row {
    int staff;
    int measure;
    int layer;
    int duration;
  } rows[] = {
      {1, 1, -1, 3072}, {1, 1, 0, 2048}, {1, 1, 1, 1024}, {1, 1, 2, 3072}, {1, 1, 3, 0},
      {1, 1, 4, 2048},  {1, 1, 5, 0},    {1, 1, -2, 0},   {3, 1, -1, 0},   {7, 1, -1, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "staff " << row.staff << " measure " << row.measure << " layer " << row.layer);
    FCCell cell(row.measure, row.staff);
    EXPECT_EQ(cell.CalcEntryDuration(row.layer), row.duration);
  }
  // Layer 2 alone: one frame asked for, of the second layer (index 1).
  host.ClearCalls();
  FCCell cell(1, 1);
  cell.CalcEntryDuration(2);
  const auto loads = host.CallsTo(fxthost::Fn::FX_LoadTGF);
  ASSERT_EQ(loads.size(), 1u);
  EXPECT_EQ(loads[0].words[3], 1u);
}

TEST_F(Cells, KeySignatureFromTheCellOrItsMeasure) {
  // Staff 3 says its cells have their own keys; (measure 2, staff 3) has one (5), with
  // the key flag; (measure 3, staff 3) has a detail without it.
  FCStaff staff;
  ASSERT_TRUE(staff.Load(3));
  staff.SetFlags(staff.GetFlags() | FCStaff::FLAG_INDEPENDENT_KEY);
  ASSERT_TRUE(staff.Save());
  PutDetail(2, 5, true);
  PutDetail(3, 6, false);
  struct Row {
    int measure;
    int staff;
    short key;
  } rows[] = {{2, 3, 5}, {3, 3, 2}, {2, 1, 3}, {4, 3, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "measure " << row.measure << " staff " << row.staff);
    FCCell cell(row.measure, row.staff);
    EXPECT_EQ(cell.GetKeySignature()->GetKeyValue(), row.key);
  }
  // Neither loads: the cell's key stays as it was.
  FCCell beyond(9, 1);
  FCKeySignature* key = beyond.GetKeySignature();
  EXPECT_EQ(key->GetKeyValue(), 0);
  key->SetKeyValue(7);
  EXPECT_EQ(beyond.GetKeySignature(), key);
  EXPECT_EQ(key->GetKeyValue(), 7);
}

// framework-behaviour.md, Cells past 16 bits: each cell would be cut onto a cell that
// has music, chords, an expression or a key of its own; none of its questions reaches
// the host, and nothing is written.
TEST_F(Cells, ACellPastTheHostsNumbersIsNoCellOfTheHosts) {
  FCStaff staff;
  ASSERT_TRUE(staff.Load(3));
  staff.SetFlags(staff.GetFlags() | FCStaff::FLAG_INDEPENDENT_KEY);
  ASSERT_TRUE(staff.Save());
  PutDetail(2, 5, true);
  struct Row {
    const char* name;
    int measure, staff;
  } rows[] = {
      {"measure 65,537 (measure 1 cut)", 65537, 1},
      {"staff 65,537 (staff 1 cut)", 1, 65537},
      {"measure 65,538 on staff 3 (a key of its own cut)", 65538, 3},
      {"measure 32,768 (-32,768 cut)", 32768, 1},
      {"measure -32,769 (32,767 cut)", -32769, 1},
      {"staff -65,533 (staff 3 cut)", 2, -65533},
  };
  FCCell first(1, 1);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCChord chord;  // a chord with a block, which could be created in a cell
    chord.ConnectCell(&first);
    ASSERT_TRUE(chord.LoadFirst());
    host.ClearCalls();
    FCCell cell(row.measure, row.staff);
    EXPECT_FALSE(cell._FitsHost());
    EXPECT_EQ(cell.CalcEntryDuration(-1), 0);
    EXPECT_EQ(cell.GetKeySignature()->GetKeyValue(), 0);
    FCMeasureMetrics metrics;
    EXPECT_FALSE(metrics.Load(&cell, false));
    FCCurrentStaffSpec spec;
    EXPECT_FALSE(spec.Load(&cell, 0));
    FCChords chords;
    chords.LoadAllForCell(&cell);
    EXPECT_EQ(chords.GetCount(), 0);
    FCExpressions expressions;
    expressions.LoadAllInCell(&cell, FCStaffListElement::STAFFLIST_NONE);
    EXPECT_EQ(expressions.GetCount(), 0);
    FCExpression expression;
    expression.SetDefinitionID(1);
    EXPECT_FALSE(expression.SaveNewToCell(&cell));
    chord.ConnectCell(&cell);
    EXPECT_FALSE(chord.SaveNew());
    EXPECT_TRUE(host.Calls().empty()) << host.Calls().size() << " host calls";
  }
  // The numbers at the ends of the host's range are the host's.
  EXPECT_TRUE(FCCell(32767, -32768)._FitsHost());
  EXPECT_TRUE(FCCell(-32768, 32767)._FitsHost());
}

TEST_F(Cells, CellsAndMeasuresOfARegion) {
  FCMusicRegion region = Region(3, 4, 1, 2);
  FCCells cells;
  cells.ApplyRegion(&region);
  EXPECT_EQ(Positions(cells), "3/1,3/3,4/1,4/3");
  FCMusicRegion empty;  // an empty region makes no cell (framework-behaviour.md)
  cells.ApplyRegion(&empty);
  EXPECT_EQ(cells.GetCount(), 0);

  region = Region(1, 2, 1, 2);
  cells.ApplyRegion(&region);
  cells.Add(nullptr);
  Recorder walk;
  EXPECT_EQ(cells.ForEachAtMeasure(2, &walk), 2);
  EXPECT_EQ(cells.ForEachAtStaff(3, &walk), 2);
  walk.stopAt = "2/3";
  EXPECT_EQ(cells.ForEachAtStaff(3, &walk), 1);
  EXPECT_EQ(walk.log, "I:2/1 I:2/3 I:1/3 I:2/3 I:1/3 I:2/3 ");
  EXPECT_EQ(cells.ForEachAtMeasure(2, nullptr), 0);

  FCMeasures measures;
  region = Region(1, 5, 1, 1);
  measures.LoadRegion(&region);
  EXPECT_EQ(Positions(measures), "m1,m2,m3,m4");
  measures.LoadRegion(&empty);
  EXPECT_EQ(measures.GetCount(), 0);
}

TEST_F(Cells, MeasureMetricsOfACell) {
  FCMeasureMetrics metrics;
  FCCell cell(1, 1);
  ASSERT_TRUE(metrics.Load(&cell, false));
  EXPECT_EQ(metrics.GetMeasureDuration(), 4096);
  EXPECT_EQ(metrics.GetMusicDuration(), 3072);
  EXPECT_EQ(metrics.GetEntryCount(), 4);
  EXPECT_EQ(metrics.GetLayerCount(), 3);
  EXPECT_FALSE(metrics.IsMeasureFilled());
  FCCell last(4, 3);
  ASSERT_TRUE(metrics.Load(&last, true));
  EXPECT_EQ(metrics.GetSlot(), 2);
  EXPECT_TRUE(metrics.IsLastMeasure());
  FCCell outside(5, 3);
  EXPECT_FALSE(metrics.Load(&outside, false));
  EXPECT_FALSE(metrics.Load(nullptr, false));
}

TEST_F(Cells, CellDetailCollectionsWalkInTheirOrders) {
  FCChords chords;
  FCCell cell(1, 1);
  chords.LoadAllForCell(&cell);
  EXPECT_EQ(Positions(chords), "0,2048");
  FCMusicRegion region = Region(1, 2, 1, 2);
  chords.LoadAllInRegion(&region);
  EXPECT_EQ(Positions(chords), "0,2048,2,1,3");  // slots outer
  chords.LoadAll();
  EXPECT_EQ(Positions(chords), "0,2048,1,2,3");  // measures outer
  FCMusicRegion empty;
  chords.LoadAllInRegion(&empty);
  EXPECT_EQ(chords.GetCount(), 0);
  chords.LoadAllForCell(nullptr);
  EXPECT_EQ(chords.GetCount(), 0);

  FCMidiExpressions midi;
  midi.LoadAll();
  EXPECT_EQ(Positions(midi), "midi0");

  // At most one independent detail per cell, even when the host holds two.
  PutDetail(1, 4, true);
  Doc().records.Put(FCIndependentCellDetail::TAG, DataKey::Of(3, 1, 1),
                    {0, 0, 0, 0, 0, 0, 0, 0, 0, 8});
  PutDetail(2, 5, true);
  FCIndependentCellDetails details;
  details.LoadAllInRegion(&region);
  EXPECT_EQ(details.GetCount(), 2);
  EXPECT_STREQ(details.ClassName(), "FCIndependentCellDetails");
}

class MeasureBrowser : public __FCBrowserNoInciOther {
 public:
  __FCBaseData* CreateElement() override { return new FCMeasure; }
};

TEST_F(Cells, RecordBrowserNotifiesInOrder) {
  MeasureBrowser browser;
  struct Row {
    const char* what;
    bool before;
    std::string stopAt;
    int result;
    const char* log;
  } rows[] = {
      {"whole walk", true, "", 4, "B F I:m1 I:m2 I:m3 I:m4 L A "},
      {"stopped", true, "m2", 1, "B F I:m1 I:m2 L A "},
      {"refused before", false, "", 0, "B "},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Recorder recorder;
    recorder.before = row.before;
    recorder.stopAt = row.stopAt;
    EXPECT_EQ(browser.ForEach(&recorder), row.result);
    EXPECT_EQ(recorder.log, row.log);
  }
  Recorder finder;
  finder.matchAt = "m2";
  std::unique_ptr<__FCBase> found(browser.FindFirst(&finder));
  EXPECT_EQ(Recorder::Say(found.get()), "m2");
  EXPECT_EQ(finder.log, "B F M:m1 M:m2 L ");
  finder.matchAt = "none";
  finder.log.clear();
  EXPECT_EQ(browser.FindFirst(&finder), nullptr);
  EXPECT_EQ(finder.log, "B F M:m1 M:m2 M:m3 M:m4 A ");

  EXPECT_EQ(browser.GetCount(), 4);
  Recorder from;
  EXPECT_EQ(browser.ToEndFrom(3, &from), 2);
  EXPECT_EQ(from.log, "I:m3 I:m4 ");
  std::unique_ptr<__FCBaseData> third(browser.LoadAnElement(3));
  EXPECT_EQ(Recorder::Say(third.get()), "m3");
  EXPECT_EQ(browser.LoadAnElement(9), nullptr);
  // Without measure 1 nothing is counted, though later measures exist.
  Doc().records.Erase(fxthost::kMeasureTag, DataKey::Of(1));
  EXPECT_EQ(browser.GetCount(), 0);
  Recorder none;
  EXPECT_EQ(browser.ForEach(&none), 0);
  EXPECT_EQ(none.log, "B A ");
}

TEST_F(Cells, RegionBrowsersWalkMeasuresOuter) {
  FCMusicRegion region = Region(1, 2, 1, 2);
  FCBrowserChords chords;
  Recorder all;
  EXPECT_EQ(chords.ForEachInRegion(&all, &region), 4);
  EXPECT_EQ(all.log, "I:0 I:2048 I:1 I:2 I:3 ");
  // Stopped at the first record of the cell (measure 2, slot 1): two cells finished.
  Recorder stopped;
  stopped.stopAt = "2";
  EXPECT_EQ(chords.ForEachInRegion(&stopped, &region), 2);
  EXPECT_EQ(stopped.log, "I:0 I:2048 I:1 I:2 ");
  // Only positions inside the region count: from position 1024 of measure 1.
  region.SetStartMeasurePos(1024);
  Recorder inside;
  EXPECT_EQ(chords.ForEachInRegion(&inside, &region), 4);
  EXPECT_EQ(inside.log, "I:2048 I:2 I:3 ");
  FCMusicRegion empty;
  EXPECT_EQ(chords.ForEachInRegion(&all, &empty), 0);
  EXPECT_EQ(chords.FindFirst(&all), nullptr);
  EXPECT_STREQ(chords.ClassName(), "__FCBrowserBase");

  Recorder expressions;
  EXPECT_EQ(FCBrowserExpressions().ForEach(&expressions), 8);
  EXPECT_EQ(expressions.log, "I:x0 I:x100 ");
  Recorder midi;
  EXPECT_EQ(FCBrowserMidiExpressions().ForEach(&midi), 8);
  EXPECT_EQ(midi.log, "I:midi0 ");
}

}  // namespace

// The example document: every collection and browser of the cells walks it, and the
// chart shows where its music is.
TEST(CellsExample, WalkedByEveryCollectionAndBrowser) {
  LoadedTGFCounter = 0;
  fxthost::Host host;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ReadDocumentFile(std::string(FXT_EXAMPLES_DIR) + "/music.json",
                                        &host.NewDocument("music.json"), nullptr, &error))
      << error.Message();
  FCMusicRegion whole;
  ASSERT_TRUE(whole.SetFullDocument());
  FCChords chords;
  chords.LoadAll();
  EXPECT_EQ(chords.GetCount(), 4);
  chords.LoadAllInRegion(&whole);
  EXPECT_EQ(chords.GetCount(), 4);
  FCMidiExpressions midi;
  midi.LoadAll();
  EXPECT_EQ(midi.GetCount(), 1);
  FCIndependentCellDetails details;
  details.LoadAllInRegion(&whole);
  EXPECT_EQ(details.GetCount(), 0);
  struct Row {
    const char* name;
    __FCBrowserRegionBase* browser;
    int records;
  };
  FCBrowserChords chordBrowser;
  FCBrowserMidiExpressions midiBrowser;
  FCBrowserExpressions expressionBrowser;
  const Row rows[] = {{"chords", &chordBrowser, 4},
                      {"MIDI expressions", &midiBrowser, 1},
                      {"expressions", &expressionBrowser, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Recorder recorder;
    EXPECT_EQ(row.browser->ForEach(&recorder), 6 * 8);
    EXPECT_EQ(static_cast<int>(std::count(recorder.log.begin(), recorder.log.end(), 'I')),
              row.records);
  }
  FCCells cells;
  cells.ApplyRegion(&whole);
  int withMusic = 0;
  for (int i = 0; i < cells.GetCount(); ++i)
    withMusic += cells.GetItemAt(i)->CalcEntryDuration(-1) > 0;
  EXPECT_EQ(withMusic, 8);
  EXPECT_EQ(host.FramesOutstanding(), 0u);
  EXPECT_EQ(LoadedTGFCounter, 0);

  const std::string chart = fxthost::DrawMusic(*host.CurrentDocument(), 80);
  EXPECT_NE(chart.find("2 Oboe            \u2593"), std::string::npos) << chart;
  EXPECT_NE(chart.find("4 Violin II       \u00B7"), std::string::npos) << chart;
  EXPECT_EQ(fxthost::DrawMusic(fxthost::Document(), 80), "");
}
