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
#include "host/functions/host.h"
#include "tests/support/host_score_fixture.h"

namespace {

using fxthost::Document;
using fxthost::Fn;
using fxthost::Host;
using fxthost::testing::kVersion;

// Records the host's current part (or, for documents, the current document) during each
// Iterate, answers false at call stopAt (1 = the first), and runs work in each document.
class Recorder : public FCIteratorHandler {
 public:
  explicit Recorder(int stopAt = 0, bool before = true) : _stopAt(stopAt), _before(before) {}
  bool BeforeIteration() override { return _before; }
  bool Iterate(__FCBase* object) override {
    const bool document = dynamic_cast<FCDocument*>(object) != nullptr;
    seen.push_back(document ? FX_GetCurrentEnigmaDocument(kVersion)
                            : FX_GetCurrentPartID(kVersion));
    if (document && work) work(this);
    return ++_calls != _stopAt;
  }
  void AfterIteration() override { ++afters; }

  std::vector<int> seen;
  int afters = 0;
  void (*work)(Recorder*) = nullptr;

 private:
  int _stopAt, _calls = 0;
  bool _before;
};

template <typename Collection>
std::string Ids(const Collection& collection) {
  std::string text;
  for (int i = 0; i < collection.GetCount(); ++i)
    text += (i ? " " : "") + std::to_string(collection.GetItemAt(i)->GetID());
  return text;
}

Document& DocumentWithParts(Host& host, std::vector<Document::Part> parts, int16_t current = 0) {
  Document& document = fxthost::testing::MakeScore(host, 2, {1});
  document.parts.extracted = parts;
  document.parts.current = current;
  return document;
}

// Hosts that answer something other than the end again and again.
intptr_t AlwaysThree(Host&, const uint64_t*) { return 3; }
intptr_t AlwaysCurrent(Host&, const uint64_t*) { return -1; }
intptr_t AsIfMissing(Host&, const uint64_t*) { return 0; }

TEST(Parts, LoadAllEndsAtTheHostsEndOrAtAnIdThatComesAgain) {
  struct Row {
    const char* name;
    std::vector<Document::Part> parts;
    fxthost::Behaviour next;  // null: the host's own
    const char* ids;
  } rows[] = {
      // clang-format off
      {"no extracted parts (host-documents.md: until the host answers -1)", {}, nullptr, "0"},
      {"parts in the host's order (host-documents.md: until the host answers -1)",
       {{7, "Violin I", ""}, {2, "Viola", ""}}, nullptr, "0 7 2"},
      {"a host answering 0 (the score) for ever (host-documents.md: comes a second time)",
       {{3, "Oboe", ""}}, AsIfMissing, "0"},
      {"a host answering 3 for ever (host-documents.md: comes a second time)",
       {{3, "Oboe", ""}}, AlwaysThree, "0 3"},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = DocumentWithParts(host, row.parts);
    if (row.next) host.SetBehaviour(Fn::FX_GetNextPartID, row.next);
    FCParts parts;
    parts.LoadAll();
    EXPECT_EQ(Ids(parts), row.ids);
    EXPECT_EQ(parts.GetScore(), parts.GetItemAt(0));
    EXPECT_EQ(parts.GetItemAt(0)->GetDocumentID(), document.number);
    EXPECT_EQ(parts.GetCurrent(), parts.GetScore());
  }
}

TEST(Parts, WalkMakesEachPartCurrentAndPutsThePreviousBack) {
  struct Row {
    const char* name;
    int stopAt;
    bool before;
    std::vector<int> seen;  // the current part during each Iterate
    int result, afters;
  } rows[] = {
      // clang-format off
      {"whole walk (host-documents.md: puts the part that was current back)",
       0, true, {0, 7, 2}, 3, 1},
      {"stopped at the second part (host-documents.md: the part at which the handler stops)",
       2, true, {0, 7}, 1, 1},
      {"BeforeIteration false", 0, false, {}, 0, 0},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = DocumentWithParts(host, {{7, "Violin I", ""}, {2, "Viola", ""}}, 2);
    FCParts parts;
    parts.LoadAll();
    EXPECT_EQ(parts.GetCurrent(), parts.GetItemAt(2));
    Recorder handler(row.stopAt, row.before);
    EXPECT_EQ(parts.ForEachWithScope(&handler), row.result);
    EXPECT_EQ(handler.seen, row.seen);
    EXPECT_EQ(handler.afters, row.afters);
    EXPECT_EQ(document.parts.current, 2) << "the part current before is current again";
  }
}

TEST(Parts, APartThatCannotBeMadeCurrentIsPassedOver) {
  struct Row {
    const char* name;
    bool removeViolin;           // part 7 removed from the document after the list was made
    fxthost::Behaviour setPart;  // null: the host's own
    std::vector<int> seen;
    int result;
  } rows[] = {
      // clang-format off
      {"a part removed since the list was made (host-documents.md: is passed over)",
       true, nullptr, {0, 2}, 2},
      {"a host that refuses every switch (host-documents.md: not taken as refusing)",
       false, AsIfMissing, {2}, 1},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document& document = DocumentWithParts(host, {{7, "Violin I", ""}, {2, "Viola", ""}}, 2);
    FCParts parts;
    parts.LoadAll();
    if (row.removeViolin) document.parts.extracted.erase(document.parts.extracted.begin());
    if (row.setPart) host.SetBehaviour(Fn::FX_SetCurrentPartID, row.setPart);
    Recorder handler;
    EXPECT_EQ(parts.ForEachWithScope(&handler), row.result);
    EXPECT_EQ(handler.seen, row.seen);
    EXPECT_EQ(handler.afters, 1);
    EXPECT_EQ(document.parts.current, 2) << "the part current before is current still";
  }
}

// host-documents.md, The framework's walks: parts of another document are passed to the
// handler as they are.
TEST(Parts, PartsOfAnotherDocumentAreWalkedWithoutBeingMadeCurrent) {
  Host host;
  Document& first = DocumentWithParts(host, {{4, "Flute", ""}});
  FCParts firstParts;
  firstParts.LoadAll();
  DocumentWithParts(host, {{4, "Flute", ""}}, 4);
  FCParts secondParts;
  secondParts.LoadAll();
  EXPECT_FALSE(firstParts.GetItemAt(1)->IsIdentical(secondParts.GetItemAt(1)));
  EXPECT_TRUE(secondParts.GetItemAt(1)->IsIdentical(secondParts.GetItemAt(1)));
  Recorder handler;
  EXPECT_EQ(firstParts.ForEachWithScope(&handler), 2);
  EXPECT_EQ(handler.seen, (std::vector<int>{4, 4})) << "the second document's part";
  EXPECT_TRUE(host.CallsTo(Fn::FX_SetCurrentPartID).empty());
  EXPECT_EQ(first.parts.current, 0);
}

// Two documents whose current parts share an id: only the current document's list has a
// current part.
TEST(Parts, CurrentIsTheHostsCurrentPartOfTheCurrentDocument) {
  Host host;
  Document& first = DocumentWithParts(host, {{4, "Flute", ""}}, 4);
  FCParts firstParts;
  firstParts.LoadAll();
  Document& second = DocumentWithParts(host, {{4, "Flute", ""}}, 4);
  FCParts secondParts;
  secondParts.LoadAll();
  const struct {
    const Document& current;
    FCPart *firstCurrent, *secondCurrent;
  } rows[] = {{first, firstParts.GetItemAt(1), nullptr},
              {second, nullptr, secondParts.GetItemAt(1)}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.current.number);
    host.SetCurrentDocument(row.current.number);
    EXPECT_EQ(firstParts.GetCurrent(), row.firstCurrent);
    EXPECT_EQ(secondParts.GetCurrent(), row.secondCurrent);
  }
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

TEST(Documents, LoadAllEndsAtTheHostsEndOrAtADocumentThatComesAgain) {
  // host-documents.md, The framework's walks: until the host answers 0 (-1 stands for the
  // current document), or at the first id that comes a second time.
  const struct {
    fxthost::Behaviour next;
    const char* ids;
  } rows[] = {{nullptr, "1 2 3"}, {AlwaysCurrent, "2"}, {AlwaysThree, "3"}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.ids);
    Host host;
    for (int i = 0; i < 3; ++i) host.NewDocument();
    host.SetCurrentDocument(2);
    if (row.next) host.SetBehaviour(Fn::FX_GetNextEnigmaDocument, row.next);
    FCDocuments documents;
    documents.LoadAll();
    EXPECT_EQ(Ids(documents), row.ids);
  }
}

