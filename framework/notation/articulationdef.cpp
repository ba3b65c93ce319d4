// FCArticulationDef: the 'SOAD' record's symbols, fonts and positioning (articulationdef.h
// lays out the record). Font names and unknown fonts: docs/definitions.md.
#include "framework/notation/articulationdef.h"

#include <cstring>
#include <initializer_list>
#include <memory>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fontinfo.h"

struct FCArticulationDef::SymbolFields {
  size_t character;
  size_t effects;
  size_t font;
  size_t size;
  unsigned short noFontFlag;  // in the symbol flags
};

namespace {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

constexpr size_t kPositioningFlags = 10;
constexpr size_t kSymbolFlags = 22;

const FCArticulationDef::SymbolFields kMainSymbol = {0, 1, 2, 3, 0x0002};
const FCArticulationDef::SymbolFields kFlippedSymbol = {12, 13, 14, 15, 0x0004};

// Positioning flags: bits 0 to 2 hold the side code, bit 3 turns positioning on.
constexpr unsigned short kSideCodeBits = 0x0007;
constexpr unsigned short kAutoPosOn = 0x0008;
// The side code of each positioning side from 1 to 5.
constexpr unsigned short kSideCodes[] = {4, 0, 1, 3, 2};
constexpr int kSides = sizeof(kSideCodes) / sizeof(kSideCodes[0]);

unsigned short Bit(int n) { return static_cast<unsigned short>(1u << n); }

}  // namespace

FCArticulationDef::FCArticulationDef() { std::memset(_record, 0, sizeof(_record)); }

