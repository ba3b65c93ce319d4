// What every fxthost shares of the MusicXML reader (host/files/musicxml.cpp): the summary
// "fxthost import" prints, each count in the singular for one (docs/musicxml.md).
#include <gtest/gtest.h>

#include <string>

#include "host/files/musicxml.h"

namespace {

TEST(MusicXmlSummary, EveryCountIsSingularForOne) {
  const struct {
    long count;
    const char* kind;
    const char* text;
  } rows[] = {
      {1, "credits", "1 credit"},
      {2, "credits", "2 credits"},
      {0, "credits", "0 credits"},
      {1, "staves", "1 staff"},
      {1, "ties", "1 tie"},
      {1, "figured basses", "1 figured bass"},
      {1, "dashes", "1 dashes"},
      {1, "measure numbers that are not numbers", "1 measure number that is not a number"},
      {3, "measure numbers that are not numbers", "3 measure numbers that are not numbers"},
  };
  for (const auto& row : rows) EXPECT_EQ(fxthost::CountOf(row.count, row.kind), row.text);
  fxthost::ImportSummary summary;
  summary.staves = summary.groups = summary.measures = summary.notes = summary.rests =
      summary.expressions = 1;
  summary.leftOut = {{"credits", 1}, {"slurs", 2}};
  EXPECT_EQ(summary.Text(),
            "Imported: 1 staff, 1 group, 1 measure, 1 note, 1 rest, 1 expression\n"
            "Left out: 2 slurs, 1 credit\n");
}

}  // namespace
