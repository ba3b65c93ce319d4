// A document read from either of its forms (docfile.h): a JSON document file, or a
// MusicXML score read into the same members (musicxml.h, docs/musicxml.md).
#include <string>

#include "host/files/docfile.h"
#include "host/files/docfile_read.h"
#include "host/files/musicxml.h"

namespace fxthost {

bool ParseDocumentOrScore(const std::string& bytes, const std::string& file, Document* document,
                          DocumentFile* info, DocumentError* error, ImportSummary* summary) {
  if (!IsMusicXml(bytes)) return ParseDocument(bytes, file, document, info, error);
  Json members;
  if (!ImportMusicXml(bytes, file, &members, summary, error)) return false;
  return BuildDocument(members, file, document, info, error);
}

}  // namespace fxthost
