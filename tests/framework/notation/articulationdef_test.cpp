// Articulation definitions: symbol fonts through the host's font table, automatic
// positioning sides, comparison, and the record kept by the host like any other.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/notation/articulationdef.h"
#include "framework/text/fontinfo.h"
#include "host/functions/host.h"

namespace {

using fxthost::Fn;
using Sides = FCArticulationDef::POSITIONING_SIDES;

uint8_t* Record(FCArticulationDef& def) { return static_cast<uint8_t*>(def.Allocate()); }

typedef char FontName[FCArticulationDef::FONTNAME_SIZE];

TEST(ArticulationDef, AutoPosSideIsTheSideCodeWhenPositioningIsOn) {
  const struct {
    unsigned short flags;
    int side;
  } reads[] = {{0x000C, 1}, {0x0004, 0}, {0x000D, 0}, {0x0008, 2},
               {0x0009, 3}, {0xFFFB, 4}, {0x000A, 5}, {0x000F, 0}};
  for (const auto& row : reads) {
    SCOPED_TRACE(row.flags);
    FCArticulationDef def;
    def.SetPositioningFlags(row.flags);
    EXPECT_EQ(def.GetAutoPosSide(), row.side);
  }
  // Setting a side changes only the low four bits.
  const struct {
    unsigned short flags;
    int side;
    unsigned short expected;
  } sets[] = {{0x00F4, 3, 0x00F9},  {0x00F9, 0, 0x00F1}, {0x00F9, 6, 0x00F9},
              {0x00F9, -1, 0x00F9}, {0xFFFF, 1, 0xFFFC}, {0x0000, 5, 0x000A}};
  for (const auto& row : sets) {
    SCOPED_TRACE(std::to_string(row.flags) + " side " + std::to_string(row.side));
    FCArticulationDef def;
    def.SetPositioningFlags(row.flags);
    def.SetAutoPosSide(static_cast<Sides>(row.side));
    EXPECT_EQ(def.GetPositioningFlags(), row.expected);
  }
}

TEST(ArticulationDef, SymbolSizesAndFontsTakeOneByteEach) {
  fxthost::Host host;
  host.NewDocument();  // the default font table: 1 Arial, 2 Courier New
  FCArticulationDef def;
  uint8_t* record = Record(def);
  record[2] = 1;  // main font
  def.SetMainSymbolSize(0x0123);
  EXPECT_EQ(record[3], 0x23);
  EXPECT_EQ(record[2], 1) << "the font number stays";
  const FontName courier = "Courier New";
  const FontName unknown = "No Such Font";
  def.SetMainSymbolFont(&courier);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[3], 0x23) << "the size stays";
  // A font name the host does not know is stored as its -1 cut to 8 bits (definitions.md).
  def.SetFlippedSymbolFont(&unknown);
  EXPECT_EQ(record[14], 0xFF) << "the host's -1, cut to 8 bits";

  FCFontInfo font;
  font.SetName("Arial");
  font.SetSize(0x0114);
  font.SetEffects(0x01F3);
  def.SetMainSymbolFontInfo(&font);
  EXPECT_EQ(record[1], 0xF3);
  EXPECT_EQ(record[2], 1);
  EXPECT_EQ(record[3], 0x14);
}

TEST(ArticulationDef, FontFlagBitsLeaveASymbolWithoutFont) {
  fxthost::Host host;
  host.NewDocument();
  struct Row {
    const char* name;
    unsigned short symbolFlags;
    uint8_t mainFont;
    const char* mainName;
    const char* flippedName;
    short infoSize;  // GetMainSymbolFontInfo
  } rows[] = {
      // clang-format off
      {"both fonts", 0x0000, 1, "Arial", "Courier New", 9},
      {"bit 1: no main font (definitions.md: empty when the symbol has no font)",
       0x0002, 1, "", "Courier New", 0},
      {"bit 2: no flipped font (definitions.md: empty when the symbol has no font)",
       0x0004, 1, "Arial", "", 9},
      {"font the host cannot name (definitions.md: when the host cannot name the font number)",
       0x0000, 200, "", "Courier New", 9},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCArticulationDef def;
    uint8_t* record = Record(def);
    record[1] = 0x05;  // effects
    record[2] = row.mainFont;
    record[3] = 9;
    record[14] = 2;
    def.SetSymbolFlags(row.symbolFlags);
    FontName name;
    std::memset(name, 'x', sizeof name);  // whatever the caller's buffer held
    def.GetMainSymbolFont(&name);
    EXPECT_STREQ(name, row.mainName);
    EXPECT_TRUE(def.IsMainSymbolFont(&name));
    def.GetFlippedSymbolFont(&name);
    EXPECT_STREQ(name, row.flippedName);
    EXPECT_TRUE(def.IsFlippedSymbolFont(&name));
    FCFontInfo info;
    def.GetMainSymbolFontInfo(&info);
    EXPECT_STREQ(info.GetNameCString(), row.mainName);
    EXPECT_EQ(info.GetSize(), row.infoSize);
    EXPECT_EQ(info.GetEffects(), 0x05);
    const std::unique_ptr<FCFontInfo> created(def.CreateMainSymbolFontInfo());
    EXPECT_EQ(created->GetSize(), 9) << "the stored size, font or not";
    EXPECT_STREQ(created->GetNameCString(), row.mainName);
  }
}

