// Document files: the JSON form of a score document (docs/fxthost.md), read into the
// document's records and written back from them.
//
// Reading refuses a file it cannot take as a whole, naming the file, the place in it
// (a JSON path such as groups[2].staves[1], or the line and column of a syntax error)
// and the reason; the document is then left as it was. Writing gives the same format:
// what the schema names is written by name, every other record as a raw record, so that
// reading the written text gives the same document again and writing that gives the
// same text.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/store/document.h"

namespace fxthost {

// The format a document file names.
extern const char* const kDocumentFormat;  // "fxthost-document/1"

// What a document file holds beside the document itself.
struct DocumentFile {
  std::optional<uint32_t> hostVersion;  // "host": { "version": ... }
};

// Why a file was refused.
struct DocumentError {
  std::string file;
  std::string place;  // empty when the reason concerns the whole file
  std::string reason;
  // "file: place: reason" (or "file: reason").
  std::string Message() const;
};

// Reads the text of a document file (file names it in messages). On success the
// document's records, font table and selection are replaced by the file's; on refusal
// nothing is changed and error says why.
bool ParseDocument(const std::string& text, const std::string& file, Document* document,
                   DocumentFile* info, DocumentError* error);
struct ImportSummary;
// The same for the bytes of a document file or of a MusicXML score, told apart by content
// (host/files/musicxml.h); for a score, summary (when given) receives what the import
// took and left out.
bool ParseDocumentOrScore(const std::string& bytes, const std::string& file, Document* document,
                          DocumentFile* info, DocumentError* error, ImportSummary* summary);
// The same for a file on disk, a document file or a MusicXML score.
bool ReadDocumentFile(const std::string& path, Document* document, DocumentFile* info,
                      DocumentError* error);

// The document as the text of a document file.
std::string FormatDocument(const Document& document, const DocumentFile& info);

// The built-in sample score: the text of examples/orchestra.json, compiled in
// (host/files/demo_score.cpp).
extern const char* const kDemoScore;

// Writes content to path through a temporary file in the same directory that is then
// renamed into place, so that path holds either its old content or all of the new.
// False, with path untouched and the reason in error, when that fails.
bool WriteFileAtomically(const std::string& path, const std::string& content, std::string* error);

}  // namespace fxthost
