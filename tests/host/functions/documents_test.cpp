// The emulated host's part functions where the framework's walks do not reach them:
// counting, refusing another document's part, 8-bit names, no document at all.
#include <gtest/gtest.h>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

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
