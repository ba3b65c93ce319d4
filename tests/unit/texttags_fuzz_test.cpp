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

#include "framework/core/collection.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"
#include "host/host.h"

namespace {

using Units = std::vector<unsigned short>;

Units UnitsOf(const FCString& s) {
  Units units;
  for (int i = 0; i < s.GetLength(); ++i) units.push_back(s.GetItemAt(i));
  return units;
}

void SetUnits(FCString& s, const Units& units) {
  s.SetCString("");
  for (unsigned short unit : units) s.Append(unit);
}

// The units, followed in storage (beyond the length) by stale units: an operation that
// reads past the text sees a caret, a closing parenthesis or a line feed there and
// gives itself away.
void SetWithStaleTail(FCString& s, const Units& units) {
  Units stale = units;
  stale.insert(stale.end(), {'^', '^', ')', '\n', ','});
  SetUnits(s, stale);
  s.SetLength(static_cast<int>(units.size()));
}

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

// Destroys the list and returns its strings' units.
std::vector<Units> Take(FCStrings* list) {
  std::vector<Units> pieces;
  if (!list) return pieces;
  std::unique_ptr<FCStrings> owned(list);
  for (int i = 0; i < owned->GetCount(); ++i) pieces.push_back(UnitsOf(*owned->GetItemAt(i)));
  return pieces;
}

bool Contains(const Units& units, unsigned short unit) {
  return std::find(units.begin(), units.end(), unit) != units.end();
}

void Exercise(const Units& input) {
  FCString s;
  SetWithStaleTail(s, input);

  FCString trimmed;
  SetWithStaleTail(trimmed, input);
  const bool began = trimmed.TrimEnigmaTags();
  EXPECT_LE(trimmed.GetLength(), s.GetLength());
  if (!Contains(input, '^')) {
    EXPECT_FALSE(began);
    EXPECT_EQ(input, UnitsOf(trimmed));
  }

  FCString fontTrimmed;
  SetWithStaleTail(fontTrimmed, input);
  fontTrimmed.TrimEnigmaFontTags();
  EXPECT_LE(fontTrimmed.GetLength(), s.GetLength());

  // The pieces with their text are the whole text again, in order.
  Units joined;
  for (const Units& piece : Take(s.CreateEnigmaStrings(true))) {
    EXPECT_FALSE(piece.empty());
    joined.insert(joined.end(), piece.begin(), piece.end());
  }
  EXPECT_EQ(input, joined);
  // Every tag piece begins with a single caret.
  for (const Units& tag : Take(s.CreateEnigmaStrings(false))) {
    ASSERT_FALSE(tag.empty());
    EXPECT_EQ('^', tag[0]);
    if (tag.size() > 1) {
      EXPECT_NE('^', tag[1]);
    }
  }

  for (const Units& part : Take(s.CreateEnigmaComponents())) {
    EXPECT_FALSE(part.empty());
    EXPECT_FALSE(Contains(part, '(') || Contains(part, ')') || Contains(part, ','));
  }
  s.IsEnigmaFont();
  s.IsEnigmaTextInsert(true);
  s.IsEnigmaTextInsert(false);
  s.ContainsEnigmaTextInsert(true);
  s.ContainsEnigmaTextInsert(false);

  std::unique_ptr<FCFontInfo> font(s.CreateLastFontInfo());
  ASSERT_NE(nullptr, font);
  FCString tags;
  font->MakeEnigmaString(&tags);  // the name it took is terminated and bounded
  EXPECT_LE(tags.GetLength(), 255 + 40);

  for (const Units& row : Take(s.CreateStringRows())) EXPECT_FALSE(Contains(row, '\n'));
  for (const Units& part : Take(s.CreateParsedStrings(", ("))) {
    EXPECT_FALSE(part.empty());
    EXPECT_FALSE(Contains(part, ',') || Contains(part, ' ') || Contains(part, '('));
  }

  // The string itself is unchanged by all but the trimming operations.
  EXPECT_EQ(input, UnitsOf(s));
}

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
