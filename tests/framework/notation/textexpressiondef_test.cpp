// Text expression definitions: record sizes by host version, the description, rehearsal
// marks, categories, the text and enclosure that hang off a definition, copying a
// definition under another number (and undoing a copy that fails), and the walk.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "bridge/recordbytes.h"
#include "framework/notation/categorydef.h"
#include "framework/notation/enclosure.h"
#include "framework/notation/measurenumberregion.h"
#include "framework/notation/textexpressiondef.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"
#include "tests/support/notation_fixture.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;
using notation_testing::HostVersion;
using notation_testing::kCurrentHost;
using notation_testing::kOlderHost;
using notation_testing::Take;
using notation_testing::Text;

uint8_t* Bytes(FCTextExpressionDef& definition) {
  return static_cast<uint8_t*>(definition._GetDataBlock());
}

class TextExpressionDefTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  // A definition saved under a number the host gives, with a text and, when asked, an
  // enclosure of recognisable bytes.
  unsigned short MakeDefinition(const char* text, bool enclosure) {
    FCTextExpressionDef definition;
    FCString words(text);
    EXPECT_TRUE(definition.SaveNewTextBlock(&words));
    definition.SetUseEnclosure(enclosure);
    EXPECT_TRUE(definition.SaveNew());
    if (enclosure) {
      const uint8_t frame[FCEnclosure::RECORD_SIZE] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
      FCEnclosure made;
      made._SetRecordBytes(frame);
      EXPECT_TRUE(made.SaveAs(definition.GetItemNo()));
    }
    return definition.GetItemNo();
  }

  fxthost::Host host;
};

// host-notation.md, Text expression definitions: the framework passes 0x0F000000 below
// host version 0x11000000; the minimum size is 36 bytes in 8-bit, 38 in UTF-16.
TEST(TextExpressionDefRecord, SizesAndVersionsFollowTheHost) {
  struct Row {
    uint32_t host;
    int minimum;
    uint32_t version;
  } rows[] = {
      {kOlderHost, 36, 0x0F000000}, {0x10FFFFFF, 36, 0x0F000000}, {kCurrentHost, 38, 0x11000000}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    HostVersion version(row.host);
    FCTextExpressionDef definition;
    EXPECT_EQ(definition._GetLoadedSize(), row.minimum);
    EXPECT_EQ(definition.DataSizeSave(), row.minimum);
    EXPECT_EQ(definition.EnigmaVersion(), row.version);
    for (int i = 0; i < row.minimum; ++i) EXPECT_EQ(Bytes(definition)[i], 0) << i;
  }
}

// A 50-byte record whose description is empty is saved at the minimum size; with a
// description, at its own size. The description is empty when its first character is 0:
// in 8-bit text the byte at 34 alone, in UTF-16 the unit of bytes 34 and 35.
TEST(TextExpressionDefRecord, EmptyDescriptionIsSavedAtTheMinimumSize) {
  struct Row {
    const char* name;
    uint32_t host;
    uint8_t at34, at35;
    int saved;
  } rows[] = {
      {"8-bit, a description", kOlderHost, 'a', 'b', 50},
      {"8-bit, empty", kOlderHost, 0, 0, 36},
      {"8-bit, empty with a byte after its terminator", kOlderHost, 0, 'b', 36},
      {"UTF-16, a description", kCurrentHost, 'a', 0, 50},
      {"UTF-16, empty", kCurrentHost, 0, 0, 38},
      {"UTF-16, a character whose low byte is 0", kCurrentHost, 0, 'b', 50},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    HostVersion version(row.host);
    FCTextExpressionDef definition;
    FCString fourteenBytes(row.host == kCurrentHost ? "abcdefg" : "abcdefghijklmn");
    definition.SetDescription(&fourteenBytes);
    ASSERT_EQ(definition._GetLoadedSize(), 50);
    Bytes(definition)[34] = row.at34;
    Bytes(definition)[35] = row.at35;
    EXPECT_EQ(definition.DataSizeSave(), row.saved);
  }
}

