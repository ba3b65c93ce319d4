// The preference translation: record maps and arrays, generated from bridge/prefmaps.def.
//
// Every side record is read and written through the public data-record wrappers
// themselves (FX_LoadEData, FX_SaveEData) with size 12 and the interface version; their
// 'ot' tags are never translated, so a translation does not nest. A side record that
// does not load reads as six zero words, and the load still succeeds; a save succeeds
// only when the host took every side record written.
#include "bridge/prefmap.h"

#include <algorithm>
#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"

namespace {

constexpr PREFERENCE_LOCATION_MAPRECORD Entry(const char (&record)[5], uint16_t itemNo,
                                              uint16_t inci, uint16_t word, uint16_t offset,
                                              MAP_ARRAY_CONVERSION conversion) {
  const uint16_t size = static_cast<uint16_t>(fxt::PrefValueSize(conversion));
  return PREFERENCE_LOCATION_MAPRECORD{0,      record[2], record[3], itemNo,    inci,
                                       offset, word,      size,      conversion};
}

}  // namespace

// The record maps themselves, one array per map.
#define PREF_MAP(name, tag, condition) PREFERENCE_LOCATION_MAPRECORD name[] = {
#define PREF_WORD(record, item, inci, word, offset, conversion) \
  Entry(record, item, inci, word, offset, conversion),
// clang-format off
#define PREF_MAP_END() };
// clang-format on
#include "bridge/prefmaps.def"

