// Multimeasure-rest, music-spacing and part-scope preferences against the side records of
// a document file.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "framework/finaleframework.h"
#include "host/files/docfile.h"
#include "host/functions/host.h"

namespace {

using fxthost::DataKey;

// A host whose current document is read from a file holding these side records.
struct PrefsDocument {
  fxthost::Host host;
  fxthost::Document& document;
  explicit PrefsDocument(const std::string& sideRecords) : document(host.NewDocument()) {
    fxthost::DocumentError error;
    const std::string text = "{ \"sideRecords\": { " + sideRecords + " } }";
    EXPECT_TRUE(fxthost::ParseDocument(text, "prefs.json", &document, nullptr, &error))
        << error.Message();
  }
  // Word w of side record 'ot' c1 c2 at inci, or -999 when there is no such record.
  int Word(const char* name, uint16_t inci, int w) const {
    const auto* bytes = document.records.Find(fxt::MakeTag(name[0], name[1], name[2], name[3]),
                                              DataKey{0xFFFE, inci, 0, 0});
    return bytes ? fxt::GetS16(bytes->data(), static_cast<size_t>(2 * w)) : -999;
  }
};

// A clone is a new object of the class that carries the settings beside the record.
TEST(DocumentPrefs, ClonesCarryTheSideSettings) {
  FCMultiMeasureRestPrefs rests;
  FCMusicSpacingPrefs spacing;
  FCPartScopePrefs scope;
  rests.SetExtraFlag(true);
  spacing.SetSecondExtraValue(70000);
  spacing.SetFourthExtraValue(-4);
  scope.SetScopeFlag(true);
  std::unique_ptr<__FCBaseData> clones[] = {std::unique_ptr<__FCBaseData>(rests.CreateClone()),
                                            std::unique_ptr<__FCBaseData>(spacing.CreateClone()),
                                            std::unique_ptr<__FCBaseData>(scope.CreateClone())};
  EXPECT_TRUE(static_cast<FCMultiMeasureRestPrefs*>(clones[0].get())->GetExtraFlag());
  EXPECT_EQ(clones[0]->_GetLoadedSize(), 24);
  EXPECT_EQ(static_cast<FCMusicSpacingPrefs*>(clones[1].get())->GetSecondExtraValue(), 70000);
  EXPECT_EQ(static_cast<FCMusicSpacingPrefs*>(clones[1].get())->GetFourthExtraValue(), -4);
  EXPECT_EQ(clones[1]->_GetLoadedSize(), 36);
  EXPECT_TRUE(static_cast<FCPartScopePrefs*>(clones[2].get())->GetScopeFlag());
  EXPECT_STREQ(clones[2]->ClassName(), "FCPartScopePrefs");
}

TEST(PartScopePrefs, ScopeFlagIsWordZeroNegated) {
  struct Row {
    const char* name;
    const char* records;
    bool loads;
    bool flagAfterLoad;  // the flag was true before the load
    bool saved;          // Save with the flag set to !flagAfterLoad
    int wordAfter;
  };
  const Row rows[] = {
      {"word 0 is 0", R"("otPG": [[0, 5, 6, 7, 8, 9]])", true, true, true, 1},
      {"word 0 is 3", R"("otPG": [[3, 5, 6, 7, 8, 9]])", true, false, true, 0},
      {"no side record", R"("ot01": [[0, 0, 0, 0, 0, 0]])", false, true, false, -999},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrefsDocument doc(row.records);
    FCPartScopePrefs prefs;
    prefs.SetScopeFlag(true);
    EXPECT_EQ(prefs.Load(7), row.loads);
    EXPECT_EQ(prefs.GetScopeFlag(), row.flagAfterLoad);
    prefs.SetScopeFlag(!row.flagAfterLoad);
    EXPECT_EQ(prefs.Save(), row.saved);
    EXPECT_EQ(doc.Word("otPG", 0, 0), row.wordAfter);
    if (row.saved) {
      EXPECT_EQ(doc.Word("otPG", 0, 5), 9) << "the other words are kept";
    }
  }
}

// A write the host refuses is reported, not taken for a saved setting (preferences.md: a
// refused write fails the save).
TEST(PartScopePrefs, RefusedWriteFailsTheSave) {
  PrefsDocument doc(R"("otPG": [[0, 0, 0, 0, 0, 0]])");
  doc.host.FailCall(fxthost::Fn::FX_SaveEData, 1);
  FCPartScopePrefs prefs;
  EXPECT_FALSE(prefs.Save());
  EXPECT_EQ(doc.Word("otPG", 0, 0), 0);
}

const char* const kSpacing = R"("ot94": [[1, 2, 3, 4, 5, 6], [7, 8, 9, 10, 11, 12],
                                          [13, 14, -15, 16, -17, 18]],
                                "ot41": [[0, 0, 0, 0, 0, 0], null, [19, 20, 21, 22, 23, 24]])";

