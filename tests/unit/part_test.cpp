// Linked parts and open documents through the framework, against the emulated host:
// the lists the host gives (and a host that never ends them), and walks that make each
// part or document current and put the previous one back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "framework/core/iterator.h"
#include "framework/score/document.h"
#include "framework/score/part.h"
#include "framework/score/staff.h"
#include "framework/text/fcstring.h"
#include "host/host.h"
#include "tests/unit/host_score_fixture.h"

namespace {

using fxthost::Document;
using fxthost::Fn;
using fxthost::Host;

// Records what each Iterate saw (the object's id and the host's current part and
// document at that moment) and answers false at call stopAt (1 = the first).
class Recorder : public FCIteratorHandler {
 public:
  explicit Recorder(int stopAt = 0, bool before = true) : _stopAt(stopAt), _before(before) {}
  bool BeforeIteration() override { return _before; }
  bool Iterate(__FCBase* object) override {
    const FCPart* part = dynamic_cast<const FCPart*>(object);
    const FCDocument* document = dynamic_cast<const FCDocument*>(object);
    ids.push_back(part ? part->GetID() : document->GetID());
    currentParts.push_back(FX_GetCurrentPartID(kVersion));
    currentDocuments.push_back(FX_GetCurrentEnigmaDocument(kVersion));
    if (document && change) change(*this);
    return static_cast<int>(ids.size()) != _stopAt;
  }
  void AfterIteration() override { ++afters; }

  static constexpr int32_t kVersion = 0x11000000;
  std::vector<int> ids, currentParts, currentDocuments;
  int afters = 0;
  void (*change)(Recorder&) = nullptr;

