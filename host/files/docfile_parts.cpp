// The "parts" member of a document file: the extracted parts in the host's order. The
// score is part 0 of every document and is not listed. Declared in docfile_parts.h;
// docs/fxthost.md describes the member, docs/host-documents.md the parts.
#include "host/files/docfile_parts.h"

#include <set>

namespace fxthost {

void ReadParts(const Json& value, const std::string& place, Document* document) {
  Document::Parts parts;
  std::set<int16_t> seen;
  EachObject(value, place, {"id", "name"}, [&](const Json& entry, const std::string& at) {
    const Json* id = Find(entry, "id");
    const Json* name = Find(entry, "name");
    if (!id || !name) Refuse(at, "a part needs an id and a name");
    const std::string idPlace = MemberPlace(at, "id");
    if (id->is_number() && *id == 0)
      Refuse(idPlace, "part 0 is the score, which every document has: list only the others");
    Document::Part part;
    part.id = static_cast<int16_t>(Number(*id, idPlace, 1, 0x7FFF));
    if (!seen.insert(part.id).second)
      Refuse(idPlace, "part " + std::to_string(part.id) + " is given twice");
    part.name = ExpectString(*name, MemberPlace(at, "name"));
    parts.extracted.push_back(part);
  });
  document->parts = parts;
}

Json WriteParts(const Document& document) {
  if (document.parts.extracted.empty()) return Json();
  Json parts = Json::array();
  for (const Document::Part& part : document.parts.extracted)
    parts.push_back(Json{{"id", part.id}, {"name", part.name}});
  return parts;
}

}  // namespace fxthost
