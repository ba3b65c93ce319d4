// Records attached to a cell (a measure on a staff): chords, MIDI expressions and the
// cell's independent settings. Key: first = the staff, second = the measure, third = the
// record's number in the cell (always 0 for the independent settings).
//
// FCChord ('SDCh', 30 bytes, record version 0x0F000000): bytes 20-23 the position in
//   the measure (signed 32-bit).
// FCMidiExpression ('dtME', 10 bytes, always saved at 10): bytes 0-3 the position in the
//   measure (signed 32-bit).
// FCIndependentCellDetail ('dtFL', 10 bytes, always saved at 10; at most one per cell):
//   bytes 0-1 the cell's own key value (signed); word 8, bit 0x0800 (byte 9, bit 0x08):
//   the cell has its own key signature.
// Bytes not named are carried unchanged. A clone copies the record only, not the cell.
#pragma once

#include <cstdint>

#include "framework/core/detaildata.h"

class FCChord : public __FCCellDetail {
 public:
  static constexpr uint32_t TAG = 0x53444368;  // 'SDCh'
  static constexpr int RECORD_SIZE = 30;
  static constexpr uint32_t RECORD_VERSION = 0x0F000000;

  // The record zeroed and held at full size, so that it can be created at once.
  FCChord();

  const char* ClassName() const override { return "FCChord"; }
  uint32_t EnigmaVersion() const override { return RECORD_VERSION; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCChord; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;

  int GetMeasurePos() const;
  void SetMeasurePos(int position);

 private:
  uint8_t _record[RECORD_SIZE];
};

// A MIDI expression in a cell: its position in the measure; one of several per cell.
class FCMidiExpression : public __FCCellDetail {
 public:
  static constexpr uint32_t TAG = 0x64744D45;  // 'dtME'
  static constexpr int RECORD_SIZE = 10;

  // The record zeroed and made the data block, but holding no record (loaded size 0)
  // until it is loaded or created.
  FCMidiExpression();

  const char* ClassName() const override { return "FCMidiExpression"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  int DataSizeSave() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCMidiExpression; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;

  int GetMeasurePos() const;
  void SetMeasurePos(int position);

 private:
  uint8_t _record[RECORD_SIZE];
};

// A cell's independent settings (at most one record per cell): its own key signature.
class FCIndependentCellDetail : public __FCNoInciCellDetail {
 public:
  static constexpr uint32_t TAG = 0x6474464C;  // 'dtFL'
  static constexpr int RECORD_SIZE = 10;

  // As FCMidiExpression: the zeroed record is the data block, loaded size 0.
  FCIndependentCellDetail();

  const char* ClassName() const override { return "FCIndependentCellDetail"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  int DataSizeSave() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCIndependentCellDetail; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;

  short GetKeySignatureValue() const;
  void SetKeySignatureValue(short key);
  bool GetHasKeySignature() const;
  void SetHasKeySignature(bool state);

 private:
  uint8_t _record[RECORD_SIZE];
};
