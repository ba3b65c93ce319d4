// The Split Groups command run in-process against the emulated host: which groups match,
// the pieces and their names, the refusals and the question, and what a refused save
// leaves behind.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/text/fcstring.h"
#include "host/store/groups.h"
#include "host/functions/host.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/run/pluginmodule.h"
#include "host/functions/userinterface.h"
#include "plugin/splitgroups.h"
#include "plugin/tolleksplitgroups.h"

namespace {

using fxthost::GroupRecord;
using fxthost::Host;

const char kTags[] = "^font(Times New Roman)^size(12)^nfx(128)";

// A score of `measures` measures on staves 1..7 in list 0, with one group over staves
// 3..6, measures 1..20, named "Strings" / "Str.".
struct Score {
  Host host;
  // The command runs in-process; its texts come from the string table of the real
  // module, named once as the host's menu enumeration does.
  std::unique_ptr<fxthost::PluginModule> module =
      fxthost::PluginModule::Load(FXT_PLUGIN_PATH, nullptr);
  bool named = FCString().LoadResource(kStringPluginName, "tolleksplitgroups.fxt");
  fxthost::ScriptedUserInterface ui{host, fxthost::Answer::kYes};
  fxthost::Document* document;

  explicit Score(int measures = 30, int16_t groupEnd = 20) {
    host.SetUserInterface(&ui);
    document = &host.NewDocument("score");
    fxthost::SetMeasures(*document, measures);
    fxthost::WriteInstrumentList(*document, 0, {1, 2, 3, 4, 5, 6, 7});
    for (int16_t staff = 1; staff <= 7; ++staff)
      fxthost::PutStaff(*document, staff, "Staff " + std::to_string(staff));
    AddGroup(1, 3, 6, 1, groupEnd, "Strings", "Str.");
  }

  void AddGroup(uint16_t number, int16_t top, int16_t bottom, int16_t start, int16_t end,
                const std::string& full, const std::string& abbreviated) {
    GroupRecord group;
    group.number = number;
    group.startStaff = top;
    group.endStaff = bottom;
    group.startMeasure = start;
    group.endMeasure = end;
    group.offset6 = 40;
    ASSERT_TRUE(fxthost::WriteGroup(*document, group));
    ASSERT_TRUE(fxthost::WriteGroupNames(*document, 0, number, full, abbreviated));
  }

  // Runs the command on whole measures [start, end] of the global list's slots.
  int32_t Run(int16_t topSlot, int16_t bottomSlot, int16_t start, int16_t end,
              int32_t startPosition = 0, int32_t endPosition = 0x7FFFFFFF) {
    fxthost::Region region;
    region.startSlot = topSlot;
    region.endSlot = bottomSlot;
    region.startMeasure = start;
    region.endMeasure = end;
    region.startPosition = startPosition;
    region.endPosition = endPosition;
    uint8_t bytes[20];
    region.ToBytes(bytes);
    return RunSplitGroupsCommand(bytes);
  }

  // "number: staves start-end measures start-end full | abbreviated" for every group.
  std::vector<std::string> Groups() const {
    std::vector<std::string> out;
    for (const GroupRecord& group : fxthost::ReadGroups(*document)) {
      fxthost::GroupNames names;
      fxthost::ReadGroupNames(*document, 0, group.number, &names);
      out.push_back(std::to_string(group.number) + ": " + std::to_string(group.startStaff) + "-" +
                    std::to_string(group.endStaff) + " " + std::to_string(group.startMeasure) +
                    "-" + std::to_string(group.endMeasure) + " " + names.full.value_or("-") +
                    " | " + names.abbreviated.value_or("-") +
                    " o6=" + std::to_string(group.offset6));
    }
    return out;
  }

