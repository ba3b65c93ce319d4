// FCMusicRegion: the selection and whole-document regions, their tests and walks, and the
// clipboard (musicregion.h). The host's selection: docs/host-behaviour.md; empty regions:
// docs/framework-behaviour.md.
#include "framework/score/musicregion.h"

#include <cstdint>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/core/iterator.h"
#include "framework/score/cell.h"
#include "framework/score/measure.h"
#include "framework/score/staff.h"

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

// The host's copy-or-cut modes.
constexpr int16_t kModeCopy = 1;
constexpr int16_t kModeCut = 2;

// Slots are signed 16-bit numbers; walks over them count in int so that a range that
// ends at the largest slot still ends.
constexpr int kLastSlot = 0x7FFF;

constexpr size_t kTransferSize = 28;

short StaffAt(int slot, unsigned short list) {
  return static_cast<short>(FX_SlotToInst(static_cast<int16_t>(slot), list, kVersion));
}

// The staff numbers of the slots from first to last of list, in slot order; a slot
// without a staff gives 0 or less.
std::vector<short> StavesAt(int first, int last, unsigned short list) {
  std::vector<short> staves;
  for (int slot = first; slot <= last; ++slot) staves.push_back(StaffAt(slot, list));
  return staves;
}

}  // namespace

FCMusicRegion::FCMusicRegion(EREGION* record) {
  if (record) SetEnigmaRegion(record);
}

short FCMusicRegion::_CurrentDocument() {
  return static_cast<short>(FX_GetCurrentEnigmaDocument(kVersion));
}

// --- Setting -------------------------------------------------------------------------

void FCMusicRegion::SetEnigmaRegion(EREGION* record) {
  if (!record) return;
  _region = EREGION_Read(record);
  _document = _CurrentDocument();
}

void FCMusicRegion::GetEnigmaRegion(EREGION* record) const {
  if (record) EREGION_Write(_region, record);
}

bool FCMusicRegion::SetCurrentSelection() {
  int32_t unused = 0;
  uint8_t selection[EREGION_SIZE] = {};
  uint8_t whole[EREGION_SIZE] = {};
  const int32_t result = FX_GetCurERegions(&unused, selection, whole, kVersion);
  _region = EREGION_Read(selection);
  _document = _CurrentDocument();
  return result != 0;
}

bool FCMusicRegion::SetFullDocument() {
  int32_t unused = 0;
  uint8_t selection[EREGION_SIZE] = {};
  uint8_t whole[EREGION_SIZE] = {};
  FX_GetCurERegions(&unused, selection, whole, kVersion);
  _region = EREGION_Read(whole);
  _document = _CurrentDocument();
  return true;
}

bool FCMusicRegion::SetFullMeasureStack() {
  if (IsEmpty()) return false;
  const unsigned short list = _region.startInstrumentList;
  if (StaffAt(1, list) <= 0) return false;
  int last = 1;
  while (last < kLastSlot && StaffAt(last + 1, list) > 0) ++last;
  _region.startSlot = 1;
  _region.endSlot = static_cast<int16_t>(last);
  return true;
}

void FCMusicRegion::ConvertToGlobalInstrumentList() {
  const short top = GetStartStaff();
  const short bottom = GetEndStaff();
  _region.startInstrumentList = 0;
  _region.endInstrumentList = 0;
  _region.startSlot = static_cast<int16_t>(FX_InstToSlot(top, 0, kVersion));
  _region.endSlot = static_cast<int16_t>(FX_InstToSlot(bottom, 0, kVersion));
}

void FCMusicRegion::AssureSortedStaves() {
  if (_region.endSlot < _region.startSlot) {
    const int16_t start = _region.startSlot;
    _region.startSlot = _region.endSlot;
    _region.endSlot = start;
  }
}

bool FCMusicRegion::SetInDocument() {
  if (!IsCurrentDocument()) return false;
  uint8_t bytes[EREGION_SIZE];
  EREGION_Write(_region, bytes);
  return FX_SetCurERegion(bytes, kVersion) != 0;
}

short FCMusicRegion::GetStartStaff() const {
  return StaffAt(_region.startSlot, _region.startInstrumentList);
}

short FCMusicRegion::GetEndStaff() const {
  return StaffAt(_region.endSlot, _region.endInstrumentList);
}

// --- Tests ---------------------------------------------------------------------------

bool FCMusicRegion::IsPartial() const {
  return _region.startPosition != 0 || _region.endPosition != EREGION_MEASURE_END;
}

bool FCMusicRegion::IsFullDocumentWidth() const {
  return !IsPartial() && _region.startMeasure == 1 && IsLastEndMeasure();
}

bool FCMusicRegion::IsLastEndMeasure() const {
  FCMeasure end;
  if (!end.Load(static_cast<unsigned short>(_region.endMeasure))) return false;
  FCMeasure next;
  return !next.Load(static_cast<unsigned short>(_region.endMeasure + 1));
}

bool FCMusicRegion::IsCurrentDocument() const { return _document == _CurrentDocument(); }

bool FCMusicRegion::IsMeasureIncluded(short measure) const {
  return measure >= _region.startMeasure && measure <= _region.endMeasure;
}

bool FCMusicRegion::IsFullMeasureIncluded(short measure) const {
  return IsMeasureIncluded(measure) && IsMeasurePosWithin(measure, 0) &&
         IsMeasurePosWithin(measure, EREGION_MEASURE_END);
}

