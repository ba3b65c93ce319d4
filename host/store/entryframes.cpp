// The music records of a document's cells and the entry-frame block laid out as the
// bridge reads it (entryframes.h; the host's fields are in docs/host-music.md).
#include "host/store/entryframes.h"

#include <algorithm>
#include <cstring>

namespace fxthost {

namespace {

uint32_t NumberBits(int16_t number) { return (static_cast<uint32_t>(number) & 0x1Fu) << 16; }

}  // namespace

RecordStore::Bytes LayerRecord(const MusicLayer& layer) {
  RecordStore::Bytes record(layer.size() * kEntrySize, 0);
  int64_t position = 0;
  for (size_t i = 0; i < layer.size(); ++i) {
    uint8_t* entry = record.data() + i * kEntrySize;
    const MusicEntry& music = layer[i];
    fxt::PutS32(entry, kEntryPosition,
                static_cast<int32_t>(std::min<int64_t>(position, INT32_MAX)));
    fxt::PutS32(entry, kEntryDuration, music.duration);
    fxt::PutS32(entry, kEntryWritten, music.written);
    fxt::PutS16(entry, kEntryTupletActual, music.tupletActual);
    fxt::PutS16(entry, kEntryTupletNormal, music.tupletNormal);
    position += music.duration;
    const size_t count = music.rest ? 0 : std::min<size_t>(music.notes.size(), kMaxNotes);
    fxt::PutS16(entry, kEntryNoteCount, static_cast<int16_t>(count));
    for (size_t n = 0; n < count; ++n) {
      uint8_t* note = entry + kEntryNotes + n * kNoteSize;
      fxt::PutS16(note, kNoteLevel, music.notes[n].level);
      fxt::PutS16(note, kNoteAlter, music.notes[n].alter);
      fxt::PutS16(note, kNoteNumber, music.notes[n].number);
      fxt::PutU32(note, kNoteBits, NumberBits(music.notes[n].number));
    }
  }
  return record;
}

bool ReadLayer(const RecordStore::Bytes& record, MusicLayer* layer) {
  if (record.empty() || record.size() % kEntrySize != 0) return false;
  MusicLayer read;
  for (int i = 0; i < EntryCount(record); ++i) {
    const uint8_t* entry = record.data() + i * kEntrySize;
    MusicEntry music;
    music.duration = fxt::GetS32(entry, kEntryDuration);
    music.written = fxt::GetS32(entry, kEntryWritten);
    music.tupletActual = fxt::GetS16(entry, kEntryTupletActual);
    music.tupletNormal = fxt::GetS16(entry, kEntryTupletNormal);
    // What the member can say: a written value above 0, a tuplet of two counts above 0.
    if (music.written < 0 || music.tupletActual < 0 || music.tupletNormal < 0 ||
        (music.tupletActual == 0) != (music.tupletNormal == 0))
      return false;
    const int count = fxt::GetS16(entry, kEntryNoteCount);
    if (music.duration <= 0 || count < 0 || count > kMaxNotes) return false;
    music.rest = count == 0;
    for (int n = 0; n < count; ++n) {
      const uint8_t* note = entry + kEntryNotes + n * kNoteSize;
      music.notes.push_back(MusicNote{fxt::GetS16(note, kNoteLevel), fxt::GetS16(note, kNoteAlter),
                                      fxt::GetS16(note, kNoteNumber)});
    }
    read.push_back(music);
  }
  // Only what the layout says: any other byte makes it a record of its own.
  if (LayerRecord(read) != record) return false;
  *layer = read;
  return true;
}

int32_t LayerDuration(const uint8_t* entries, int count) {
  int64_t total = 0;
  for (int i = 0; i < count; ++i)
    total += std::max<int32_t>(fxt::GetS32(entries + i * kEntrySize, kEntryDuration), 0);
  return static_cast<int32_t>(std::min<int64_t>(total, INT32_MAX));
}

bool RecordFromEntries(const uint8_t* entries, int count, RecordStore::Bytes* record) {
  RecordStore::Bytes made(entries, entries + static_cast<size_t>(std::max(count, 0)) * kEntrySize);
  int64_t position = 0;
  for (int i = 0; i < count; ++i) {
    uint8_t* entry = made.data() + i * kEntrySize;
    const int32_t duration = fxt::GetS32(entry, kEntryDuration);
    if (duration <= 0) return false;
    fxt::PutS32(entry, kEntryPosition,
                static_cast<int32_t>(std::min<int64_t>(position, INT32_MAX)));
    position += duration;
    const int notes =
        std::min<int>(std::max<int>(fxt::GetS16(entry, kEntryNoteCount), 0), kMaxNotes);
    const uint32_t flags = fxt::GetU32(entry, kEntryFlags);
    if (notes == 0 || (flags & kRestFlag)) {
      fxt::PutU32(entry, kEntryFlags, flags & ~kRestFlag);
      fxt::PutS16(entry, kEntryNoteCount, 0);
      std::memset(entry + kEntryNotes, 0, kMaxNotes * kNoteSize);
    } else {
      fxt::PutS16(entry, kEntryNoteCount, static_cast<int16_t>(notes));
    }
  }
  *record = std::move(made);
  return true;
}

bool LayerShown(const RecordStore& records, int layer) {
  if (layer < 0 || layer >= kLayerCount) return false;
  const RecordStore::Bytes* shown = records.Find(kShownLayersTag, DataKey());
  if (!shown || shown->size() < static_cast<size_t>(kLayerCount)) return true;
  return (*shown)[static_cast<size_t>(layer)] != 0;
}

}  // namespace fxthost
