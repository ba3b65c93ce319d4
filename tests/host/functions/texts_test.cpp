// The emulated host's raw texts (stored once, served by the caller's record version)
// and its font table, reached through the bridge as the framework reaches them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Document;
using fxthost::Host;
using Bytes = std::vector<uint8_t>;

constexpr int32_t kUtf16 = 0x11000000;
constexpr int32_t kLaterUtf16 = 0x11020000;
constexpr int32_t kNarrow = 0x10000000;
constexpr int32_t kTxbl = static_cast<int32_t>(fxt::MakeTag('t', 'x', 'b', 'l'));
constexpr int32_t kTxxp = static_cast<int32_t>(fxt::MakeTag('t', 'x', 'x', 'p'));
constexpr int32_t kOsRT = static_cast<int32_t>(fxt::MakeTag('o', 's', 'R', 'T'));

Bytes Narrow(const std::string& text) {
  Bytes bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

Bytes Wide(const std::u16string& text) {
  Bytes bytes;
  for (char16_t unit : text) {
    bytes.push_back(static_cast<uint8_t>(unit));
    bytes.push_back(static_cast<uint8_t>(unit >> 8));
  }
  bytes.push_back(0);
  bytes.push_back(0);
  return bytes;
}

void KeyBytes(uint8_t (&key)[8], uint16_t first) {
  std::memset(key, 0, sizeof key);
  fxt::PutU16(key, 0, first);
}

// The record as a caller of the version loads it: the size reported for a null buffer,
// then the bytes delivered into a buffer of that size.
Bytes LoadAs(int32_t tag, uint16_t number, int32_t version, int32_t* reportedSize) {
  uint8_t key[8];
  KeyBytes(key, number);
  int32_t size = 0;
  *reportedSize = -1;
  if (!FX_LoadEData(tag, key, nullptr, &size, version)) return Bytes();
  *reportedSize = size;
  Bytes buffer(static_cast<size_t>(size) + 4, 0xEE);
  if (!FX_LoadEData(tag, key, buffer.data(), &size, version)) return Bytes();
  buffer.resize(static_cast<size_t>(size));
  return buffer;
}

TEST(HostRawTexts, ServedInTheEncodingOfTheLoadingVersion) {
  struct Row {
    const char* name;
    int32_t tag;
    int32_t saveVersion;
    Bytes saved;
    int32_t loadVersion;
    Bytes loaded;  // its size is also what a null buffer must report
  };
  // clang-format off
  const Row rows[] = {
      {"UTF-16 in, UTF-16 out (host-texts-staves.md: Served by the caller's record version)",
       kTxbl, kUtf16, Wide(u"Flute"), kUtf16, Wide(u"Flute")},
      {"UTF-16 in, 8-bit out (host-texts-staves.md: Served by the caller's record version)",
       kTxbl, kUtf16, Wide(u"Flute"), kNarrow, Narrow("Flute")},
      {"8-bit in, UTF-16 out (host-texts-staves.md: Stored once, as UTF-16)",
       kTxbl, kNarrow, Narrow("Flute"), kUtf16, Wide(u"Flute")},
      {"8-bit in, 8-bit out (host-texts-staves.md: Served by the caller's record version)",
       kTxbl, kNarrow, Narrow("Flute"), kNarrow, Narrow("Flute")},
      {"later versions read UTF-16 (host-texts-staves.md: 0x11000000 or later)",
       kTxbl, kNarrow, Narrow("Oboe"), kLaterUtf16, Wide(u"Oboe")},
      {"Windows-1252 upper half (host-texts-staves.md: bytes 0x80-0x9F)",
       kTxxp, kNarrow, Narrow("Caf\xE9 \x80 \x9F"), kUtf16, Wide(u"Caf\u00E9 \u20AC \u0178")},
      {"back to Windows-1252 (host-texts-staves.md: 8-bit text is Windows-1252, not Latin-1)",
       kTxxp, kUtf16, Wide(u"Caf\u00E9 \u20AC"), kNarrow, Narrow("Caf\xE9 \x80")},
      {"unmapped character becomes ? (host-texts-staves.md: delivered as one ?)",
       kTxbl, kUtf16, Wide(u"B\u266D"), kNarrow, Narrow("B?")},
      {"surrogate pair is one ? (host-texts-staves.md: outside the basic plane)",
       kTxbl, kUtf16, Wide(u"a\U0001D11Eb"), kNarrow, Narrow("a?b")},
      {"undefined 1252 byte survives (host-texts-staves.md: every byte survives)",
       kTxbl, kNarrow, Narrow("x\x81y"), kNarrow, Narrow("x\x81y")},
      {"text repeat texts too (host-texts-staves.md: Raw texts, the text repeat texts)",
       kOsRT, kNarrow, Narrow("D.C."), kUtf16, Wide(u"D.C.")},
      {"empty text is its terminator (host-texts-staves.md: Sizes include the terminator)",
       kTxbl, kUtf16, Wide(u""), kNarrow, Narrow("")},
      {"8-bit text without NUL (host-texts-staves.md: A text saved without a terminator gets one)",
       kTxbl, kNarrow, Bytes{'F', 'l', 'u', 't', 'e'}, kUtf16, Wide(u"Flute")},
      {"bytes after the terminator dropped (host-texts-staves.md: Stored once)",
       kTxbl, kNarrow, Bytes{'A', 0, 'B', 0}, kUtf16, Wide(u"A")},
      {"odd UTF-16 tail ignored (host-texts-staves.md: in UTF-16 an odd last byte is ignored)",
       kTxbl, kUtf16, Bytes{'A', 0, 'B'}, kUtf16, Wide(u"A")},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    host.NewDocument();
    uint8_t key[8];
    KeyBytes(key, 0xFFFF);
    ASSERT_NE(FX_CreateEData(row.tag, key, row.saved.data(), static_cast<int32_t>(row.saved.size()),
                             row.saveVersion),
              0);
    const uint16_t number = fxt::GetU16(key, 0);
    int32_t reported = 0;
    EXPECT_EQ(LoadAs(row.tag, number, row.loadVersion, &reported), row.loaded);
    EXPECT_EQ(reported, static_cast<int32_t>(row.loaded.size()));
  }
}

TEST(HostRawTexts, SaveReplacesTheOneStoredText) {
  Host host;
  Document& document = host.NewDocument();
  ASSERT_TRUE(fxthost::PutRawText(document, static_cast<uint32_t>(kTxbl), 4, "Flute"));
  uint8_t key[8];
  KeyBytes(key, 4);
  const Bytes narrow = Narrow("Piccolo");
  ASSERT_NE(FX_SaveEData(kTxbl, key, narrow.data(), static_cast<int32_t>(narrow.size()), kNarrow),
            0);
  // Stored once, as UTF-16: a caller of either version sees the new text.
  const fxthost::RecordStore::Bytes* stored =
      document.records.Find(static_cast<uint32_t>(kTxbl), DataKey{4, 0, 0, 0});
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(*stored, Wide(u"Piccolo"));
  std::string text;
  ASSERT_TRUE(fxthost::ReadRawText(document, static_cast<uint32_t>(kTxbl), 4, &text));
  EXPECT_EQ(text, "Piccolo");
}

TEST(HostRawTexts, ShortBufferGetsTheFrontAndItsCount) {
  struct Row {
    int32_t version;
    int32_t room;
    Bytes delivered;
  };
  // host-texts-staves.md, Sizes include the terminator: a load copies at most the size
  // offered (a negative size counts as 0), sets the size to the bytes copied, and succeeds
  // even when the buffer was too short.
  const Row rows[] = {
      {kUtf16, 4, Bytes{'F', 0, 'l', 0}},
      {kUtf16, 3, Bytes{'F', 0, 'l'}},
      {kNarrow, 2, Bytes{'F', 'l'}},
      {kNarrow, 0, Bytes{}},
      {kNarrow, -5, Bytes{}},
      {kNarrow, 100, Narrow("Flute")},
  };
  Host host;
  Document& document = host.NewDocument();
  fxthost::PutRawText(document, static_cast<uint32_t>(kTxbl), 1, "Flute");
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message()
                 << "version " << std::hex << row.version << " room " << std::dec << row.room);
    uint8_t key[8];
    KeyBytes(key, 1);
    Bytes buffer(16, 0xEE);
    int32_t size = row.room;
    ASSERT_NE(FX_LoadEData(kTxbl, key, buffer.data(), &size, row.version), 0);
    EXPECT_EQ(size, static_cast<int32_t>(row.delivered.size()));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + static_cast<long>(row.delivered.size())),
              row.delivered);
    EXPECT_EQ(buffer[row.delivered.size()], 0xEE) << "wrote past what it delivered";
  }
}

