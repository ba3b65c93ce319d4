// Measure records: display flags, barlines, the host-version rule for full names, the
// key and time signature sub-objects, and load/save against the emulated host.
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/notation/keysignature.h"
#include "framework/notation/timesignature.h"
#include "framework/score/measure.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/store/score.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;
using fxthost::Host;
using fxthost::RecordStore;
using Bytes = RecordStore::Bytes;

constexpr size_t kAux = 8;
constexpr size_t kMe = 10;
constexpr size_t kNew = 16;

// Sets the host version the framework believes in for the life of the object.
class HostVersion {
 public:
  explicit HostVersion(uint32_t version) : _saved(RunningFinaleVersion) {
    RunningFinaleVersion = version;
  }
  ~HostVersion() { RunningFinaleVersion = _saved; }

 private:
  uint32_t _saved;
};

// A document whose measure records are given byte for byte.
struct Score {
  Host host;
  RecordStore& records;
  Score() : records(host.NewDocument().records) {}
  void Put(uint16_t measure, const Bytes& bytes) {
    DataKey key;
    key.first = measure;
    records.Put(FCMeasure::TAG, key, bytes);
  }
  const Bytes* Find(uint16_t measure) const {
    DataKey key;
    key.first = measure;
    return records.Find(FCMeasure::TAG, key);
  }
};

Bytes Record(const FCMeasure& measure) {
  const uint8_t* block = static_cast<const uint8_t*>(measure._GetDataBlock());
  return Bytes(block, block + FCMeasure::RECORD_SIZE);
}

std::string Hex(unsigned value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%04X", value);
  return text;
}

