// FCPart and FCParts: the linked parts and the walk that makes each one current (part.h).
// The host's answers and the walk's rules: docs/host-documents.md.
#include "framework/score/part.h"

#include "bridge/finalepdk.h"
#include "framework/core/iterator.h"
#include "framework/score/seenids.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
// What FX_GetNextPartID answers after the last part.
constexpr int32_t kEndOfParts = -1;

// Makes the part current. A host that refuses to switch to the part that is current
// already (or lacks the function) has not refused: the part is current.
bool EnterPart(const FCPart& part) {
  return FX_SetCurrentPartID(part.GetID(), kVersion) != 0 ||
         FX_GetCurrentPartID(kVersion) == part.GetID();
}

}  // namespace

FCPart::FCPart(short partID, short documentID) : _partid(partID), _documentid(documentID) {}

bool FCPart::IsIdentical(__FCBase* other) const {
  const FCPart* part = dynamic_cast<const FCPart*>(other);
  return part && part->_partid == _partid && part->_documentid == _documentid;
}

FCString* FCPart::GetName() {
  if (RunningFinaleVersion <= LAST_VERSION_WITHOUT_NAMES) {
    _name.SetCString("Not available (due to a bug)");
    return &_name;
  }
  const char* name = static_cast<const char*>(FX_GetPartName(_partid, kVersion));
  _name.SetCString(name ? name : "");
  return &_name;
}

FCPart* FCParts::GetItemAt(int index) const {
  return dynamic_cast<FCPart*>(__FCCollection::GetItemAt(index));
}

void FCParts::LoadAll() {
  _ClearElements();
  const short document = static_cast<short>(FX_GetCurrentEnigmaDocument(kVersion));
  fxt::SeenIds seen;
  int32_t id = 0;
  while (id != kEndOfParts && seen.First(id)) {
    FCPart* part = new FCPart(static_cast<short>(id), document);
    if (!Add(part)) {
      delete part;
      return;
    }
    id = FX_GetNextPartID(static_cast<int16_t>(id), kVersion);
  }
}

FCPart* FCParts::GetCurrent() {
  const int32_t current = FX_GetCurrentPartID(kVersion);
  const int32_t document = FX_GetCurrentEnigmaDocument(kVersion);
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* part = GetItemAt(i);
    if (part && part->GetID() == current && part->GetDocumentID() == document) return part;
  }
  return nullptr;
}

FCPart* FCParts::GetScore() {
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* part = GetItemAt(i);
    if (part && part->IsScore()) return part;
  }
  return nullptr;
}

int FCParts::ForEachWithScope(FCIteratorHandler* handler) {
  if (!handler || !handler->BeforeIteration()) return 0;
  int count = 0;
  for (int i = 0; i < GetCount(); ++i) {
    FCPart* part = GetItemAt(i);
    if (!part) continue;
    // Only a part of the current document can be made current, and only by the
    // outermost walk over it: a walk nested in the handler leaves it as it is.
    const bool scoped = part->GetDocumentID() == FX_GetCurrentEnigmaDocument(kVersion) &&
                        part->_GetSavedPartID() == FCPart::NO_SAVED_PART;
    bool entered = true;
    if (scoped) {
      part->_SetSavedPartID(static_cast<short>(FX_GetCurrentPartID(kVersion)));
      entered = EnterPart(*part);
    }
    // A part the host cannot make current (removed since the list was made) is passed
    // over: the handler would otherwise edit whatever part is current in its place.
    const bool goOn = entered ? handler->Iterate(part) : true;
    if (scoped) {
      if (part->GetDocumentID() == FX_GetCurrentEnigmaDocument(kVersion))
        FX_SetCurrentPartID(part->_GetSavedPartID(), kVersion);
      part->_SetSavedPartID(FCPart::NO_SAVED_PART);
    }
    if (!goOn) break;
    if (entered) ++count;
  }
  handler->AfterIteration();
  return count;
}