TEST(TextExpressionDefRecord, DescriptionInBothEncodings) {
  struct Row {
    uint32_t host;
    int size;
    uint8_t at34, at35;
  } rows[] = {{kOlderHost, 43, 'd', 'o'}, {kCurrentHost, 50, 'd', 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    HostVersion version(row.host);
    FCTextExpressionDef definition;
    definition.SetTextID(12);
    definition.SetRehearsalMarkStyle(3);
    FCString description("dolce p");
    definition.SetDescription(&description);
    EXPECT_EQ(definition._GetLoadedSize(), row.size);
    EXPECT_EQ(Bytes(definition)[34], row.at34);
    EXPECT_EQ(Bytes(definition)[35], row.at35);
    EXPECT_EQ(definition.GetTextID(), 12);
    EXPECT_EQ(definition.GetRehearsalMarkStyle(), 3);
    FCString back;
    definition.GetDescription(&back);
    EXPECT_EQ(Text(back), "dolce p");
  }
}

TEST_F(TextExpressionDefTest, RehearsalMarksInEveryStyle) {
  struct Row {
    short style;
    const char* marks[4];  // numbers 1, 26, 27, 53; null: refused
  } rows[] = {
      {0, {nullptr, nullptr, nullptr, nullptr}},
      {1, {"A", "Z", "AA", "AAA"}},
      {2, {"A", "Z", "A1", "A2"}},
      {3, {"a", "z", "aa", "aaa"}},
      {4, {"a", "z", "a1", "a2"}},
      {5, {"1", "26", "27", "53"}},
      {6, {"1", "100", "101", "53"}},
      {7, {nullptr, nullptr, nullptr, nullptr}},
  };
  // Measures 26 and 27 are numbered by a region of their own; the others plainly.
  FCMeasureNumberRegion region;
  region.SetStartMeasure(26);
  region.SetEndMeasure(27);
  region.SetNumberingStyle(FCMeasureNumberRegion::NUMBERING_DIGITS);
  region.SetStartNumber(100);
  ASSERT_TRUE(region.SaveNew());
  const int numbers[] = {1, 26, 27, 53};
  for (const Row& row : rows) {
    FCTextExpressionDef definition;
    definition.SetRehearsalMarkStyle(row.style);
    for (int i = 0; i < 4; ++i) {
      SCOPED_TRACE("style " + std::to_string(row.style) + ", number " + std::to_string(numbers[i]));
      FCString text("unchanged");
      EXPECT_EQ(definition.MakeRehearsalMark(numbers[i], &text), row.marks[i] != nullptr);
      EXPECT_EQ(Text(text), row.marks[i] ? row.marks[i] : "unchanged");
    }
    // A number below 1 answers false and leaves the text alone (host-notation.md).
    FCString text("unchanged");
    EXPECT_FALSE(definition.MakeRehearsalMark(0, &text));
    EXPECT_FALSE(definition.MakeRehearsalMark(-4, &text));
    EXPECT_EQ(Text(text), "unchanged");
  }
}

// host-notation.md, Category: the number into bits 0-13 of the word at byte 26, the six
// words to bytes 14, 12, 16, 24, 32 and 30.
TEST_F(TextExpressionDefTest, CategoryTakesFourteenBitsAndSixValues) {
  FCCategoryDef category;
  for (int i = 0; i < FCCategoryDef::VALUE_COUNT; ++i)
    category.SetValue(i, static_cast<short>(101 + i));
  ASSERT_TRUE(category.SaveAs(0x4005));
  struct Row {
    uint32_t host;
    uint16_t wordBefore, wordAfter;
  } rows[] = {{kOlderHost, 0x4FFF, 0x4005},
              {kOlderHost, 0x0000, 0x0005},
              {kCurrentHost, 0x0000, 0xC005},
              {kCurrentHost, 0x3FFF, 0xC005}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.host) + " " + std::to_string(row.wordBefore));
    HostVersion version(row.host);
    FCTextExpressionDef definition;
    fxt::PutU16(Bytes(definition), 26, row.wordBefore);
    ASSERT_TRUE(definition.AssignToCategory(&category));
    EXPECT_EQ(fxt::GetU16(Bytes(definition), 26), row.wordAfter);
    EXPECT_EQ(definition.GetCategoryID(), 5);
    const int offsets[] = {14, 12, 16, 24, 32, 30};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(fxt::GetS16(Bytes(definition), offsets[i]), 101 + i);
  }
  FCTextExpressionDef definition;
  for (uint16_t number : {0, 0x8001}) {
    FCCategoryDef none;
    none.SaveAs(number);
    EXPECT_FALSE(definition.AssignToCategory(&none));
  }
  EXPECT_FALSE(definition.AssignToCategory(nullptr));
  EXPECT_EQ(fxt::GetU16(Bytes(definition), 26), 0);
}

TEST_F(TextExpressionDefTest, TextsAndEnclosureHangOffTheDefinition) {
  const unsigned short number = MakeDefinition("dolce", true);
  FCTextExpressionDef definition;
  ASSERT_TRUE(definition.Load(number));
  EXPECT_EQ(Take(definition.CreateTextString()), "dolce");
  FCString changed("dolciss.");
  ASSERT_TRUE(definition.SaveTextString(&changed));
  EXPECT_EQ(Take(definition.CreateTextString()), "dolciss.");
  std::unique_ptr<FCEnclosure> enclosure(definition.CreateEnclosure());
  ASSERT_NE(enclosure, nullptr);
  uint8_t frame[FCEnclosure::RECORD_SIZE];
  enclosure->_GetRecordBytes(frame);
  EXPECT_EQ(frame[11], 12);

  // No enclosure flag: no host call at all. A flag without a record: null.
  definition.SetUseEnclosure(false);
  host.ClearCalls();
  EXPECT_EQ(definition.CreateEnclosure(), nullptr);
  EXPECT_TRUE(host.Calls().empty());
  definition.SetUseEnclosure(true);
  definition.SaveAs(40);
  EXPECT_EQ(definition.CreateEnclosure(), nullptr);

  // A definition without a text block has nothing to overwrite (host-notation.md:
  // SaveTextString writes nothing and answers false).
  FCTextExpressionDef fresh;
  const fxthost::RecordStore before = Doc().records;
  EXPECT_FALSE(fresh.SaveTextString(&changed));
  EXPECT_EQ(Take(fresh.CreateTextString()), "");
  EXPECT_TRUE(Doc().records == before);
}

