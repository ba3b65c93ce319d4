// What the readers of a document file's members share (host/files/docfile_json.cpp):
// here, the escaping of the texts a refusal quotes.
#include <gtest/gtest.h>

#include <string>

#include "host/files/docfile_json.h"

namespace {

// fxthost.md, Refusals: control characters of the file are written escaped, so that a
// refusal cannot drive the terminal it is shown on.
TEST(EscapeControls, WritesControlCharactersAndStrayBytesEscaped) {
  const std::pair<std::string, std::string> rows[] = {
      {"staves[0].name", "staves[0].name"},
      {"colo\x1b[31mur", "colo\\u001b[31mur"},
      {std::string("a\0b", 3), "a\\u0000b"},
      {"\t\n\r\x1f", "\\u0009\\u000a\\u000d\\u001f"},
      {"del\x7f", "del\\u007f"},
      {"\xc2\x9b"
       "2J",
       "\\u009b2J"},                                           // U+009B, the C1 CSI
      {"\xc2\x80\xc2\x9f\xc2\xa0", "\\u0080\\u009f\xc2\xa0"},  // U+00A0 is printable
      {"Horn in E\xe2\x99\xad", "Horn in E\xe2\x99\xad"},      // U+266D
      {"\xf0\x9d\x84\x9e clef", "\xf0\x9d\x84\x9e clef"},      // U+1D11E
      {"x\xff"
       "y",
       "x\\xffy"},                         // not UTF-8
      {"\x9b", "\\x9b"},                   // a lone 8-bit CSI
      {"cut \xe2\x99", "cut \\xe2\\x99"},  // a character cut short
      {"\xc1\x81", "\\xc1\\x81"},          // an overlong form
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.second);
    EXPECT_EQ(fxthost::EscapeControls(row.first), row.second);
  }
}

}  // namespace
