// The string operations on inline text tags: trimming, tokenising, the tag tests, the
// font in force at the end of a text, rows and parsing.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/core/collection.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"
#include "host/functions/host.h"

namespace {

using Pieces = std::vector<std::string>;

std::string Text(FCString& s) { return std::string(s.GetCString()); }

// The texts of a returned list, which is destroyed. A null list gives {"<null>"}.
Pieces Take(FCStrings* list) {
  if (!list) return {"<null>"};
  std::unique_ptr<FCStrings> owned(list);
  Pieces texts;
  for (int i = 0; i < owned->GetCount(); ++i) texts.push_back(Text(*owned->GetItemAt(i)));
  return texts;
}

TEST(FCStringTrimTags, RemovesEveryTagAndUnescapesCarets) {
  struct Row {
    const char* in;
    const char* out;
    bool result;
  };
  const Row rows[] = {
      {"^font(Arial)^size(12)Flute^^2", "Flute^2", true},
      {"Flute", "Flute", false},
      {"", "", false},
      {"^^", "^", false},
      {"^^^title()x", "^x", true},  // escaped caret, then a tag
      // Unclosed: everything after the caret goes (framework-behaviour.md, Trimming font
      // tags: TrimEnigmaTags still drops an open tag with the text after its caret).
      {"a^b", "a", true},
      {"a^", "a", true},               // a caret at the very end starts a tag
      {"^font(A(B)D)x", "D)x", true},  // the first closing parenthesis ends it
      {"Oboe ^flat() 2", "Oboe  2", true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.result, s.TrimEnigmaTags());
    EXPECT_EQ(row.out, Text(s));
  }
}

TEST(FCStringTrimFontTags, RemovesOnlyFontSizeAndEffectsTags) {
  struct Row {
    const char* in;
    const char* out;
    bool result;
  };
  const Row rows[] = {
      {"^fontTxt(Arial)Violin ^title() I", "Violin ^title() I", true},
      {"Violin ^^ I", "Violin ^ I", false},
      {"^font(Arial)^size(10)^nfx(128)(Split Group 3)", "(Split Group 3)", true},
      {"^Font(3)^fontMus(Maestro)^fontNum(Font2)x", "x", true},
      {"^fontish(1)x", "x", true},  // a prefix test
      {"^fon(1)x", "^fon(1)x", false},
      {"^Size(1)", "^Size(1)", false},  // case-sensitive
      {"^font(A(B)D)x", "D)x", true},
      // A tag left open is no complete tag: it stays as text, with all after it
      // (framework-behaviour.md, Trimming font tags).
      {"Cl. ^flat() ^font(Arial", "Cl. ^flat() ^font(Arial", false},
      {"^title(", "^title(", false},
      {"Oboe ^title(x", "Oboe ^title(x", false},
      {"^font(A)Oboe ^size(1", "Oboe ^size(1", true},
      {"^size(9)a ^nfx(2 ^^b", "a ^nfx(2 ^^b", true},
      {"^^font(Arial)", "^font(Arial)", false},  // escaped: text, not a tag
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.result, s.TrimEnigmaFontTags());
    EXPECT_EQ(row.out, Text(s));
  }
}

