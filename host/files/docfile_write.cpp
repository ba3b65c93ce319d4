// Writing a document file (docfile.h): the members the schema can say, written by name,
// every other record as a raw record, in the layout that docs/fxthost.md describes
// ("Writing"); and saving a file whole or not at all.
#include "host/files/docfile.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <set>
#include <unordered_set>
#include <utility>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/files/docfile_json.h"
#include "host/files/docfile_music.h"
#include "host/files/docfile_parts.h"
#include "host/files/docfile_read.h"
#include "host/files/docfile_siderecords.h"
#include "host/files/docfile_textblocks.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace fxthost {

std::string HexText(const RecordStore::Bytes& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

namespace {

std::string Hex32(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
  return text;
}

std::string TagText(uint32_t tag) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>((tag >> shift) & 0xFF);
  return text;
}

bool IsPlainKey(const DataKey& key) { return key.second == 0 && key.third == 0 && key.extra == 0; }

// --- The layout ------------------------------------------------------------------

// A value is written on one line when it is a scalar, an array of scalars, or an object
// whose members are scalars or arrays of scalars; otherwise one member or element a line.
bool IsScalarArray(const Json& value) {
  if (!value.is_array()) return false;
  for (const Json& element : value)
    if (element.is_structured()) return false;
  return true;
}

bool IsFlat(const Json& value) {
  if (!value.is_structured()) return true;
  if (value.is_array()) return IsScalarArray(value);
  for (const Json& member : value)
    if (member.is_structured() && !IsScalarArray(member)) return false;
  return true;
}

std::string Scalar(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

// Appends a text as JSON writes it. A text of printable ASCII without quote or backslash
// (every member name, most texts) is written as it is, without a JSON value and a dump
// for it; any other goes through the dump, which escapes it.
void AppendText(const std::string& text, std::string* out) {
  for (const char c : text)
    if (c < 0x20 || c > 0x7E || c == '"' || c == '\\') {
      *out += Scalar(Json(text));
      return;
    }
  *out += '"';
  *out += text;
  *out += '"';
}

// Appends a scalar as the dump writes it; whole numbers and texts without the dump.
void AppendScalar(const Json& value, std::string* out) {
  char digits[24];
  if (value.is_number_integer() || value.is_number_unsigned()) {
    const auto end = value.is_number_unsigned()
                         ? std::to_chars(digits, digits + sizeof digits, value.get<uint64_t>())
                         : std::to_chars(digits, digits + sizeof digits, value.get<int64_t>());
    out->append(digits, end.ptr);
  } else if (value.is_string()) {
    AppendText(value.get_ref<const std::string&>(), out);
  } else {
    *out += Scalar(value);
  }
}

void WriteFlat(const Json& value, std::string* out) {
  if (value.is_array()) {
    *out += '[';
    bool first = true;
    for (const Json& element : value) {
      if (!first) *out += ", ";
      first = false;
      WriteFlat(element, out);
    }
    *out += ']';
  } else if (value.is_object()) {
    if (value.empty()) {
      *out += "{}";
      return;
    }
    *out += "{ ";
    bool first = true;
    for (auto it = value.begin(); it != value.end(); ++it) {
      if (!first) *out += ", ";
      first = false;
      AppendText(it.key(), out);
      *out += ": ";
      WriteFlat(it.value(), out);
    }
    *out += " }";
  } else {
    AppendScalar(value, out);
  }
}

void WriteValue(const Json& value, int indent, std::string* out) {
  if ((IsFlat(value) && indent > 0) || value.empty()) {
    WriteFlat(value, out);
    return;
  }
  const std::string inner(static_cast<size_t>(indent + 2), ' ');
  const bool array = value.is_array();
  *out += array ? "[\n" : "{\n";
  bool first = true;
  for (auto it = value.begin(); it != value.end(); ++it) {
    if (!first) *out += ",\n";
    first = false;
    *out += inner;
    if (!array) {
      AppendText(it.key(), out);
      *out += ": ";
    }
    WriteValue(it.value(), indent + 2, out);
  }
  *out += "\n" + std::string(static_cast<size_t>(indent), ' ') + (array ? "]" : "}");
}

// --- The schema part -------------------------------------------------------------

// A set of 16-bit numbers, a bit each (8 KB): checking every record of a large document
// against it costs a step that stays in the cache, where a hashed set of tens of
// thousands of numbers would miss it at random.
class NumberSet {
 public:
  void Insert(uint16_t n) { bits_[n >> 6] |= uint64_t{1} << (n & 63); }
  void Erase(uint16_t n) { bits_[n >> 6] &= ~(uint64_t{1} << (n & 63)); }
  bool Contains(uint16_t n) const { return (bits_[n >> 6] >> (n & 63)) & 1; }

 private:
  std::vector<uint64_t> bits_ = std::vector<uint64_t>(0x10000 / 64);
};

// Which records the schema part of a saved document stands for.
struct Coverage {
  NumberSet blocks;                          // text blocks behind the names written
  std::map<uint32_t, NumberSet> texts;       // their raw texts, by tag
  NumberSet namedStaves;                     // staff records written by name (plain keys)
  std::unordered_set<uint64_t> namedGroups;  // group records written by name (keys)
  NotationCoverage notation;                 // text blocks and name words of notation
  MusicCoverage music;                       // the records the music member stands for

  bool CoversText(uint32_t tag, uint16_t number) const {
    const auto found = texts.find(tag);
    return found != texts.end() && found->second.Contains(number);
  }
};

// Adds a name block to the coverage; its text is the one to write.
void CoverBlock(const Document& document, uint16_t block, Coverage* coverage) {
  const RecordStore::Bytes* record = document.records.Find(kTextBlockTag, DataKey::Of(block));
  if (!record || record->size() < static_cast<size_t>(kTextBlockSize)) return;
  coverage->blocks.Insert(block);
  coverage->texts[RawTextTagOfType(fxt::GetU16(record->data(), 24))].Insert(
      static_cast<uint16_t>(fxt::GetS16(record->data(), 0)));
}

// The measure as the schema writes it; 4/4 in C when its record cannot be read.
MeasureSpec ReadMeasure(const Document& document, int32_t measure) {
  MeasureSpec spec;
  const RecordStore::Bytes* record =
      document.records.Find(kMeasureTag, DataKey::Of(static_cast<uint16_t>(measure)));
  if (record && record->size() >= static_cast<size_t>(kMeasureBeatDurationOffset + 2)) {
    spec.key = fxt::GetS16(record->data(), kMeasureKeyOffset);
    spec.beats = fxt::GetS16(record->data(), kMeasureBeatsOffset);
    spec.beatDuration = fxt::GetS16(record->data(), kMeasureBeatDurationOffset);
  }
  return spec;
}

// "measures": a count when every measure is 4/4 in C, else each measure; null for none.
Json MeasuresMember(const Document& document) {
  const int32_t last = LastMeasure(document.records);
  if (last <= 0) return Json();
  std::vector<MeasureSpec> measures;
  bool plain = true;
  for (int32_t m = 1; m <= last; ++m) {
    measures.push_back(ReadMeasure(document, m));
    const MeasureSpec& spec = measures.back();
    plain = plain && spec.beats == 4 && spec.beatDuration == 1024 && spec.key == 0;
  }
  if (plain) return last;
  Json list = Json::array();
  for (const MeasureSpec& spec : measures)
    list.push_back(
        Json{{"beats", spec.beats}, {"beatDuration", spec.beatDuration}, {"key", spec.key}});
  return list;
}

// "fonts": the font table, or null when it is the default one.
Json FontsMember(const Document& document) {
  if (document.fonts == DefaultFontTable()) return Json();
  Json fonts = Json::array();
  for (const auto& font : document.fonts)
    if (font.first >= 0 && font.first <= 0x7FFF && !font.second.empty())
      fonts.push_back(Json{{"id", font.first}, {"name", font.second}});
  return fonts;
}

// "fontPrefs": the font preference records by number, or null for none.
Json FontPrefsMember(const Document& document) {
  Json prefs = Json::object();
  document.records.ForEach(kFontPrefsTag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
    if (!IsPlainKey(key) || bytes.size() != static_cast<size_t>(kFontPrefsSize)) return;
    prefs[std::to_string(key.first)] = Json{{"font", fxt::GetS16(bytes.data(), 0)},
                                            {"size", fxt::GetS16(bytes.data(), 2)},
                                            {"effects", fxt::GetU16(bytes.data(), 4)}};
  });
  return prefs.empty() ? Json() : prefs;
}

// "staves": the score order with the staves' names, when it can be written as staves
// (staff numbers from 1, each once); else null.
Json StavesMember(const Document& document, Coverage* coverage) {
  const std::vector<int16_t> order = ReadInstrumentList(document, 0);
  bool orderWritable = !order.empty();
  std::vector<bool> inOrder(0x10000, false);  // by the staff number's 16 bits
  // Every staff of it must have its record: reading "staves" makes one for each.
  for (int16_t staff : order) {
    const uint16_t bit = static_cast<uint16_t>(staff);
    orderWritable = orderWritable && StaffExists(document, staff) && !inOrder[bit];
    inOrder[bit] = true;
  }
  if (!orderWritable) return Json();
  Json staves = Json::array();
  for (int16_t staff : order) {
    Json entry{{"id", staff}};
    StaffInfo staffInfo;
    if (ReadStaff(document, staff, &staffInfo) &&
        WriteTextMembers(document, staffInfo.nameBlock, kNameMembers, kNameTextType, &entry))
      CoverBlock(document, staffInfo.nameBlock, coverage);
    coverage->namedStaves.Insert(static_cast<uint16_t>(staff));
    staves.push_back(std::move(entry));
  }
  return staves;
}

// "instrumentLists": the staff lists other than the score order whose staves all exist,
// each once; null for none.
Json InstrumentListsMember(const Document& document) {
  Json lists = Json::object();
  for (uint16_t list : InstrumentListNumbers(document)) {
    if (list == 0) continue;
    const std::vector<int16_t> staves = ReadInstrumentList(document, list);
    std::set<int16_t> seen;
    bool writable = !staves.empty();
    for (int16_t staff : staves)
      writable = writable && StaffExists(document, staff) && seen.insert(staff).second;
    if (writable) lists[std::to_string(list)] = staves;
  }
  return lists.empty() ? Json() : lists;
}

// "multiStaffInstruments": each instrument once; null for none.
Json MultiStaffInstrumentsMember(const Document& document) {
  Json instruments = Json::array();
  std::set<uint16_t> instrumentIds;
  for (const MultiStaffInstrument& instrument : ReadMultiStaffInstruments(document)) {
    if (!instrumentIds.insert(instrument.id).second) continue;
    instruments.push_back(
        Json{{"id", instrument.id},
             {"staves", {instrument.staves[0], instrument.staves[1], instrument.staves[2]}}});
  }
  return instruments.empty() ? Json() : instruments;
}

// The group as a member of "groups", or null when the schema cannot say it (its key is
// (0, 0), a staff of it does not exist or its measures are not a range from 1): it is
// then kept as a raw record.
Json GroupEntry(const Document& document, const GroupRecord& group, Coverage* coverage) {
  if ((group.first == 0 && group.number == 0) || !StaffExists(document, group.startStaff) ||
      !StaffExists(document, group.endStaff) || group.startMeasure < 1 ||
      group.endMeasure < group.startMeasure)
    return Json();
  Json entry = Json::object();
  if (group.first == 0)
    entry["id"] = group.number;
  else
    entry["key"] = {group.first, group.number};
  entry["staves"] = {group.startStaff, group.endStaff};
  entry["measures"] = {group.startMeasure, group.endMeasure};
  GroupNames names;
  if (ReadGroupNames(document, group.first, group.number, &names)) {
    if (WriteTextMembers(document, names.fullBlock, kNameMembers, kNameTextType, &entry))
      CoverBlock(document, names.fullBlock, coverage);
    if (WriteTextMembers(document, names.abbreviatedBlock, kAbbreviationMembers, kNameTextType,
                         &entry))
      CoverBlock(document, names.abbreviatedBlock, coverage);
  }
  entry["offset6"] = group.offset6;
  // A style word whose value has no name is left to the raw record.
  if (const char* name = StyleNameOf(kBracketStyles, group.bracket); name && group.bracket)
    entry["bracket"] = name;
  if (const char* name = StyleNameOf(kBarlineModes, group.barline); name && group.barline)
    entry["barline"] = name;
  coverage->namedGroups.insert(DataKey::Of(group.first, group.number).Packed());
  return entry;
}

// "groups": the groups the schema can say, in the host's order; null for none.
Json GroupsMember(const Document& document, Coverage* coverage) {
  Json groups = Json::array();
  for (const GroupRecord& group : ReadGroups(document)) {
    Json entry = GroupEntry(document, group, coverage);
    if (!entry.is_null()) groups.push_back(std::move(entry));
  }
  return groups.empty() ? Json() : groups;
}

// Sets the member unless the value is null (a member the document has nothing for).
void PutMember(Json* root, const char* name, Json value) {
  if (!value.is_null()) (*root)[name] = std::move(value);
}

// What the schema says of the document by name, members in the order they are always
// written (FormatDocument adds the music, the selection and the raw records after them);
// the coverage says which records it stands for.
Json SchemaPart(const Document& document, const DocumentFile& info, Coverage* coverage) {
  Json root = Json::object();
  root.get_ref<Json::object_t&>().reserve(kRootMembers);
  root["format"] = kDocumentFormat;
  if (info.hostVersion) root["host"] = Json{{"version", Hex32(*info.hostVersion)}};
  PutMember(&root, "measures", MeasuresMember(document));
  PutMember(&root, "fonts", FontsMember(document));
  PutMember(&root, "fontPrefs", FontPrefsMember(document));
  PutMember(&root, "staves", StavesMember(document, coverage));
  PutMember(&root, "instrumentLists", InstrumentListsMember(document));
  PutMember(&root, "multiStaffInstruments", MultiStaffInstrumentsMember(document));
  PutMember(&root, "parts", WriteParts(document));
  PutMember(&root, "groups", GroupsMember(document, coverage));
  Json sideRecords = SideRecordsMember(document.records);
  if (!sideRecords.empty()) root["sideRecords"] = sideRecords;
  WriteNotationMembers(document, &root, &coverage->notation);
  for (uint16_t block : coverage->notation.blocks) CoverBlock(document, block, coverage);
  return root;
}

// The selection as the schema writes it, or null when the file could not name it.
Json SelectionPart(const Document& document) {
  if (!document.hasSelection) return Json();
  const Region region = Selection(document);
  Json selection = Json::object();
  selection["list"] = region.startList;
  const int16_t top = StaffAtSlot(document.records, region.startList, region.startSlot);
  const int16_t bottom = StaffAtSlot(document.records, region.startList, region.endSlot);
  if (top > 0 && bottom > 0 &&
      SlotOf(document.records, region.startList, top) == region.startSlot &&
      SlotOf(document.records, region.startList, bottom) == region.endSlot)
    selection["staves"] = {top, bottom};
  else
    selection["slots"] = {region.startSlot, region.endSlot};
  selection["measures"] = {region.startMeasure, region.endMeasure};
  selection["startPosition"] = region.startPosition;
  selection["endPosition"] = region.endPosition;
  try {
    if (SelectionRegion(selection, document, "selection") != region) return Json();
  } catch (const Refusal&) {
    return Json();
  }
  return selection;
}

// Zeroes the name words of a staff or group record that the schema names.
// The offsets of the name words the schema writes by name for this record: they are
// left out of comparisons and written as 0 in a raw record. At most three.
struct NameWords {
  int offsets[3];
  int count = 0;
};

NameWords NameWordsOf(uint32_t tag, const DataKey& key, const Coverage& coverage) {
  NameWords words;
  if (tag == kStaffTag && IsPlainKey(key) && coverage.namedStaves.Contains(key.first))
    words.offsets[words.count++] = kStaffNameBlockOffset;
  if (tag == kGroupTag && coverage.namedGroups.count(key.Packed())) {
    words.offsets[words.count++] = kGroupFullNameOffset;
    words.offsets[words.count++] = kGroupAbbreviatedNameOffset;
  }
  const auto word = coverage.notation.nameWords.find({tag, key.Packed()});
  if (word != coverage.notation.nameWords.end()) words.offsets[words.count++] = word->second;
  return words;
}

// The record with its name words set to 0.
RecordStore::Bytes Unnamed(const RecordStore::Bytes& bytes, const NameWords& words) {
  RecordStore::Bytes copy = bytes;
  for (int i = 0; i < words.count; ++i)
    if (copy.size() >= static_cast<size_t>(words.offsets[i] + 2))
      fxt::PutU16(copy.data(), static_cast<size_t>(words.offsets[i]), 0);
  return copy;
}

// Whether two records are the same but for their name words, without copying either.
bool SameUnnamed(const RecordStore::Bytes& a, const RecordStore::Bytes& b, const NameWords& words) {
  if (a.size() != b.size()) return false;
  if (words.count == 0) return a == b;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == b[i]) continue;
    bool named = false;
    for (int w = 0; w < words.count; ++w)
      named = named || (i >= static_cast<size_t>(words.offsets[w]) &&
                        i < static_cast<size_t>(words.offsets[w]) + 2 &&
                        a.size() >= static_cast<size_t>(words.offsets[w] + 2));
    if (!named) return false;
  }
  return true;
}

}  // namespace

