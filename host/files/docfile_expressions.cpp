// The document file's text expression definitions (number, text, description,
// rehearsal-mark style, category, enclosure), staff lists, and the expressions placed in
// measures (measure, staff, definition, position, staff list). What a record holds
// beyond these stays in a raw record. Declared in docfile_notation.h; docs/fxthost.md
// describes the members, docs/host-notation.md the records behind them.
#include <map>
#include <set>

#include "host/files/docfile_notation.h"
#include "host/files/docfile_textblocks.h"
#include "host/store/notationmodel.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// The last inci of a list, of expressions or of a staff list's staves (docs/host-records.md,
// Inci records).
constexpr int kLastExpressionInci = 0x7FFF;

bool DefinitionExists(const BuiltDocument& document, uint16_t definition) {
  return document.Record(kTextExpressionDefTag, DataKey::Of(definition));
}

bool StaffListExists(const BuiltDocument& document, uint16_t list) {
  for (uint32_t tag : kStaffListTags)
    if (document.Record(tag, DataKey::Of(list, 0))) return true;
  return false;
}

// The rehearsal-mark styles by name; index = style.
const char* const kStyles[] = {
    "none",    "letters",      "lettersNumbers", "lowercaseLetters", "lowercaseLettersNumbers",
    "numbers", "measureNumber"};
constexpr int kStyleCount = 7;

int16_t RehearsalStyle(const Json& value, const std::string& place) {
  if (!value.is_string()) return Int16(value, place);
  const std::string& name = value.get_ref<const std::string&>();
  for (int style = 0; style < kStyleCount; ++style)
    if (name == kStyles[style]) return static_cast<int16_t>(style);
  std::string known;
  for (const char* style : kStyles) known += std::string(known.empty() ? "" : ", ") + style;
  Refuse(place, "unknown style \"" + name + "\" (known: " + known + ", or a number)");
}

// The staff-list kinds by name: their tags as text.
std::string KindName(uint32_t tag) {
  std::string name;
  for (int shift = 24; shift >= 0; shift -= 8) name += static_cast<char>((tag >> shift) & 0xFF);
  return name;
}

uint32_t Kind(const Json& value, const std::string& place) {
  const std::string& name = ExpectString(value, place);
  for (uint32_t tag : kStaffListTags)
    if (name == KindName(tag)) return tag;
  Refuse(place, "unknown kind \"" + name + "\" (known: otDC, otdc, otIO, otio)");
}

// Whether a staff list can be written by name: numbered 1 to 0x7FFF, its records
// exactly incis 0, 1, 2, ... of two bytes each, naming staves that exist, each once.
bool StaffListWritable(const Document& document, uint32_t tag, uint16_t list) {
  if (list < 1 || list > 0x7FFF) return false;
  std::set<int16_t> once;
  // Every record under the list's number, in key order, must be the next inci.
  DataKey key = DataKey::Of(list, 0);
  bool more = document.records.Contains(tag, key);
  for (uint16_t inci = 0; more && key.first == list; ++inci) {
    const RecordStore::Bytes* record = document.records.Find(tag, key);
    if (key != DataKey::Of(list, inci) || record->size() != 2) return false;
    const int16_t staff = fxt::GetS16(record->data(), 0);
    if (!StaffExists(document, staff) || !once.insert(staff).second) return false;
    more = document.records.Next(tag, &key);
  }
  return !once.empty();
}

// Whether the expressions of one measure can be written by name: incis 0, 1, 2, ...,
// each of the record size and naming what exists (by name or as a raw record: the
// reader looks both up).
bool MeasureWritable(const Document& document, const std::vector<PlacedExpression>& expressions,
                     int32_t last) {
  const BuiltDocument written{document, nullptr};
  for (size_t i = 0; i < expressions.size(); ++i) {
    const PlacedExpression& e = expressions[i];
    const RecordStore::Bytes* bytes =
        document.records.Find(kExpressionTag, DataKey::Of(e.measure, e.inci));
    if (e.inci != i || !bytes || bytes->size() != static_cast<size_t>(kExpressionRecordSize) ||
        e.measure < 1 || e.measure > last || !written.Staff(e.staff) ||
        (!e.shape && !DefinitionExists(written, e.definition)) ||
        (e.staffList != 0 && !StaffListExists(written, e.staffList)))
      return false;
  }
  return true;
}

}  // namespace

// --- Text expression definitions ----------------------------------------------------

