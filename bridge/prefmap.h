// The translation of document preferences to the host records that hold them.
//
// The framework addresses a document preference by its tag ('pf..') with one fixed
// layout each; the host keeps the values in side records of six 16-bit words (tags
// beginning 'ot'). The data-record wrappers offer every load and save to the servers
// below first (at the points bridge/edata.cpp names). A preference of a record map is
// assembled from, or scattered back into, single words of several side records; a
// preference of an array is a run of whole consecutive side records. Both kinds are
// rows of bridge/prefmaps.def; every other tag goes to the host as it is.
//
// k is the first item number of the caller's key as a signed 16-bit number (0 when
// there is no key); some preferences are translated only for some k. What a load or save
// does with sizes, missing side records and refused writes is in docs/preferences.md.
#pragma once

#include <cstdint>

#include "bridge/prefmaptable.h"

// One entry of a record map: the record word(s) behind one value of the structure.
struct PREFERENCE_LOCATION_MAPRECORD {
  // Work field of the translation: set once the entry's record has been read.
  uint16_t done;
  // The last two characters of the record's tag ('o', 't', otChar1, otChar2).
  char otChar1;
  char otChar2;
  // The first item number of the record's key; 0 stands for 0xFFFE.
  uint16_t itemNo;
  // The second item number of the record's key.
  uint16_t inci;
  // Byte offset of the value in the preference structure.
  uint16_t offset;
  // The record word, 0 to 5 (the first of two for a four-byte value).
  uint16_t word;
  // 2 (one word) or 4 (two words).
  uint16_t size;
  MAP_ARRAY_CONVERSION conversion;
};

// The record maps, in writable memory (the translation marks their entries as it goes).
#define PREF_MAP(name, tag, condition) extern PREFERENCE_LOCATION_MAPRECORD name[];
#include "bridge/prefmaps.def"

// The record map of a preference tag: true with the map and its entry count. False for
// a tag without a map, with map null and count 0; and false for a tag whose map does
// not apply to k ('pfPF' with k other than 0), leaving map and count as they were.
bool mapPrefStruct(uint32_t tag, short k, PREFERENCE_LOCATION_MAPRECORD** map, short* count);

// The array of a preference tag: count and first inci become 0, then the record tag,
// count and first inci are set when the tag has an array that applies to k; otherwise
// the record tag becomes 0.
void mapPrefTag(uint32_t tag, short k, uint32_t* otTag, short* count, short* firstInci);

// Two record words as one four-byte value: MAPCONV_HIGH_FIRST gives first * 65536 +
// (second as unsigned), MAPCONV_LOW_FIRST second * 65536 + (first as unsigned); any
// other conversion gives 0.
int32_t makePrefsFourbyte(short first, short second, MAP_ARRAY_CONVERSION conversion);

// The reverse of makePrefsFourbyte: the halves of value into the two words under the
// same conversion; any other conversion stores nothing.
void makePrefsTwobytes(int32_t value, short* first, short* second, MAP_ARRAY_CONVERSION conversion);

// The byte count that holds every value of a record map (its largest offset plus that
// value's size): what a load without a buffer reports.
int32_t PreferenceStructureExtent(const PREFERENCE_LOCATION_MAPRECORD* map, short count);

// A load of tag under key into buffer (*size: room in, bytes delivered out). Returns
// true, with the wrapper's result in *result, when the tag is translated.
bool ServePreferenceLoad(uint32_t tag, void* key, void* buffer, int32_t* size, int32_t* result);

// A save of size bytes of buffer as tag under key; as ServePreferenceLoad.
bool ServePreferenceSave(uint32_t tag, void* key, void* buffer, int32_t size, int32_t* result);

// The servers the wrappers actually call: the two functions above unless replaced (tests
// watch what reaches the translation this way). Null arguments restore the defaults.
typedef bool (*PreferenceLoadServer)(uint32_t tag, void* key, void* buffer, int32_t* size,
                                     int32_t* result);
typedef bool (*PreferenceSaveServer)(uint32_t tag, void* key, void* buffer, int32_t size,
                                     int32_t* result);
void SetPreferenceServers(PreferenceLoadServer load, PreferenceSaveServer save);
PreferenceLoadServer CurrentPreferenceLoadServer();
PreferenceSaveServer CurrentPreferenceSaveServer();
