// The real module's split when the host refuses one of its saves or creations, or any
// one of all the calls it makes: every measure of a group stays covered exactly once by
// that group's pieces, a refused split is undone whole and is not counted, a split that
// counts is complete, and the user is told of a group that was not split.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "host/files/docfile.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "tests/integration/module_run.h"
#include "tests/support/split_check.h"

namespace {

using fxthost::Fn;
using fxthost::GroupRecord;

const char kFullTags[] = "^font(Arial)^size(11)^nfx(130)";
const char kAbbreviatedTags[] = "^font(Arial)^size(9)^nfx(128)";

// Staves 2..7; "Strings" brackets staves 3-6 over measures 1-20. "Inner", on the same
// staves over measures 3-12, is added for the scenario with two matching groups.
const char kScore[] = R"({
  "measures": 30,
  "fontPrefs": {
    "33": { "font": 1, "size": 11, "effects": 2 },
    "39": { "font": 1, "size": 9, "effects": 0 }
  },
  "staves": [ { "id": 2 }, { "id": 3 }, { "id": 4 }, { "id": 5 }, { "id": 6 }, { "id": 7 } ],
  "groups": [
    { "id": 1, "staves": [3, 6], "measures": [1, 20], "name": "Strings", "abbreviation": "Str.", "offset6": 7 }
  ]
})";

struct Family {
  std::string name;  // the full name of the group as loaded; its pieces' names begin so
  std::string abbreviation;
  int16_t start, end;                               // its measures as loaded
  std::vector<std::pair<int16_t, int16_t>> pieces;  // its measures after a whole split
};

struct Scenario {
  const char* name;
  int16_t start, end;  // the selected measures, on staves 3-6
  bool inner;          // with the group "Inner"
  std::vector<Family> families;
};

// One run of the command through the module on a fresh copy of the score.
struct CommandRun : fxt_testing::ModuleRun {
  explicit CommandRun(const Scenario& scenario) : ModuleRun(kScore) {
    if (!scenario.inner || !plugin) return;
    GroupRecord inner;
    inner.number = 2;
    inner.startStaff = 3;
    inner.endStaff = 6;
    inner.startMeasure = 3;
    inner.endMeasure = 12;
    inner.offset6 = 7;
    EXPECT_TRUE(fxthost::WriteGroup(*document, inner));
    EXPECT_TRUE(
        fxthost::WriteGroupNames(*document, 0, 2, std::string("Inner"), std::string("Inn.")));
    TakeBefore();
  }

  int32_t Invoke(const Scenario& scenario) {
    return ModuleRun::Invoke(fxthost::Region::Cells(0, 2, 5, scenario.start, scenario.end));
  }
};

// The groups of the document that descend from family (named as it is, or with a suffix
// after its name), in measure order.
std::vector<GroupRecord> PiecesOf(const fxthost::Document& document, const Family& family) {
  std::vector<GroupRecord> pieces;
  for (const GroupRecord& group : fxthost::ReadGroups(document)) {
    fxthost::GroupNames names;
    fxthost::ReadGroupNames(document, 0, group.number, &names);
    if (names.full && names.full->compare(0, family.name.size(), family.name) == 0)
      pieces.push_back(group);
  }
  std::sort(pieces.begin(), pieces.end(), [](const GroupRecord& a, const GroupRecord& b) {
    return a.startMeasure < b.startMeasure;
  });
  return pieces;
}

// Checks that the family's measures are covered exactly once, and nothing beside them,
// on the group's staves; true when it was split (more than one piece), in which case
// the pieces are exactly the expected ones with their numbered names.
bool CheckFamily(const fxthost::Document& document, const Family& family) {
  SCOPED_TRACE(family.name);
  const std::vector<GroupRecord> pieces = PiecesOf(document, family);
  for (int measure = 1; measure <= 30; ++measure) {
    int covering = 0;
    for (const GroupRecord& piece : pieces)
      covering += piece.startMeasure <= measure && measure <= piece.endMeasure;
    const int expected = family.start <= measure && measure <= family.end ? 1 : 0;
    EXPECT_EQ(covering, expected) << "measure " << measure;
  }
  for (const GroupRecord& piece : pieces) {
    EXPECT_EQ(piece.startStaff, 3);
    EXPECT_EQ(piece.endStaff, 6);
    EXPECT_EQ(piece.offset6, 7) << "piece " << piece.number;
  }
  if (pieces.size() <= 1) return false;

  EXPECT_EQ(pieces.size(), family.pieces.size()) << "a split that counts is complete";
  for (size_t i = 0; i < pieces.size() && i < family.pieces.size(); ++i) {
    const GroupRecord& piece = pieces[i];
    EXPECT_EQ(piece.startMeasure, family.pieces[i].first);
    EXPECT_EQ(piece.endMeasure, family.pieces[i].second);
    fxthost::GroupNames names;
    fxthost::ReadGroupNames(document, 0, piece.number, &names);
    const std::string number = std::to_string(piece.number);
    const bool first = i == 0;
    EXPECT_EQ(names.full.value_or("-"),
              first ? family.name : family.name + kFullTags + "(Split Group " + number + ")");
    EXPECT_EQ(names.abbreviated.value_or("-"),
              first ? family.abbreviation
                    : family.abbreviation + kAbbreviatedTags + "(Sp Grp " + number + ")");
  }
  return true;
}

