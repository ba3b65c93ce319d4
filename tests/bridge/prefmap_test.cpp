// The preference translation, through the data-record wrappers and the emulated host:
// which side records each preference reads, the conversions, and that a load and a save
// stay within the caller's buffer and change only what changed.
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/prefmap.h"
#include "host/functions/host.h"
#include "host/functions/words.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;
using fxthost::RecordStore;

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

struct Document {
  fxthost::Host host;
  RecordStore& store;
  Document() : store(host.NewDocument().records) {}
};

uint32_t TagOf(const char* text) { return fxt::MakeTag(text[0], text[1], text[2], text[3]); }

DataKey SideKey(const PREFERENCE_LOCATION_MAPRECORD& entry) {
  return DataKey{fxt::PrefSideItem(entry.itemNo), entry.inci, 0, 0};
}
uint32_t SideTag(const PREFERENCE_LOCATION_MAPRECORD& entry) {
  return fxt::MakeTag('o', 't', entry.otChar1, entry.otChar2);
}

void PutWords(RecordStore& store, uint32_t tag, DataKey key, std::array<int16_t, 6> words) {
  RecordStore::Bytes bytes(12);
  for (size_t w = 0; w < 6; ++w) fxt::PutS16(bytes.data(), 2 * w, words[w]);
  store.Put(tag, key, bytes);
}

int16_t Word(const RecordStore& store, uint32_t tag, DataKey key, int word) {
  const RecordStore::Bytes* bytes = store.Find(tag, key);
  return bytes ? fxt::GetS16(bytes->data(), static_cast<size_t>(2 * word)) : -999;
}

int32_t LoadPref(uint32_t tag, short k, void* buffer, int32_t* size) {
  uint8_t key[8] = {};
  fxt::PutS16(key, 0, k);
  return FX_LoadEData(static_cast<int32_t>(tag), key, buffer, size, kVersion);
}

int32_t SavePref(uint32_t tag, short k, const void* buffer, int32_t size) {
  uint8_t key[8] = {};
  fxt::PutS16(key, 0, k);
  return FX_SaveEData(static_cast<int32_t>(tag), key, buffer, size, kVersion);
}

// The records the host was asked to load, as "ot25 -2/1" (tag, first item, inci): a
// load behaviour that notes each key as it arrives and serves it from the store.
std::string g_loaded;
intptr_t NotingLoad(fxthost::Host& host, const uint64_t* w) {
  const uint32_t tag = fxthost::U32(w[0]);
  const DataKey key = DataKey::FromBytes(fxthost::Ptr<const void>(w[1]));
  if (!g_loaded.empty()) g_loaded += ", ";
  for (int shift = 24; shift >= 0; shift -= 8) g_loaded += static_cast<char>(tag >> shift);
  g_loaded +=
      " " + std::to_string(static_cast<int16_t>(key.first)) + "/" + std::to_string(key.second);
  return host.CurrentDocument()->records.Load(tag, key, fxthost::Ptr<void>(w[2]),
                                              fxthost::Ptr<int32_t>(w[3]));
}

struct Map {
  PREFERENCE_LOCATION_MAPRECORD* entries = nullptr;
  short count = 0;
};

Map RecordMap(uint32_t tag) {
  Map map;
  EXPECT_TRUE(mapPrefStruct(tag, 0, &map.entries, &map.count));
  return map;
}

const char* const kMapTags[] = {"pfDP", "pfEX", "pfMS", "pfPB", "pfPF",
                                "pfPL", "pfRP", "pfSI", "pfSS"};

