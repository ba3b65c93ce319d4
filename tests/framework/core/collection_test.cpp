// The base collection: growth of the element array, insertion, removal, ownership of the
// elements, the finders, the typed access of FCStrings, and the typed access and
// range-for every collection class of the framework has (FCCollectionOf).
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "framework/core/collection.h"
#include "framework/finaleframework.h"
#include "framework/text/fcstring.h"

namespace {

// An element that knows its name and counts its destructions.
struct Named : __FCBase {
  Named(char n, int* destroyed = nullptr) : name(n), destroyed(destroyed) {}
  ~Named() override {
    if (destroyed) ++*destroyed;
  }
  char name;
  int* destroyed;
};

// Each letter of the pattern an element, '-' a null element.
void Fill(__FCCollection& collection, const std::string& pattern, int* destroyed = nullptr) {
  for (char c : pattern) collection.Add(c == '-' ? nullptr : new Named(c, destroyed));
}

std::string Names(const __FCCollection& collection) {
  std::string out;
  for (int i = 0; i < collection.GetCount(); ++i) {
    const Named* element = static_cast<const Named*>(collection.GetItemAt(i));
    out += element ? element->name : '-';
  }
  return out;
}

TEST(CollectionGrowth, ArrayGrowsInStepsOfTenPastWhatIsNeeded) {
  // count adds, then _RequireElement(more). framework-behaviour.md, Cells, regions and
  // collections: steps of 10 slots while a collection holds fewer than 100 elements.
  struct Row {
    int count;
    int more;
    bool ok;
    int capacity;
  };
  const Row rows[] = {
      {1, 0, true, 10},
      {10, 0, true, 10},
      {11, 0, true, 20},
      {21, 0, true, 30},
      {0, 10, true, 20},  // 10 needed: strictly above, so 20
      {0, 9, true, 10},
      {0, 0, true, 0},
      {0, -3, true, 0},
      {3, 25, true, 30},
      {0, INT_MAX, false, 0},  // the capacity would overflow: refused, unchanged
      {1, INT_MAX - 10, false, 10},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "count " << row.count << " more " << row.more);
    __FCCollection collection;
    Fill(collection, std::string(static_cast<size_t>(row.count), 'a'));
    EXPECT_EQ(row.ok, collection._RequireElement(row.more));
    EXPECT_EQ(row.capacity, collection.GetCapacity());
    EXPECT_EQ(row.count, collection.GetCount());
  }
}

TEST(CollectionGrowth, LargeCollectionsGrowByHalfTheirCount) {
  // Steps of 10 up to 100 elements, then by half the count (framework-behaviour.md, Cells,
  // regions and collections): filling 100000 elements grows the array a bounded number of
  // times, not once per 10 elements.
  __FCCollection collection;
  int growths = 0;
  int capacity = 0;
  for (int i = 0; i < 100000; ++i) {
    ASSERT_TRUE(collection.Add(nullptr));
    if (collection.GetCapacity() != capacity) ++growths;
    capacity = collection.GetCapacity();
    if (i + 1 == 100) {
      EXPECT_EQ(capacity, 100);
    }
    if (i + 1 == 101) {
      EXPECT_EQ(capacity, 160);
    }
  }
  EXPECT_LT(growths, 40);
  EXPECT_TRUE(collection.InsertItemAt(nullptr, 0));
  EXPECT_EQ(collection.GetCount(), 100001);
}

TEST(CollectionInsert, PutsTheObjectAtTheIndexOrAppendsPastTheEnd) {
  struct Row {
    const char* before;
    int index;
    bool taken;
    const char* after;
  };
  const Row rows[] = {
      {"PQ", 0, true, "xPQ"},   {"PQR", 1, true, "PxQR"},
      {"PQR", 3, true, "PQRx"}, {"PQR", 5, true, "PQRx"},
      {"", 7, true, "x"},       {"abcdefghij", 0, true, "xabcdefghij"},  // a full array grows
      {"PQ", -1, false, "PQ"},                                           // refused: nothing changes
      {"", INT_MIN, false, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << row.before << " at " << row.index);
    __FCCollection collection;
    Fill(collection, row.before);
    Named* x = new Named('x');
    EXPECT_EQ(row.taken, collection.InsertItemAt(x, row.index));
    EXPECT_EQ(row.after, Names(collection));
    if (!row.taken) delete x;  // a refused object stays the caller's
  }
}

TEST(CollectionDelete, HandsTheElementBackAndEveryOtherIsDestroyedOnce) {
  struct Row {
    int index;
    bool ok;
    const char* after;
  };
  const Row rows[] = {{0, true, "QR-"},
                      {1, true, "PR-"},
                      {4, false, "PQR-"},
                      {-1, false, "PQR-"},
                      {INT_MIN, false, "PQR-"}};
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "index " << row.index);
    int destroyed = 0;
    __FCBase* removed = nullptr;
    {
      __FCCollection collection;
      Fill(collection, "PQR-", &destroyed);
      removed = collection.GetItemAt(row.index);
      EXPECT_EQ(row.ok, collection.DeleteItemAt(row.index));
      EXPECT_EQ(row.after, Names(collection));
      EXPECT_EQ(row.ok, removed != nullptr);
      EXPECT_FALSE(row.ok && collection.ElementExists(removed));
    }
    EXPECT_EQ(row.ok ? 2 : 3, destroyed);
    delete removed;  // the caller took it over
  }
}

