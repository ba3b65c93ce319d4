// Raw texts, text blocks, staves and their names, staff lists, multi-staff instruments,
// font preferences and group names in their record layouts (scoremodel.h; the rules are
// in docs/host-texts-staves.md).
#include "host/store/scoremodel.h"

#include <cstring>

#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// The last inci a key can hold.
constexpr int kLastInci = 0x7FFF;

// Removes a text block made by NewTextBlock together with its raw text.
void EraseTextBlock(Document& document, uint16_t block) {
  const RecordStore::Bytes* record = document.records.Find(kTextBlockTag, DataKey::Of(block));
  if (!record) return;
  if (record->size() >= static_cast<size_t>(kTextBlockSize)) {
    const int16_t rawText = fxt::GetS16(record->data(), 0);
    const uint16_t type = fxt::GetU16(record->data(), 24);
    document.records.Erase(RawTextTagOfType(type), DataKey::Of(static_cast<uint16_t>(rawText)));
  }
  document.records.Erase(kTextBlockTag, DataKey::Of(block));
}

}  // namespace

// --- Raw texts -------------------------------------------------------------------

bool IsRawTextTag(uint32_t tag) { return (tag >> 16) == 0x7478u || tag == kTextRepeatTextTag; }

uint32_t RawTextTagOfType(uint16_t type) {
  return 0x74780000u | static_cast<uint32_t>(static_cast<int32_t>(static_cast<int16_t>(type)));
}

RecordStore::Bytes StoredText(const std::u16string& text) {
  RecordStore::Bytes bytes((text.size() + 1) * 2, 0);
  for (size_t i = 0; i < text.size(); ++i) fxt::PutU16(bytes.data(), i * 2, text[i]);
  return bytes;
}

std::u16string TextOfStored(const RecordStore::Bytes& stored) {
  std::u16string text;
  for (size_t offset = 0; offset + 1 < stored.size(); offset += 2) {
    const uint16_t unit = fxt::GetU16(stored.data(), offset);
    if (unit == 0) break;
    text.push_back(static_cast<char16_t>(unit));
  }
  return text;
}

RecordStore::Bytes TextForVersion(const std::u16string& text, uint32_t version) {
  if (version >= kUnicodeTextVersion) return StoredText(text);
  const std::string narrow = Utf16ToCp1252(text);
  RecordStore::Bytes bytes(narrow.begin(), narrow.end());
  bytes.push_back(0);
  return bytes;
}

std::u16string TextFromCaller(const void* data, int32_t size, uint32_t version) {
  if (!data || size <= 0) return std::u16string();
  const size_t count = static_cast<size_t>(size);
  if (version >= kUnicodeTextVersion) {
    std::u16string text;
    for (size_t offset = 0; offset + 1 < count; offset += 2) {
      const uint16_t unit = fxt::GetU16(data, offset);
      if (unit == 0) break;
      text.push_back(static_cast<char16_t>(unit));
    }
    return text;
  }
  const char* bytes = static_cast<const char*>(data);
  const void* nul = std::memchr(bytes, 0, count);
  const size_t length = nul ? static_cast<size_t>(static_cast<const char*>(nul) - bytes) : count;
  return Cp1252ToUtf16(bytes, length);
}

bool PutRawText(Document& document, uint32_t tag, int16_t number, const std::string& utf8) {
  if (!IsRawTextTag(tag)) return false;
  document.records.Put(tag, DataKey::Of(static_cast<uint16_t>(number)),
                       StoredText(Utf8ToUtf16(utf8)));
  return true;
}

int16_t NewRawText(Document& document, uint32_t tag, const std::string& utf8) {
  if (!IsRawTextTag(tag)) return 0;
  const RecordStore::Bytes bytes = StoredText(Utf8ToUtf16(utf8));
  DataKey key = DataKey::Of(DataKey::kAssign);
  if (!document.records.Create(tag, &key, bytes.data(), static_cast<int32_t>(bytes.size())))
    return 0;
  return static_cast<int16_t>(key.first);
}

bool ReadRawText16(const Document& document, uint32_t tag, int16_t number, std::u16string* text) {
  const RecordStore::Bytes* record =
      document.records.Find(tag, DataKey::Of(static_cast<uint16_t>(number)));
  if (!record || !IsRawTextTag(tag)) return false;
  *text = TextOfStored(*record);
  return true;
}

