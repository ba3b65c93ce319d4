// The MusicXML reader's entry (musicxml.h): a score's bytes told apart by content, the
// .mxl container unpacked (libzip), the XML parsed (pugixml, which fetches and expands
// no DTD or entity) and read, refusals given their place. docs/musicxml.md has the rules.
#include <pugixml.hpp>
#include <zip.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/files/docfile_read.h"
#include "host/files/musicxml.h"
#include "host/files/musicxml_import.h"

namespace fxthost {

const bool kMusicXmlReader = true;

namespace mxl {

std::string Importer::OffsetPlace(ptrdiff_t offset) const {
  if (lineStarts_.empty()) {
    lineStarts_.push_back(0);
    for (size_t i = 0; i < text_.size(); ++i)
      if (text_[i] == '\n') lineStarts_.push_back(i + 1);
  }
  const size_t at = static_cast<size_t>(std::max<ptrdiff_t>(0, offset));
  const size_t line = static_cast<size_t>(
      std::upper_bound(lineStarts_.begin(), lineStarts_.end(), at) - lineStarts_.begin());
  return "line " + std::to_string(line) + ", column " +
         std::to_string(at - lineStarts_[line - 1] + 1);
}

std::string Importer::NodePlace(const pugi::xml_node& node) const {
  return OffsetPlace(node.offset_debug());
}

long Importer::WholeNumber(const pugi::xml_node& element, long low, long high) const {
  if (!element) Refuse("", "a required element is missing");
  const char* text = element.child_value();
  while (*text == ' ' || *text == '\t' || *text == '\n' || *text == '\r') ++text;
  char* end = nullptr;
  errno = 0;
  const long long value = std::strtoll(text, &end, 10);
  while (end && (*end == ' ' || *end == '\t' || *end == '\n' || *end == '\r')) ++end;
  if (end == text || *end != '\0')
    Refuse(NodePlace(element), std::string("<") + element.name() + "> \"" + element.child_value() +
                                   "\" is not a whole number");
  if (errno == ERANGE || value < low || value > high)
    Refuse(NodePlace(element), std::string("<") + element.name() + "> " + element.child_value() +
                                   " does not fit here (" + std::to_string(low) + " to " +
                                   std::to_string(high) + ")");
  return static_cast<long>(value);
}

}  // namespace mxl

namespace {

// Frees a zip archive (and the source it was opened from) when it goes.
struct ZipCloser {
  void operator()(zip_t* archive) const { zip_discard(archive); }
};

// The cap as the refusals say it: "256 MiB", or a number of bytes.
std::string CapText(size_t cap) {
  if (cap % (size_t{1} << 20) == 0) return std::to_string(cap >> 20) + " MiB";
  return std::to_string(cap) + " bytes";
}

// The bytes of one entry of the archive, refused when damaged or above the cap.
std::string ReadEntry(zip_t* archive, const char* name, size_t cap) {
  zip_stat_t stat;
  zip_stat_init(&stat);
  if (zip_stat(archive, name, 0, &stat) != 0)
    Refuse("", std::string("the .mxl container has no file ") + name);
  if ((stat.valid & ZIP_STAT_SIZE) && stat.size > cap)
    Refuse(name, "unpacks to " + std::to_string(stat.size) + " bytes, more than the " +
                     CapText(cap) + " fxthost unpacks");
  std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(zip_fopen(archive, name, 0), zip_fclose);
  if (!file) Refuse(name, std::string("cannot be unpacked: ") + zip_strerror(archive));
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const zip_int64_t got = zip_fread(file.get(), buffer, sizeof buffer);
    if (got < 0) Refuse(name, std::string("the .mxl is damaged: ") + zip_file_strerror(file.get()));
    if (got == 0) break;
    if (bytes.size() + static_cast<size_t>(got) > cap)
      Refuse(name, "unpacks to more than the " + CapText(cap) + " fxthost unpacks");
    bytes.append(buffer, static_cast<size_t>(got));
  }
  return bytes;
}

// The score inside an .mxl: the file META-INF/container.xml names as its first root
// file. *inner receives that file's name.
std::string Unpack(const std::string& bytes, size_t cap, std::string* inner) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) Refuse("", "the .mxl cannot be opened");
  std::unique_ptr<zip_t, ZipCloser> archive(zip_open_from_source(source, ZIP_RDONLY, &error));
  if (!archive) {
    zip_source_free(source);
    const std::string reason = zip_error_strerror(&error);
    zip_error_fini(&error);
    Refuse("", "the .mxl is damaged: " + reason);
  }
  zip_error_fini(&error);
  const std::string container = ReadEntry(archive.get(), "META-INF/container.xml", cap);
  pugi::xml_document document;
  const pugi::xml_parse_result parsed = document.load_buffer(container.data(), container.size());
  if (!parsed)
    Refuse("META-INF/container.xml", std::string("malformed XML: ") + parsed.description());
  const pugi::xml_node rootfile = document.child("container").child("rootfiles").child("rootfile");
  const std::string path = rootfile.attribute("full-path").value();
  if (path.empty()) Refuse("META-INF/container.xml", "the container names no score file");
  *inner = path;
  return ReadEntry(archive.get(), path.c_str(), cap);
}

