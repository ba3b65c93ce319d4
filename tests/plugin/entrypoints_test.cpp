// The entry points called in-process: the version handshake, initialisation flags, the
// menu status, and the menu record FillMenuItem writes. (Loading the real module:
// tests/integration.)
#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

// The text in a field: its bytes up to the first NUL, and whether there is one.
std::string FieldText(const uint8_t* record, int offset, bool* terminated) {
  const char* field = reinterpret_cast<const char*>(record + offset);
  const size_t length = strnlen(field, kMenuItemTextSize);
  *terminated = length < static_cast<size_t>(kMenuItemTextSize);
  return std::string(field, length);
}

TEST(MenuItemRecord, FillMenuItemWritesTerminatedTextsZerosAndTheTwoWords) {
  const std::string text63(63, 'a'), text64(64, 'b'), text100(100, 'c');
  struct Row {
    const char* name;
    const char* texts[3];
    std::string expected[3];
  } rows[] = {
      {"short texts", {"Tools", "Does things.", "Do It"}, {"Tools", "Does things.", "Do It"}},
      {"63 bytes fit, longer texts are cut to 63",
       {text63.c_str(), text64.c_str(), text100.c_str()},
       {text63, std::string(63, 'b'), std::string(63, 'c')}},
      {"null texts are empty", {nullptr, "", nullptr}, {"", "", ""}},
  };
  const int offsets[3] = {kMenuItemNameOffset, kMenuItemDescriptionOffset, kMenuItemTextOffset};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    uint8_t record[kMenuItemRecordSize + 4];
    std::memset(record, 0xAA, sizeof record);
    EXPECT_TRUE(FillMenuItem(record, row.texts[0], row.texts[1], row.texts[2]));
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      bool terminated = false;
      EXPECT_EQ(FieldText(record, offsets[i], &terminated), row.expected[i]);
      EXPECT_TRUE(terminated);
      for (int at = offsets[i] + static_cast<int>(row.expected[i].size());
           at < offsets[i] + kMenuItemTextSize; ++at)
        ASSERT_EQ(record[at], 0) << "byte " << at << " of the field's rest";
    }
    EXPECT_EQ(fxt::GetU16(record, kMenuItemWord1Offset), 1);
    EXPECT_EQ(fxt::GetU16(record, kMenuItemWord2Offset), 0);
    for (int at = kMenuItemRecordSize; at < kMenuItemRecordSize + 4; ++at)
      EXPECT_EQ(record[at], 0xAA) << "byte " << at << " lies past the record";
  }
  EXPECT_FALSE(FillMenuItem(nullptr, "a", "b", "c"));
}

}  // namespace
