// Reading a document file (docfile.h): the members the schema names, the raw records and the
// selection, each refused with its place and a reason. docs/fxthost.md describes the format, the
// order of reading and the refusals.
#include "host/files/docfile.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/files/docfile_json.h"
#include "host/files/docfile_music.h"
#include "host/files/docfile_parts.h"
#include "host/files/docfile_read.h"
#include "host/files/docfile_siderecords.h"
#include "host/files/docfile_textblocks.h"
#include "host/store/entryframes.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace fxthost {

const char* const kDocumentFormat = "fxthost-document/1";

std::string DocumentError::Message() const {
  std::string message = file;
  if (!place.empty()) message += ": " + place;
  return message + ": " + reason;
}

bool PrintableTag(uint32_t tag) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint32_t c = (tag >> shift) & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

namespace {

// "0x11000000" (1 to 8 hexadecimal digits) or a whole number.
uint32_t Version(const Json& value, const std::string& place) {
  if (!value.is_string()) return static_cast<uint32_t>(Number(value, place, 0, 0xFFFFFFFFll));
  const std::string& text = value.get_ref<const std::string&>();
  bool ok =
      text.size() > 2 && text.size() <= 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  for (size_t i = 2; ok && i < text.size(); ++i)
    ok = std::isxdigit(static_cast<unsigned char>(text[i]));
  if (!ok) Refuse(place, "expected a version such as \"0x11000000\", found \"" + text + "\"");
  return static_cast<uint32_t>(std::stoul(text.substr(2), nullptr, 16));
}

uint32_t Tag(const Json& value, const std::string& place) {
  if (!value.is_string()) return static_cast<uint32_t>(Number(value, place, 0, 0xFFFFFFFFll));
  const std::string& text = value.get_ref<const std::string&>();
  if (text.size() != 4) Refuse(place, "a tag is four characters, found \"" + text + "\"");
  const uint32_t tag = fxt::MakeTag(text[0], text[1], text[2], text[3]);
  if (!PrintableTag(tag)) Refuse(place, "a tag written as text is four printable ASCII characters");
  return tag;
}

// A group's bracket style or bar-line mode by its name in the table.
template <size_t N>
int16_t Style(const StyleName (&table)[N], const Json& value, const std::string& place) {
  int16_t style = 0;
  if (StyleValueOf(table, ExpectString(value, place), &style)) return style;
  std::string names;
  for (const StyleName& entry : table) names += std::string(names.empty() ? "" : ", ") + entry.name;
  Refuse(place, "\"" + value.get_ref<const std::string&>() + "\" is not one of " + names);
}

// --- The members the schema names, and the raw records ------------------------------

// A staff the file names where the staff must exist.
struct StaffReference {
  std::string place;
  int16_t staff;
};

struct Reader {
  Document& document;
  std::vector<NameLink> links;
  std::vector<StaffReference> staffReferences;
  std::vector<WholeRecord> whole;

  void Measures(const Json& value, const std::string& place) {
    if (value.is_array()) {
      std::vector<MeasureSpec> measures;
      if (value.size() > 0x7FFF) Refuse(place, "more than 32767 measures");
      for (size_t i = 0; i < value.size(); ++i) {
        const std::string at = IndexPlace(place, i);
        ExpectObject(value[i], at);
        KnownMembers(value[i], at, {"beats", "beatDuration", "key"});
        MeasureSpec spec;
        if (const Json* v = Find(value[i], "beats"))
          spec.beats = Int16(*v, MemberPlace(at, "beats"));
        if (const Json* v = Find(value[i], "beatDuration"))
          spec.beatDuration = Int16(*v, MemberPlace(at, "beatDuration"));
        if (const Json* v = Find(value[i], "key")) spec.key = Int16(*v, MemberPlace(at, "key"));
        measures.push_back(spec);
      }
      SetMeasures(document, measures);
    } else if (value.is_number()) {
      SetMeasures(document, static_cast<int>(Number(value, place, 0, 0x7FFF)));
    } else {
      Refuse(place,
             "expected a count of measures or an array of measures, found " + Describe(value));
    }
  }

