// Linked parts: the score (part 0) and the instrumental parts extracted from it, of
// which the host keeps one current per document.
//
// FCParts lists the parts of the current document and walks them with each one made
// the host's current part while the handler sees it; the walk puts back the part that
// was current before, also when the handler stops it.
#pragma once

#include <cstdint>

#include "framework/core/collection.h"
#include "framework/text/fcstring.h"

class FCIteratorHandler;

class FCPart : public __FCBase {
 public:
  // The saved part id when no scoped walk has made the part current.
  static constexpr short NO_SAVED_PART = -1;
  // Hosts up to this version cannot name a part.
  static constexpr uint32_t LAST_VERSION_WITHOUT_NAMES = 0x10FFFFFF;

  FCPart(short partID, short documentID);

  const char* ClassName() const override { return "FCPart"; }
  // True for another part with the same part id in the same document.
  bool IsIdentical(__FCBase* other) const override;

  // The part's name, kept by the part: the host's 8-bit name (empty when the host
  // names no such part); "Not available (due to a bug)" on a host that cannot name
  // parts.
  FCString* GetName();

  short GetID() const { return _partid; }
  short GetDocumentID() const { return _documentid; }
  bool IsScore() const { return _partid == 0; }

  // The part that was current before a scoped walk made this one current.
  short _GetSavedPartID() const { return _savedpartid; }
  void _SetSavedPartID(short id) { _savedpartid = id; }

 private:
  FCString _name;
  int16_t _partid;
  int16_t _documentid;
  int16_t _savedpartid = NO_SAVED_PART;
};

// The score and the linked parts of the current document, each an FCPart the collection
// owns.
class FCParts : public FCCollectionOf<__FCCollection, FCPart> {
 public:
  const char* ClassName() const override { return "FCParts"; }

  // Replaces the contents with the parts of the current document in the host's order:
  // the score, then each part the host names next, up to the host's end (-1). A part
  // id that comes again also ends the list, so that a host that keeps answering the
  // same ids cannot make it endless.
  void LoadAll();
  // The part that is current in the host (part and document), or null.
  FCPart* GetCurrent();
  // The score, or null.
  FCPart* GetScore();
  // Calls BeforeIteration (false: nothing else happens, result 0), then Iterate for
  // each part with the part made current when it belongs to the current document,
  // putting the previous part back after each; stops when Iterate answers false. A part
  // of the current document that the host cannot make current is passed over (Iterate
  // is not called for it). Then AfterIteration. The number of parts for which Iterate
  // answered true.
  int ForEachWithScope(FCIteratorHandler* handler);

  // The element at index as a part; null out of range or for another kind of element.
  FCPart* GetItemAt(int index) const;
};
