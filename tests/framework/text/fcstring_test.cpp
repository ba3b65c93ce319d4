// The framework string: its storage, 8-bit text through the code page, numbers, editing
// (Replace among them), and the comparisons and character tests.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "framework/text/fcstring.h"

namespace {

std::string Text(FCString& s) { return std::string(s.GetCString()); }

TEST(FCStringStorage, NewStringIsEmptyWithoutStorage) {
  FCString s;
  EXPECT_EQ(0, s.GetLength());
  EXPECT_EQ(0, s.GetCapacity());
  EXPECT_STREQ("", s.GetCString());
  EXPECT_STREQ("FCString", s.ClassName());
}

TEST(FCStringStorage, GrowsInStepsOfTenAndEmptyTextReleases) {
  FCString s;
  const int expectedCapacity[] = {10, 10, 10, 10, 10, 10, 10, 10, 10, 20, 20};
  for (int i = 0; i < 11; ++i) {
    SCOPED_TRACE(i + 1);
    s.Append(static_cast<unsigned short>('a' + i));
    EXPECT_EQ(i + 1, s.GetLength());
    EXPECT_EQ(expectedCapacity[i], s.GetCapacity());
  }
  s.SetCString("x");  // a shorter text keeps the storage
  EXPECT_EQ(20, s.GetCapacity());
  s.SetCString("");
  EXPECT_EQ(0, s.GetCapacity());
  EXPECT_EQ(0, s.GetLength());
  s.Append("z");
  EXPECT_EQ(10, s.GetCapacity());

  const unsigned short empty[] = {0};
  s.SetUnicodeString(empty);
  EXPECT_EQ(0, s.GetCapacity());
}

TEST(FCStringStorage, SetLengthOnlyCutsAndKeepsStorage) {
  FCString s("Violins (Split Group 12)");
  const int capacity = s.GetCapacity();
  s.SetLength(40);
  s.SetLength(-1);
  EXPECT_EQ("Violins (Split Group 12)", Text(s));
  s.SetLength(7);
  EXPECT_EQ("Violins", Text(s));
  EXPECT_EQ(capacity, s.GetCapacity());
}

// 8-bit text goes through the host's code page (Windows-1252 here) both ways
// (framework-behaviour.md, 8-bit text).
TEST(FCStringConversion, EightBitTextWidensAndNarrowsByTheCodePage) {
  const struct {
    const char* bytes;
    unsigned short unit;
  } rows[] = {
      {"a", 0x0061},    {"\xE9", 0x00E9}, {"\xFF", 0x00FF},
      {"\xA0", 0x00A0}, {"\x80", 0x20AC},  // the euro sign
      {"\x9F", 0x0178}, {"\x81", 0x0081},  // undefined in the code page: kept as is
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.unit);
    FCString s(row.bytes);
    ASSERT_EQ(1, s.GetLength());
    EXPECT_EQ(row.unit, s.GetItemAt(0));
    EXPECT_STREQ(row.bytes, s.GetCString()) << "back to the same byte";
    EXPECT_TRUE(s.IsEqual(row.bytes));
    FCString appended("x");
    appended.Append(row.bytes);
    appended.Insert(row.bytes, 0);
    EXPECT_EQ(row.unit, appended.GetItemAt(0));
    EXPECT_EQ(row.unit, appended.GetItemAt(2));
  }

  unsigned short units[3] = {1, 1, 1};
  FCString s(
      "\xE9"
      "a");
  s.GetUnicodeString(units);
  EXPECT_EQ(0x00E9, units[0]);
  EXPECT_EQ(0, units[2]);

  // A character the code page cannot hold narrows to '?'; only a 0 unit ends the text.
  const unsigned short wide[] = {'a', 0x0100, 0x0120, 'b', 0};
  s.SetUnicodeString(wide);
  EXPECT_EQ(4, s.GetLength());
  EXPECT_STREQ("a??b", s.GetCString());
  EXPECT_TRUE(s.IsEqual("a??b"));
  EXPECT_FALSE(s.StartsWith("a "));
  s.Append(static_cast<unsigned short>(0));
  s.Append("c");
  EXPECT_STREQ("a??b", s.GetCString());
  EXPECT_TRUE(s.EndsWith("b"));

