// The host's music: a document file's music member read and written back, entry frames
// handed out in the layout the bridge reads, cleaned on their way back and written into
// the document, frames given back twice or never handed out refused, leaks reported,
// the layers shown and the measure metrics.
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "host/files/docfile.h"
#include "host/store/entryframes.h"
#include "host/functions/host.h"

namespace {

using Json = nlohmann::json;

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

const char* const kScore = R"({
  "measures": [ { "beats": 4, "beatDuration": 1024 }, { "beats": 3, "beatDuration": 1024 } ],
  "staves": [ { "id": 3 }, { "id": 5 } ],
  "music": {
    "shownLayers": [1, 3],
    "cells": [
      { "staff": 3, "measure": 1,
        "layers": [ [ { "duration": 1024, "notes": [ { "level": 2, "number": 3 },
                                                       { "level": 4, "alter": 1, "number": 3 },
                                                       { "level": 6, "number": 0 } ] },
                      { "duration": 2048, "rest": true },
                      { "duration": 1024, "notes": [ { "level": 0 } ] } ],
                    [],
                    [ { "duration": 512, "notes": [ { "level": -3 } ] } ] ],
        "chords": [0, 2048], "midiExpressions": [1024] },
      { "staff": 5, "measure": 2, "chords": [512] }
    ]
  }
})";

// The host's current document read from kScore, with the bridge's frame counter at 0.
class HostMusic : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadedTGFCounter = 0;
    fxthost::DocumentError error;
    ASSERT_TRUE(fxthost::ParseDocument(kScore, "music.json", &host.NewDocument("music.json"),
                                       nullptr, &error))
        << error.Message();
  }
  void TearDown() override {
    EXPECT_EQ(host.FramesOutstanding(), 0u);
    EXPECT_EQ(LoadedTGFCounter, 0);
  }
  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  fxthost::Host host;
};

struct FrameView {
  const uint8_t* block;
  const uint8_t* Entry(int i) const {
    FXPTR first;
    std::memcpy(&first, block + 14, sizeof first);
    return reinterpret_cast<const uint8_t*>(first) + i * 146;
  }
  int Count() const { return fxt::GetS16(block, 14 + sizeof(FXPTR)); }
  int Notes(int i) const { return fxt::GetS16(Entry(i), 14); }
  int Number(int i, int n) const { return fxt::GetS16(Entry(i), 16 + n * 10 + 4); }
  uint32_t Bits(int i, int n) const { return fxt::GetU32(Entry(i), 16 + n * 10 + 6); }
};

TEST_F(HostMusic, FrameCarriesTheLayerInTheBridgeLayout) {
  void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  const FrameView view{static_cast<const uint8_t*>(frame)};
  ASSERT_EQ(view.Count(), 3);
  EXPECT_EQ(fxt::GetS32(view.Entry(1), 0), 1024);  // position
  EXPECT_EQ(fxt::GetS32(view.Entry(1), 4), 2048);  // duration
  EXPECT_EQ(view.Notes(0), 3);
  EXPECT_EQ(view.Notes(1), 0);
  EXPECT_EQ(fxt::GetS16(view.Entry(0), 16 + 10 + 2), 1);  // the second note's alteration
  EXPECT_EQ(FX_GetTGFDuration(frame, kVersion), 4096);
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 1);

  // Layers and cells: the third layer alone, an empty layer, and what loads nothing
  // (host-music.md, Entry frames: null when the slot holds no staff, the measure is not the
  // document's, or the layer index is not 0 to 3; an empty layer gives a frame of no entries).
  struct Row {
    int16_t slot, measure, layer;
    bool loads;
    int32_t duration;
  } rows[] = {
      {1, 1, 2, true, 512}, {1, 1, 1, true, 0},  {2, 1, 0, true, 0},  {3, 1, 0, false, 0},
      {1, 3, 0, false, 0},  {1, 0, 0, false, 0}, {1, 1, 4, false, 0}, {1, 1, -1, false, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "slot " << row.slot << " measure " << row.measure << " layer " << row.layer);
    void* loaded = FX_LoadTGF(0, row.slot, row.measure, row.layer, 1, kVersion);
    EXPECT_EQ(loaded != nullptr, row.loads);
    if (loaded) {
      EXPECT_EQ(FX_GetTGFDuration(loaded, kVersion), row.duration);
      FX_FreeTGF(loaded, kVersion);
    } else {
      --LoadedTGFCounter;  // counted by the bridge even when nothing came back
    }
  }
}