std::string FormatDocument(const Document& document, const DocumentFile& info) {
  Coverage coverage;
  Json root = SchemaPart(document, info, &coverage);

  // What the schema part gives when read back: every record of the document that it
  // does not reproduce is written as a raw record.
  Document rebuilt;
  bool schemaTakenBack = true;
  try {
    Build(root, rebuilt, nullptr, false, &document);
  } catch (const Refusal&) {
    // Cannot happen for a schema part this writer made; should it, the document is
    // still written whole, as raw records.
    root = Json::object();
    root["format"] = kDocumentFormat;
    if (info.hostVersion) root["host"] = Json{{"version", Hex32(*info.hostVersion)}};
    if (document.fonts != DefaultFontTable()) {
      Json fonts = Json::array();
      for (const auto& font : document.fonts)
        fonts.push_back(Json{{"id", font.first}, {"name", font.second}});
      root["fonts"] = fonts;
    }
    schemaTakenBack = false;
    coverage = Coverage();
    rebuilt = Document();
    rebuilt.fonts = document.fonts;
  }
  // The music is written as text of its own, and stands for what it writes: the reader
  // takes back whole every layer and position it writes (docfile_music.cpp). Its place
  // among the members is held by a null until the text is put together.
  std::string music;
  if (schemaTakenBack && WriteMusic(document, 2, &music, &coverage.music)) root["music"] = nullptr;
  // A raw text that an unnamed block also reads stays in the file as a raw record.
  document.records.ForEach(kTextBlockTag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
    if (bytes.size() < static_cast<size_t>(kTextBlockSize)) return;
    if (IsPlainKey(key) && coverage.blocks.Contains(key.first)) return;
    const auto texts = coverage.texts.find(RawTextTagOfType(fxt::GetU16(bytes.data(), 24)));
    if (texts != coverage.texts.end())
      texts->second.Erase(static_cast<uint16_t>(fxt::GetS16(bytes.data(), 0)));
  });
  Json selection = SelectionPart(document);
  if (!selection.is_null()) root["selection"] = selection;

  Json records = Json::array();
  document.records.ForEachRecord(
      [&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
        if (tag == kTextBlockTag && IsPlainKey(key) && coverage.blocks.Contains(key.first)) return;
        if (IsRawTextTag(tag) && IsPlainKey(key) && coverage.CoversText(tag, key.first)) return;
        if (coverage.music.Covers(tag, key)) return;
        const NameWords words = NameWordsOf(tag, key, coverage);
        if (tag != kTextBlockTag && !IsRawTextTag(tag)) {
          const RecordStore::Bytes* same = rebuilt.records.Find(tag, key);
          if (same && SameUnnamed(*same, bytes, words)) return;
        }
        Json record = Json::object();
        if (PrintableTag(tag))
          record["tag"] = TagText(tag);
        else
          record["tag"] = tag;
        record["key"] = {key.first, key.second, key.third, key.extra};
        record["hex"] = HexText(Unnamed(bytes, words));
        records.push_back(std::move(record));
      });
  if (!records.empty()) root["records"] = std::move(records);

  // The document's object, one member a line, as WriteValue writes it, with the music's
  // text in its place.
  std::string out = "{\n";
  bool first = true;
  for (auto it = root.begin(); it != root.end(); ++it) {
    if (!first) out += ",\n";
    first = false;
    out += "  ";
    AppendText(it.key(), &out);
    out += ": ";
    if (it.key() == "music")
      out += music;
    else
      WriteValue(it.value(), 2, &out);
  }
  out += "\n}\n";
  return out;
}

bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error) {
  namespace fs = std::filesystem;
  static unsigned counter = 0;
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const std::string temporary =
      path + ".tmp-" + std::to_string(static_cast<unsigned long long>(stamp) % 1000000007ull) +
      "-" + std::to_string(++counter);
  auto fail = [&](const std::string& reason) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    if (error) *error = reason;
    return false;
  };
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return fail("cannot create a file next to " + path);
  const bool written = std::fwrite(content.data(), 1, content.size(), file) == content.size();
  const bool closed = std::fclose(file) == 0;
  if (!written || !closed) return fail("cannot write " + path);
  std::error_code ec;
  fs::rename(temporary, path, ec);
  if (ec) return fail("cannot replace " + path + ": " + ec.message());
  return true;
}

}  // namespace fxthost