bool FCMusicRegion::IsMeasurePosWithin(int measure, int32_t position) const {
  if (measure < _region.startMeasure || measure > _region.endMeasure) return false;
  if (measure == _region.startMeasure && position < _region.startPosition) return false;
  if (measure == _region.endMeasure && position > _region.endPosition) return false;
  return true;
}

bool FCMusicRegion::IsStartPos(int measure, int32_t position) const {
  return measure == _region.startMeasure && position == _region.startPosition;
}

bool FCMusicRegion::IsStaffIncluded(short staff) const {
  const int32_t slot = FX_InstToSlot(staff, _region.startInstrumentList, kVersion);
  return slot > 0 && slot >= _region.startSlot && slot <= _region.endSlot;
}

bool FCMusicRegion::IsCellPosWithin(FCCell* cell, int32_t position) const {
  if (!cell) return false;
  // Staff numbers are 16-bit; a cell outside that range names no staff of a list.
  const int staff = cell->GetStaff();
  if (staff < INT16_MIN || staff > INT16_MAX) return false;
  return IsMeasurePosWithin(cell->GetMeasure(), position) &&
         IsStaffIncluded(static_cast<short>(staff));
}

bool FCMusicRegion::IsOverlapping(FCMusicRegion* other) const {
  if (!other) return false;
  const EREGION& a = _region;
  const EREGION& b = other->_region;
  if (a.endMeasure < b.startMeasure) return false;
  if (a.startMeasure > b.endMeasure) return false;
  if (a.endMeasure == b.startMeasure && a.endPosition < b.startPosition) return false;
  if (a.startMeasure == b.endMeasure && a.startPosition > b.endPosition) return false;
  if (a.endSlot < a.startSlot) return false;
  // Each side's staves are asked of the host once. A slot without a staff (0 or less)
  // shares nothing, even with another such slot.
  const std::vector<short> theirs = StavesAt(b.startSlot, b.endSlot, b.startInstrumentList);
  for (int slot = a.startSlot; slot <= a.endSlot; ++slot) {
    const short mine = StaffAt(slot, a.startInstrumentList);
    if (mine <= 0) continue;
    for (short staff : theirs) {
      if (staff == mine) return true;
    }
  }
  return false;
}

// --- Calculations and walks ----------------------------------------------------------

int FCMusicRegion::CalcDuration() const {
  if (IsEmpty()) return 0;
  const short top = GetStartStaff();
  int64_t total = 0;
  for (int measure = _region.startMeasure; measure <= _region.endMeasure; ++measure) {
    int64_t last =
        static_cast<int64_t>(FX_GetMeasureDuration(top, static_cast<int16_t>(measure), kVersion)) -
        1;
    if (measure == _region.endMeasure && _region.endPosition != EREGION_MEASURE_END)
      last = _region.endPosition;
    const int64_t first = measure == _region.startMeasure ? _region.startPosition : 0;
    // Bounds that cross (a start after the end, a start past the measure's length)
    // leave nothing of the measure; they never take length away.
    if (last >= first) total += last - first + 1;
  }
  return total > INT32_MAX ? INT32_MAX : static_cast<int>(total);
}

int FCMusicRegion::ForEachStaff(FCIteratorHandler* handler) const {
  if (!handler) return 0;
  int count = 0;
  for (int slot = _region.startSlot; slot <= _region.endSlot; ++slot) {
    // A fresh object for every slot: a staff that does not load is handed over
    // empty, never with the record of the staff before it.
    FCStaff staff;
    staff.Load(static_cast<unsigned short>(StaffAt(slot, _region.startInstrumentList)));
    ++count;
    if (!handler->Iterate(&staff)) break;
  }
  return count;
}

// --- Music transfer ------------------------------------------------------------------

void FCMusicRegion::_FillTransferRecord(uint8_t* transfer) const {
  EREGION_Write(_region, transfer);
  fxt::PutS32(transfer, 20, 1);
  fxt::PutS32(transfer, 24, 1);
}

bool FCMusicRegion::_TakeMusic(int mode) {
  if (_cliptoken != 0 || IsEmpty()) return false;
  uint8_t transfer[kTransferSize];
  _FillTransferRecord(transfer);
  _cliptoken =
      static_cast<uint32_t>(FX_CopyCutMusic(transfer, static_cast<int16_t>(mode), kVersion));
  return _cliptoken != 0;
}

bool FCMusicRegion::CopyMusic() { return _TakeMusic(kModeCopy); }

bool FCMusicRegion::CutMusic() { return _TakeMusic(kModeCut); }

bool FCMusicRegion::PasteMusic() {
  if (_cliptoken == 0 || IsEmpty()) return false;
  uint8_t transfer[kTransferSize];
  _FillTransferRecord(transfer);
  return FX_InsertMergeMusic(_cliptoken, transfer, true, kVersion) != 0;
}

bool FCMusicRegion::ReleaseMusic() {
  if (_cliptoken == 0) return false;
  const bool released = FX_DisposeFinClipFileToken(_cliptoken, kVersion) != 0;
  if (released) _cliptoken = 0;
  return released;
}

void FCMusicRegion::Redraw() const {
  uint8_t bytes[EREGION_SIZE];
  EREGION_Write(_region, bytes);
  FX_RedrawMusic(bytes, kVersion);
}