  std::vector<std::string> AlertCaptions() {
    std::vector<std::string> out;
    for (const fxthost::Alert& alert : host.Alerts())
      out.push_back(alert.kind + ": " + alert.caption);
    return out;
  }
};

std::string Suffixed(const char* name, const char* word, int number) {
  return std::string(name) + kTags + "(" + word + std::to_string(number) + ")";
}

TEST(SplitGroups, OutcomeRows) {
  const struct {
    const char* name;
    int16_t start, end;
    std::vector<std::string> groups;
  } rows[] = {
      {"selection inside",
       5,
       8,
       {"1: 3-6 1-4 Strings | Str. o6=40",
        "2: 3-6 5-8 " + Suffixed("Strings", "Split Group ", 2) + " | " +
            Suffixed("Str.", "Sp Grp ", 2) + " o6=40",
        "3: 3-6 9-20 " + Suffixed("Strings", "Split Group ", 3) + " | " +
            Suffixed("Str.", "Sp Grp ", 3) + " o6=40"}},
      {"selection to the group's end",
       5,
       20,
       {"1: 3-6 1-4 Strings | Str. o6=40", "2: 3-6 5-20 " + Suffixed("Strings", "Split Group ", 2) +
                                               " | " + Suffixed("Str.", "Sp Grp ", 2) + " o6=40"}},
      {"selection from the group's start",
       1,
       8,
       {"1: 3-6 1-8 Strings | Str. o6=40", "2: 3-6 9-20 " + Suffixed("Strings", "Split Group ", 2) +
                                               " | " + Suffixed("Str.", "Sp Grp ", 2) + " o6=40"}},
      {"selection equal to the group", 1, 20, {"1: 3-6 1-20 Strings | Str. o6=40"}},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Score score;
    int32_t expected = row.groups.size() > 1 ? 1 : 0;
    EXPECT_EQ(score.Run(3, 6, row.start, row.end), expected);
    EXPECT_EQ(score.Groups(), row.groups);
    if (!expected) {
      EXPECT_EQ(score.AlertCaptions(), std::vector<std::string>{"info: No Group"});
    }
  }
}

TEST(SplitGroups, SelectionEndingAtTheLastMeasureCutsOnlyBefore) {
  Score score(12, 20);  // the group runs past the document's 12 measures
  EXPECT_EQ(score.Run(3, 6, 5, 12), 1);
  std::vector<std::string> groups = score.Groups();
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0], "1: 3-6 1-4 Strings | Str. o6=40");
  EXPECT_EQ(groups[1].substr(0, 11), "2: 3-6 5-20");
}

TEST(SplitGroups, WholeDocumentWidthSplitsNothing) {
  Score score(30, 10);
  EXPECT_EQ(score.Run(3, 6, 1, 30), 0);
  EXPECT_EQ(score.Groups().size(), 1u);
}

TEST(SplitGroups, StavesMustBeTheGroupsVisibleOuterStaves) {
  Score score;
  EXPECT_EQ(score.Run(3, 5, 5, 8), 0) << "bottom staff 5 is not the group's bottom";
  EXPECT_EQ(score.Groups().size(), 1u);

  // A list that hides staves 4 and 6: the group's visible staves are 3 and 5.
  Score hidden;
  fxthost::WriteInstrumentList(*hidden.document, 2, {1, 2, 3, 5, 7});
  fxthost::Region region;
  region.startList = region.endList = 2;
  region.startSlot = 3;  // staff 3
  region.endSlot = 4;    // staff 5
  region.startMeasure = 5;
  region.endMeasure = 8;
  region.endPosition = 0x7FFFFFFF;
  uint8_t bytes[20];
  region.ToBytes(bytes);
  EXPECT_EQ(RunSplitGroupsCommand(bytes), 1);
  EXPECT_EQ(hidden.Groups().size(), 3u);
}

TEST(SplitGroups, OneStaffGroupMatchesWithoutAList) {
  Score score;
  score.AddGroup(2, 7, 7, 1, 30, "Solo", "S.");
  EXPECT_EQ(score.Run(7, 7, 10, 12), 1);
  EXPECT_EQ(score.Groups().size(), 4u);
}

