// The "sideRecords" member of document files: written and read back unchanged, and
// refused with its place when a record cannot be read.
#include <gtest/gtest.h>

#include <string>

#include "bridge/recordbytes.h"
#include "host/files/docfile.h"
#include "host/cli/prefslisting.h"

namespace {

using fxthost::DataKey;

// In the written layout. The raw records are side records the member cannot say: an
// inci past 255 and a record that is not 12 bytes.
const char* const kSideRecords = R"({
  "format": "fxthost-document/1",
  "sideRecords": {
    "ot21": [
      [1, -2, 3, 32767, -32768, 0]
    ],
    "ot77": [
      [0, 0, 0, 0, 0, 0],
      null,
      [40, 41, 42, 43, 44, 45]
    ],
    "otPG": [
      null,
      [1, 1, 1, 1, 1, 1]
    ]
  },
  "records": [
    { "tag": "ot21", "key": [65534, 300, 0, 0], "hex": "010002000300040005000600" },
    { "tag": "ot22", "key": [65534, 0, 0, 0], "hex": "01000200" }
  ]
}
)";

TEST(SideRecordsMember, ReadAndWrittenBackUnchanged) {
  fxthost::Document document;
  fxthost::DocumentFile info;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(kSideRecords, "t.json", &document, &info, &error))
      << error.Message();
  const auto* record =
      document.records.Find(fxt::MakeTag('o', 't', '7', '7'), DataKey{0xFFFE, 2, 0, 0});
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(fxt::GetS16(record->data(), 10), 45);
  EXPECT_FALSE(document.records.Contains(fxt::MakeTag('o', 't', '7', '7'), DataKey{0xFFFE, 1}));
  EXPECT_EQ(fxthost::FormatDocument(document, info), kSideRecords);
}

TEST(SideRecordsMember, RefusedWithPlaceAndReason) {
  struct Row {
    const char* member;
    const char* message;
  };
  // fxthost.md, sideRecords: tag "ot" and two printable characters, an array whose index is
  // the inci, six words a record (signed 16-bit), null for an inci without one.
  const Row rows[] = {
      {R"({ "ot21": [[1, 2, 3, 4, 5, 70000]] })",
       "t.json: sideRecords[\"ot21\"][0][5]: 70000 does not fit in a signed 16-bit word (-32768 "
       "to 32767)"},
      {R"({ "ot21": [null, [1, 2, 3, 4, 5]] })",
       "t.json: sideRecords[\"ot21\"][1]: a side record has six words, found 5"},
      {R"({ "ot21": [[1, 2, 3, 4, 5, 1.5]] })",
       "t.json: sideRecords[\"ot21\"][0][5]: expected a whole number, found a number"},
      {R"({ "pf21": [] })",
       "t.json: sideRecords[\"pf21\"]: a side record's tag is \"ot\" and two printable "
       "characters, found \"pf21\""},
      {R"({ "ot21": { "0": [0, 0, 0, 0, 0, 0] } })",
       "t.json: sideRecords[\"ot21\"]: expected an array of records (the index is the inci), "
       "found an object"},
      {R"({ "ot21": [7] })",
       "t.json: sideRecords[\"ot21\"][0]: expected a record of six words, or null for none, "
       "found a number"},
      {R"([])", "t.json: sideRecords: expected an object of side records by tag, found an array"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.member);
    fxthost::Document document;
    fxthost::DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(std::string("{ \"sideRecords\": ") + row.member + " }",
                                        "t.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message(), row.message);
    EXPECT_EQ(document.records.Count(), 0u);
  }
  // 256 records (incis 0 to 255) are read; a 257th is refused (fxthost.md, sideRecords).
  std::string list = "[0, 0, 0, 0, 0, 0]";
  for (int i = 1; i < 257; ++i) list += ", [0, 0, 0, 0, 0, 0]";
  fxthost::Document document;
  fxthost::DocumentError error;
  EXPECT_FALSE(fxthost::ParseDocument("{ \"sideRecords\": { \"ot21\": [" + list + "] } }", "t.json",
                                      &document, nullptr, &error));
  EXPECT_EQ(error.reason, "more than 256 records (incis 0 to 255)");
}

// The listing shows each record under every preference it serves, the words a value of
// that preference lives in, and last the records no preference reads (fxthost.md, prefs).
TEST(PreferenceListing, GroupsSideRecordsByPreference) {
  fxthost::Document document;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(R"({ "sideRecords": {
      "ot36": [[0, 1, 2, 3, 4, 5]], "ot40": [null, null, [7, 7, 7, 7, 7, 7]],
      "ot77": [null, null, null, null, [40, 41, 42, 43, 44, 45]], "ot83": [[0, 0, 0, 0, 1, 0]] },
    "records": [ { "tag": "otFI", "key": [10], "hex": "000000000300000000000000" } ] })",
                                     "t.json", &document, nullptr, &error))
      << error.Message();
  EXPECT_EQ(fxthost::DescribePreferenceRecords(document, "t.json"),
            R"(Side records of t.json, by the preference they serve

pfDP: EDTDistancePrefs, 76 bytes
  ot77 inci 4          [40, 41, 42, 43, 44, 45]  w0→72

pfEX: EDTExtractPrefs, 50 bytes
  ot77 inci 4          [40, 41, 42, 43, 44, 45]  w1→0  w2→2  w3→4  w4→6  w5→8

pfMS: EDTMiscDocPrefs, 104 bytes
  ot36 inci 0          [0, 1, 2, 3, 4, 5]        w1→12 negated  w2→8  w3→10  w4→0
  otFI item 10 inci 0  [0, 0, 3, 0, 0, 0]        w2→102

pfPL: EDTPlaybackPrefs, 14 bytes
  ot36 inci 0          [0, 1, 2, 3, 4, 5]        w0→4  w5→6

pfSN with k = 1 to 128: record ot40 inci k - 1, 12 bytes
  ot40 inci 2          [7, 7, 7, 7, 7, 7]        k = 3

Serving no preference
  ot83 inci 0          [0, 0, 0, 0, 1, 0]
)");
  EXPECT_EQ(fxthost::DescribePreferenceRecords(fxthost::Document(), "empty.json"),
            "Side records of empty.json, by the preference they serve\n\nNo side records.\n");
}

}  // namespace
