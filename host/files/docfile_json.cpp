// The refusal and the checks that the readers of a document file's members share
// (declared in docfile_json.h): each reads one JSON value or refuses it with its place
// and a reason. The strict parse of the whole text that comes before them is in
// docfile_parse.cpp. The document format is described in docs/fxthost.md.
#include "host/files/docfile_json.h"

#include <cmath>
#include <string>

#include "host/store/score.h"

namespace fxthost {

[[noreturn]] void Refuse(const std::string& place, const std::string& reason) {
  throw Refusal{place, reason};
}

namespace {

// The length of the UTF-8 character that starts at text[i], or 0 when the bytes there
// are not one.
size_t CharacterLength(const std::string& text, size_t i) {
  const unsigned char lead = static_cast<unsigned char>(text[i]);
  const size_t length = lead < 0x80   ? 1
                        : lead < 0xC2 ? 0
                        : lead < 0xE0 ? 2
                        : lead < 0xF0 ? 3
                        : lead < 0xF5 ? 4
                                      : 0;
  if (i + length > text.size()) return 0;
  for (size_t k = 1; k < length; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  return length;
}

}  // namespace

std::string EscapeControls(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < text.size();) {
    const size_t length = CharacterLength(text, i);
    const unsigned lead = static_cast<unsigned char>(text[i]);
    // U+0080 to U+009F are 0xC2 and the code's own byte.
    const unsigned code =
        length == 2 && lead == 0xC2 ? static_cast<unsigned char>(text[i + 1]) : lead;
    if (length == 0) {
      out += std::string("\\x") + kHex[lead >> 4] + kHex[lead & 15];
      ++i;
      continue;
    }
    if ((length == 1 || lead == 0xC2) && (code < 0x20 || (code >= 0x7F && code <= 0x9F)))
      out += std::string("\\u00") + kHex[code >> 4] + kHex[code & 15];
    else
      out.append(text, i, length);
    i += length;
  }
  return out;
}

std::string MemberPlace(const std::string& place, const std::string& name) {
  return place.empty() ? name : place + "." + name;
}
std::string IndexPlace(const std::string& place, size_t index) {
  return place + "[" + std::to_string(index) + "]";
}
std::string KeyPlace(const std::string& place, const std::string& key) {
  return place + "[\"" + key + "\"]";
}

std::string Describe(const Json& value) {
  switch (value.type()) {
    case Json::value_t::object:
      return "an object";
    case Json::value_t::array:
      return "an array";
    case Json::value_t::string:
      return "a string";
    case Json::value_t::boolean:
      return "true or false";
    case Json::value_t::null:
      return "null";
    default:
      return "a number";
  }
}

void ExpectObject(const Json& value, const std::string& place) {
  if (!value.is_object()) Refuse(place, "expected an object, found " + Describe(value));
}
void ExpectArray(const Json& value, const std::string& place) {
  if (!value.is_array()) Refuse(place, "expected an array, found " + Describe(value));
}
const std::string& ExpectString(const Json& value, const std::string& place) {
  if (!value.is_string()) Refuse(place, "expected a string, found " + Describe(value));
  return value.get_ref<const std::string&>();
}

// Refuses every member of the object that is not one of the names.
void KnownMembers(const Json& object, const std::string& place,
                  std::initializer_list<const char*> names) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool known = false;
    for (const char* name : names) known = known || it.key() == name;
    if (known) continue;
    std::string list;
    for (const char* name : names) list += std::string(list.empty() ? "" : ", ") + name;
    Refuse(MemberPlace(place, it.key()), "unknown member (known here: " + list + ")");
  }
}

void EachObject(const Json& value, const std::string& place,
                std::initializer_list<const char*> members,
                const std::function<void(const Json&, const std::string&)>& read) {
  ExpectArray(value, place);
  for (size_t i = 0; i < value.size(); ++i) {
    const std::string at = IndexPlace(place, i);
    ExpectObject(value[i], at);
    KnownMembers(value[i], at, members);
    read(value[i], at);
  }
}

const Json* Find(const Json& object, const char* name) {
  auto it = object.find(name);
  return it == object.end() ? nullptr : &*it;
}

// A whole number within [low, high].
int64_t Number(const Json& value, const std::string& place, int64_t low, int64_t high) {
  int64_t number = 0;
  bool fits = true;
  if (value.is_number_unsigned()) {
    const uint64_t u = value.get<uint64_t>();
    fits = u <= static_cast<uint64_t>(high);
    number = fits ? static_cast<int64_t>(u) : 0;
  } else if (value.is_number_integer()) {
    number = value.get<int64_t>();
  } else if (value.is_number_float()) {
    const double d = value.get<double>();
    if (!std::isfinite(d) || d != std::floor(d))
      Refuse(place, "expected a whole number, found " + value.dump());
    fits = d >= static_cast<double>(low) && d <= static_cast<double>(high);
    number = fits ? static_cast<int64_t>(d) : 0;
  } else {
    Refuse(place, "expected a whole number, found " + Describe(value));
  }
  if (!fits || number < low || number > high)
    Refuse(place, value.dump() + " does not fit here (" + std::to_string(low) + " to " +
                      std::to_string(high) + ")");
  return number;
}

int16_t Int16(const Json& value, const std::string& place) {
  return static_cast<int16_t>(Number(value, place, -32768, 32767));
}

// [first, last]: two whole numbers within [low, high].
std::pair<int64_t, int64_t> Pair(const Json& value, const std::string& place, int64_t low,
                                 int64_t high) {
  if (!value.is_array() || value.size() != 2)
    Refuse(place, "expected two numbers [first, last], found " +
                      (value.is_array() ? "an array of " + std::to_string(value.size())
                                        : Describe(value)));
  return {Number(value[0], IndexPlace(place, 0), low, high),
          Number(value[1], IndexPlace(place, 1), low, high)};
}

// A member name that is a number ("33"): decimal digits without a sign or leading zero.
int64_t NumberKey(const std::string& key, const std::string& place, int64_t low, int64_t high) {
  bool digits = !key.empty() && key.size() <= 10 && (key == "0" || key[0] != '0');
  for (char c : key) digits = digits && c >= '0' && c <= '9';
  if (!digits) Refuse(place, "expected a number as the member name");
  const int64_t number = std::stoll(key);
  if (number < low || number > high)
    Refuse(place, key + " does not fit here (" + std::to_string(low) + " to " +
                      std::to_string(high) + ")");
  return number;
}

bool StaffExists(const Document& document, int16_t staff) {
  return staff > 0 &&
         document.records.Contains(kStaffTag, DataKey::Of(static_cast<uint16_t>(staff)));
}

}  // namespace fxthost
