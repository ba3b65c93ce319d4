// An edit run as one host edit transaction: kept as one undo step, or discarded so that
// the document is as it was, record for record.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/measure.h"
#include "framework/score/undoblock.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace {

using fxthost::Fn;
using fxthost::testing::MakeScore;

// Changes measure 2 to 3/4 and deletes measure 4 through the framework, then answers
// as told.
class MeasureEdit : public __FCUndoBlockHandler {
 public:
  explicit MeasureEdit(bool keep) : _keep(keep) {}
  bool PerformEdit() override {
    ++calls;
    FCMeasure measure;
    if (measure.Load(2)) {
      fxt::PutS16(measure._GetDataBlock(), 4, 3);
      measure.Save();
    }
    FCMeasure last;
    if (last.Load(4)) last.DeleteData();
    return _keep;
  }
  int calls = 0;

 private:
  bool _keep;
};

TEST(UndoBlock, KeptEditIsOneUndoStepAndCancelledEditLeavesNoTrace) {
  struct Row {
    const char* name;
    bool keep;
  } rows[] = {
      {"kept (host-behaviour.md: the outermost transaction becomes one undo step)", true},
      {"cancelled (host-behaviour.md: FX_CancelFinaleEdit puts every document back)", false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    fxthost::Document& doc = MakeScore(host, 4, {1, 2});
    const fxthost::Document::Content before = doc.Snapshot();
    MeasureEdit edit(row.keep);
    FCString name("Change Meter");
    EXPECT_EQ(FCUndoBlock().Execute(&edit, &name), row.keep);
    EXPECT_EQ(edit.calls, 1);
    EXPECT_TRUE(host.OpenEdits().empty()) << "the transaction is closed either way";
    EXPECT_EQ(FinaleEditDepth, 0);
    if (row.keep) {
      EXPECT_EQ(fxthost::LastMeasure(doc.records), 3);
      EXPECT_EQ(fxthost::MeasureDuration(doc.records, 2), 3072);
      ASSERT_EQ(doc.undoSteps.size(), 1u);
      EXPECT_EQ(doc.undoSteps[0].name, "Change Meter");
      EXPECT_TRUE(host.Undo());
      EXPECT_TRUE(doc.records == before.records);
    } else {
      EXPECT_TRUE(doc.Snapshot() == before) << "record for record";
      EXPECT_TRUE(doc.undoSteps.empty());
    }
  }
}

TEST(UndoBlock, EditIsNotRunWhenTheHostOpensNoTransaction) {
  struct Row {
    const char* name;
    bool document;
    bool hostFails;
    bool handler;
  } rows[] = {
      {"no document open (host-behaviour.md: FX_StartFinaleEdit gives 0 when no document is open)",
       false, false, true},
      {"host refuses (framework-behaviour.md: Edit depth, the count is taken back)", true, true,
       true},
      {"no handler", true, false, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    if (row.document) MakeScore(host, 4, {1});
    if (row.hostFails) host.FailCall(Fn::FX_StartFinaleEdit, 1);
    const int32_t depth = FinaleEditDepth;
    MeasureEdit edit(true);
    FCString name("Edit");
    EXPECT_FALSE(FCUndoBlock().Execute(row.handler ? &edit : nullptr, &name));
    EXPECT_EQ(edit.calls, 0);
    EXPECT_TRUE(host.CallsTo(Fn::FX_EndFinaleEdit).empty());
    EXPECT_TRUE(host.CallsTo(Fn::FX_CancelFinaleEdit).empty());
    EXPECT_EQ(FinaleEditDepth, depth) << "a refused start opens nothing";
  }
}

// The callable runs as a handler's edit would, here inside a command the host opened:
// what it keeps is part of the command's one undo step, what it discards is gone.
TEST(UndoBlock, CallableEditNestsInTheCommandsUndoStep) {
  struct Row {
    const char* name;
    bool keep;
    bool empty;  // an empty std::function
    bool result;
    int lastMeasure;  // after the command
  } rows[] = {
      {"kept", true, false, true, 3},
      {"discarded", false, false, false, 4},
      {"empty callable: nothing is run", true, true, false, 4},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fxthost::Host host;
    fxthost::Document& doc = MakeScore(host, 4, {1, 2});
    const fxthost::Document::Content before = doc.Snapshot();
    ASSERT_TRUE(host.BeginCommand("Command"));
    MeasureEdit edit(row.keep);
    std::function<bool()> callable;
    if (!row.empty) callable = [&edit] { return edit.PerformEdit(); };
    EXPECT_EQ(FCUndoBlock().Execute(callable, "Change Meter"), row.result);
    EXPECT_EQ(edit.calls, row.empty ? 0 : 1);
    EXPECT_EQ(host.OpenEdits().size(), 1u) << "only the command's transaction is open";
    ASSERT_TRUE(host.EndCommand());
    EXPECT_EQ(fxthost::LastMeasure(doc.records), row.lastMeasure);
    ASSERT_EQ(doc.undoSteps.size(), 1u) << "one step: the command's";
    EXPECT_EQ(doc.undoSteps[0].name, "Command");
    EXPECT_TRUE(host.Undo());
    EXPECT_TRUE(doc.records == before.records);
  }
}

}  // namespace