// host-music.md, Entry frames: a layer record a frame cannot hold whole (a part of an
// entry, or more entries than its count says) gives no frame, so nothing is cut from it.
TEST_F(HostMusic, NoFrameForALayerRecordItWouldCut) {
  const fxthost::DataKey key = fxthost::DataKey::Of(3, 1, 0);
  const size_t sizes[] = {146 + 1, 146 - 2, 146 * 32768u};
  for (size_t size : sizes) {
    SCOPED_TRACE(size);
    const fxthost::RecordStore::Bytes record(size, 0);
    Doc().records.Put(fxthost::kMusicTag, key, record);
    EXPECT_EQ(FX_LoadTGF(0, 1, 1, 0, 1, kVersion), nullptr);
    --LoadedTGFCounter;  // counted by the bridge even when nothing came back
    EXPECT_EQ(*Doc().records.Find(fxthost::kMusicTag, key), record);
  }
  // The most a frame holds.
  Doc().records.Put(fxthost::kMusicTag, key, fxthost::RecordStore::Bytes(146 * 32767u, 0));
  void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(FrameView{static_cast<const uint8_t*>(frame)}.Count(), 32767);
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 1);
}

TEST_F(HostMusic, SavedFrameIsCleanedAndWrittenBack) {
  void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  ASSERT_EQ(FX_SaveTGF(frame, kVersion), 1);
  const FrameView view{static_cast<const uint8_t*>(frame)};
  // Notes numbered 3, 3, 0 become 4, 3, 5; the rest carries its placeholder note.
  EXPECT_EQ(view.Number(0, 0), 4);
  EXPECT_EQ(view.Number(0, 1), 3);
  EXPECT_EQ(view.Number(0, 2), 5);
  EXPECT_EQ(view.Bits(0, 0), 4u << 16);
  EXPECT_EQ(view.Notes(1), 1);
  EXPECT_EQ(view.Bits(1, 0), 0x80000000u);
  EXPECT_EQ(fxt::GetU32(view.Entry(1), 8), 0x01000000u);
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 1);

  // The document holds the renumbered notes and still a rest.
  const Json saved = Json::parse(fxthost::FormatDocument(Doc(), fxthost::DocumentFile()));
  const Json& layer = saved["music"]["cells"][0]["layers"][0];
  EXPECT_EQ(layer[0]["notes"], Json::parse(R"([ { "level": 2, "number": 4 },
      { "level": 4, "alter": 1, "number": 3 }, { "level": 6, "number": 5 } ])"));
  EXPECT_EQ(layer[1], Json::parse(R"({ "duration": 2048, "rest": true })"));
  EXPECT_FALSE(saved.contains("records")) << saved.dump();
}

TEST_F(HostMusic, FileReadsBackUnchanged) {
  const std::string saved = fxthost::FormatDocument(Doc(), fxthost::DocumentFile());
  const Json music = Json::parse(saved)["music"];
  EXPECT_EQ(music["shownLayers"], Json::parse("[1, 3]"));
  EXPECT_EQ(music["cells"][0]["chords"], Json::parse("[0, 2048]"));
  EXPECT_EQ(music["cells"][0]["midiExpressions"], Json::parse("[1024]"));
  EXPECT_EQ(saved.find(R"("records")"), std::string::npos) << saved;
  fxthost::Document again;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(saved, "saved.json", &again, nullptr, &error))
      << error.Message();
  EXPECT_TRUE(again.records == Doc().records);
  EXPECT_EQ(fxthost::FormatDocument(again, fxthost::DocumentFile()), saved);
}

