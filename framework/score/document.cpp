// FCDocument and FCDocuments: the open documents and the walk that makes each one current
// (document.h). The host's answers and the walk's rules: docs/host-documents.md.
#include "framework/score/document.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "framework/core/iterator.h"
#include "framework/score/seenids.h"
#include "framework/text/fcstring.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
// The host hands a path over in 260 UTF-16 units, its terminator included.
constexpr int kPathUnits = 260;
// What FX_GetNextEnigmaDocument answers after the last document, and what it answers
// for the current one.
constexpr int32_t kEndOfDocuments = 0;
constexpr int32_t kCurrentDocument = -1;
const char kDefaultUndoName[] = "Plug-in Edit";

}  // namespace

FCDocument::FCDocument(short documentID) : _documentid(documentID) {}

void FCDocument::GetPath(FCString* path) const {
  if (!path) return;
  // One unit more than the host may fill, always 0, so that the text ends.
  unsigned short buffer[kPathUnits + 1];
  std::memset(buffer, 0, sizeof buffer);
  FX_GetDocumentPath(_documentid, buffer, kVersion);
  buffer[kPathUnits] = 0;
  path->SetUnicodeString(buffer);
}

FCDocument* FCDocuments::GetItemAt(int index) const {
  return dynamic_cast<FCDocument*>(__FCCollection::GetItemAt(index));
}

void FCDocuments::LoadAll() {
  _ClearElements();
  fxt::SeenIds seen;
  int32_t previous = 0;
  for (;;) {
    const int32_t next = FX_GetNextEnigmaDocument(static_cast<int16_t>(previous), kVersion);
    if (next == kEndOfDocuments) return;
    const int32_t id = next == kCurrentDocument ? FX_GetCurrentEnigmaDocument(kVersion) : next;
    if (!seen.First(id)) return;
    FCDocument* document = new FCDocument(static_cast<short>(id));
    if (!Add(document)) {
      delete document;
      return;
    }
    previous = next;
  }
}

int FCDocuments::ForEachWithScope(FCIteratorHandler* handler, const char* undoName) {
  if (!handler) return 0;
  const char* name = undoName ? undoName : kDefaultUndoName;
  int count = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCDocument* document = GetItemAt(i);
    if (!document) continue;
    const short saved = static_cast<short>(FX_GetCurrentEnigmaDocument(kVersion));
    document->_SetSavedDocumentID(saved);
    // A host may refuse to switch to the document that is current already.
    const bool entered = FX_SetCurrentEnigmaDocument(document->GetID(), kVersion) != 0 ||
                         FX_GetCurrentEnigmaDocument(kVersion) == document->GetID();
    bool goOn = true;
    if (entered) {
      FX_StartFinaleEdit(name, kVersion);
      goOn = handler->Iterate(document);
      FX_EndFinaleEdit(kVersion);
    }
    if (saved != FCDocument::NO_SAVED_DOCUMENT) FX_SetCurrentEnigmaDocument(saved, kVersion);
    document->_SetSavedDocumentID(FCDocument::NO_SAVED_DOCUMENT);
    if (!goOn) break;
    if (entered) ++count;
  }
  return count;
}
