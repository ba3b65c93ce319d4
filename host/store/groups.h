// The host's one reader and writer of group records ('SDNG'), in the layout the
// framework's FCGroup reads: used by the document file, the chart and the tests.
//
// Record (36 bytes, little-endian 16-bit words): start staff at 0, end staff at 2, full
// name block at 4, the offset-6 word at 6, abbreviated name block at 22, start measure
// at 32, end measure at 34. The framework carries the other 22 bytes unchanged; of them
// the emulated host gives two words a layout of its own (docs/host-records.md, "Group
// style"): the bracket style at 8 and the bar-line mode at 10. Key: first item number
// (0 for the score's groups), second = the group's number, third 0.
//
// The names themselves (the texts behind the blocks) are WriteGroupNames' and
// ReadGroupNames' (host/store/scoremodel.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/store/document.h"
#include "host/store/scoremodel.h"

namespace fxthost {

constexpr int kGroupStartStaffOffset = 0;
constexpr int kGroupEndStaffOffset = 2;
// kGroupFullNameOffset (4) and kGroupAbbreviatedNameOffset (22): host/store/scoremodel.h.
constexpr int kGroupOffset6Offset = 6;
constexpr int kGroupBracketOffset = 8;
constexpr int kGroupBarlineOffset = 10;
constexpr int kGroupStartMeasureOffset = 32;

// The bracket styles and bar-line modes the two style words hold (0 is each default),
// with the names the document file and the chart give them.
struct StyleName {
  int16_t value;
  const char* name;
};
constexpr StyleName kBracketStyles[] = {
    {0, "bracket"}, {1, "brace"}, {2, "square"}, {3, "line"}, {4, "none"}};
constexpr StyleName kBarlineModes[] = {{0, "through"}, {1, "none"}, {2, "mensurstrich"}};
constexpr int16_t kBracketStyleBrace = 1;
constexpr int16_t kBracketStyleSquare = 2;
constexpr int16_t kBracketStyleLine = 3;
constexpr int16_t kBracketStyleNone = 4;
constexpr int16_t kBarlineNone = 1;
constexpr int16_t kBarlineMensurstrich = 2;

// The name of a value in a table, or null when the table has no such value.
template <size_t N>
const char* StyleNameOf(const StyleName (&table)[N], int16_t value) {
  for (const StyleName& entry : table)
    if (entry.value == value) return entry.name;
  return nullptr;
}
// The value of a name in a table; false when the table has no such name.
template <size_t N>
bool StyleValueOf(const StyleName (&table)[N], const std::string& name, int16_t* value) {
  for (const StyleName& entry : table)
    if (name == entry.name) {
      *value = entry.value;
      return true;
    }
  return false;
}
constexpr int kGroupEndMeasureOffset = 34;

struct GroupRecord {
  uint16_t first = 0;   // first item number of the key
  uint16_t number = 0;  // the group's number: second item number of the key
  int16_t startStaff = 0;
  int16_t endStaff = 0;
  int16_t startMeasure = 0;
  int16_t endMeasure = 0;
  uint16_t fullNameBlock = 0;  // 0: no name
  uint16_t abbreviatedNameBlock = 0;
  int16_t offset6 = 0;
  int16_t bracket = 0;  // a value of kBracketStyles (others are kept as they are)
  int16_t barline = 0;  // a value of kBarlineModes (others are kept as they are)

  friend bool operator==(const GroupRecord& a, const GroupRecord& b);
  friend bool operator!=(const GroupRecord& a, const GroupRecord& b) { return !(a == b); }
};

// Stores the group under (first, number, 0), replacing a group there. The 18 other
// carried bytes of a group already there are kept; a new group gets zeros. Refused (false,
// nothing stored) for the all-zero key (first 0, number 0): a walk of the groups starts
// from that key and steps past it, so such a group could never be found.
bool WriteGroup(Document& document, const GroupRecord& group);
// The group under (first, number, 0); false when there is none or its record is shorter
// than 36 bytes.
bool ReadGroup(const Document& document, uint16_t first, uint16_t number, GroupRecord* group);
// Every group that ReadGroup can read (keys with third item number and extra bytes 0),
// in key order (the host's order).
std::vector<GroupRecord> ReadGroups(const Document& document);

}  // namespace fxthost