TEST_F(HostMusic, InsertDeleteAndReduceWriteTheFrameBack) {
  // Measure 2 is 3/4 (3072 units); its layer starts empty.
  struct Step {
    const char* what;
    std::function<int32_t(void*)> call;
    int32_t result;
    int count;
    int32_t duration;
  } steps[] = {
      {"append 2048 (host-music.md: index = count appends)",
       [](void* f) { return FX_InsertEXENTRY(f, 0, 2048, kVersion); }, 1, 1, 2048},
      {"insert 1024 first (host-music.md: inserts a rest of the duration before entry index)",
       [](void* f) { return FX_InsertEXENTRY(f, 0, 1024, kVersion); }, 1, 2, 3072},
      {"append 1024 past the end (host-music.md: index = count appends)",
       [](void* f) { return FX_InsertEXENTRY(f, 2, 1024, kVersion); }, 1, 3, 4096},
      {"insert past the count (host-music.md: Refused for an index outside 0 to count)",
       [](void* f) { return FX_InsertEXENTRY(f, 4, 1024, kVersion); }, 0, 3, 4096},
      {"insert no duration (host-music.md: Refused for a duration not above 0)",
       [](void* f) { return FX_InsertEXENTRY(f, 0, 0, kVersion); }, 0, 3, 4096},
      {"reduce to the measure (host-music.md: at or after the end of the measure)",
       [](void* f) { return FX_ReduceEntries(f, kVersion); }, 1, 2, 3072},
      {"delete beyond (host-music.md: Refused for a deletion past the last entry)",
       [](void* f) { return FX_DeleteEXENTRY(f, 1, 2, kVersion); }, 0, 2, 3072},
      {"delete none", [](void* f) { return FX_DeleteEXENTRY(f, 0, 0, kVersion); }, 0, 2, 3072},
      {"delete the first (host-music.md: removes count entries from index on)",
       [](void* f) { return FX_DeleteEXENTRY(f, 0, 1, kVersion); }, 1, 1, 2048},
  };
  void* frame = FX_LoadTGF(0, 1, 2, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    EXPECT_EQ(step.call(frame), step.result);
    EXPECT_EQ(FrameView{static_cast<const uint8_t*>(frame)}.Count(), step.count);
    EXPECT_EQ(FX_GetTGFDuration(frame, kVersion), step.duration);
    // What the document now holds, through a frame of its own.
    void* fresh = FX_LoadTGF(0, 1, 2, 0, 1, kVersion);
    EXPECT_EQ(FX_GetTGFDuration(fresh, kVersion), step.duration);
    FX_FreeTGF(fresh, kVersion);
  }
  FX_FreeTGF(frame, kVersion);
}

TEST_F(HostMusic, FramesGivenBackTwiceOrNeverHandedOutAreRefused) {
  void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  uint8_t stranger[32] = {};
  EXPECT_EQ(FX_GetTGFDuration(stranger, kVersion), 0);
  EXPECT_EQ(FX_SaveTGF(stranger, kVersion), 0);
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 1);
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 0);
  EXPECT_EQ(FX_FreeTGF(stranger, kVersion), 0);
  EXPECT_EQ(FX_FreeTGF(nullptr, kVersion), 0);
  LoadedTGFCounter += 3;  // the three refused frees were counted by the bridge
}

TEST_F(HostMusic, DocumentClosedWithFramesOutstandingReportsTheLeak) {
  void* frame = FX_LoadTGF(0, 1, 1, 0, 1, kVersion);
  ASSERT_NE(frame, nullptr);
  FX_LoadTGF(0, 2, 1, 0, 1, kVersion);
  EXPECT_EQ(host.FramesOutstanding(), 2u);
  ASSERT_TRUE(host.CloseDocument(Doc().number));
  ASSERT_EQ(host.Leaks().size(), 1u);
  EXPECT_EQ(host.Leaks()[0], "document 1 (music.json) closed with 2 entry frames outstanding");
  // The frames went with the document: giving one back now is refused.
  EXPECT_EQ(FX_FreeTGF(frame, kVersion), 0);
  LoadedTGFCounter = 0;
}

