// The MusicXML reader on arbitrary bytes, as XML and (when they begin as a zip does) as
// an .mxl container: it either refuses them with the file and a reason, or gives members
// that the document reader builds into a document which the writer saves and reads back.
// The score read straight into a document (its music put into the records without the
// member) gives the same document, or the same refusal, as its members.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/files/docfile.h"
#include "host/files/docfile_read.h"
#include "host/files/musicxml.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  fxthost::Document document;
  fxthost::DocumentError error;
  fxthost::ImportSummary summary;
  fxthost::Json members;
  if (!fxthost::ImportMusicXml(bytes, "fuzz.musicxml", &members, &summary, &error)) {
    if (error.file != "fuzz.musicxml" || error.reason.empty())
      Fail("refusal without a reason", bytes);
    return 0;
  }
  // What the reader made may still be refused by the document reader (a name too long,
  // more text blocks than numbers), but never crash it; what it takes saves and reloads.
  fxthost::DocumentFile info;
  fxthost::Document fromMembers;
  fxthost::DocumentError membersError;
  const bool built =
      fxthost::BuildDocument(members, "fuzz.musicxml", &fromMembers, nullptr, &membersError);
  // Straight, as a score, whatever its first byte: a file that does not begin with "<"
  // is taken for a document file by fxthost and never gets here.
  const bool read =
      fxthost::ImportMusicXmlDocument(bytes, "fuzz.musicxml", &document, &info, nullptr, &error);
  if (read != built || (!read && error.Message() != membersError.Message()))
    Fail("read straight, the score is not what its members give",
         (read ? std::string("read") : error.Message()) + "\n" +
             (built ? std::string("read") : membersError.Message()));
  if (!read) return 0;
  const std::string saved = fxthost::FormatDocument(document, info);
  if (fxthost::FormatDocument(fromMembers, info) != saved)
    Fail("read straight, the score's document differs from its members'", saved);
  fxthost::Document again;
  if (!fxthost::ParseDocument(saved, "saved.json", &again, &info, &error))
    Fail("the saved document is refused", error.Message() + "\n" + saved);
  if (fxthost::FormatDocument(again, info) != saved) Fail("the saved document changed", saved);
  return 0;
}