TEST(SplitGroups, SplittingAPieceAgainReplacesItsSuffix) {
  Score score;
  ASSERT_EQ(score.Run(3, 6, 5, 8), 1);    // pieces 2 (5-8) and 3 (9-20)
  ASSERT_EQ(score.Run(3, 6, 10, 12), 1);  // piece 3 cut into 3 (9), 4 (10-12), 5 (13-20)
  std::vector<std::string> groups = score.Groups();
  ASSERT_EQ(groups.size(), 5u);
  EXPECT_EQ(groups[3], "4: 3-6 10-12 " + Suffixed("Strings", "Split Group ", 4) + " | " +
                           Suffixed("Str.", "Sp Grp ", 4) + " o6=40");
}

TEST(AppendSplitText, ReplacesTheSameMarkerAndAppendsOtherwise) {
  const struct {
    const char* text;
    const char* tags;
    short number;
    bool abbreviated;
    const char* expected;
  } rows[] = {
      {"Violins", "^A", 12, false, "Violins^A(Split Group 12)"},
      {"Violins^A(Split Group 12)", "^A", 15, false, "Violins^A(Split Group 15)"},
      {"V^A(Split Group 3) and more", "^A", 9, false, "V^A(Split Group 9)"},
      {"Violins^A(Split Group 12)", "^B", 15, false, "Violins^A(Split Group 12)^B(Split Group 15)"},
      {"Vln.", "", 2, true, "Vln.(Sp Grp 2)"},
      {"", "", -1, false, "(Split Group -1)"},
  };
  Score score;
  for (const auto& row : rows) {
    SCOPED_TRACE(row.text);
    FCString text, tags;
    text.SetCString(row.text);
    tags.SetCString(row.tags);
    AppendSplitText(&text, &tags, row.number, row.abbreviated);
    EXPECT_STREQ(text.GetCString(), row.expected);
  }
}

TEST(Invocation, PartialSelectionsAreRefusedFirst) {
  Score score;
  EXPECT_EQ(score.Run(3, 6, 5, 8, 0, 1024), 0);
  EXPECT_EQ(score.Run(3, 6, 5, 8, 1, 0x7FFFFFFF), 0);
  EXPECT_EQ(RunSplitGroupsCommand(nullptr), 0) << "no record: all zero, so partial";
  EXPECT_EQ(score.AlertCaptions(),
            (std::vector<std::string>{"error: Partial Measure Selection Error",
                                      "error: Partial Measure Selection Error",
                                      "error: Partial Measure Selection Error"}));
  EXPECT_EQ(score.Groups().size(), 1u);
}

TEST(Invocation, SmallRangeAsksFirst) {
  const struct {
    fxthost::Answer answer;
    int16_t start, end;
    int32_t result;
    size_t groups;
    size_t alerts;
  } rows[] = {
      {fxthost::Answer::kYes, 5, 6, 1, 3, 1},  {fxthost::Answer::kNo, 5, 6, 0, 1, 1},
      {fxthost::Answer::kNone, 5, 6, 0, 1, 1}, {fxthost::Answer::kNo, 5, 5, 0, 1, 1},
      {fxthost::Answer::kNo, 5, 7, 1, 3, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::to_string(row.start) + "-" + std::to_string(row.end));
    Score score;
    score.ui.SetAnswer(row.answer);
    EXPECT_EQ(score.Run(3, 6, row.start, row.end), row.result);
    EXPECT_EQ(score.Groups().size(), row.groups);
    ASSERT_EQ(score.host.Alerts().size(), row.alerts);
    if (row.alerts) {
      EXPECT_EQ(score.host.Alerts()[0].caption, "Too small region?");
    }
  }
}

