// The entry points called in-process: the version handshake, initialisation flags and
// the menu status. (Loading the real module: tests/integration.)
#include <gtest/gtest.h>

#include <cstring>

#include "bridge/finalepdk.h"
#include "plugin/entrypoints.h"

namespace {

TEST(EntryPoints, VersionHandshakeStoresTheHostVersion) {
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x11000000u) << "before any call";
  EXPECT_EQ(FinaleExtensionVersion(0x12000000), 0x11000000u);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x12000000u);
  EXPECT_EQ(FinaleExtensionVersion(0), 0x11000000u) << "any version is accepted";
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0u);
}

TEST(EntryPoints, InitSetsBitZeroOnly) {
  const struct {
    uint32_t before, after;
  } rows[] = {
      {0x00000006u, 0x00000007u}, {0x00000001u, 0x00000001u}, {0xFFFFFFFEu, 0xFFFFFFFFu}, {0u, 1u}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.before);
    uint32_t word = row.before;
    EXPECT_EQ(FinaleExtensionInit(0, &word), 1);
    EXPECT_EQ(word, row.after);
  }
}

TEST(EntryPoints, MenuStatusIsAlwaysOne) {
  for (FXPTR argument : {FXPTR(0), FXPTR(1), ~FXPTR(0)})
    EXPECT_EQ(FinaleExtensionGetMenuStatus(argument), 1);
}

TEST(EntryPoints, EnumerateBeyondTheOneItemWritesNothing) {
  uint8_t record[256];
  std::memset(record, 0xAA, sizeof record);
  for (int32_t index : {1, 2, 0x7FFF, 0x00010001}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(FinaleExtensionEnumerate(0, index, record), 0);
    for (uint8_t byte : record) ASSERT_EQ(byte, 0xAA);
  }
}

}  // namespace
