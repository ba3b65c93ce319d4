// The music of the cells: entry frames handed out and taken back, the layers the host
// has and shows, and the metrics of a measure on a staff.
//
// A frame is the music of one layer of one cell, copied out of the document's layer
// record into memory the host owns; the frame block names it. Saving, inserting,
// deleting and reducing write the frame's entries back into the record. The host keeps a
// table of the frames it handed out, so that a frame given back twice, or a block it
// never handed out, is refused instead of being freed, and so that a document that
// closes with frames outstanding reports the leak. The rules are in docs/host-music.md.
#include <algorithm>
#include <cstring>
#include <string>

#include "host/store/entryframes.h"
#include "host/functions/host.h"
#include "host/store/score.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// The measure-metrics record (docs/host-music.md).
constexpr size_t kMetricsSize = 24;
constexpr size_t kMetricsMeasureDuration = 0;
constexpr size_t kMetricsMusicDuration = 4;
constexpr size_t kMetricsEntries = 8;
constexpr size_t kMetricsLayers = 10;
constexpr size_t kMetricsSlot = 12;
constexpr size_t kMetricsKey = 14;
constexpr size_t kMetricsBeats = 16;
constexpr size_t kMetricsBeatDuration = 18;
constexpr size_t kMetricsFlags = 20;
static_assert(kMetricsFlags + 4 == kMetricsSize, "the flags end the record");
constexpr uint32_t kMetricsFilled = 0x1;  // the longest layer is as long as the measure
constexpr uint32_t kMetricsLast = 0x2;    // the measure is the document's last

DataKey LayerKey(int16_t staff, int16_t measure, int16_t layer) {
  return DataKey::Of(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure),
                     static_cast<uint16_t>(layer));
}

// The frame's entry count as the block says it, within the records the host made.
int FrameCount(const EntryFrame& frame) {
  const int stored = fxt::GetS16(frame.block.data(), kFrameCount);
  const int made = static_cast<int>(frame.entries.size() / kEntrySize);
  return std::min(std::max(stored, 0), made);
}

void PointBlockAtEntries(EntryFrame* frame, int count) {
  const FXPTR first = frame->entries.empty() ? 0 : reinterpret_cast<FXPTR>(frame->entries.data());
  std::memcpy(frame->block.data() + kFrameEntries, &first, sizeof first);
  fxt::PutS16(frame->block.data(), kFrameCount, static_cast<int16_t>(count));
}

// Writes the frame's entries into the document's layer record (an empty layer has none).
bool WriteBack(Host& host, const EntryFrame& frame) {
  Document* document = host.FindDocument(frame.document);
  if (!document) return false;
  RecordStore::Bytes record;
  if (!RecordFromEntries(frame.entries.data(), FrameCount(frame), &record)) return false;
  const DataKey key = LayerKey(frame.staff, frame.measure, frame.layer);
  if (record.empty())
    document->records.Erase(kMusicTag, key);
  else
    document->records.Put(kMusicTag, key, std::move(record));
  return true;
}

// FX_LoadTGF(instrument list, slot, measure, layer index, flag, version): a new frame for
// the layer of the cell at the slot of the list; null when the slot holds no staff, the
// measure is not the document's, the layer is not 0 to 3 or its record is not whole
// entries (at most 32767). An empty layer gives a frame of no entries. The flag is not
// used.
intptr_t LoadTGF(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  if (!document) return 0;
  const int16_t staff = StaffAtSlot(document->records, U16(w[0]), S16(w[1]));
  const int16_t measure = S16(w[2]);
  const int16_t layer = S16(w[3]);
  if (staff <= 0 || measure < 1 || measure > LastMeasure(document->records) || layer < 0 ||
      layer >= kLayerCount)
    return 0;
  const RecordStore::Bytes* record =
      document->records.Find(kMusicTag, LayerKey(staff, measure, layer));
  // A frame that could not hold the record whole would cut it when saved.
  if (record && !WholeLayer(*record)) return 0;
  const std::vector<uint8_t> none;
  return reinterpret_cast<intptr_t>(
      host.HandOutFrame(document->number, staff, measure, layer, record ? *record : none));
}

// FX_FreeTGF(frame, version): 1 when the frame was the host's to take back.
intptr_t FreeTGF(Host& host, const uint64_t* w) {
  return host.TakeBackFrame(Ptr<const void>(w[0])) ? 1 : 0;
}