namespace {

PreferenceLoadServer g_loadServer = ServePreferenceLoad;
PreferenceSaveServer g_saveServer = ServePreferenceSave;

struct RecordMapRow {
  uint32_t tag;
  int32_t kLow;
  int32_t kHigh;
  PREFERENCE_LOCATION_MAPRECORD* map;
  short count;
};

struct ArrayRow {
  uint32_t tag;
  int32_t kLow;
  int32_t kHigh;
  uint32_t otTag;
  short count;
  short firstInci;  // or PREF_INCI_K_MINUS_1
};

#define PREF_MAP(name, tag, condition) \
  {fxt::PrefTableTag(tag), condition, name, static_cast<short>(sizeof(name) / sizeof(name[0]))},
const RecordMapRow kRecordMaps[] = {
#include "bridge/prefmaps.def"
};

#define PREF_ARRAY(tag, condition, record, count, firstInci) \
  {fxt::PrefTableTag(tag), condition, fxt::PrefTableTag(record), count, firstInci},
const ArrayRow kArrays[] = {
#include "bridge/prefmaps.def"
};

// --- Side records -------------------------------------------------------------------

// Loads the side record into record, cleared first so that a record that does not load
// reads as zeros.
void LoadSide(uint32_t tag, uint16_t item, uint16_t inci, uint8_t* record) {
  uint8_t key[8] = {};
  fxt::PutU16(key, 0, item);
  fxt::PutU16(key, 2, inci);
  std::memset(record, 0, fxt::PREF_SIDE_SIZE);
  int32_t size = fxt::PREF_SIDE_SIZE;
  FX_LoadEData(static_cast<int32_t>(tag), key, record, &size,
               static_cast<int32_t>(FINALE_INTERFACE_VERSION));
}

// Saves the side record; false when the host refused it.
bool SaveSide(uint32_t tag, uint16_t item, uint16_t inci, const uint8_t* record) {
  uint8_t key[8] = {};
  fxt::PutU16(key, 0, item);
  fxt::PutU16(key, 2, inci);
  return (FX_SaveEData(static_cast<int32_t>(tag), key, record, fxt::PREF_SIDE_SIZE,
                       static_cast<int32_t>(FINALE_INTERFACE_VERSION)) &
          0xFFFF) != 0;
}

// --- Record maps ---------------------------------------------------------------------

uint32_t EntryTag(const PREFERENCE_LOCATION_MAPRECORD& entry) {
  return fxt::MakeTag('o', 't', entry.otChar1, entry.otChar2);
}

bool SameRecord(const PREFERENCE_LOCATION_MAPRECORD& a, const PREFERENCE_LOCATION_MAPRECORD& b) {
  return a.otChar1 == b.otChar1 && a.otChar2 == b.otChar2 && a.itemNo == b.itemNo &&
         a.inci == b.inci;
}

// Whether the entry's value lies within the first room bytes of the structure.
bool Fits(const PREFERENCE_LOCATION_MAPRECORD& entry, int32_t room) {
  return entry.offset + entry.size <= room;
}

size_t WordOffset(const PREFERENCE_LOCATION_MAPRECORD& entry, int next = 0) {
  return static_cast<size_t>(2 * (entry.word + next));
}

// A record word as the structure holds it: a negated flag, or its low byte.
int16_t LoadedWord(int16_t word, MAP_ARRAY_CONVERSION conversion) {
  switch (conversion) {
    case MAPCONV_NEGATED_FLAG:
      return word == 0 ? 1 : 0;
    case MAPCONV_LOW_BYTE:
      return static_cast<int16_t>(word & 0xFF);
    default:
      return word;
  }
}

// A structure value as the record word holds it: a negated flag, or its low byte
// sign-extended.
int16_t SavedWord(int16_t value, MAP_ARRAY_CONVERSION conversion) {
  switch (conversion) {
    case MAPCONV_NEGATED_FLAG:
      return value == 0 ? 1 : 0;
    case MAPCONV_LOW_BYTE:
      return static_cast<int8_t>(value & 0xFF);
    default:
      return value;
  }
}

void Extract(const PREFERENCE_LOCATION_MAPRECORD& entry, const uint8_t* record,
             uint8_t* structure) {
  const int16_t word = fxt::GetS16(record, WordOffset(entry));
  if (entry.size == 4)
    fxt::PutS32(
        structure, entry.offset,
        makePrefsFourbyte(word, fxt::GetS16(record, WordOffset(entry, 1)), entry.conversion));
  else
    fxt::PutS16(structure, entry.offset, LoadedWord(word, entry.conversion));
}

// Writes the entry's value into the record; true when a word changed.
bool Merge(const PREFERENCE_LOCATION_MAPRECORD& entry, const uint8_t* structure, uint8_t* record) {
  if (entry.size == 4) {
    const int32_t value = fxt::GetS32(structure, entry.offset);
    short first = fxt::GetS16(record, WordOffset(entry));
    short second = fxt::GetS16(record, WordOffset(entry, 1));
    if (value == makePrefsFourbyte(first, second, entry.conversion)) return false;
    makePrefsTwobytes(value, &first, &second, entry.conversion);
    fxt::PutS16(record, WordOffset(entry), first);
    fxt::PutS16(record, WordOffset(entry, 1), second);
    return true;
  }
  const int16_t word = SavedWord(fxt::GetS16(structure, entry.offset), entry.conversion);
  if (word == fxt::GetS16(record, WordOffset(entry))) return false;
  fxt::PutS16(record, WordOffset(entry), word);
  return true;
}

// Reads each record of the map once, and gives every entry of that record its value.
// Only values that lie within the first room bytes are written.
int32_t LoadRecordMap(PREFERENCE_LOCATION_MAPRECORD* map, short count, uint8_t* structure,
                      int32_t* size) {
  const int32_t extent = PreferenceStructureExtent(map, count);
  if (!structure || count <= 0) {
    *size = extent;
    return 1;
  }
  const int32_t room = std::max<int32_t>(*size, 0);
  for (short i = 0; i < count; ++i) map[i].done = 0;
  uint8_t record[fxt::PREF_SIDE_SIZE];
  for (short i = 0; i < count; ++i) {
    if (map[i].done) continue;
    LoadSide(EntryTag(map[i]), fxt::PrefSideItem(map[i].itemNo), map[i].inci, record);
    for (short j = i; j < count; ++j) {
      if (map[j].done || !SameRecord(map[i], map[j])) continue;
      if (Fits(map[j], room)) Extract(map[j], record, structure);
      map[j].done = 1;
    }
  }
  *size = std::min(room, extent);
  return 1;
}

// Reads each record of the map once, merges the values of its entries that lie within
// the size given, and writes the record back only when a word changed. 0 when the host
// refused a write (the other records are still written).
int32_t SaveRecordMap(PREFERENCE_LOCATION_MAPRECORD* map, short count, const uint8_t* structure,
                      int32_t size) {
  if (!structure || size < 2 * count) return 0;
  for (short i = 0; i < count; ++i) map[i].done = 0;
  uint8_t record[fxt::PREF_SIDE_SIZE];
  int32_t saved = 1;
  for (short i = 0; i < count; ++i) {
    if (map[i].done) continue;
    const uint32_t tag = EntryTag(map[i]);
    const uint16_t item = fxt::PrefSideItem(map[i].itemNo);
    LoadSide(tag, item, map[i].inci, record);
    bool changed = false;
    for (short j = i; j < count; ++j) {
      if (map[j].done || !SameRecord(map[i], map[j])) continue;
      if (Fits(map[j], size) && Merge(map[j], structure, record)) changed = true;
      map[j].done = 1;
    }
    if (changed && !SaveSide(tag, item, map[i].inci, record)) saved = 0;
  }
  return saved;
}

// --- Arrays -------------------------------------------------------------------------

int32_t LoadArray(uint32_t otTag, short count, short firstInci, uint8_t* buffer, int32_t* size) {
  const int32_t bytes = count * fxt::PREF_SIDE_SIZE;
  if (!buffer) {
    *size = bytes;
    return 1;
  }
  if (*size < bytes) return 0;
  for (short i = 0; i < count; ++i)
    LoadSide(otTag, fxt::PREF_SIDE_ITEM, static_cast<uint16_t>(firstInci + i),
             buffer + i * fxt::PREF_SIDE_SIZE);
  *size = bytes;
  return 1;
}

int32_t SaveArray(uint32_t otTag, short count, short firstInci, const uint8_t* buffer,
                  int32_t size) {
  if (!buffer || size < count * fxt::PREF_SIDE_SIZE) return 0;
  int32_t saved = 1;
  for (short i = 0; i < count; ++i)
    if (!SaveSide(otTag, fxt::PREF_SIDE_ITEM, static_cast<uint16_t>(firstInci + i),
                  buffer + i * fxt::PREF_SIDE_SIZE))
      saved = 0;
  return saved;
}

// What serves a preference tag: a record map, an array, or neither.
struct Translation {
  PREFERENCE_LOCATION_MAPRECORD* map = nullptr;
  short count = 0;      // the map's entries, or the array's records
  uint32_t otTag = 0;   // the array's record tag
  short firstInci = 0;  // the array's first inci
  bool Found() const { return map != nullptr || otTag != 0; }
};

// The translation of the tag for the caller's key (record maps first, then arrays).
Translation FindTranslation(uint32_t tag, const void* key) {
  const short k = key ? fxt::GetS16(key, 0) : 0;
  Translation translation;
  if (!mapPrefStruct(tag, k, &translation.map, &translation.count))
    mapPrefTag(tag, k, &translation.otTag, &translation.count, &translation.firstInci);
  return translation;
}

}  // namespace