bool ReadRawText(const Document& document, uint32_t tag, int16_t number, std::string* utf8) {
  std::u16string text;
  if (!ReadRawText16(document, tag, number, &text)) return false;
  *utf8 = Utf16ToUtf8(text);
  return true;
}

// --- Text blocks -----------------------------------------------------------------

RecordStore::Bytes MakeTextBlock(int16_t rawText, uint16_t type) {
  RecordStore::Bytes block(kTextBlockSize, 0);
  fxt::PutS16(block.data(), 0, rawText);
  fxt::PutU16(block.data(), 8, 100);
  fxt::PutU16(block.data(), 14, 0x1A08);
  fxt::PutU16(block.data(), 24, type);
  return block;
}

uint16_t NewTextBlock(Document& document, const std::string& utf8, uint16_t type) {
  return NewTextBlockLike(document, utf8, MakeTextBlock(0, type));
}

uint16_t NewTextBlockLike(Document& document, const std::string& utf8,
                          const RecordStore::Bytes& settings) {
  if (settings.size() < static_cast<size_t>(kTextBlockSize) || settings.size() > 0x7FFFFFFF)
    return 0;
  const uint32_t textTag = RawTextTagOfType(fxt::GetU16(settings.data(), 24));
  const int16_t rawText = NewRawText(document, textTag, utf8);
  if (rawText == 0) return 0;
  RecordStore::Bytes block = settings;
  fxt::PutS16(block.data(), 0, rawText);
  DataKey key = DataKey::Of(DataKey::kAssign, DataKey::kAssign);
  if (!document.records.Create(kTextBlockTag, &key, block.data(),
                               static_cast<int32_t>(block.size()))) {
    document.records.Erase(textTag, DataKey::Of(static_cast<uint16_t>(rawText)));
    return 0;
  }
  return key.first;
}

bool ReadTextBlock16(const Document& document, uint16_t block, std::u16string* text) {
  const RecordStore::Bytes* record = document.records.Find(kTextBlockTag, DataKey::Of(block));
  if (!record || record->size() < static_cast<size_t>(kTextBlockSize)) return false;
  return ReadRawText16(document, RawTextTagOfType(fxt::GetU16(record->data(), 24)),
                       fxt::GetS16(record->data(), 0), text);
}

bool ReadTextBlock(const Document& document, uint16_t block, std::string* utf8) {
  std::u16string text;
  if (!ReadTextBlock16(document, block, &text)) return false;
  *utf8 = Utf16ToUtf8(text);
  return true;
}

// --- Staves ----------------------------------------------------------------------

bool PutStaff(Document& document, int16_t staff, const std::string& name) {
  if (staff <= 0) return false;
  RecordStore::Bytes record(kStaffRecordSize, 0);
  if (!name.empty()) {
    const uint16_t block = NewTextBlock(document, name);
    if (block == 0) return false;
    fxt::PutU16(record.data(), kStaffNameBlockOffset, block);
  }
  document.records.Put(kStaffTag, DataKey::Of(static_cast<uint16_t>(staff)), std::move(record));
  return true;
}

bool ReadStaff(const Document& document, int16_t staff, StaffInfo* info) {
  const RecordStore::Bytes* record =
      document.records.Find(kStaffTag, DataKey::Of(static_cast<uint16_t>(staff)));
  if (!record) return false;
  StaffInfo result;
  result.number = staff;
  if (record->size() >= static_cast<size_t>(kStaffNameBlockOffset + 2))
    result.nameBlock = fxt::GetU16(record->data(), kStaffNameBlockOffset);
  if (result.nameBlock != 0) ReadTextBlock(document, result.nameBlock, &result.name);
  *info = result;
  return true;
}

std::vector<int16_t> StaffNumbers(const Document& document) {
  std::vector<int16_t> staves;
  document.records.ForEach(kStaffTag, [&](const DataKey& key, const RecordStore::Bytes&) {
    if (key.second == 0 && key.third == 0 && key.extra == 0)
      staves.push_back(static_cast<int16_t>(key.first));
  });
  return staves;
}

// --- Instrument lists ------------------------------------------------------------