const Scenario kScenarios[] = {
    {"selection inside", 5, 8, false, {{"Strings", "Str.", 1, 20, {{1, 4}, {5, 8}, {9, 20}}}}},
    {"selection to the group's end", 5, 20, false, {{"Strings", "Str.", 1, 20, {{1, 4}, {5, 20}}}}},
    {"selection from the group's start",
     1,
     8,
     false,
     {{"Strings", "Str.", 1, 20, {{1, 8}, {9, 20}}}}},
    {"two matching groups",
     5,
     8,
     true,
     {{"Strings", "Str.", 1, 20, {{1, 4}, {5, 8}, {9, 20}}},
      {"Inner", "Inn.", 3, 12, {{3, 4}, {5, 8}, {9, 12}}}}},
};

TEST(SplitFaults, UnrefusedRunsSplitEveryFamilyWhole) {
  for (const Scenario& scenario : kScenarios) {
    SCOPED_TRACE(scenario.name);
    CommandRun run(scenario);
    ASSERT_TRUE(run.plugin);
    EXPECT_EQ(run.Invoke(scenario), 1);
    for (const Family& family : scenario.families) EXPECT_TRUE(CheckFamily(*run.document, family));
    EXPECT_TRUE(run.host.Alerts().empty());
  }
}

TEST(SplitFaults, EachRefusedSaveOrCreationLeavesEveryMeasureCoveredOnce) {
  for (const Scenario& scenario : kScenarios) {
    for (Fn fn : {Fn::FX_SaveEData, Fn::FX_CreateEData}) {
      // How many calls of fn a run makes when nothing is refused.
      size_t calls = 0;
      {
        CommandRun clean(scenario);
        ASSERT_TRUE(clean.plugin);
        clean.Invoke(scenario);
        calls = clean.host.CallsTo(fn).size();
      }
      ASSERT_GT(calls, 0u);
      for (size_t nth = 1; nth <= calls; ++nth) {
        SCOPED_TRACE(std::string(scenario.name) + ", " + fxthost::Info(fn).name + " #" +
                     std::to_string(nth) + " of " + std::to_string(calls) + " refused");
        CommandRun run(scenario);
        ASSERT_TRUE(run.plugin);
        run.host.FailCall(fn, static_cast<int>(nth));
        const int32_t result = run.Invoke(scenario);
        size_t splitFamilies = 0;
        for (const Family& family : scenario.families)
          splitFamilies += CheckFamily(*run.document, family);
        const bool anySplit = splitFamilies > 0;
        EXPECT_EQ(result, anySplit ? 1 : 0) << "a refused split is not counted";
        if (splitFamilies == scenario.families.size()) {
          EXPECT_TRUE(run.host.Alerts().empty());
          continue;
        }
        if (anySplit) {
          ASSERT_EQ(run.host.Alerts().size(), 1u) << "the group left as it was is named";
          EXPECT_EQ(run.host.Alerts()[0].caption, "Groups Not Split");
          continue;
        }
        ASSERT_EQ(run.host.Alerts().size(), 1u);
        EXPECT_EQ(run.host.Alerts()[0].kind, "error");
        EXPECT_EQ(run.host.Alerts()[0].caption, "Groups Not Split")
            << "the host is named, not the selection";
        EXPECT_TRUE(run.document->records == run.before) << "nothing of the split left behind";
      }
    }
  }
}

// --- Every host call of the command refused in turn --------------------------------

