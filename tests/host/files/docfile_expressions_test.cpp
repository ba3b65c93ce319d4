// The expressions of a document file (host/files/docfile_expressions.cpp): what their
// records can hold is written by name and reads back the same, and a measure's
// expressions are refused once they pass what an inci list holds (docs/fxthost.md,
// Expressions).
#include <gtest/gtest.h>

#include <string>

#include "host/files/docfile.h"
#include "host/store/notationmodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Document;
using fxthost::DocumentError;
using fxthost::DocumentFile;

const char* const kHead =
    R"({ "measures": 2, "staves": [{ "id": 3 }], "textExpressions": [{ "id": 1 }], )";

// fxthost.md, Expressions: a shape's number is the record's unsigned 16-bit word, a staff
// list's number too; what the record holds is written by name, never as a raw record.
TEST(DocumentExpressions, WhatTheRecordHoldsIsWrittenByName) {
  const char* const rows[] = {
      R"({ "measure": 1, "staff": 3, "definition": 32768, "shape": true, "position": 0 })",
      R"({ "measure": 1, "staff": 3, "definition": 65535, "shape": true, "position": -5 })",
      R"({ "measure": 2, "staff": 3, "definition": 0, "shape": true, "position": 0 })",
  };
  for (const char* row : rows) {
    SCOPED_TRACE(row);
    Document document;
    DocumentError error;
    const std::string text = std::string(kHead) + R"("expressions": [)" + row + "] }";
    ASSERT_TRUE(fxthost::ParseDocument(text, "t.json", &document, nullptr, &error))
        << error.Message();
    const std::string saved = fxthost::FormatDocument(document, DocumentFile());
    EXPECT_NE(saved.find(row), std::string::npos) << saved;
    EXPECT_EQ(saved.find("\"records\""), std::string::npos) << saved;
    Document again;
    ASSERT_TRUE(fxthost::ParseDocument(saved, "saved.json", &again, nullptr, &error))
        << error.Message();
    EXPECT_TRUE(again.records == document.records);
  }
}

// A staff list numbered past 32767 exists only as raw records; the expression that names
// it is still written by name.
TEST(DocumentExpressions, AStaffListOnlyInRawRecordsIsNamed) {
  Document document;
  DocumentError error;
  const std::string text = std::string(kHead) +
                           R"("expressions": [{ "measure": 1, "staff": 3, "definition": 1,
                                                "staffList": 40000 }],
                              "records": [{ "tag": "otDC", "key": [40000, 0], "hex": "0300" }] })";
  ASSERT_TRUE(fxthost::ParseDocument(text, "t.json", &document, nullptr, &error))
      << error.Message();
  const std::string saved = fxthost::FormatDocument(document, DocumentFile());
  EXPECT_NE(saved.find(R"("definition": 1, "position": 0, "staffList": 40000 })"),
            std::string::npos)
      << saved;
  EXPECT_EQ(saved.find(R"("tag": "SODY")"), std::string::npos) << saved;
}

// fxthost.md, Expressions: a measure holds at most 32768 expressions (incis 0 to 32767);
// the next one is refused at its place, never stored over the first.
TEST(DocumentExpressions, AMeasureHoldsWhatAnInciListHolds) {
  struct Row {
    int count;
    bool accepted;
  } rows[] = {{32768, true}, {32769, false}, {65537, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.count);
    std::string text = std::string(kHead) + R"("expressions": [)";
    for (int i = 0; i < row.count; ++i) {
      // The first expression of the measure is the only one on measure 1 with position 7.
      text += i == 0 ? "" : ",";
      text += i == 0 ? R"({"measure":1,"staff":3,"definition":1,"position":7})"
                     : R"({"measure":1,"staff":3,"definition":1})";
    }
    text += "] }";
    Document document;
    DocumentError error;
    EXPECT_EQ(fxthost::ParseDocument(text, "t.json", &document, nullptr, &error), row.accepted);
    if (row.accepted) {
      const auto* first = document.records.Find(fxthost::kExpressionTag, DataKey::Of(1, 0));
      ASSERT_NE(first, nullptr);
      EXPECT_EQ(fxthost::ReadExpression(DataKey::Of(1, 0), *first).position, 7);
      EXPECT_TRUE(document.records.Contains(fxthost::kExpressionTag, DataKey::Of(1, 0x7FFF)));
    } else {
      EXPECT_EQ(error.Message(),
                "t.json: expressions[32768]: measure 1 holds at most 32768 expressions "
                "(incis 0 to 32767)");
      EXPECT_EQ(document.records.Count(), 0u);
    }
  }
}

// fxthost.md, Staff lists: at most 32768 staves (incis 0 to 32767), refused before any is
// stored past the last inci.
TEST(DocumentExpressions, AStaffListHoldsWhatAnInciListHolds) {
  std::string staves;
  for (int staff = -16384; staff <= 16384; ++staff)
    staves += (staves.empty() ? "" : ",") + std::to_string(staff);
  Document document;
  DocumentError error;
  EXPECT_FALSE(fxthost::ParseDocument(
      std::string(kHead) + R"("staffLists": [{ "id": 1, "staves": [)" + staves + "] }] }", "t.json",
      &document, nullptr, &error));
  EXPECT_EQ(error.Message(),
            "t.json: staffLists[0].staves: a staff list holds at most 32768 staves (incis 0 to "
            "32767)");
}

}  // namespace