// FX_GetTGFDuration(frame, version): the sum of the entries' durations; 0 for a block the
// host did not hand out.
intptr_t GetTGFDuration(Host& host, const uint64_t* w) {
  const EntryFrame* frame = host.FindFrame(Ptr<const void>(w[0]));
  return frame ? LayerDuration(frame->entries.data(), FrameCount(*frame)) : 0;
}

// FX_SaveTGF(frame, version)
intptr_t SaveTGF(Host& host, const uint64_t* w) {
  const EntryFrame* frame = host.FindFrame(Ptr<const void>(w[0]));
  return frame && WriteBack(host, *frame) ? 1 : 0;
}

// FX_InsertEXENTRY(frame, index, duration, version): a rest of the duration before entry
// index (index = count appends), then the frame is saved. Refused for an index outside 0
// to count, a duration not above 0, or a frame that would pass 32767 entries.
intptr_t InsertEXENTRY(Host& host, const uint64_t* w) {
  EntryFrame* frame = host.FindFrame(Ptr<const void>(w[0]));
  const int index = S16(w[1]);
  const int16_t duration = S16(w[2]);
  if (!frame) return 0;
  const int count = FrameCount(*frame);
  if (index < 0 || index > count || duration <= 0 || count >= INT16_MAX) return 0;
  frame->entries.resize(static_cast<size_t>(count) * kEntrySize);
  std::vector<uint8_t> entry(kEntrySize, 0);
  fxt::PutS32(entry.data(), kEntryDuration, duration);
  frame->entries.insert(frame->entries.begin() + static_cast<long>(index) * kEntrySize,
                        entry.begin(), entry.end());
  PointBlockAtEntries(frame, count + 1);
  return WriteBack(host, *frame) ? 1 : 0;
}

// FX_DeleteEXENTRY(frame, index, count, version): removes count entries from index on,
// then the frame is saved. Refused unless 1 <= count and index + count <= entries.
intptr_t DeleteEXENTRY(Host& host, const uint64_t* w) {
  EntryFrame* frame = host.FindFrame(Ptr<const void>(w[0]));
  const int index = S16(w[1]);
  const int remove = S16(w[2]);
  if (!frame) return 0;
  const int count = FrameCount(*frame);
  if (index < 0 || remove < 1 || index + remove > count) return 0;
  frame->entries.resize(static_cast<size_t>(count) * kEntrySize);
  frame->entries.erase(frame->entries.begin() + static_cast<long>(index) * kEntrySize,
                       frame->entries.begin() + static_cast<long>(index + remove) * kEntrySize);
  PointBlockAtEntries(frame, count - remove);
  return WriteBack(host, *frame) ? 1 : 0;
}

// FX_ReduceEntries(frame, version): drops the entries that begin at or after the end of
// the measure (by its time signature), then saves the frame.
intptr_t ReduceEntries(Host& host, const uint64_t* w) {
  EntryFrame* frame = host.FindFrame(Ptr<const void>(w[0]));
  if (!frame) return 0;
  Document* document = host.FindDocument(frame->document);
  if (!document) return 0;
  const int64_t end = MeasureDuration(document->records, frame->measure);
  const int count = FrameCount(*frame);
  int kept = 0;
  int64_t position = 0;
  while (kept < count && (end <= 0 || position < end)) {
    position += std::max<int32_t>(
        fxt::GetS32(frame->entries.data() + static_cast<size_t>(kept) * kEntrySize, kEntryDuration),
        0);
    ++kept;
  }
  PointBlockAtEntries(frame, kept);
  return WriteBack(host, *frame) ? 1 : 0;
}

// FX_GetMaxLayers(version)
intptr_t GetMaxLayers(Host&, const uint64_t*) { return kLayerCount; }

// FX_GetShowLayer(layer index, version): 1 when the current document shows the layer.
intptr_t GetShowLayer(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  return document && LayerShown(document->records, S16(w[0])) ? 1 : 0;
}

