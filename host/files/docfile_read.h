// What the writer of a document file takes from its reader (docfile_read.cpp): it builds
// the document from the part it wrote by name to see what that part gives back, and it
// checks that the selection it wrote reads back the same. The format is described in
// docs/fxthost.md.
#pragma once

#include <cstdint>
#include <string>

#include "host/files/docfile.h"
#include "host/files/docfile_json.h"
#include "host/store/document.h"
#include "host/store/score.h"

namespace fxthost {

// A tag of four printable ASCII characters, which a file can give as text.
bool PrintableTag(uint32_t tag);

// Record bytes as the file writes them, two lowercase hexadecimal digits a byte
// (docfile_write.cpp), and read back, refused at place when they are not such digits.
std::string HexText(const RecordStore::Bytes& bytes);
RecordStore::Bytes HexBytes(const std::string& text, const std::string& place);

// The selection as a region of the document, refused when it names no music of it.
Region SelectionRegion(const Json& value, const Document& document, const std::string& place);

// Builds the document from a file's object (read from JSON, or made by the MusicXML
// reader) as ParseDocument does: replaced on success, left as it was on refusal.
bool BuildDocument(const Json& root, const std::string& file, Document* document,
                   DocumentFile* info, DocumentError* error);
// Moves what a file gives of a document built from it into the document (its records,
// fonts, selection and parts), the rest of the document kept.
void AdoptBuilt(Document& built, Document* document);

// Builds the document from the file's object into a fresh document; with withRecords,
// the raw records too. known, when given, is a document whose staves count as existing.
void Build(const Json& root, Document& document, DocumentFile* info, bool withRecords,
           const Document* known = nullptr);

}  // namespace fxthost
