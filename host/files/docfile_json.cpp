// The refusal and the checks that the readers of a document file's members share
// (declared in docfile_json.h): each reads one JSON value or refuses it with its place
// and a reason; and the strict parse of the whole text that comes before them. The document format
// is described in docs/fxthost.md.
#include "host/files/docfile_json.h"

#include <cctype>
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "host/store/score.h"

namespace fxthost {

[[noreturn]] void Refuse(const std::string& place, const std::string& reason) {
  throw Refusal{place, reason};
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

namespace {

// What the JSON parser alone would let through: a member named twice in one object (the
// parser keeps the last and drops the earlier without a word) and a text holding U+0000
// (names are stored as terminated texts, so it would cut them short). The parser reports
// every key and value to this check as it reads them; the check keeps the path to the
// current value, one step per open object or array, so that a refusal names its place.
class StrictJson {
 public:
  bool operator()(int /*depth*/, nlohmann::json::parse_event_t event, Json& parsed) {
    using Event = nlohmann::json::parse_event_t;
    switch (event) {
      case Event::object_start:
      case Event::array_start:
        steps_.push_back(Step{event == Event::object_start, {}, std::string(), 0});
        break;
      case Event::key: {
        const std::string& name = parsed.get_ref<const std::string&>();
        Step& step = steps_.back();
        step.key = name;
        if (name.find('\0') != std::string::npos)
          Refuse(Place(), "a member name cannot hold the character U+0000");
        if (!step.keys.insert(name).second) Refuse(Place(), "this member is given twice");
        break;
      }
      case Event::value:
        if (parsed.is_string() &&
            parsed.get_ref<const std::string&>().find('\0') != std::string::npos)
          Refuse(Place(), "a text cannot hold the character U+0000");
        Advance();
        break;
      case Event::object_end:
      case Event::array_end:
        steps_.pop_back();
        Advance();
        break;
    }
    return true;
  }

 private:
  struct Step {
    bool object;
    std::set<std::string> keys;  // the members of an object so far
    std::string key;             // the member being read
    size_t index;                // the element being read
  };

  // After a value: the next element of an array.
  void Advance() {
    if (!steps_.empty() && !steps_.back().object) ++steps_.back().index;
  }

  // The place of the value being read, in the form the reader's refusals use.
  std::string Place() const {
    std::string place;
    for (const Step& step : steps_) {
      if (!step.object) {
        place = IndexPlace(place, step.index);
        continue;
      }
      bool word = !step.key.empty() && std::isalpha(static_cast<unsigned char>(step.key[0]));
      for (char c : step.key) word = word && std::isalnum(static_cast<unsigned char>(c));
      place = word ? MemberPlace(place, step.key) : KeyPlace(place, step.key);
    }
    return place;
  }

  std::vector<Step> steps_;
};

// "line 3, column 7" of a byte offset into the text.
std::string LineAndColumn(const std::string& text, size_t offset) {
  size_t line = 1, column = 1;
  for (size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') {
      ++line;
      column = 1;
    } else if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
      ++column;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(column);
}

}  // namespace

Json ParseStrictJson(const std::string& text) {
  try {
    return Json::parse(text, StrictJson());
  } catch (const Json::parse_error& e) {
    // The library's message reads "[json.exception.parse_error.101] parse error at line
    // 1, column 2: syntax error while parsing ..."; the reason is what follows the place.
    std::string reason = e.what();
    const size_t colon = reason.find(": ", reason.find("parse error"));
    reason = colon == std::string::npos ? reason : reason.substr(colon + 2);
    Refuse(LineAndColumn(text, e.byte > 0 ? e.byte - 1 : 0), "malformed JSON: " + reason);
  }
}

}  // namespace fxthost
