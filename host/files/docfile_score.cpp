// A document read from either of its forms (docfile.h): a JSON document file, or a
// MusicXML score read into the same members (musicxml.h, docs/musicxml.md).
#include <string>

#include "host/files/docfile.h"
#include "host/files/musicxml.h"

namespace fxthost {

bool ParseDocumentOrScore(const std::string& bytes, const std::string& file, Document* document,
                          DocumentFile* info, DocumentError* error, ImportSummary* summary) {
  if (!IsMusicXml(bytes)) return ParseDocument(bytes, file, document, info, error);
  return ImportMusicXmlDocument(bytes, file, document, info, summary, error);
}

}  // namespace fxthost
