// The "sideRecords" member of a document file, read and written (docfile_siderecords.h);
// docs/fxthost.md describes the member, docs/preferences.md the side records.
#include "host/files/docfile_siderecords.h"

#include <cmath>
#include <vector>

#include "bridge/prefmaptable.h"

namespace fxthost {

namespace {

using Json = nlohmann::ordered_json;

struct SideRecord {
  uint32_t tag;
  uint16_t inci;
  RecordStore::Bytes bytes;
  std::string place;
};

// Raised while reading the member and caught at its entry.
struct Refused {
  SideRecordProblem problem;
};

[[noreturn]] void Refuse(const std::string& place, const std::string& reason) {
  throw Refused{{place, reason}};
}

std::string Kind(const Json& value) {
  if (value.is_object()) return "an object";
  if (value.is_array()) return "an array";
  if (value.is_string()) return "a string";
  if (value.is_boolean()) return "true or false";
  if (value.is_null()) return "null";
  return "a number";
}

bool Printable(char c) { return c >= 0x20 && c <= 0x7E; }

bool IsSideTag(uint32_t tag) {
  return (tag >> 16) == 0x6F74 && Printable(static_cast<char>(tag >> 8 & 0xFF)) &&
         Printable(static_cast<char>(tag & 0xFF));
}

// "ot21" as the member names it: 'o', 't' and two printable characters.
uint32_t SideTag(const std::string& name, const std::string& place) {
  const bool ok = name.size() == 4 && name[0] == 'o' && name[1] == 't' && Printable(name[2]) &&
                  Printable(name[3]);
  if (!ok)
    Refuse(place,
           "a side record's tag is \"ot\" and two printable characters, found \"" + name + "\"");
  return fxt::MakeTag(name[0], name[1], name[2], name[3]);
}

int16_t Word(const Json& value, const std::string& place) {
  const bool whole =
      value.is_number_integer() || (value.is_number_float() && std::isfinite(value.get<double>()) &&
                                    value.get<double>() == std::floor(value.get<double>()));
  if (!whole) Refuse(place, "expected a whole number, found " + Kind(value));
  const double number = value.get<double>();
  if (number < -32768 || number > 32767)
    Refuse(place, value.dump() + " does not fit in a signed 16-bit word (-32768 to 32767)");
  return static_cast<int16_t>(number);
}

std::vector<SideRecord> Records(const Json& member, const std::string& place) {
  if (!member.is_object())
    Refuse(place, "expected an object of side records by tag, found " + Kind(member));
  std::vector<SideRecord> records;
  for (auto it = member.begin(); it != member.end(); ++it) {
    const std::string at = place + "[\"" + it.key() + "\"]";
    const uint32_t tag = SideTag(it.key(), at);
    const Json& list = it.value();
    if (!list.is_array())
      Refuse(at, "expected an array of records (the index is the inci), found " + Kind(list));
    if (list.size() > kLastSideRecordInci + 1u)
      Refuse(at, "more than " + std::to_string(kLastSideRecordInci + 1) + " records (incis 0 to " +
                     std::to_string(kLastSideRecordInci) + ")");
    for (size_t inci = 0; inci < list.size(); ++inci) {
      const std::string recordPlace = at + "[" + std::to_string(inci) + "]";
      const Json& words = list[inci];
      if (words.is_null()) continue;
      if (!words.is_array())
        Refuse(recordPlace,
               "expected a record of six words, or null for none, found " + Kind(words));
      if (words.size() != fxt::PREF_SIDE_WORDS)
        Refuse(recordPlace, "a side record has six words, found " + std::to_string(words.size()));
      SideRecord record{tag, static_cast<uint16_t>(inci),
                        RecordStore::Bytes(fxt::PREF_SIDE_SIZE, 0), recordPlace};
      for (size_t w = 0; w < words.size(); ++w)
        fxt::PutS16(record.bytes.data(), 2 * w,
                    Word(words[w], recordPlace + "[" + std::to_string(w) + "]"));
      records.push_back(std::move(record));
    }
  }
  return records;
}

DataKey SideKey(uint16_t inci) {
  DataKey key;
  key.first = fxt::PREF_SIDE_ITEM;
  key.second = inci;
  return key;
}

}  // namespace

bool ReadSideRecords(const Json& member, const std::string& place, RecordStore* records,
                     SideRecordProblem* problem, std::vector<SideRecordPlace>* placed) {
  std::vector<SideRecord> read;
  try {
    read = Records(member, place);
  } catch (const Refused& refused) {
    if (problem) *problem = refused.problem;
    return false;
  }
  for (SideRecord& record : read) {
    records->Put(record.tag, SideKey(record.inci), std::move(record.bytes));
    if (placed) placed->push_back({record.tag, SideKey(record.inci), std::move(record.place)});
  }
  return true;
}

Json SideRecordsMember(const RecordStore& records) {
  Json member = Json::object();
  for (uint32_t tag : records.Tags()) {
    if (!IsSideTag(tag)) continue;
    Json list = Json::array();
    for (uint16_t inci = 0; inci <= kLastSideRecordInci; ++inci) {
      const RecordStore::Bytes* bytes = records.Find(tag, SideKey(inci));
      if (!bytes || bytes->size() != static_cast<size_t>(fxt::PREF_SIDE_SIZE)) continue;
      while (list.size() < inci) list.push_back(nullptr);
      Json words = Json::array();
      for (int w = 0; w < fxt::PREF_SIDE_WORDS; ++w)
        words.push_back(fxt::GetS16(bytes->data(), static_cast<size_t>(2 * w)));
      list.push_back(words);
    }
    const std::string name{'o', 't', static_cast<char>(tag >> 8 & 0xFF),
                           static_cast<char>(tag & 0xFF)};
    if (!list.empty()) member[name] = list;
  }
  return member;
}

}  // namespace fxthost
