// Text blocks against the emulated host: the text behind a block, blocks whose raw text
// is missing, and making a new text behind a new block, including the host refusing
// either step.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"
#include "framework/text/textblock.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;

constexpr uint32_t kTxbl = 0x7478626C;
constexpr uint32_t kTxxp = 0x74787870;

class TextBlockTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  void TearDown() override { SetFinaleFrameworkVersion(saved); }

  fxthost::Document& Doc() { return *host.CurrentDocument(); }
  size_t Count(uint32_t tag) { return Doc().records.Count(tag); }

  uint32_t saved = GetFinaleFrameworkVersion();
  fxthost::Host host;
};

std::string Text(FCString* text) {
  std::unique_ptr<FCString> owned(text);
  std::string out;
  for (int i = 0; i < owned->GetLength(); ++i) out += static_cast<char>(owned->GetItemAt(i));
  return out;
}

TEST_F(TextBlockTest, NewBlockIsStoredAsTheHostMakesOne) {
  FCTextBlock block;
  block.SetRawTextNumber(5);
  block.SetRawTextType(FCTextBlock::TEXTTYPE_BLOCK);
  ASSERT_TRUE(block.SaveNew());
  const fxthost::RecordStore::Bytes* stored =
      Doc().records.Find(FCTextBlock::TAG, DataKey{block.GetItemNo(), 0, 0, 0});
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(*stored, fxthost::MakeTextBlock(5, FCTextBlock::TEXTTYPE_BLOCK));
}

TEST_F(TextBlockTest, ReadsTheRawTextOfItsType) {
  ASSERT_TRUE(fxthost::PutRawText(Doc(), kTxbl, 2, "Strings"));
  ASSERT_TRUE(fxthost::PutRawText(Doc(), kTxxp, 2, "dolce"));
  struct Row {
    const char* name;
    short rawtext;
    unsigned short type;
    const char* expected;
  } rows[] = {
      {"name text (host-texts-staves.md: the raw text's tag is tx combined with the type)", 2,
       FCTextBlock::TEXTTYPE_BLOCK, "Strings"},
      {"expression text (host-texts-staves.md: the raw text's tag is tx combined with the type)", 2,
       FCTextBlock::TEXTTYPE_EXPRESSION, "dolce"},
      {"missing number", 9, FCTextBlock::TEXTTYPE_BLOCK, ""},
      {"type with no texts", 2, 0x6161, ""},
      {"type 0", 2, 0, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    for (uint32_t version : {0x10FFFFFFu, 0x11000000u}) {
      SetFinaleFrameworkVersion(version);
      FCTextBlock block;
      block.SetRawTextNumber(row.rawtext);
      block.SetRawTextType(row.type);
      EXPECT_EQ(Text(block.CreateRawTextString()), row.expected);
    }
  }
}

TEST_F(TextBlockTest, LoadedBlockWithMissingRawText) {
  // A block in the document whose raw text is gone.
  Doc().records.Put(FCTextBlock::TAG, DataKey{4, 0, 0, 0},
                    fxthost::MakeTextBlock(11, FCTextBlock::TEXTTYPE_BLOCK));
  FCTextBlock block;
  ASSERT_TRUE(block.Load(4));
  EXPECT_EQ(block.GetRawTextNumber(), 11);
  EXPECT_EQ(Text(block.CreateRawTextString()), "");

  // Deleting it deeply still removes the block, and reports that.
  EXPECT_TRUE(block.DeepDeleteData());
  EXPECT_EQ(Count(FCTextBlock::TAG), 0u);
}

TEST_F(TextBlockTest, TextBehindAnExistingBlockIsOverwrittenAndDeleted) {
  const uint16_t keep = fxthost::NewTextBlock(Doc(), "kept");
  const uint16_t number = fxthost::NewTextBlock(Doc(), "Violin I");
  FCTextBlock block;
  ASSERT_TRUE(block.Load(number));
  FCString text("Violin II");
  EXPECT_TRUE(block.SaveRawTextString(&text));
  std::string stored;
  ASSERT_TRUE(fxthost::ReadTextBlock(Doc(), number, &stored));
  EXPECT_EQ(stored, "Violin II");
  EXPECT_EQ(Count(kTxbl), 2u);

  EXPECT_TRUE(block.DeepDeleteData());
  EXPECT_EQ(Count(FCTextBlock::TAG), 1u);
  EXPECT_EQ(Count(kTxbl), 1u);
  EXPECT_TRUE(fxthost::ReadTextBlock(Doc(), keep, &stored));
  EXPECT_EQ(stored, "kept");
}

TEST_F(TextBlockTest, NewTextBehindNewBlock) {
  struct Row {
    const char* name;
    uint32_t version;
    unsigned short type;
    uint32_t textTag;
  } rows[] = {
      {"name, UTF-16 host", 0x11000000, FCTextBlock::TEXTTYPE_BLOCK, kTxbl},
      {"name, 8-bit host", 0x10FFFFFF, FCTextBlock::TEXTTYPE_BLOCK, kTxbl},
      {"expression, UTF-16 host", 0x11000000, FCTextBlock::TEXTTYPE_EXPRESSION, kTxxp},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetFinaleFrameworkVersion(row.version);
    const size_t texts = Count(row.textTag);
    FCString text("Split Group 2");
    const unsigned short number = FCTextBlock::SaveNewTextAndBlock(&text, row.type);
    ASSERT_NE(number, 0);
    EXPECT_EQ(Count(row.textTag), texts + 1);

    FCTextBlock block;
    ASSERT_TRUE(block.Load(number));
    EXPECT_EQ(block.GetRawTextType(), row.type);
    EXPECT_EQ(Text(block.CreateRawTextString()), "Split Group 2");
  }
}

TEST_F(TextBlockTest, NewTextBehindNewBlockLeavesNothingWhenRefused) {
  fxthost::NewTextBlock(Doc(), "existing");
  const fxthost::RecordStore before = Doc().records;
  struct Row {
    const char* name;
    int failingCreate;  // which FX_CreateEData from now on the host refuses
    size_t deletes;     // FX_DeleteEData calls expected
  } rows[] = {
      {"raw text refused: no block is tried", 1, 0},
      {"block refused: the new raw text is removed again", 2, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    host.ClearCalls();
    host.FailCall(Fn::FX_CreateEData, row.failingCreate);
    FCString text("Sp Grp 3");
    EXPECT_EQ(FCTextBlock::SaveNewTextAndBlock(&text), 0);
    EXPECT_EQ(host.CallsTo(Fn::FX_CreateEData).size(), static_cast<size_t>(row.failingCreate));
    EXPECT_EQ(host.CallsTo(Fn::FX_DeleteEData).size(), row.deletes);
    EXPECT_TRUE(Doc().records == before);
  }
  EXPECT_EQ(FCTextBlock::SaveNewTextAndBlock(nullptr), 0);
}

}  // namespace