TEST(FCStringEnigmaStrings, CutsTagsTextAndEscapedCarets) {
  struct Row {
    const char* in;
    Pieces withText;
    Pieces tagsOnly;
  };
  const Row rows[] = {
      {"ab^size(10)cd^^e", {"ab", "^size(10)", "cd", "^^", "e"}, {"^size(10)"}},
      {"^font(A(B)D)x", {"^font(A(B)D)", "x"}, {"^font(A(B)D)"}},
      {"^font(A(B x", {"^font(A(B x"}, {"^font(A(B x"}},  // never balances
      {"a^b", {"a", "^b"}, {"^b"}},                       // no parenthesis at all
      {"^a)b(c)d", {"^a)b(c)d"}, {"^a)b(c)d"}},           // ')' first: depth below 0
      {"^^^^", {"^^", "^^"}, {}},
      {"", {}, {}},
      {"x^^^size(1)", {"x", "^^", "^size(1)"}, {"^size(1)"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.withText, Take(s.CreateEnigmaStrings(true)));
    EXPECT_EQ(row.tagsOnly, Take(s.CreateEnigmaStrings(false)));
    EXPECT_EQ(row.in, Text(s));  // the string itself is untouched
  }
}

TEST(FCStringEnigmaComponents, SplitsTagWordAndArguments) {
  struct Row {
    const char* in;
    Pieces components;
  };
  const Row rows[] = {
      {"^font(Times New Roman)", {"font", "Times New Roman"}},
      {"^sharp()", {"sharp"}},
      {"^abc(1,,2)(3)", {"abc", "1", "2", "3"}},
      {"^()", {}},
      {"^^title()", {"^title"}},
      {"abc", {"<null>"}},
      {"^", {"<null>"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.components, Take(s.CreateEnigmaComponents()));
  }
}

TEST(FCStringTagTests, RecognisesFontsAndInserts) {
  struct Row {
    const char* in;
    bool font;
    bool fileInfoInsert;
    bool anyInsert;
  };
  const Row rows[] = {
      {"^font(Arial)", true, false, false},
      {"^fontNum(Font3)", true, false, false},
      {"^fontish(x)", false, false, false},  // whole words, not prefixes
      {"^^font(x)", false, false, false},
      {"^title()", false, true, true},
      {"^description()x", false, true, true},
      {"^page()", false, false, true},
      {"^dbflat()", false, false, true},
      {"^^title()", false, false, false},
      {"^", false, false, false},
      {"^size(10)", false, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.font, s.IsEnigmaFont());
    EXPECT_EQ(row.fileInfoInsert, s.IsEnigmaTextInsert(true));
    EXPECT_EQ(row.anyInsert, s.IsEnigmaTextInsert(false));
  }
}

TEST(FCStringTagTests, FindsAnInsertAnywhereInTheText) {
  struct Row {
    const char* in;
    bool fileInfo;
    bool any;
  };
  const Row rows[] = {
      {"Violin ^title() I", true, true},
      {"^font(Arial)B^flat() Clarinet", false, true},
      {"Oboe ^^page()", false, false},  // escaped: no tag
      {"x ^composer(", true, true},     // an unbalanced tag still names its word
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.fileInfo, s.ContainsEnigmaTextInsert(true));
    EXPECT_EQ(row.any, s.ContainsEnigmaTextInsert(false));
  }
}

TEST(FCStringLastFont, TheLastTagOfEachKindWins) {
  fxthost::Host host;
  host.NewDocument().fonts = {{0, "Times New Roman"}, {1, "Arial"}, {3, "Maestro"}};

  struct Row {
    const char* in;
    const char* name;
    short size;
    unsigned short effects;
  };
  const Row rows[] = {
      {"^font(Arial)^size(10)x^size(14)^nfx(2)", "Arial", 14, 2},
      {"plain text", "Times New Roman", 12, 0},
      {"^fontTxt(Georgia)^fontMus(Maestro)", "Maestro", 12, 0},
      {"^fontNum(Font1)", "Arial", 12, 0},                       // by the host's number
      {"^font(Font99)", "Times New Roman", 12, 0},               // a number the host lacks
      {"^font(Fontana)", "Times New Roman", 12, 0},              // "Font", then no number
      {"^Font(Arial)", "Times New Roman", 12, 0},                // not read
      {"^size()^nfx()", "Times New Roman", 12, 0},               // no argument: no change
      {"^size(70000)^nfx(-1)", "Times New Roman", 4464, 65535},  // low 16 bits
      {"^font(Georgia, Bold)", "Georgia", 12, 0},                // the first argument
      {"^font(Arial", "Arial", 12, 0},                           // unbalanced tag still read
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    std::unique_ptr<FCFontInfo> font(s.CreateLastFontInfo());
    ASSERT_TRUE(font);
    EXPECT_STREQ(row.name, font->GetNameCString());
    EXPECT_EQ(row.size, font->GetSize());
    EXPECT_EQ(row.effects, font->GetEffects());
  }
}

TEST(FCStringLastFont, ALongFontNameIsCut) {
  const std::string name(400, 'n');
  FCString s(("^font(" + name + ")x").c_str());
  std::unique_ptr<FCFontInfo> font(s.CreateLastFontInfo());
  EXPECT_EQ(name.substr(0, 255), font->GetNameCString());
}

TEST(FCStringRows, CutsAtLineFeeds) {
  struct Row {
    const char* in;
    Pieces rows;
  };
  const Row rows[] = {
      {"a\n\nb", {"a", "", "b"}}, {"a\n", {"a"}}, {"\na", {"", "a"}}, {"\n", {""}},
      {"a\r\nb", {"a\r", "b"}},   {"", {}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.rows, Take(s.CreateStringRows()));
  }
}

TEST(FCStringParsed, CutsAtSeparatorsAndDropsEmptyParts) {
  struct Row {
    const char* in;
    const char* separators;
    Pieces parts;
  };
  const Row rows[] = {
      {"a, b,,c", ", ", {"a", "b", "c"}}, {"abc", ",", {"abc"}},          {"a,b", "", {"a,b"}},
      {"a,b", nullptr, {"a,b"}},          {"x\xE9y", "\xE9", {"x\xE9y"}},  // bytes from 0x80 up
                                                                           // never separate
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.in);
    FCString s(row.in);
    EXPECT_EQ(row.parts, Take(s.CreateParsedStrings(row.separators)));
  }
}

}  // namespace
