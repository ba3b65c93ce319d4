// The host's knowledge of the record layouts it computes with: raw texts and text
// blocks, staves and their names, the staff lists of the instrument lists, multi-staff
// instruments, font preferences and the names of groups.
//
// This is the one place where the host reads and writes those layouts. The host
// functions (host/functions/texts.cpp, host/functions/staves.cpp), the document file and the
// chart all go through it. The rules are in docs/host-texts-staves.md.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/store/document.h"
#include "host/store/score.h"

namespace fxthost {

// --- Tags (staves, system staves and measures: host/store/score.h) -----------------------

constexpr uint32_t kCurrentStaffSpecTag = fxt::MakeTag('S', 'O', 'S', 'C');
constexpr uint32_t kMultiStaffInstrumentTag = fxt::MakeTag('o', 't', 'M', 'G');
constexpr uint32_t kTextBlockTag = fxt::MakeTag('S', 'O', 'T', 'X');
constexpr uint32_t kDefaultRawTextTag = fxt::MakeTag('t', 'x', 'b', 'l');
constexpr uint32_t kTextRepeatTextTag = fxt::MakeTag('o', 's', 'R', 'T');
constexpr uint32_t kFontPrefsTag = fxt::MakeTag('p', 'f', 'd', 'f');
constexpr uint32_t kGroupTag = fxt::MakeTag('S', 'D', 'N', 'G');

// --- Record sizes and fields ------------------------------------------------------

constexpr int kStaffRecordSize = 132;
constexpr int kStaffNameBlockOffset = 30;
constexpr int kSystemStaffRecordSize = 24;
constexpr int kMultiStaffInstrumentSize = 12;
constexpr int kTextBlockSize = 26;
constexpr int kFontPrefsSize = 6;
constexpr int kGroupRecordSize = 36;
constexpr int kGroupFullNameOffset = 4;
constexpr int kGroupAbbreviatedNameOffset = 22;
// Raw text type of the blocks behind group, staff and page names ('bl').
constexpr uint16_t kNameTextType = 0x626C;

// --- Raw texts -------------------------------------------------------------------

// Callers of this record version and later load and save raw texts as UTF-16; callers
// of an earlier version as 8-bit Windows-1252.
constexpr uint32_t kUnicodeTextVersion = 0x11000000;

// Raw texts live under every tag whose high half is 'tx', and under 'osRT'.
bool IsRawTextTag(uint32_t tag);
// The tag of the raw text behind a text block of that type: 'tx' combined with the type
// read as a signed 16-bit value, as the blocks' readers combine them.
uint32_t RawTextTagOfType(uint16_t type);

// The stored form of a text: its UTF-16 units (little-endian) and a 0 unit.
RecordStore::Bytes StoredText(const std::u16string& text);
// The text of a stored record: its units up to the first 0 unit (or the end; an odd
// last byte is ignored).
std::u16string TextOfStored(const RecordStore::Bytes& stored);
// A text as a caller of the version receives it, terminator included: UTF-16 units and
// a 0 unit, or Windows-1252 bytes and a NUL.
RecordStore::Bytes TextForVersion(const std::u16string& text, uint32_t version);
// The text in a caller's buffer of size bytes, read up to its terminator (or the end),
// in the encoding of the version.
std::u16string TextFromCaller(const void* data, int32_t size, uint32_t version);

// Host-side access in UTF-8. PutRawText stores (or replaces) the text under the number;
// NewRawText stores it under a fresh number and returns it (0 when none is left);
// ReadRawText is false when there is no such record.
bool PutRawText(Document& document, uint32_t tag, int16_t number, const std::string& utf8);
int16_t NewRawText(Document& document, uint32_t tag, const std::string& utf8);
bool ReadRawText(const Document& document, uint32_t tag, int16_t number, std::string* utf8);
bool ReadRawText16(const Document& document, uint32_t tag, int16_t number, std::u16string* text);

// --- Text blocks -----------------------------------------------------------------

// A new text block as the host makes one: the values of a fresh block with the raw
// text number and the type filled in.
RecordStore::Bytes MakeTextBlock(int16_t rawText, uint16_t type);
// Makes a raw text and a text block that names it; returns the block's number, 0 when
// either could not be made (then nothing is left behind).
uint16_t NewTextBlock(Document& document, const std::string& utf8, uint16_t type = kNameTextType);
// The same for a block with the settings given (every byte but the raw text number, at
// least kTextBlockSize bytes; the type is word 12 of them).
uint16_t NewTextBlockLike(Document& document, const std::string& utf8,
                          const RecordStore::Bytes& settings);
// The text behind the block; false when the block or its raw text is missing.
bool ReadTextBlock(const Document& document, uint16_t block, std::string* utf8);
bool ReadTextBlock16(const Document& document, uint16_t block, std::u16string* text);

// --- Staves ----------------------------------------------------------------------

struct StaffInfo {
  int16_t number = 0;
  uint16_t nameBlock = 0;  // 0: the staff has no name
  std::string name;        // the raw name, inline tags included
};

// Stores a staff record (all other bytes zero) with a name block for the name; an
// empty name gives name block 0. Replaces a staff of that number.
bool PutStaff(Document& document, int16_t staff, const std::string& name);
bool ReadStaff(const Document& document, int16_t staff, StaffInfo* info);
// The staff numbers of the document in key order.
std::vector<int16_t> StaffNumbers(const Document& document);

// --- Instrument lists (the system staves of each list) ---------------------------
//
// System-staff records: first item number = the list, inci = slot - 1, the staff number
// at offset 0, 24 bytes.

// Replaces the list with the staves in order: inci i holds the staff of slot i + 1.
bool WriteInstrumentList(Document& document, uint16_t list, const std::vector<int16_t>& staves);
// The staves of the list in slot order (the gapless run from inci 0).
std::vector<int16_t> ReadInstrumentList(const Document& document, uint16_t list);
// The numbers of the lists that have at least one staff, ascending.
std::vector<uint16_t> InstrumentListNumbers(const Document& document);
// The slot conversions themselves are StaffAtSlot and SlotOf (host/store/score.h).

// --- Multi-staff instruments -----------------------------------------------------

struct MultiStaffInstrument {
  uint16_t id = 0;
  std::array<int16_t, 3> staves = {{0, 0, 0}};  // 0: no staff in that place
};

bool PutMultiStaffInstrument(Document& document, const MultiStaffInstrument& instrument);
std::vector<MultiStaffInstrument> ReadMultiStaffInstruments(const Document& document);

// --- Font preferences ------------------------------------------------------------

struct FontPref {
  int16_t font = 0;
  int16_t size = 0;
  uint16_t effects = 0;
};

bool PutFontPref(Document& document, int16_t number, const FontPref& pref);
bool ReadFontPref(const Document& document, int16_t number, FontPref* pref);

// --- Group names -----------------------------------------------------------------

struct GroupNames {
  uint16_t fullBlock = 0;
  uint16_t abbreviatedBlock = 0;
  std::optional<std::string> full;  // absent: block 0 or no readable text
  std::optional<std::string> abbreviated;
};

// Gives the existing group record (first, group) new name blocks: a new text block for
// each name given, block 0 for each name absent. The old blocks are left as they are.
// False, with nothing changed, when there is no such group or a text cannot be made.
bool WriteGroupNames(Document& document, uint16_t first, uint16_t group,
                     const std::optional<std::string>& full,
                     const std::optional<std::string>& abbreviated);
bool ReadGroupNames(const Document& document, uint16_t first, uint16_t group, GroupNames* names);

// --- Displayed staff names -------------------------------------------------------

// A raw name as the host shows it: font, size and effect tags removed, the accidental
// inserts ^flat(), ^sharp(), ^natural(), ^dbflat() and ^dbsharp() shown as their
// characters, an escaped caret (^^) as one caret, every other tag kept as written, and
// a tag left open at the end dropped.
std::u16string DisplayedName(const std::u16string& raw);
// The displayed name of a staff from the name block (or, for a block of 0 or less, from
// the name block in the staff's record); false when there is no text to show.
bool StaffDisplayedName(const Document& document, int16_t block, int16_t staff,
                        std::u16string* name);

}  // namespace fxthost
