// The command through the real module where its input or the host is out of the
// ordinary: selection records the host's own checks would never send, names beyond
// ASCII, a host that refuses a change, and a module installed under another name.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "host/store/groups.h"
#include "tests/integration/fxthost_program.h"
#include "tests/integration/module_run.h"

namespace {

using fxt_testing::ModuleRun;
using fxthost::GroupRecord;
using fxthost::Region;

const char kStrings[] = R"({
  "measures": 30,
  "staves": [ { "id": 3 }, { "id": 4 }, { "id": 5 }, { "id": 6 } ],
  "groups": [
    { "id": 1, "staves": [3, 6], "measures": [1, 20], "name": "Strings", "abbreviation": "Str." }
  ]
})";

// The measures of a selection on staves 3 to 6 (slots 1 to 4) as a host could send
// them, whole measures.
Region Measures(int16_t first, int16_t last) { return Region::Cells(0, 1, 4, first, last); }

TEST(SplitCommand, RefusesAMeasureRangeThatIsEmptyOrReversed) {
  const struct {
    const char* name;
    int16_t first, last;
  } rows[] = {
      {"reversed (framework-behaviour.md: Selections without measures)", 8, 5},
      {"reversed by one (framework-behaviour.md: Selections without measures)", 6, 5},
      {"empty (framework-behaviour.md: Selections without measures)", 0, 0},
      {"from measure 0 (framework-behaviour.md: Selections without measures)", 0, 5},
      {"negative (framework-behaviour.md: Selections without measures)", -3, 5},
      {"ending below 1 (framework-behaviour.md: Selections without measures)", 5, -1},
      {"most negative (framework-behaviour.md: Selections without measures)", -32768, -32768},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    ModuleRun run(kStrings);
    ASSERT_TRUE(run.plugin);
    EXPECT_EQ(run.Invoke(Measures(row.first, row.last)), 0);
    ASSERT_EQ(run.host.Alerts().size(), 1u) << "one message, and no question";
    EXPECT_EQ(run.host.Alerts()[0].kind, "error");
    EXPECT_EQ(run.host.Alerts()[0].caption, "Measure Range Error");
    EXPECT_TRUE(run.Unchanged());
  }
}

TEST(SplitCommand, AccentedNamesAndFontsKeepTheirCharacters) {
  const char kAccented[] = R"({
    "measures": 30,
    "fonts": [ { "id": 1, "name": "Café Sans" } ],
    "fontPrefs": { "33": { "font": 1, "size": 11, "effects": 2 },
                   "39": { "font": 1, "size": 9, "effects": 0 } },
    "staves": [ { "id": 3 }, { "id": 4 } ],
    "groups": [
      { "id": 1, "staves": [3, 4], "measures": [1, 20], "name": "Cordes à l'Opéra", "abbreviation": "Cor. é" }
    ]
  })";
  for (uint32_t version : {0x11000000u, 0x10000000u}) {
    SCOPED_TRACE(version == 0x11000000u
                     ? "UTF-16 texts (framework-behaviour.md: 8-bit text, a font Café Sans)"
                     : "8-bit texts (framework-behaviour.md: 8-bit text, a font Café Sans)");
    ModuleRun run(kAccented);
    ASSERT_TRUE(run.plugin);
    run.host.SetVersion(version);
    run.plugin->Start(version);
    EXPECT_EQ(run.Invoke(Region::Cells(0, 1, 2, 5, 8)), 1);
    for (const GroupRecord& group : fxthost::ReadGroups(*run.document)) {
      if (group.number == 1) continue;
      fxthost::GroupNames names;
      ASSERT_TRUE(fxthost::ReadGroupNames(*run.document, 0, group.number, &names));
      const std::string number = std::to_string(group.number);
      EXPECT_EQ(names.full.value_or("-"),
                "Cordes à l'Opéra^font(Café Sans)^size(11)^nfx(130)"
                "(Split Group " +
                    number + ")");
      EXPECT_EQ(names.abbreviated.value_or("-"),
                "Cor. é^font(Café Sans)^size(9)^nfx(128)(Sp Grp " + number + ")");
    }
  }
}

// A document that already holds the highest group number the host gives: the host can
// number no new group, so every split is refused at its first creation and rolled back
// (framework-behaviour.md, The Split Groups command: the host refuses a step).
const char kNoNumbersLeft[] = R"({
  "measures": 30,
  "staves": [ { "id": 3 }, { "id": 4 }, { "id": 5 }, { "id": 6 }, { "id": 7 } ],
  "groups": [
    { "id": 1, "staves": [3, 6], "measures": [1, 20], "name": "Strings", "abbreviation": "Str." },
    { "id": 32767, "staves": [7, 7], "measures": [1, 30], "name": "Bass" }
  ]
})";