  void Fonts(const Json& value, const std::string& place) {
    FontTable fonts;
    EachObject(value, place, {"id", "name"}, [&](const Json& font, const std::string& at) {
      const Json* id = Find(font, "id");
      const Json* name = Find(font, "name");
      if (!id || !name) Refuse(at, "a font needs an id and a name");
      const int number = static_cast<int>(Number(*id, MemberPlace(at, "id"), 0, 0x7FFF));
      const std::string& text = ExpectString(*name, MemberPlace(at, "name"));
      if (text.empty()) Refuse(MemberPlace(at, "name"), "a font name cannot be empty");
      if (!fonts.emplace(number, text).second)
        Refuse(MemberPlace(at, "id"), "font " + std::to_string(number) + " is given twice");
    });
    document.fonts = fonts;
  }

  void FontPrefs(const Json& value, const std::string& place) {
    ExpectObject(value, place);
    for (auto it = value.begin(); it != value.end(); ++it) {
      const std::string at = KeyPlace(place, it.key());
      const int64_t number = NumberKey(it.key(), at, 0, 0xFFFF);
      ExpectObject(it.value(), at);
      KnownMembers(it.value(), at, {"font", "size", "effects"});
      FontPref pref;
      pref.size = 12;
      if (const Json* v = Find(it.value(), "font")) pref.font = Int16(*v, MemberPlace(at, "font"));
      if (const Json* v = Find(it.value(), "size")) pref.size = Int16(*v, MemberPlace(at, "size"));
      if (const Json* v = Find(it.value(), "effects"))
        pref.effects = static_cast<uint16_t>(Number(*v, MemberPlace(at, "effects"), 0, 0xFFFF));
      PutFontPref(document, static_cast<int16_t>(static_cast<uint16_t>(number)), pref);
      whole.push_back({kFontPrefsTag, DataKey::Of(static_cast<uint16_t>(number)), at});
    }
  }

  void Staves(const Json& value, const std::string& place) {
    std::vector<int16_t> order;
    order.reserve(value.is_array() ? value.size() : 0);
    links.reserve(links.size() + order.capacity());
    std::vector<bool> seen(0x8000, false);  // by staff number, 1 to 32767
    const auto members = {"id", "name", "nameBlock"};
    EachObject(value, place, members, [&](const Json& entry, const std::string& at) {
      const Json* id = Find(entry, "id");
      if (!id) Refuse(at, "a staff needs its id");
      const int16_t staff = static_cast<int16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
      if (seen[static_cast<size_t>(staff)])
        Refuse(MemberPlace(at, "id"), "staff " + std::to_string(staff) + " is given twice");
      seen[static_cast<size_t>(staff)] = true;
      const uint16_t block = ReadTextMembers(document, entry, at, kNameMembers, kNameTextType);
      // The record names its block at once; the link puts the block back only where a raw
      // record replaces the record.
      RecordStore::Bytes record(kStaffRecordSize, 0);
      fxt::PutU16(record.data(), kStaffNameBlockOffset, block);
      const DataKey key = DataKey::Of(static_cast<uint16_t>(staff));
      document.records.Put(kStaffTag, key, std::move(record));
      links.push_back({kStaffTag, key, kStaffNameBlockOffset, block});
      order.push_back(staff);
    });
    if (order.size() > 0x8000) Refuse(place, "more staves than a staff list can hold");
    WriteInstrumentList(document, 0, order);
  }

  void InstrumentLists(const Json& value, const std::string& place) {
    ExpectObject(value, place);
    for (auto it = value.begin(); it != value.end(); ++it) {
      const std::string at = KeyPlace(place, it.key());
      const int64_t list = NumberKey(it.key(), at, 0, 0xFFFF);
      if (list == 0) Refuse(at, "list 0 is the score order: give it as \"staves\"");
      ExpectArray(it.value(), at);
      std::vector<int16_t> staves;
      std::set<int16_t> seen;
      for (size_t i = 0; i < it.value().size(); ++i) {
        const std::string slot = IndexPlace(at, i);
        const int16_t staff = Int16(it.value()[i], slot);
        if (!seen.insert(staff).second)
          Refuse(slot, "staff " + std::to_string(staff) + " is in the list twice");
        staffReferences.push_back({slot, staff});
        staves.push_back(staff);
      }
      if (staves.size() > 0x8000) Refuse(at, "more staves than a staff list can hold");
      if (!WriteInstrumentList(document, static_cast<uint16_t>(list), staves))
        Refuse(at, "a staff list holds staff numbers from 1");
    }
  }