// Every setter changes its own bits of a loaded record and leaves every other bit of
// the 26 bytes alone, whether the record was all zero or all one bits.
TEST(MeasureFlags, EachSetterChangesOnlyItsOwnBits) {
  HostVersion version(0x11000000);
  using Op = void (*)(FCMeasure&, int);
  const Op showKey = [](FCMeasure& m, int v) { m.SetShowKeySignature(FCMeasure::SHOW_STATES(v)); };
  const Op showTime = [](FCMeasure& m, int v) {
    m.SetShowTimeSignature(FCMeasure::SHOW_STATES(v));
  };
  const Op fullNames = [](FCMeasure& m, int v) { m.SetShowFullNames(v != 0); };
  const Op positioning = [](FCMeasure& m, int v) {
    m.SetPositioningNotesMode(FCMeasure::POSITIONING_MODES(v));
  };
  const Op barline = [](FCMeasure& m, int v) { m.SetBarline(FCMeasure::BARLINE_STYLES(v)); };
  const Op left = [](FCMeasure& m, int v) { m.SetLeftBarline(FCMeasure::BARLINE_STYLES(v)); };
  const Op meOn = [](FCMeasure& m, int v) { m._SetMeFlag(static_cast<unsigned short>(v), true); };
  const Op auxOff = [](FCMeasure& m, int v) {
    m._SetAuxFlag(static_cast<unsigned short>(v), false);
  };
  const Op newOn = [](FCMeasure& m, int v) { m._SetNewFlag(static_cast<unsigned short>(v), true); };
  struct Row {
    const char* name;
    Op op;
    int value;
    // Expected aux, me and new words from a record of zeros, then of ones.
    unsigned zeroAux, zeroMe, zeroNew, oneAux, oneMe, oneNew;
  };
  const Row rows[] = {
      {"SetShowKeySignature", showKey, 0, 0, 0, 0, 0xFFDF, 0xF7FF, 0xFFFF},
      {"SetShowKeySignature", showKey, 1, 0, 0x0800, 0, 0xFFDF, 0xFFFF, 0xFFFF},
      {"SetShowKeySignature", showKey, 2, 0x0020, 0, 0, 0xFFFF, 0xF7FF, 0xFFFF},
      {"SetShowKeySignature", showKey, 3, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"SetShowTimeSignature", showTime, 0, 0, 0, 0, 0xFFEF, 0xFBFF, 0xFFFF},
      {"SetShowTimeSignature", showTime, 1, 0, 0x0400, 0, 0xFFEF, 0xFFFF, 0xFFFF},
      {"SetShowTimeSignature", showTime, 2, 0x0010, 0, 0, 0xFFFF, 0xFBFF, 0xFFFF},
      {"SetShowTimeSignature", showTime, -1, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"SetShowFullNames", fullNames, 1, 0x0800, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"SetShowFullNames", fullNames, 0, 0, 0, 0, 0xF7FF, 0xFFFF, 0xFFFF},
      {"SetPositioningNotesMode", positioning, 0, 0x0004, 0, 0, 0xFFFC, 0xFFFF, 0xFFFF},
      {"SetPositioningNotesMode", positioning, 1, 0, 0, 0, 0xFFF8, 0xFFFF, 0xFFFF},
      {"SetPositioningNotesMode", positioning, 2, 0x0006, 0, 0, 0xFFFE, 0xFFFF, 0xFFFF},
      {"SetPositioningNotesMode", positioning, 3, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"SetBarline", barline, 3, 0, 0x0030, 0, 0xFFFF, 0xFF3F, 0xFFFF},
      {"SetBarline", barline, 0, 0, 0, 0, 0xFFFF, 0xFF0F, 0xFFFF},
      {"SetBarline", barline, 7, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"SetLeftBarline", left, 5, 0, 0, 0x0050, 0xFFFF, 0xFFFF, 0xFF5F},
      {"SetLeftBarline", left, 6, 0, 0, 0x0060, 0xFFFF, 0xFFFF, 0xFF6F},
      {"SetLeftBarline", left, -1, 0, 0, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"_SetMeFlag on", meOn, 0x4000, 0, 0x4000, 0, 0xFFFF, 0xFFFF, 0xFFFF},
      {"_SetAuxFlag off", auxOff, 0x8001, 0, 0, 0, 0x7FFE, 0xFFFF, 0xFFFF},
      {"_SetNewFlag on", newOn, 0x0101, 0, 0, 0x0101, 0xFFFF, 0xFFFF, 0xFFFF},
  };
  Score score;
  score.Put(1, Bytes(FCMeasure::RECORD_SIZE, 0x00));
  score.Put(2, Bytes(FCMeasure::RECORD_SIZE, 0xFF));
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.name) + "(" + std::to_string(row.value) + ")");
    for (uint16_t number : {1, 2}) {
      SCOPED_TRACE(number == 1 ? "record of zeros" : "record of ones");
      FCMeasure measure;
      ASSERT_TRUE(measure.Load(number));
      Bytes expected = *score.Find(number);
      fxt::PutU16(expected.data(), kAux,
                  static_cast<uint16_t>(number == 1 ? row.zeroAux : row.oneAux));
      fxt::PutU16(expected.data(), kMe,
                  static_cast<uint16_t>(number == 1 ? row.zeroMe : row.oneMe));
      fxt::PutU16(expected.data(), kNew,
                  static_cast<uint16_t>(number == 1 ? row.zeroNew : row.oneNew));
      row.op(measure, row.value);
      const Bytes actual = Record(measure);
      for (size_t i = 0; i < expected.size(); i += 2)
        EXPECT_EQ(fxt::GetU16(actual.data(), i), fxt::GetU16(expected.data(), i))
            << "word at byte " << i;
    }
  }
}