void FCArticulationDef::CloneMemoryFrom(__FCBaseData* source) {
  const FCArticulationDef* other = dynamic_cast<const FCArticulationDef*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

// --- Fields -------------------------------------------------------------------------

unsigned char FCArticulationDef::GetMainSymbolChar() const { return fxt::GetU8(_record, 0); }
void FCArticulationDef::SetMainSymbolChar(unsigned char c) { fxt::PutU8(_record, 0, c); }
unsigned char FCArticulationDef::GetFlippedSymbolChar() const { return fxt::GetU8(_record, 12); }
void FCArticulationDef::SetFlippedSymbolChar(unsigned char c) { fxt::PutU8(_record, 12, c); }

unsigned short FCArticulationDef::GetPositioningFlags() const {
  return fxt::GetU16(_record, kPositioningFlags);
}
void FCArticulationDef::SetPositioningFlags(unsigned short flags) {
  fxt::PutU16(_record, kPositioningFlags, flags);
}
unsigned short FCArticulationDef::GetSymbolFlags() const {
  return fxt::GetU16(_record, kSymbolFlags);
}
void FCArticulationDef::SetSymbolFlags(unsigned short flags) {
  fxt::PutU16(_record, kSymbolFlags, flags);
}

// --- Symbol fonts -------------------------------------------------------------------

bool FCArticulationDef::_HasNoFont(const SymbolFields& symbol) const {
  return (GetSymbolFlags() & symbol.noFontFlag) != 0;
}

void FCArticulationDef::_GetSymbolFont(const SymbolFields& symbol,
                                       char (*name)[FONTNAME_SIZE]) const {
  if (!name) return;
  std::memset(*name, 0, FONTNAME_SIZE);
  if (_HasNoFont(symbol)) return;
  // The host writes into a buffer of its own, so that a number it cannot name leaves
  // the caller an empty name rather than whatever the caller's buffer held.
  char buffer[FONTNAME_SIZE];
  std::memset(buffer, 0, sizeof buffer);
  const int16_t number = fxt::GetU8(_record, symbol.font);
  if (FX_FontNumToName(number, buffer, kVersion) == 0) return;
  buffer[FONTNAME_SIZE - 1] = '\0';
  std::memcpy(*name, buffer, FONTNAME_SIZE);
}

bool FCArticulationDef::_IsSymbolFont(const SymbolFields& symbol,
                                      const char (*name)[FONTNAME_SIZE]) const {
  if (!name) return false;
  char font[FONTNAME_SIZE];
  _GetSymbolFont(symbol, &font);
  // The caller's name counts up to its NUL, or to the end of its 256 bytes.
  const void* nul = std::memchr(*name, 0, FONTNAME_SIZE);
  const size_t length =
      nul ? static_cast<size_t>(static_cast<const char*>(nul) - *name) : FONTNAME_SIZE;
  return std::strlen(font) == length && std::memcmp(font, *name, length) == 0;
}

void FCArticulationDef::_SetSymbolFont(const SymbolFields& symbol,
                                       const char (*name)[FONTNAME_SIZE]) {
  if (!name) return;
  const int32_t number = FX_FontNameToNum(*name, kVersion);
  fxt::PutU8(_record, symbol.font, static_cast<uint8_t>(number));
}

void FCArticulationDef::_GetSymbolFontInfo(const SymbolFields& symbol, FCFontInfo* font,
                                           bool sizeWithoutFont) const {
  if (!font) return;
  char name[FONTNAME_SIZE];
  _GetSymbolFont(symbol, &name);
  font->SetName(name);
  font->SetEffects(fxt::GetU8(_record, symbol.effects));
  const bool sized = sizeWithoutFont || !_HasNoFont(symbol);
  font->SetSize(sized ? fxt::GetU8(_record, symbol.size) : 0);
}

void FCArticulationDef::_SetSymbolFontInfo(const SymbolFields& symbol, FCFontInfo* font) {
  if (!font) return;
  // The description's name is at most 255 bytes and its NUL.
  char name[FONTNAME_SIZE];
  std::memset(name, 0, sizeof name);
  const char* text = font->GetNameCString();
  std::memcpy(name, text,
              std::strlen(text) < FONTNAME_SIZE ? std::strlen(text) : FONTNAME_SIZE - 1);
  _SetSymbolFont(symbol, &name);
  fxt::PutU8(_record, symbol.effects, static_cast<uint8_t>(font->GetEffects()));
  fxt::PutU8(_record, symbol.size, static_cast<uint8_t>(font->GetSize()));
}

void FCArticulationDef::GetMainSymbolFont(char (*name)[FONTNAME_SIZE]) const {
  _GetSymbolFont(kMainSymbol, name);
}
void FCArticulationDef::GetFlippedSymbolFont(char (*name)[FONTNAME_SIZE]) const {
  _GetSymbolFont(kFlippedSymbol, name);
}
bool FCArticulationDef::IsMainSymbolFont(const char (*name)[FONTNAME_SIZE]) const {
  return _IsSymbolFont(kMainSymbol, name);
}
bool FCArticulationDef::IsFlippedSymbolFont(const char (*name)[FONTNAME_SIZE]) const {
  return _IsSymbolFont(kFlippedSymbol, name);
}
void FCArticulationDef::SetMainSymbolFont(const char (*name)[FONTNAME_SIZE]) {
  _SetSymbolFont(kMainSymbol, name);
}
void FCArticulationDef::SetFlippedSymbolFont(const char (*name)[FONTNAME_SIZE]) {
  _SetSymbolFont(kFlippedSymbol, name);
}
void FCArticulationDef::SetMainSymbolSize(short size) {
  fxt::PutU8(_record, kMainSymbol.size, static_cast<uint8_t>(size));
}
void FCArticulationDef::SetFlippedSymbolSize(short size) {
  fxt::PutU8(_record, kFlippedSymbol.size, static_cast<uint8_t>(size));
}
void FCArticulationDef::GetMainSymbolFontInfo(FCFontInfo* font) const {
  _GetSymbolFontInfo(kMainSymbol, font, false);
}
void FCArticulationDef::GetFlippedSymbolFontInfo(FCFontInfo* font) const {
  _GetSymbolFontInfo(kFlippedSymbol, font, false);
}
FCFontInfo* FCArticulationDef::CreateMainSymbolFontInfo() const {
  FCFontInfo* font = new FCFontInfo;
  _GetSymbolFontInfo(kMainSymbol, font, true);
  return font;
}
void FCArticulationDef::SetMainSymbolFontInfo(FCFontInfo* font) {
  _SetSymbolFontInfo(kMainSymbol, font);
}
void FCArticulationDef::SetFlippedSymbolFontInfo(FCFontInfo* font) {
  _SetSymbolFontInfo(kFlippedSymbol, font);
}

// --- Positioning --------------------------------------------------------------------

FCArticulationDef::POSITIONING_SIDES FCArticulationDef::GetAutoPosSide() const {
  const unsigned short flags = GetPositioningFlags();
  if ((flags & kAutoPosOn) == 0) return AUTOPOS_NONE;
  for (int side = 1; side <= kSides; ++side)
    if (kSideCodes[side - 1] == (flags & kSideCodeBits))
      return static_cast<POSITIONING_SIDES>(side);
  return AUTOPOS_NONE;
}

void FCArticulationDef::SetAutoPosSide(POSITIONING_SIDES side) {
  unsigned short flags = GetPositioningFlags();
  if (side == AUTOPOS_NONE) {
    flags &= static_cast<unsigned short>(~kAutoPosOn);
  } else if (side >= 1 && side <= kSides) {
    flags &= static_cast<unsigned short>(~kSideCodeBits);
    flags |= kAutoPosOn | kSideCodes[side - 1];
  } else {
    return;
  }
  SetPositioningFlags(flags);
}

// --- Comparison ---------------------------------------------------------------------

namespace {

// One test of the comparison: a bit of a flag word (compared set or clear) or a whole
// 16-bit word.
struct Test {
  size_t offset;
  unsigned short mask;  // 0: the whole word
};

bool Same(const uint8_t* a, const uint8_t* b, const Test& test) {
  const unsigned short x = fxt::GetU16(a, test.offset);
  const unsigned short y = fxt::GetU16(b, test.offset);
  if (test.mask == 0) return x == y;
  return ((x & test.mask) != 0) == ((y & test.mask) != 0);
}

template <size_t N>
bool AllSame(const uint8_t* a, const uint8_t* b, const Test (&tests)[N]) {
  for (const Test& test : tests)
    if (!Same(a, b, test)) return false;
  return true;
}

const Test kAlwaysFlags[] = {{kPositioningFlags, Bit(13)},
                             {kPositioningFlags, Bit(14)},
                             {kPositioningFlags, Bit(6)},
                             {kPositioningFlags, Bit(5)}};
const Test kFirstGroup[] = {{kSymbolFlags, Bit(6)},
                            {kSymbolFlags, Bit(4)},
                            {36, 0},
                            {38, 0},
                            {kSymbolFlags, Bit(5)},
                            {40, 0},
                            {42, 0},
                            {kSymbolFlags, Bit(3)},
                            {44, 0},
                            {46, 0}};
const Test kThirdGroup[] = {{kSymbolFlags, Bit(0)},
                            {kPositioningFlags, Bit(12)},
                            {kPositioningFlags, Bit(7)},
                            {kPositioningFlags, Bit(4)},
                            {kPositioningFlags, Bit(9)}};
const Test kSecondGroup[] = {{20, 0}, {18, 0}, {16, 0}, {30, 0}, {28, 0}};

// The symbol's character, read as 0 when the symbol has no font.
unsigned char SymbolChar(const uint8_t* record, size_t offset, unsigned short noFontFlag) {
  return (fxt::GetU16(record, kSymbolFlags) & noFontFlag) ? 0 : fxt::GetU8(record, offset);
}

}  // namespace

bool FCArticulationDef::IsIdenticalTo(FCArticulationDef* other, bool first, bool second, bool third,
                                      bool fourth) {
  if (!other) return false;
  if (other == this) return true;
  const uint8_t* a = _record;
  const uint8_t* b = other->_record;
  if (!Same(a, b, {kPositioningFlags, Bit(8)})) return false;
  for (const SymbolFields* symbol : {&kMainSymbol, &kFlippedSymbol}) {
    if (!Same(a, b, {kSymbolFlags, symbol->noFontFlag})) return false;
    if (SymbolChar(a, symbol->character, symbol->noFontFlag) !=
        SymbolChar(b, symbol->character, symbol->noFontFlag))
      return false;
  }
  const std::unique_ptr<FCFontInfo> mine(CreateMainSymbolFontInfo());
  const std::unique_ptr<FCFontInfo> theirs(other->CreateMainSymbolFontInfo());
  if (!mine->IsIdenticalTo(theirs.get())) return false;
  if (!AllSame(a, b, kAlwaysFlags)) return false;
  if (first && !AllSame(a, b, kFirstGroup)) return false;
  if (third && !AllSame(a, b, kThirdGroup)) return false;
  if (fourth && GetAutoPosSide() != other->GetAutoPosSide()) return false;
  if (second && !AllSame(a, b, kSecondGroup)) return false;
  return true;
}