  void MultiStaffInstruments(const Json& value, const std::string& place) {
    std::set<uint16_t> seen;
    EachObject(value, place, {"id", "staves"}, [&](const Json& entry, const std::string& at) {
      const Json* id = Find(entry, "id");
      const Json* staves = Find(entry, "staves");
      if (!id || !staves) Refuse(at, "an instrument needs an id and its staves");
      MultiStaffInstrument instrument;
      instrument.id = static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
      if (!seen.insert(instrument.id).second)
        Refuse(MemberPlace(at, "id"),
               "instrument " + std::to_string(instrument.id) + " is given twice");
      const std::string staffPlace = MemberPlace(at, "staves");
      ExpectArray(*staves, staffPlace);
      if (staves->empty() || staves->size() > 3)
        Refuse(staffPlace, "an instrument has one to three staves (0 for none)");
      for (size_t s = 0; s < staves->size(); ++s)
        instrument.staves[s] = Int16((*staves)[s], IndexPlace(staffPlace, s));
      PutMultiStaffInstrument(document, instrument);
    });
  }

  void Groups(const Json& value, const std::string& place) {
    std::set<uint32_t> seen;
    const auto members = {"id",      "key",       "staves",       "measures",
                          "name",    "nameBlock", "abbreviation", "abbreviationBlock",
                          "offset6", "bracket",   "barline"};
    EachObject(value, place, members, [&](const Json& entry, const std::string& at) {
      GroupRecord group;
      const Json* id = Find(entry, "id");
      const Json* key = Find(entry, "key");
      if (!id && !key) Refuse(at, "a group needs its id (or its key)");
      if (key) {
        const auto numbers = Pair(*key, MemberPlace(at, "key"), 0, 0xFFFF);
        group.first = static_cast<uint16_t>(numbers.first);
        group.number = static_cast<uint16_t>(numbers.second);
      }
      if (id) {
        const auto number = static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 0, 0xFFFF));
        if (key && number != group.number)
          Refuse(MemberPlace(at, "id"), "the id differs from the second number of the key");
        group.number = number;
      }
      if (group.first == 0 && group.number == 0)
        Refuse(MemberPlace(at, id ? "id" : "key"), "0 is not a group number (numbers start at 1)");
      if (!seen.insert(static_cast<uint32_t>(group.first) << 16 | group.number).second)
        Refuse(MemberPlace(at, id ? "id" : "key"),
               "group " + std::to_string(group.number) + " is given twice");

      const Json* staves = Find(entry, "staves");
      const Json* measures = Find(entry, "measures");
      if (!staves) Refuse(at, "a group needs its staves [top, bottom]");
      if (!measures) Refuse(at, "a group needs its measures [first, last]");
      const std::string stavesPlace = MemberPlace(at, "staves");
      const auto staffPair = Pair(*staves, stavesPlace, -32768, 32767);
      group.startStaff = static_cast<int16_t>(staffPair.first);
      group.endStaff = static_cast<int16_t>(staffPair.second);
      staffReferences.push_back({IndexPlace(stavesPlace, 0), group.startStaff});
      staffReferences.push_back({IndexPlace(stavesPlace, 1), group.endStaff});
      const std::string measuresPlace = MemberPlace(at, "measures");
      const auto measurePair = Pair(*measures, measuresPlace, -32768, 32767);
      if (measurePair.first < 1) Refuse(IndexPlace(measuresPlace, 0), "measures count from 1");
      if (measurePair.second < measurePair.first)
        Refuse(IndexPlace(measuresPlace, 1), "the group ends before it starts");
      group.startMeasure = static_cast<int16_t>(measurePair.first);
      group.endMeasure = static_cast<int16_t>(measurePair.second);
      if (const Json* v = Find(entry, "offset6"))
        group.offset6 = Int16(*v, MemberPlace(at, "offset6"));
      if (const Json* v = Find(entry, "bracket"))
        group.bracket = Style(kBracketStyles, *v, MemberPlace(at, "bracket"));
      if (const Json* v = Find(entry, "barline"))
        group.barline = Style(kBarlineModes, *v, MemberPlace(at, "barline"));
      group.fullNameBlock = ReadTextMembers(document, entry, at, kNameMembers, kNameTextType);
      group.abbreviatedNameBlock =
          ReadTextMembers(document, entry, at, kAbbreviationMembers, kNameTextType);
      WriteGroup(document, group);
      const DataKey groupKey = DataKey::Of(group.first, group.number);
      links.push_back({kGroupTag, groupKey, kGroupFullNameOffset, group.fullNameBlock});
      links.push_back(
          {kGroupTag, groupKey, kGroupAbbreviatedNameOffset, group.abbreviatedNameBlock});
    });
  }
};