 private:
  int _stopAt;
  bool _before;
};

std::string Ids(const __FCCollection& collection) {
  std::string text;
  for (int i = 0; i < collection.GetCount(); ++i) {
    const FCPart* part = dynamic_cast<const FCPart*>(collection.GetItemAt(i));
    const FCDocument* document = dynamic_cast<const FCDocument*>(collection.GetItemAt(i));
    text += (text.empty() ? "" : " ") + std::to_string(part ? part->GetID() : document->GetID());
  }
  return text;
}

Document& DocumentWithParts(Host& host, std::initializer_list<Document::Part> parts) {
  Document& document = host.NewDocument();
  document.parts.extracted.assign(parts.begin(), parts.end());
  return document;
}

TEST(Parts, LoadAllGivesTheScoreAndThePartsInTheHostsOrder) {
  Host host;
  DocumentWithParts(host, {});
  FCParts parts;
  parts.LoadAll();
  EXPECT_EQ(Ids(parts), "0");
  ASSERT_NE(parts.GetScore(), nullptr);
  EXPECT_EQ(parts.GetScore(), parts.GetItemAt(0));
  EXPECT_EQ(parts.GetCurrent(), parts.GetScore());

  Document& document = DocumentWithParts(host, {{7, "Violin I", ""}, {2, "Viola", ""}});
  document.parts.current = 2;
  parts.LoadAll();
  EXPECT_EQ(Ids(parts), "0 7 2");
  EXPECT_EQ(parts.GetItemAt(1)->GetDocumentID(), document.number);
  EXPECT_EQ(parts.GetCurrent(), parts.GetItemAt(2));
}

// Hosts that answer something else than the end again and again.
intptr_t AlwaysThree(Host&, const uint64_t*) { return 3; }
intptr_t AlwaysCurrent(Host&, const uint64_t*) { return -1; }

TEST(Parts, LoadAllEndsAtAnIdThatComesAgain) {
  Host host;
  DocumentWithParts(host, {{3, "Oboe", ""}});
  FCParts parts;
  host.SetBehaviour(Fn::FX_GetNextPartID, nullptr);  // answers 0: the score again
  parts.LoadAll();
  EXPECT_EQ(Ids(parts), "0");
  host.SetBehaviour(Fn::FX_GetNextPartID, AlwaysThree);
  parts.LoadAll();
  EXPECT_EQ(Ids(parts), "0 3");
}

TEST(Parts, WalkMakesEachPartCurrentAndPutsThePreviousBack) {
  struct Row {
    const char* name;
    int stopAt;
    bool before;
    std::vector<int> seen;  // the current part during each Iterate
    int result, afters;
  } rows[] = {
      {"whole walk", 0, true, {0, 7, 2}, 3, 1},
      {"stopped at the second part", 2, true, {0, 7}, 1, 1},
      {"BeforeIteration false", 0, false, {}, 0, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = DocumentWithParts(host, {{7, "Violin I", ""}, {2, "Viola", ""}});
    document.parts.current = 2;
    FCParts parts;
    parts.LoadAll();
    Recorder handler(row.stopAt, row.before);
    EXPECT_EQ(parts.ForEachWithScope(&handler), row.result);
    EXPECT_EQ(handler.currentParts, row.seen);
    EXPECT_EQ(handler.afters, row.afters);
    EXPECT_EQ(document.parts.current, 2) << "the part current before is current again";
    for (int i = 0; i < parts.GetCount(); ++i)
      EXPECT_EQ(parts.GetItemAt(i)->_GetSavedPartID(), FCPart::NO_SAVED_PART);
  }
}

TEST(Parts, PartsOfAnotherDocumentAreWalkedWithoutBeingMadeCurrent) {
  Host host;
  Document& first = DocumentWithParts(host, {{4, "Flute", ""}});
  FCParts firstParts;
  firstParts.LoadAll();
  Document& second = DocumentWithParts(host, {{4, "Flute", ""}});
  second.parts.current = 4;
  FCParts secondParts;
  secondParts.LoadAll();
  EXPECT_FALSE(firstParts.GetItemAt(1)->IsIdentical(secondParts.GetItemAt(1)));
  EXPECT_TRUE(secondParts.GetItemAt(1)->IsIdentical(secondParts.GetItemAt(1)));
  EXPECT_EQ(firstParts.GetCurrent(), nullptr) << "its document is not current";

  Recorder handler;
  EXPECT_EQ(firstParts.ForEachWithScope(&handler), 2);
  EXPECT_EQ(handler.currentParts, (std::vector<int>{4, 4}));
  EXPECT_EQ(handler.currentDocuments, (std::vector<int>{second.number, second.number}));
  EXPECT_TRUE(host.CallsTo(Fn::FX_SetCurrentPartID).empty());
  EXPECT_EQ(first.parts.current, 0);
}

TEST(Parts, NameComesFromTheHostWhenItCanNameParts) {
  Host host;
  DocumentWithParts(host, {{1, "Violin I", ""}});
  const uint32_t saved = GetFinaleFrameworkVersion();
  struct Row {
    uint32_t version;
    short part;
    const char* name;
  } rows[] = {{0x11000000, 1, "Violin I"},
              {0x11000000, 0, "Score"},
              {0x11000000, 9, ""},  // a part the host does not know
              {0x10FFFFFF, 1, "Not available (due to a bug)"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.version) + " part " + std::to_string(row.part));
    SetFinaleFrameworkVersion(row.version);
    FCPart part(row.part, 1);
    EXPECT_STREQ(part.GetName()->GetCString(), row.name);
  }
  SetFinaleFrameworkVersion(saved);
}

TEST(Documents, LoadAllListsTheOpenDocumentsAndEndsAtOneThatComesAgain) {
  Host host;
  host.NewDocument();
  host.NewDocument();
  host.NewDocument();
  host.SetCurrentDocument(2);
  FCDocuments documents;
  documents.LoadAll();
  EXPECT_EQ(Ids(documents), "1 2 3");
  host.SetBehaviour(Fn::FX_GetNextEnigmaDocument, AlwaysCurrent);  // -1: the current one
  documents.LoadAll();
  EXPECT_EQ(Ids(documents), "2");
  host.SetBehaviour(Fn::FX_GetNextEnigmaDocument, AlwaysThree);
  documents.LoadAll();
  EXPECT_EQ(Ids(documents), "3");
}

// Changes a staff record of the document the handler is in.
void RenameStaff(Recorder&) {
  FCStaff staff;
  ASSERT_TRUE(staff.Load(1));
  staff.SetFullNameID(static_cast<unsigned short>(staff.GetFullNameID() + 1));
  ASSERT_TRUE(staff.Save());
}

TEST(Documents, WalkChangesEachDocumentInAnUndoStepOfItsOwn) {
  struct Row {
    const char* name;
    const char* undoName;
    int stopAt;
    std::vector<int> seen;
    int result;
    const char* step;  // the undo step of each document the handler saw
  } rows[] = {
      {"no undo name", nullptr, 0, {1, 2}, 2, "Plug-in Edit"},
      {"undo name", "Renumber", 0, {1, 2}, 2, "Renumber"},
      {"stopped at the first", nullptr, 1, {1}, 0, "Plug-in Edit"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document* documents[] = {&fxthost::testing::MakeScore(host, 2, {1}, "a"),
                             &fxthost::testing::MakeScore(host, 2, {1}, "b")};
    documents[1]->parts.extracted = {{5, "Horn", ""}};
    documents[1]->parts.current = 5;
    FCDocuments walk;
    walk.LoadAll();
    Recorder handler(row.stopAt);
    handler.change = RenameStaff;
    EXPECT_EQ(walk.ForEachWithScope(&handler, row.undoName), row.result);
    EXPECT_EQ(handler.currentDocuments, row.seen) << "each document current in its turn";
    EXPECT_EQ(host.CurrentDocument(), documents[1]) << "the current one is current again";
    EXPECT_EQ(documents[1]->parts.current, 5);
    for (size_t d = 0; d < 2; ++d) {
      Document& document = *documents[d];
      if (d < row.seen.size()) {
        ASSERT_EQ(document.undoSteps.size(), 1u);
        EXPECT_EQ(document.undoSteps[0].name, row.step);
      } else {
        EXPECT_TRUE(document.undoSteps.empty());
      }
    }
    EXPECT_TRUE(host.OpenEdits().empty());
  }
}

TEST(Documents, ADocumentThatCannotBeMadeCurrentIsPassedOver) {
  Host host;
  host.NewDocument();
  host.NewDocument();
  FCDocuments documents;
  documents.LoadAll();
  documents.InsertItemAt(new FCDocument(9), 1);  // not open
  Recorder handler;
  EXPECT_EQ(documents.ForEachWithScope(&handler), 2);
  EXPECT_EQ(handler.ids, (std::vector<int>{1, 2}));
  EXPECT_EQ(host.CurrentDocument()->number, 2);
  EXPECT_EQ(host.CallsTo(Fn::FX_StartFinaleEdit).size(), 2u) << "no edit for document 9";
}

TEST(Documents, PartsWalkedInsideEachDocumentAreAllPutBack) {
  Host host;
  Document& a = DocumentWithParts(host, {{1, "Flute", ""}});
  Document& b = DocumentWithParts(host, {{1, "Oboe", ""}, {2, "Horn", ""}});
  b.parts.current = 2;
  FCDocuments documents;
  documents.LoadAll();
  Recorder handler;
  handler.change = [](Recorder& outer) {
    FCParts parts;
    parts.LoadAll();
    Recorder inner;
    parts.ForEachWithScope(&inner);
    outer.ids.insert(outer.ids.end(), inner.currentParts.begin(), inner.currentParts.end());
  };
  EXPECT_EQ(documents.ForEachWithScope(&handler), 2);
  EXPECT_EQ(handler.ids, (std::vector<int>{a.number, 0, 1, b.number, 0, 1, 2}));
  EXPECT_EQ(a.parts.current, 0);
  EXPECT_EQ(b.parts.current, 2);
  EXPECT_EQ(host.CurrentDocument(), &b);
}

TEST(Documents, PathComesFromTheHost) {
  Host host;
  Document& document = host.NewDocument();
  document.path = "/scores/quartet.json";
  FCString path("stale");
  FCDocument(static_cast<short>(document.number)).GetPath(&path);
  EXPECT_STREQ(path.GetCString(), "/scores/quartet.json");
  FCDocument(9).GetPath(&path);
  EXPECT_STREQ(path.GetCString(), "") << "a document the host does not know";
}

}  // namespace
