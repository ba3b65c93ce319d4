// The page texts of a document file (host/files/docfile_pagetexts.cpp; docs/fxthost.md,
// "Page texts"): each text behind the block its record names, written back by name, the
// record's further bytes kept in a raw record, and the refusals.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "bridge/recordbytes.h"
#include "host/files/docfile.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Document;
using fxthost::DocumentError;
using fxthost::DocumentFile;

constexpr uint32_t kPageText = fxt::MakeTag('o', 't', 'P', 'T');

std::string PageText(const Document& document, uint16_t number) {
  const fxthost::RecordStore::Bytes* record = document.records.Find(kPageText, DataKey::Of(number));
  if (!record || record->size() != 8) return "(no record)";
  std::string text;
  if (!fxthost::ReadTextBlock(document, fxt::GetU16(record->data(), 0), &text)) return "(no text)";
  return text;
}

TEST(DocumentPageTexts, TextsBehindTheirBlocksWrittenBackByName) {
  const std::string rows[] = {
      R"({ "pageTexts": [{ "id": 1, "text": "Fugue" }, { "id": 3, "text": "J. S. Bach" }] })",
      // Bytes beyond the block word stay in a raw record.
      R"({ "pageTexts": [{ "id": 1, "text": "Fugue" }, { "id": 3, "text": "J. S. Bach" }],
           "records": [{ "tag": "otPT", "key": [3, 0, 0, 0], "hex": "0000010002000300" }] })",
  };
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    Document document;
    DocumentError error;
    ASSERT_TRUE(fxthost::ParseDocument(row, "p.json", &document, nullptr, &error))
        << error.Message();
    EXPECT_EQ(PageText(document, 1), "Fugue");
    EXPECT_EQ(PageText(document, 3), "J. S. Bach");
    const std::string saved = fxthost::FormatDocument(document, DocumentFile());
    // Without further bytes the member says the whole record.
    EXPECT_EQ(saved.find("\"records\"") == std::string::npos, &row == &rows[0]) << saved;
    EXPECT_NE(saved.find(R"({ "id": 3, "text": "J. S. Bach" })"), std::string::npos) << saved;
    Document again;
    ASSERT_TRUE(fxthost::ParseDocument(saved, "p.json", &again, nullptr, &error))
        << error.Message();
    EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);
    // The bytes after the block word, as the raw record gave them (or zero).
    const auto* before = document.records.Find(kPageText, DataKey::Of(3));
    const auto* after = again.records.Find(kPageText, DataKey::Of(3));
    ASSERT_TRUE(before && after);
    EXPECT_TRUE(std::equal(before->begin() + 2, before->end(), after->begin() + 2, after->end()));
    if (&row == &rows[0]) {
      EXPECT_TRUE(
          std::all_of(before->begin() + 2, before->end(), [](uint8_t b) { return b == 0; }));
    }
  }
}

TEST(DocumentPageTexts, RefusedWithPlaceAndReason) {
  const std::pair<const char*, const char*> rows[] = {
      {R"({ "pageTexts": [{ "id": 1 }, { "id": 1 }] })",
       "pageTexts[1].id: page text 1 is given twice"},
      {R"({ "pageTexts": [{ "text": "x" }] })", "pageTexts[0]: a page text needs its id"},
      {R"({ "pageTexts": [{ "id": 1, "textBlock": "00" }] })", "a text block needs its text"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(row.first, "p.json", &document, nullptr, &error));
    EXPECT_NE(error.Message().find(row.second), std::string::npos) << error.Message();
  }
}

}  // namespace