TEST_F(HostMusic, LayersShownAndMeasureMetrics) {
  EXPECT_EQ(FX_GetMaxLayers(kVersion), 4);
  const int shown[] = {1, 0, 1, 0, 0};
  for (int layer = 0; layer < 5; ++layer) EXPECT_EQ(FX_GetShowLayer(layer, kVersion), shown[layer]);

  uint8_t metrics[24];
  ASSERT_NE(FX_GetMeasureMetrics(3, 1, metrics, 0, kVersion), 0);
  EXPECT_EQ(fxt::GetS32(metrics, 0), 4096);   // the measure
  EXPECT_EQ(fxt::GetS32(metrics, 4), 4096);   // its longest layer
  EXPECT_EQ(fxt::GetS16(metrics, 8), 4);      // entries
  EXPECT_EQ(fxt::GetS16(metrics, 10), 2);     // layers holding music
  EXPECT_EQ(fxt::GetS16(metrics, 12), 1);     // slot
  EXPECT_EQ(fxt::GetU32(metrics, 20), 0x1u);  // filled, not the last measure
  ASSERT_NE(FX_GetMeasureMetrics(5, 2, metrics, 0, kVersion), 0);
  EXPECT_EQ(fxt::GetS32(metrics, 0), 3072);
  EXPECT_EQ(fxt::GetS16(metrics, 8), 0);
  EXPECT_EQ(fxt::GetU32(metrics, 20), 0x2u);
  std::memset(metrics, 0xEE, sizeof metrics);
  EXPECT_EQ(FX_GetMeasureMetrics(4, 1, metrics, 0, kVersion), 0);
  EXPECT_EQ(FX_GetMeasureMetrics(3, 3, metrics, 0, kVersion), 0);
  EXPECT_EQ(metrics[0], 0xEE);
}

TEST(HostMusicFile, RefusedWithPlaceAndReason) {
  const std::string head = R"({ "measures": 2, "staves": [ { "id": 3 } ], "music": )";
  struct Row {
    const char* music;
    const char* message;
  } rows[] = {
      // fxthost.md, Music: the member's ranges; a refusal names the place and the reason.
      {R"([])", "music: expected an object"},
      {R"({ "cells": [ { "staff": 3 } ] })", "music.cells[0]: a cell needs its staff and measure"},
      {R"({ "cells": [ { "staff": 4, "measure": 1 } ] })",
       "music.cells[0].staff: staff 4 does not exist"},
      {R"({ "cells": [ { "staff": 3, "measure": 3 } ] })",
       "music.cells[0].measure: measure 3 is outside the document (measures 1 to 2)"},
      {R"({ "cells": [ { "staff": 3, "measure": 1 }, { "staff": 3, "measure": 1 } ] })",
       "music.cells[1]: the cell of staff 3, measure 1 is given twice"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[], [], [], [], []] } ] })",
       "music.cells[0].layers: a cell has at most 4 layers, found 5"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 0, "rest": true } ]] } ] })",
       "music.cells[0].layers[0][0].duration: 0 does not fit here"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 10 } ]] } ] })",
       "music.cells[0].layers[0][0]: an entry needs its notes, or \"rest\": true"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 10, "rest": true, "notes": [] } ]] } ] })",
       "music.cells[0].layers[0][0]: a rest has no notes"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 10, "notes": [] } ]] } ] })",
       "music.cells[0].layers[0][0].notes: an entry has 1 to 12 notes, found 0"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 10, "notes": [ { "alter": 1 } ] } ]] } ] })",
       "music.cells[0].layers[0][0].notes[0]: a note needs its level"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "layers": [[ { "duration": 10, "notes": [ { "level": 1, "pitch": 2 } ] } ]] } ] })",
       "music.cells[0].layers[0][0].notes[0].pitch: unknown member"},
      {R"({ "cells": [ { "staff": 3, "measure": 1, "chords": ["a"] } ] })",
       "music.cells[0].chords[0]: expected"},
      {R"({ "shownLayers": [1, 5] })", "music.shownLayers[1]: 5 does not fit here"},
      {R"({ "shownLayers": [2, 2] })", "music.shownLayers[1]: layer 2 is named twice"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.music);
    fxthost::Document document;
    fxthost::DocumentError error;
    EXPECT_FALSE(
        fxthost::ParseDocument(head + row.music + "}", "bad.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message().rfind(std::string("bad.json: ") + row.message, 0), 0u)
        << error.Message();
  }
}

}  // namespace
