// A time signature: a number of beats of a given duration (4096 units to a whole note).
//
// Each number has a flag; a set flag means that the number does not apply. A measure
// does not copy a number whose flag is set into its record, and MakeString reads it as
// 0. The object is owned by a measure; it is no host record of its own and is never
// loaded from or written to the host.
#pragma once

#include <cstdint>

#include "framework/core/basedata.h"

class FCString;

class FCTimeSignature : public __FCBaseData {
 public:
  FCTimeSignature() = default;
  FCTimeSignature(short beats, short beatDuration) : _beats(beats), _beatduration(beatDuration) {}
  ~FCTimeSignature() override;

  const char* ClassName() const override { return "FCTimeSignature"; }
  // No record: nothing to load, so LoadDataBlock finds no storage and fails before it
  // reaches the host.
  int DataSizeLoad() const override { return 0; }
  void* Allocate() override { return nullptr; }
  __FCBaseData* CreateObject() const override { return new FCTimeSignature; }
  uint32_t Tag() const override { return 0; }
  // Copies the beats, the beat duration and both flags of another time signature.
  void CloneMemoryFrom(__FCBaseData* source) override;
  bool LoadFirst() override { return false; }

  short GetBeats() const { return _beats; }
  void SetBeats(short beats) { _beats = beats; }
  // The length of one beat in the host's duration units.
  short GetBeatDuration() const { return _beatduration; }
  void SetBeatDuration(short duration) { _beatduration = duration; }
  // Set: the beats do not apply.
  bool GetBeatsFlag() const { return _beatsflag; }
  void SetBeatsFlag(bool state) { _beatsflag = state; }
  // Set: the beat duration does not apply.
  bool GetDurationFlag() const { return _durationflag; }
  void SetDurationFlag(bool state) { _durationflag = state; }

  // Sets out to the name: beats "/" the note value of a beat ("4/4"). A dotted beat
  // (a duration divisible by 3) is named by the undotted unit it divides into ("6/8"
  // for two dotted quarters). A beat that is no whole fraction of a whole note is
  // counted in the largest note value that divides it, so that the name gives the
  // measure's length exactly ("4/1" for two breves, "375/512" for three beats of 1000
  // units). "???" when either number is 0 or below or does not apply. A null out is
  // ignored.
  void MakeString(FCString* out) const;

 private:
  short _beats = 0;
  short _beatduration = 0;
  bool _beatsflag = false;
  bool _durationflag = false;
};