struct RawRecord {
  uint32_t tag;
  DataKey key;
  RecordStore::Bytes bytes;
  std::string place;
};

std::vector<RawRecord> RawRecords(const Json& value, const std::string& place) {
  ExpectArray(value, place);
  std::vector<RawRecord> records;
  std::set<std::pair<uint32_t, uint64_t>> seen;
  for (size_t i = 0; i < value.size(); ++i) {
    const std::string at = IndexPlace(place, i);
    ExpectObject(value[i], at);
    KnownMembers(value[i], at, {"tag", "key", "hex"});
    const Json* tag = Find(value[i], "tag");
    const Json* key = Find(value[i], "key");
    const Json* hex = Find(value[i], "hex");
    if (!tag || !key || !hex) Refuse(at, "a record needs its tag, key and hex");
    RawRecord record;
    record.place = at;
    record.tag = Tag(*tag, MemberPlace(at, "tag"));
    const std::string keyPlace = MemberPlace(at, "key");
    ExpectArray(*key, keyPlace);
    if (key->empty() || key->size() > 4) Refuse(keyPlace, "a key is one to four numbers");
    uint16_t numbers[4] = {0, 0, 0, 0};
    for (size_t k = 0; k < key->size(); ++k)
      numbers[k] = static_cast<uint16_t>(Number((*key)[k], IndexPlace(keyPlace, k), 0, 0xFFFF));
    record.key = DataKey::Of(numbers[0], numbers[1], numbers[2], numbers[3]);
    record.bytes = HexBytes(ExpectString(*hex, MemberPlace(at, "hex")), MemberPlace(at, "hex"));
    if (record.bytes.size() > 0x7FFFFFFF) Refuse(MemberPlace(at, "hex"), "record too large");
    // The host reads no group from fewer bytes: such a group would be in the file but in
    // no walk of the groups, no chart and no command.
    if (record.tag == kGroupTag && record.key.third == 0 && record.key.extra == 0 &&
        record.bytes.size() < static_cast<size_t>(kGroupRecordSize))
      Refuse(MemberPlace(at, "hex"), "a group record is " + std::to_string(kGroupRecordSize) +
                                         " bytes, found " + std::to_string(record.bytes.size()));
    // A layer's entries are whole entry records, at most as many as a frame counts: a
    // frame would cut the rest off when it is saved.
    if (record.tag == kMusicTag && !WholeLayer(record.bytes))
      Refuse(MemberPlace(at, "hex"), "a layer record is whole entries of " +
                                         std::to_string(kEntrySize) + " bytes, at most " +
                                         std::to_string(kMaxEntries) + " of them, found " +
                                         std::to_string(record.bytes.size()) + " bytes");
    if (!seen.emplace(record.tag, record.key.Packed()).second)
      Refuse(at, "the same record (tag and key) is given twice");
    records.push_back(std::move(record));
  }
  return records;
}