bool WriteInstrumentList(Document& document, uint16_t list, const std::vector<int16_t>& staves) {
  if (staves.size() > static_cast<size_t>(kLastInci) + 1) return false;
  for (int16_t staff : staves)
    if (staff <= 0) return false;
  std::vector<DataKey> old;
  document.records.ForEach(kSystemStaffTag, [&](const DataKey& key, const RecordStore::Bytes&) {
    if (key.first == list) old.push_back(key);
  });
  for (const DataKey& key : old) document.records.Erase(kSystemStaffTag, key);
  for (size_t inci = 0; inci < staves.size(); ++inci) {
    RecordStore::Bytes record(kSystemStaffRecordSize, 0);
    fxt::PutS16(record.data(), 0, staves[inci]);
    document.records.Put(kSystemStaffTag, DataKey::Of(list, static_cast<uint16_t>(inci)),
                         std::move(record));
  }
  return true;
}

std::vector<int16_t> ReadInstrumentList(const Document& document, uint16_t list) {
  return ListStaves(document.records, list, static_cast<size_t>(kLastInci) + 1);
}

std::vector<uint16_t> InstrumentListNumbers(const Document& document) {
  std::vector<uint16_t> lists;
  document.records.ForEach(kSystemStaffTag, [&](const DataKey& key, const RecordStore::Bytes&) {
    if (key.second == 0 && key.third == 0 && key.extra == 0) lists.push_back(key.first);
  });
  return lists;
}

// --- Multi-staff instruments -----------------------------------------------------

bool PutMultiStaffInstrument(Document& document, const MultiStaffInstrument& instrument) {
  if (instrument.id == 0 || instrument.id > kLastInci) return false;
  const DataKey key = DataKey::Of(instrument.id);
  RecordStore::Bytes record(kMultiStaffInstrumentSize, 0);
  if (const RecordStore::Bytes* old = document.records.Find(kMultiStaffInstrumentTag, key))
    std::memcpy(record.data(), old->data(),
                old->size() < record.size() ? old->size() : record.size());
  for (int i = 0; i < 3; ++i)
    fxt::PutS16(record.data(), static_cast<size_t>(i) * 2,
                instrument.staves[static_cast<size_t>(i)]);
  document.records.Put(kMultiStaffInstrumentTag, key, std::move(record));
  return true;
}

std::vector<MultiStaffInstrument> ReadMultiStaffInstruments(const Document& document) {
  std::vector<MultiStaffInstrument> instruments;
  document.records.ForEach(kMultiStaffInstrumentTag,
                           [&](const DataKey& key, const RecordStore::Bytes& record) {
                             if (key.second != 0 || key.third != 0 || key.extra != 0 ||
                                 key.first == 0 || key.first > kLastInci)
                               return;
                             MultiStaffInstrument instrument;
                             instrument.id = key.first;
                             for (size_t i = 0; i < 3; ++i)
                               if (record.size() >= i * 2 + 2)
                                 instrument.staves[i] = fxt::GetS16(record.data(), i * 2);
                             instruments.push_back(instrument);
                           });
  return instruments;
}

// --- Font preferences ------------------------------------------------------------

bool PutFontPref(Document& document, int16_t number, const FontPref& pref) {
  RecordStore::Bytes record(kFontPrefsSize, 0);
  fxt::PutS16(record.data(), 0, pref.font);
  fxt::PutS16(record.data(), 2, pref.size);
  fxt::PutU16(record.data(), 4, pref.effects);
  document.records.Put(kFontPrefsTag, DataKey::Of(static_cast<uint16_t>(number)),
                       std::move(record));
  return true;
}

bool ReadFontPref(const Document& document, int16_t number, FontPref* pref) {
  const RecordStore::Bytes* record =
      document.records.Find(kFontPrefsTag, DataKey::Of(static_cast<uint16_t>(number)));
  if (!record || record->size() < static_cast<size_t>(kFontPrefsSize)) return false;
  pref->font = fxt::GetS16(record->data(), 0);
  pref->size = fxt::GetS16(record->data(), 2);
  pref->effects = fxt::GetU16(record->data(), 4);
  return true;
}

// --- Group names -----------------------------------------------------------------

