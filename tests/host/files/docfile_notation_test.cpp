// The notation members of a document file, end to end in one process: a file with
// measure number regions, text expressions, staff lists and expressions loads; the
// framework reads back what it says, adds a definition with a text and an enclosure and
// places it; the saved file says all of it by name, reads back unchanged, and `show`
// prints it. Then the refusals, and the records served in either layout or encoding.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "bridge/finalepdk.h"
#include "framework/notation/enclosure.h"
#include "framework/notation/expression.h"
#include "framework/notation/measurenumberregion.h"
#include "framework/notation/textexpressiondef.h"
#include "framework/score/cell.h"
#include "framework/text/fcstring.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"
#include "host/store/notationmodel.h"
#include "host/cli/notationview.h"
#include "tests/support/notation_fixture.h"

namespace {

using notation_testing::HostVersion;
using notation_testing::kCurrentHost;
using notation_testing::kOlderHost;
using notation_testing::Take;
using notation_testing::Text;

const char* const kScore = R"({
  "format": "fxthost-document/1",
  "measures": 12,
  "staves": [ { "id": 3, "name": "Violin I" }, { "id": 5, "name": "Viola" }, { "id": 7 } ],
  "measureNumberRegions": [
    { "id": 1, "measures": [1, 4], "prefix": "m. " },
    { "id": 2, "measures": [5, 8], "startNumber": 1, "base": 26, "startCharacter": "A",
      "countFromOne": false, "startFont": { "font": 1, "size": 10, "effects": 2 } }
  ],
  "textExpressions": [
    { "id": 1, "text": "dolce", "description": "soft and sweet" },
    { "id": 2, "text": "A", "rehearsalMarks": "letters", "enclosure": true, "category": 3 }
  ],
  "staffLists": [ { "id": 1, "staves": [5, 7] } ],
  "expressions": [
    { "measure": 2, "staff": 3, "definition": 1 },
    { "measure": 5, "staff": 3, "definition": 2, "position": 512, "staffList": 1 }
  ]
})";

std::string Names(FCExpressions& expressions) {
  std::string out;
  for (int i = 0; i < expressions.GetCount(); ++i) {
    std::unique_ptr<FCTextExpressionDef> definition(
        static_cast<FCExpression*>(expressions.GetItemAt(i))->CreateTextExpressionDef());
    out += (out.empty() ? "" : ",") + Take(definition->CreateTextString());
  }
  return out;
}

