// The walks, the search and the sort of a collection, seen from the handler: which
// objects each operation is shown, in which order, and what the answers do.
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "framework/core/collection.h"

namespace {

// An element named by one letter; letters that differ only in case compare equal.
struct Item : __FCBase {
  explicit Item(char n) : name(n) {}
  char name;
};

char NameOf(__FCBase* object) { return object ? static_cast<Item*>(object)->name : '-'; }

// Each letter of the pattern an element, '-' a null element.
void Fill(__FCCollection& collection, const std::string& pattern) {
  for (char c : pattern) collection.Add(c == '-' ? nullptr : new Item(c));
}

std::string Names(const __FCCollection& collection) {
  std::string out;
  for (int i = 0; i < collection.GetCount(); ++i) out += NameOf(collection.GetItemAt(i));
  return out;
}

// Answers from a script (true once it runs out), matches the given letters, and writes
// down what it was shown.
struct Recorder : FCIteratorHandler {
  std::vector<bool> answers;
  std::string matches;
  std::string seen;

  bool Next() {
    if (answers.empty()) return true;
    bool answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  bool Iterate(__FCBase* object) override {
    seen += NameOf(object);
    return Next();
  }
  bool IterateWithIndex(__FCBase* object, int index) override {
    seen += NameOf(object) + std::to_string(index);
    return Next();
  }
  bool IsMatch(__FCBase* object) override {
    seen += NameOf(object);
    return matches.find(NameOf(object)) != std::string::npos;
  }
};

TEST(CollectionWalk, SkipsNullsAndStopsAtTheFirstFalse) {
  // start < 0 in a row means ForEach; otherwise ToEndFrom(start).
  struct Row {
    const char* elements;
    int start;
    std::vector<bool> answers;
    const char* seen;
    int result;
  };
  const Row rows[] = {
      {"P-Q", -1, {true, false}, "PQ", 1},
      {"", -1, {}, "", 0},
      {"PQR", -1, {false}, "P", 0},
      {"--", -1, {}, "", 0},
      {"PQR", 0, {}, "PQR", 3},
      {"PQR", 1, {}, "QR", 2},
      {"PQR", 3, {}, "", 0},
      {"PQR", 9, {}, "", 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.elements << " from " << row.start);
    __FCCollection collection;
    Fill(collection, row.elements);
    Recorder handler;
    handler.answers = row.answers;
    int result =
        row.start < 0 ? collection.ForEach(&handler) : collection.ToEndFrom(row.start, &handler);
    EXPECT_EQ(row.result, result);
    EXPECT_EQ(row.seen, handler.seen);
  }

  __FCCollection collection;
  Fill(collection, "P-QR");
  Recorder handler;
  handler.answers = {true, true, false};
  EXPECT_EQ(2, collection.ForEachIndex(&handler));
  EXPECT_EQ("P0Q2R3", handler.seen);
}

TEST(CollectionWalk, FollowsElementsTheHandlerAddsOrRemoves) {
  // On P the handler appends X and removes Q, so the walk goes P R X.
  struct Editing : Recorder {
    __FCCollection* collection = nullptr;
    bool Iterate(__FCBase* object) override {
      if (NameOf(object) == 'P') {
        collection->Add(new Item('X'));
        __FCBase* q = collection->GetItemAt(1);
        collection->DeleteItemAt(1);
        delete q;
      }
      return Recorder::Iterate(object);
    }
  };
  __FCCollection collection;
  Fill(collection, "PQR");
  Editing handler;
  handler.collection = &collection;
  EXPECT_EQ(3, collection.ForEach(&handler));
  EXPECT_EQ("PRX", handler.seen);
}

TEST(CollectionSearch, FindFirstReturnsTheFirstMatchAndAsksNoFurther) {
  struct Row {
    const char* elements;
    const char* matches;
    char found;
    const char* asked;
  };
  const Row rows[] = {
      {"PQR", "QR", 'Q', "PQ"},
      {"-PQ", "Q", 'Q', "PQ"},
      {"PQR", "", '-', "PQR"},
      {"", "P", '-', ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.elements);
    __FCCollection collection;
    Fill(collection, row.elements);
    Recorder handler;
    handler.matches = row.matches;
    EXPECT_EQ(row.found, NameOf(collection.FindFirst(&handler)));
    EXPECT_EQ(row.asked, handler.seen);
  }
}

// Compares letters without case and writes each call down as "first:second".
struct ByLetter : FCIteratorHandler {
  std::string calls;
  int Compare(__FCBase* first, __FCBase* second) override {
    calls += std::string(calls.empty() ? "" : " ") + NameOf(first) + ":" + NameOf(second);
    return std::tolower(NameOf(first)) - std::tolower(NameOf(second));
  }
};

TEST(CollectionSort, ComparesEveryPairOnceAndSwapsWhenAboveZero) {
  struct Row {
    const char* before;
    const char* after;
    const char* calls;
  };
  const Row rows[] = {
      {"cab", "abc", "c:a a:b c:b"},
      {"bBa", "aBb", "b:B b:a B:b"},  // equal elements may change
                                      // places (B1 B2 A)
      {"c-a", "a-c", "c:a"},          // the null is never compared nor moved
      {"-ca", "-ac", "c:a"},
      {"abc", "abc", "a:b a:c b:c"},
      {"x", "x", ""},
      {"", "", ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.before);
    __FCCollection collection;
    Fill(collection, row.before);
    ByLetter handler;
    collection.Sort(&handler);
    EXPECT_EQ(row.after, Names(collection));
    EXPECT_EQ(row.calls, handler.calls);
  }
}

TEST(CollectionSort, SurvivesACompareThatShrinksTheCollection) {
  // The first Compare removes and destroys the last element; the sort must not move a
  // slot past the new count, nor lose or repeat an element.
  struct Shrinking : ByLetter {
    __FCCollection* collection = nullptr;
    int Compare(__FCBase* first, __FCBase* second) override {
      if (calls.empty()) {
        int last = collection->GetCount() - 1;
        __FCBase* element = collection->GetItemAt(last);
        collection->DeleteItemAt(last);
        delete element;
      }
      return ByLetter::Compare(first, second);
    }
  };
  __FCCollection collection;
  Fill(collection, "dcba");
  Shrinking handler;
  handler.collection = &collection;
  collection.Sort(&handler);
  EXPECT_EQ("bcd", Names(collection));
}

}  // namespace