TEST(Invocation, SelectionEqualToAMultiStaffInstrumentIsRefusedOnNewHosts) {
  for (uint32_t version : {0x11000000u, 0x10FFFFFFu}) {
    SCOPED_TRACE(version);
    Score score;
    fxthost::MultiStaffInstrument piano;
    piano.id = 1;
    piano.staves = {{3, 6, 0}};
    ASSERT_TRUE(fxthost::PutMultiStaffInstrument(*score.document, piano));
    SetFinaleFrameworkVersion(version);
    int32_t result = score.Run(3, 6, 5, 8);
    if (version > 0x10FFFFFF) {
      EXPECT_EQ(result, 0);
      EXPECT_EQ(score.AlertCaptions(),
                std::vector<std::string>{"error: Multi-staff Instrument Range"});
    } else {
      EXPECT_EQ(result, 1) << "an older host skips the check";
    }
  }
}

// Every save and creation of one split, refused in turn: the group's measures stay
// covered exactly once, and nothing the split made is left behind (framework-behaviour.md,
// The Split Groups command: the host refuses a step).
TEST(SplitGroups, RefusedStepPutsTheGroupBack) {
  Score reference;
  const std::vector<std::string> before = reference.Groups();
  for (fxthost::Fn fn : {fxthost::Fn::FX_SaveEData, fxthost::Fn::FX_CreateEData}) {
    for (int nth = 1; nth <= 12; ++nth) {
      SCOPED_TRACE(std::string(fxthost::Info(fn).name) + " #" + std::to_string(nth));
      Score score;
      fxthost::RecordStore original = score.document->records;
      score.host.FailCall(fn, nth);
      int32_t result = score.Run(3, 6, 5, 8);
      std::vector<std::string> groups = score.Groups();
      if (result == 1) {
        EXPECT_EQ(groups.size(), 3u) << "a split that counts is complete";
        continue;
      }
      EXPECT_EQ(groups, before);
      EXPECT_TRUE(score.document->records == original) << "nothing left behind";
    }
  }
}

// The staff lists do not change during a command: each is loaded once, whatever the
// number of groups, and the host calls per group stay the same as the score grows.
TEST(SplitGroups, StaffListsAreLoadedOncePerCommand) {
  const struct {
    const char* name;
    uint16_t list;  // the selection's instrument list
    // System-staff loads: each list's 7 staves, its end, and its size asked after the
    // end (to be sure the host withheld nothing).
    size_t listLoads;
  } rows[] = {
      {"the global list (framework-behaviour.md: Cost, the staff lists are asked of the host once)",
       0, 9},
      {"another list (framework-behaviour.md: Cost, the staff lists are asked of the host once)", 2,
       9 + 9}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    size_t callsPerGroup[2] = {};
    for (int groups : {5, 40}) {
      Score score;
      fxthost::WriteInstrumentList(*score.document, 2, {1, 2, 3, 4, 5, 6, 7});
      for (int g = 2; g <= groups; ++g)
        score.AddGroup(static_cast<uint16_t>(g), 3, 6, 1, 20, "G" + std::to_string(g), "G.");
      score.host.ClearCalls();
      fxthost::Region region = fxthost::Region::Cells(row.list, 3, 6, 5, 8);
      uint8_t bytes[20];
      region.ToBytes(bytes);
      ASSERT_EQ(RunSplitGroupsCommand(bytes), 1);
      ASSERT_EQ(fxthost::ReadGroups(*score.document).size(), static_cast<size_t>(3 * groups));
      size_t listLoads = 0;
      for (const fxthost::Call& call : score.host.CallsTo(fxthost::Fn::FX_LoadEData))
        listLoads += static_cast<uint32_t>(call.words[0]) == 0x534F4975u;  // 'SOIu'
      EXPECT_EQ(listLoads, row.listLoads) << groups << " groups";
      callsPerGroup[groups == 5 ? 0 : 1] = score.host.Calls().size() / groups;
    }
    EXPECT_LE(callsPerGroup[1], callsPerGroup[0]) << "no cost per group and staff";
  }
}

}  // namespace