// Refuses a record that a member gives whole and a raw record gives again: one of the two
// would be lost without a word, as with a member given twice.
void RefuseGivenTwice(const std::vector<RawRecord>& raw, const std::vector<WholeRecord>& whole) {
  if (raw.empty() || whole.empty()) return;
  std::map<std::pair<uint32_t, uint64_t>, const RawRecord*> byKey;
  for (const RawRecord& record : raw) byKey[{record.tag, record.key.Packed()}] = &record;
  for (const WholeRecord& record : whole) {
    const auto found = byKey.find({record.tag, record.key.Packed()});
    if (found != byKey.end())
      Refuse(record.place, "the same record is given again as " + found->second->place);
  }
}

}  // namespace

RecordStore::Bytes HexBytes(const std::string& text, const std::string& place) {
  if (text.size() % 2 != 0) Refuse(place, "hexadecimal bytes come in pairs of digits");
  RecordStore::Bytes bytes;
  bytes.reserve(text.size() / 2);
  auto digit = [&](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    Refuse(place, std::string("'") + c + "' is not a hexadecimal digit");
  };
  for (size_t i = 0; i < text.size(); i += 2)
    bytes.push_back(static_cast<uint8_t>(digit(text[i]) * 16 + digit(text[i + 1])));
  return bytes;
}

// The selection as a region of the document, refused when it names no music of it.
Region SelectionRegion(const Json& value, const Document& document, const std::string& place) {
  ExpectObject(value, place);
  KnownMembers(value, place,
               {"list", "staves", "slots", "measures", "startPosition", "endPosition"});
  const Json* list = Find(value, "list");
  const Json* staves = Find(value, "staves");
  const Json* slots = Find(value, "slots");
  const Json* measures = Find(value, "measures");
  if (staves && slots) Refuse(place, "give either staves or slots, not both");
  if (!staves && !slots) Refuse(place, "a selection needs its staves (or its slots)");
  if (!measures) Refuse(place, "a selection needs its measures");
  Region region;
  region.startList = region.endList =
      list ? static_cast<uint16_t>(Number(*list, MemberPlace(place, "list"), 0, 0xFFFF)) : 0;
  const std::string listText = "list " + std::to_string(region.startList);
  const int32_t slotCount = SlotCount(document.records, region.startList);
  if (staves) {
    const std::string at = MemberPlace(place, "staves");
    const auto pair = Pair(*staves, at, -32768, 32767);
    const int64_t ends[2] = {pair.first, pair.second};
    int32_t found[2] = {0, 0};
    for (int e = 0; e < 2; ++e) {
      found[e] = SlotOf(document.records, region.startList, static_cast<int16_t>(ends[e]));
      if (found[e] == 0)
        Refuse(IndexPlace(at, static_cast<size_t>(e)),
               "staff " + std::to_string(ends[e]) + " is not in " + listText);
    }
    region.startSlot = static_cast<int16_t>(found[0]);
    region.endSlot = static_cast<int16_t>(found[1]);
    if (region.startSlot > region.endSlot) Refuse(at, "the top staff comes after the bottom staff");
  } else {
    const std::string at = MemberPlace(place, "slots");
    const auto pair = Pair(*slots, at, 1, 0x7FFF);
    region.startSlot = static_cast<int16_t>(pair.first);
    region.endSlot = static_cast<int16_t>(pair.second);
    if (region.startSlot > region.endSlot) Refuse(at, "the top slot comes after the bottom slot");
    if (region.endSlot > slotCount)
      Refuse(IndexPlace(at, region.startSlot > slotCount ? 0 : 1),
             "slot " +
                 std::to_string(region.startSlot > slotCount ? region.startSlot : region.endSlot) +
                 " is outside " + listText + " (" + std::to_string(slotCount) + " staves)");
  }
  const std::string at = MemberPlace(place, "measures");
  const auto pair = Pair(*measures, at, -32768, 32767);
  region.startMeasure = static_cast<int16_t>(pair.first);
  region.endMeasure = static_cast<int16_t>(pair.second);
  const int32_t last = LastMeasure(document.records);
  if (region.startMeasure > region.endMeasure) Refuse(at, "the selection ends before it starts");
  if (region.startMeasure < 1 || region.endMeasure > last)
    Refuse(at, "measures " + std::to_string(pair.first) + "-" + std::to_string(pair.second) +
                   " are outside the document " +
                   (last == 0 ? std::string("(it has no measures)")
                              : "(measures 1 to " + std::to_string(last) + ")"));
  region.startPosition = 0;
  region.endPosition = Region::kMeasureEnd;
  if (const Json* v = Find(value, "startPosition"))
    region.startPosition = static_cast<int32_t>(
        Number(*v, MemberPlace(place, "startPosition"), 0, Region::kMeasureEnd));
  if (const Json* v = Find(value, "endPosition"))
    region.endPosition =
        static_cast<int32_t>(Number(*v, MemberPlace(place, "endPosition"), 0, Region::kMeasureEnd));
  if (region.startMeasure == region.endMeasure && region.startPosition > region.endPosition)
    Refuse(place, "the selection ends before it starts");
  if (!IsValidRegion(document.records, region))
    Refuse(place, "the selection is outside the document");
  return region;
}

