// The fxthost program as a user runs it.
#include <gtest/gtest.h>

#include <string>

#include "tests/integration/fxthost_program.h"

namespace {

using fxt_testing::Fxthost;
using fxt_testing::ProgramRun;

TEST(FxthostMenu, PrintsTheRegistration) {
  ProgramRun run = Fxthost("menu --plugin " FXT_PLUGIN_PATH);
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("Splits groups into subgroups for the range of the selection."),
            std::string::npos);
  EXPECT_NE(run.output.find("Split Groups\n"), std::string::npos);
}

TEST(FxthostMenu, FindsThePluginNextToTheExecutable) {
  ProgramRun run = Fxthost("menu");
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("Tollek Split Groups"), std::string::npos);
}

TEST(FxthostMenu, UnloadablePluginIsUnusableInput) {
  ProgramRun run = Fxthost("menu --plugin /nonexistent/x.fxt");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("cannot load"), std::string::npos) << run.output;
}

TEST(FxthostHelp, HelpAndUnknownSubcommands) {
  EXPECT_EQ(Fxthost("--help").status, 0);
  EXPECT_EQ(Fxthost("menu --help").status, 0);
  EXPECT_EQ(Fxthost("frobnicate").status, 2);
  EXPECT_EQ(Fxthost("").status, 2);
}

}  // namespace
