// The measure record: what the host keeps for one measure across all staves (its key
// and time signature, the displayed time signature, barlines and display flags).
//
// Record (26 bytes, little-endian 16-bit words; item number = measure number):
//   0   not interpreted
//   2   key value (signed)
//   4   beats (signed)
//   6   beat duration (signed, 4096 units to a whole note)
//   8   aux flags: bits 0-2 positioning code; 0x0010 time signature state 2;
//       0x0020 key signature state 2; 0x0800 show full names
//   10  me flags: bits 4-7 right barline; 0x0400 time signature state 1;
//       0x0800 key signature state 1; 0x4000 set when an expression is attached
//   12  displayed beats (signed)
//   14  displayed beat duration (signed)
//   16  new flags: bits 4-7 left barline
//   18-25 not interpreted
//
// A measure may own a key signature, a time signature and a displayed time signature.
// They are absent until made with the _Ensure... operations; Save writes those that
// exist into the record before the record goes to the host.
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"

class FCKeySignature;
class FCMusicRegion;
class FCTimeSignature;

class FCMeasure : public __FCNoInciOther {
 public:
  // Record type 'SOMS'.
  static constexpr uint32_t TAG = 0x534F4D53;
  static constexpr int RECORD_SIZE = 26;

  // Whether the key (time) signature is shown in the measure. The names follow the
  // stored states: 0 neither state bit, 1 the me bit, 2 the aux bit.
  enum SHOW_STATES : int { SHOWSTATE_AUTOMATIC = 0, SHOWSTATE_SHOW = 1, SHOWSTATE_HIDE = 2 };

  // Barline styles, stored unchanged in a 4-bit field. Stored values 7 to 15 are not
  // styles: GetBarline reads them as 0, GetLeftBarline as BARLINE_LEFT_UNKNOWN.
  enum BARLINE_STYLES : int {
    BARLINE_NONE = 0,
    BARLINE_NORMAL = 1,
    BARLINE_DOUBLE = 2,
    BARLINE_FINAL = 3,
    BARLINE_SOLID = 4,
    BARLINE_DASHED = 5,
    BARLINE_PARTIAL = 6,
    BARLINE_LEFT_UNKNOWN = 8
  };

  // How the notes of the measure are positioned; stored as codes 4, 0 and 6.
  enum POSITIONING_MODES : int {
    POSITIONING_TIMESIG = 0,
    POSITIONING_MANUAL = 1,
    POSITIONING_BEATCHART = 2
  };

  // The record zeroed, no sub-objects, no data block until the first load.
  FCMeasure();
  // Destroys the sub-objects that exist.
  ~FCMeasure() override;

  const char* ClassName() const override { return "FCMeasure"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  // A new measure without sub-objects.
  __FCBaseData* CreateObject() const override { return new FCMeasure; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source measure's 26-byte record (zeros when source is no measure),
  // points the data block at this object's record and sets the loaded size to 26. The
  // sub-objects are not copied.
  void CloneMemoryFrom(__FCBaseData* source) override;
  // Writes the sub-objects that exist into the record (a time signature's numbers
  // only where their flags are clear), then saves the record. False, without a host
  // call, when the measure holds no record.
  bool Save() override;

  // --- Record words ----------------------------------------------------------------

  short GetKeySignatureValue() const;
  short GetBeats() const;
  short GetBeatDuration() const;
  short GetDisplayedBeats() const;
  short GetDisplayedBeatDuration() const;
  unsigned short _GetAuxFlags() const;
  unsigned short _GetMeFlags() const;
  unsigned short _GetNewFlags() const;

  // Set (on true) or clear (on false) bits of the aux, me or new flag word.
  void _SetAuxFlag(unsigned short bits, bool on);
  void _SetMeFlag(unsigned short bits, bool on);
  void _SetNewFlag(unsigned short bits, bool on);

  // --- Display settings ------------------------------------------------------------

  // Other values change nothing.
  void SetShowKeySignature(SHOW_STATES state);
  // The aux state wins over the me state when both bits are set.
  SHOW_STATES GetShowKeySignature() const;
  void SetShowTimeSignature(SHOW_STATES state);
  SHOW_STATES GetShowTimeSignature() const;

  // Hosts up to 0x0FFFFFFF know no such setting: there the setter changes nothing and
  // the getter answers false.
  void SetShowFullNames(bool show);
  bool GetShowFullNames() const;

  // Other values change nothing. Stored codes other than 4 and 0 read as
  // POSITIONING_BEATCHART.
  void SetPositioningNotesMode(POSITIONING_MODES mode);
  POSITIONING_MODES GetPositioningNotesMode() const;

  // The right barline. Styles outside 0 to 6 change nothing.
  void SetBarline(BARLINE_STYLES style);
  BARLINE_STYLES GetBarline() const;
  // The left barline. Styles outside 0 to 6 change nothing.
  void SetLeftBarline(BARLINE_STYLES style);
  BARLINE_STYLES GetLeftBarline() const;
  // For a style of 0 to 6, stores it in *mask and answers true; otherwise stores 0 and
  // answers false. A null mask is not written.
  static bool _GetBarlineMask(BARLINE_STYLES style, unsigned short* mask);

  // --- Sub-objects (owned by the measure) ------------------------------------------

  // The sub-object, or null when the measure has none.
  FCKeySignature* GetKeySignature() const { return _keysig; }
  FCTimeSignature* GetTimeSignature() const { return _timesig; }
  FCTimeSignature* GetDisplayedTimeSignature() const { return _displaytimesig; }

  // The sub-object, made first when absent; it then takes its numbers from the
  // record. An existing one is returned as it is. The measure keeps ownership.
  FCKeySignature* _EnsureKeySignature();
  FCTimeSignature* _EnsureTimeSignature();
  FCTimeSignature* _EnsureDisplayedTimeSignature();

 private:
  unsigned short _GetWord(int offset) const;
  void _SetFlag(int offset, unsigned short bits, bool on);

  uint8_t _record[RECORD_SIZE];
  FCKeySignature* _keysig = nullptr;
  FCTimeSignature* _timesig = nullptr;
  FCTimeSignature* _displaytimesig = nullptr;
};

// The measure records of the document.
class FCMeasures : public FCCollectionOf<__FCCollectionNoInciOther, FCMeasure> {
 public:
  FCMeasures() = default;
  ~FCMeasures() override;

  const char* ClassName() const override { return "FCMeasures"; }
  // A new FCMeasure.
  __FCBaseData* CreateElement() override;

  // Replaces the contents with clones of the region's measures that load (start to end
  // measure; those beyond the document are skipped). An empty or null region leaves the
  // collection empty.
  void LoadRegion(FCMusicRegion* region);

  // Replaces the contents with clones of the measures first to last that load;
  // those that do not load are skipped. Nothing when last is below first.
  void _LoadRange(int first, int last);
};
