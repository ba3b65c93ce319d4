// The text blocks behind the names and texts of a document file
// (host/files/docfile_textblocks.cpp): a save and a load give every byte of a block back,
// and the block member is refused where it cannot be taken (docs/fxthost.md, Text blocks).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bridge/recordbytes.h"
#include "host/files/docfile.h"
#include "host/store/groups.h"
#include "host/store/notationmodel.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Document;
using fxthost::DocumentError;
using fxthost::DocumentFile;
using fxthost::RecordStore;

const char* const kScore = R"({ "measures": 2, "staves": [{ "id": 3, "name": "Oboe" }],
  "groups": [{ "id": 1, "staves": [3, 3], "measures": [1, 2], "name": "Winds", "abbreviation": "Wi." }],
  "textExpressions": [{ "id": 1, "text": "dolce" }] })";

// The block behind each text the file names.
struct Named {
  const char* what;
  std::function<uint16_t(const Document&)> block;
};
const Named kNamed[] = {
    {"staff name",
     [](const Document& d) {
       fxthost::StaffInfo staff;
       fxthost::ReadStaff(d, 3, &staff);
       return staff.nameBlock;
     }},
    {"group name",
     [](const Document& d) {
       fxthost::GroupNames names;
       fxthost::ReadGroupNames(d, 0, 1, &names);
       return names.fullBlock;
     }},
    {"group abbreviation",
     [](const Document& d) {
       fxthost::GroupNames names;
       fxthost::ReadGroupNames(d, 0, 1, &names);
       return names.abbreviatedBlock;
     }},
    {"expression text",
     [](const Document& d) {
       return fxt::GetU16(d.records.Find(fxthost::kTextExpressionDefTag, DataKey::Of(1))->data(),
                          0);
     }},
};

Document Read(const std::string& text) {
  Document document;
  DocumentError error;
  EXPECT_TRUE(fxthost::ParseDocument(text, "t.json", &document, nullptr, &error))
      << error.Message();
  return document;
}

// Every byte of the block but its raw text's number, which reading assigns.
RecordStore::Bytes Settings(const Document& document, uint16_t block) {
  const RecordStore::Bytes* bytes =
      document.records.Find(fxthost::kTextBlockTag, DataKey::Of(block));
  if (!bytes) return {};
  RecordStore::Bytes settings = *bytes;
  fxt::PutS16(settings.data(), 0, 0);
  return settings;
}

// Each kind of text, with a block whose flags, the word at offset 2, the type or its
// length differ from a new block's: the save says them and the load gives them back.
TEST(DocumentTextBlocks, ASaveAndALoadGiveEveryByteBack) {
  struct Change {
    const char* what;
    std::function<void(RecordStore::Bytes*)> apply;
  } changes[] = {
      {"word at 2", [](RecordStore::Bytes* b) { fxt::PutU16(b->data(), 2, 0x1234); }},
      {"flags", [](RecordStore::Bytes* b) { fxt::PutU16(b->data(), 14, 0x0001); }},
      {"last word", [](RecordStore::Bytes* b) { fxt::PutU16(b->data(), 22, 0xFFFF); }},
      {"longer", [](RecordStore::Bytes* b) { b->push_back(0x5A); }},
  };
  for (const Named& named : kNamed) {
    for (const Change& change : changes) {
      SCOPED_TRACE(std::string(named.what) + ", " + change.what);
      Document document = Read(kScore);
      const uint16_t block = named.block(document);
      ASSERT_NE(block, 0);
      RecordStore::Bytes bytes = *document.records.Find(fxthost::kTextBlockTag, DataKey::Of(block));
      change.apply(&bytes);
      document.records.Put(fxthost::kTextBlockTag, DataKey::Of(block), bytes);

      const std::string saved = fxthost::FormatDocument(document, DocumentFile());
      EXPECT_EQ(saved.find("\"records\""), std::string::npos) << saved;
      const Document again = Read(saved);
      EXPECT_EQ(Settings(again, named.block(again)), Settings(document, block)) << saved;
      EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);
    }
  }
}

// A block of another type keeps its text under that type's raw text tag.
TEST(DocumentTextBlocks, TheTypeDecidesTheRawText) {
  const Document document = Read(
      R"({ "staves": [{ "id": 3, "name": "Horn",
                        "nameBlock": "0000000000000000640000000000081a000000000000000070780000" }] })");
  fxthost::StaffInfo staff;
  ASSERT_TRUE(fxthost::ReadStaff(document, 3, &staff));
  EXPECT_EQ(staff.name, "Horn");
  const RecordStore::Bytes settings = Settings(document, staff.nameBlock);
  ASSERT_EQ(settings.size(), 28u);
  EXPECT_EQ(fxt::GetU16(settings.data(), 24), fxthost::kExpressionTextType);
  std::string text;
  ASSERT_TRUE(fxthost::ReadRawText(
      document, fxthost::kExpressionTextTag,
      fxt::GetS16(
          document.records.Find(fxthost::kTextBlockTag, DataKey::Of(staff.nameBlock))->data(), 0),
      &text));
  EXPECT_EQ(text, "Horn");
}

TEST(DocumentTextBlocks, RefusedWithPlaceAndReason) {
  const std::string block26 = "0000000000000000640000000000081a0000000000000000626c";
  struct Row {
    std::string members;
    const char* message;
  } rows[] = {
      // fxthost.md, Text blocks: at least 26 bytes, a first word of 0, never without its text.
      {R"("staves": [{ "id": 3, "name": "A", "nameBlock": "00" }])",
       "staves[0].nameBlock: a text block has at least 26 bytes, found 1"},
      {R"("staves": [{ "id": 3, "name": "A", "nameBlock": "01)" + block26.substr(2) + R"(" }])",
       "staves[0].nameBlock: the first word (the raw text's number) is 0: reading gives it"},
      {R"("staves": [{ "id": 3, "nameBlock": ")" + block26 + R"(" }])",
       "staves[0].nameBlock: a text block needs its text (\"name\")"},
      {R"("staves": [{ "id": 3 }], "groups": [{ "id": 1, "staves": [3, 3], "measures": [1, 1],
                                              "abbreviationBlock": ")" +
           block26 + R"(" }])",
       "groups[0].abbreviationBlock: a text block needs its text (\"abbreviation\")"},
      {R"("textExpressions": [{ "id": 1, "text": "p", "textBlock": "zz" }])",
       "textExpressions[0].textBlock: 'z' is not a hexadecimal digit"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.members);
    Document document;
    DocumentError error;
    EXPECT_FALSE(
        fxthost::ParseDocument("{ " + row.members + " }", "t.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message(), std::string("t.json: ") + row.message);
  }
}

}  // namespace
