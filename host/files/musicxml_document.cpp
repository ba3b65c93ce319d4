// The music a MusicXML score gives put straight into the document's layer records
// (musicxml_import.h), as docfile_music.cpp would read it from the "music" member and
// with the same checks, so that the reader need not build that member for every entry
// and note. docs/musicxml.md says when the member is built after all.
#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "host/files/docfile_json.h"
#include "host/files/musicxml_import.h"
#include "host/store/entryframes.h"
#include "host/store/score.h"

namespace fxthost {

namespace mxl {

namespace {

bool Int16(long value) { return value >= INT16_MIN && value <= INT16_MAX; }

// The layer as the store holds it, or false where the member's reading would refuse an
// entry (docfile_music.cpp's ReadEntry and ReadNote).
bool TakeLayer(const std::vector<ImportedEntry>& entries, MusicLayer* layer) {
  layer->reserve(entries.size());
  for (const ImportedEntry& imported : entries) {
    if (imported.duration < 1 || imported.duration > INT32_MAX) return false;
    if (imported.written != 0 && (imported.written < 1 || imported.written > INT32_MAX))
      return false;
    if (imported.actual != 0 && (imported.actual < 1 || imported.actual > 0x7FFF ||
                                 imported.normal < 1 || imported.normal > 0x7FFF))
      return false;
    if (!imported.rest &&
        (imported.notes.empty() || imported.notes.size() > static_cast<size_t>(kMaxNotes)))
      return false;
    MusicEntry entry;
    entry.duration = static_cast<int32_t>(imported.duration);
    entry.written = static_cast<int32_t>(imported.written);
    entry.tupletActual = static_cast<int16_t>(imported.actual);
    entry.tupletNormal = static_cast<int16_t>(imported.normal);
    entry.rest = imported.rest;
    entry.notes.reserve(imported.notes.size());
    for (size_t n = 0; n < imported.notes.size(); ++n) {
      const ImportedNote& note = imported.notes[n];
      if (!Int16(note.level) || !Int16(note.alter)) return false;
      MusicNote taken;
      taken.level = static_cast<int16_t>(note.level);
      taken.alter = static_cast<int16_t>(note.alter);
      taken.number = static_cast<int16_t>(n + 1);
      entry.notes.push_back(taken);
    }
    layer->push_back(std::move(entry));
  }
  return true;
}

}  // namespace

bool PutMusic(const std::vector<ImportedCell>& cells, Document& document) {
  const int32_t last = LastMeasure(document.records);
  std::set<std::pair<int, size_t>> seen;
  for (const ImportedCell& cell : cells) {
    // The cell (docfile_music.cpp's ReadMusic).
    if (cell.staff < 1 || cell.staff > 0x7FFF || cell.measure < 1 ||
        cell.measure > static_cast<size_t>(last))
      return false;
    if (!seen.insert({cell.staff, cell.measure}).second) return false;
    // Its layers (ReadLayers).
    if (cell.layers.size() > static_cast<size_t>(kLayerCount)) return false;
    for (size_t l = 0; l < cell.layers.size(); ++l) {
      MusicLayer layer;
      if (!TakeLayer(cell.layers[l], &layer)) return false;
      int64_t total = 0;
      for (const MusicEntry& entry : layer) total += entry.duration;
      if (total > INT32_MAX || layer.size() > static_cast<size_t>(INT16_MAX)) return false;
      if (layer.empty()) continue;
      document.records.Put(
          kMusicTag,
          DataKey::Of(static_cast<uint16_t>(cell.staff), static_cast<uint16_t>(cell.measure),
                      static_cast<uint16_t>(l)),
          LayerRecord(layer));
    }
    // The staff exists (checked once the whole document is read).
    if (!StaffExists(document, static_cast<int16_t>(cell.staff))) return false;
  }
  return true;
}

}  // namespace mxl

}  // namespace fxthost
