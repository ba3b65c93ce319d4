// The document file's measure number regions: what a user says about each region (its
// measures, the number it starts at, its base and start character, prefix and suffix,
// count-from-one, double-up and the score's fonts). The region's further settings stay
// in a raw record when they are not the defaults. Declared in docfile_notation.h;
// docs/fxthost.md describes the member, docs/host-notation.md the region records.
#include <set>
#include <utility>

#include "host/files/docfile_notation.h"
#include "host/store/notationmodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

const char* const kFontMembers[3] = {"startFont", "multipleFont", "multiMeasureRestFont"};
// Bytes of 8-bit text a prefix or suffix holds, without its terminator.
constexpr size_t kAffixRoom = 23;

RegionFont Font(const Json& value, const std::string& place) {
  ExpectObject(value, place);
  KnownMembers(value, place, {"font", "size", "effects"});
  RegionFont font;
  if (const Json* v = Find(value, "font")) font.font = Int16(*v, MemberPlace(place, "font"));
  if (const Json* v = Find(value, "size")) font.size = Int16(*v, MemberPlace(place, "size"));
  if (const Json* v = Find(value, "effects"))
    font.effects = static_cast<uint16_t>(Number(*v, MemberPlace(place, "effects"), 0, 0xFFFF));
  return font;
}

std::u16string Affix(const Json& value, const std::string& place) {
  const std::u16string text = Utf8ToUtf16(ExpectString(value, place));
  const std::string narrow = Utf16ToCp1252(text);
  if (Cp1252ToUtf16(narrow.data(), narrow.size()) != text)
    Refuse(place, "only characters of 8-bit (Windows-1252) text can be shown here");
  if (narrow.size() > kAffixRoom)
    Refuse(place, "at most " + std::to_string(kAffixRoom) + " characters fit here");
  return text;
}

// One character as a string, or its code as a number.
uint16_t StartCharacter(const Json& value, const std::string& place) {
  if (!value.is_string()) return static_cast<uint16_t>(Number(value, place, 0, 0xFFFF));
  const std::u16string text = Utf8ToUtf16(value.get_ref<const std::string&>());
  if (text.size() != 1) Refuse(place, "expected one character, such as \"0\" or \"A\"");
  return static_cast<uint16_t>(text[0]);
}

Json StartCharacterValue(uint16_t character) {
  const bool text =
      character >= 0x20 && character != 0x7F && (character < 0xD800 || character > 0xDFFF);
  if (!text) return character;
  return Utf16ToUtf8(std::u16string(1, static_cast<char16_t>(character)));
}

}  // namespace

void ReadMeasureNumberRegions(const Json& value, const std::string& place, Document& document) {
  std::set<uint16_t> seen;
  EachObject(
      value, place,
      {"id", "measures", "startNumber", "base", "startCharacter", "prefix", "suffix",
       "countFromOne", "doubleUp", "regionId", kFontMembers[0], kFontMembers[1], kFontMembers[2]},
      [&](const Json& object, const std::string& at) {
        NumberRegion region;
        const Json* id = Find(object, "id");
        const Json* measures = Find(object, "measures");
        if (!id || !measures) Refuse(at, "a region needs its id and its measures");
        region.id = static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
        if (!seen.insert(region.id).second)
          Refuse(MemberPlace(at, "id"), "region " + std::to_string(region.id) + " is given twice");
        const std::string range = MemberPlace(at, "measures");
        // The last measure is stored plus one, so 32766 is the last it can name.
        const auto pair = Pair(*measures, range, 1, 0x7FFE);
        if (pair.second < pair.first)
          Refuse(IndexPlace(range, 1), "the region ends before it starts");
        region.startMeasure = static_cast<int16_t>(pair.first);
        region.endMeasure = static_cast<int16_t>(pair.second);
        region.regionId = static_cast<int16_t>(region.id);
        if (const Json* v = Find(object, "startNumber"))
          region.startNumber =
              static_cast<int16_t>(Number(*v, MemberPlace(at, "startNumber"), -32767, 32767));
        if (const Json* v = Find(object, "base"))
          region.base = static_cast<int16_t>(Number(*v, MemberPlace(at, "base"), 2, 32767));
        if (const Json* v = Find(object, "startCharacter"))
          region.startCharacter = StartCharacter(*v, MemberPlace(at, "startCharacter"));
        if (const Json* v = Find(object, "prefix"))
          region.prefix = Affix(*v, MemberPlace(at, "prefix"));
        if (const Json* v = Find(object, "suffix"))
          region.suffix = Affix(*v, MemberPlace(at, "suffix"));
        if (const Json* v = Find(object, "countFromOne"))
          region.countFromOne = Boolean(*v, MemberPlace(at, "countFromOne"));
        if (const Json* v = Find(object, "doubleUp"))
          region.doubleUp = Boolean(*v, MemberPlace(at, "doubleUp"));
        if (const Json* v = Find(object, "regionId"))
          region.regionId = Int16(*v, MemberPlace(at, "regionId"));
        for (int f = 0; f < 3; ++f)
          if (const Json* v = Find(object, kFontMembers[f]))
            region.fonts[f] = Font(*v, MemberPlace(at, kFontMembers[f]));
        DataKey key;
        key.first = region.id;
        document.records.Put(kMeasureNumberRegionTag, key, RegionRecord(region));
      });
}

Json WriteMeasureNumberRegions(const Document& document) {
  Json regions = Json::array();
  for (const NumberRegion& region : MeasureNumberRegionsOf(document)) {
    // Only what the reader takes; the record then stays raw.
    if (region.id < 1 || region.id > 0x7FFF || region.startMeasure < 1 ||
        region.endMeasure < region.startMeasure || region.endMeasure > 0x7FFE || region.base < 2 ||
        region.startNumber == -32768 || Utf16ToCp1252(region.prefix).size() > kAffixRoom ||
        Utf16ToCp1252(region.suffix).size() > kAffixRoom)
      continue;
    Json entry = Json::object();
    entry["id"] = region.id;
    entry["measures"] = {region.startMeasure, region.endMeasure};
    entry["startNumber"] = region.startNumber;
    entry["base"] = region.base;
    entry["startCharacter"] = StartCharacterValue(region.startCharacter);
    if (!region.prefix.empty()) entry["prefix"] = Utf16ToUtf8(region.prefix);
    if (!region.suffix.empty()) entry["suffix"] = Utf16ToUtf8(region.suffix);
    entry["countFromOne"] = region.countFromOne;
    entry["doubleUp"] = region.doubleUp;
    if (region.regionId != static_cast<int16_t>(region.id)) entry["regionId"] = region.regionId;
    for (int f = 0; f < 3; ++f) {
      const RegionFont& font = region.fonts[f];
      if (font == RegionFont()) continue;
      entry[kFontMembers[f]] = {
          {"font", font.font}, {"size", font.size}, {"effects", font.effects}};
    }
    regions.push_back(std::move(entry));
  }
  return regions;
}

}  // namespace fxthost