  // Comparisons and numbers read the narrowed text.
  FCString accented;
  const unsigned short cafe[] = {'C', 'a', 'f', 0x00E9, ' ', '7', 0};
  accented.SetUnicodeString(cafe);
  EXPECT_TRUE(accented.IsEqual("Caf\xE9 7"));
  EXPECT_TRUE(accented.StartsWith("Caf\xE9"));
  EXPECT_TRUE(accented.EndsWith("\xE9 7"));
  EXPECT_EQ(7, accented.GetInteger(4));
  EXPECT_TRUE(accented.Replace("\xE9", "e"));
  EXPECT_STREQ("Cafe 7", accented.GetCString());
}

TEST(FCStringConversion, OtherOperationsLeaveTheCStringBufferAlone) {
  FCString s("abc");
  const char* c = s.GetCString();
  EXPECT_TRUE(s.IsEqual("abc"));
  EXPECT_TRUE(s.StartsWith("ab"));
  EXPECT_TRUE(s.EndsWith("bc"));
  EXPECT_STREQ("abc", c);
}

TEST(FCStringConversion, IntegersAndFloats) {
  FCString s("x");
  s.AppendInteger(-12);
  EXPECT_EQ("x-12", Text(s));
  s.SetInteger(0);
  EXPECT_EQ("0", Text(s));

  struct Row {
    const char* text;
    int start;
    int integer;
    float number;
  };
  const Row rows[] = {
      {"42abc", 0, 42, 42.0f},
      {"42", 3, 0, 0.0f},
      {"42", 2, 0, 0.0f},
      {"42", -1, 0, 0.0f},
      {"  -7x", 0, -7, -7.0f},
      {"ab12.5", 2, 12, 12.5f},
      {"abc", 0, 0, 0.0f},
      {"99999999999", 0, INT_MAX, 99999999999.0f},
      {"-99999999999", 0, INT_MIN, -99999999999.0f},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << '"' << row.text << "\" from " << row.start);
    FCString t(row.text);
    EXPECT_EQ(row.integer, t.GetInteger(row.start));
    EXPECT_FLOAT_EQ(row.number, t.GetFloat(row.start));
  }
  EXPECT_TRUE(std::isinf(FCString("1e300").GetFloat(0)));
}

TEST(FCStringConversion, SetStringCopiesAndSelfIsUnchanged) {
  FCString a("alpha");
  FCString b("much longer text");
  b.SetString(&a);
  EXPECT_EQ("alpha", Text(b));
  a.SetString(&a);
  EXPECT_EQ("alpha", Text(a));

  FCString copy(b);
  b.SetCString("changed");
  EXPECT_EQ("alpha", Text(copy));
  copy = b;
  EXPECT_EQ("changed", Text(copy));
}

TEST(FCStringConversion, MakeFullFilePathStopsAtTerminatorOrArrayEnd) {
  FinPathSpec2012 path = {};
  const char* text = "C:\\a.musx";
  for (int i = 0; text[i]; ++i) path.path[i] = static_cast<unsigned short>(text[i]);
  FCString s;
  EXPECT_TRUE(s.MakeFullFilePath(&path));
  EXPECT_EQ(text, Text(s));

  const int size = static_cast<int>(sizeof(path.path) / sizeof(path.path[0]));
  for (int i = 0; i < size; ++i) path.path[i] = 'x';
  EXPECT_TRUE(s.MakeFullFilePath(&path));
  EXPECT_EQ(size, s.GetLength());
  EXPECT_FALSE(s.MakeFullFilePath(nullptr));
}

