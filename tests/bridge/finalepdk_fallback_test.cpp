// Runs in a host executable that lacks every function the host may lack, and two it
// must have: the wrappers answer their fallbacks without calling.
#include <gtest/gtest.h>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"

namespace {

struct FallbackCase {
  const char* name;
  int32_t (*call)();
  int32_t expected;
};

TEST(HostWithoutFunctions, WrappersReturnTheirFallbacks) {
  fxthost::Host host;
  const FallbackCase cases[] = {
      {"FX_GetMaxLayers", [] { return FX_GetMaxLayers(0x11000000); }, 4},
      {"FX_GetCurrentPartID", [] { return FX_GetCurrentPartID(0x11000000); }, -1},
      {"FX_GetNextPartID", [] { return FX_GetNextPartID(3, 0x11000000); }, -1},
      {"FX_GetPlaybackSystem", [] { return FX_GetPlaybackSystem(0x11000000); }, -1},
      {"FX_GetTextEncoding", [] { return FX_GetTextEncoding(0x11000000); }, -2},
      {"FX_CountParts", [] { return FX_CountParts(0x11000000); }, -1},
      {"FX_ProcessMidiData", [] { return FX_ProcessMidiData(nullptr, 0x11000000); }, -1},
      {"FX_SetCurERegion", [] { return FX_SetCurERegion(nullptr, 0x11000000); }, 0},
      {"FX_CopyCutMusic", [] { return FX_CopyCutMusic(nullptr, 1, 0x11000000); }, 0},
      {"FX_CreatePercMapRefData", [] { return FX_CreatePercMapRefData(1, 2, 0x11000000); }, 0},
  };
  for (const FallbackCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.call(), c.expected);
  }
  EXPECT_TRUE(host.Calls().empty()) << "a missing function was called";
}

TEST(HostWithoutFunctions, MissingRequiredFunctionReturnsZeroWithoutCalling) {
  fxthost::Host host;
  EXPECT_EQ(FX_RebeamRegion(nullptr, 0, 0x11000000), 0);
  EXPECT_EQ(FX_SlotToInst(1, 0, 0x11000000), 0);
  EXPECT_TRUE(host.Calls().empty());
}

TEST(HostWithoutFunctions, PartNameFallsBackToOneSpace) {
  fxthost::Host host;
  const char* name = static_cast<const char*>(FX_GetPartName(1, 0x11000000));
  ASSERT_NE(name, nullptr);
  EXPECT_STREQ(name, " ");
}

TEST(HostWithoutFunctions, EditCountersRunWithoutTheHost) {
  fxthost::Host host;
  int32_t before = FinaleEditDepth;
  // Without the function no edit opens, so none is counted and none is closed.
  EXPECT_EQ(FX_StartFinaleEdit(nullptr, 0x11000000), 0);
  EXPECT_EQ(FinaleEditDepth, before);
  EXPECT_EQ(FX_EndFinaleEdit(0x11000000), 1);
  EXPECT_EQ(FinaleEditDepth, before);
}

TEST(HostWithoutFunctions, DialogItemsGoThroughWindowsWhenTheHostLacksThem) {
  fxthost::Host host;
  // No dialog exists on this platform: the Windows path finds no item.
  EXPECT_EQ(FX_GetDlgCntl(nullptr, 5, 0x11000000), nullptr);
  EXPECT_EQ(FX_ShowHideDlgItem(nullptr, 5, 1, 0x11000000), 0);
  EXPECT_TRUE(host.Calls().empty());
}

}  // namespace