TEST(DocumentNotation, FileFrameworkAndSavedFileAgree) {
  fxthost::Host host;
  fxthost::Document& document = host.NewDocument("score.json");
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(kScore, "score.json", &document, nullptr, &error))
      << error.Message();
  HostVersion version(kCurrentHost);

  FCMeasureNumberRegions regions;
  regions.LoadAll();
  ASSERT_EQ(regions.GetCount(), 2);
  FCString shown;
  EXPECT_EQ(regions.CalcMeasureNumber(3, &shown), 0);
  EXPECT_EQ(Text(shown), "3");
  EXPECT_EQ(regions.CalcMeasureNumber(7, &shown), 1);
  EXPECT_EQ(Text(shown), "C");
  EXPECT_EQ(
      Take(static_cast<FCMeasureNumberRegion*>(regions.GetItemAt(0))->CreateDisplayedString(2)),
      "m. 2");

  FCTextExpressionDef definition;
  ASSERT_TRUE(definition.Load(1));
  EXPECT_EQ(Take(definition.CreateTextString()), "dolce");
  FCString description;
  definition.GetDescription(&description);
  EXPECT_EQ(Text(description), "soft and sweet");
  ASSERT_TRUE(definition.Load(2));
  EXPECT_EQ(definition.GetCategoryID(), 3);
  EXPECT_NE(std::unique_ptr<FCEnclosure>(definition.CreateEnclosure()), nullptr);

  FCCell viola(5, 5);
  FCExpressions expressions;
  expressions.LoadAllInCell(&viola, FCStaffListElement::STAFFLIST_OTDC);
  EXPECT_EQ(Names(expressions), "A");
  ASSERT_EQ(expressions.GetCount(), 1);
  EXPECT_EQ(static_cast<FCExpression*>(expressions.GetItemAt(0))->GetMeasurePos(), 512);

  // A new definition with a text and an enclosure, placed in measure 5 on staff 3.
  FCTextExpressionDef made;
  FCString text("pizz.");
  ASSERT_TRUE(made.SaveNewTextBlock(&text));
  made.SetUseEnclosure(true);
  ASSERT_TRUE(made.SaveNew());
  FCEnclosure frame;
  const uint8_t zeros[FCEnclosure::RECORD_SIZE] = {};
  frame._SetRecordBytes(zeros);
  ASSERT_TRUE(frame.SaveAs(made.GetItemNo()));
  FCExpression placed;
  ASSERT_TRUE(placed.AssignTextExpressionDef(&made));
  FCCell cell(5, 3);
  ASSERT_TRUE(placed.SaveNewToCell(&cell));
  EXPECT_EQ(placed.GetInci(), 1);

  const std::string saved = fxthost::FormatDocument(document, fxthost::DocumentFile());
  EXPECT_NE(saved.find(R"("text": "pizz.",)"), std::string::npos) << saved;
  EXPECT_NE(saved.find(R"({ "id": 3, "text": "pizz.", "enclosure": true })"), std::string::npos);
  EXPECT_NE(saved.find(R"({ "measure": 5, "staff": 3, "definition": 3, "position": 0 })"),
            std::string::npos);
  // Only the measure's expression mark is left for a raw record.
  const size_t records = saved.find("\"records\"");
  ASSERT_NE(records, std::string::npos);
  EXPECT_EQ(saved.find("\"tag\": \"SO", records), saved.find("\"tag\": \"SOMS\"", records));
  EXPECT_EQ(saved.find("\"tag\": \"SOMS\"", saved.find("\"tag\": \"SOMS\"", records) + 1),
            std::string::npos);

  fxthost::Document again;
  ASSERT_TRUE(fxthost::ParseDocument(saved, "saved.json", &again, nullptr, &error))
      << error.Message();
  EXPECT_EQ(fxthost::FormatDocument(again, fxthost::DocumentFile()), saved);

  const std::string view = fxthost::DrawNotation(again, 80);
  EXPECT_NE(view.find("  1-4         region 1    m. 1 m. 2 m. 3 m. 4\n"), std::string::npos)
      << view;
  EXPECT_NE(view.find("  5-8         region 2    A B C D\n"), std::string::npos);
  EXPECT_NE(view.find("  9-12        no region   9 10 11 12\n"), std::string::npos);
  EXPECT_NE(view.find("\"A\" (text 2) at 512, also on 5, 7 (list 1)"), std::string::npos);
  EXPECT_NE(view.find("  5        3 Violin I            \"pizz.\" (text 3)\n"), std::string::npos);
}