TEST(PreferenceMaps, EntriesSizesAndLayout) {
  struct Row {
    const char* tag;
    short entries;
    int32_t loaded;  // the sum of the entries' sizes
    int32_t extent;
  };
  // preferences.md, The size of a record map: the largest offset plus that value's size
  // ('pfSS': values of 96 bytes reaching to byte 108).
  const Row rows[] = {{"pfDP", 36, 76, 76}, {"pfEX", 25, 50, 50}, {"pfMS", 49, 104, 104},
                      {"pfPB", 11, 44, 44}, {"pfPF", 22, 48, 48}, {"pfPL", 7, 14, 14},
                      {"pfRP", 20, 40, 40}, {"pfSI", 23, 54, 54}, {"pfSS", 43, 96, 108}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tag);
    const Map map = RecordMap(TagOf(row.tag));
    ASSERT_EQ(map.count, row.entries);
    int32_t loaded = 0;
    std::vector<int> owner(static_cast<size_t>(row.extent), -1);
    for (short i = 0; i < map.count; ++i) {
      const PREFERENCE_LOCATION_MAPRECORD& e = map.entries[i];
      loaded += e.size;
      EXPECT_LE(e.word + e.size / 2, 6) << "entry " << i << " reads past its record";
      for (int b = e.offset; b < e.offset + e.size; ++b) {
        EXPECT_EQ(owner[static_cast<size_t>(b)], -1) << "entries overlap at byte " << b;
        owner[static_cast<size_t>(b)] = i;
      }
    }
    EXPECT_EQ(loaded, row.loaded);
    EXPECT_EQ(PreferenceStructureExtent(map.entries, map.count), row.extent);
  }
}

// 'pfPF' outside its map's condition leaves the caller's map and count as they were; a
// tag without a map clears them.
TEST(PreferenceMaps, MapOutsideItsConditionLeavesTheCallersValues) {
  PREFERENCE_LOCATION_MAPRECORD sentinel{};
  PREFERENCE_LOCATION_MAPRECORD* map = &sentinel;
  short count = 99;
  EXPECT_FALSE(mapPrefStruct(TagOf("pfPF"), 1, &map, &count));
  EXPECT_EQ(map, &sentinel);
  EXPECT_EQ(count, 99);
  EXPECT_FALSE(mapPrefStruct(TagOf("pfMM"), 0, &map, &count));
  EXPECT_EQ(map, nullptr);
  EXPECT_EQ(count, 0);
}

// A load without a size pointer cannot say what it delivered: refused, nothing read.
constexpr int32_t kNoSize = -12345;

TEST(PreferenceTranslation, RecordsReadForEachTagAndK) {
  struct Row {
    const char* name;
    const char* tag;
    short k;
    bool buffer;
    int32_t size;
    int32_t result;
    int32_t sizeAfter;
    const char* loaded;
  };
  // clang-format off
  const Row rows[] = {
      {"pfMM size query (preferences.md: count records of 12 bytes)",
       "pfMM", 0, false, 0, 1, 24, ""},
      {"pfMM short buffer", "pfMM", 0, true, 23, 0, 23, ""},
      {"pfMM (preferences.md: a run of whole side records under 0xFFFE)",
       "pfMM", 0, true, 24, 1, 24, "ot25 -2/0, ot25 -2/1"},
      {"pfPF k=0 (preferences.md: a record map for k = 0)", "pfPF", 0, true, 48, 1, 48,
       "ot14 -2/0, ot15 -2/0, ot39 -2/0, ot16 -2/0, ot02 -2/0, ot17 -2/0, ot01 -2/0, "
       "ot13 -2/0, ot03 -2/0"},
      {"pfPF k=1 (preferences.md: four ot77 records for k = 1)",
       "pfPF", 1, true, 48, 1, 48, "ot77 -2/0, ot77 -2/1, ot77 -2/2, ot77 -2/3"},
      {"pfPF k=2 goes to the host (preferences.md: A tag outside its condition)",
       "pfPF", 2, true, 48, 0, 48, "pfPF 2/0"},
      {"pfSN k=1 (preferences.md: ot40 inci k - 1 for k = 1 to 128)",
       "pfSN", 1, true, 12, 1, 12, "ot40 -2/0"},
      {"pfSN k=128 (preferences.md: ot40 inci k - 1 for k = 1 to 128)",
       "pfSN", 128, true, 12, 1, 12, "ot40 -2/127"},
      {"pfSN k=129 goes to the host (preferences.md: A tag outside its condition)",
       "pfSN", 129, true, 12, 0, 12, "pfSN 129/0"},
      {"pfGb k=4", "pfGb", 4, true, 12, 1, 12, "ot98 -2/3"},
      {"pfGs k=2 goes to the host", "pfGs", 2, true, 12, 0, 12, "pfGs 2/0"},
      {"pfSS size query (preferences.md: 108 bytes for 'pfSS')", "pfSS", 0, false, 0, 1, 108, ""},
      {"no size pointer (preferences.md: without a size pointer returns 0)",
       "pfDP", 0, true, kNoSize, 0, kNoSize, ""},
      {"pfPL larger buffer (preferences.md: the smaller of it and the room given)",
       "pfPL", 0, true, 40, 1, 14, "ot13 -2/0, ot39 -2/0, ot36 -2/0, ot37 -2/0"},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    doc.host.SetBehaviour(Fn::FX_LoadEData, NotingLoad);
    g_loaded.clear();
    std::vector<uint8_t> buffer(80, 0xAA);
    int32_t size = row.size;
    EXPECT_EQ(LoadPref(TagOf(row.tag), row.k, row.buffer ? buffer.data() : nullptr,
                       row.size == kNoSize ? nullptr : &size),
              row.result);
    EXPECT_EQ(size, row.sizeAfter);
    EXPECT_EQ(g_loaded, row.loaded);
    if (!row.result) {
      EXPECT_EQ(buffer[0], 0xAA);
    }
  }
}