TEST(CollectionFinders, MatchPointersAndUserDataSkippingNullElements) {
  int a = 0;
  int b = 0;
  __FCCollection collection;
  Fill(collection, "-PQR");
  __FCBase* p = collection.GetItemAt(1);
  __FCBase* q = collection.GetItemAt(2);
  p->SetUserData(&a);
  collection.GetItemAt(3)->SetUserData(&a);

  EXPECT_EQ(p, collection.FindUserData(&a)) << "the first of two";
  EXPECT_EQ(q, collection.FindUserData(nullptr)) << "a null slot has no user data";
  EXPECT_EQ(nullptr, collection.FindUserData(&b));
  EXPECT_EQ(2, collection.GetIndexOf(q));
  Named stranger('S');
  EXPECT_EQ(-1, collection.GetIndexOf(&stranger));
}

TEST(StringsCollection, GetItemAtGivesStringsOnly) {
  FCStrings strings;
  strings.Add(new FCString("one"));
  strings.Add(new Named('x'));
  ASSERT_NE(nullptr, strings.GetItemAt(0));
  EXPECT_STREQ("one", strings.GetItemAt(0)->GetCString());
  EXPECT_EQ(nullptr, strings.GetItemAt(1)) << "an element of another class";
  EXPECT_EQ(nullptr, strings.GetItemAt(2));
}

// A new element of class E (those without a default constructor get one of their own).
template <class E>
E* MakeElement() {
  return new E;
}
template <>
FCDocument* MakeElement<FCDocument>() {
  return new FCDocument(1);
}
template <>
FCPart* MakeElement<FCPart>() {
  return new FCPart(0, 1);
}
template <>
FCCell* MakeElement<FCCell>() {
  return new FCCell(1, 1);
}

// Elements a, null, a stranger, b: GetElementAt gives the collection's class only, and
// range-for visits a, b and the element the loop adds on seeing a.
template <class Collection>
void ExpectTypedAccess() {
  using Element = typename Collection::ElementType;
  Collection collection;
  Element* a = MakeElement<Element>();
  Element* b = MakeElement<Element>();
  collection.Add(a);
  collection.Add(nullptr);
  collection.Add(new Named('s'));
  collection.Add(b);
  const Collection& reading = collection;
  const struct {
    int index;
    Element* expected;
  } rows[] = {{-1, nullptr}, {0, a}, {1, nullptr}, {2, nullptr}, {3, b}, {4, nullptr}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.index);
    EXPECT_EQ(reading.GetElementAt(row.index), row.expected);
  }
  EXPECT_NE(collection.__FCCollection::GetItemAt(2), nullptr) << "GetItemAt keeps its meaning";

  Element* added = nullptr;
  std::vector<Element*> visited;
  for (Element* element : reading) {
    visited.push_back(element);
    if (element == a) collection.Add(added = MakeElement<Element>());
  }
  EXPECT_EQ(visited, (std::vector<Element*>{a, b, added}));
  EXPECT_EQ(std::vector<Element*>(reading.begin(), reading.end()), visited)
      << "standard containers take the walk";
}

TEST(TypedCollections, EveryCollectionHandsOutItsOwnClassOnly) {
  const struct {
    const char* name;
    void (*check)();
  } rows[] = {
      {"FCStrings", ExpectTypedAccess<FCStrings>},
      {"FCChords", ExpectTypedAccess<FCChords>},
      {"FCMidiExpressions", ExpectTypedAccess<FCMidiExpressions>},
      {"FCIndependentCellDetails", ExpectTypedAccess<FCIndependentCellDetails>},
      {"FCShapeDefInstructions", ExpectTypedAccess<FCShapeDefInstructions>},
      {"FCMeasureNumberRegions", ExpectTypedAccess<FCMeasureNumberRegions>},
      {"FCExpressions", ExpectTypedAccess<FCExpressions>},
      {"FCStaffListElements", ExpectTypedAccess<FCStaffListElements>},
      {"FCDocuments", ExpectTypedAccess<FCDocuments>},
      {"FCCells", ExpectTypedAccess<FCCells>},
      {"FCGroups", ExpectTypedAccess<FCGroups>},
      {"FCMeasures", ExpectTypedAccess<FCMeasures>},
      {"FCSystemStaves", ExpectTypedAccess<FCSystemStaves>},
      {"FCStaves", ExpectTypedAccess<FCStaves>},
      {"FCParts", ExpectTypedAccess<FCParts>},
      {"FCMultiStaffInstruments", ExpectTypedAccess<FCMultiStaffInstruments>},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    row.check();
  }
}

TEST(TypedCollections, EmptyCollectionWalksNothing) {
  FCStaves staves;
  for (FCStaff* staff : staves) ADD_FAILURE() << "visited " << staff;
  EXPECT_FALSE(staves.begin() != staves.end());
}

}  // namespace