TEST_F(TextExpressionDefTest, NewTextBlockLeavesNothingWhenRefused) {
  for (int failing : {1, 2}) {
    SCOPED_TRACE(failing == 1
                     ? "raw text refused"
                     : "text block refused (host-notation.md: deletes the raw text again)");
    const fxthost::RecordStore before = Doc().records;
    FCTextExpressionDef definition;
    definition.SetTextID(3);
    host.FailCall(Fn::FX_CreateEData, failing);
    FCString text("cresc.");
    EXPECT_FALSE(definition.SaveNewTextBlock(&text));
    EXPECT_EQ(definition.GetTextID(), 3);
    EXPECT_TRUE(Doc().records == before);
  }
}

TEST_F(TextExpressionDefTest, DeepSaveAsCopiesTextAndEnclosure) {
  const unsigned short number = MakeDefinition("rit.", true);
  FCTextExpressionDef definition;
  ASSERT_TRUE(definition.Load(number));
  const unsigned short oldBlock = definition.GetTextID();
  ASSERT_TRUE(definition.DeepSaveAs(20));
  EXPECT_EQ(definition.GetItemNo(), 20);
  EXPECT_NE(definition.GetTextID(), oldBlock);

  FCTextExpressionDef copy;
  ASSERT_TRUE(copy.Load(20));
  EXPECT_EQ(Take(copy.CreateTextString()), "rit.");
  std::unique_ptr<FCEnclosure> enclosure(copy.CreateEnclosure());
  ASSERT_NE(enclosure, nullptr);
  // The original keeps its own text.
  FCString other("a tempo");
  ASSERT_TRUE(copy.SaveTextString(&other));
  FCTextExpressionDef original;
  ASSERT_TRUE(original.Load(number));
  EXPECT_EQ(Take(original.CreateTextString()), "rit.");
}

TEST_F(TextExpressionDefTest, DeepSaveAsThatFailsLeavesNoHalfMadeCopy) {
  const unsigned short number = MakeDefinition("rall.", true);
  // Definition 30 has an enclosure of its own that a failed copy must give back.
  const uint8_t theirs[FCEnclosure::RECORD_SIZE] = {9};
  FCEnclosure existing;
  existing._SetRecordBytes(theirs);
  ASSERT_TRUE(existing.SaveAs(30));
  struct Row {
    const char* name;
    Fn fn;
    int nth;
    unsigned short destination;
  } rows[] = {
      // clang-format off
      {"text refused (host-notation.md: DeepSaveAs, the text cannot be copied)",
       Fn::FX_CreateEData, 1, 20},
      {"text block refused (host-notation.md: DeepSaveAs, the text cannot be copied)",
       Fn::FX_CreateEData, 2, 20},
      {"enclosure refused (host-notation.md: DeepSaveAs, the enclosure cannot be copied)",
       Fn::FX_SaveEData, 1, 20},
      {"definition refused (host-notation.md: removes the one it wrote)", Fn::FX_SaveEData, 2, 20},
      {"definition refused over an enclosure (host-notation.md: puts back the enclosure)",
       Fn::FX_SaveEData, 2, 30},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCTextExpressionDef definition;
    ASSERT_TRUE(definition.Load(number));
    const unsigned short block = definition.GetTextID();
    const fxthost::RecordStore before = Doc().records;
    host.FailCall(row.fn, row.nth);
    EXPECT_FALSE(definition.DeepSaveAs(row.destination));
    EXPECT_TRUE(Doc().records == before);
    EXPECT_EQ(definition.GetItemNo(), number);
    EXPECT_EQ(definition.GetTextID(), block);
  }
}

TEST_F(TextExpressionDefTest, WalkEndsAtTheFirstMissingNumber) {
  for (unsigned short number : {1, 2, 4}) {
    FCTextExpressionDef definition;
    ASSERT_TRUE(definition.SaveAs(number));
  }
  FCTextExpressionDef definition;
  std::string visited;
  for (bool more = definition.LoadFirst(); more; more = definition.LoadNext())
    visited += std::to_string(definition.GetItemNo());
  EXPECT_EQ(visited, "12");
}

}  // namespace