TEST(SplitCommand, AGroupTheHostWouldNotSplitIsReportedByName) {
  ModuleRun run(kNoNumbersLeft);
  ASSERT_TRUE(run.plugin);
  EXPECT_EQ(run.Invoke(Measures(5, 8)), 0);
  EXPECT_TRUE(run.Unchanged()) << "the roll-back leaves the group as it was";
  ASSERT_EQ(run.host.Alerts().size(), 1u);
  const fxthost::Alert& alert = run.host.Alerts()[0];
  EXPECT_EQ(alert.kind, "error");
  EXPECT_EQ(alert.caption, "Groups Not Split");
  EXPECT_NE(alert.message.find("refused"), std::string::npos) << alert.message;
  EXPECT_NE(alert.message.find("\n\nStrings"), std::string::npos) << alert.message;
  EXPECT_EQ(alert.message.find("No group(s)"), std::string::npos) << "the selection is not blamed";
}

TEST(SplitCommand, APartlyRefusedSplitNamesTheGroupsLeftAsTheyWere) {
  const char kTwoGroups[] = R"({
    "measures": 30,
    "fontPrefs": { "33": { "font": 0, "size": 12, "effects": 0 } },
    "staves": [ { "id": 3 }, { "id": 4 } ],
    "groups": [
      { "id": 1, "staves": [3, 4], "measures": [1, 20], "name": "^size(12)Violins", "abbreviation": "Vl." },
      { "id": 2, "staves": [3, 4], "measures": [1, 30], "abbreviation": "V." }
    ]
  })";
  ModuleRun run(kTwoGroups);
  ASSERT_TRUE(run.plugin);
  // A split inside a group creates five records for each of its two new groups: the
  // second group's first creation is the eleventh.
  run.host.FailCall(fxthost::Fn::FX_CreateEData, 11);
  EXPECT_EQ(run.Invoke(Region::Cells(0, 1, 2, 5, 8)), 1) << "the first group was split";
  EXPECT_EQ(fxthost::ReadGroups(*run.document).size(), 4u);
  GroupRecord second;
  ASSERT_TRUE(fxthost::ReadGroup(*run.document, 0, 2, &second));
  EXPECT_EQ(second.startMeasure, 1);
  EXPECT_EQ(second.endMeasure, 30) << "put back as it was";
  ASSERT_EQ(run.host.Alerts().size(), 1u);
  const fxthost::Alert& alert = run.host.Alerts()[0];
  EXPECT_EQ(alert.caption, "Groups Not Split");
  EXPECT_EQ(alert.message.find("Violins"), std::string::npos) << "it was split";
  EXPECT_NE(alert.message.find("\n\nGroup number 2"), std::string::npos) << alert.message;
}

// The module copied under another file name cannot find its string table by name: the
// command refuses before it writes a name it cannot make, and says so in words that do
// not depend on the table (framework-behaviour.md, The Split Groups command: String table).
TEST(SplitCommand, UnderAnotherFileNameTheCommandRefusesAndSaysWhy) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_renamed_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::create_directories(dir);
  const fs::path plugin = dir / "renamed.fxt";
  fs::copy_file(FXT_PLUGIN_PATH, plugin);
  std::string document = kStrings;
  document.insert(document.rfind('}'),
                  R"(, "selection": { "list": 0, "staves": [3, 6], "measures": [5, 8],
                     "startPosition": 0, "endPosition": 2147483647 })");
  std::ofstream(dir / "doc.json") << document;

  const fxt_testing::ProgramRun run = fxt_testing::Fxthost(
      "run " + (dir / "doc.json").string() + " --plugin " + plugin.string() + " -o " +
      (dir / "out.json").string() + " --report " + (dir / "report.json").string());
  ASSERT_EQ(run.status, 0) << run.output;
  std::ifstream reportFile(dir / "report.json");
  const nlohmann::json report = nlohmann::json::parse(reportFile, nullptr, false);
  std::ifstream outFile(dir / "out.json");
  const nlohmann::json out = nlohmann::json::parse(outFile, nullptr, false);
  std::error_code ignored;
  fs::remove_all(dir, ignored);

  ASSERT_TRUE(report.is_object()) << run.output;
  EXPECT_EQ(report.value("result", -1), 0);
  ASSERT_EQ(report["alerts"].size(), 1u) << report;
  const nlohmann::json& alert = report["alerts"][0];
  EXPECT_EQ(alert.value("kind", ""), "error");
  EXPECT_EQ(alert.value("caption", ""), "Plug-in Not Installed Correctly");
  EXPECT_NE(alert.value("message", "").find("tolleksplitgroups.fxt"), std::string::npos);
  // The menu text the host shows comes from the same table and is lost as well; what the
  // command itself says never is.
  EXPECT_EQ(report["alerts"].dump().find("Resource String Error"), std::string::npos) << report;
  ASSERT_TRUE(out.is_object());
  ASSERT_EQ(out["groups"].size(), 1u) << "nothing changed";
  EXPECT_EQ(out["groups"][0]["measures"], nlohmann::json::array({1, 20}));
  EXPECT_EQ(out["groups"][0]["name"], "Strings");
}

}  // namespace
