// Staves against the emulated host: the transposition word, the three names (with an old
// and a new host), saving the full name, the walk over all staves and the current staff
// settings.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/cell.h"
#include "framework/score/staff.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace {

using fxthost::Fn;

class StaffTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  void TearDown() override { SetFinaleFrameworkVersion(saved); }

  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  uint32_t saved = GetFinaleFrameworkVersion();
  fxthost::Host host;
};

std::u16string Units(FCString* text) {
  std::unique_ptr<FCString> owned(text);
  std::u16string out;
  for (int i = 0; i < owned->GetLength(); ++i) out += static_cast<char16_t>(owned->GetItemAt(i));
  return out;
}

std::string Text(FCString* text) {
  std::string out;
  for (char16_t unit : Units(text)) out += static_cast<char>(unit);
  return out;
}

TEST(StaffTransposition, WordDecodesToIntervalAndAlteration) {
  struct Row {
    unsigned short word;
    int interval;
    int alteration;
  } rows[] = {
      {0x0000, 0, 0},    {0x0041, 1, 1},  // 6-bit fields: interval bits 6-11, alteration bits 0-5
      {0x0FFF, -1, -1},  {0x0820, -32, -32},
      {0x07DF, 31, 31},  {0xD041, 1, 1},  // bits 12, 14 and 15 are not read
      {0x2F05, 5, -1},                    // bit 13: 8-bit interval, 4-bit alteration in bits 8-11
      {0x20FE, -2, 0},   {0x2780, -128, 7},
      {0x287F, 127, -8}, {0xF705, 5, 7},  // bit 13 with the unread bits set
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(::testing::Message() << "word 0x" << std::hex << row.word);
    FCStaff staff;
    staff.SetTransposeWord(row.word);
    EXPECT_EQ(staff.GetTransposeInterval(), row.interval);
    EXPECT_EQ(staff.GetTransposeAlteration(), row.alteration);
  }
}

TEST_F(StaffTest, DisplayedNameWithAnOldAndANewHost) {
  const std::string raw = "^font(Arial)^size(10)^nfx(0)Clarinet in B^flat() ^sharp()1";
  ASSERT_TRUE(fxthost::PutStaff(Doc(), 3, raw));
  std::u16string hostShows = fxthost::DisplayedName(fxthost::Utf8ToUtf16(raw));

  struct Row {
    const char* name;
    uint32_t version;
    bool hostRefuses;
    size_t hostCalls;
    std::u16string expected;
  } rows[] = {
      {"old host: never asked, accidentals spelled out", 0x10FFFFFF, false, 0,
       u"Clarinet in Bb #1"},
      {"new host: its own name", 0x11000000, false, 1, hostShows},
      {"new host that gives none: the same as an old host", 0x11000000, true, 1,
       u"Clarinet in Bb #1"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetFinaleFrameworkVersion(row.version);
    host.ClearCalls();
    if (row.hostRefuses) host.FailCall(Fn::FX_AutoNumberedName_UTF16, 1);
    FCStaff staff;
    ASSERT_TRUE(staff.Load(3));
    EXPECT_EQ(Units(staff.CreateDisplayFullNameString()), row.expected);
    auto calls = host.CallsTo(Fn::FX_AutoNumberedName_UTF16);
    ASSERT_EQ(calls.size(), row.hostCalls);
    if (!calls.empty()) {
      EXPECT_EQ(static_cast<int16_t>(calls[0].words[0]), staff.GetFullNameID());
      EXPECT_EQ(static_cast<int16_t>(calls[0].words[1]), 3);
      EXPECT_EQ(static_cast<int16_t>(calls[0].words[3]), 2000);
    }
  }
  // The host's own name differs from the fallback's spelling.
  EXPECT_NE(hostShows, u"Clarinet in Bb #1");
}

// A host that reads the size 2000 as 16-bit units and fills all of them, with no
// terminator: the buffer holds them and the name ends there.
intptr_t FillWholeBuffer(fxthost::Host&, const uint64_t* words) {
  auto* buffer = reinterpret_cast<char16_t*>(static_cast<uintptr_t>(words[2]));
  const int16_t units = static_cast<int16_t>(words[3]);
  for (int i = 0; i < units; ++i) buffer[i] = u'A';
  return 1;
}

TEST_F(StaffTest, DisplayedNameBufferHoldsTheLargerReadingOfItsSize) {
  SetFinaleFrameworkVersion(0x11000000);
  ASSERT_TRUE(fxthost::PutStaff(Doc(), 1, "Flute"));
  host.SetBehaviour(Fn::FX_AutoNumberedName_UTF16, FillWholeBuffer);
  FCStaff staff;
  ASSERT_TRUE(staff.Load(1));
  EXPECT_EQ(Units(staff.CreateDisplayFullNameString()), std::u16string(2000, u'A'));
}

TEST_F(StaffTest, LoadAllWalksEveryStaffFromTheLowestNumber) {
  for (int16_t number : {9, 2, 5})
    ASSERT_TRUE(fxthost::PutStaff(Doc(), number, "s" + std::to_string(number)));
  FCStaves staves;
  staves.LoadAll();
  ASSERT_EQ(staves.GetCount(), 3);
  const unsigned short expected[] = {2, 5, 9};
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    auto* staff = static_cast<FCStaff*>(staves.GetItemAt(i));
    EXPECT_EQ(staff->GetItemNo(), expected[i]);
    EXPECT_EQ(Text(staff->CreateFullNameString()), "s" + std::to_string(expected[i]));
  }
}

