// Document preferences that keep some of their settings beside their own record, in the
// host's side records (12 bytes, six little-endian 16-bit words, under tags 'o','t',c1,c2
// with first item number 0xFFFE and an inci): multimeasure rests, music spacing, and
// the part scope.
//
// Load(short) and Save() read and write those settings too. They have the signatures
// of the virtual operations of __FCPrefsBase and __FCBaseData, and so replace them:
// LoadFirst() (which loads preference 1) and a Save() called through a base pointer
// also move the side settings.
#pragma once

#include <cstdint>

#include "framework/core/prefsdata.h"

// Multimeasure-rest preferences: the 24-byte record 'pfMM' (which the host keeps as two
// side records 'ot25') and an extra flag kept in word 4 of 'ot83' inci 0.
class FCMultiMeasureRestPrefs : public __FCPrefsBase {
 public:
  static constexpr uint32_t TAG = 0x70664D4D;  // 'pfMM'
  static constexpr int RECORD_SIZE = 24;

  // The record and the extra flag zeroed; no data block until the first load.
  FCMultiMeasureRestPrefs();

  const char* ClassName() const override { return "FCMultiMeasureRestPrefs"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCMultiMeasureRestPrefs; }
  uint32_t Tag() const override { return TAG; }
  // Copies the record and the extra flag of another multimeasure-rest object (zeros
  // from any other source); the loaded size becomes 24.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Loads the record as preference number, then the extra flag (true when its word is
  // not 0). False when either record cannot be read; the flag then keeps its value.
  bool Load(short number) override;
  // Saves the record, then writes the flag as 1 or 0 into its word, keeping the other
  // words of the side record. False when the record cannot be saved or the side record
  // read; otherwise the result of writing the side record.
  bool Save() override;

  bool GetExtraFlag() const { return _extraflag; }
  void SetExtraFlag(bool value) { _extraflag = value; }

 private:
  uint8_t _record[RECORD_SIZE];
  bool _extraflag = false;
};

// Music-spacing preferences: the 36-byte record 'pfSP' (which the host keeps as three
// side records 'ot94') and four extra values: the first and second from words 2 and 4
// of 'ot94' inci 2, the third and fourth from words 2 and 3 of 'ot41' inci 2.
class FCMusicSpacingPrefs : public __FCPrefsBase {
 public:
  static constexpr uint32_t TAG = 0x70665350;  // 'pfSP'
  static constexpr int RECORD_SIZE = 36;

  // The record and the four extra values zeroed; no data block until the first load.
  FCMusicSpacingPrefs();

  const char* ClassName() const override { return "FCMusicSpacingPrefs"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCMusicSpacingPrefs; }
  uint32_t Tag() const override { return TAG; }
  // Copies the record and the extra values of another music-spacing object (zeros from
  // any other source); the loaded size becomes 36.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Loads the record as preference number; on success reads both side records, each
  // whether or not the other could be read, and sets the values of each one read. True
  // only when all three records were read.
  bool Load(short number) override;
  // Saves the record; on success writes the values into both side records, each that
  // can be read (the second value as its low 16 bits). True only when the record and
  // both side records were written.
  bool Save() override;

  short GetFirstExtraValue() const { return _extravalue1; }
  int32_t GetSecondExtraValue() const { return _extravalue2; }
  short GetThirdExtraValue() const { return _extravalue3; }
  short GetFourthExtraValue() const { return _extravalue4; }
  void SetFirstExtraValue(short value) { _extravalue1 = value; }
  void SetSecondExtraValue(int32_t value) { _extravalue2 = value; }
  void SetThirdExtraValue(short value) { _extravalue3 = value; }
  void SetFourthExtraValue(short value) { _extravalue4 = value; }

 private:
  uint8_t _record[RECORD_SIZE];
  short _extravalue1 = 0;
  int32_t _extravalue2 = 0;
  short _extravalue3 = 0;
  short _extravalue4 = 0;
};

// Part-scope preferences: no record of their own, only the scope flag, kept negated in
// word 0 of 'otPG' inci 0 (the flag is true when the word is 0).
class FCPartScopePrefs : public __FCPrefsBase {
 public:
  // A two-byte record that the class keeps but never loads or saves.
  static constexpr int RECORD_SIZE = 2;

  // The scope flag false.
  FCPartScopePrefs();

  const char* ClassName() const override { return "FCPartScopePrefs"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCPartScopePrefs; }
  // No record type of its own.
  uint32_t Tag() const override { return 0; }
  // Copies the scope flag of another part-scope object (false from any other source).
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Reads the scope flag; the number is not used. False when the side record cannot be
  // read (the flag keeps its value).
  bool Load(short number) override;
  // Writes the flag into the side record (1 when false, 0 when true), keeping its other
  // words. False, writing nothing, when the side record cannot be read; otherwise what
  // the write reported (false when the host refused it).
  bool Save() override;

  bool GetScopeFlag() const { return _scopeflag; }
  void SetScopeFlag(bool value) { _scopeflag = value; }

 private:
  uint8_t _record[RECORD_SIZE];
  bool _scopeflag = false;
};