void ReadTextExpressions(const Json& value, const std::string& place, Document& document,
                         NotationReading* reading) {
  std::set<uint16_t> seen;
  EachObject(
      value, place,
      {"id", "text", "textBlock", "description", "rehearsalMarks", "category", "useCategoryFont",
       "useCategoryPosition", "enclosure"},
      [&](const Json& object, const std::string& at) {
        const Json* id = Find(object, "id");
        if (!id) Refuse(at, "a text expression needs its id");
        TextExpressionDef definition;
        definition.id = static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
        if (!seen.insert(definition.id).second)
          Refuse(MemberPlace(at, "id"),
                 "text expression " + std::to_string(definition.id) + " is given twice");
        if (const Json* v = Find(object, "description"))
          definition.description = Utf8ToUtf16(ExpectString(*v, MemberPlace(at, "description")));
        if (const Json* v = Find(object, "rehearsalMarks"))
          definition.rehearsalStyle = RehearsalStyle(*v, MemberPlace(at, "rehearsalMarks"));
        if (const Json* v = Find(object, "category"))
          definition.category =
              static_cast<uint16_t>(Number(*v, MemberPlace(at, "category"), 0, 0x3FFF));
        if (const Json* v = Find(object, "useCategoryFont"))
          definition.useCategoryFont = Boolean(*v, MemberPlace(at, "useCategoryFont"));
        if (const Json* v = Find(object, "useCategoryPosition"))
          definition.useCategoryPosition = Boolean(*v, MemberPlace(at, "useCategoryPosition"));
        if (const Json* v = Find(object, "enclosure"))
          definition.enclosure = Boolean(*v, MemberPlace(at, "enclosure"));
        definition.textBlock =
            ReadTextMembers(document, object, at, kExpressionTextMembers, kExpressionTextType);
        if (definition.textBlock != 0)
          reading->links.push_back(
              {kTextExpressionDefTag, DataKey::Of(definition.id), 0, definition.textBlock});
        document.records.Put(kTextExpressionDefTag, DataKey::Of(definition.id),
                             DefinitionRecord(definition));
        // A new frame; a raw record under the same key gives its bytes.
        if (definition.enclosure)
          document.records.Put(kEnclosureTag, DataKey::Of(definition.id),
                               RecordStore::Bytes(12, 0));
      });
}

Json WriteTextExpressions(const Document& document, NotationCoverage* coverage) {
  Json definitions = Json::array();
  for (const TextExpressionDef& definition : TextExpressionDefsOf(document)) {
    if (definition.id < 1 || definition.id > 0x7FFF) continue;
    Json entry = Json::object();
    entry["id"] = definition.id;
    if (WriteTextMembers(document, definition.textBlock, kExpressionTextMembers,
                         kExpressionTextType, &entry)) {
      coverage->blocks.push_back(definition.textBlock);
      coverage->nameWords[{kTextExpressionDefTag, DataKey::Of(definition.id).Packed()}] = 0;
    }
    if (!definition.description.empty()) entry["description"] = Utf16ToUtf8(definition.description);
    const int16_t style = definition.rehearsalStyle;
    if (style > 0 && style < kStyleCount)
      entry["rehearsalMarks"] = kStyles[style];
    else if (style != 0)
      entry["rehearsalMarks"] = style;
    if (definition.category != 0) entry["category"] = definition.category;
    if (definition.useCategoryFont) entry["useCategoryFont"] = true;
    if (definition.useCategoryPosition) entry["useCategoryPosition"] = true;
    // The flag alone is no frame: without its record the definition stays raw.
    if (definition.enclosure &&
        document.records.Contains(kEnclosureTag, DataKey::Of(definition.id)))
      entry["enclosure"] = true;
    definitions.push_back(entry);
  }
  return definitions;
}

// --- Staff lists ---------------------------------------------------------------------

void ReadStaffLists(const Json& value, const std::string& place, Document& document,
                    NotationReading* reading) {
  std::set<std::pair<uint32_t, uint16_t>> seen;
  EachObject(
      value, place, {"id", "kind", "staves"}, [&](const Json& object, const std::string& at) {
        const Json* id = Find(object, "id");
        const Json* staves = Find(object, "staves");
        if (!id || !staves) Refuse(at, "a staff list needs its id and its staves");
        const uint16_t list = static_cast<uint16_t>(Number(*id, MemberPlace(at, "id"), 1, 0x7FFF));
        uint32_t tag = kStaffListTags[0];
        if (const Json* v = Find(object, "kind")) tag = Kind(*v, MemberPlace(at, "kind"));
        if (!seen.insert({tag, list}).second)
          Refuse(MemberPlace(at, "id"), "staff list " + std::to_string(list) + " of kind " +
                                            KindName(tag) + " is given twice");
        const std::string stavesPlace = MemberPlace(at, "staves");
        ExpectArray(*staves, stavesPlace);
        if (staves->empty()) Refuse(stavesPlace, "a staff list names at least one staff");
        if (staves->size() > kLastExpressionInci + 1u)
          Refuse(stavesPlace, "a staff list holds at most " +
                                  std::to_string(kLastExpressionInci + 1) + " staves (incis 0 to " +
                                  std::to_string(kLastExpressionInci) + ")");
        std::set<int16_t> once;
        for (size_t i = 0; i < staves->size(); ++i) {
          const std::string staffPlace = IndexPlace(stavesPlace, i);
          const int16_t staff = Int16((*staves)[i], staffPlace);
          if (!once.insert(staff).second)
            Refuse(staffPlace, "staff " + std::to_string(staff) + " is in the list twice");
          RecordStore::Bytes record(2, 0);
          fxt::PutS16(record.data(), 0, staff);
          document.records.Put(tag, DataKey::Of(list, static_cast<uint16_t>(i)), record);
          reading->whole.push_back({tag, DataKey::Of(list, static_cast<uint16_t>(i)), staffPlace});
          reading->checks.push_back([staffPlace, staff](const BuiltDocument& built) {
            if (!built.Staff(staff))
              Refuse(staffPlace, "staff " + std::to_string(staff) + " does not exist");
          });
        }
      });
}

