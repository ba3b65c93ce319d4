// The group record's reader and writer (host/store/groups.h): the style words the
// emulated host lays out itself (docs/host-records.md, "Group style") and their names.
#include "host/store/groups.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/recordbytes.h"
#include "host/files/docfile.h"

namespace {

using fxthost::Document;
using fxthost::GroupRecord;

std::vector<std::string> Names(const fxthost::StyleName* begin, const fxthost::StyleName* end) {
  std::vector<std::string> names;
  for (const fxthost::StyleName* entry = begin; entry != end; ++entry)
    names.push_back(std::to_string(entry->value) + "=" + entry->name);
  return names;
}

TEST(GroupStyle, TheTablesOfStylesAndModesAreWhole) {
  EXPECT_EQ(Names(std::begin(fxthost::kBracketStyles), std::end(fxthost::kBracketStyles)),
            (std::vector<std::string>{"0=bracket", "1=brace", "2=square", "3=line", "4=none"}));
  EXPECT_EQ(Names(std::begin(fxthost::kBarlineModes), std::end(fxthost::kBarlineModes)),
            (std::vector<std::string>{"0=through", "1=none", "2=mensurstrich"}));
  for (const fxthost::StyleName& entry : fxthost::kBracketStyles) {
    int16_t value = -1;
    EXPECT_TRUE(fxthost::StyleValueOf(fxthost::kBracketStyles, entry.name, &value));
    EXPECT_EQ(value, entry.value);
    EXPECT_STREQ(fxthost::StyleNameOf(fxthost::kBracketStyles, entry.value), entry.name);
  }
  int16_t value = 0;
  EXPECT_FALSE(fxthost::StyleValueOf(fxthost::kBarlineModes, "dashed", &value));
  EXPECT_EQ(fxthost::StyleNameOf(fxthost::kBarlineModes, 3), nullptr);
}

TEST(GroupStyle, TheStyleWordsAreAtEightAndTenAndTheOtherCarriedBytesStay) {
  Document document;
  fxthost::RecordStore::Bytes old(fxthost::kGroupRecordSize, 0xAB);
  document.records.Put(fxthost::kGroupTag, fxthost::DataKey::Of(0, 3), old);
  GroupRecord group;
  group.number = 3;
  group.bracket = fxthost::kBracketStyleSquare;
  group.barline = fxthost::kBarlineMensurstrich;
  ASSERT_TRUE(fxthost::WriteGroup(document, group));
  const auto* bytes = document.records.Find(fxthost::kGroupTag, fxthost::DataKey::Of(0, 3));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(fxt::GetS16(bytes->data(), 8), fxthost::kBracketStyleSquare);
  EXPECT_EQ(fxt::GetS16(bytes->data(), 10), fxthost::kBarlineMensurstrich);
  for (size_t at : {12u, 20u, 21u, 24u, 31u}) EXPECT_EQ((*bytes)[at], 0xAB) << at;
  GroupRecord read;
  ASSERT_TRUE(fxthost::ReadGroup(document, 0, 3, &read));
  EXPECT_EQ(read, group);
}

TEST(GroupStyle, AStyleWithoutANameIsWrittenAsARawRecordAndReadBack) {
  Document document;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(
      R"({ "staves": [{ "id": 1 }], "groups": [{ "id": 2, "staves": [1, 1], "measures": [1, 1] }] })",
      "t.json", &document, nullptr, &error))
      << error.Message();
  GroupRecord group;
  ASSERT_TRUE(fxthost::ReadGroup(document, 0, 2, &group));
  group.bracket = 9;
  group.barline = fxthost::kBarlineNone;
  fxthost::WriteGroup(document, group);
  const std::string text = fxthost::FormatDocument(document, {});
  EXPECT_NE(text.find("\"barline\": \"none\""), std::string::npos) << text;
  EXPECT_EQ(text.find("\"bracket\""), std::string::npos) << text;
  Document again;
  ASSERT_TRUE(fxthost::ParseDocument(text, "t.json", &again, nullptr, &error)) << error.Message();
  GroupRecord read;
  ASSERT_TRUE(fxthost::ReadGroup(again, 0, 2, &read));
  EXPECT_EQ(read.bracket, 9);
  EXPECT_EQ(read.barline, fxthost::kBarlineNone);
}

}  // namespace