TEST(MeasureFlags, ShowStatesReadBackAndTheAuxStateWins) {
  struct Row {
    unsigned aux, me;
    int key, time;
  };
  const Row rows[] = {
      {0x0000, 0x0000, 0, 0}, {0x0000, 0x0800, 1, 0}, {0x0020, 0x0000, 2, 0},
      {0x0020, 0x0800, 2, 0},  // both written by the host: the aux state wins
      {0x0000, 0x0400, 0, 1}, {0x0010, 0x0000, 0, 2}, {0x0010, 0x0400, 0, 2},
      {0x0030, 0x0C00, 2, 2},
  };
  Score score;
  for (const Row& row : rows) {
    SCOPED_TRACE("aux " + Hex(row.aux) + " me " + Hex(row.me));
    Bytes record(FCMeasure::RECORD_SIZE, 0);
    fxt::PutU16(record.data(), kAux, static_cast<uint16_t>(row.aux));
    fxt::PutU16(record.data(), kMe, static_cast<uint16_t>(row.me));
    score.Put(1, record);
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    EXPECT_EQ(measure.GetShowKeySignature(), row.key);
    EXPECT_EQ(measure.GetShowTimeSignature(), row.time);
  }
}

TEST(MeasureBarlines, StylesReadBackAndStoredNonStylesReadDifferentlyOnEachSide) {
  FCMeasure measure;
  for (int style = 0; style <= 6; ++style) {
    SCOPED_TRACE(style);
    measure.SetBarline(FCMeasure::BARLINE_STYLES(style));
    measure.SetLeftBarline(FCMeasure::BARLINE_STYLES(6 - style));
    EXPECT_EQ(measure.GetBarline(), style);
    EXPECT_EQ(measure.GetLeftBarline(), 6 - style);
  }
  // Values 7 to 15 in the fields (written by the host) are no styles.
  for (unsigned stored = 7; stored <= 15; ++stored) {
    SCOPED_TRACE(stored);
    measure._SetMeFlag(0x00F0, false);
    measure._SetMeFlag(static_cast<unsigned short>(stored << 4), true);
    measure._SetNewFlag(0x00F0, false);
    measure._SetNewFlag(static_cast<unsigned short>(stored << 4), true);
    EXPECT_EQ(measure.GetBarline(), 0);
    EXPECT_EQ(measure.GetLeftBarline(), 8);
  }
}

TEST(MeasurePositioning, ModesStoreTheirCodesAndUnknownCodesReadAsMode2) {
  const int expectedMode[8] = {1, 2, 2, 2, 0, 2, 2, 2};  // by stored code 0 to 7
  FCMeasure measure;
  for (unsigned code = 0; code < 8; ++code) {
    SCOPED_TRACE(code);
    measure._SetAuxFlag(0x0007, false);
    measure._SetAuxFlag(static_cast<unsigned short>(code), true);
    EXPECT_EQ(measure.GetPositioningNotesMode(), expectedMode[code]);
  }
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    measure.SetPositioningNotesMode(FCMeasure::POSITIONING_MODES(mode));
    EXPECT_EQ(measure.GetPositioningNotesMode(), mode);
  }
}

TEST(MeasureFullNames, OnlyHostsAbove0x0FFFFFFFKnowTheSetting) {
  struct Row {
    uint32_t version;
    bool known;
  };
  const Row rows[] = {
      {0x0F000000, false}, {0x0FFFFFFF, false}, {0x10000000, true},
      {0x11000000, true},  {0x1B000000, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.version >> 16));
    HostVersion version(row.version);
    FCMeasure measure;
    measure.SetShowFullNames(true);
    EXPECT_EQ(measure._GetAuxFlags(), row.known ? 0x0800 : 0);
    EXPECT_EQ(measure.GetShowFullNames(), row.known);
    // A bit the host wrote is not read by a host that does not know it.
    measure._SetAuxFlag(0x0800, true);
    EXPECT_EQ(measure.GetShowFullNames(), row.known);
    measure.SetShowFullNames(false);
    EXPECT_EQ(measure._GetAuxFlags(), row.known ? 0 : 0x0800);
  }
}

