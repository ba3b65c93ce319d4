// "fxthost import": the score read through the MusicXML reader, built into a document
// and written in the document file's layout (import.h, docs/musicxml.md).
#include "host/cli/import.h"

#include <fstream>
#include <sstream>
#include <string>

#include "host/files/docfile.h"
#include "host/files/musicxml.h"

namespace fxthost {

int ImportScore(const std::string& score, const std::string& output, std::ostream& out,
                std::ostream& err) {
  std::ifstream in(score, std::ios::binary);
  std::ostringstream bytes;
  if (in) bytes << in.rdbuf();
  if (!in || in.bad()) {
    err << "fxthost: " << score << ": cannot be read\n";
    return 2;
  }
  Document document;
  DocumentError error;
  ImportSummary summary;
  {
    const std::string text = bytes.str();
    bytes.str(std::string());
    if (!IsMusicXml(text)) {
      err << "fxthost: " << score
          << ": not a MusicXML score (import reads .musicxml, .xml and .mxl)\n";
      return 2;
    }
    if (!ImportMusicXmlDocument(text, score, &document, nullptr, &summary, &error)) {
      err << "fxthost: " << error.Message() << "\n";
      return 2;
    }
  }
  std::string reason;
  if (!WriteFileAtomically(output, FormatDocument(document, DocumentFile()), &reason)) {
    err << "fxthost: " << reason << "\n";
    return 1;
  }
  out << summary.Text() << "Wrote " << output << "\n";
  return 0;
}

}  // namespace fxthost