TEST(DocumentNotation, RefusedWithPlaceAndReason) {
  const std::string head = R"({ "measures": 4, "staves": [ { "id": 3 } ], )";
  struct Row {
    const char* members;
    const char* message;
  } rows[] = {
      // fxthost.md, Measure number regions, Text expressions, Staff lists and Expressions:
      // each member's ranges; a refusal names the place and the reason.
      {R"("measureNumberRegions": [ { "id": 1, "measures": [3, 2] } ])",
       "measureNumberRegions[0].measures[1]: the region ends before it starts"},
      {R"("measureNumberRegions": [ { "id": 1, "measures": [1, 2], "base": 1 } ])",
       "measureNumberRegions[0].base: 1 does not fit here (2 to 32767)"},
      {R"("measureNumberRegions": [ { "id": 1, "measures": [1, 2], "startCharacter": "AB" } ])",
       "measureNumberRegions[0].startCharacter: expected one character"},
      {R"("measureNumberRegions": [ { "id": 1, "measures": [1, 2], "prefix": "a very long prefix, too long" } ])",
       "measureNumberRegions[0].prefix: at most 23 characters fit here"},
      {R"("measureNumberRegions": [ { "id": 1, "measures": [1, 2], "suffix": "\u3042" } ])",
       "measureNumberRegions[0].suffix: only characters of 8-bit"},
      {R"("measureNumberRegions": [ { "id": 1, "measures": [1, 2] }, { "id": 1, "measures": [3, 4] } ])",
       "measureNumberRegions[1].id: region 1 is given twice"},
      {R"("textExpressions": [ { "id": 1, "rehearsalMarks": "roman" } ])",
       "textExpressions[0].rehearsalMarks: unknown style \"roman\""},
      {R"("textExpressions": [ { "id": 1, "enclosure": 1 } ])",
       "textExpressions[0].enclosure: expected true or false, found a number"},
      {R"("textExpressions": [ { "id": 1, "colour": "red" } ])",
       "textExpressions[0].colour: unknown member"},
      {R"("staffLists": [ { "id": 1, "staves": [3, 9] } ])",
       "staffLists[0].staves[1]: staff 9 does not exist"},
      {R"("staffLists": [ { "id": 1, "kind": "otXX", "staves": [3] } ])",
       "staffLists[0].kind: unknown kind \"otXX\""},
      {R"("expressions": [ { "measure": 5, "staff": 3, "definition": 1 } ])",
       "expressions[0].measure: measure 5 is outside the document (measures 1 to 4)"},
      {R"("expressions": [ { "measure": 1, "staff": 3, "definition": 1 } ])",
       "expressions[0].definition: text expression 1 does not exist"},
      {R"("textExpressions": [ { "id": 1 } ], "expressions": [ { "measure": 1, "staff": 4, "definition": 1 } ])",
       "expressions[0].staff: staff 4 does not exist"},
      {R"("textExpressions": [ { "id": 1 } ], "expressions": [ { "measure": 1, "staff": 3, "definition": 1, "staffList": 2 } ])",
       "expressions[0].staffList: staff list 2 does not exist"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.members);
    fxthost::Document document;
    fxthost::DocumentError error;
    EXPECT_FALSE(
        fxthost::ParseDocument(head + row.members + "}", "bad.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message().rfind(std::string("bad.json: ") + row.message, 0), 0u)
        << error.Message();
    EXPECT_EQ(document.records.Count(), 0u);
  }
}

// Records saved in one layout or encoding load in the other (host-notation.md: served by
// the caller's record version).
TEST(DocumentNotation, RecordsServedInTheCallersLayoutAndEncoding) {
  fxthost::Host host;
  fxthost::Document& document = host.NewDocument();
  unsigned short number = 0;
  {
    HostVersion older(kOlderHost);
    FCMeasureNumberRegion region;
    region.SetStartMeasure(3);
    region.SetEndMeasure(9);
    region.SetShowOnTopStaff(true, false);
    region.SetStartVerticalPosition(-30, false);
    FCString prefix("bar ");
    region.SetPrefix(&prefix);
    ASSERT_TRUE(region.SaveNew());
    number = region.GetItemNo();
    FCTextExpressionDef definition;
    FCString description("caf\xe9");
    definition.SetDescription(&description);
    ASSERT_TRUE(definition.SaveAs(4));
    // Shorter than the fixed part and an empty description: refused in either encoding
    // (host-notation.md, Minimum size).
    uint8_t bytes[38] = {};
    uint8_t key[8] = {5, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(FX_SaveEData(FCTextExpressionDef::TAG, key, bytes, 35, 0x0F000000), 0);
    EXPECT_EQ(FX_SaveEData(FCTextExpressionDef::TAG, key, bytes, 37, 0x11000000), 0);
    EXPECT_NE(FX_SaveEData(FCTextExpressionDef::TAG, key, bytes, 36, 0x0F000000), 0);
  }
  const fxthost::RecordStore::Bytes* stored =
      document.records.Find(fxthost::kMeasureNumberRegionTag, fxthost::DataKey{number, 0, 0, 0});
  ASSERT_NE(stored, nullptr);
  EXPECT_EQ(stored->size(), 196u);
  HostVersion newer(kCurrentHost);
  FCMeasureNumberRegion region;
  ASSERT_TRUE(region.Load(number));
  EXPECT_EQ(region.GetEndMeasure(), 9);
  EXPECT_TRUE(region.GetShowOnTopStaff(false));
  EXPECT_EQ(region.GetMultipleVerticalPosition(false), -30);
  EXPECT_TRUE(region.GetUseScoreInfoForParts());
  FCString prefix;
  region.GetPrefix(&prefix);
  EXPECT_EQ(Text(prefix), "bar ");
  region.SetShowOnBottomStaff(true, true);  // the parts block: the older layout keeps it
  ASSERT_TRUE(region.Save());
  {
    HostVersion older(kOlderHost);
    FCMeasureNumberRegion old;
    ASSERT_TRUE(old.Load(number));
    EXPECT_EQ(old._GetLoadedSize(), 88);
    old.SetBase(8);
    ASSERT_TRUE(old.Save());
  }
  ASSERT_TRUE(region.Load(number));
  EXPECT_EQ(region.GetBase(), 8);
  EXPECT_TRUE(region.GetShowOnBottomStaff(true));

  FCTextExpressionDef definition;
  ASSERT_TRUE(definition.Load(4));
  EXPECT_EQ(definition._GetLoadedSize(), 34 + 5 * 2);
  FCString description;
  definition.GetDescription(&description);
  EXPECT_EQ(description.GetItemAt(3), 0xE9);
}

}  // namespace