TEST(PreferenceTranslation, ConversionsBothWays) {
  struct Row {
    const char* name;
    const char* tag;
    int entry;  // index in the map
    MAP_ARRAY_CONVERSION conversion;
    int16_t stored[2];
    int32_t loaded;
    int32_t saved;     // the value saved
    int16_t after[2];  // the words it leaves
  };
  // clang-format off
  const Row rows[] = {
      {"negated 0 (preferences.md: a word 0 reads as 1)",
       "pfMS", 3, MAPCONV_NEGATED_FLAG, {0, 0}, 1, 0, {1, 0}},
      {"negated 5 (preferences.md: anything else as 0)",
       "pfMS", 3, MAPCONV_NEGATED_FLAG, {5, 0}, 0, 1, {0, 0}},
      {"low byte 0x1234 (preferences.md: read zero-extended, saved sign-extended)",
       "pfMS", 33, MAPCONV_LOW_BYTE, {0x1234, 0}, 0x34, 0x80, {-128, 0}},
      {"low byte -128 (preferences.md: read zero-extended, saved sign-extended)",
       "pfMS", 33, MAPCONV_LOW_BYTE, {-128, 0}, 0x80, 0x7F, {0x7F, 0}},
      {"low byte in pfSS (preferences.md: read zero-extended, saved sign-extended)",
       "pfSS", 12, MAPCONV_LOW_BYTE, {0x1234, 0}, 0x34, 0x1280, {-128, 0}},
      {"four bytes (preferences.md: the first word the high half)",
       "pfDP", 14, MAPCONV_HIGH_FIRST, {1, -1}, 0x1FFFF, INT32_MIN + 1, {-32768, 1}},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    const Map map = RecordMap(TagOf(row.tag));
    const PREFERENCE_LOCATION_MAPRECORD& e = map.entries[row.entry];
    ASSERT_EQ(e.conversion, row.conversion);
    std::array<int16_t, 6> words{};
    words[e.word] = row.stored[0];
    if (e.size == 4) words[e.word + 1u] = row.stored[1];
    PutWords(doc.store, SideTag(e), SideKey(e), words);
    std::vector<uint8_t> buffer(108, 0);
    int32_t size = 108;
    ASSERT_EQ(LoadPref(TagOf(row.tag), 0, buffer.data(), &size), 1);
    EXPECT_EQ(
        e.size == 4 ? fxt::GetS32(buffer.data(), e.offset) : fxt::GetU16(buffer.data(), e.offset),
        row.loaded);
    if (e.size == 4)
      fxt::PutS32(buffer.data(), e.offset, row.saved);
    else
      fxt::PutU16(buffer.data(), e.offset, static_cast<uint16_t>(row.saved));
    ASSERT_EQ(SavePref(TagOf(row.tag), 0, buffer.data(), size), 1);
    EXPECT_EQ(Word(doc.store, SideTag(e), SideKey(e), e.word), row.after[0]);
    if (e.size == 4) {
      EXPECT_EQ(Word(doc.store, SideTag(e), SideKey(e), e.word + 1), row.after[1]);
    }
  }
}

