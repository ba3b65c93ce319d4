// The MusicXML reader: a score (uncompressed, partwise or timewise, or the compressed
// .mxl container) read into a document file's members, and what it left out. The mapping
// is written in docs/musicxml.md; the document format in docs/fxthost.md.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/files/docfile.h"
#include "host/files/docfile_json.h"

namespace fxthost {

// Whether this fxthost was built with the MusicXML reader (pugixml and libzip found).
extern const bool kMusicXmlReader;

// The largest score an .mxl container may unpack to (256 MiB).
constexpr size_t kMaxUnpackedScore = size_t{256} << 20;

// Whether the bytes are for the MusicXML reader, told by content: a zip container (an
// .mxl), or XML (a '<' first, after a byte-order mark and blanks); the reader then
// refuses any root but score-partwise and score-timewise. A JSON document begins with '{'.
bool IsMusicXml(const std::string& bytes);
// Whether the bytes begin as a zip container does.
bool IsZip(const std::string& bytes);

// "1 credit", "3 credits": a count and its kind (given in the plural), in the singular
// for one.
std::string CountOf(long count, const std::string& kind);

// What an import took and what it left out.
struct ImportSummary {
  long staves = 0, groups = 0, measures = 0, notes = 0, rests = 0, expressions = 0;
  std::map<std::string, long> leftOut;  // by kind, in the plural ("slurs"), the count
  std::vector<std::string> remarks;     // what the reader decided for the file
  // The lines "fxthost import" prints.
  std::string Text() const;
};

// Reads the score in bytes (file names it in messages) into the members of a document
// file. False, with the place (line and column, or the part and measure) and the reason
// in error, when the score cannot be read as a whole. An .mxl entry that unpacks to more
// than maxUnpacked bytes is refused.
bool ImportMusicXml(const std::string& bytes, const std::string& file, Json* document,
                    ImportSummary* summary, DocumentError* error,
                    size_t maxUnpacked = kMaxUnpackedScore);

// Reads the score and builds the document from it, as ImportMusicXml and BuildDocument
// (docfile_read.h) one after the other do, with the same document, refusals and
// summary, but the music put into the document's records without going through its
// member. The document is replaced on success and left as it was on refusal; the
// summary is set once the score is read, as ImportMusicXml sets it.
bool ImportMusicXmlDocument(const std::string& bytes, const std::string& file, Document* document,
                            DocumentFile* info, ImportSummary* summary, DocumentError* error,
                            size_t maxUnpacked = kMaxUnpackedScore);

}  // namespace fxthost
