// Articulation definitions ('SOAD', 48 bytes, one record per item number from 1): the
// symbol drawn for an articulation (a character of a font, with its size and effects),
// the second symbol used when the articulation is flipped, the automatic positioning
// of the symbol, and further settings that the framework only compares.
//
// Record layout (little-endian; offsets in bytes):
//   0  main symbol character (byte), main symbol effects (byte)
//   2  main symbol font number (byte), main symbol size (byte)
//  10  positioning flags: bits 0-2 the side code, bit 3 automatic positioning on
//  12  flipped symbol character (byte), flipped symbol effects (byte)
//  14  flipped symbol font number (byte), flipped symbol size (byte)
//  22  symbol flags: bit 1 the main symbol has no font, bit 2 the flipped one has none
//  16, 18, 20, 28, 30, 36-46  words that IsIdenticalTo compares
// Every other byte is carried unchanged.
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCFontInfo;

class FCArticulationDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4144;  // 'SOAD'
  static constexpr int RECORD_SIZE = 48;
  // A font name: 255 bytes and the NUL.
  static constexpr int FONTNAME_SIZE = 256;

  // Held as an int, so that any value a caller passes is one the setter can refuse.
  enum POSITIONING_SIDES : int {
    AUTOPOS_NONE = 0,  // no automatic positioning
    AUTOPOS_1 = 1,
    AUTOPOS_2 = 2,
    AUTOPOS_3 = 3,
    AUTOPOS_4 = 4,
    AUTOPOS_5 = 5,
  };

  // The record zeroed; no data block until the first load.
  FCArticulationDef();

  const char* ClassName() const override { return "FCArticulationDef"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCArticulationDef; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source definition's record (zeros when source is none) and sets the
  // loaded size to 48.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // --- Symbols -------------------------------------------------------------------

  unsigned char GetMainSymbolChar() const;
  void SetMainSymbolChar(unsigned char character);
  unsigned char GetFlippedSymbolChar() const;
  void SetFlippedSymbolChar(unsigned char character);
  unsigned short GetPositioningFlags() const;
  void SetPositioningFlags(unsigned short flags);
  unsigned short GetSymbolFlags() const;
  void SetSymbolFlags(unsigned short flags);

  // The font's name: empty when the symbol has no font (symbol flag bit 1 or 2) or
  // when the host cannot name its font number.
  void GetMainSymbolFont(char (*name)[FONTNAME_SIZE]) const;
  void GetFlippedSymbolFont(char (*name)[FONTNAME_SIZE]) const;
  // Whether the symbol's font name is exactly name (byte for byte).
  bool IsMainSymbolFont(const char (*name)[FONTNAME_SIZE]) const;
  bool IsFlippedSymbolFont(const char (*name)[FONTNAME_SIZE]) const;
  // Stores the low 8 bits of the host's number for the font name; the size stays.
  void SetMainSymbolFont(const char (*name)[FONTNAME_SIZE]);
  void SetFlippedSymbolFont(const char (*name)[FONTNAME_SIZE]);
  // Store the low 8 bits of size; the font number stays.
  void SetMainSymbolSize(short size);
  void SetFlippedSymbolSize(short size);

  // The symbol as a font description: name, effects, and size (0 when the symbol has
  // no font).
  void GetMainSymbolFontInfo(FCFontInfo* font) const;
  void GetFlippedSymbolFontInfo(FCFontInfo* font) const;
  // A new description, owned by the caller: the main symbol's name, effects and size,
  // the size taken even when the symbol has no font.
  FCFontInfo* CreateMainSymbolFontInfo() const;
  // The description's name, effects (low 8 bits) and size become the symbol's.
  void SetMainSymbolFontInfo(FCFontInfo* font);
  void SetFlippedSymbolFontInfo(FCFontInfo* font);

  // --- Positioning ---------------------------------------------------------------

  // AUTOPOS_NONE when automatic positioning is off or the side code names no side.
  POSITIONING_SIDES GetAutoPosSide() const;
  // AUTOPOS_NONE turns automatic positioning off and keeps the side code; a side turns
  // it on with that side's code; any other value changes nothing. Bits 4 to 15 stay.
  void SetAutoPosSide(POSITIONING_SIDES side);

  // --- Comparison ----------------------------------------------------------------

  // Whether the two definitions are alike: always in the symbols, the main symbol's
  // font and a few positioning flags; in the groups of further settings that first,
  // second, third and fourth select. False for a null other.
  bool IsIdenticalTo(FCArticulationDef* other, bool first, bool second, bool third, bool fourth);

  // The offsets of one symbol's four bytes and its no-font flag.
  struct SymbolFields;

 private:
  void _GetSymbolFont(const SymbolFields& symbol, char (*name)[FONTNAME_SIZE]) const;
  bool _IsSymbolFont(const SymbolFields& symbol, const char (*name)[FONTNAME_SIZE]) const;
  void _SetSymbolFont(const SymbolFields& symbol, const char (*name)[FONTNAME_SIZE]);
  void _GetSymbolFontInfo(const SymbolFields& symbol, FCFontInfo* font, bool sizeWithoutFont) const;
  void _SetSymbolFontInfo(const SymbolFields& symbol, FCFontInfo* font);
  bool _HasNoFont(const SymbolFields& symbol) const;

  uint8_t _record[RECORD_SIZE];
};
