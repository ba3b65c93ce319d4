// The measure numbers and expressions that fxthost show prints under the chart
// (host/cli/notationview.h; docs/fxthost.md, under "show").
#include "host/cli/notationview.h"

#include <map>
#include <vector>

#include "host/store/notationmodel.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// A line of UTF-16 text cut to the width (the last column an ellipsis), as UTF-8.
std::string Line(std::u16string text, int width) {
  const size_t room = width > 1 ? static_cast<size_t>(width) : 1;
  if (text.size() > room) {
    text.resize(room - 1);
    text.push_back(u'\u2026');
  }
  return Utf16ToUtf8(text) + "\n";
}

std::u16string Number16(int64_t value) { return Utf8ToUtf16(std::to_string(value)); }

std::u16string Padded(std::u16string text, size_t width) {
  if (text.size() < width) text.append(width - text.size(), u' ');
  return text;
}

// Measure numbers, one line per run of measures under one region, wrapped to the width.
void MeasureNumbers(const Document& document, int width, std::string* out) {
  const std::vector<NumberRegion> regions = MeasureNumberRegionsOf(document);
  const int32_t last = LastMeasure(document.records);
  if (regions.empty() || last < 1) return;
  *out += Line(u"Measure numbers as shown", width);
  for (int32_t first = 1; first <= last;) {
    const uint16_t region = ShownMeasure(regions, first).first;
    int32_t end = first;
    while (end < last && ShownMeasure(regions, end + 1).first == region) ++end;
    std::u16string head = u"  " + Number16(first) + (end > first ? u"-" + Number16(end) : u"");
    head = Padded(head, 14) + Padded(region ? u"region " + Number16(region) : u"no region", 12);
    const size_t indent = head.size();
    std::u16string line = head;
    for (int32_t m = first; m <= end; ++m) {
      const std::u16string shown = ShownMeasure(regions, m).second;
      const bool fits =
          line.size() == indent || line.size() + 1 + shown.size() <= static_cast<size_t>(width);
      if (!fits) {
        *out += Line(line, width);
        line = std::u16string(indent, u' ');
      }
      line += (line.size() == indent ? u"" : u" ") + shown;
    }
    *out += Line(line, width);
    first = end + 1;
  }
}

std::u16string StaffLabel(const Document& document, int16_t staff) {
  std::u16string name;
  StaffDisplayedName(document, 0, staff, &name);
  return Number16(staff) + (name.empty() ? u"" : u" " + name);
}

// The expressions, one line each, in measure and inci order.
void Expressions(const Document& document, int width, std::string* out) {
  const std::vector<PlacedExpression> expressions = PlacedExpressionsOf(document);
  if (expressions.empty()) return;
  std::map<uint16_t, TextExpressionDef> definitions;
  for (const TextExpressionDef& definition : TextExpressionDefsOf(document))
    definitions.emplace(definition.id, definition);
  *out += Line(u"Expressions", width);
  *out += Line(u"  measure  staff                 expression", width);
  for (const PlacedExpression& e : expressions) {
    std::u16string what;
    if (e.shape) {
      what = u"shape " + Number16(e.definition);
    } else {
      const auto found = definitions.find(e.definition);
      const bool known = found != definitions.end() && found->second.text;
      what = known ? u"\"" + DisplayedName(Utf8ToUtf16(*found->second.text)) + u"\" (text " +
                         Number16(e.definition) + u")"
                   : u"text " + Number16(e.definition) + u" (missing)";
    }
    if (e.position != 0) what += u" at " + Number16(e.position);
    if (e.staffList != 0) {
      std::u16string staves;
      for (int16_t staff : ReadStaffList(document, kStaffListTags[0], e.staffList))
        staves += (staves.empty() ? u"" : u", ") + Number16(staff);
      what += u", also on " + (staves.empty() ? u"-" : staves) + u" (list " +
              Number16(e.staffList) + u")";
    }
    *out += Line(
        u"  " + Padded(Number16(e.measure), 9) + Padded(StaffLabel(document, e.staff), 22) + what,
        width);
  }
}

}  // namespace

// What measure m shows: the first region (in key order) that contains it, and its text;
// region 0 and the plain number when none can show it.
std::pair<uint16_t, std::u16string> ShownMeasure(const std::vector<NumberRegion>& regions, int m) {
  for (const NumberRegion& region : regions) {
    if (m < region.startMeasure || m > region.endMeasure) continue;
    if (const std::optional<std::u16string> text = ShownMeasureNumber(region, m))
      return {region.id, *text};
    break;
  }
  return {0, Number16(m)};
}

std::string DrawNotation(const Document& document, int width) {
  std::string regions, expressions;
  MeasureNumbers(document, width, &regions);
  Expressions(document, width, &expressions);
  std::string out;
  if (!regions.empty()) out += "\n" + regions;
  if (!expressions.empty()) out += "\n" + expressions;
  return out;
}

}  // namespace fxthost
