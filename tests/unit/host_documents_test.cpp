// The emulated host's document paths and linked parts, as the plug-in reaches them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bridge/finalepdk.h"
#include "host/host.h"
#include "tests/unit/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

void SetParts(Document& document, std::initializer_list<Document::Part> parts) {
  document.parts.extracted.assign(parts.begin(), parts.end());
}

TEST(HostDocuments, PathIsGivenAsUtf16WithinTheBuffer) {
  Host host;
  Document& untitled = host.NewDocument();
  Document& named = host.NewDocument();
  named.path = "/scores/Fl\xC3\xBBte.json";  // "Flûte", UTF-8
  Document& deep = host.NewDocument();
  deep.path = "/" + std::string(259, 'a');  // 260 units: no room for the terminator
  struct Row {
    const char* name;
    int16_t document;
    int32_t result;
    std::u16string path;  // what the buffer holds afterwards
  } rows[] = {
      {"path", static_cast<int16_t>(named.number), 1, u"/scores/Fl\u00FBte.json"},
      {"no path", static_cast<int16_t>(untitled.number), 0, u"untouched"},
      {"too long", static_cast<int16_t>(deep.number), 0, u"untouched"},
      {"no such document", 99, 0, u"untouched"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    char16_t buffer[261] = u"untouched";
    EXPECT_EQ(FX_GetDocumentPath(row.document, buffer, kVersion), row.result);
    EXPECT_EQ(std::u16string(buffer), row.path);
  }
}

TEST(HostParts, TheScoreComesFirstThenThePartsInTheHostsOrder) {
  Host host;
  Document& document = host.NewDocument();
  SetParts(document, {{7, "Violin I", ""}, {2, "Viola", ""}});
  struct Row {
    int16_t previous;
    int32_t next;
  } rows[] = {{0, 7}, {7, 2}, {2, -1}, {5, -1}, {-1, -1}};
  for (const Row& row : rows) {
    SCOPED_TRACE("after " + std::to_string(row.previous));
    EXPECT_EQ(FX_GetNextPartID(row.previous, kVersion), row.next);
  }
  EXPECT_EQ(FX_CountParts(kVersion), 3);
  SetParts(document, {});
  EXPECT_EQ(FX_GetNextPartID(0, kVersion), -1) << "the score alone";
  EXPECT_EQ(FX_CountParts(kVersion), 1);
}

TEST(HostParts, OnlyAPartOfTheCurrentDocumentCanBeMadeCurrent) {
  Host host;
  Document& first = host.NewDocument();
  SetParts(first, {{4, "Flute", ""}});
  Document& second = host.NewDocument();
  EXPECT_EQ(FX_GetCurrentPartID(kVersion), 0) << "a document opens on the score";
  EXPECT_EQ(FX_SetCurrentPartID(4, kVersion), 0) << "part 4 is the first document's";
  ASSERT_EQ(FX_SetCurrentEnigmaDocument(static_cast<int16_t>(first.number), kVersion), 1);
  EXPECT_EQ(FX_SetCurrentPartID(4, kVersion), 1);
  EXPECT_EQ(FX_GetCurrentPartID(kVersion), 4);
  EXPECT_EQ(FX_SetCurrentPartID(5, kVersion), 0);
  EXPECT_EQ(first.parts.current, 4) << "a refused id changes nothing";
  EXPECT_EQ(second.parts.current, 0);
  host.CloseDocument(first.number);
  host.CloseDocument(second.number);
  EXPECT_EQ(FX_GetCurrentPartID(kVersion), -1) << "no document";
  EXPECT_EQ(FX_GetNextPartID(0, kVersion), -1);
}

TEST(HostParts, NamesAre8BitTextsAndThePartsOwn) {
  Host host;
  Document& document = host.NewDocument();
  SetParts(document, {{1, "Fl\xC3\xBBte \xE2\x99\xAD", ""}});  // "Flûte ♭"
  struct Row {
    int16_t part;
    const char* name;  // null: no text
  } rows[] = {{0, "Score"}, {1, "Fl\xFBte ?"}, {2, nullptr}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.part);
    const char* name = static_cast<const char*>(FX_GetPartName(row.part, kVersion));
    if (!row.name)
      EXPECT_EQ(name, nullptr);
    else
      EXPECT_STREQ(name, row.name);
  }
}

}  // namespace
}  // namespace fxthost
