// A rectangle of music: a range of staves (slots of an instrument list) by a range of
// measures, with a position inside the first and the last measure. It wraps the host's
// region record (framework/score/eregion.h), adds the tests and walks that the command
// and the framework need, and carries the token of music it copied or cut to the host's
// clipboard.
//
// Positions are inclusive at both ends: 0 is a measure's start, 0x7FFFFFFF its end. An
// empty region has start and end measure 0.
#pragma once

#include <cstdint>

#include "framework/core/fcbase.h"
#include "framework/score/eregion.h"

class FCCell;
class FCIteratorHandler;

class FCMusicRegion : public __FCBase {
 public:
  // With a record: takes its fields (SetEnigmaRegion). Without one (null): all eight
  // fields 0 and no document until a setting operation names one. No clip token.
  explicit FCMusicRegion(EREGION* record = nullptr);
  // Does not release a clip token; its owner releases it first (ReleaseMusic).
  ~FCMusicRegion() override = default;

  const char* ClassName() const override { return "FCMusicRegion"; }

  // --- Setting -----------------------------------------------------------------------

  // Copies the record's fields and takes the host's current document. A null record
  // changes nothing.
  void SetEnigmaRegion(EREGION* record);
  // Copies the fields out into the record; a null record is not written.
  void GetEnigmaRegion(EREGION* record) const;
  // Takes the host's current selection and current document; true when the host
  // reported a selection (otherwise the region is the empty one).
  bool SetCurrentSelection();
  // Takes the host's whole-document region and current document; always true.
  bool SetFullDocument();
  // Makes the region cover every staff of its start instrument list (slot 1 to the
  // last slot that has a staff). False, with nothing changed, for an empty region or a
  // list without a staff at slot 1.
  bool SetFullMeasureStack();
  // Re-expresses both slots as slots of the global list (0).
  void ConvertToGlobalInstrumentList();
  // Exchanges the slots when the end slot is above the start slot.
  void AssureSortedStaves();
  // Makes the region the host's selection, only when the region belongs to the
  // current document; the host's answer, or false when it belongs to another.
  bool SetInDocument();

  // The fields. The setters change only their field (not the document).
  unsigned short GetStartInstrumentList() const { return _region.startInstrumentList; }
  short GetStartSlot() const { return _region.startSlot; }
  short GetStartMeasure() const { return _region.startMeasure; }
  int32_t GetStartMeasurePos() const { return _region.startPosition; }
  unsigned short GetEndInstrumentList() const { return _region.endInstrumentList; }
  short GetEndSlot() const { return _region.endSlot; }
  short GetEndMeasure() const { return _region.endMeasure; }
  int32_t GetEndMeasurePos() const { return _region.endPosition; }
  void SetStartInstrumentList(unsigned short list) { _region.startInstrumentList = list; }
  void SetStartSlot(short slot) { _region.startSlot = slot; }
  void SetStartMeasure(short measure) { _region.startMeasure = measure; }
  void SetStartMeasurePos(int32_t position) { _region.startPosition = position; }
  void SetEndInstrumentList(unsigned short list) { _region.endInstrumentList = list; }
  void SetEndSlot(short slot) { _region.endSlot = slot; }
  void SetEndMeasure(short measure) { _region.endMeasure = measure; }
  void SetEndMeasurePos(int32_t position) { _region.endPosition = position; }

  // The staff numbers at the start slot (in the start list) and at the end slot (in
  // the end list); 0 or less when no staff is there.
  short GetStartStaff() const;
  short GetEndStaff() const;

  // The host document the region was set in (0 until a setting operation ran).
  short GetDocumentNumber() const { return _document; }
  // The token of music copied or cut from this region; 0 when there is none.
  uint32_t GetClipToken() const { return _cliptoken; }

  // --- Tests ---------------------------------------------------------------------

  bool IsEmpty() const { return _region.startMeasure == 0 && _region.endMeasure == 0; }
  // The region begins after a measure's start or ends before a measure's end.
  bool IsPartial() const;
  // Whole measures from measure 1 to the document's last measure, whatever the staves.
  bool IsFullDocumentWidth() const;
  // The end measure exists and the measure after it does not.
  bool IsLastEndMeasure() const;
  // The region belongs to the host's current document.
  bool IsCurrentDocument() const;
  bool IsMeasureIncluded(short measure) const;
  // The whole measure, from its start to its end, lies in the region.
  bool IsFullMeasureIncluded(short measure) const;
  // The measure lies in the region and the position lies within the region's bounds
  // in it (inclusive; a one-measure region applies both bounds).
  bool IsMeasurePosWithin(int measure, int32_t position) const;
  bool IsStartPos(int measure, int32_t position) const;
  // The staff is in the start instrument list at a slot from the start slot to the
  // end slot.
  bool IsStaffIncluded(short staff) const;
  // The cell's staff and measure are in the region and the position within its
  // bounds. False for a null cell.
  bool IsCellPosWithin(FCCell* cell, int32_t position) const;
  // The two regions share music: their measure ranges meet (touching at one position
  // counts) and they share a staff. False for a null region.
  bool IsOverlapping(FCMusicRegion* other) const;

  // --- Calculations and walks ----------------------------------------------------

  // The length of the region in duration units, measured on its top staff; 0 for an
  // empty region. A measure whose bounds leave nothing of it adds nothing.
  int CalcDuration() const;
  // Loads the staff of each slot from the start slot to the end slot (in the start
  // list) and hands it to handler->Iterate until it answers false. Returns the number
  // of staves handed over; 0 for a null handler.
  int ForEachStaff(FCIteratorHandler* handler) const;

  // --- Music transfer through the host ------------------------------------------

  // Copy (cut) the region's music to the host's clipboard and keep the token. False,
  // doing nothing, when the region holds a token already or is empty.
  bool CopyMusic();
  bool CutMusic();
  // Inserts the held token's music into the region; the token stays held. False when
  // the region holds no token or is empty.
  bool PasteMusic();
  // Disposes of the held token; the token is dropped only when the host succeeded.
  bool ReleaseMusic();
  // Asks the host to redraw the region's music.
  void Redraw() const;

 private:
  bool _TakeMusic(int mode);
  // The 28-byte record the music transfer functions take: the region, then 1 and 1.
  void _FillTransferRecord(uint8_t* transfer) const;
  static short _CurrentDocument();

  EREGION _region = {};
  short _document = 0;
  uint32_t _cliptoken = 0;
};
