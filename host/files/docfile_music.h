// The document file's music: per cell (staff and measure) its layers of entries, and the
// positions of its chords and MIDI expressions; and the layers the document shows.
// Defined in docfile_music.cpp; docs/fxthost.md describes the member.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/files/docfile_json.h"

namespace fxthost {

void ReadMusic(const Json& value, const std::string& place, Document& document,
               NotationReading* reading);
// The records the written member stands for: the reader makes each of them again as it
// was, so that none needs a raw record.
struct MusicCoverage {
  std::vector<std::pair<uint32_t, uint64_t>> records;  // tag and packed key, sorted
  bool Covers(uint32_t tag, const DataKey& key) const;
};
// Appends the member's value, written at the indent in the document writer's layout, and
// adds the records it stands for to the coverage; false, with nothing written, when the
// document has no music the member can say.
bool WriteMusic(const Document& document, int indent, std::string* out, MusicCoverage* coverage);

}  // namespace fxthost
