// The music of the document and the entry frames the host hands out for it.
//
// The music of one layer of one cell is one host record ('eLyr', key: staff, measure,
// layer index 0 to 3) holding the layer's entries one after another in the entry-record
// layout a frame uses (146 bytes each), so that a frame is the record copied out and a
// frame given back is copied in. The frame block and the records are laid out as the
// plug-in's bridge reads them; the host's own fields are written down in
// docs/host-music.md.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "bridge/fxcall.h"
#include "bridge/recordbytes.h"
#include "host/store/recordstore.h"

namespace fxthost {

constexpr uint32_t kMusicTag = fxt::MakeTag('e', 'L', 'y', 'r');
// The layers the document shows: one byte per layer, non-zero when shown (key 0). No
// record: all four are shown.
constexpr uint32_t kShownLayersTag = fxt::MakeTag('e', 'S', 'h', 'L');
constexpr int kLayerCount = 4;

// Entry record.
constexpr size_t kEntrySize = 146;
constexpr size_t kEntryPosition = 0;  // 32-bit: where the entry starts in the measure
constexpr size_t kEntryDuration = 4;  // 32-bit
constexpr size_t kEntryFlags = 8;     // 32-bit
constexpr size_t kEntryNoteCount = 14;
constexpr size_t kEntryNotes = 16;
constexpr int kMaxNotes = 12;
// The written value and the tuplet, in the bytes after the twelve notes (the emulated
// host's own layout): the written value in EDUs at 136 (32-bit; 0: not given), the
// tuplet's actual and normal notes at 140 and 142 (16-bit each; 0: no tuplet).
constexpr size_t kEntryWritten = 136;
constexpr size_t kEntryTupletActual = 140;
constexpr size_t kEntryTupletNormal = 142;
// The entry flag that a cleaned frame sets on a rest (which then carries one note record
// as a placeholder).
constexpr uint32_t kRestFlag = 0x01000000;

// Note record.
constexpr size_t kNoteSize = 10;
constexpr size_t kNoteLevel = 0;  // 16-bit: steps from middle C
constexpr size_t kNoteAlter = 2;  // 16-bit: chromatic alteration
constexpr size_t kNoteNumber = 4;
constexpr size_t kNoteBits = 6;  // 32-bit: bits 16-20 the low five bits of the number
static_assert(kEntryNotes + kMaxNotes * kNoteSize <= kEntryWritten, "the notes fit the entry");
static_assert(kEntryTupletNormal + 2 <= kEntrySize, "the tuplet fits the entry");

// Frame block: the cell and layer, then the pointer to the first entry record (a
// pointer-sized slot) and the entry count.
constexpr size_t kFrameStaff = 0;
constexpr size_t kFrameMeasure = 2;
constexpr size_t kFrameLayer = 4;
constexpr size_t kFrameEntries = 14;
constexpr size_t kFrameCount = kFrameEntries + sizeof(FXPTR);
constexpr size_t kFrameBlockSize = kFrameCount + 2;
static_assert(kFrameCount == (sizeof(void*) == 4 ? 18u : 22u), "the count follows the pointer");

struct MusicNote {
  int16_t level = 0;
  int16_t alter = 0;
  int16_t number = 0;
  friend bool operator==(const MusicNote& a, const MusicNote& b) {
    return a.level == b.level && a.alter == b.alter && a.number == b.number;
  }
};

struct MusicEntry {
  int32_t duration = 0;  // the sounding length, which the positions add up
  int32_t written = 0;   // the written value (type and dots) in EDUs; 0: not given
  int16_t tupletActual = 0, tupletNormal = 0;  // actual in the time of normal; 0: none
  bool rest = false;
  std::vector<MusicNote> notes;  // none for a rest
};

using MusicLayer = std::vector<MusicEntry>;

// The layer as its record: each entry with its position (the durations before it), no
// flags, its notes with their number bits.
RecordStore::Bytes LayerRecord(const MusicLayer& layer);
// The entries of a layer record; false when the record is not one LayerRecord makes.
bool ReadLayer(const RecordStore::Bytes& record, MusicLayer* layer);
// The sum of the entries' durations in a layer record.
int32_t LayerDuration(const uint8_t* entries, int count);
inline int EntryCount(const RecordStore::Bytes& record) {
  return static_cast<int>(record.size() / kEntrySize);
}
// The most entries a frame counts (its count is a signed 16-bit word).
constexpr size_t kMaxEntries = 0x7FFF;
// Whether a frame holds the layer record whole: whole entries, at most kMaxEntries.
inline bool WholeLayer(const RecordStore::Bytes& record) {
  return record.size() % kEntrySize == 0 && record.size() / kEntrySize <= kMaxEntries;
}

// The record for count entry records a frame gives back: positions counted again, a rest
// (an entry without notes, or one marked as a rest) kept without flag or notes, a note
// count outside 0 to 12 read as the nearest. False, and nothing made, when an entry's
// duration is not above 0.
bool RecordFromEntries(const uint8_t* entries, int count, RecordStore::Bytes* record);

// Whether the document shows layer index 0 to 3.
bool LayerShown(const RecordStore& records, int layer);

}  // namespace fxthost
