// Documents that fxthost run opens beside the one its command works on (--open FILE or
// --open FILE=OUT): each is read into a document of its own, kept as it was before the
// command, and saved after it only when the command changed it, to the output named
// for it.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/run/outputs.h"

namespace fxthost {

struct OpenedDocument {
  std::string input;   // the file, as named
  std::string output;  // where it is saved when the command changes it; empty: nowhere
  Document* document = nullptr;
  DocumentFile info;
  Document::Content before;  // the records and fonts before the command

  bool Changed() const { return document->Snapshot() != before; }
};

// Reads a document file into a new (current) document of the host whose path is the
// file's absolute path; null, with no document left open, when the file is refused.
Document* OpenDocumentFile(Host& host, const std::string& file, DocumentFile* info,
                           DocumentError* error);

// Opens every "FILE" or "FILE=OUT" (split at the last '='). Refused, with the reason in
// problem and every document it opened closed again: an empty FILE or OUT, a FILE that
// is already open (the command's document is mainInput), an OUT that would replace an
// input other than its own FILE or a file that another output (written, the outputs
// already named) also names, and a file that cannot be read.
bool OpenFurtherDocuments(Host& host, const std::vector<std::string>& specs,
                          const std::string& mainInput, const std::vector<std::string>& written,
                          std::vector<OpenedDocument>* opened, std::string* problem);

// Gives outputs the text of each document that changed and has an output (prepared in
// outputs before the run), and says on out which changed documents have none; the
// outputs' commit then writes them.
void SaveChangedDocuments(const std::vector<OpenedDocument>& opened, Outputs& outputs,
                          std::ostream& out);

}  // namespace fxthost