// Every record a map names, filled with words that its conversions keep (flags 0 or 1,
// low-byte words -128 to 127), deterministically.
void FillMapRecords(const Map& map, RecordStore& store, uint32_t seed) {
  for (short i = 0; i < map.count; ++i) {
    const PREFERENCE_LOCATION_MAPRECORD& e = map.entries[i];
    std::array<int16_t, 6> words{};
    for (int w = 0; w < 6; ++w) {
      seed = seed * 1103515245u + 12345u;
      words[static_cast<size_t>(w)] = static_cast<int16_t>(seed >> 8);
    }
    if (const RecordStore::Bytes* kept = store.Find(SideTag(e), SideKey(e)))
      for (int w = 0; w < 6; ++w) words[static_cast<size_t>(w)] = fxt::GetS16(kept->data(), 2u * w);
    if (e.conversion == MAPCONV_NEGATED_FLAG) words[e.word] &= 1;
    if (e.conversion == MAPCONV_LOW_BYTE) words[e.word] = static_cast<int8_t>(words[e.word]);
    PutWords(store, SideTag(e), SideKey(e), words);
  }
}

// A load then a save with nothing changed writes no record and leaves every side record
// as it was; a change of one value changes exactly the words of that value (preferences.md:
// a save writes a record back only when one of its words changed).
TEST(PreferenceTranslation, SaveWritesExactlyWhatChanged) {
  for (const char* name : kMapTags) {
    SCOPED_TRACE(name);
    const uint32_t tag = TagOf(name);
    Document doc;
    const Map map = RecordMap(tag);
    FillMapRecords(map, doc.store, tag);
    const RecordStore before = doc.store;
    std::vector<uint8_t> structure(108, 0);
    int32_t size = static_cast<int32_t>(structure.size());
    ASSERT_EQ(LoadPref(tag, 0, structure.data(), &size), 1);
    ASSERT_EQ(SavePref(tag, 0, structure.data(), size), 1);
    EXPECT_TRUE(doc.host.CallsTo(Fn::FX_SaveEData).empty());
    EXPECT_TRUE(doc.store == before);

    for (short i = 0; i < map.count; ++i) {
      const PREFERENCE_LOCATION_MAPRECORD& e = map.entries[i];
      SCOPED_TRACE("entry " + std::to_string(i));
      std::vector<uint8_t> changed = structure;
      if (e.size == 4)
        fxt::PutU32(changed.data(), e.offset, fxt::GetU32(changed.data(), e.offset) ^ 0x10001u);
      else
        fxt::PutU16(changed.data(), e.offset, fxt::GetU16(changed.data(), e.offset) ^ 1u);
      doc.store = before;
      ASSERT_EQ(SavePref(tag, 0, changed.data(), size), 1);
      int differing = 0;
      before.ForEachRecord([&](uint32_t t, const DataKey& key, const RecordStore::Bytes& bytes) {
        for (int w = 0; w < 6; ++w) {
          if (Word(doc.store, t, key, w) == fxt::GetS16(bytes.data(), 2u * w)) continue;
          ++differing;
          EXPECT_TRUE(t == SideTag(e) && key == SideKey(e) && w >= e.word &&
                      w < e.word + e.size / 2);
        }
      });
      EXPECT_EQ(differing, e.size / 2);
    }
  }
}