// Reads the XML text of a score into the document's members.
void ImportXml(const std::string& text, Json* document, ImportSummary* summary,
               std::vector<mxl::ImportedCell>* cells) {
  mxl::Importer importer(text, document, summary, cells);
  pugi::xml_document xml;
  // The default options: no DOCTYPE node, only the predefined and numeric entities. An
  // element's text is kept in the element itself rather than in a node of its own (the
  // reader takes every text through child_value(), which reads either): a score is
  // mostly elements of one text each, and a node fewer for each is a third of the tree.
  const pugi::xml_parse_result parsed =
      xml.load_buffer(text.data(), text.size(), pugi::parse_default | pugi::parse_embed_pcdata,
                      pugi::encoding_auto);
  if (!parsed)
    Refuse(importer.OffsetPlace(parsed.offset),
           std::string("malformed XML: ") + parsed.description());
  const pugi::xml_node root = xml.document_element();
  const bool partwise = std::strcmp(root.name(), "score-partwise") == 0;
  const bool timewise = std::strcmp(root.name(), "score-timewise") == 0;
  if (!partwise && !timewise)
    Refuse(importer.NodePlace(root),
           std::string("the root element is <") + root.name() +
               ">, not a MusicXML score (score-partwise or score-timewise)");
  importer.Read(root, timewise);
}  // the XML tree is freed here, before the document is built and written

// Reads the score into the document's members (its music into cells, when given).
bool Import(const std::string& bytes, const std::string& file, Json* document,
            std::vector<mxl::ImportedCell>* cells, ImportSummary* summary, DocumentError* error,
            size_t maxUnpacked) {
  Json built = Json::object();
  built.get_ref<Json::object_t&>().reserve(kRootMembers);
  ImportSummary taken;
  std::vector<mxl::ImportedCell> music;
  std::string inner;
  try {
    if (IsZip(bytes)) {
      const std::string text = Unpack(bytes, maxUnpacked, &inner);
      ImportXml(text, &built, &taken, cells ? &music : nullptr);
    } else {
      ImportXml(bytes, &built, &taken, cells ? &music : nullptr);
    }
  } catch (const Refusal& refusal) {
    if (error) {
      std::string place = refusal.place;
      if (!inner.empty() && place != inner) place = inner + (place.empty() ? "" : ": " + place);
      *error = DocumentError{file, place, refusal.reason};
    }
    return false;
  }
  *document = std::move(built);
  if (cells) *cells = std::move(music);
  if (summary) *summary = std::move(taken);
  return true;
}

}  // namespace

bool ImportMusicXml(const std::string& bytes, const std::string& file, Json* document,
                    ImportSummary* summary, DocumentError* error, size_t maxUnpacked) {
  return Import(bytes, file, document, nullptr, summary, error, maxUnpacked);
}

bool ImportMusicXmlDocument(const std::string& bytes, const std::string& file, Document* document,
                            DocumentFile* info, ImportSummary* summary, DocumentError* error,
                            size_t maxUnpacked) {
  Json members;
  std::vector<mxl::ImportedCell> cells;
  if (!Import(bytes, file, &members, &cells, summary, error, maxUnpacked)) return false;
  Document built;
  DocumentFile builtInfo;
  if (!BuildDocument(members, file, &built, &builtInfo, error)) return false;
  if (!mxl::PutMusic(cells, built)) {
    // The document's reader refuses the music in its own words, with the member's place.
    members["music"] = mxl::MusicMember(cells);
    return BuildDocument(members, file, document, info, error);
  }
  AdoptBuilt(built, document);
  if (info) *info = builtInfo;
  return true;
}

}  // namespace fxthost
