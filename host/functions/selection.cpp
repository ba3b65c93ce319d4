// The selection and the music clipboard.
//
// The music of a region is the cell records of its cells: for each staff of the region
// (its slots in the region's instrument list) and each of its measures, every record
// whose tag is a cell-music tag (IsCellMusicTag) keyed by that staff and measure. Music
// moves by whole measures: a region with positions inside a measure is refused.
#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "host/functions/host.h"
#include "host/functions/words.h"

namespace fxthost {

namespace {

// The staves of a region's slot range, top to bottom; empty when the region names no
// whole-measure music of the document.
std::vector<int16_t> RegionStaves(const RecordStore& records, const Region& region) {
  std::vector<int16_t> staves;
  if (!IsValidRegion(records, region) || region.IsPartial()) return staves;
  // Both ends are read in the start list, where the end staff must be too.
  int32_t top = region.startSlot;
  int32_t bottom =
      SlotOf(records, region.startList, StaffAtSlot(records, region.endList, region.endSlot));
  if (bottom == 0) return staves;
  if (bottom < top) std::swap(top, bottom);
  for (int32_t slot = top; slot <= bottom; ++slot)
    staves.push_back(StaffAtSlot(records, region.startList, slot));
  return staves;
}

// The music records of one cell: calls visit(tag, key, bytes) for each.
template <typename Visit>
void ForEachCellRecord(const RecordStore& records, int16_t staff, int16_t measure, Visit visit) {
  if (staff <= 0) return;
  for (uint32_t tag : records.Tags()) {
    if (!IsCellMusicTag(tag)) continue;
    DataKey key;
    key.first = static_cast<uint16_t>(staff);
    key.second = static_cast<uint16_t>(measure);
    const RecordStore::Bytes* bytes = records.Find(tag, key);
    while (true) {
      if (bytes) visit(tag, key, *bytes);
      if (!records.Next(tag, &key) || key.first != static_cast<uint16_t>(staff) ||
          key.second != static_cast<uint16_t>(measure))
        break;
      bytes = records.Find(tag, key);
    }
  }
}

}  // namespace

uint32_t Host::CopyMusic(const Region& region, bool cut) {
  Document* document = CurrentDocument();
  if (!document) return 0;
  RecordStore& records = document->records;
  std::vector<int16_t> staves = RegionStaves(records, region);
  if (staves.empty()) return 0;
  MusicClip clip;
  clip.staves = static_cast<int32_t>(staves.size());
  clip.measures = region.endMeasure - region.startMeasure + 1;
  std::vector<std::pair<uint32_t, DataKey>> taken;
  for (int32_t s = 0; s < clip.staves; ++s) {
    for (int32_t m = 0; m < clip.measures; ++m) {
      int16_t measure = static_cast<int16_t>(region.startMeasure + m);
      ForEachCellRecord(
          records, staves[s], measure,
          [&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
            clip.records.push_back(MusicClip::Record{s, m, tag, key.third, key.extra, bytes});
            taken.emplace_back(tag, key);
          });
    }
  }
  if (nextClipToken_ == 0) nextClipToken_ = 1;  // 0 is never a token
  uint32_t token = nextClipToken_++;
  clips_.emplace(token, std::move(clip));
  // A cut takes whole cells, so no list is left with a gap.
  if (cut)
    for (const auto& record : taken) records.Erase(record.first, record.second);
  return token;
}

bool Host::PasteMusic(uint32_t token, const Region& at, bool replace) {
  auto found = clips_.find(token);
  Document* document = CurrentDocument();
  if (found == clips_.end() || !document) return false;
  const MusicClip& clip = found->second;
  RecordStore& records = document->records;
  // The clip's top left cell goes to the region's top slot and first measure; all of
  // it must land on staves and measures of the document.
  Region footprint = Region::Cells(
      at.startList, at.startSlot, static_cast<int16_t>(at.startSlot + clip.staves - 1),
      at.startMeasure, static_cast<int16_t>(at.startMeasure + clip.measures - 1));
  if (!IsValidRegion(records, at) || at.IsPartial() || at.startSlot + clip.staves - 1 > 0x7FFF ||
      at.startMeasure + clip.measures - 1 > 0x7FFF || !IsValidRegion(records, footprint))
    return false;
  std::vector<int16_t> staves = RegionStaves(records, footprint);
  if (static_cast<int32_t>(staves.size()) != clip.staves) return false;

  // Work out every record's key first, so that a paste that cannot be done changes
  // nothing.
  std::vector<std::pair<uint32_t, DataKey>> cleared;
  std::map<std::tuple<int32_t, int32_t, uint32_t>, int32_t> shift;  // merge: per cell, tag
  std::vector<std::tuple<uint32_t, DataKey, const RecordStore::Bytes*>> puts;
  if (replace) {
    for (int32_t s = 0; s < clip.staves; ++s)
      for (int32_t m = 0; m < clip.measures; ++m)
        ForEachCellRecord(records, staves[s], static_cast<int16_t>(at.startMeasure + m),
                          [&](uint32_t tag, const DataKey& key, const RecordStore::Bytes&) {
                            cleared.emplace_back(tag, key);
                          });
  }
  for (const MusicClip::Record& record : clip.records) {
    DataKey key;
    key.first = static_cast<uint16_t>(staves[record.staffOffset]);
    key.second = static_cast<uint16_t>(at.startMeasure + record.measureOffset);
    key.third = record.third;
    key.extra = record.extra;
    if (!replace && record.third <= 0x7FFF) {
      // Merged music follows the cell's own records of the same tag.
      auto cell = std::make_tuple(record.staffOffset, record.measureOffset, record.tag);
      auto known = shift.find(cell);
      if (known == shift.end()) {
        int32_t next = 0;
        ForEachCellRecord(records, static_cast<int16_t>(key.first),
                          static_cast<int16_t>(key.second),
                          [&](uint32_t tag, const DataKey& k, const RecordStore::Bytes&) {
                            if (tag == record.tag && k.third <= 0x7FFF)
                              next = std::max<int32_t>(next, k.third + 1);
                          });
        known = shift.emplace(cell, next).first;
      }
      int32_t third = record.third + known->second;
      if (third > 0x7FFF) return false;
      key.third = static_cast<uint16_t>(third);
    }
    puts.emplace_back(record.tag, key, &record.bytes);
  }
  for (const auto& record : cleared) records.Erase(record.first, record.second);
  for (const auto& record : puts)
    records.Put(std::get<0>(record), std::get<1>(record), *std::get<2>(record));
  return true;
}

bool Host::DisposeMusic(uint32_t token) { return clips_.erase(token) == 1; }

const MusicClip* Host::FindClip(uint32_t token) const {
  auto found = clips_.find(token);
  return found == clips_.end() ? nullptr : &found->second;
}

namespace {

constexpr int kTransferBytes = 28;

// FX_GetCurERegions(unused, selection, whole document, version): nonzero when there is
// a selection. Without a document both records are the empty region.
intptr_t GetCurERegions(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  Region selection = document ? Selection(*document) : Region();
  Region whole = document ? WholeDocumentRegion(document->records) : Region();
  if (void* out = Ptr<void>(w[1])) selection.ToBytes(out);
  if (void* out = Ptr<void>(w[2])) whole.ToBytes(out);
  return document && document->hasSelection ? 1 : 0;
}

// FX_SetCurERegion(region, version)
intptr_t SetCurERegion(Host& host, const uint64_t* w) {
  Document* document = host.CurrentDocument();
  const void* region = Ptr<const void>(w[0]);
  if (!document || !region) return 0;
  return SetSelection(*document, Region::FromBytes(region)) ? 1 : 0;
}

// A token as it arrives in a pointer slot: tokens are 32-bit.
bool Token(uint64_t word, uint32_t* token) {
  if (word > 0xFFFFFFFFu) return false;
  *token = static_cast<uint32_t>(word);
  return true;
}

// FX_CopyCutMusic(transfer record, mode, version): mode 1 copies, 2 cuts; the token, or
// 0 when refused. The transfer record is the region's 20 bytes and two words.
intptr_t CopyCutMusic(Host& host, const uint64_t* w) {
  const void* transfer = Ptr<const void>(w[0]);
  int16_t mode = S16(w[1]);
  if (!transfer || (mode != 1 && mode != 2)) return 0;
  static_assert(kTransferBytes >= Region::kBytes, "the transfer record holds a region");
  return static_cast<intptr_t>(host.CopyMusic(Region::FromBytes(transfer), mode == 2));
}

// FX_InsertMergeMusic(token, transfer record, insert, version): insert (1) replaces the
// music of the cells it lands on, 0 merges it after theirs.
intptr_t InsertMergeMusic(Host& host, const uint64_t* w) {
  uint32_t token = 0;
  const void* transfer = Ptr<const void>(w[1]);
  if (!Token(w[0], &token) || !transfer) return 0;
  return host.PasteMusic(token, Region::FromBytes(transfer), U32(w[2]) != 0) ? 1 : 0;
}

// FX_DisposeFinClipFileToken(token, version)
intptr_t DisposeFinClipFileToken(Host& host, const uint64_t* w) {
  uint32_t token = 0;
  return Token(w[0], &token) && host.DisposeMusic(token) ? 1 : 0;
}

}  // namespace

void InstallSelectionBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_GetCurERegions, GetCurERegions);
  host.SetBehaviour(Fn::FX_SetCurERegion, SetCurERegion);
  host.SetBehaviour(Fn::FX_CopyCutMusic, CopyCutMusic);
  host.SetBehaviour(Fn::FX_InsertMergeMusic, InsertMergeMusic);
  host.SetBehaviour(Fn::FX_DisposeFinClipFileToken, DisposeFinClipFileToken);
}

}  // namespace fxthost
