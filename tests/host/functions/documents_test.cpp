// The emulated host's document paths, and its part functions where the framework's walks
// do not reach them: counting, refusing another document's part, 8-bit names, no
// document at all.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

TEST(HostDocuments, PathIsGivenOnlyWhenItNamesTheDocumentsFile) {
  struct Row {
    const char* name;
    std::string path;      // as the document holds it (UTF-8 when valid)
    std::u16string given;  // empty: refused, the buffer untouched
  } rows[] = {
      // clang-format off
      {"ASCII", "/scores/a.json", u"/scores/a.json"},
      {"UTF-8", "/Fl\xC3\xBBte \xE2\x99\xAD.json", u"/Fl\u00FBte \u266D.json"},
      {"U+FFFD written in the name", "/\xEF\xBF\xBD.json", u"/\uFFFD.json"},
      {"a character beyond U+FFFF", "/\xF0\x9D\x84\x9E", u"/\U0001D11E"},
      {"259 units (host-documents.md: a path of more than 259 units)",
       "/" + std::string(258, 'a'), u"/" + std::u16string(258, u'a')},
      {"260 units (host-documents.md: a path of more than 259 units)",
       "/" + std::string(259, 'a'), u""},
      {"a Windows-1252 byte (host-documents.md: not valid UTF-8)", "/caf\xE9.json", u""},
      {"an overlong form (host-documents.md: not valid UTF-8)", "/\xC0\xAF.json", u""},
      {"a surrogate (host-documents.md: not valid UTF-8)", "/\xED\xA0\x80.json", u""},
      {"cut off at the end (host-documents.md: not valid UTF-8)", "/a\xE2\x99", u""},
      // clang-format on
  };
  Host host;
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document& document = host.NewDocument();
    document.path = row.path;
    uint8_t buffer[2 * 260 + 2];
    std::fill(std::begin(buffer), std::end(buffer), 0xAA);
    const int16_t result =
        FX_GetDocumentPath(static_cast<int16_t>(document.number), buffer, kVersion);
    EXPECT_EQ(result, row.given.empty() ? 0 : 1);
    std::u16string got;
    for (size_t i = 0; result && i < 260 && fxt::GetU16(buffer, 2 * i) != 0; ++i)
      got += static_cast<char16_t>(fxt::GetU16(buffer, 2 * i));
    EXPECT_EQ(got, row.given);
    if (!result) {
      EXPECT_EQ(std::count(std::begin(buffer), std::end(buffer), 0xAA),
                static_cast<std::ptrdiff_t>(sizeof buffer))
          << "the buffer is left alone";
    }
  }
}

TEST(HostParts, AnswerForTheCurrentDocumentOnly) {
  Host host;
  Document& first = host.NewDocument();
  first.parts.extracted = {{4, "Fl\xC3\xBBte \xE2\x99\xAD", ""}};  // "Flûte ♭", UTF-8
  Document& second = host.NewDocument();
  EXPECT_EQ(FX_CountParts(kVersion), 1) << "the score alone";
  EXPECT_EQ(FX_SetCurrentPartID(4, kVersion), 0) << "part 4 is the first document's";
  ASSERT_EQ(FX_SetCurrentEnigmaDocument(static_cast<int16_t>(first.number), kVersion), 1);
  EXPECT_EQ(FX_CountParts(kVersion), 2);
  EXPECT_STREQ(static_cast<const char*>(FX_GetPartName(4, kVersion)), "Fl\xFBte ?");
  EXPECT_EQ(FX_SetCurrentPartID(4, kVersion), 1);
  EXPECT_EQ(FX_SetCurrentPartID(5, kVersion), 0);
  EXPECT_EQ(first.parts.current, 4) << "a refused id changes nothing";
  EXPECT_EQ(second.parts.current, 0);
  host.CloseDocument(first.number);
  host.CloseDocument(second.number);
  EXPECT_EQ(FX_GetCurrentPartID(kVersion), -1);
  EXPECT_EQ(FX_GetNextPartID(0, kVersion), -1);
  EXPECT_EQ(FX_GetPartName(0, kVersion), nullptr);
  EXPECT_EQ(FX_CountParts(kVersion), 0);
}

}  // namespace
}  // namespace fxthost