TEST(MeasureRecord, LoadSaveRoundTripKeepsEveryByteTheFrameworkDoesNotSet) {
  HostVersion version(0x11000000);
  Score score;
  Bytes original(FCMeasure::RECORD_SIZE);
  for (size_t i = 0; i < original.size(); ++i) original[i] = static_cast<uint8_t>(0x11 * (i + 1));
  fxt::PutS16(original.data(), 2, 0x0104);  // c sharp minor
  fxt::PutS16(original.data(), 4, 2);
  fxt::PutS16(original.data(), 6, 1536);  // 6/8
  score.Put(3, original);

  FCMeasure measure;
  ASSERT_TRUE(measure.Load(3));
  EXPECT_EQ(measure.GetItemNo(), 3);
  EXPECT_EQ(measure._GetLoadedSize(), FCMeasure::RECORD_SIZE);
  EXPECT_EQ(Record(measure), original);
  FCString name;
  measure._EnsureKeySignature()->MakeString(&name);
  EXPECT_STREQ(name.GetCString(), "c sharp minor");
  measure._EnsureTimeSignature()->MakeString(&name);
  EXPECT_STREQ(name.GetCString(), "6/8");

  measure.SetBarline(FCMeasure::BARLINE_STYLES(3));
  measure.SetLeftBarline(FCMeasure::BARLINE_STYLES(2));
  measure.SetShowKeySignature(FCMeasure::SHOW_STATES(2));
  measure.SetShowFullNames(true);
  ASSERT_TRUE(measure.Save());

  FCMeasure reloaded;
  ASSERT_TRUE(reloaded.Load(3));
  EXPECT_EQ(reloaded.GetBarline(), 3);
  EXPECT_EQ(reloaded.GetLeftBarline(), 2);
  EXPECT_EQ(reloaded.GetShowKeySignature(), 2);
  EXPECT_TRUE(reloaded.GetShowFullNames());
  EXPECT_EQ(reloaded.GetKeySignatureValue(), 0x0104);
  EXPECT_EQ(reloaded.GetBeats(), 2);
  EXPECT_EQ(reloaded.GetBeatDuration(), 1536);
  const Bytes saved = *score.Find(3);
  ASSERT_EQ(saved.size(), original.size());
  for (size_t i : {0, 1, 12, 13, 14, 15, 18, 19, 20, 21, 22, 23, 24, 25}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(saved[i], original[i]) << "a byte the measure never set";
  }
  EXPECT_EQ(fxt::GetU16(saved.data(), kAux), (fxt::GetU16(original.data(), kAux) | 0x0820));
}

TEST(MeasureRecord, SaveWritesTheSubObjectsNumbersWhoseFlagsAreClear) {
  Score score;
  struct Row {
    const char* name;
    std::function<void(FCMeasure&)> change;
    int key, beats, duration, shownBeats, shownDuration;
  };
  const Row rows[] = {
      {"no sub-objects", [](FCMeasure&) {}, 0, 4, 1024, 0, 0},
      {"key signature", [](FCMeasure& m) { m._EnsureKeySignature()->SetKeyValue(0x00FE); }, 0x00FE,
       4, 1024, 0, 0},
      {"time signature",
       [](FCMeasure& m) {
         m._EnsureTimeSignature()->SetBeats(3);
         m._EnsureTimeSignature()->SetBeatDuration(512);
       },
       0, 3, 512, 0, 0},
      {"time signature, beats not applying",
       [](FCMeasure& m) {
         FCTimeSignature* time = m._EnsureTimeSignature();
         time->SetBeats(7);
         time->SetBeatsFlag(true);
         time->SetBeatDuration(2048);
       },
       0, 4, 2048, 0, 0},
      {"time signature, duration not applying",
       [](FCMeasure& m) {
         FCTimeSignature* time = m._EnsureTimeSignature();
         time->SetBeats(6);
         time->SetBeatDuration(2048);
         time->SetDurationFlag(true);
       },
       0, 6, 1024, 0, 0},
      {"displayed time signature",
       [](FCMeasure& m) {
         FCTimeSignature* shown = m._EnsureDisplayedTimeSignature();
         shown->SetBeats(2);
         shown->SetBeatDuration(2048);
       },
       0, 4, 1024, 2, 2048},
      {"displayed time signature, nothing applying",
       [](FCMeasure& m) {
         FCTimeSignature* shown = m._EnsureDisplayedTimeSignature();
         shown->SetBeats(2);
         shown->SetBeatDuration(2048);
         shown->SetBeatsFlag(true);
         shown->SetDurationFlag(true);
       },
       0, 4, 1024, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::SetMeasures(*score.host.CurrentDocument(), {{4, 1024, 0}});
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(1));
    row.change(measure);
    ASSERT_TRUE(measure.Save());
    const Bytes saved = *score.Find(1);
    EXPECT_EQ(fxt::GetS16(saved.data(), 2), row.key);
    EXPECT_EQ(fxt::GetS16(saved.data(), 4), row.beats);
    EXPECT_EQ(fxt::GetS16(saved.data(), 6), row.duration);
    EXPECT_EQ(fxt::GetS16(saved.data(), 12), row.shownBeats);
    EXPECT_EQ(fxt::GetS16(saved.data(), 14), row.shownDuration);
    // The host measures the bar by the time signature that was written.
    EXPECT_EQ(FX_GetMeasureDuration(1, 1, 0x11000000), row.beats * row.duration);
  }
}