TEST(HostRawTexts, RefusesWhatItCannotStoreOrFind) {
  Host host;
  Document& document = host.NewDocument();
  uint8_t key[8];
  KeyBytes(key, 9);
  int32_t size = 0;
  EXPECT_EQ(FX_LoadEData(kTxbl, key, nullptr, &size, kUtf16), 0) << "no such text";
  EXPECT_EQ(size, 0);
  const Bytes text = Narrow("x");
  EXPECT_EQ(FX_SaveEData(kTxbl, key, text.data(), -1, kNarrow), 0) << "negative size";
  EXPECT_EQ(FX_SaveEData(kTxbl, key, nullptr, 4, kNarrow), 0) << "size without data";
  EXPECT_EQ(document.records.Count(), 0u);
}

TEST(HostFonts, NumberToName) {
  struct Row {
    int16_t number;
    int32_t result;
    const char* name;  // null: the buffer is left as it was
  };
  // host-texts-staves.md, Fonts: the default table; an unknown number gives 0 and leaves the
  // buffer untouched.
  const Row rows[] = {
      {0, 1, "Times New Roman"}, {1, 1, "Arial"},  {2, 1, "Courier New"}, {3, 1, "Maestro"},
      {4, 1, "Finale Maestro"},  {99, 0, nullptr}, {-1, 0, nullptr},
  };
  Host host;
  host.NewDocument();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    char buffer[256];
    std::memset(buffer, 'Z', sizeof buffer);
    EXPECT_EQ(FX_FontNumToName(row.number, buffer, kUtf16), row.result);
    if (row.name)
      EXPECT_STREQ(buffer, row.name);
    else
      EXPECT_EQ(buffer[0], 'Z');
  }
}