TEST(FCStringEditing, AppendOfItselfDoubles) {
  FCString s("abcdefgh");  // capacity 10: doubling must reallocate mid-copy
  s.Append(&s);
  EXPECT_EQ("abcdefghabcdefgh", Text(s));
}

TEST(FCStringEditing, InsertAndDeleteRespectBounds) {
  struct Row {
    const char* text;
    const char* insert;
    int position;
    const char* expected;
  };
  const Row inserts[] = {
      {"ac", "b", 1, "abc"},   {"c", "ab", 0, "abc"}, {"ab", "c", 2, "abc"},
      {"", "\xE9", 0, "\xE9"}, {"ab", "c", 3, "ab"},  {"ab", "c", -1, "ab"},
  };
  for (const Row& row : inserts) {
    SCOPED_TRACE(testing::Message()
                 << row.insert << " into " << row.text << " at " << row.position);
    FCString s(row.text);
    s.Insert(row.insert, row.position);
    EXPECT_EQ(row.expected, Text(s));
  }

  struct DeleteRow {
    int start;
    int count;
    bool result;
    const char* expected;
  };
  const DeleteRow deletes[] = {
      {0, 1, true, "bcde"},   {4, 1, true, "abcd"},   {1, 3, true, "ae"},
      {0, 5, true, ""},       {5, 1, false, "abcde"}, {-1, 1, false, "abcde"},
      {0, 0, false, "abcde"}, {0, 6, false, "abcde"}, {3, 3, false, "abcde"},  // runs past the end
  };
  for (const DeleteRow& row : deletes) {
    SCOPED_TRACE(testing::Message() << "delete " << row.start << "," << row.count);
    FCString s("abcde");
    EXPECT_EQ(row.result, s.DeleteCharactersAt(row.start, row.count));
    EXPECT_EQ(row.expected, Text(s));
  }
  FCString s("ab");
  EXPECT_FALSE(s.DeleteCharacterAt(2));
  s.SetItemAt(2, 'z');
  s.SetItemAt(-1, 'z');
  EXPECT_EQ("ab", Text(s));
}

// framework-behaviour.md, Replace: the same results as searching the whole text again after
// every replacement, occurrences formed by a replacement included.
TEST(FCStringEditing, ReplaceEndsAndReplacesEveryOccurrence) {
  struct Row {
    const char* text;
    const char* find;
    const char* replacement;
    bool result;
    const char* expected;
  };
  const Row rows[] = {
      {"B^flat() and E^flat()", "^flat()", "b", true, "Bb and Eb"},
      {"F^sharp()", "^sharp()", "#", true, "F#"},
      {"no tags", "^flat()", "b", false, "no tags"},
      {"", "a", "b", false, ""},
      // occurrences formed with the surrounding text are replaced too
      {"^fl^flat()at()", "^flat()", "", true, ""},
      {"aaab", "ab", "b", true, "b"},
      {"abab", "ab", "bca", true, "bcbcaca"},
      // an empty find replaces nothing
      {"abc", "", "x", false, "abc"},
      // a replacement holding find: later searches resume after the insertion
      {"a-a", "a", "aa", true, "aa-aa"},
      {"xx", "x", "<x>", true, "<x><x>"},
      {"aaa", "aa", "baa", true, "baaa"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " : " << row.find << " -> " << row.replacement);
    FCString s(row.text);
    EXPECT_EQ(row.result, s.Replace(row.find, row.replacement));
    EXPECT_EQ(row.expected, Text(s));
  }
  FCString s("abc");
  EXPECT_FALSE(s.Replace(nullptr, "x"));
  EXPECT_FALSE(s.Replace("a", nullptr));
  EXPECT_EQ("abc", Text(s));
}

