// The documents the host has open, one of them current.
//
// FCDocuments lists them and walks them with each one made the host's current document
// while the handler sees it, the handler's work forming one host edit transaction (one
// undo step) per document; the walk puts back the document that was current before.
#pragma once

#include "framework/core/collection.h"

class FCIteratorHandler;
class FCString;

class FCDocument : public __FCBase {
 public:
  // The saved document id when no scoped walk has entered the document.
  static constexpr short NO_SAVED_DOCUMENT = 0;

  explicit FCDocument(short documentID);

  const char* ClassName() const override { return "FCDocument"; }

  short GetID() const { return _documentid; }
  // Sets path to the document's file path as the host gives it (UTF-16, at most 259
  // units); empty when the host gives none. A null path is ignored.
  void GetPath(FCString* path) const;

  // The document that was current before a scoped walk entered this one.
  short _GetSavedDocumentID() const { return _saveddocumentid; }
  void _SetSavedDocumentID(short id) { _saveddocumentid = id; }

 private:
  short _documentid;
  short _saveddocumentid = NO_SAVED_DOCUMENT;
};

// The documents open in the host, each an FCDocument the collection owns.
class FCDocuments : public FCCollectionOf<__FCCollection, FCDocument> {
 public:
  const char* ClassName() const override { return "FCDocuments"; }

  // Replaces the contents with the open documents in the host's order, up to the
  // host's end (0). A document that comes again also ends the list, so that a host
  // that keeps answering the same ids cannot make it endless.
  void LoadAll();
  // For each document: makes it current, opens a host edit named undoName ("Plug-in
  // Edit" when null), calls Iterate, closes the edit whatever Iterate answered, and
  // makes the previous document current again; stops when Iterate answers false. A
  // document that cannot be made current is passed over (the handler never sees
  // another document in its place). The number of documents for which Iterate
  // answered true. BeforeIteration and AfterIteration are not called.
  int ForEachWithScope(FCIteratorHandler* handler, const char* undoName = nullptr);

  // The element at index as a document; null out of range or for another kind.
  FCDocument* GetItemAt(int index) const;
};
