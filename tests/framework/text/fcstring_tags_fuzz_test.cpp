// Seeded random texts through every inline-tag operation: nothing may crash or read
// outside the text (the sanitizers watch), and the results keep the invariants that
// hold for any input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/functions/host.h"
#include "tests/support/tag_properties.h"

namespace {

using fxt_testing::Units;

// Mostly the characters that drive the tag passes, with now and then any unit at all
// (zero, a widened high byte, a unit above 0xFF).
Units RandomUnits(std::mt19937& random) {
  static const char kAlphabet[] = "^^^^(((()))),,, \nFont0123fontsizenfxtitleapg-";
  const int length = static_cast<int>(random() % 48);
  Units units;
  for (int i = 0; i < length; ++i) {
    const unsigned pick = random() % 16;
    if (pick == 0)
      units.push_back(static_cast<unsigned short>(random()));
    else
      units.push_back(static_cast<unsigned char>(kAlphabet[random() % (sizeof(kAlphabet) - 1)]));
  }
  return units;
}

// A real tagged name, cut, with units inserted, removed or replaced.
Units Mutate(const char* seed, std::mt19937& random) {
  Units units;
  for (const char* p = seed; *p; ++p) units.push_back(static_cast<unsigned char>(*p));
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits && !units.empty(); ++e) {
    const size_t at = random() % units.size();
    static const unsigned short kUnits[] = {'^', '(', ')', ',', '\n', 0, 0xFFE9, 0x0128};
    const unsigned short unit = kUnits[random() % (sizeof(kUnits) / sizeof(kUnits[0]))];
    switch (random() % 4) {
      case 0:
        units.resize(at);
        break;
      case 1:
        units.insert(units.begin() + static_cast<long>(at), unit);
        break;
      case 2:
        units.erase(units.begin() + static_cast<long>(at));
        break;
      default:
        units[at] = unit;
        break;
    }
  }
  return units;
}

void Exercise(const Units& input) { EXPECT_EQ("", fxt_testing::FirstBrokenTagProperty(input)); }

TEST(FCStringTagsFuzz, RandomTextsKeepTheInvariants) {
  fxthost::Host host;  // ^font(Font<n>) asks the host for a name
  host.NewDocument();
  std::mt19937 random(20240611u);
  for (int round = 0; round < 2000; ++round) {
    const Units input = RandomUnits(random);
    SCOPED_TRACE(round);
    Exercise(input);
    if (HasFailure()) return;
  }
}

TEST(FCStringTagsFuzz, MutatedTaggedNamesKeepTheInvariants) {
  fxthost::Host host;
  host.NewDocument();
  const char* const seeds[] = {
      "^font(Times New Roman)^size(12)^nfx(128)(Split Group 12)",
      "Violins^font(Arial)^size(10)^nfx(128)(Sp Grp 3)",
      "^fontTxt(Arial)Violin ^title() I",
      "B^flat() Clarinet ^^2",
      "^fontNum(Font1)^font(A(B)D)x^size(14)^nfx(2)",
      "Horn in F\n^composer()\n^page() of ^totpages()",
  };
  std::mt19937 random(7u);
  for (int round = 0; round < 1500; ++round) {
    const char* seed = seeds[round % (sizeof(seeds) / sizeof(seeds[0]))];
    SCOPED_TRACE(std::string(seed) + " round " + std::to_string(round));
    Exercise(Mutate(seed, random));
    if (HasFailure()) return;
  }
}

}  // namespace