TEST(HostFonts, NameToNumber) {
  struct Row {
    const char* name;
    int32_t number;
  };
  // host-texts-staves.md, Fonts: matched exactly first, then without regard to ASCII letter
  // case; an unknown name gives -1.
  const Row rows[] = {
      {"Times New Roman", 0}, {"Arial", 1}, {"ARIAL", 1},   {"finale maestro", 4},
      {"Maestr", -1},         {"", -1},     {"Arial ", -1},
  };
  Host host;
  host.NewDocument();
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(FX_FontNameToNum(row.name, kUtf16), row.number);
  }
}

TEST(HostFonts, DocumentTableIsConvertedAndBounded) {
  Host host;
  Document& document = host.NewDocument();
  const std::string longName(300, 'L');
  document.fonts = {{7, "Caf\xC3\xA9 Sans"}, {8, longName}, {9, "Arial"}, {10, "arial"}};

  char buffer[256];
  EXPECT_EQ(FX_FontNumToName(7, buffer, kUtf16), 1);
  EXPECT_STREQ(buffer, "Caf\xE9 Sans") << "8-bit name from the UTF-8 table";
  EXPECT_EQ(FX_FontNameToNum("Caf\xE9 Sans", kUtf16), 7);

  std::memset(buffer, 'Z', sizeof buffer);
  EXPECT_EQ(FX_FontNumToName(8, buffer, kUtf16), 1);
  EXPECT_EQ(std::strlen(buffer), 255u) << "cut to fit the 256-byte buffer";

  EXPECT_EQ(FX_FontNumToName(0, buffer, kUtf16), 0) << "the document's table replaces the default";
  EXPECT_EQ(FX_FontNameToNum("arial", kUtf16), 10) << "exact spelling wins";

  // A name with no terminator where a font name can end is not read past its buffer.
  char unterminated[256];
  std::memset(unterminated, 'A', sizeof unterminated);
  EXPECT_EQ(FX_FontNameToNum(unterminated, kUtf16), -1);
}

}  // namespace
