// The MusicXML reader of an fxthost built without pugixml and libzip (the 32-bit and
// Windows builds, whose systems have no build of them): every score is refused with the
// reason. docs/musicxml.md.
#include "host/files/musicxml.h"

namespace fxthost {

const bool kMusicXmlReader = false;

bool ImportMusicXml(const std::string&, const std::string& file, Json*, ImportSummary*,
                    DocumentError* error, size_t) {
  if (error)
    *error = DocumentError{file, "",
                           "this fxthost is built without the MusicXML reader (pugixml and "
                           "libzip were not found when it was built); it reads JSON documents "
                           "only"};
  return false;
}

bool ImportMusicXmlDocument(const std::string& bytes, const std::string& file, Document*,
                            DocumentFile*, ImportSummary* summary, DocumentError* error,
                            size_t maxUnpacked) {
  return ImportMusicXml(bytes, file, nullptr, summary, error, maxUnpacked);
}

}  // namespace fxthost