// The structure's 108 bytes are what a 'pfSS' size query reports; a smaller buffer gets
// the values that fit in it, and a save of it reads nothing past it (preferences.md,
// Decisions: nothing outside the caller's buffer).
TEST(PreferenceTranslation, SmartShapePrefsStayWithinTheBuffer) {
  Document doc;
  const uint32_t tag = TagOf("pfSS");
  const Map map = RecordMap(tag);
  FillMapRecords(map, doc.store, 7);
  const PREFERENCE_LOCATION_MAPRECORD& last = map.entries[map.count - 1];  // w3 -> 106
  const int16_t lastWord = Word(doc.store, SideTag(last), SideKey(last), last.word);
  struct Row {
    int32_t size;
    int32_t sizeAfter;
  };
  for (const Row& row : {Row{108, 108}, Row{96, 96}}) {
    SCOPED_TRACE(row.size);
    std::vector<uint8_t> memory(120, 0xAA);
    int32_t size = row.size;
    ASSERT_EQ(LoadPref(tag, 0, memory.data(), &size), 1);
    EXPECT_EQ(size, row.sizeAfter);
    for (size_t b = static_cast<size_t>(row.size); b < memory.size(); ++b)
      ASSERT_EQ(memory[b], 0xAA) << "byte " << b;
    EXPECT_EQ(fxt::GetS16(memory.data(), 106), row.size == 108 ? lastWord : int16_t(0xAAAA));
    // The upper halves of the four-byte low-byte fields keep what the buffer held.
    EXPECT_EQ(fxt::GetU16(memory.data(), 30), 0xAAAA);

    // Exactly the bytes given, so that a read past them is caught.
    std::vector<uint8_t> exact(memory.begin(), memory.begin() + row.size);
    ASSERT_EQ(SavePref(tag, 0, exact.data(), row.size), 1);
    EXPECT_EQ(Word(doc.store, SideTag(last), SideKey(last), last.word), lastWord);
  }
}

// A side record that does not exist reads as zeros, never as the words of the record
// read before it, in record maps and arrays alike (preferences.md, Decisions).
TEST(PreferenceTranslation, MissingRecordsReadAsZeros) {
  Document doc;
  PutWords(doc.store, TagOf("ot21"), DataKey{0xFFFE, 0, 0, 0}, {7, 7, 7, 7, 7, 7});
  PutWords(doc.store, TagOf("ot25"), DataKey{0xFFFE, 0, 0, 0}, {7, 7, 7, 7, 7, 7});
  std::vector<uint8_t> buffer(76, 0xAA);
  int32_t size = 76;
  ASSERT_EQ(LoadPref(TagOf("pfDP"), 0, buffer.data(), &size), 1);
  EXPECT_EQ(fxt::GetS16(buffer.data(), 0), 7);  // ot21 w3
  EXPECT_EQ(fxt::GetS16(buffer.data(), 4), 0);  // ot59 w3, absent
  size = 24;
  ASSERT_EQ(LoadPref(TagOf("pfMM"), 0, buffer.data(), &size), 1);
  EXPECT_EQ(fxt::GetS16(buffer.data(), 10), 7);
  EXPECT_EQ(fxt::GetS16(buffer.data(), 12), 0);  // ot25 inci 1, absent
}

// A save the host refuses in part is reported as failed; the other records are written
// (preferences.md: a refused write fails the save).
TEST(PreferenceTranslation, RefusedSideRecordFailsTheSave) {
  struct Row {
    const char* tag;
    int32_t size;
  };
  for (const Row& row : {Row{"pfMM", 24}, Row{"pfPL", 14}}) {
    SCOPED_TRACE(row.tag);
    Document doc;
    doc.host.FailCall(Fn::FX_SaveEData, 1);
    std::vector<uint8_t> buffer(static_cast<size_t>(row.size), 3);
    EXPECT_EQ(SavePref(TagOf(row.tag), 0, buffer.data(), row.size), 0);
    EXPECT_GE(doc.host.CallsTo(Fn::FX_SaveEData).size(), 1u);
  }
}

}  // namespace
