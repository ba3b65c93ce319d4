// What every inline-tag operation of FCString keeps for any text: nothing reads outside
// the text, the trimming passes never grow it, the tokeniser's pieces make the text
// again, and the lists hold what their operation promises. Shared by the tests and the
// fuzz targets, so it reports the first property broken instead of asserting.
#pragma once

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "framework/core/collection.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"

namespace fxt_testing {

using Units = std::vector<unsigned short>;

inline Units UnitsOf(const FCString& s) {
  Units units;
  for (int i = 0; i < s.GetLength(); ++i) units.push_back(s.GetItemAt(i));
  return units;
}

inline void SetUnits(FCString& s, const Units& units) {
  s.SetCString("");
  for (unsigned short unit : units) s.Append(unit);
}

// The units, followed in storage (beyond the length) by stale units: an operation that
// reads past the text sees a caret, a closing parenthesis or a line feed there and
// gives itself away.
inline void SetWithStaleTail(FCString& s, const Units& units) {
  Units stale = units;
  stale.insert(stale.end(), {'^', '^', ')', '\n', ','});
  SetUnits(s, stale);
  s.SetLength(static_cast<int>(units.size()));
}

// Destroys the list and returns its strings' units.
inline std::vector<Units> Take(FCStrings* list) {
  std::vector<Units> pieces;
  if (!list) return pieces;
  std::unique_ptr<FCStrings> owned(list);
  for (int i = 0; i < owned->GetCount(); ++i) pieces.push_back(UnitsOf(*owned->GetItemAt(i)));
  return pieces;
}

inline bool Has(const Units& units, unsigned short unit) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

// Runs every inline-tag operation on the text; "" when every property holds, else the
// first one broken. CreateLastFontInfo may ask the host for a font's name.
inline std::string FirstBrokenTagProperty(const Units& input) {
  FCString s;
  SetWithStaleTail(s, input);

  s.IsEnigmaFileInfoTitle();
  s.IsEnigmaFileInfoSubtitle();
  s.IsEnigmaFileInfoComposer();
  s.IsEnigmaFileInfoArranger();
  s.IsEnigmaFileInfoLyricist();
  s.IsEnigmaFileInfoCopyright();

  FCString trimmed;
  SetWithStaleTail(trimmed, input);
  const bool began = trimmed.TrimEnigmaTags();
  if (trimmed.GetLength() > s.GetLength()) return "TrimEnigmaTags grew the text";
  if (!Has(input, '^') && (began || UnitsOf(trimmed) != input))
    return "TrimEnigmaTags changed a text without tags";

  FCString fontTrimmed;
  SetWithStaleTail(fontTrimmed, input);
  const bool removed = fontTrimmed.TrimEnigmaFontTags();
  if (fontTrimmed.GetLength() > s.GetLength()) return "TrimEnigmaFontTags grew the text";
  if (!removed && !Has(input, '^') && UnitsOf(fontTrimmed) != input)
    return "TrimEnigmaFontTags changed a text without tags";

  // The pieces with their text are the whole text again, in order.
  Units joined;
  for (const Units& piece : Take(s.CreateEnigmaStrings(true))) {
    if (piece.empty()) return "CreateEnigmaStrings gave an empty piece";
    joined.insert(joined.end(), piece.begin(), piece.end());
  }
  if (joined != input) return "CreateEnigmaStrings' pieces are not the text";
  // Every tag piece begins with a single caret.
  for (const Units& tag : Take(s.CreateEnigmaStrings(false)))
    if (tag.empty() || tag[0] != '^' || (tag.size() > 1 && tag[1] == '^'))
      return "a tag piece does not begin with a single caret";

  for (const Units& part : Take(s.CreateEnigmaComponents()))
    if (part.empty() || Has(part, '(') || Has(part, ')') || Has(part, ','))
      return "CreateEnigmaComponents gave an empty part or one holding a separator";
  s.IsEnigmaFont();
  s.IsEnigmaTextInsert(true);
  s.IsEnigmaTextInsert(false);
  s.ContainsEnigmaTextInsert(true);
  s.ContainsEnigmaTextInsert(false);

  std::unique_ptr<FCFontInfo> font(s.CreateLastFontInfo());
  if (!font) return "CreateLastFontInfo gave nothing";
  FCString tags;
  font->MakeEnigmaString(&tags);  // the name it took is terminated and bounded
  if (tags.GetLength() > 255 + 40) return "CreateLastFontInfo took a name beyond 255 bytes";

  for (const Units& row : Take(s.CreateStringRows()))
    if (Has(row, '\n')) return "a row holds a line feed";
  for (const Units& part : Take(s.CreateParsedStrings(", (")))
    if (part.empty() || Has(part, ',') || Has(part, ' ') || Has(part, '('))
      return "CreateParsedStrings gave an empty part or one holding a separator";

  // The string itself is unchanged by all but the trimming operations.
  if (UnitsOf(s) != input) return "a reading operation changed the text";
  return "";
}

}  // namespace fxt_testing
