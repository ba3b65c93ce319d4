// Measure number regions in both record layouts: the numbers they show, where each field
// lies, the block flags, fonts and formatting copies, and the regions of a document.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bridge/recordbytes.h"
#include "framework/notation/measurenumberregion.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"
#include "host/functions/host.h"
#include "tests/support/notation_fixture.h"

namespace {

using notation_testing::HostVersion;
using notation_testing::kCurrentHost;
using notation_testing::kOlderHost;
using notation_testing::Take;
using notation_testing::Text;

const uint32_t kLayouts[] = {kOlderHost, kCurrentHost};

const uint8_t* Bytes(const FCMeasureNumberRegion& region) {
  return static_cast<const uint8_t*>(region._GetDataBlock());
}

struct Numbering {
  short start, end, startNumber, base, startChar;
  bool countFromOne, doubleUp;
};

void Apply(FCMeasureNumberRegion* region, const Numbering& n) {
  region->SetStartMeasure(n.start);
  region->SetEndMeasure(n.end);
  region->SetStartNumber(n.startNumber);
  region->SetBase(n.base);
  region->SetStartChar(n.startChar);
  region->SetCountFromOne(n.countFromOne);
  region->SetDoubleUp(n.doubleUp);
}

TEST(MeasureNumberRegion, DisplayedNumbersInBothLayouts) {
  struct Row {
    const char* name;
    Numbering numbering;
    short measure;
    const char* shown;  // null: refused, text unchanged
  } rows[] = {
      // clang-format off
      {"first measure, counting from one (host-notation.md: How the host shows a measure's number)",
       {5, 8, 1, 10, '0', true, false}, 5, "1"},
      {"last measure (host-notation.md: How the host shows a measure's number)",
       {5, 8, 1, 10, '0', true, false}, 8, "4"},
      {"past the end", {5, 8, 1, 10, '0', true, false}, 9, nullptr},
      {"before the start", {5, 8, 1, 10, '0', true, false}, 4, nullptr},
      {"without count-from-one (host-notation.md: less 1 without count-from-one)",
       {5, 8, 1, 10, '0', false, false}, 5, "0"},
      {"two digits (host-notation.md: written in the region's base)",
       {1, 99, 1, 10, '0', true, false}, 42, "42"},
      {"double-up 52 (host-notation.md: repeated once per full round of the base)",
       {1, 99, 1, 26, 'A', false, true}, 53, "AAA"},
      {"double-up 54 (host-notation.md: repeated once per full round of the base)",
       {1, 99, 1, 26, 'A', false, true}, 55, "CCC"},
      {"double-up 0 (host-notation.md: repeated once per full round of the base)",
       {1, 99, 1, 26, 'a', false, true}, 1, "a"},
      {"letters as digits (host-notation.md: in the region's base from its start character)",
       {1, 99, 1, 26, 'a', false, false}, 28, "bb"},
      {"base 0 is refused (host-notation.md: a base below 2 shows no number of its own)",
       {1, 9, 1, 0, '0', true, false}, 3, nullptr},
      {"base 1 is refused (host-notation.md: a base below 2 shows no number of its own)",
       {1, 9, 1, 1, '0', true, false}, 3, nullptr},
      {"negative number (host-notation.md: written after a minus sign)",
       {5, 8, -5, 10, '0', true, false}, 5, "-5"},
      {"negative double-up (host-notation.md: written after a minus sign)",
       {5, 8, -2, 26, 'A', false, true}, 5, "-D"},
      // clang-format on
  };
  for (uint32_t layout : kLayouts) {
    HostVersion version(layout);
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (layout == kOlderHost ? " (older)" : " (newer)"));
      FCMeasureNumberRegion region;
      Apply(&region, row.numbering);
      FCString text("unchanged");
      EXPECT_EQ(region.GetDisplayedNumber(row.measure, &text), row.shown != nullptr);
      EXPECT_EQ(Text(text), row.shown ? row.shown : "unchanged");
    }
  }
}

