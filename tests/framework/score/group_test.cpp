// Staff groups against the emulated host: the record's fields both ways, walking the
// groups, their names in both text encodings, new name blocks (also when the host
// refuses), new group numbers, the record version, and the staff tests over the global
// staff order.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/group.h"
#include "framework/text/fcstring.h"
#include "host/store/groups.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;
using fxthost::GroupRecord;

class GroupTest : public ::testing::Test {
 protected:
  void SetUp() override { host.NewDocument(); }
  void TearDown() override { SetFinaleFrameworkVersion(saved); }

  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  GroupRecord Group(uint16_t number, int16_t startStaff, int16_t endStaff, int16_t startMeasure,
                    int16_t endMeasure) {
    GroupRecord group;
    group.number = number;
    group.startStaff = startStaff;
    group.endStaff = endStaff;
    group.startMeasure = startMeasure;
    group.endMeasure = endMeasure;
    return group;
  }

  uint32_t saved = GetFinaleFrameworkVersion();
  fxthost::Host host;
};

// The code units of a created string, which the test then owns.
std::u16string Units(FCString* text) {
  std::unique_ptr<FCString> owned(text);
  std::u16string out;
  for (int i = 0; i < owned->GetLength(); ++i) out += static_cast<char16_t>(owned->GetItemAt(i));
  return out;
}

// The narrowed text of a created string (low byte of each unit), which the test owns.
std::string Bytes(FCString* text) {
  std::unique_ptr<FCString> owned(text);
  return owned->GetCString();
}

std::u16string Latin1(const std::string& bytes) {
  std::u16string out;
  for (char c : bytes) out += static_cast<char16_t>(static_cast<unsigned char>(c));
  return out;
}