Json WriteStaffLists(const Document& document) {
  Json lists = Json::array();
  for (uint32_t tag : kStaffListTags) {
    std::set<uint16_t> numbers;
    document.records.ForEach(
        tag, [&](const DataKey& key, const RecordStore::Bytes&) { numbers.insert(key.first); });
    for (uint16_t list : numbers) {
      if (!StaffListWritable(document, tag, list)) continue;
      lists.push_back(Json{
          {"id", list}, {"kind", KindName(tag)}, {"staves", ReadStaffList(document, tag, list)}});
    }
  }
  return lists;
}

// --- Expressions ---------------------------------------------------------------------

void ReadExpressions(const Json& value, const std::string& place, Document& document,
                     NotationReading* reading) {
  const int32_t last = LastMeasure(document.records);
  std::map<uint16_t, uint16_t> nextInci;
  EachObject(
      value, place, {"measure", "staff", "definition", "shape", "position", "staffList"},
      [&](const Json& object, const std::string& at) {
        const Json* measure = Find(object, "measure");
        const Json* staff = Find(object, "staff");
        const Json* definition = Find(object, "definition");
        if (!measure || !staff || !definition)
          Refuse(at, "an expression needs its measure, staff and definition");
        PlacedExpression expression;
        const std::string measurePlace = MemberPlace(at, "measure");
        const int64_t number = Number(*measure, measurePlace, 1, 0x7FFF);
        if (number > last)
          Refuse(measurePlace, "measure " + std::to_string(number) + " is outside the document " +
                                   (last == 0 ? std::string("(it has no measures)")
                                              : "(measures 1 to " + std::to_string(last) + ")"));
        expression.measure = static_cast<uint16_t>(number);
        expression.staff = Int16(*staff, MemberPlace(at, "staff"));
        expression.definition =
            static_cast<uint16_t>(Number(*definition, MemberPlace(at, "definition"), 0, 0xFFFF));
        if (const Json* v = Find(object, "shape"))
          expression.shape = Boolean(*v, MemberPlace(at, "shape"));
        if (const Json* v = Find(object, "position"))
          expression.position =
              static_cast<int32_t>(Number(*v, MemberPlace(at, "position"), INT32_MIN, INT32_MAX));
        if (const Json* v = Find(object, "staffList"))
          expression.staffList =
              static_cast<uint16_t>(Number(*v, MemberPlace(at, "staffList"), 0, 0xFFFF));
        // Incis follow the order of the file within each measure, up to the last inci a
        // list holds.
        uint16_t& inci = nextInci[expression.measure];
        if (inci > kLastExpressionInci)
          Refuse(at, "measure " + std::to_string(number) + " holds at most " +
                         std::to_string(kLastExpressionInci + 1) + " expressions (incis 0 to " +
                         std::to_string(kLastExpressionInci) + ")");
        expression.inci = inci++;
        document.records.Put(kExpressionTag, DataKey::Of(expression.measure, expression.inci),
                             ExpressionRecord(expression));
        reading->checks.push_back([at, expression](const BuiltDocument& built) {
          if (!built.Staff(expression.staff))
            Refuse(MemberPlace(at, "staff"),
                   "staff " + std::to_string(expression.staff) + " does not exist");
          if (!expression.shape && !DefinitionExists(built, expression.definition))
            Refuse(MemberPlace(at, "definition"),
                   "text expression " + std::to_string(expression.definition) + " does not exist");
          if (expression.staffList != 0 && !StaffListExists(built, expression.staffList))
            Refuse(MemberPlace(at, "staffList"),
                   "staff list " + std::to_string(expression.staffList) + " does not exist");
        });
      });
}

Json WriteExpressions(const Document& document) {
  std::map<uint16_t, std::vector<PlacedExpression>> byMeasure;
  for (const PlacedExpression& expression : PlacedExpressionsOf(document))
    byMeasure[expression.measure].push_back(expression);
  const int32_t last = LastMeasure(document.records);
  Json expressions = Json::array();
  for (const auto& measure : byMeasure) {
    if (!MeasureWritable(document, measure.second, last)) continue;
    for (const PlacedExpression& e : measure.second) {
      Json entry{{"measure", e.measure}, {"staff", e.staff}, {"definition", e.definition}};
      if (e.shape) entry["shape"] = true;
      entry["position"] = e.position;
      if (e.staffList != 0) entry["staffList"] = e.staffList;
      expressions.push_back(entry);
    }
  }
  return expressions;
}

}  // namespace fxthost