// FX_GetMeasureMetrics(staff, measure, record, flag, version): fills the 24-byte record
// for the cell; 0, with the record untouched, when the staff is not in the score's list,
// the measure is not the document's or there is no record. The flag is not used.
intptr_t GetMeasureMetrics(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  const int16_t staff = S16(w[0]);
  const int16_t measure = S16(w[1]);
  uint8_t* record = Ptr<uint8_t>(w[2]);
  if (!document || !record) return 0;
  const RecordStore& records = document->records;
  const int32_t slot = SlotOf(records, 0, staff);
  const int32_t last = LastMeasure(records);
  if (staff <= 0 || slot == 0 || measure < 1 || measure > last) return 0;
  int32_t longest = 0;
  int entries = 0;
  int layers = 0;
  for (int16_t layer = 0; layer < kLayerCount; ++layer) {
    const RecordStore::Bytes* music = records.Find(kMusicTag, LayerKey(staff, measure, layer));
    if (!music || music->empty()) continue;
    ++layers;
    entries += EntryCount(*music);
    longest = std::max(longest, LayerDuration(music->data(), EntryCount(*music)));
  }
  const int32_t duration = MeasureDuration(records, measure);
  const RecordStore::Bytes* measureRecord = records.Find(kMeasureTag, DataKey::Of(measure));
  uint8_t metrics[kMetricsSize] = {};
  fxt::PutS32(metrics, kMetricsMeasureDuration, duration);
  fxt::PutS32(metrics, kMetricsMusicDuration, longest);
  fxt::PutS16(metrics, kMetricsEntries, static_cast<int16_t>(std::min(entries, INT16_MAX + 0)));
  fxt::PutS16(metrics, kMetricsLayers, static_cast<int16_t>(layers));
  fxt::PutS16(metrics, kMetricsSlot, static_cast<int16_t>(slot));
  if (measureRecord && measureRecord->size() >= static_cast<size_t>(kMeasureRecordSize)) {
    fxt::PutS16(metrics, kMetricsKey, fxt::GetS16(measureRecord->data(), kMeasureKeyOffset));
    fxt::PutS16(metrics, kMetricsBeats, fxt::GetS16(measureRecord->data(), kMeasureBeatsOffset));
    fxt::PutS16(metrics, kMetricsBeatDuration,
                fxt::GetS16(measureRecord->data(), kMeasureBeatDurationOffset));
  }
  uint32_t flags = 0;
  if (duration > 0 && longest == duration) flags |= kMetricsFilled;
  if (measure == last) flags |= kMetricsLast;
  fxt::PutU32(metrics, kMetricsFlags, flags);
  std::memcpy(record, metrics, kMetricsSize);
  return 1;
}

}  // namespace

void* Host::HandOutFrame(int document, int16_t staff, int16_t measure, int16_t layer,
                         const std::vector<uint8_t>& entries) {
  auto frame = std::make_unique<EntryFrame>();
  frame->document = document;
  frame->staff = staff;
  frame->measure = measure;
  frame->layer = layer;
  frame->block.assign(kFrameBlockSize, 0);
  frame->entries = entries;
  fxt::PutS16(frame->block.data(), kFrameStaff, staff);
  fxt::PutS16(frame->block.data(), kFrameMeasure, measure);
  fxt::PutS16(frame->block.data(), kFrameLayer, layer);
  const int count = static_cast<int>(std::min<size_t>(entries.size() / kEntrySize, INT16_MAX));
  PointBlockAtEntries(frame.get(), count);
  void* block = frame->block.data();
  frames_[block] = std::move(frame);
  return block;
}

EntryFrame* Host::FindFrame(const void* block) {
  const auto found = frames_.find(block);
  return found == frames_.end() ? nullptr : found->second.get();
}

bool Host::TakeBackFrame(const void* block) { return frames_.erase(block) == 1; }

void Host::DropFramesOf(const Document& document) {
  size_t dropped = 0;
  for (auto it = frames_.begin(); it != frames_.end();) {
    if (it->second->document == document.number) {
      it = frames_.erase(it);
      ++dropped;
    } else {
      ++it;
    }
  }
  if (dropped)
    leaks_.push_back("document " + std::to_string(document.number) +
                     (document.name.empty() ? std::string() : " (" + document.name + ")") +
                     " closed with " + std::to_string(dropped) + " entry frame" +
                     (dropped == 1 ? "" : "s") + " outstanding");
}

void InstallMusicBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_LoadTGF, LoadTGF);
  host.SetBehaviour(Fn::FX_FreeTGF, FreeTGF);
  host.SetBehaviour(Fn::FX_GetTGFDuration, GetTGFDuration);
  host.SetBehaviour(Fn::FX_SaveTGF, SaveTGF);
  host.SetBehaviour(Fn::FX_InsertEXENTRY, InsertEXENTRY);
  host.SetBehaviour(Fn::FX_DeleteEXENTRY, DeleteEXENTRY);
  host.SetBehaviour(Fn::FX_ReduceEntries, ReduceEntries);
  host.SetBehaviour(Fn::FX_GetMaxLayers, GetMaxLayers);
  host.SetBehaviour(Fn::FX_GetShowLayer, GetShowLayer);
  host.SetBehaviour(Fn::FX_GetMeasureMetrics, GetMeasureMetrics);
}

}  // namespace fxthost