// In each document: a staff record changed, and a walk over the document's parts.
void ChangeAndWalkParts(Recorder* outer) {
  FCStaff staff;
  ASSERT_TRUE(staff.Load(1));
  staff.SetFullNameID(static_cast<unsigned short>(staff.GetFullNameID() + 1));
  ASSERT_TRUE(staff.Save());
  FCParts parts;
  parts.LoadAll();
  Recorder inner;
  parts.ForEachWithScope(&inner);
  outer->seen.insert(outer->seen.end(), inner.seen.begin(), inner.seen.end());
}

TEST(Documents, WalkChangesEachDocumentInAnUndoStepOfItsOwnAndPutsAllBack) {
  struct Row {
    const char* name;
    const char* undoName;
    int stopAt;
    std::vector<int> seen;  // documents, each followed by the parts walked in it
    int result;
    const char* step;
  } rows[] = {
      // clang-format off
      {"no undo name (host-documents.md: Plug-in Edit when it is given no name)",
       nullptr, 0, {1, 0, 2, 0, 5}, 2, "Plug-in Edit"},
      {"undo name (host-documents.md: opens an edit named for the walk)",
       "Renumber", 0, {1, 0, 2, 0, 5}, 2, "Renumber"},
      {"stopped at the first (host-documents.md: closes the edit whatever the handler answered)",
       nullptr, 1, {1, 0}, 0, "Plug-in Edit"},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    Document* documents[] = {&DocumentWithParts(host, {}),
                             &DocumentWithParts(host, {{5, "Horn", ""}}, 5)};
    FCDocuments walk;
    walk.LoadAll();
    Recorder handler(row.stopAt);
    handler.work = ChangeAndWalkParts;
    EXPECT_EQ(walk.ForEachWithScope(&handler, row.undoName), row.result);
    EXPECT_EQ(handler.seen, row.seen);
    EXPECT_EQ(host.CurrentDocument(), documents[1]) << "the current one is current again";
    EXPECT_EQ(documents[1]->parts.current, 5);
    EXPECT_TRUE(host.OpenEdits().empty());
    for (int d = 0; d < 2; ++d) {
      SCOPED_TRACE(d);
      const bool walked = row.stopAt == 0 || d == 0;
      ASSERT_EQ(documents[d]->undoSteps.size(), walked ? 1u : 0u);
      if (walked) {
        EXPECT_EQ(documents[d]->undoSteps[0].name, row.step);
      }
    }
  }
}