// Runs the command once cleanly, then once for every host call of that run with that
// call refused (answering the failure value of its row): each run leaves the document
// unchanged or validly split, and whenever a group the clean run split was not split,
// one message says so (framework-behaviour.md, Testing with refused host calls). Returns
// the number of host calls of the clean run.
size_t RefuseEveryCallInTurn(const std::string& json, const fxthost::Region& selection) {
  std::vector<fxthost::Call> calls;
  std::set<uint16_t> splitClean;
  {
    fxt_testing::ModuleRun clean(json);
    if (!clean.plugin) return 0;
    const auto originals = fxt_testing::OriginalGroups(*clean.document);
    EXPECT_EQ(clean.Invoke(selection), 1);
    EXPECT_TRUE(clean.host.Alerts().empty());
    calls = clean.host.Calls();
    const fxt_testing::SplitCheck check = fxt_testing::CheckUnchangedOrValidlySplit(
        *clean.document, clean.before, originals, &selection);
    EXPECT_EQ(check.Problems(), "");
    splitClean = check.split;
    EXPECT_FALSE(splitClean.empty());
  }
  std::map<Fn, int> seen;
  for (size_t k = 0; k < calls.size(); ++k) {
    const Fn fn = calls[k].fn;
    const int nth = ++seen[fn];
    fxt_testing::ModuleRun run(json);
    SCOPED_TRACE("call " + std::to_string(k + 1) + " of " + std::to_string(calls.size()) +
                 " refused: " + run.host.DescribeCall(calls[k]) + " (#" + std::to_string(nth) +
                 " of " + fxthost::Info(fn).name + ")");
    if (!run.plugin) return 0;
    const auto originals = fxt_testing::OriginalGroups(*run.document);
    run.host.FailCall(fn, nth);
    const int32_t result = run.Invoke(selection);
    const fxt_testing::SplitCheck check =
        fxt_testing::CheckUnchangedOrValidlySplit(*run.document, run.before, originals, &selection);
    EXPECT_EQ(check.Problems(), "");
    const std::set<uint16_t>& split = check.split;
    EXPECT_EQ(result, split.empty() ? 0 : 1);
    EXPECT_LE(run.host.Alerts().size(), 1u);
    for (const fxthost::Alert& alert : run.host.Alerts()) EXPECT_NE(alert.kind, "yesno");
    if (split != splitClean) {
      EXPECT_EQ(run.host.Alerts().size(), 1u) << "a group not split is told";
    }
  }
  return calls.size();
}

TEST(SplitFaults, EveryCallOfAnOrchestraSplitRefusedInTurn) {
  fxthost::Host host;
  fxthost::Document& document = host.NewDocument();
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(fxthost::kDemoScore, "orchestra", &document, nullptr, &error));
  const size_t calls = RefuseEveryCallInTurn(fxthost::kDemoScore, fxthost::Selection(document));
  EXPECT_GT(calls, 50u);
  RecordProperty("calls", static_cast<int>(calls));
  std::printf("[ every call ] one orchestra split makes %zu host calls; each refused in turn\n",
              calls);
}

// Groups on the same staves nested in and overlapping one another, with groups on
// staves within and around them; three of them contain the selection.
const char kNestedAndOverlapping[] = R"({
  "measures": 40,
  "fontPrefs": { "33": { "font": 1, "size": 11, "effects": 2 } },
  "staves": [ { "id": 1 }, { "id": 2 }, { "id": 3 }, { "id": 4 }, { "id": 5 }, { "id": 6 },
              { "id": 7 }, { "id": 8 } ],
  "instrumentLists": { "2": [2, 3, 4, 6, 7] },
  "groups": [
    { "id": 1, "staves": [1, 8], "measures": [1, 40], "name": "Tutti", "abbreviation": "T." },
    { "id": 2, "staves": [3, 6], "measures": [1, 30], "name": "Strings", "abbreviation": "Str." },
    { "id": 3, "staves": [3, 6], "measures": [5, 20], "name": "Inner", "abbreviation": "In." },
    { "id": 4, "staves": [3, 6], "measures": [8, 40], "name": "Overlap", "abbreviation": "Ov.", "offset6": 5 },
    { "id": 5, "staves": [3, 6], "measures": [12, 18], "name": "Late", "abbreviation": "La." },
    { "id": 6, "staves": [3, 4], "measures": [1, 40], "name": "Violins", "abbreviation": "Vl." },
    { "id": 7, "staves": [3, 5], "measures": [1, 40], "name": "Upper", "abbreviation": "Up." }
  ]
})";

TEST(SplitFaults, EveryCallOfANestedAndOverlappingSplitRefusedInTurn) {
  // Staves 3 to 6 as the selection's list shows them (slots 2 to 4 of list 2: 3, 4, 6):
  // "Upper" (3-5) shows as 3 to 4, so it does not match; "Strings", "Inner" and
  // "Overlap" do.
  const size_t calls =
      RefuseEveryCallInTurn(kNestedAndOverlapping, fxthost::Region::Cells(2, 2, 4, 10, 16));
  EXPECT_GT(calls, 50u);
}

}  // namespace
