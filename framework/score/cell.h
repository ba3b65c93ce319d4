// A cell: one measure on one staff, the unit in which the host keeps a staff's music and
// the records attached to it. A cell refers to no host record; it answers two questions
// about its music, the key signature in force and the length of its entries.
#pragma once

#include "framework/core/fcbase.h"

class FCKeySignature;

class FCCell : public __FCBase {
 public:
  // A cell for measure number measure on staff number staff (a staff, not a slot).
  FCCell(int measure, int staff) : _measure(measure), _staff(staff) {}
  // Destroys the sub-objects the cell made.
  ~FCCell() override;

  FCCell(const FCCell&) = delete;
  FCCell& operator=(const FCCell&) = delete;

  const char* ClassName() const override { return "FCCell"; }

  int GetMeasure() const { return _measure; }
  int GetStaff() const { return _staff; }
  // Whether the measure and staff fit the host's signed 16-bit numbers. A cell outside
  // them is no cell of the host's: its questions are answered without asking the host,
  // which would otherwise answer for the cell its numbers cut to (65,538 is measure 2).
  bool _FitsHost() const;

  // The key signature in force in the cell: the cell's own, when the staff's settings
  // say that cells have their own keys and the cell's independent details give one;
  // otherwise the measure's. The object is the cell's (made on first use, refreshed by
  // every call, kept when neither source loads or the cell does not fit the host);
  // callers do not destroy it.
  FCKeySignature* GetKeySignature();

  // The longest duration of the cell's music over the chosen layers: -1 all layers, 0
  // the layers the host shows, n (1 or more) layer n alone. Layers whose frame does not
  // load count 0. A staff without a slot in the score's list (0) has no music here: 0,
  // without asking for a frame; so do a choice below -1 and a cell that does not fit the
  // host. Every frame loaded is given back.
  int CalcEntryDuration(int layer);

 private:
  int _measure;
  int _staff;
  FCKeySignature* _keysig = nullptr;
  // A further sub-object the cell may own; nothing in this library makes it.
  __FCBase* _other = nullptr;
};
