// Font descriptions and font preferences: the tags they write, their comparison, and
// the names they take from the host.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"
#include "framework/text/fontprefs.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"
#include "host/functions/words.h"

namespace {

using fxthost::Fn;
using fxthost::Host;

std::string Text(FCString& s) { return std::string(s.GetCString()); }

std::string Tags(const FCFontInfo& font) {
  FCString out("left over");
  font.MakeEnigmaString(&out);
  return Text(out);
}

TEST(FCFontInfoTags, WritesFontSizeAndEffectsTags) {
  struct Row {
    const char* name;
    short size;
    unsigned short effects;
    const char* tags;
    const char* style;
  };
  const Row rows[] = {
      {nullptr, 12, 0, "^font(Times New Roman)^size(12)^nfx(0)", "^nfx(0)"},  // defaults
      {"Arial", 10, 128, "^font(Arial)^size(10)^nfx(128)", "^nfx(128)"},
      {"Arial", -1, 0xFFFF, "^font(Arial)^size(-1)^nfx(65535)", "^nfx(65535)"},
      {"A (b), c", -32768, 0x8000, "^font(A (b), c)^size(-32768)^nfx(32768)", "^nfx(32768)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.tags);
    FCFontInfo font;
    if (row.name) {
      font.SetName(row.name);
      font.SetSize(row.size);
      font.SetEffects(row.effects);
    }
    EXPECT_EQ(row.tags, Tags(font));
    FCString style("left over");
    font.MakeEnigmaStyleString(&style);
    EXPECT_EQ(row.style, Text(style));
  }
}

TEST(FCFontInfoCompare, ComparesSizeNameAndSixEffectBits) {
  struct Row {
    const char* what;
    void (*change)(FCFontInfo&);
    bool identical;
  };
  const Row rows[] = {
      {"unchanged", [](FCFontInfo&) {}, true},
      {"bit 0x08", [](FCFontInfo& f) { f.SetEffectBits(0x08, true); }, true},
      {"bit 0x10", [](FCFontInfo& f) { f.SetEffectBits(0x10, true); }, true},
      {"bit 0x01", [](FCFontInfo& f) { f.SetEffectBits(0x01, true); }, false},
      {"bit 0x20", [](FCFontInfo& f) { f.SetEffectBits(0x20, true); }, false},
      {"bit 0x80", [](FCFontInfo& f) { f.SetEffectBits(0x80, false); }, false},
      {"size", [](FCFontInfo& f) { f.SetSize(13); }, false},
      {"letter case", [](FCFontInfo& f) { f.SetName("arial"); }, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    FCFontInfo a;
    a.SetName("Arial");
    a.SetEffects(0x80);
    FCFontInfo b;
    b.SetName("Arial");
    b.SetEffects(0x80);
    row.change(b);
    EXPECT_EQ(row.identical, a.IsIdenticalTo(&b));
    EXPECT_EQ(row.identical, b.IsIdenticalTo(&a));
  }
  FCFontInfo a;
  EXPECT_FALSE(a.IsIdenticalTo(nullptr));
}

TEST(FCFontInfoName, NamesAreCutTo255Bytes) {
  const std::string longName(300, 'x');
  FCFontInfo fromText;
  fromText.SetName(longName.c_str());
  EXPECT_EQ(std::string(255, 'x'), fromText.GetNameCString());

  FCString wide(longName.c_str());
  FCFontInfo fromString;
  fromString.SetName(&wide);
  EXPECT_EQ(std::string(255, 'x'), fromString.GetNameCString());
}

TEST(FCFontInfoName, TakesNamesAndNumbersFromTheHost) {
  Host host;
  fxthost::Document& document = host.NewDocument();
  document.fonts = {{0, "Times New Roman"}, {1, "Arial"}, {9, "Courier New"}};

  struct Row {
    short number;
    const char* name;
  };
  const Row rows[] = {{9, "Courier New"}, {42, "Times New Roman"} /* unknown */};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    FCFontInfo font;
    font.SetName("Something else");
    font.SetNameByID(row.number);
    EXPECT_STREQ(row.name, font.GetNameCString());
  }

  FCFontInfo font;
  font.SetName("Courier New");
  EXPECT_EQ(9, font.GetNameByID());
}

TEST(FCFontInfoName, AnUnterminatedHostNameStaysBounded) {
  Host host;
  host.NewDocument();
  // A host that fills the whole 256-byte buffer and writes no terminator.
  host.SetBehaviour(Fn::FX_FontNumToName, [](Host&, const uint64_t* w) -> intptr_t {
    std::memset(fxthost::Ptr<char>(w[1]), 'Q', 256);
    return 1;
  });
  FCFontInfo font;
  font.SetNameByID(3);
  EXPECT_EQ(std::string(255, 'Q'), font.GetNameCString());
  // Its name is then written out in full, with nothing read beyond it.
  EXPECT_EQ("^font(" + std::string(255, 'Q') + ")^size(12)^nfx(0)", Tags(font));
}

TEST(FCFontPrefsTags, TurnsAPreferenceIntoSuffixTags) {
  struct Row {
    const char* what;
    bool stored;
    fxthost::FontPref pref;
    bool loaded;
    const char* tags;
  };
  const Row rows[] = {
      {"Arial 10", true, {1, 10, 0}, true, "^font(Arial)^size(10)^nfx(128)"},
      {"bit 0x80 already set", true, {2, 14, 0x83}, true, "^font(Courier New)^size(14)^nfx(131)"},
      {"font without a name", true, {77, 9, 1}, true, "^font(Times New Roman)^size(9)^nfx(129)"},
      {"no preference", false, {}, false, "^font(Times New Roman)^size(12)^nfx(128)"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    Host host;
    fxthost::Document& document = host.NewDocument();
    document.fonts = {{0, "Times New Roman"}, {1, "Arial"}, {2, "Courier New"}};
    // A neighbouring preference that must not be read instead.
    fxthost::PutFontPref(document, 34, {2, 99, 4});
    if (row.stored) fxthost::PutFontPref(document, FCFontPrefs::GROUP_FULL_NAME_PREFS, row.pref);

    FCString tags("left over");
    EXPECT_EQ(row.loaded, FCFontPrefs::MakeEnigmaStringForPrefs(33, &tags));
    EXPECT_EQ(row.tags, Text(tags));
  }
}

TEST(FCFontPrefsRecord, LoadsTheThreeWordsAndClonesThem) {
  Host host;
  fxthost::Document& document = host.NewDocument();
  fxthost::PutFontPref(document, 39, {-2, 300, 0xABCD});

  FCFontPrefs prefs;
  EXPECT_STREQ("FCFontPrefs", prefs.ClassName());
  ASSERT_TRUE(prefs.Load(39));
  EXPECT_EQ(6, prefs._GetLoadedSize());
  EXPECT_EQ(-2, prefs.GetFontID());
  EXPECT_EQ(300, prefs.GetSize());
  EXPECT_EQ(0xABCD, prefs.GetEffects());

  std::unique_ptr<__FCBaseData> clone(prefs.CreateClone());
  FCFontPrefs* copy = static_cast<FCFontPrefs*>(clone.get());
  EXPECT_EQ(6, copy->_GetLoadedSize());
  EXPECT_EQ(300, copy->GetSize());
  EXPECT_EQ(39, copy->_GetKeyFirst());

  FCFontPrefs missing;
  EXPECT_FALSE(missing.Load(40));
  EXPECT_EQ(0, missing._GetLoadedSize());
}

}  // namespace
