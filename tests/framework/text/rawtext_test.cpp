// Raw texts against the emulated host: the encoding chosen by the running host version,
// creating and reading back, and reading blocks that lack their terminator.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;

constexpr uint32_t kOldHost = 0x10FFFFFF;
constexpr uint32_t kNewHost = 0x11000000;

// Restores the running host version that a test changes.
class RawTextTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  void TearDown() override { SetFinaleFrameworkVersion(saved); }

  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  uint32_t saved = GetFinaleFrameworkVersion();
  fxthost::Host host;
};

std::string Narrow(FCString* text) {
  std::string out;
  for (int i = 0; i < text->GetLength(); ++i) out += static_cast<char>(text->GetItemAt(i));
  return out;
}

std::string TextOf(const FCRawText& raw) {
  std::unique_ptr<FCString> text(raw.CreateString());
  return Narrow(text.get());
}

TEST_F(RawTextTest, RoundTripInTheEncodingOfTheHostVersion) {
  struct Row {
    const char* name;
    uint32_t version;
    int32_t blockBytes;
  } rows[] = {
      {"UTF-16 host: five units and a 0 unit (host-texts-staves.md: Sizes include the terminator)",
       kNewHost, 12},
      {"8-bit host: five bytes and a NUL (host-texts-staves.md: Sizes include the terminator)",
       kOldHost, 6},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetFinaleFrameworkVersion(row.version);
    FCString flute("Flute");
    FCRawText raw;
    raw.SetText(&flute);
    EXPECT_EQ(raw._GetLoadedSize(), row.blockBytes);
    ASSERT_TRUE(raw.SaveNew());
    const short number = raw.GetItemNo();
    EXPECT_GT(number, 0);

    // The host holds the text itself, not the caller's bytes.
    std::string stored;
    ASSERT_TRUE(fxthost::ReadRawText(Doc(), FCRawText::TAG, number, &stored));
    EXPECT_EQ(stored, "Flute");

    FCRawText back;
    ASSERT_TRUE(back.Load(number));
    EXPECT_EQ(back._GetLoadedSize(), row.blockBytes);
    EXPECT_EQ(TextOf(back), "Flute");

    // Overwriting the record in place.
    FCString oboe("Oboe");
    back.SetText(&oboe);
    ASSERT_TRUE(back.SaveAs(number));
    ASSERT_TRUE(fxthost::ReadRawText(Doc(), FCRawText::TAG, number, &stored));
    EXPECT_EQ(stored, "Oboe");
  }
}

TEST_F(RawTextTest, EmptyOrMissingTextGivesTheEmptyStringAndIsNotCreated) {
  FCRawText never;
  EXPECT_EQ(TextOf(never), "");
  EXPECT_FALSE(never.SaveNew());
  EXPECT_TRUE(host.CallsTo(Fn::FX_CreateEData).empty());

  FCRawText missing;
  EXPECT_FALSE(missing.Load(42));
  EXPECT_EQ(missing._GetLoadedSize(), 0);
  EXPECT_EQ(TextOf(missing), "");
  EXPECT_FALSE(missing.Save());
}

// A record kept under a tag that the host serves byte for byte, so that a block without
// its terminator reaches the framework as it is. Every block is allocated at exactly the
// host's size, so a read past it shows under the address sanitizer.
TEST_F(RawTextTest, UnterminatedBlockIsReadOnlyUpToItsSize) {
  constexpr uint32_t kPlainTag = fxt::MakeTag('z', 'q', 'T', 'x');
  // Each character as a little-endian unit, then extra zero bytes.
  auto utf16 = [](const std::string& text, size_t extra) {
    std::vector<uint8_t> bytes;
    for (char c : text) bytes.insert(bytes.end(), {static_cast<uint8_t>(c), 0});
    bytes.resize(bytes.size() + extra, 0);
    return bytes;
  };
  struct Row {
    const char* name;
    uint32_t version;
    std::vector<uint8_t> bytes;
    const char* expected;
  } rows[] = {
      {"8-bit without NUL", kOldHost, {'F', 'l', 'u', 't', 'e'}, "Flute"},
      {"8-bit, NUL inside", kOldHost, {'F', 'l', 0, 'u', 't'}, "Fl"},
      {"8-bit, one byte", kOldHost, {'X'}, "X"},
      {"UTF-16 without 0 unit", kNewHost, utf16("Flute", 0), "Flute"},
      {"UTF-16, odd last byte", kNewHost, utf16("Flute", 1), "Flute"},
      {"UTF-16, one byte", kNewHost, {'X'}, ""},
      {"UTF-16 terminated", kNewHost, utf16("Flute", 2), "Flute"},
  };
  short number = 1;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetFinaleFrameworkVersion(row.version);
    Doc().records.Put(kPlainTag, DataKey{static_cast<uint16_t>(number), 0, 0, 0}, row.bytes);
    FCRawText raw;
    raw.SetCustomTag(kPlainTag);
    ASSERT_TRUE(raw.Load(number));
    EXPECT_EQ(raw._GetLoadedSize(), static_cast<int32_t>(row.bytes.size()));
    EXPECT_EQ(TextOf(raw), row.expected);
    ++number;
  }
}

TEST_F(RawTextTest, LoadFirstStartsAtTheLowestNumberedText) {
  ASSERT_TRUE(fxthost::PutRawText(Doc(), FCRawText::TAG, 7, "seventh"));
  ASSERT_TRUE(fxthost::PutRawText(Doc(), FCRawText::TAG, 4, "fourth"));
  FCRawText raw;
  ASSERT_TRUE(raw.LoadFirst());
  EXPECT_EQ(raw.GetItemNo(), 4);
  EXPECT_EQ(TextOf(raw), "fourth");
  ASSERT_TRUE(raw.LoadNext());
  EXPECT_EQ(raw.GetItemNo(), 7);
  EXPECT_EQ(TextOf(raw), "seventh");
  EXPECT_FALSE(raw.LoadNext());
}

// A raw text is loaded after its size is asked twice (for the block, then for the load).
// Whichever of the three calls the host refuses, the text is read whole or the load
// fails; never a part of it (framework-behaviour.md, Testing with refused host calls).
TEST_F(RawTextTest, ARefusedSizeQuestionNeverCutsTheText) {
  ASSERT_TRUE(fxthost::PutRawText(Doc(), FCRawText::TAG, 4, "Violoncello"));
  for (int refused = 1; refused <= 3; ++refused) {
    SCOPED_TRACE("load call " + std::to_string(refused) + " refused");
    host.FailCall(Fn::FX_LoadEData, refused);
    FCRawText raw;
    const bool loaded = raw.Load(4);
    const std::string text = TextOf(raw);
    EXPECT_TRUE(text == "Violoncello" || (text.empty() && (!loaded || raw._GetLoadedSize() == 0)))
        << "read as \"" << text << "\"";
    FCRawText again;
    ASSERT_TRUE(again.Load(4));
    EXPECT_EQ(TextOf(again), "Violoncello");
  }
}

}  // namespace
