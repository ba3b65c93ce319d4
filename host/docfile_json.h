// What every reader of a kind of document content shares (host/docfile.cpp and the
// docfile_*.cpp beside it): the JSON type, the places of values in the file
// (groups[2].staves[1]), and refusing a value with the reason.
//
// A reader refuses by calling Refuse, which throws a Refusal; the file's reader catches
// it at its entry and reports "file: place: reason" with the document left as it was.
#pragma once

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace fxthost {
namespace docjson {

using Json = nlohmann::ordered_json;

// Raised inside the reader and caught at its entry: the place and the reason.
struct Refusal {
  std::string place;
  std::string reason;
};

[[noreturn]] void Refuse(const std::string& place, const std::string& reason);

// The place of a member (a.b), an element (a[2]) and a member named by a key (a["33"]).
std::string MemberPlace(const std::string& place, const std::string& name);
std::string IndexPlace(const std::string& place, size_t index);
std::string KeyPlace(const std::string& place, const std::string& key);

// "an object", "a string", ... for messages.
std::string Describe(const Json& value);

// Refuse the value unless it is of the kind named.
void ExpectObject(const Json& value, const std::string& place);
void ExpectArray(const Json& value, const std::string& place);
const std::string& ExpectString(const Json& value, const std::string& place);

// Refuses every member of the object that is not one of the names.
void KnownMembers(const Json& object, const std::string& place,
                  std::initializer_list<const char*> names);
// The member of that name, or null.
const Json* Find(const Json& object, const char* name);

// A whole number within [low, high].
int64_t Number(const Json& value, const std::string& place, int64_t low, int64_t high);
int16_t Int16(const Json& value, const std::string& place);
// [first, last]: two whole numbers within [low, high].
std::pair<int64_t, int64_t> Pair(const Json& value, const std::string& place, int64_t low,
                                 int64_t high);
// A member name that is a number ("33"): decimal digits without a sign or leading zero.
int64_t NumberKey(const std::string& key, const std::string& place, int64_t low, int64_t high);

}  // namespace docjson
}  // namespace fxthost
