// The emulated host's staff lists, displayed staff names, current staff settings and
// the score-model helpers that write and read those records.
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

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
constexpr int32_t kSystemStaff = static_cast<int32_t>(fxt::MakeTag('S', 'O', 'I', 'u'));
constexpr int32_t kStaffSpec = static_cast<int32_t>(fxt::MakeTag('S', 'O', 'S', 'C'));

struct Conversion {
  const char* name;
  bool toStaff;  // FX_SlotToInst, else FX_InstToSlot
  int16_t argument;
  uint16_t list;
  int32_t expected;
};

void Check(const std::vector<Conversion>& rows) {
  for (const Conversion& row : rows) {
    SCOPED_TRACE(row.name);
    const int32_t got = row.toStaff ? FX_SlotToInst(row.argument, row.list, kVersion)
                                    : FX_InstToSlot(row.argument, row.list, kVersion);
    EXPECT_EQ(got, row.expected);
  }
}

TEST(HostStaffLists, ConversionsFollowTheListRecords) {
  Host host;
  Document& document = host.NewDocument();
  ASSERT_TRUE(fxthost::WriteInstrumentList(document, 0, {3, 1, 2}));
  ASSERT_TRUE(fxthost::WriteInstrumentList(document, 2, {5, 3}));
  Check({
      // clang-format off
      {"first slot (host-texts-staves.md: FX_SlotToInst returns the staff at that slot)",
       true, 1, 0, 3},
      {"last slot (host-texts-staves.md: FX_SlotToInst returns the staff at that slot)",
       true, 3, 0, 2},
      {"past the end (host-texts-staves.md: 0 for a slot past the end of the list)", true, 4, 0, 0},
      {"slot 0 (host-texts-staves.md: 0 for slot 0 or less)", true, 0, 0, 0},
      {"negative slot (host-texts-staves.md: 0 for slot 0 or less)", true, -1, 0, 0},
      {"other list (host-texts-staves.md: the first item number is the list)", true, 1, 2, 5},
      {"list that does not exist (host-texts-staves.md: 0 for a list that does not exist)",
       true, 1, 7, 0},
      {"staff to slot (host-texts-staves.md: FX_InstToSlot returns the slot of the staff)",
       false, 1, 0, 2},
      {"same staff, other list (host-texts-staves.md: FX_InstToSlot returns the slot of the staff)",
       false, 3, 2, 2},
      {"staff not in list (host-texts-staves.md: 0 when the staff is not in the list)",
       false, 5, 0, 0},
      {"staff 0 (host-texts-staves.md: 0 for staff 0 or less)", false, 0, 0, 0},
      // clang-format on
  });

  // Rewritten by the host's helper: the conversions change with it.
  ASSERT_TRUE(fxthost::WriteInstrumentList(document, 0, {2, 3}));
  Check({
      // clang-format off
      {"rewritten first slot (host-texts-staves.md: changes their answers at once)", true, 1, 0, 2},
      {"old last slot now empty (host-texts-staves.md: changes their answers at once)",
       true, 3, 0, 0},
      {"dropped staff (host-texts-staves.md: changes their answers at once)", false, 1, 0, 0},
      {"moved staff (host-texts-staves.md: changes their answers at once)", false, 3, 0, 2},
      {"other list untouched", true, 2, 2, 3},
      // clang-format on
  });

  // Rewritten the framework's way: deleting inci 0 closes the gap.
  uint8_t key[8] = {};
  ASSERT_NE(FX_DeleteEData(kSystemStaff, key, kVersion), 0);
  Check({
      // clang-format off
      {"after delete: slot 1 (host-texts-staves.md: deletes that close the gap)", true, 1, 0, 3},
      {"after delete: slot of 3 (host-texts-staves.md: deletes that close the gap)",
       false, 3, 0, 1},
      {"after delete: slot 2 empty (host-texts-staves.md: deletes that close the gap)",
       true, 2, 0, 0},
      // clang-format on
  });
  EXPECT_EQ(fxthost::ReadInstrumentList(document, 0), std::vector<int16_t>{3});
}

