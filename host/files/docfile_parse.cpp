// The strict parse of a document file's text (declared in docfile_json.h): the JSON
// value built from the parser's events, refused where the JSON library alone would let
// the text through or fail without a place. The rules are in docs/fxthost.md (Strict
// JSON, Refusals).
#include <cctype>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/files/docfile_json.h"

namespace fxthost {

namespace {

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

// The library's message without its prefix: "[json.exception.parse_error.101] parse
// error at line 1, column 2: syntax error ..." gives "syntax error ...".
std::string LibraryReason(const Json::exception& e) {
  std::string reason = e.what();
  const size_t bracket = reason.find("] ");
  if (bracket != std::string::npos) reason = reason.substr(bracket + 2);
  if (reason.compare(0, 11, "parse error") == 0) {
    const size_t colon = reason.find(": ");
    if (colon != std::string::npos) reason = reason.substr(colon + 2);
  }
  return reason;
}

// A number written with a digit other than 0 before its exponent that reads as 0: too
// small for a double (1e-400), and so not the whole number 0 it would pass for.
bool Underflows(double value, const std::string& written) {
  if (value != 0) return false;
  for (char c : written) {
    if (c == 'e' || c == 'E') break;
    if (c >= '1' && c <= '9') return true;
  }
  return false;
}

// The members whose member names are keys (numbers, tags) rather than names: a refusal
// inside one writes its key as ["33"], as the members' readers do.
const char* const kKeyedMembers[] = {"fontPrefs", "instrumentLists", "sideRecords"};

// Builds the JSON value from the parser's events (one pass: each value is appended where
// it belongs, never searched for again) and refuses what the parser alone would let
// through: a member given twice in one object (the parser keeps the last and drops the
// earlier without a word), a text holding U+0000 (names are stored as terminated texts,
// so it would cut them short), a number too small for a double. It keeps the path to the
// current value, one step per open object or array, so that a refusal names its place;
// the parser's own errors, a number too large among them, are refused with the line and
// column.
class StrictReader : public nlohmann::json_sax<Json> {
 public:
  explicit StrictReader(const std::string& text) : text_(text) {}

  Json TakeRoot() { return std::move(root_); }

  bool null() override { return Scalar(Json(nullptr)); }
  bool boolean(bool value) override { return Scalar(Json(value)); }
  bool number_integer(number_integer_t value) override { return Scalar(Json(value)); }
  bool number_unsigned(number_unsigned_t value) override { return Scalar(Json(value)); }
  bool number_float(number_float_t value, const string_t& written) override {
    if (Underflows(value, written)) Refuse(Place(), "expected a whole number, found " + written);
    return Scalar(Json(value));
  }
  bool string(string_t& value) override {
    if (value.find('\0') != std::string::npos)
      Refuse(Place(), "a text cannot hold the character U+0000");
    return Scalar(Json(std::move(value)));
  }
  bool binary(binary_t& value) override { return Scalar(Json::binary(std::move(value))); }

  bool start_object(std::size_t /*elements*/) override { return Open(Json::object(), true); }
  bool start_array(std::size_t /*elements*/) override { return Open(Json::array(), false); }
  bool key(string_t& name) override {
    Step& step = steps_.back();
    step.key = name;
    if (name.find('\0') != std::string::npos)
      Refuse(Place(), "a member name cannot hold the character U+0000");
    if (!step.keys.insert(name).second) Refuse(Place(), "this member is given twice");
    return true;
  }
  bool end_object() override { return Close(); }
  bool end_array() override { return Close(); }

  bool parse_error(std::size_t position, const std::string& token,
                   const Json::exception& e) override {
    // The position is just past the last character read; a number beyond a double's
    // range (out_of_range.406) is placed at its first character.
    size_t offset = position > 0 ? position - 1 : 0;
    if (e.id == 406 && position >= token.size()) offset = position - token.size();
    Refuse(LineAndColumn(text_, offset), "malformed JSON: " + LibraryReason(e));
  }

 private:
  struct Step {
    Json* value;  // the open object or array
    bool object;
    std::set<std::string> keys;  // the members of an object so far
    std::string key;             // the member being read
    size_t index;                // the element being read
  };

  // Puts the value where the current step expects it; the place of the new value.
  Json* Put(Json value) {
    if (steps_.empty()) {
      root_ = std::move(value);
      return &root_;
    }
    Step& step = steps_.back();
    if (!step.object) {
      Json::array_t& elements = step.value->get_ref<Json::array_t&>();
      elements.push_back(std::move(value));
      return &elements.back();
    }
    // Appended without the ordered map's search for the name: key() has refused a name
    // given twice.
    Json::object_t& members = step.value->get_ref<Json::object_t&>();
    members.Json::object_t::Container::emplace_back(step.key, std::move(value));
    return &members.back().second;
  }

  bool Scalar(Json value) {
    Put(std::move(value));
    Advance();
    return true;
  }
  bool Open(Json value, bool object) {
    // The document's own object, whose members are the large ones, has room for them all.
    if (object && steps_.empty()) value.get_ref<Json::object_t&>().reserve(kRootMembers);
    steps_.push_back(Step{Put(std::move(value)), object, {}, std::string(), 0});
    return true;
  }
  bool Close() {
    steps_.pop_back();
    Advance();
    return true;
  }

  // After a value: the next element of an array.
  void Advance() {
    if (!steps_.empty() && !steps_.back().object) ++steps_.back().index;
  }

  // The place of the value being read, in the form the reader's refusals use.
  std::string Place() const {
    std::string place;
    bool keyed = false;
    for (const Step& step : steps_) {
      if (!step.object) {
        place = IndexPlace(place, step.index);
        keyed = false;
        continue;
      }
      bool word =
          !keyed && !step.key.empty() && std::isalpha(static_cast<unsigned char>(step.key[0]));
      for (char c : step.key) word = word && std::isalnum(static_cast<unsigned char>(c));
      place = word ? MemberPlace(place, step.key) : KeyPlace(place, step.key);
      keyed = false;
      if (&step == &steps_.front())
        for (const char* name : kKeyedMembers) keyed = keyed || step.key == name;
    }
    return place;
  }

  const std::string& text_;
  Json root_;
  std::vector<Step> steps_;
};

}  // namespace

Json ParseStrictJson(const std::string& text) {
  // The parser takes a NUL byte between values for the end of the text and would accept
  // a document cut short there.
  const size_t nul = text.find('\0');
  if (nul != std::string::npos)
    Refuse(LineAndColumn(text, nul), "malformed JSON: a NUL byte, which JSON does not allow");
  StrictReader reader(text);
  Json::sax_parse(text, &reader);
  return reader.TakeRoot();
}

}  // namespace fxthost
