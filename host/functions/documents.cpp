// Document paths and linked parts. (Which document is current, and the walk over the
// open documents, are served beside the records: records.cpp.)
//
// Parts belong to the current document: the score (part 0) first, then the extracted
// parts in the host's order. The rules are in docs/host-documents.md.
#include <string>

#include "bridge/recordbytes.h"
#include "host/functions/host.h"
#include "host/store/textcodec.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// What the part functions answer at the end of the parts, or for no part at all.
constexpr int16_t kNoPart = -1;
// The name the score goes by among the parts.
const char kScoreName[] = "Score";
// A path is handed over in a buffer of 260 UTF-16 units, its terminator included.
constexpr size_t kPathUnits = 260;

Document::Part* FindPart(Document& document, int16_t id) {
  for (Document::Part& part : document.parts.extracted)
    if (part.id == id) return &part;
  return nullptr;
}

bool IsPart(Document& document, int16_t id) { return id == 0 || FindPart(document, id); }

// FX_GetDocumentPath(number, buffer, version): the path as UTF-16 with its 0 unit. A
// document without a path, an unknown one, a path too long for the buffer, or one that
// is not valid UTF-8 gives 0 and leaves the buffer alone: a cut path, or one with U+FFFD
// in place of bytes it cannot convert, would name another file.
intptr_t GetDocumentPath(Host& host, const uint64_t* w) {
  Document* document = host.FindDocument(S16(w[0]));
  uint8_t* buffer = Ptr<uint8_t>(w[1]);
  if (!document || !buffer || document->path.empty()) return 0;
  const std::u16string path = Utf8ToUtf16(document->path);
  // Valid UTF-8 converts back to the same bytes; each malformed byte became U+FFFD.
  if (Utf16ToUtf8(path) != document->path) return 0;
  if (path.size() + 1 > kPathUnits) return 0;
  for (size_t i = 0; i < path.size(); ++i) fxt::PutU16(buffer, 2 * i, path[i]);
  fxt::PutU16(buffer, 2 * path.size(), 0);
  return 1;
}

// FX_GetNextPartID(previous, version): the part after previous in the current document
// (the first extracted part after the score); -1 after the last, and for a previous id
// that names no part.
intptr_t GetNextPartID(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  if (!document) return kNoPart;
  const int16_t previous = S16(w[0]);
  const std::vector<Document::Part>& parts = document->parts.extracted;
  if (previous == 0) return parts.empty() ? kNoPart : parts.front().id;
  for (size_t i = 0; i + 1 < parts.size(); ++i)
    if (parts[i].id == previous) return parts[i + 1].id;
  return kNoPart;
}

// FX_GetCurrentPartID(version): -1 when no document is open.
intptr_t GetCurrentPartID(Host& host, const uint64_t*) {
  Document* document = host.CurrentDocument();
  return document ? document->parts.current : kNoPart;
}

// FX_SetCurrentPartID(id, version): 1, or 0 (nothing changes) for an id that names no
// part of the current document.
intptr_t SetCurrentPartID(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  const int16_t id = S16(w[0]);
  if (!document || !IsPart(*document, id)) return 0;
  document->parts.current = id;
  return 1;
}

// FX_GetPartName(id, version): the part's name as 8-bit Windows-1252 text, which stays
// valid until the same part's name is asked for again; "Score" for part 0; null for an
// id that names no part of the current document.
intptr_t GetPartName(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  const int16_t id = S16(w[0]);
  if (!document) return 0;
  if (id == 0) return reinterpret_cast<intptr_t>(kScoreName);
  Document::Part* part = FindPart(*document, id);
  if (!part) return 0;
  part->answered = Utf16ToCp1252(Utf8ToUtf16(part->name));
  return reinterpret_cast<intptr_t>(part->answered.c_str());
}

// FX_CountParts(version): the score and the extracted parts; 0 without a document.
intptr_t CountParts(Host& host, const uint64_t*) {
  Document* document = host.CurrentDocument();
  return document ? static_cast<intptr_t>(document->parts.extracted.size()) + 1 : 0;
}

}  // namespace

void InstallDocumentBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_GetDocumentPath, GetDocumentPath);
  host.SetBehaviour(Fn::FX_GetNextPartID, GetNextPartID);
  host.SetBehaviour(Fn::FX_GetCurrentPartID, GetCurrentPartID);
  host.SetBehaviour(Fn::FX_SetCurrentPartID, SetCurrentPartID);
  host.SetBehaviour(Fn::FX_GetPartName, GetPartName);
  host.SetBehaviour(Fn::FX_CountParts, CountParts);
}

}  // namespace fxthost
