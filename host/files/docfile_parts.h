// The linked parts of a document file: "parts": [ { "id": 1, "name": "Violin I" } ].
// Defined in docfile_parts.cpp; docs/fxthost.md describes the member.
#pragma once

#include "host/files/docfile_json.h"
#include "host/store/document.h"

namespace fxthost {

// Reads the member into the document's extracted parts (in the file's order) with the
// score current; refuses what is wrong with its place and reason (Refuse).
void ReadParts(const Json& value, const std::string& place, Document* document);
// The member as the writer gives it, or null when the document has no extracted parts.
Json WriteParts(const Document& document);

}  // namespace fxthost
