// A key signature: the host's 16-bit key value and what follows from it.
//
// A key value below 0x200 is a standard key: its high byte is the mode (0 major, 1
// minor) and its low byte, read as a signed 8-bit number, counts the accidentals
// (positive for sharps, negative for flats). Any other value (a high byte of 2 or more,
// or either of the two top bits set) is a non-standard key, which the calculations
// answer with -1 and which has no name.
//
// Letters are numbered from A (0 A, 1 B, 2 C, 3 D, 4 E, 5 F, 6 G); steps above C are
// numbered from C (0 C, 1 D, 2 E, 3 F, 4 G, 5 A, 6 B).
//
// The object is owned by a measure or a cell; it is no host record of its own.
#pragma once

#include <cstdint>

#include "framework/core/basedata.h"

class FCString;

class FCKeySignature : public __FCBaseData {
 public:
  // The two bytes of the key value.
  static constexpr int RECORD_SIZE = 2;

  // Key value 0 (C major).
  FCKeySignature();

  const char* ClassName() const override { return "FCKeySignature"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCKeySignature; }
  // No host record of its own.
  uint32_t Tag() const override { return 0; }
  // Copies the key value of another key signature (0 when source is none).
  void CloneMemoryFrom(__FCBaseData* source) override;
  ~FCKeySignature() override;
  // Key signatures are not walked in the host.
  bool LoadFirst() override { return false; }

  short GetKeyValue() const;
  void SetKeyValue(short value);

  // Whether the value is a standard key (below 0x200 read unsigned).
  bool IsStandard() const;
  // True for a standard minor key.
  bool IsMinor() const;

  // Sharps of a standard key (0 for flat keys and keys without accidentals); -1 for
  // a non-standard key.
  short CalcSharps() const;
  // Flats of a standard key (0 for sharp keys and keys without accidentals); -1 for a
  // non-standard key.
  short CalcFlats() const;
  // The tonic's letter (0 A to 6 G); -1 for a non-standard key.
  int CalcScaleRootIndex() const;
  // Steps from C up to the tonic of the major key with the same accidentals: 0 to 6
  // (seven flats, C flat major, give 0); -1 for a non-standard key.
  int CalcRootRelationIndex() const;
  // Steps from C up to the key's own tonic (minor keys included); -1 for a
  // non-standard key.
  int CalcRootRelationAbsoluteIndex() const;

  // Whether the key's sharps (flats) include the letter (0 A to 6 G). False for a
  // letter outside 0 to 6 and for a key without sharps (flats).
  bool IsSharpNote(int letter) const;
  bool IsFlatNote(int letter) const;

  // Whether other names the same key: same mode class (both minor, both major, or
  // both neither), and the same tonic letter, flats and sharps. Two non-standard keys
  // whose modes are neither major nor minor are therefore identical. A null other is
  // not identical.
  bool IsIdentical(FCKeySignature* other) const;
  using __FCBase::IsIdentical;

  // Sets out to the key's name: the tonic's letter (lower case for minor, upper case
  // for major), " sharp" or " flat" when the tonic is altered, then " minor" or
  // " major" ("B flat major", "c sharp minor"). A non-standard key gives the empty
  // text. A null out is ignored.
  void MakeString(FCString* out) const;

 private:
  // The high byte, or -1 when either of the two top bits is set.
  int _Mode() const;

  uint8_t _record[RECORD_SIZE];
};
