// The vocabulary of the preference map table (bridge/prefmaps.def): the conversions, the
// conditions on the preference number k, and the helpers that read a row's values.
// Header-only: the bridge builds its translation from the table and the emulated host
// its listing of side records (fxthost prefs).
#pragma once

#include <cstdint>

#include "bridge/recordbytes.h"

// How a record map moves one value between record words and the preference structure.
enum MAP_ARRAY_CONVERSION : int32_t {
  // One word copied unchanged.
  MAPCONV_COPY = 0,
  // Two words as a four-byte value, the first word the high half.
  MAPCONV_HIGH_FIRST = 1,
  // Two words as a four-byte value, the first word the low half.
  MAPCONV_LOW_FIRST = 2,
  // One word read and written as a negated flag: 0 becomes 1, anything else 0.
  MAPCONV_NEGATED_FLAG = 3,
  // One word of which only the low byte counts.
  MAPCONV_LOW_BYTE = 4,
};

// Conditions on k, the first item number of the caller's key as a signed 16-bit number.
// PREF_K(low, high) allows low to high; PREF_ANY_K allows every k. Both stand for two
// initializer values, the lowest and the highest k.
#define PREF_K(low, high) low, high
#define PREF_ANY_K -32768, 32767

// The first inci of an array: a number, or this value for k - 1.
#define PREF_INCI_K_MINUS_1 -1

namespace fxt {

// The first item number of every side record whose map entry names item 0.
constexpr uint16_t PREF_SIDE_ITEM = 0xFFFE;
// A side record: six little-endian 16-bit words.
constexpr int32_t PREF_SIDE_SIZE = 12;
constexpr int PREF_SIDE_WORDS = 6;

// The tag written as four characters in the table ("pfDP", "ot21").
constexpr uint32_t PrefTableTag(const char (&text)[5]) {
  return MakeTag(text[0], text[1], text[2], text[3]);
}

// The bytes a conversion moves: four for the two-word conversions, else two.
constexpr int PrefValueSize(MAP_ARRAY_CONVERSION conversion) {
  return conversion == MAPCONV_HIGH_FIRST || conversion == MAPCONV_LOW_FIRST ? 4 : 2;
}

// The first item number of a side record's key: the table's 0 stands for 0xFFFE.
constexpr uint16_t PrefSideItem(uint16_t item) { return item == 0 ? PREF_SIDE_ITEM : item; }

}  // namespace fxt