bool WriteGroupNames(Document& document, uint16_t first, uint16_t group,
                     const std::optional<std::string>& full,
                     const std::optional<std::string>& abbreviated) {
  const DataKey key = DataKey::Of(first, group);
  const RecordStore::Bytes* existing = document.records.Find(kGroupTag, key);
  if (!existing || existing->size() < static_cast<size_t>(kGroupAbbreviatedNameOffset + 2))
    return false;
  RecordStore::Bytes record = *existing;
  uint16_t fullBlock = 0;
  uint16_t abbreviatedBlock = 0;
  if (full && (fullBlock = NewTextBlock(document, *full)) == 0) return false;
  if (abbreviated && (abbreviatedBlock = NewTextBlock(document, *abbreviated)) == 0) {
    if (fullBlock != 0) EraseTextBlock(document, fullBlock);
    return false;
  }
  fxt::PutU16(record.data(), kGroupFullNameOffset, fullBlock);
  fxt::PutU16(record.data(), kGroupAbbreviatedNameOffset, abbreviatedBlock);
  document.records.Put(kGroupTag, key, std::move(record));
  return true;
}

bool ReadGroupNames(const Document& document, uint16_t first, uint16_t group, GroupNames* names) {
  const RecordStore::Bytes* record = document.records.Find(kGroupTag, DataKey::Of(first, group));
  if (!record || record->size() < static_cast<size_t>(kGroupAbbreviatedNameOffset + 2))
    return false;
  GroupNames result;
  result.fullBlock = fxt::GetU16(record->data(), kGroupFullNameOffset);
  result.abbreviatedBlock = fxt::GetU16(record->data(), kGroupAbbreviatedNameOffset);
  std::string text;
  if (result.fullBlock != 0 && ReadTextBlock(document, result.fullBlock, &text)) result.full = text;
  if (result.abbreviatedBlock != 0 && ReadTextBlock(document, result.abbreviatedBlock, &text))
    result.abbreviated = text;
  *names = result;
  return true;
}

// --- Displayed staff names -------------------------------------------------------

namespace {

struct Insert {
  const char16_t* tag;
  const char16_t* shown;
};

// The accidental inserts and the characters shown for them.
const Insert kAccidentals[] = {
    {u"^flat()", u"\u266D"},       {u"^sharp()", u"\u266F"},       {u"^natural()", u"\u266E"},
    {u"^dbflat()", u"\U0001D12B"}, {u"^dbsharp()", u"\U0001D12A"},
};

// The tag words that choose a font, a size or effects.
const char16_t* const kFontWords[] = {u"font",    u"Font", u"fontMus", u"fontTxt",
                                      u"fontNum", u"size", u"nfx"};

}  // namespace

std::u16string DisplayedName(const std::u16string& raw) {
  std::u16string shown;
  size_t i = 0;
  while (i < raw.size()) {
    if (raw[i] != u'^') {
      shown.push_back(raw[i++]);
      continue;
    }
    if (i + 1 < raw.size() && raw[i + 1] == u'^') {
      shown.push_back(u'^');
      i += 2;
      continue;
    }
    const size_t close = raw.find(u')', i + 1);
    if (close == std::u16string::npos) break;  // a tag left open: dropped to the end
    const std::u16string tag = raw.substr(i, close - i + 1);
    const size_t wordEnd = tag.find_first_of(u"(,)", 1);
    const std::u16string word = tag.substr(1, wordEnd - 1);
    i = close + 1;
    bool fontTag = false;
    for (const char16_t* fontWord : kFontWords)
      if (word == fontWord) fontTag = true;
    if (fontTag) continue;
    const char16_t* replacement = nullptr;
    for (const Insert& insert : kAccidentals)
      if (tag == insert.tag) replacement = insert.shown;
    shown += replacement ? std::u16string(replacement) : tag;
  }
  return shown;
}

bool StaffDisplayedName(const Document& document, int16_t block, int16_t staff,
                        std::u16string* name) {
  uint16_t nameBlock = block > 0 ? static_cast<uint16_t>(block) : uint16_t{0};
  if (nameBlock == 0) {
    StaffInfo info;
    if (!ReadStaff(document, staff, &info) || info.nameBlock == 0) return false;
    nameBlock = info.nameBlock;
  }
  std::u16string raw;
  if (!ReadTextBlock16(document, nameBlock, &raw)) return false;
  *name = DisplayedName(raw);
  return true;
}

}  // namespace fxthost