// Each field at its offset in each layout, with the stored conversion.
TEST(MeasureNumberRegion, FieldsLieWhereEachLayoutKeepsThem) {
  using Region = FCMeasureNumberRegion;
  struct Row {
    const char* name;
    std::function<void(Region&)> set;
    std::function<int(const Region&)> get;
    int read;
    int olderOffset, olderStored, newerOffset, newerStored;
  } rows[] = {
      {"start measure (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetStartMeasure(5); }, [](const Region& r) { return r.GetStartMeasure(); },
       5, 6, 5, 132, 5},
      {"end measure + 1 (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetEndMeasure(8); }, [](const Region& r) { return r.GetEndMeasure(); }, 8,
       8, 9, 134, 9},
      {"start char (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetStartChar('a'); }, [](const Region& r) { return r.GetStartChar(); },
       'a', 12, 'a', 136, 'a'},
      {"base (host-notation.md: Stored in the newer layout)", [](Region& r) { r.SetBase(26); },
       [](const Region& r) { return r.GetBase(); }, 26, 14, 26, 138, 26},
      {"start number - 1 (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetStartNumber(10); }, [](const Region& r) { return r.GetStartNumber(); },
       10, 16, 9, 140, 9},
      {"region ID (host-notation.md: Stored in the newer layout)", [](Region& r) { r.SetID(7); },
       [](const Region& r) { return r.GetID(); }, 7, 86, 7, 192, 7},
      {"count from one (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetCountFromOne(true); },
       [](const Region& r) { return r.GetCountFromOne(); }, 1, 82, 0x80, 190, 0x80},
      {"double up (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetDoubleUp(true); }, [](const Region& r) { return r.GetDoubleUp(); }, 1,
       82, 0x20, 190, 0x20},
      {"no zero (host-notation.md: Stored in the newer layout)",
       [](Region& r) { r.SetNoZero(true); }, [](const Region& r) { return r.GetNoZero(); }, 1, 82,
       0x40, 190, 0x40},
      {"vertical position", [](Region& r) { r.SetStartVerticalPosition(-24, false); },
       [](const Region& r) { return r.GetStartVerticalPosition(false); }, -24, 20, -24, 44, -24},
      {"show on top staff", [](Region& r) { r.SetShowOnTopStaff(true, false); },
       [](const Region& r) { return r.GetShowOnTopStaff(false); }, 1, 82, 0x0008, 62, 0x2000},
      {"show on bottom staff", [](Region& r) { r.SetShowOnBottomStaff(true, false); },
       [](const Region& r) { return r.GetShowOnBottomStaff(false); }, 1, 82, 0x0004, 62, 0x4000},
      {"system start", [](Region& r) { r.SetShowOnSystemStart(true, false); },
       [](const Region& r) { return r.GetShowOnSystemStart(false); }, 1, 82, -0x8000, 62, 0x0040},
      {"hide first number", [](Region& r) { r.SetHideFirstNumber(true, false); },
       [](const Region& r) { return r.GetHideFirstNumber(false); }, 1, 82, 0x1000, 62, 0x0100},
      {"show multiples", [](Region& r) { r.SetShowMultiples(true, false); },
       [](const Region& r) { return r.GetShowMultiples(false); }, 1, 82, 0x4000, 62, 0x0080},
  };
  for (uint32_t layout : kLayouts) {
    HostVersion version(layout);
    const bool newer = layout == kCurrentHost;
    for (const Row& row : rows) {
      SCOPED_TRACE(std::string(row.name) + (newer ? " (newer)" : " (older)"));
      FCMeasureNumberRegion region;
      EXPECT_EQ(region._GetLoadedSize(), newer ? 196 : 88);
      EXPECT_EQ(region.EnigmaVersion(), newer ? 0x0F000200u : 0x0A000000u);
      row.set(region);
      EXPECT_EQ(row.get(region), row.read);
      const int offset = newer ? row.newerOffset : row.olderOffset;
      EXPECT_EQ(fxt::GetS16(Bytes(region), static_cast<size_t>(offset)),
                newer ? row.newerStored : row.olderStored);
    }
  }
}

// host-notation.md: the older layout has no multi-measure-rest range flag (its getter
// answers false, its setter changes nothing), and a region made in it has "parts use the
// score's settings" set.
TEST(MeasureNumberRegion, PartsBlockAndWhatTheOlderLayoutLacks) {
  {
    HostVersion version(kCurrentHost);
    FCMeasureNumberRegion region;
    region.SetShowMultiMeasureRange(true, true);
    region.SetMultipleVerticalPosition(12, true);
    EXPECT_EQ(fxt::GetU16(Bytes(region), 66 + 62), 0x0200);
    EXPECT_EQ(fxt::GetS16(Bytes(region), 66 + 48), 12);
    EXPECT_FALSE(region.GetShowMultiMeasureRange(false));
    EXPECT_FALSE(region.GetUseScoreInfoForParts());
    FCFontInfo font;
    EXPECT_TRUE(region.GetMultipleFontInfo(&font, true));
  }
  HostVersion version(kOlderHost);
  FCMeasureNumberRegion region;
  region.SetShowMultiMeasureRange(true, false);
  region.SetUseScoreInfoForParts(false);
  region.SetMultipleVerticalPosition(12, true);
  for (int i = 0; i < 88; i += 2) {
    SCOPED_TRACE(i);
    EXPECT_EQ(fxt::GetS16(Bytes(region), static_cast<size_t>(i)), i == 20 ? 12 : 0);
  }
  EXPECT_FALSE(region.GetShowMultiMeasureRange(false));
  EXPECT_TRUE(region.GetUseScoreInfoForParts());
  EXPECT_EQ(region.GetStartVerticalPosition(true), 12);
  FCFontInfo font;
  font.SetName("Arial");
  EXPECT_FALSE(region.SetMultipleFontInfo(&font, false));
  EXPECT_FALSE(region.GetMultiMeasureFontInfo(&font, false));
  // The one enclosure serves all four.
  EXPECT_EQ(region.GetEnclosure(false)->_GetDataBlock(), Bytes(region) + 70);
  EXPECT_EQ(region.GetMultipleEnclosure(true)->_GetDataBlock(), Bytes(region) + 70);
}