TEST_F(GroupTest, EveryFieldSurvivesLoadAndSave) {
  struct Row {
    const char* name;
    GroupRecord stored;
    GroupRecord changed;
  } rows[] = {
      {"ordinary values", {0, 3, 2, 5, 1, 20, 7, 8, 0}, {0, 3, 4, 6, 9, 12, 11, 12, -10}},
      {"extreme values",
       {0, 7, -1, 0x7FFF, -32768, 0x7FFF, 0xFFFF, 0x8000, -32768},
       {0, 7, 0x7FFF, -1, 0x7FFF, -32768, 0x8000, 0xFFFF, 0x7FFF}},
      {"group under another first item number",
       {2, 1, 1, 1, 1, 1, 0, 0, 0},
       {2, 1, 8, 9, 10, 11, 12, 13, 14}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ASSERT_TRUE(fxthost::WriteGroup(Doc(), row.stored));
    // Bytes the framework does not interpret must come back as they were.
    const DataKey key{row.stored.first, row.stored.number, 0, 0};
    fxthost::RecordStore::Bytes bytes = *Doc().records.Find(fxthost::kGroupTag, key);
    for (int offset : {8, 15, 21, 24, 31}) bytes[offset] = static_cast<uint8_t>(0xA0 + offset);
    Doc().records.Put(fxthost::kGroupTag, key, bytes);

    FCGroup group;
    ASSERT_TRUE(group.Load(row.stored.first, row.stored.number));
    EXPECT_EQ(group.GetItemID(), row.stored.number);
    EXPECT_EQ(group.GetStartStaff(), row.stored.startStaff);
    EXPECT_EQ(group.GetEndStaff(), row.stored.endStaff);
    EXPECT_EQ(group.GetStartMeasure(), row.stored.startMeasure);
    EXPECT_EQ(group.GetEndMeasure(), row.stored.endMeasure);
    EXPECT_EQ(group.GetFullNameID(), row.stored.fullNameBlock);
    EXPECT_EQ(group.GetAbbreviatedNameID(), row.stored.abbreviatedNameBlock);
    EXPECT_EQ(group.GetOffset6Word(), row.stored.offset6);

    group.SetStartStaff(row.changed.startStaff);
    group.SetEndStaff(row.changed.endStaff);
    group.SetStartMeasure(row.changed.startMeasure);
    group.SetEndMeasure(row.changed.endMeasure);
    group.SetFullNameID(row.changed.fullNameBlock);
    group.SetAbbreviatedNameID(row.changed.abbreviatedNameBlock);
    group.SetOffset6Word(row.changed.offset6);
    ASSERT_TRUE(group.Save());

    GroupRecord read;
    ASSERT_TRUE(fxthost::ReadGroup(Doc(), row.stored.first, row.stored.number, &read));
    // Byte 8 is the low byte of the emulated host's bracket-style word, which the
    // framework carries unchanged like the rest.
    GroupRecord expected = row.changed;
    expected.bracket = 0xA8;
    EXPECT_EQ(read, expected);
    const fxthost::RecordStore::Bytes& after = *Doc().records.Find(fxthost::kGroupTag, key);
    ASSERT_EQ(after.size(), 36u);
    for (int offset : {8, 15, 21, 24, 31})
      EXPECT_EQ(after[offset], 0xA0 + offset) << "byte " << offset;
  }
}

TEST_F(GroupTest, LoadFirstFindsTheFirstGroupInHostOrder) {
  FCGroup group;
  EXPECT_FALSE(group.LoadFirst()) << "a document without groups";

  ASSERT_TRUE(fxthost::WriteGroup(Doc(), Group(9, 1, 2, 1, 1)));
  ASSERT_TRUE(fxthost::WriteGroup(Doc(), Group(4, 3, 6, 2, 8)));
  // Loading another group first must not make LoadFirst start from there.
  ASSERT_TRUE(group.Load(0, 9));
  ASSERT_TRUE(group.LoadFirst());
  EXPECT_EQ(group.GetItemID(), 4);
  EXPECT_EQ(group.GetStartStaff(), 3);
  EXPECT_EQ(group.GetEndMeasure(), 8);
  EXPECT_TRUE(group.LoadNext());
  EXPECT_EQ(group.GetItemID(), 9);
  EXPECT_FALSE(group.LoadNext());
}

TEST_F(GroupTest, CollectionLoadsEveryGroupInHostOrder) {
  GroupRecord other = Group(1, 7, 8, 3, 4);
  other.first = 1;
  for (const GroupRecord& record :
       {Group(12, 1, 4, 1, 30), Group(2, 5, 6, 10, 20), other, Group(7, 2, 3, 1, 5)})
    ASSERT_TRUE(fxthost::WriteGroup(Doc(), record));

  FCGroups groups;
  groups.LoadAll();
  const std::vector<GroupRecord> expected = fxthost::ReadGroups(Doc());
  ASSERT_EQ(groups.GetCount(), 4);
  ASSERT_EQ(expected.size(), 4u);
  for (int i = 0; i < groups.GetCount(); ++i) {
    SCOPED_TRACE(i);
    const FCGroup* group = static_cast<const FCGroup*>(groups.GetItemAt(i));
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->_GetKeyFirst(), expected[i].first);
    EXPECT_EQ(group->GetItemID(), expected[i].number);
    EXPECT_EQ(group->GetStartStaff(), expected[i].startStaff);
    EXPECT_EQ(group->GetEndMeasure(), expected[i].endMeasure);
  }
  EXPECT_EQ(static_cast<const FCGroup*>(groups.GetItemAt(0))->GetItemID(), 2);
  EXPECT_EQ(static_cast<const FCGroup*>(groups.GetItemAt(3))->_GetKeyFirst(), 1);

  // A later load replaces the elements.
  Doc().records.Clear();
  groups.LoadAll();
  EXPECT_EQ(groups.GetCount(), 0);
}

