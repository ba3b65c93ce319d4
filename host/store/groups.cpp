// Reading and writing group records in the layout the framework's FCGroup reads
// (groups.h).
#include "host/store/groups.h"

#include <utility>

#include "bridge/recordbytes.h"

namespace fxthost {

namespace {

static_assert(kGroupEndMeasureOffset + 2 == kGroupRecordSize,
              "the end measure is the last word of the group record");
static_assert(kGroupOffset6Offset + 2 <= kGroupAbbreviatedNameOffset &&
                  kGroupFullNameOffset + 2 <= kGroupOffset6Offset &&
                  kGroupEndStaffOffset + 2 <= kGroupFullNameOffset &&
                  kGroupAbbreviatedNameOffset + 2 <= kGroupStartMeasureOffset &&
                  kGroupOffset6Offset + 2 <= kGroupBracketOffset &&
                  kGroupBracketOffset + 2 <= kGroupBarlineOffset &&
                  kGroupBarlineOffset + 2 <= kGroupAbbreviatedNameOffset,
              "group record fields must not overlap");

DataKey GroupKey(uint16_t first, uint16_t number) {
  DataKey key;
  key.first = first;
  key.second = number;
  return key;
}

GroupRecord Decode(const DataKey& key, const RecordStore::Bytes& bytes) {
  GroupRecord group;
  group.first = key.first;
  group.number = key.second;
  const uint8_t* data = bytes.data();
  group.startStaff = fxt::GetS16(data, kGroupStartStaffOffset);
  group.endStaff = fxt::GetS16(data, kGroupEndStaffOffset);
  group.fullNameBlock = fxt::GetU16(data, kGroupFullNameOffset);
  group.offset6 = fxt::GetS16(data, kGroupOffset6Offset);
  group.bracket = fxt::GetS16(data, kGroupBracketOffset);
  group.barline = fxt::GetS16(data, kGroupBarlineOffset);
  group.abbreviatedNameBlock = fxt::GetU16(data, kGroupAbbreviatedNameOffset);
  group.startMeasure = fxt::GetS16(data, kGroupStartMeasureOffset);
  group.endMeasure = fxt::GetS16(data, kGroupEndMeasureOffset);
  return group;
}

bool IsGroupKey(const DataKey& key) { return key.third == 0 && key.extra == 0; }

}  // namespace

bool operator==(const GroupRecord& a, const GroupRecord& b) {
  return a.first == b.first && a.number == b.number && a.startStaff == b.startStaff &&
         a.endStaff == b.endStaff && a.startMeasure == b.startMeasure &&
         a.endMeasure == b.endMeasure && a.fullNameBlock == b.fullNameBlock &&
         a.abbreviatedNameBlock == b.abbreviatedNameBlock && a.offset6 == b.offset6 &&
         a.bracket == b.bracket && a.barline == b.barline;
}

bool WriteGroup(Document& document, const GroupRecord& group) {
  if (group.first == 0 && group.number == 0) return false;
  const DataKey key = GroupKey(group.first, group.number);
  RecordStore::Bytes record(kGroupRecordSize, 0);
  if (const RecordStore::Bytes* existing = document.records.Find(kGroupTag, key)) {
    for (size_t i = 0; i < record.size() && i < existing->size(); ++i) record[i] = (*existing)[i];
  }
  uint8_t* data = record.data();
  fxt::PutS16(data, kGroupStartStaffOffset, group.startStaff);
  fxt::PutS16(data, kGroupEndStaffOffset, group.endStaff);
  fxt::PutU16(data, kGroupFullNameOffset, group.fullNameBlock);
  fxt::PutS16(data, kGroupOffset6Offset, group.offset6);
  fxt::PutS16(data, kGroupBracketOffset, group.bracket);
  fxt::PutS16(data, kGroupBarlineOffset, group.barline);
  fxt::PutU16(data, kGroupAbbreviatedNameOffset, group.abbreviatedNameBlock);
  fxt::PutS16(data, kGroupStartMeasureOffset, group.startMeasure);
  fxt::PutS16(data, kGroupEndMeasureOffset, group.endMeasure);
  document.records.Put(kGroupTag, key, std::move(record));
  return true;
}

bool ReadGroup(const Document& document, uint16_t first, uint16_t number, GroupRecord* group) {
  const DataKey key = GroupKey(first, number);
  const RecordStore::Bytes* record = document.records.Find(kGroupTag, key);
  if (!record || record->size() < static_cast<size_t>(kGroupRecordSize)) return false;
  if (group) *group = Decode(key, *record);
  return true;
}

std::vector<GroupRecord> ReadGroups(const Document& document) {
  std::vector<GroupRecord> groups;
  document.records.ForEach(kGroupTag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
    if (IsGroupKey(key) && bytes.size() >= static_cast<size_t>(kGroupRecordSize))
      groups.push_back(Decode(key, bytes));
  });
  return groups;
}

}  // namespace fxthost
