// The emulated host's edit transactions and undo steps.
#include <gtest/gtest.h>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace fxthost {
namespace {

using namespace fxthost::testing;

// Changes of every kind: a new record, a changed one, a deleted inci (which moves the
// later ones down), a new font.
void EditEverything(Document& document) {
  document.records.Put(kDetailTag, DataKey{0, 9, 0, 0}, {1, 2, 3});
  document.records.Put(kMeasureTag, DataKey{2, 0, 0, 0}, RecordStore::Bytes(26, 0x55));
  document.records.Delete(kChordTag, DataKey{1, 1, 0, 0});
  document.fonts[7] = "Added";
}

Document& Score(Host& host) {
  Document& document = MakeScore(host, 4, {1, 2});
  PutCellRecord(document, kChordTag, 1, 1, 0, 1);
  PutCellRecord(document, kChordTag, 1, 1, 1, 2);
  document.fonts[0] = "Times";
  return document;
}

TEST(HostEdit, KeptEditIsOneUndoStepAndCancelledEditLeavesTheDocumentAsItWas) {
  struct Row {
    const char* name;
    bool keep;
  };
  for (const Row& row :
       {Row{"kept (host-behaviour.md: the outermost transaction becomes one undo step)", true},
        Row{"cancelled (host-behaviour.md: FX_CancelFinaleEdit puts every document back)",
            false}}) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = Score(host);
    const Document::Content before = document.Snapshot();
    ASSERT_EQ(FX_StartFinaleEdit("Split", kVersion), 1);
    EditEverything(document);
    const Document::Content after = document.Snapshot();
    if (row.keep) {
      EXPECT_EQ(FX_EndFinaleEdit(kVersion), 1);
      EXPECT_TRUE(document.Snapshot() == after);
      ASSERT_EQ(document.undoSteps.size(), 1u);
      EXPECT_EQ(document.undoSteps[0].name, "Split");
      EXPECT_TRUE(host.Undo());
      EXPECT_TRUE(document.records == before.records);
    } else {
      EXPECT_EQ(FX_CancelFinaleEdit(kVersion), 1);
      EXPECT_TRUE(document.records == before.records) << "record for record";
      EXPECT_TRUE(document.fonts == before.fonts);
      EXPECT_TRUE(document.undoSteps.empty());
    }
    EXPECT_TRUE(host.OpenEdits().empty());
  }
}

TEST(HostEdit, CommandIsOneUndoStepWhateverThePluginEditsInside) {
  Host host;
  Document& document = Score(host);
  const RecordStore original = document.records;

  ASSERT_TRUE(host.BeginCommand("Split Groups"));
  EXPECT_FALSE(host.BeginCommand("again")) << "commands do not nest";
  // A nested edit that is kept becomes part of the command ...
  ASSERT_EQ(FX_StartFinaleEdit("inner kept", kVersion), 1);
  document.records.Put(kDetailTag, DataKey{0, 1, 0, 0}, {1});
  EXPECT_EQ(FX_EndFinaleEdit(kVersion), 1);
  const RecordStore afterKept = document.records;
  // ... and one that is cancelled goes back to where it began, not further.
  ASSERT_EQ(FX_StartFinaleEdit_UTF16(u"inner cancelled", kVersion), 1);
  EXPECT_EQ(host.OpenEdits().back().name, "inner cancelled");
  document.records.Put(kDetailTag, DataKey{0, 2, 0, 0}, {2});
  EXPECT_EQ(FX_CancelFinaleEdit(kVersion), 1);
  EXPECT_TRUE(document.records == afterKept);
  // The plug-in cannot close the host's command.
  EXPECT_FALSE(host.EndEdit());
  EXPECT_FALSE(host.CancelEdit());
  ASSERT_TRUE(host.EndCommand());

  ASSERT_EQ(document.undoSteps.size(), 1u);
  EXPECT_EQ(document.undoSteps[0].name, "Split Groups");
  EXPECT_TRUE(host.Undo());
  EXPECT_TRUE(document.records == original);
  EXPECT_FALSE(host.Undo()) << "nothing more to undo";
}

TEST(HostEdit, CommandEndsTheEditsThePluginLeftOpen) {
  struct Row {
    const char* name;
    bool keep;
  };
  for (const Row& row :
       {Row{"kept (host-behaviour.md: Edits the plug-in left open are closed with the command)",
            true},
        Row{"dropped (host-behaviour.md: EndCommand(false) puts the documents back)", false}}) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = Score(host);
    const RecordStore original = document.records;
    ASSERT_TRUE(host.BeginCommand("cmd"));
    ASSERT_TRUE(host.StartEdit("left open"));
    ASSERT_TRUE(host.StartEdit("also left open"));
    EditEverything(document);
    const RecordStore edited = document.records;
    ASSERT_TRUE(host.EndCommand(row.keep));
    EXPECT_TRUE(host.OpenEdits().empty());
    EXPECT_TRUE(document.records == (row.keep ? edited : original));
    EXPECT_EQ(document.undoSteps.size(), row.keep ? 1u : 0u);
  }
}

TEST(HostEdit, EndAndCancelWithoutAnOpenEditFail) {
  Host host;
  Score(host);
  // Straight to the host: the bridge would not pass these on with no edit open.
  const uint64_t version[] = {static_cast<uint32_t>(kVersion)};
  EXPECT_EQ(host.Dispatch(Fn::FX_EndFinaleEdit, version, 1), 0);
  EXPECT_EQ(host.Dispatch(Fn::FX_CancelFinaleEdit, version, 1), 0);
  EXPECT_FALSE(host.EndCommand());

  Host empty;  // no document: nothing to edit
  EXPECT_FALSE(empty.StartEdit("x"));
  EXPECT_FALSE(empty.BeginCommand("x"));
}

TEST(HostEdit, EditOverSeveralDocumentsUndoesEachOnItsOwn) {
  Host host;
  Document& first = Score(host);
  Document& second = Score(host);
  const RecordStore firstBefore = first.records, secondBefore = second.records;
  ASSERT_TRUE(host.SetCurrentDocument(first.number));
  ASSERT_TRUE(host.StartEdit("both"));
  EditEverything(first);
  EditEverything(second);
  ASSERT_TRUE(host.CancelEdit());
  EXPECT_TRUE(first.records == firstBefore);
  EXPECT_TRUE(second.records == secondBefore);

  ASSERT_TRUE(host.StartEdit("both"));
  EditEverything(second);
  ASSERT_TRUE(host.EndEdit());
  EXPECT_EQ(first.undoSteps.size(), 1u) << "current when it opened";
  EXPECT_EQ(second.undoSteps.size(), 1u) << "changed by it";
  ASSERT_TRUE(host.StartEdit("open"));
  EXPECT_FALSE(host.Undo()) << "no undo while an edit is open";
  ASSERT_TRUE(host.CancelEdit());
  ASSERT_TRUE(host.SetCurrentDocument(second.number));
  EXPECT_TRUE(host.Undo());
  EXPECT_TRUE(second.records == secondBefore);
}

}  // namespace
}  // namespace fxthost