// host-documents.md, The framework's walks: the handler is not called for it, no edit is
// opened, it is not counted.
TEST(Documents, ADocumentThatCannotBeMadeCurrentIsPassedOver) {
  Host host;
  host.NewDocument();
  host.NewDocument();
  FCDocuments documents;
  documents.LoadAll();
  documents.InsertItemAt(new FCDocument(9), 1);  // not open
  Recorder handler;
  EXPECT_EQ(documents.ForEachWithScope(&handler), 2);
  EXPECT_EQ(handler.seen, (std::vector<int>{1, 2}));
  EXPECT_EQ(host.CurrentDocument()->number, 2);
  EXPECT_EQ(host.CallsTo(Fn::FX_StartFinaleEdit).size(), 2u) << "no edit for document 9";
}

TEST(Documents, PathIsTheHostsWithinItsBuffer) {
  Host host;
  struct Row {
    const char* name;
    std::string path;  // the document's, UTF-8
    std::u16string expected;
  } rows[] = {
      {"path (host-documents.md: the document's path as UTF-16 with a 0 unit)",
       "/scores/Fl\xC3\xBBte.json", u"/scores/Fl\u00FBte.json"},
      {"longer than the buffer (host-documents.md: a path of more than 259 units)",
       "/" + std::string(259, 'a'), u""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document& document = host.NewDocument();
    document.path = row.path;
    FCString path("stale");
    FCDocument(static_cast<short>(document.number)).GetPath(&path);
    std::u16string got;
    for (int i = 0; i < path.GetLength(); ++i) got += static_cast<char16_t>(path.GetItemAt(i));
    EXPECT_EQ(got, row.expected);
  }
}

}  // namespace