TEST(HostStaffLists, WriteRefusesStavesThatCannotBeInAList) {
  Host host;
  Document& document = host.NewDocument();
  ASSERT_TRUE(fxthost::WriteInstrumentList(document, 0, {1, 2}));
  EXPECT_FALSE(fxthost::WriteInstrumentList(document, 0, {1, 0, 2}));
  EXPECT_FALSE(fxthost::WriteInstrumentList(document, 0, {-4}));
  EXPECT_EQ(fxthost::ReadInstrumentList(document, 0), (std::vector<int16_t>{1, 2}));
  EXPECT_EQ(fxthost::InstrumentListNumbers(document), std::vector<uint16_t>{0});
}

// The name as FX_AutoNumberedName_UTF16 gives it, or "<none>" when the host gave 0.
std::u16string DisplayedName(int16_t block, int16_t staff, int16_t size = 2000) {
  char16_t buffer[1000];
  for (char16_t& unit : buffer) unit = u'#';
  if (FX_AutoNumberedName_UTF16(block, staff, buffer, size, false, kVersion) == 0) {
    for (char16_t unit : buffer) EXPECT_EQ(unit, u'#') << "buffer changed on failure";
    return u"<none>";
  }
  return std::u16string(buffer);
}

TEST(HostStaffNames, DisplayedNameDropsFontTagsAndShowsAccidentals) {
  struct Row {
    const char* raw;
    std::u16string shown;
  };
  // host-texts-staves.md, Staves and their names: the displayed form removes the font, size
  // and effect tags, shows the accidental inserts as characters and ^^ as one caret, keeps
  // every other tag as written and drops a tag left open at the end.
  const Row rows[] = {
      {"^font(Arial)^size(12)^nfx(0)Clarinet in B^flat()", u"Clarinet in B\u266D"},
      {"Horn in F^sharp()", u"Horn in F\u266F"},
      {"^fontTxt(Times)Oboe ^title()", u"Oboe ^title()"},
      {"Violin ^^ I", u"Violin ^ I"},
      {"^Font(Font3)Viola^nfx(1)", u"Viola"},
      {"E^flat()^flat() Tuba", u"E\u266D\u266D Tuba"},
      {"Flute^size(10", u"Flute"},
      {"Caf\xC3\xA9", u"Caf\u00E9"},
      {"", u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.raw);
    Host host;
    Document& document = host.NewDocument();
    const uint16_t block = fxthost::NewTextBlock(document, row.raw);
    ASSERT_NE(block, 0);
    EXPECT_EQ(DisplayedName(static_cast<int16_t>(block), 1), row.shown);
  }
}

TEST(HostStaffNames, NameIsBoundedByTheSizeInBytes) {
  struct Row {
    const char* raw;
    int16_t size;
    std::u16string shown;
  };
  // host-texts-staves.md, Staves and their names: the size counts bytes, the 0 unit
  // included; a longer name is cut, never in the middle of a surrogate pair; a size with no
  // room for the terminator (less than 2) gives 0.
  const Row rows[] = {
      {"Clarinet", 18, u"Clarinet"},
      {"Clarinet", 17, u"Clarine"},
      {"Clarinet", 6, u"Cl"},
      {"Clarinet", 2, u""},
      {"Clarinet", 1, u"<none>"},
      {"Clarinet", 0, u"<none>"},
      {"Clarinet", -2, u"<none>"},
      {"A\xF0\x9D\x84\x9E", 6, u"A"},  // never half a surrogate pair
      {"A\xF0\x9D\x84\x9E", 8, u"A\U0001D11E"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.raw << " in " << row.size);
    Host host;
    Document& document = host.NewDocument();
    const uint16_t block = fxthost::NewTextBlock(document, row.raw);
    EXPECT_EQ(DisplayedName(static_cast<int16_t>(block), 1, row.size), row.shown);
  }
}

