// The document file's music: per cell (staff and measure) its layers of entries, and the
// positions of its chords and MIDI expressions; and the layers the document shows.
// Defined in docfile_music.cpp; docs/fxthost.md describes the member.
#pragma once

#include <string>

#include "host/files/docfile_json.h"

namespace fxthost {

void ReadMusic(const Json& value, const std::string& place, Document& document,
               NotationReading* reading);
// Null when the document has no music the member can say.
Json WriteMusic(const Document& document);

}  // namespace fxthost
