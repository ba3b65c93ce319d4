// The host's layout metrics of one measure on one staff (FX_GetMeasureMetrics). The
// record's layout is the host's; the emulated host fills 24 bytes (docs/host-music.md):
//   0   measure duration (32-bit)       4   longest layer of the cell (32-bit)
//   8   entries in the cell             10  layers holding entries
//   12  the staff's slot in list 0      14  key value
//   16  beats                           18  beat duration
//   20  flags (32-bit): 0x1 the music fills the measure, 0x2 the document's last measure
#pragma once

#include <cstdint>

#include "framework/core/fcbase.h"

class FCCell;

class FCMeasureMetrics : public __FCBase {
 public:
  static constexpr int RECORD_SIZE = 24;

  const char* ClassName() const override { return "FCMeasureMetrics"; }

  // Asks the host for the cell's metrics; true when it answered. A null cell, or one
  // that does not fit the host's numbers (FCCell::_FitsHost), is false without a host
  // call.
  bool Load(FCCell* cell, bool flag);

  int GetMeasureDuration() const;
  int GetMusicDuration() const;
  int GetEntryCount() const;
  int GetLayerCount() const;
  int GetSlot() const;
  int GetKeyValue() const;
  bool IsMeasureFilled() const;
  bool IsLastMeasure() const;
  // The record as the host filled it.
  const uint8_t* _GetRecord() const { return _record; }

 private:
  uint8_t _record[RECORD_SIZE] = {};
};
