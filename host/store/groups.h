// The host's one reader and writer of group records ('SDNG'), in the layout the
// framework's FCGroup reads: used by the document file, the chart and the tests.
//
// Record (36 bytes, little-endian 16-bit words): start staff at 0, end staff at 2, full
// name block at 4, the offset-6 word at 6, abbreviated name block at 22, start measure
// at 32, end measure at 34; the other 22 bytes are carried unchanged. Key: first item
// number (0 for the score's groups), second = the group's number, third 0.
//
// The names themselves (the texts behind the blocks) are WriteGroupNames' and
// ReadGroupNames' (host/store/scoremodel.h).
#pragma once

#include <cstdint>
#include <vector>

#include "host/store/document.h"
#include "host/store/scoremodel.h"

namespace fxthost {

constexpr int kGroupStartStaffOffset = 0;
constexpr int kGroupEndStaffOffset = 2;
// kGroupFullNameOffset (4) and kGroupAbbreviatedNameOffset (22): host/store/scoremodel.h.
constexpr int kGroupOffset6Offset = 6;
constexpr int kGroupStartMeasureOffset = 32;
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

  friend bool operator==(const GroupRecord& a, const GroupRecord& b);
  friend bool operator!=(const GroupRecord& a, const GroupRecord& b) { return !(a == b); }
};

// Stores the group under (first, number, 0), replacing a group there. The 22 carried
// bytes of a group already there are kept; a new group gets zeros. Refused (false,
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
