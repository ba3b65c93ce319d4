// The notation members of a document file: dispatch and shared checks (declared in
// docfile_json.h and docfile_notation.h; docs/fxthost.md describes the members).
#include "host/files/docfile_notation.h"

namespace fxthost {

const char* const kNotationMembers[5] = {"measureNumberRegions", "textExpressions", "staffLists",
                                         "expressions", "pageTexts"};

bool Boolean(const Json& value, const std::string& place) {
  if (!value.is_boolean()) Refuse(place, "expected true or false, found " + Describe(value));
  return value.get<bool>();
}

void ReadNotationMembers(const Json& root, Document& document, NotationReading* reading) {
  if (const Json* v = Find(root, kNotationMembers[0]))
    ReadMeasureNumberRegions(*v, kNotationMembers[0], document);
  if (const Json* v = Find(root, kNotationMembers[1]))
    ReadTextExpressions(*v, kNotationMembers[1], document, reading);
  if (const Json* v = Find(root, kNotationMembers[2]))
    ReadStaffLists(*v, kNotationMembers[2], document, reading);
  if (const Json* v = Find(root, kNotationMembers[3]))
    ReadExpressions(*v, kNotationMembers[3], document, reading);
  if (const Json* v = Find(root, kNotationMembers[4]))
    ReadPageTexts(*v, kNotationMembers[4], document, reading);
}

void WriteNotationMembers(const Document& document, Json* root, NotationCoverage* coverage) {
  const Json members[5] = {WriteMeasureNumberRegions(document),
                           WriteTextExpressions(document, coverage), WriteStaffLists(document),
                           WriteExpressions(document), WritePageTexts(document, coverage)};
  for (int i = 0; i < 5; ++i)
    if (!members[i].empty()) (*root)[kNotationMembers[i]] = members[i];
}

}  // namespace fxthost