TEST(HostStaffNames, NameComesFromTheBlockOrTheStaffRecord) {
  Host host;
  Document& document = host.NewDocument();
  ASSERT_TRUE(fxthost::PutStaff(document, 3, "^font(Arial)Cello"));
  ASSERT_TRUE(fxthost::PutStaff(document, 4, ""));
  const uint16_t other = fxthost::NewTextBlock(document, "Bass");
  struct Row {
    const char* name;
    int16_t block;
    int16_t staff;
    std::u16string shown;
  };
  // clang-format off
  const Row rows[] = {
      {"block given (host-texts-staves.md: The name comes from the text block given)",
       static_cast<int16_t>(other), 3, u"Bass"},
      {"block 0: the staff's own (host-texts-staves.md: the staff record's name block)",
       0, 3, u"Cello"},
      {"staff without a name (host-texts-staves.md: 0 when the block is missing)", 0, 4, u"<none>"},
      {"no such staff (host-texts-staves.md: 0 when the staff is missing)", 0, 9, u"<none>"},
      {"no such block (host-texts-staves.md: 0 when the block is missing)", 77, 3, u"<none>"},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(DisplayedName(row.block, row.staff), row.shown);
  }
}

TEST(HostCurrentStaffSpec, LoadAnswersWithTheStaffRecord) {
  Host host;
  Document& document = host.NewDocument();
  fxthost::RecordStore::Bytes staff(132);
  for (size_t i = 0; i < staff.size(); ++i) staff[i] = static_cast<uint8_t>(i * 7 + 1);
  document.records.Put(fxthost::kStaffTag, DataKey{3, 0, 0, 0}, staff);
  fxthost::SetMeasures(document, 4);

  struct Row {
    const char* name;
    uint16_t staff;
    int16_t measure;
    int32_t position;
    bool found;
  };
  // clang-format off
  const Row rows[] = {
      {"start of a measure (host-texts-staves.md: the answer is the staff's own SOIS record)",
       3, 1, 0, true},
      {"end of the last measure (host-texts-staves.md: the answer is the staff's own SOIS record)",
       3, 4, 0x7FFFFFFF, true},
      {"inside a measure (host-texts-staves.md: the answer is the staff's own SOIS record)",
       3, 2, 512, true},
      {"unknown staff (host-texts-staves.md: The load fails for an unknown staff)", 5, 1, 0, false},
      {"measure 0 (host-texts-staves.md: fails for a measure below 1)", 3, 0, 0, false},
      {"past the last measure (host-texts-staves.md: fails for a measure that is not one of them)",
       3, 5, 0, false},
  };
  // clang-format on
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    uint8_t key[8];
    fxt::PutU16(key, 0, row.staff);
    fxt::PutS16(key, 2, row.measure);
    fxt::PutS32(key, 4, row.position);
    int32_t size = 0;
    const int32_t sized = FX_LoadEData(kStaffSpec, key, nullptr, &size, kVersion);
    std::vector<uint8_t> buffer(132, 0);
    int32_t room = 132;
    const int32_t loaded = FX_LoadEData(kStaffSpec, key, buffer.data(), &room, kVersion);
    EXPECT_EQ(sized != 0, row.found);
    EXPECT_EQ(loaded != 0, row.found);
    if (row.found) {
      EXPECT_EQ(size, 132);
      EXPECT_EQ(buffer, staff);
    }
  }

  // The settings are computed, never stored.
  uint8_t key[8] = {3, 0, 1, 0, 0, 0, 0, 0};
  EXPECT_EQ(FX_SaveEData(kStaffSpec, key, staff.data(), 132, kVersion), 0);
  EXPECT_EQ(document.records.Count(static_cast<uint32_t>(kStaffSpec)), 0u);
}