TEST_F(GroupTest, NamesAreReadThroughTheirTextBlocks) {
  const uint16_t tagged =
      fxthost::NewTextBlock(Doc(), "^font(Arial)^size(12)^nfx(128)Cordes \xC3\xA0 l'Op\xC3\xA9ra");
  const uint16_t abbreviated = fxthost::NewTextBlock(Doc(), "Cor.");
  // A block whose raw text is gone.
  const uint16_t orphan = fxthost::NewTextBlock(Doc(), "gone");
  ASSERT_NE(orphan, 0);
  const int16_t orphanText =
      fxt::GetS16(Doc().records.Find(fxthost::kTextBlockTag, DataKey{orphan, 0, 0, 0})->data(), 0);
  ASSERT_TRUE(Doc().records.Erase(fxthost::kDefaultRawTextTag,
                                  DataKey{static_cast<uint16_t>(orphanText), 0, 0, 0}));

  // Expected texts in Windows-1252 bytes. An 8-bit host delivers those bytes; a UTF-16
  // host delivers the same characters as code units (Latin-1 range: unit = byte).
  const std::string full = "^font(Arial)^size(12)^nfx(128)Cordes \xE0 l'Op\xE9ra";
  struct Row {
    const char* name;
    uint16_t fullBlock;
    uint16_t abbreviatedBlock;
    std::string full;
    std::string trimmed;
    std::string abbreviated;
  } rows[] = {
      {"both names", tagged, abbreviated, full, "Cordes \xE0 l'Op\xE9ra", "Cor."},
      {"name block 0", 0, 0, "", "", ""},
      {"block without its text", orphan, orphan, "", "", ""},
      {"block that does not exist", 40, 41, "", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    GroupRecord record = Group(1, 1, 2, 1, 4);
    record.fullNameBlock = row.fullBlock;
    record.abbreviatedNameBlock = row.abbreviatedBlock;
    ASSERT_TRUE(fxthost::WriteGroup(Doc(), record));
    for (uint32_t version : {0x10FFFFFFu, 0x11000000u}) {
      SCOPED_TRACE(version);
      SetFinaleFrameworkVersion(version);
      FCGroup group;
      ASSERT_TRUE(group.Load(0, 1));
      EXPECT_EQ(Bytes(group.CreateFullNameString()), row.full);
      EXPECT_EQ(Bytes(group.CreateTrimmedFullNameString()), row.trimmed);
      EXPECT_EQ(Bytes(group.CreateAbbreviatedNameString()), row.abbreviated);
      if (version >= 0x11000000) {
        EXPECT_EQ(Units(group.CreateFullNameString()), Latin1(row.full));
      }
    }
  }
}

TEST_F(GroupTest, NewNameBlocksChangeOnlyTheObjectUntilSaved) {
  struct Row {
    const char* name;
    bool full;
    uint32_t version;
  } rows[] = {
      {"full name, UTF-16 host", true, 0x11000000},
      {"abbreviated name, UTF-16 host", false, 0x11000000},
      {"full name, 8-bit host", true, 0x0F000000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SetFinaleFrameworkVersion(row.version);
    Doc().records.Clear();
    GroupRecord record = Group(3, 1, 2, 1, 4);
    record.fullNameBlock = fxthost::NewTextBlock(Doc(), "Strings");
    record.abbreviatedNameBlock = fxthost::NewTextBlock(Doc(), "Str.");
    ASSERT_TRUE(fxthost::WriteGroup(Doc(), record));

    FCGroup group;
    ASSERT_TRUE(group.Load(0, 3));
    FCString text("Strings (Split Group 5)");
    ASSERT_TRUE(row.full ? group.SaveNewFullNameBlock(&text)
                         : group.SaveNewAbbreviatedNameBlock(&text));
    const uint16_t block = row.full ? group.GetFullNameID() : group.GetAbbreviatedNameID();
    EXPECT_NE(block, row.full ? record.fullNameBlock : record.abbreviatedNameBlock);
    std::string stored;
    ASSERT_TRUE(fxthost::ReadTextBlock(Doc(), block, &stored));
    EXPECT_EQ(stored, "Strings (Split Group 5)");

    // The group record is untouched until the object is saved.
    GroupRecord read;
    ASSERT_TRUE(fxthost::ReadGroup(Doc(), 0, 3, &read));
    EXPECT_EQ(read, record);
    ASSERT_TRUE(group.Save());
    ASSERT_TRUE(fxthost::ReadGroup(Doc(), 0, 3, &read));
    EXPECT_EQ(row.full ? read.fullNameBlock : read.abbreviatedNameBlock, block);
    EXPECT_EQ(row.full ? read.abbreviatedNameBlock : read.fullNameBlock,
              row.full ? record.abbreviatedNameBlock : record.fullNameBlock);
    std::u16string units =
        Units(row.full ? group.CreateFullNameString() : group.CreateAbbreviatedNameString());
    EXPECT_EQ(units, u"Strings (Split Group 5)");
  }
}

TEST_F(GroupTest, RefusedNameBlockLeavesGroupAndDocumentUnchanged) {
  GroupRecord record = Group(1, 1, 2, 1, 4);
  record.fullNameBlock = fxthost::NewTextBlock(Doc(), "Winds");
  record.abbreviatedNameBlock = fxthost::NewTextBlock(Doc(), "Wnd.");
  ASSERT_TRUE(fxthost::WriteGroup(Doc(), record));
  const fxthost::RecordStore before = Doc().records;
  struct Row {
    const char* name;
    bool full;
    int failingCreate;  // 1: the raw text is refused, 2: the text block is
  } rows[] = {
      {"full name, raw text refused", true, 1},
      {"full name, text block refused", true, 2},
      {"abbreviated name, raw text refused", false, 1},
      {"abbreviated name, text block refused", false, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCGroup group;
    ASSERT_TRUE(group.Load(0, 1));
    host.FailCall(Fn::FX_CreateEData, row.failingCreate);
    FCString text("Winds (Split Group 2)");
    EXPECT_FALSE(row.full ? group.SaveNewFullNameBlock(&text)
                          : group.SaveNewAbbreviatedNameBlock(&text));
    EXPECT_EQ(group.GetFullNameID(), record.fullNameBlock);
    EXPECT_EQ(group.GetAbbreviatedNameID(), record.abbreviatedNameBlock);
    // No orphaned raw text or text block stays behind.
    EXPECT_TRUE(Doc().records == before);
  }
  FCGroup group;
  ASSERT_TRUE(group.Load(0, 1));
  EXPECT_FALSE(group.SaveNewFullNameBlock(nullptr));
  EXPECT_FALSE(group.SaveNewAbbreviatedNameBlock(nullptr));
  EXPECT_EQ(group.GetFullNameID(), record.fullNameBlock);
  EXPECT_TRUE(Doc().records == before);
}

TEST_F(GroupTest, SaveNewTakesTheNumberTheHostAssigns) {
  FCGroup empty;
  EXPECT_FALSE(empty.SaveNew(0)) << "an object that holds no record creates nothing";
  EXPECT_EQ(Doc().records.Count(fxthost::kGroupTag), 0u);

  GroupRecord record = Group(1, 3, 6, 1, 20);
  record.offset6 = 4;
  ASSERT_TRUE(fxthost::WriteGroup(Doc(), record));
  ASSERT_TRUE(fxthost::WriteGroup(Doc(), Group(4, 1, 1, 1, 1)));

  FCGroup group;
  ASSERT_TRUE(group.Load(0, 1));
  group.SetStartMeasure(5);
  ASSERT_TRUE(group.SaveNew(0));
  EXPECT_EQ(group.GetItemID(), 5);

  GroupRecord copy;
  ASSERT_TRUE(fxthost::ReadGroup(Doc(), 0, 5, &copy));
  EXPECT_EQ(copy.startStaff, 3);
  EXPECT_EQ(copy.endStaff, 6);
  EXPECT_EQ(copy.startMeasure, 5);
  EXPECT_EQ(copy.offset6, 4);

  // Later saves write the new record, not the one that was loaded.
  group.SetEndMeasure(8);
  ASSERT_TRUE(group.Save());
  GroupRecord original;
  ASSERT_TRUE(fxthost::ReadGroup(Doc(), 0, 1, &original));
  EXPECT_EQ(original, record);
  ASSERT_TRUE(fxthost::ReadGroup(Doc(), 0, 5, &copy));
  EXPECT_EQ(copy.endMeasure, 8);
}

TEST_F(GroupTest, RecordVersionFollowsTheHostVersion) {
  ASSERT_TRUE(fxthost::WriteGroup(Doc(), Group(1, 1, 2, 1, 4)));
  struct Row {
    uint32_t host;
    uint32_t record;
  } rows[] = {
      {0x09000000, 0x09000000}, {0x0FFFFFFF, 0x09000000}, {0x10000000, 0x11000000},
      {0x11000000, 0x11000000}, {0x1A000000, 0x11000000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.host);
    SetFinaleFrameworkVersion(row.host);
    FCGroup group;
    EXPECT_EQ(group.EnigmaVersion(), row.record);
    host.ClearCalls();
    ASSERT_TRUE(group.LoadFirst());
    ASSERT_TRUE(group.Save());
    ASSERT_FALSE(host.Calls().empty());
    for (const fxthost::Call& call : host.Calls())
      EXPECT_EQ(call.words[4], row.record) << host.DescribeCall(call);
  }
}

TEST_F(GroupTest, StaffTestsFollowTheGlobalStaffOrder) {
  // Staff numbers are deliberately not in numeric order.
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 0, {1, 2, 3, 4, 5, 9, 7}));
  // Another list must not be consulted.
  ASSERT_TRUE(fxthost::WriteInstrumentList(Doc(), 3, {4, 3, 2}));
  struct Row {
    const char* name;
    short start;
    short end;
    int span;
    std::vector<int> index;      // CalcStaffIndex of staves 1, 2, 3, 4, 5, 9, 7, 6
    std::vector<bool> contains;  // ContainsStaff of the same staves
  } rows[] = {
      {"staves 2 to 4",
       2,
       4,
       3,
       {-1, 0, 1, 2, -1, -1, -1, -1},
       {false, true, true, true, false, false, false, false}},
      // No run: no staff has an index, and only the two end staves belong.
      {"end before start",
       4,
       2,
       0,
       {-1, -1, -1, -1, -1, -1, -1, -1},
       {false, true, false, true, false, false, false, false}},
      {"one staff",
       3,
       3,
       1,
       {-1, -1, 0, -1, -1, -1, -1, -1},
       {false, false, true, false, false, false, false, false}},
      {"across a higher number",
       5,
       7,
       3,
       {-1, -1, -1, -1, 0, 1, 2, -1},
       {false, false, false, false, true, true, true, false}},
      {"whole order",
       1,
       7,
       7,
       {0, 1, 2, 3, 4, 5, 6, -1},
       {true, true, true, true, true, true, true, false}},
      {"start staff missing",
       6,
       4,
       0,
       {-1, -1, -1, -1, -1, -1, -1, -1},
       {false, false, false, true, false, false, false, true}},
      // The staves after the start staff are not members when the end staff is gone.
      {"end staff missing",
       2,
       6,
       0,
       {-1, -1, -1, -1, -1, -1, -1, -1},
       {false, true, false, false, false, false, false, true}},
  };
  const short staves[] = {1, 2, 3, 4, 5, 9, 7, 6};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCGroup group;
    group.SetStartStaff(row.start);
    group.SetEndStaff(row.end);
    EXPECT_EQ(group.CalcStaffSpan(), row.span);
    for (size_t i = 0; i < 8; ++i) {
      SCOPED_TRACE(staves[i]);
      EXPECT_EQ(group.CalcStaffIndex(staves[i]), row.index[i]);
      EXPECT_EQ(group.ContainsStaff(staves[i]), row.contains[i]);
    }
  }
}

TEST_F(GroupTest, HostRefusesGroupThatNoWalkCouldFind) {
  EXPECT_FALSE(fxthost::WriteGroup(Doc(), Group(0, 1, 2, 1, 4)));
  EXPECT_EQ(Doc().records.Count(fxthost::kGroupTag), 0u);
  // A record too short for the layout is not read as a group.
  Doc().records.Put(fxthost::kGroupTag, DataKey{0, 2, 0, 0}, {1, 0, 2, 0});
  EXPECT_FALSE(fxthost::ReadGroup(Doc(), 0, 2, nullptr));
  EXPECT_TRUE(fxthost::ReadGroups(Doc()).empty());
}

}  // namespace
