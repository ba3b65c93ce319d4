// What the readers and writers of a document file's members share: the JSON type, the
// refusal that carries a place and a reason to the reader's entry, and the checks that
// read a member or refuse it. Defined in docfile.cpp; the members of each kind of
// content are read and written in files of their own (docfile_*.cpp).
#pragma once

#include <nlohmann/json.hpp>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

namespace fxthost {

using Json = nlohmann::ordered_json;

// Raised inside the reader and caught at its entry: the place and the reason.
struct Refusal {
  std::string place;
  std::string reason;
};

[[noreturn]] void Refuse(const std::string& place, const std::string& reason);

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
// The member, or null.
const Json* Find(const Json& object, const char* name);
// A whole number within [low, high].
int64_t Number(const Json& value, const std::string& place, int64_t low, int64_t high);
int16_t Int16(const Json& value, const std::string& place);
// [first, last]: two whole numbers within [low, high].
std::pair<int64_t, int64_t> Pair(const Json& value, const std::string& place, int64_t low,
                                 int64_t high);

}  // namespace fxthost
