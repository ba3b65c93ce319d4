// What the readers and writers of a document file's members share: the JSON type, the
// refusal that carries a place and a reason to the reader's entry, and the checks that
// read a member or refuse it. Defined in docfile_json.cpp (the strict parse of the
// text in docfile_parse.cpp); the members of each kind of content are read and written
// in files of their own (docfile_*.cpp). The document format is described in
// docs/fxthost.md.
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/store/document.h"

namespace fxthost {

using Json = nlohmann::ordered_json;

// Room for every member a document's own object can have (the reader knows 19). An
// object's members are a vector that copies them all, values included, when it grows,
// so the readers and the writer give the document's object this room from the start.
constexpr size_t kRootMembers = 32;

// Raised inside the reader and caught at its entry: the place and the reason.
struct Refusal {
  std::string place;
  std::string reason;
};

[[noreturn]] void Refuse(const std::string& place, const std::string& reason);

// The text as JSON, refused (Refuse) with the line and column of a syntax error, a
// number beyond a double's range or a NUL byte, or with the place of what the JSON
// parser alone would let through: a member given twice in one object, a text holding
// U+0000, a number too small for a double (docfile_parse.cpp).
Json ParseStrictJson(const std::string& text);

// The text with its control characters written as \u001b and a byte that is not part of
// a UTF-8 character as \xff, so that a place or a reason that quotes the file can be
// shown at a terminal.
std::string EscapeControls(const std::string& text);

// "place.name", "place[3]", "place[\"key\"]".
std::string MemberPlace(const std::string& place, const std::string& name);
std::string IndexPlace(const std::string& place, size_t index);
std::string KeyPlace(const std::string& place, const std::string& key);

std::string Describe(const Json& value);
void ExpectObject(const Json& value, const std::string& place);
void ExpectArray(const Json& value, const std::string& place);
const std::string& ExpectString(const Json& value, const std::string& place);
// Refuses every member of the object that is not one of the names.
void KnownMembers(const Json& object, const std::string& place,
                  std::initializer_list<const char*> names);
// An array of objects, each checked for known members; calls read(object, place) for each.
void EachObject(const Json& value, const std::string& place,
                std::initializer_list<const char*> members,
                const std::function<void(const Json&, const std::string&)>& read);
// The member, or null.
const Json* Find(const Json& object, const char* name);
// A whole number within [low, high].
int64_t Number(const Json& value, const std::string& place, int64_t low, int64_t high);
int16_t Int16(const Json& value, const std::string& place);
// [first, last]: two whole numbers within [low, high].
std::pair<int64_t, int64_t> Pair(const Json& value, const std::string& place, int64_t low,
                                 int64_t high);
// A member name that is a number ("33"): decimal digits without a sign or leading zero,
// within [low, high].
// A staff number from 1 whose staff record is in the document.
bool StaffExists(const Document& document, int16_t staff);

int64_t NumberKey(const std::string& key, const std::string& place, int64_t low, int64_t high);

// A word of a record that names a text block made for the file's text: after the raw
// records are applied, it is pointed at that block.
struct NameLink {
  uint32_t tag;
  DataKey key;
  int offset;
  uint16_t block;
};

// Where the checks of a reading look up what the file names: the document built and,
// while the writer reads back what it wrote by name, the document it writes, whose
// records the written file's raw records bring.
struct BuiltDocument {
  const Document& built;
  const Document* known;
  bool Staff(int16_t staff) const {
    return StaffExists(built, staff) || (known && StaffExists(*known, staff));
  }
  bool Record(uint32_t tag, const DataKey& key) const {
    return built.records.Contains(tag, key) || (known && known->records.Contains(tag, key));
  }
};

// A record that a member gives whole, and where: a raw record under the same tag and key
// would give the same record a second time.
struct WholeRecord {
  uint32_t tag;
  DataKey key;
  std::string place;
};

// What the readers of the notation members hand back to the document reader: the name
// words to point at their blocks, the checks that can run only once the raw records are
// in (a definition, staff or staff list the file names where it must exist), and the
// records they give whole.
struct NotationReading {
  std::vector<NameLink> links;
  std::vector<std::function<void(const BuiltDocument&)>> checks;
  std::vector<WholeRecord> whole;
};

// What the writers of the notation members stand for in a written file: the text
// blocks whose texts they wrote, and the record words that name those blocks (which
// reading gives new numbers).
struct NotationCoverage {
  std::vector<uint16_t> blocks;
  // (tag, packed key) -> the offset of the record's name word.
  std::map<std::pair<uint32_t, uint64_t>, int> nameWords;
};

// The member names the notation readers take, in the order they are written.
extern const char* const kNotationMembers[5];

// Reads the notation members of the file's object into the document (docfile_notation.cpp
// and the files it calls).
void ReadNotationMembers(const Json& root, Document& document, NotationReading* reading);
// Writes the notation members the document's records can say into root.
void WriteNotationMembers(const Document& document, Json* root, NotationCoverage* coverage);

}  // namespace fxthost
