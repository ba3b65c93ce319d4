// A text font description: font name, point size and effect bits.
//
// Converts between the font name and the host's font number, compares two
// descriptions, and writes a description as the host's inline text tags
// (^font(NAME)^size(SIZE)^nfx(EFFECTS)) so that a text can switch font mid-way.
#pragma once

#include <cstdint>

#include "framework/core/fcbase.h"

class FCString;

class FCFontInfo : public __FCBase {
 public:
  // Room for a font name: 255 bytes and the terminating NUL.
  static const int NAME_CAPACITY = 256;

  // "Times New Roman", size 12, effects 0.
  FCFontInfo();

  const char* ClassName() const override { return "FCFontInfo"; }

  // --- Name ------------------------------------------------------------------------

  // Sets name to the font name (as by FCString::SetCString). A null name is ignored.
  void GetName(FCString* name) const;
  // The font name as a NUL-terminated C string owned by this object.
  const char* GetNameCString() const { return _name; }
  // Sets the font name. Names longer than 255 bytes are cut to 255 bytes; a null
  // name is ignored.
  void SetName(const char* name);
  // Sets the font name from the narrowed text of name (cut to 255 bytes). A null name
  // is ignored.
  void SetName(FCString* name);

  // The host's font number for the font name.
  short GetNameByID() const;
  // Sets the font name to the host's name for fontNumber; "Times New Roman" when the
  // host cannot name it.
  void SetNameByID(short fontNumber);

  // --- Size and effects ------------------------------------------------------------

  short GetSize() const { return _size; }
  void SetSize(short size) { _size = size; }
  // The effect bits as the host stores them; the framework gives no bit a meaning.
  unsigned short GetEffects() const { return _effects; }
  void SetEffects(unsigned short effects) { _effects = effects; }
  // Sets (state true) or clears (state false) the effect bits of mask.
  void SetEffectBits(unsigned short mask, bool state) { Set16BitFlag(&_effects, mask, state); }

  // --- Comparison and tags ---------------------------------------------------------

  // True when other agrees in the effect bits 0x01, 0x02, 0x04, 0x20, 0x40 and 0x80,
  // in size, and byte for byte (case-sensitive) in the font name. The other effect
  // bits are not compared. A null other is never identical.
  bool IsIdenticalTo(const FCFontInfo* other) const;

  // Sets out to ^font(NAME)^size(SIZE)^nfx(EFFECTS): the name unchanged, the size as a
  // signed and the effects as an unsigned decimal number. A null out is ignored.
  void MakeEnigmaString(FCString* out) const;
  // Sets out to the effects tag alone: ^nfx(EFFECTS).
  void MakeEnigmaStyleString(FCString* out) const;

  // The effect bits that take part in IsIdenticalTo.
  static const unsigned short COMPARED_EFFECTS = 0x01 | 0x02 | 0x04 | 0x20 | 0x40 | 0x80;

 private:
  char _name[NAME_CAPACITY];
  int16_t _size;
  uint16_t _effects;
};