bool mapPrefStruct(uint32_t tag, short k, PREFERENCE_LOCATION_MAPRECORD** map, short* count) {
  for (const RecordMapRow& row : kRecordMaps) {
    if (row.tag != tag) continue;
    if (k < row.kLow || k > row.kHigh) return false;
    if (map) *map = row.map;
    if (count) *count = row.count;
    return true;
  }
  if (map) *map = nullptr;
  if (count) *count = 0;
  return false;
}

void mapPrefTag(uint32_t tag, short k, uint32_t* otTag, short* count, short* firstInci) {
  short rowCount = 0, rowInci = 0;
  uint32_t rowTag = 0;
  for (const ArrayRow& row : kArrays) {
    if (row.tag != tag || k < row.kLow || k > row.kHigh) continue;
    rowTag = row.otTag;
    rowCount = row.count;
    rowInci = row.firstInci == PREF_INCI_K_MINUS_1 ? static_cast<short>(k - 1) : row.firstInci;
    break;
  }
  if (otTag) *otTag = rowTag;
  if (count) *count = rowCount;
  if (firstInci) *firstInci = rowInci;
}

int32_t makePrefsFourbyte(short first, short second, MAP_ARRAY_CONVERSION conversion) {
  const uint32_t a = static_cast<uint16_t>(first), b = static_cast<uint16_t>(second);
  switch (conversion) {
    case MAPCONV_HIGH_FIRST:
      return static_cast<int32_t>(a << 16 | b);
    case MAPCONV_LOW_FIRST:
      return static_cast<int32_t>(b << 16 | a);
    default:
      return 0;
  }
}

void makePrefsTwobytes(int32_t value, short* first, short* second,
                       MAP_ARRAY_CONVERSION conversion) {
  const short high = static_cast<short>(static_cast<uint32_t>(value) >> 16);
  const short low = static_cast<short>(static_cast<uint32_t>(value) & 0xFFFF);
  switch (conversion) {
    case MAPCONV_HIGH_FIRST:
      *first = high;
      *second = low;
      break;
    case MAPCONV_LOW_FIRST:
      *first = low;
      *second = high;
      break;
    default:
      break;
  }
}

int32_t PreferenceStructureExtent(const PREFERENCE_LOCATION_MAPRECORD* map, short count) {
  int32_t extent = 0;
  for (short i = 0; i < count; ++i) extent = std::max<int32_t>(extent, map[i].offset + map[i].size);
  return extent;
}

bool ServePreferenceLoad(uint32_t tag, void* key, void* buffer, int32_t* size, int32_t* result) {
  const Translation translation = FindTranslation(tag, key);
  if (!translation.Found()) return false;
  uint8_t* structure = static_cast<uint8_t*>(buffer);
  if (!size)
    *result = 0;
  else if (translation.map)
    *result = LoadRecordMap(translation.map, translation.count, structure, size);
  else
    *result =
        LoadArray(translation.otTag, translation.count, translation.firstInci, structure, size);
  return true;
}

bool ServePreferenceSave(uint32_t tag, void* key, void* buffer, int32_t size, int32_t* result) {
  const Translation translation = FindTranslation(tag, key);
  if (!translation.Found()) return false;
  const uint8_t* structure = static_cast<const uint8_t*>(buffer);
  if (translation.map)
    *result = SaveRecordMap(translation.map, translation.count, structure, size);
  else
    *result =
        SaveArray(translation.otTag, translation.count, translation.firstInci, structure, size);
  return true;
}

void SetPreferenceServers(PreferenceLoadServer load, PreferenceSaveServer save) {
  g_loadServer = load ? load : ServePreferenceLoad;
  g_saveServer = save ? save : ServePreferenceSave;
}

PreferenceLoadServer CurrentPreferenceLoadServer() { return g_loadServer; }

PreferenceSaveServer CurrentPreferenceSaveServer() { return g_saveServer; }