// Builds the document from the file's object into a fresh document. The writer builds
// its schema part alone (without the raw records) to see what it gives back; it passes
// the document written as known, whose staves the raw records will bring.
void Build(const Json& root, Document& document, DocumentFile* info, bool withRecords,
           const Document* known) {
  if (!root.is_object()) Refuse("", "a document is one JSON object, found " + Describe(root));
  KnownMembers(root, "",
               {"format", "host", "measures", "fonts", "fontPrefs", "staves", "instrumentLists",
                "multiStaffInstruments", "parts", "groups", "sideRecords", kNotationMembers[0],
                kNotationMembers[1], kNotationMembers[2], kNotationMembers[3], kNotationMembers[4],
                "music", "selection", "records"});
  if (const Json* format = Find(root, "format")) {
    const std::string& text = ExpectString(*format, "format");
    if (text != kDocumentFormat)
      Refuse("format", "unknown format \"" + text + "\" (this host reads " + kDocumentFormat + ")");
  }
  DocumentFile file;
  if (const Json* host = Find(root, "host")) {
    ExpectObject(*host, "host");
    KnownMembers(*host, "host", {"version"});
    if (const Json* version = Find(*host, "version"))
      file.hostVersion = Version(*version, "host.version");
  }

  // Raw records go in first, so that the texts made for names take numbers they do not
  // use, and again last, so that they override what the schema wrote under their keys.
  std::vector<RawRecord> raw;
  if (withRecords)
    if (const Json* records = Find(root, "records")) raw = RawRecords(*records, "records");
  for (const RawRecord& record : raw) document.records.Put(record.tag, record.key, record.bytes);

  Reader reader{document, {}, {}, {}};
  if (const Json* v = Find(root, "measures")) reader.Measures(*v, "measures");
  if (const Json* v = Find(root, "fonts")) reader.Fonts(*v, "fonts");
  if (const Json* v = Find(root, "fontPrefs")) reader.FontPrefs(*v, "fontPrefs");
  if (const Json* v = Find(root, "staves")) reader.Staves(*v, "staves");
  if (const Json* v = Find(root, "instrumentLists")) reader.InstrumentLists(*v, "instrumentLists");
  if (const Json* v = Find(root, "multiStaffInstruments"))
    reader.MultiStaffInstruments(*v, "multiStaffInstruments");
  if (const Json* v = Find(root, "parts")) ReadParts(*v, "parts", &document);
  if (const Json* v = Find(root, "groups")) reader.Groups(*v, "groups");
  SideRecordProblem sideProblem;
  std::vector<SideRecordPlace> sideRecords;
  if (const Json* v = Find(root, "sideRecords"))
    if (!ReadSideRecords(*v, "sideRecords", &document.records, &sideProblem, &sideRecords))
      Refuse(sideProblem.place, sideProblem.reason);
  for (SideRecordPlace& record : sideRecords)
    reader.whole.push_back({record.tag, record.key, std::move(record.place)});
  NotationReading notation;
  ReadNotationMembers(root, document, &notation);
  if (const Json* v = Find(root, "music")) ReadMusic(*v, "music", document, &notation);
  reader.links.insert(reader.links.end(), notation.links.begin(), notation.links.end());
  reader.whole.insert(reader.whole.end(), notation.whole.begin(), notation.whole.end());
  RefuseGivenTwice(raw, reader.whole);

  for (const RawRecord& record : raw) document.records.Put(record.tag, record.key, record.bytes);
  for (const NameLink& link : reader.links) {
    const RecordStore::Bytes* bytes = document.records.Find(link.tag, link.key);
    if (!bytes || bytes->size() < static_cast<size_t>(link.offset + 2) ||
        fxt::GetU16(bytes->data(), static_cast<size_t>(link.offset)) == link.block)
      continue;
    RecordStore::Bytes patched = *bytes;
    fxt::PutU16(patched.data(), static_cast<size_t>(link.offset), link.block);
    document.records.Put(link.tag, link.key, std::move(patched));
  }

  const BuiltDocument lookup{document, known};
  for (const StaffReference& reference : reader.staffReferences)
    if (!lookup.Staff(reference.staff))
      Refuse(reference.place, "staff " + std::to_string(reference.staff) + " does not exist");
  for (const auto& check : notation.checks) check(lookup);

  if (const Json* v = Find(root, "selection")) {
    if (!SetSelection(document, SelectionRegion(*v, document, "selection")))
      Refuse("selection", "the selection is outside the document");
  }
  if (info) *info = file;
}