TEST(HostScoreModel, RecordsReadBackAsWritten) {
  Host host;
  Document& document = host.NewDocument();

  // Staff with a name: the name block's raw text is a 'txbl' text.
  ASSERT_TRUE(fxthost::PutStaff(document, 2, "Violin I"));
  fxthost::StaffInfo staff;
  ASSERT_TRUE(fxthost::ReadStaff(document, 2, &staff));
  EXPECT_NE(staff.nameBlock, 0);
  EXPECT_EQ(staff.name, "Violin I");
  const fxthost::RecordStore::Bytes* block =
      document.records.Find(fxthost::kTextBlockTag, DataKey{staff.nameBlock, 0, 0, 0});
  ASSERT_NE(block, nullptr);
  ASSERT_EQ(block->size(), 26u);
  EXPECT_EQ(fxt::GetU16(block->data(), 24), 0x626C);
  EXPECT_EQ(fxt::GetU16(block->data(), 14), 0x1A08);
  EXPECT_EQ(fxt::GetU16(block->data(), 8), 100);
  EXPECT_TRUE(document.records.Contains(fxthost::kDefaultRawTextTag,
                                        DataKey{fxt::GetU16(block->data(), 0), 0, 0, 0}));

  // Multi-staff instrument: the bytes past the staves survive a rewrite.
  fxthost::MultiStaffInstrument piano;
  piano.id = 1;
  piano.staves = {{7, 8, 0}};
  ASSERT_TRUE(fxthost::PutMultiStaffInstrument(document, piano));
  fxthost::RecordStore::Bytes record =
      *document.records.Find(fxthost::kMultiStaffInstrumentTag, DataKey{1, 0, 0, 0});
  record[10] = 0x5A;
  document.records.Put(fxthost::kMultiStaffInstrumentTag, DataKey{1, 0, 0, 0}, record);
  piano.staves = {{8, 7, 9}};
  ASSERT_TRUE(fxthost::PutMultiStaffInstrument(document, piano));
  const auto instruments = fxthost::ReadMultiStaffInstruments(document);
  ASSERT_EQ(instruments.size(), 1u);
  EXPECT_EQ(instruments[0].staves, (std::array<int16_t, 3>{{8, 7, 9}}));
  EXPECT_EQ(document.records.Find(fxthost::kMultiStaffInstrumentTag, DataKey{1, 0, 0, 0})->at(10),
            0x5A);

  // Font preference.
  ASSERT_TRUE(fxthost::PutFontPref(document, 33, {1, 10, 0xFFFF}));
  fxthost::FontPref pref;
  ASSERT_TRUE(fxthost::ReadFontPref(document, 33, &pref));
  EXPECT_EQ(pref.font, 1);
  EXPECT_EQ(pref.size, 10);
  EXPECT_EQ(pref.effects, 0xFFFF);
  EXPECT_FALSE(fxthost::ReadFontPref(document, 39, &pref));

  // Group names: a name given gets a block, an absent one block 0.
  EXPECT_FALSE(fxthost::WriteGroupNames(document, 0, 1, std::string("x"), std::nullopt))
      << "no such group";
  document.records.Put(fxthost::kGroupTag, DataKey{0, 1, 0, 0}, fxthost::RecordStore::Bytes(36, 0));
  ASSERT_TRUE(
      fxthost::WriteGroupNames(document, 0, 1, std::string("^font(Arial)Strings"), std::nullopt));
  fxthost::GroupNames names;
  ASSERT_TRUE(fxthost::ReadGroupNames(document, 0, 1, &names));
  EXPECT_NE(names.fullBlock, 0);
  EXPECT_EQ(names.full, std::optional<std::string>("^font(Arial)Strings"));
  EXPECT_EQ(names.abbreviatedBlock, 0);
  EXPECT_EQ(names.abbreviated, std::nullopt);
}

}  // namespace