TEST(MusicSpacingPrefs, HalfReadKeepsTheValuesNotRead) {
  PrefsDocument doc(R"("ot94": [[1, 2, 3, 4, 5, 6], [0, 0, 0, 0, 0, 0], [0, 0, 30, 0, 40, 0]])");
  FCMusicSpacingPrefs prefs;
  prefs.SetThirdExtraValue(11);
  prefs.SetFourthExtraValue(12);
  EXPECT_FALSE(prefs.Load(1));
  EXPECT_EQ(prefs.GetFirstExtraValue(), 30);
  EXPECT_EQ(prefs.GetSecondExtraValue(), 40);
  EXPECT_EQ(prefs.GetThirdExtraValue(), 11);
  EXPECT_EQ(prefs.GetFourthExtraValue(), 12);
  // Saving writes what can be read and reports the rest: no 'ot41' record is made.
  prefs.SetFirstExtraValue(5);
  EXPECT_FALSE(prefs.Save());
  EXPECT_EQ(doc.Word("ot94", 2, 2), 5);
  EXPECT_EQ(doc.Word("ot41", 2, 0), -999);
}

TEST(MusicSpacingPrefs, LoadsAndSavesTheRecordAndBothSideRecords) {
  PrefsDocument doc(kSpacing);
  FCMusicSpacingPrefs prefs;
  ASSERT_TRUE(prefs.Load(1));
  EXPECT_EQ(fxt::GetS16(prefs._GetDataBlock(), 34), 18) << "the three ot94 records";
  EXPECT_EQ(prefs.GetFirstExtraValue(), -15);
  EXPECT_EQ(prefs.GetSecondExtraValue(), -17) << "sign-extended";
  EXPECT_EQ(prefs.GetThirdExtraValue(), 21);
  EXPECT_EQ(prefs.GetFourthExtraValue(), 22);
  prefs.SetFirstExtraValue(100);
  prefs.SetSecondExtraValue(70000);
  prefs.SetThirdExtraValue(-300);
  ASSERT_TRUE(prefs.Save());
  EXPECT_EQ(doc.Word("ot94", 2, 2), 100);
  EXPECT_EQ(doc.Word("ot94", 2, 4), 4464) << "70000 as its low 16 bits";
  EXPECT_EQ(doc.Word("ot94", 2, 5), 18);
  EXPECT_EQ(doc.Word("ot41", 2, 2), -300);
  EXPECT_EQ(doc.Word("ot41", 2, 3), 22);
}

TEST(MultiMeasureRestPrefs, ExtraFlagIsWordFourOfItsSideRecord) {
  struct Row {
    const char* name;
    const char* records;
    bool loads;
    bool flag;
  };
  const Row rows[] = {
      {"word 4 set", R"("ot25": [[1, 2, 3, 4, 5, 6], [7, 8, 9, 10, 11, 12]],
                        "ot83": [[9, 9, 9, 9, 5, 9]])",
       true, true},
      {"word 4 clear", R"("ot25": [[1, 2, 3, 4, 5, 6]], "ot83": [[9, 9, 9, 9, 0, 9]])", true,
       false},
      {"no ot83", R"("ot25": [[1, 2, 3, 4, 5, 6]])", false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    PrefsDocument doc(row.records);
    FCMultiMeasureRestPrefs prefs;
    EXPECT_EQ(prefs.Load(1), row.loads);
    EXPECT_EQ(prefs.GetExtraFlag(), row.flag);
    EXPECT_EQ(fxt::GetS16(prefs._GetDataBlock(), 10), 6);
    prefs.SetExtraFlag(!row.flag);
    EXPECT_EQ(prefs.Save(), row.loads);
    EXPECT_EQ(doc.Word("ot83", 0, 4), row.loads ? (row.flag ? 0 : 1) : -999);
    if (row.loads) {
      EXPECT_EQ(doc.Word("ot83", 0, 5), 9);
    }
  }
}

}  // namespace