TEST_F(StaffTest, SaveFullNameStringWritesTheNameOrLeavesNothingBehind) {
  enum Setup { kLoaded, kBlockMissing, kNotLoaded };
  struct Row {
    const char* name;
    const char* before;  // the staff's name in the document ("" for none)
    Setup setup;
    bool nullText;
    bool refuseSave;  // the host refuses the staff record's save
    bool result;
    const char* after;
    bool sameBlock;  // the record still names the block it had
    int newRecords;  // records the document gained
  } rows[] = {
      {"named staff: the text goes over its block", "Oboe", kLoaded, false, false, true,
       "Cor anglais", true, 0},
      {"unnamed staff: a new block and raw text", "", kLoaded, false, false, true, "Cor anglais",
       false, 2},
      {"block number naming no block: a new block", "Oboe", kBlockMissing, false, false, true,
       "Cor anglais", false, 2},
      {"host refuses the staff record: the new block is deleted", "", kLoaded, false, true, false,
       "", true, 0},
      {"staff never loaded: refused, nothing left", "", kNotLoaded, false, false, false, "", true,
       0},
      {"null text: refused", "Oboe", kLoaded, true, false, false, "Oboe", true, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(fxthost::PutStaff(Doc(), 3, row.before));
    fxthost::StaffInfo before;
    ASSERT_TRUE(fxthost::ReadStaff(Doc(), 3, &before));
    FCStaff staff;
    if (row.setup != kNotLoaded) {
      ASSERT_TRUE(staff.Load(3));
    }
    if (row.setup == kBlockMissing) staff.SetFullNameID(999);
    const unsigned short blockHeld = staff.GetFullNameID();
    const size_t records = Doc().records.Count();
    if (row.refuseSave) host.FailCall(Fn::FX_SaveEData, 1);
    FCString text("Cor anglais");
    EXPECT_EQ(staff.SaveFullNameString(row.nullText ? nullptr : &text), row.result);
    fxthost::StaffInfo after;
    ASSERT_TRUE(fxthost::ReadStaff(Doc(), 3, &after));
    EXPECT_EQ(after.name, row.after);
    EXPECT_EQ(after.nameBlock == before.nameBlock, row.sameBlock);
    EXPECT_EQ(staff.GetFullNameID() == blockHeld, row.sameBlock);
    if (row.result) {
      EXPECT_EQ(staff.GetFullNameID(), after.nameBlock);
    }
    EXPECT_EQ(Doc().records.Count(), records + row.newRecords);
  }
}

TEST_F(StaffTest, CurrentStaffSpecLoadsOnlyByCell) {
  fxthost::SetMeasures(Doc(), 4);
  ASSERT_TRUE(fxthost::PutStaff(Doc(), 2, "Cello"));
  FCStaff own;
  ASSERT_TRUE(own.Load(2));

  FCCurrentStaffSpec current;
  FCCell cell(3, 2);
  ASSERT_TRUE(current.Load(&cell, 512));
  EXPECT_EQ(current.GetItemNo(), 0);
  EXPECT_EQ(current.GetFullNameID(), own.GetFullNameID());
  EXPECT_EQ(fxt::GetS32(current._GetDataKey(), 4), 512);

  FCCell outside(9, 2);
  EXPECT_FALSE(current.Load(&outside, 0));
  EXPECT_FALSE(current.Load(nullptr, 0));

  host.ClearCalls();
  EXPECT_FALSE(current.Load(static_cast<unsigned short>(2)));
  EXPECT_FALSE(current.SaveAs(2));
  EXPECT_FALSE(current.SaveNew());
  EXPECT_FALSE(current.DeepSaveAs(2));
  EXPECT_TRUE(host.Calls().empty());
}

}  // namespace