namespace {

// A place or a reason may quote the file's texts: its control characters are escaped
// before they reach a terminal.
bool Refused(const std::string& file, DocumentError* error, const std::string& place,
             const std::string& reason) {
  if (error) *error = DocumentError{file, EscapeControls(place), EscapeControls(reason)};
  return false;
}

}  // namespace

bool ParseDocument(const std::string& text, const std::string& file, Document* document,
                   DocumentFile* info, DocumentError* error) {
  auto refused = [&](const std::string& place, const std::string& reason) {
    return Refused(file, error, place, reason);
  };
  Json root;
  try {
    root = ParseStrictJson(text);
  } catch (const Refusal& refusal) {
    return refused(refusal.place, refusal.reason);
  }
  return BuildDocument(root, file, document, info, error);
}

bool BuildDocument(const Json& root, const std::string& file, Document* document,
                   DocumentFile* info, DocumentError* error) {
  auto refused = [&](const std::string& place, const std::string& reason) {
    return Refused(file, error, place, reason);
  };
  Document built;
  DocumentFile builtInfo;
  try {
    Build(root, built, &builtInfo, true);
  } catch (const Refusal& refusal) {
    return refused(refusal.place, refusal.reason);
  } catch (const Json::exception& e) {
    return refused("", std::string("cannot be read: ") + e.what());
  }
  AdoptBuilt(built, document);
  if (info) *info = builtInfo;
  return true;
}

void AdoptBuilt(Document& built, Document* document) {
  document->records = std::move(built.records);
  document->fonts = std::move(built.fonts);
  std::copy(std::begin(built.selection), std::end(built.selection),
            std::begin(document->selection));
  document->hasSelection = built.hasSelection;
  document->parts = std::move(built.parts);
}

bool ReadDocumentFile(const std::string& path, Document* document, DocumentFile* info,
                      DocumentError* error) {
  auto refused = [&](const std::string& reason) {
    if (error) *error = DocumentError{path, "", reason};
    return false;
  };
  // A directory opens as a file on POSIX and reads as nothing, which would pass for an
  // empty document.
  std::error_code ignored;
  if (std::filesystem::is_directory(path, ignored)) return refused("is a directory");
  errno = 0;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (!in) return refused(std::string("cannot be read: ") + std::strerror(errno));
  std::string text;
  char chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
  const bool failed = std::ferror(in) != 0;
  const int reason = errno;
  std::fclose(in);
  if (failed) return refused(std::string("cannot be read: ") + std::strerror(reason));
  return ParseDocumentOrScore(text, path, document, info, error, nullptr);
}

}  // namespace fxthost
