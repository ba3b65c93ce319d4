// The score as the host computes with it: measures (their records and durations),
// the staff lists, and music regions (the selection and the whole document).
//
// The rules are written down in docs/host-behaviour.md.
#pragma once

#include <cstdint>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/store/document.h"

namespace fxthost {

constexpr uint32_t kMeasureTag = fxt::MakeTag('S', 'O', 'M', 'S');
constexpr uint32_t kSystemStaffTag = fxt::MakeTag('S', 'O', 'I', 'u');
constexpr uint32_t kStaffTag = fxt::MakeTag('S', 'O', 'I', 'S');

// --- Measures ---------------------------------------------------------------------

// The measure record: 26 bytes, key value at offset 2, beats at 4, beat duration at 6
// (signed 16-bit words); the other bytes are the host's display settings.
constexpr int kMeasureRecordSize = 26;
constexpr int kMeasureKeyOffset = 2;
constexpr int kMeasureBeatsOffset = 4;
constexpr int kMeasureBeatDurationOffset = 6;

// One measure as a document is built from: a time signature (beats of a given duration,
// 4096 units to a whole note) and a key value.
struct MeasureSpec {
  int16_t beats = 4;
  int16_t beatDuration = 1024;
  int16_t key = 0;
};

// Replaces the document's measures by count measures of 4/4 in C major, or by the
// measures given; measure numbers run from 1.
void SetMeasures(Document& document, int count);
void SetMeasures(Document& document, const std::vector<MeasureSpec>& measures);

// The number of the last measure: measures are counted from 1 for as long as their
// records exist, so a missing record ends the document. 0 when there is none.
int32_t LastMeasure(const RecordStore& records);

// The length of a measure in duration units (beats x beat duration), 0 when the measure
// does not exist or its time signature is not usable (a count or length of 0 or less).
int32_t MeasureDuration(const RecordStore& records, int32_t measure);

// --- Staff lists -----------------------------------------------------------------

// The staff numbers of an instrument list by slot: the gapless run of its system-staff
// records from the first position (0 for a record too short to name a staff), at most
// `most` of them. One walk in key order, not a look-up per slot.
std::vector<int16_t> ListStaves(const RecordStore& records, uint16_t list, size_t most);

// The number of staves in an instrument list: its system-staff records, counted from
// the first position for as long as they exist.
int32_t SlotCount(const RecordStore& records, uint16_t list);
// The staff number at a slot (from 1) of an instrument list; 0 when there is none.
int16_t StaffAtSlot(const RecordStore& records, uint16_t list, int32_t slot);

// The slot of a staff in an instrument list; 0 when the list does not hold it.
int32_t SlotOf(const RecordStore& records, uint16_t list, int16_t staff);

// Whether the records of a tag belong to the music of a cell: keyed by staff, measure
// and their place in the cell (the cell details, chords included).
bool IsCellMusicTag(uint32_t tag);

// --- Regions -----------------------------------------------------------------------

// A music region as the 20-byte selection record holds it.
struct Region {
  static constexpr int kBytes = 20;
  static constexpr int32_t kMeasureEnd = 0x7FFFFFFF;

  uint16_t startList = 0;
  int16_t startSlot = 0;
  int16_t startMeasure = 0;
  int32_t startPosition = 0;
  uint16_t endList = 0;
  int16_t endSlot = 0;
  int16_t endMeasure = 0;
  int32_t endPosition = 0;

  static Region FromBytes(const void* bytes);
  void ToBytes(void* bytes) const;

  // Whole measures: from position 0 of the first to the end of the last.
  static Region Cells(uint16_t list, int16_t topSlot, int16_t bottomSlot, int16_t firstMeasure,
                      int16_t lastMeasure);

  bool IsEmpty() const { return startMeasure == 0 && endMeasure == 0; }
  bool IsPartial() const { return startPosition != 0 || endPosition != kMeasureEnd; }

  friend bool operator==(const Region& a, const Region& b);
  friend bool operator!=(const Region& a, const Region& b) { return !(a == b); }
};

// The whole document: every staff of the global list (slots 1 to its count), measure 1
// to the last, whole measures. The empty region (all fields 0) when the document has no
// measure or no staff.
Region WholeDocumentRegion(const RecordStore& records);

// Whether the region names music of the document: measures 1 <= start <= end <= last;
// both slots name staves of their lists; positions from 0, and in a one-measure region
// the start not after the end.
bool IsValidRegion(const RecordStore& records, const Region& region);

// Makes the region the document's selection; the empty region clears the selection.
// False, with the selection unchanged, for a region that names no music of the document.
bool SetSelection(Document& document, const Region& region);
void ClearSelection(Document& document);
// The document's selection, or the empty region when there is none.
Region Selection(const Document& document);

}  // namespace fxthost
