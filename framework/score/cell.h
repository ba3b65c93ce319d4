// A cell: one measure on one staff, the unit in which the host keeps a staff's music and
// the records attached to it. A cell refers to no host record.
#pragma once

#include "framework/core/fcbase.h"

class FCCell : public __FCBase {
 public:
  // A cell for measure number measure on staff number staff (a staff, not a slot).
  FCCell(int measure, int staff) : _measure(measure), _staff(staff) {}
  ~FCCell() override;

  FCCell(const FCCell&) = delete;
  FCCell& operator=(const FCCell&) = delete;

  const char* ClassName() const override { return "FCCell"; }

  int GetMeasure() const { return _measure; }
  int GetStaff() const { return _staff; }

 private:
  int _measure;
  int _staff;
};