TEST(MeasureNumberRegion, FontsAffixesAndDisplayedString) {
  fxthost::Host host;
  host.NewDocument();
  HostVersion version(kCurrentHost);
  FCMeasureNumberRegion region;
  Apply(&region, {1, 10, 1, 10, '0', true, false});
  FCFontInfo font;
  font.SetName("Arial");
  font.SetSize(9);
  font.SetEffects(2);
  ASSERT_TRUE(region.SetStartFontInfo(&font, true));
  EXPECT_EQ(fxt::GetS16(Bytes(region), 66), 1);  // Arial is font 1 of the default table
  FCFontInfo back;
  ASSERT_TRUE(region.GetStartFontInfo(&back, true));
  EXPECT_TRUE(back.IsIdenticalTo(&font));

  FCString prefix("m. ");
  FCString suffix("!");
  region.SetPrefix(&prefix);
  region.SetSuffix(&suffix);
  EXPECT_EQ(Take(region.CreateDisplayedString(5)), "m. 5!");
  EXPECT_EQ(Take(region.CreateDisplayedString(11)), "(null)");
  FCString longer("a prefix of thirty characters!");
  region.SetPrefix(&longer);
  FCString read;
  region.GetPrefix(&read);
  EXPECT_EQ(Text(read), "a prefix of thirty char");
  EXPECT_EQ(Bytes(region)[142 + 23], 0);
}

TEST(MeasureNumberRegion, NumberingStyleAndFormattingCopy) {
  HostVersion version(kCurrentHost);
  FCMeasureNumberRegion region;
  region.SetBase(26);
  region.SetNoZero(true);
  region.SetDoubleUp(true);
  region.SetNumberingStyle(static_cast<FCMeasureNumberRegion::NUMBERINGSTYLE>(3));
  EXPECT_EQ(region.GetBase(), 26);
  region.SetNumberingStyle(FCMeasureNumberRegion::NUMBERING_DIGITS);
  EXPECT_EQ(region.GetBase(), 10);
  EXPECT_EQ(region.GetStartChar(), '0');
  EXPECT_TRUE(region.GetCountFromOne());
  EXPECT_FALSE(region.GetNoZero() || region.GetDoubleUp());

  struct Row {
    const char* name;
    bool sourceUsesScore, score, parts;
    short wantScore, wantParts;  // start vertical positions afterwards
  } rows[] = {
      {"score only", false, true, false, 1, -2},
      {"parts from the source's parts", false, false, true, -1, 2},
      {"parts from the source's score", true, false, true, -1, 1},
      {"both", false, true, true, 1, 2},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCMeasureNumberRegion source, target;
    source.SetStartVerticalPosition(1, false);
    source.SetStartVerticalPosition(2, true);
    source.SetUseScoreInfoForParts(row.sourceUsesScore);
    source.SetCountFromOne(true);
    target.SetStartVerticalPosition(-1, false);
    target.SetStartVerticalPosition(-2, true);
    target.CloneFormattingFrom(&source, row.score, row.parts);
    EXPECT_EQ(target.GetStartVerticalPosition(false), row.wantScore);
    EXPECT_EQ(target.GetStartVerticalPosition(true), row.wantParts);
    EXPECT_FALSE(target.GetCountFromOne());
  }
  HostVersion older(kOlderHost);
  FCMeasureNumberRegion source, target;
  source.SetStartVerticalPosition(5, false);
  target.CloneFormattingFrom(&source, true, true);
  EXPECT_EQ(target.GetStartVerticalPosition(false), 0);
}

TEST(MeasureNumberRegions, CalcMeasureNumberTakesTheFirstRegionThatContainsIt) {
  fxthost::Host host;
  host.NewDocument();
  for (uint32_t layout : kLayouts) {
    HostVersion version(layout);
    const Numbering regions[] = {
        {1, 4, 1, 10, '0', true, false},
        {5, 8, 1, 26, 'A', true, false},
        {3, 9, 100, 10, '0', true, false},
        {12, 14, 1, 0, '0', true, false},
    };
    for (const Numbering& n : regions) {
      FCMeasureNumberRegion region;
      Apply(&region, n);
      ASSERT_TRUE(region.SaveNew());
    }
    FCMeasureNumberRegions all;
    all.LoadAll();
    ASSERT_EQ(all.GetCount(), 4);
    // host-notation.md: the first region in number order whose range holds the measure; a
    // measure no region holds, or whose region's base is below 2, gives its plain number
    // and -1.
    struct Row {
      int measure, index;
      const char* text;
    } rows[] = {{3, 0, "3"},    {6, 1, "C"},    {9, 2, "106"},
                {20, -1, "20"}, {13, -1, "13"}, {70000, -1, "70000"}};
    for (const Row& row : rows) {
      SCOPED_TRACE(row.measure);
      FCString text;
      EXPECT_EQ(all.CalcMeasureNumber(row.measure, &text), row.index);
      EXPECT_EQ(Text(text), row.text);
    }
    host.NewDocument();
  }
}

}  // namespace