TEST(MeasureRecord, SubObjectsStartFromTheRecordAndAreNotCloned) {
  Score score;
  fxthost::SetMeasures(*score.host.CurrentDocument(), {{3, 1024, 0x01FF}});
  FCMeasure measure;
  EXPECT_EQ(measure.GetKeySignature(), nullptr);
  EXPECT_EQ(measure.GetTimeSignature(), nullptr);
  EXPECT_EQ(measure.GetDisplayedTimeSignature(), nullptr);
  ASSERT_TRUE(measure.Load(1));
  FCKeySignature* key = measure._EnsureKeySignature();
  EXPECT_EQ(key->GetKeyValue(), 0x01FF);
  EXPECT_EQ(measure._EnsureKeySignature(), key) << "made once";
  EXPECT_EQ(measure.GetKeySignature(), key);
  EXPECT_EQ(measure._EnsureTimeSignature()->GetBeats(), 3);

  std::unique_ptr<__FCBaseData> clone(measure.CreateClone());
  FCMeasure* copy = dynamic_cast<FCMeasure*>(clone.get());
  ASSERT_NE(copy, nullptr);
  EXPECT_STREQ(copy->ClassName(), "FCMeasure");
  EXPECT_EQ(copy->GetItemNo(), 1);
  EXPECT_EQ(copy->_GetLoadedSize(), FCMeasure::RECORD_SIZE);
  EXPECT_EQ(Record(*copy), Record(measure));
  EXPECT_NE(copy->_GetDataBlock(), measure._GetDataBlock()) << "its own record";
  EXPECT_EQ(copy->GetKeySignature(), nullptr);
  EXPECT_EQ(copy->GetTimeSignature(), nullptr);
}

TEST(MeasureCollection, LoadsEveryMeasureInOrderAndRangesSkipMissingOnes) {
  Score score;
  fxthost::SetMeasures(*score.host.CurrentDocument(),
                       {{1, 1024, 0}, {2, 1024, 0}, {3, 1024, 0}, {4, 1024, 0}});
  FCMeasures measures;
  EXPECT_STREQ(measures.ClassName(), "FCMeasures");
  measures.LoadAll();
  ASSERT_EQ(measures.GetCount(), 4);
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    FCMeasure* measure = dynamic_cast<FCMeasure*>(measures.GetItemAt(i));
    ASSERT_NE(measure, nullptr);
    EXPECT_EQ(measure->GetItemNo(), i + 1);
    EXPECT_EQ(measure->GetBeats(), i + 1);
  }
  struct Row {
    int first, last, count;
  };
  const Row rows[] = {{1, 5, 4}, {2, 3, 2}, {0, 0, 0}, {5, 9, 0}, {3, 1, 0}, {-5, 2, 2}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.first) + " to " + std::to_string(row.last));
    measures._LoadRange(row.first, row.last);
    EXPECT_EQ(measures.GetCount(), row.count);
  }
}

}  // namespace