TEST(ArticulationDef, IsIdenticalToComparesTheGroupsTheFlagsSelect) {
  fxthost::Host host;
  host.NewDocument();
  struct Row {
    const char* name;
    size_t offset;  // of the word b gets
    unsigned short a, b;
    bool first, second, third, fourth;
    bool identical;
  } rows[] = {
      {"words 16 to 20, second false", 18, 0, 7, true, false, true, true, true},
      {"words 16 to 20, second true", 18, 0, 7, false, true, false, false, false},
      {"positioning bit 8", 10, 0x0000, 0x0100, false, false, false, false, false},
      {"positioning bit 13", 10, 0x0000, 0x2000, false, false, false, false, false},
      {"positioning bit 3 alone", 10, 0x0000, 0x0008, true, true, true, false, true},
      {"side, fourth true", 10, 0x000C, 0x0008, false, false, false, true, false},
      {"positioning bit 9, third true", 10, 0, 0x0200, false, false, true, false, false},
      {"symbol bit 0, third true", 22, 0, 0x0001, false, false, true, false, false},
      {"symbol bit 1", 22, 0, 0x0002, false, false, false, false, false},
      {"symbol bit 6, first true", 22, 0, 0x0040, true, false, false, false, false},
      {"word 44, first true", 44, 0, 1, true, false, false, false, false},
      {"main characters", 0, 0x0041, 0x0042, false, false, false, false, false},
      {"main font", 2, 0x0900, 0x0901, false, false, false, false, false},
      {"main effects bit 0x08 only", 0, 0x0041, 0x0841, false, false, false, false, true},
      {"flipped font", 14, 0x0900, 0x0901, true, true, true, true, true},
      {"flipped characters", 12, 0x0041, 0x0042, false, false, false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCArticulationDef a, b;
    fxt::PutU16(Record(a), row.offset, row.a);
    fxt::PutU16(Record(b), row.offset, row.b);
    EXPECT_EQ(a.IsIdenticalTo(&b, row.first, row.second, row.third, row.fourth), row.identical);
    EXPECT_EQ(b.IsIdenticalTo(&a, row.first, row.second, row.third, row.fourth), row.identical);
  }
}

TEST(ArticulationDef, IsIdenticalToTestsInItsOrder) {
  fxthost::Host host;
  host.NewDocument();
  FCArticulationDef a, b;
  // Characters of symbols without font read as 0.
  Record(a)[0] = 'A';
  Record(b)[0] = 'B';
  a.SetSymbolFlags(0x0002);
  b.SetSymbolFlags(0x0002);
  EXPECT_TRUE(a.IsIdenticalTo(&b, true, true, true, true));
  EXPECT_TRUE(a.IsIdenticalTo(&a, true, true, true, true));
  EXPECT_FALSE(a.IsIdenticalTo(nullptr, true, true, true, true));
  // A difference found before the fonts are compared asks the host for no font name.
  host.ClearCalls();
  b.SetPositioningFlags(0x0100);
  EXPECT_FALSE(a.IsIdenticalTo(&b, true, true, true, true));
  EXPECT_TRUE(host.CallsTo(Fn::FX_FontNumToName).empty());
}

// definitions.md: one record per item number from 1, of 48 bytes.
TEST(ArticulationDef, TheHostKeepsDefinitionsAsItemRecords) {
  fxthost::Host host;
  host.NewDocument();
  FCArticulationDef def;
  def.SetMainSymbolChar('>');
  def.SetAutoPosSide(FCArticulationDef::AUTOPOS_4);
  def.CloneMemoryFrom(&def);  // a record of the full size, ready to be created
  ASSERT_TRUE(def.SaveNew());
  EXPECT_EQ(def.GetItemNo(), 1);
  FCArticulationDef loaded;
  ASSERT_TRUE(loaded.LoadFirst());
  EXPECT_EQ(loaded._GetLoadedSize(), FCArticulationDef::RECORD_SIZE);
  EXPECT_TRUE(loaded.IsIdenticalTo(&def, true, true, true, true));
  EXPECT_EQ(loaded.GetMainSymbolChar(), '>');
}

}  // namespace