TEST(FCStringEditing, ReplaceStopsARunawayCascadeAndSaysSo) {
  // Each replacement forms the next occurrence with the text it leaves behind, so the
  // passes would never end: Replace stops, answers false and leaves the text as it was
  // (framework-behaviour.md, Replace).
  const struct {
    std::string text;
    const char* find;
    const char* replacement;
  } rows[] = {
      {"aab", "ab", "bbaa"},
      {std::string(1999, 'a') + "b", "ab", "bbaa"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text.substr(0, 8) + " : " + row.find + " -> " + row.replacement);
    FCString s(row.text.c_str());
    EXPECT_FALSE(s.Replace(row.find, row.replacement));
    EXPECT_EQ(row.text, Text(s));
  }
  // A cascade that ends is carried out whole.
  FCString sorted("aaabbb");
  EXPECT_TRUE(sorted.Replace("ab", "ba"));
  EXPECT_EQ("bbbaaa", Text(sorted));
}

TEST(FCStringEditing, TrimWhitespaceRemovesOnlyTheFourCharacters) {
  struct Row {
    const char* text;
    const char* expected;
  };
  const Row rows[] = {
      {" \t a b \r\n", "a b"}, {"    ", ""}, {"", ""}, {"\va\f", "\va\f"}, {"x", "x"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    FCString s(row.text);
    s.TrimWhitespace();
    EXPECT_EQ(row.expected, Text(s));
  }
}

TEST(FCStringTesting, ContainsFindsFirstOccurrence) {
  struct Row {
    const char* text;
    const char* what;
    bool found;
    int position;
  };
  const Row rows[] = {
      {"abcabc", "bc", true, 1}, {"abc", "", true, 0},     {"", "", true, 0},
      {"ab", "abc", false, -1},  {"abc", "ac", false, -1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " / " << row.what);
    FCString s(row.text);
    FCString what(row.what);
    int position = -1;
    EXPECT_EQ(row.found, s.Contains(&what, &position));
    EXPECT_EQ(row.position, position);
    EXPECT_EQ(row.found, s.Contains(&what, nullptr));
  }
}

TEST(FCStringTesting, ByteComparisons) {
  struct Row {
    const char* text;
    const char* other;
    bool starts;
    bool ends;
    bool equal;
  };
  const Row rows[] = {
      {"Violins", "", true, true, false},       {"", "", true, true, true},
      {"Violins", "Vio", true, false, false},   {"Violins", "ins", false, true, false},
      {"Violins", "Violins", true, true, true}, {"Violins", "violins", false, false, false},
      {"ab", "abc", false, false, false},       {"\xE9t\xE9", "\xE9t\xE9", true, true, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.text << " / " << row.other);
    FCString s(row.text);
    FCString other(row.other);
    EXPECT_EQ(row.starts, s.StartsWith(row.other));
    EXPECT_EQ(row.ends, s.EndsWith(row.other));
    EXPECT_EQ(row.equal, s.IsEqual(row.other));
    EXPECT_EQ(row.equal, s.IsEqual(&other));
  }
  EXPECT_FALSE(FCString("abc").IsEqual(static_cast<const char*>(nullptr)));
}

TEST(FCStringTesting, CharacterClasses) {
  FCString s("1 a\xE9");
  s.Append(static_cast<unsigned short>(0x0120));  // low byte is a space
  EXPECT_TRUE(s.IsDigit(0));
  EXPECT_FALSE(s.IsDigit(2));
  EXPECT_TRUE(s.IsWhitespace(1));
  EXPECT_FALSE(s.IsWhitespace(3));
  EXPECT_FALSE(s.IsWhitespace(4));
  EXPECT_TRUE(s.IsCharacter(2, "xa"));
  EXPECT_FALSE(s.IsCharacter(3, "\xE9"));  // bytes from 0x80 never match
  EXPECT_TRUE(s.IsCharacter(3, static_cast<unsigned short>(0x00E9)));

  FCString empty;
  EXPECT_TRUE(empty.IsAllDigits());
  EXPECT_FALSE(empty.IsDigit(0));
  EXPECT_FALSE(FCString("12a").IsAllDigits());
}

}  // namespace
