// The walks, the search and the sort of __FCCollection, declared in collection.h; the
// handler they call is FCIteratorHandler (iterator.h).
//
// None of them copies the collection: the count is read again after every call of the
// handler, so elements that the handler adds or removes are seen by the walk.
#include "framework/core/iterator.h"

#include "framework/core/collection.h"

int __FCCollection::ForEach(FCIteratorHandler* handler) { return ToEndFrom(0, handler); }

int __FCCollection::ToEndFrom(int start, FCIteratorHandler* handler) {
  if (!handler) return 0;
  int result = 0;
  for (int i = start < 0 ? 0 : start; i < GetCount(); ++i) {
    __FCBase* object = GetItemAt(i);
    if (!object) continue;
    if (!handler->Iterate(object)) break;
    ++result;
  }
  return result;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler) {
  if (!handler) return 0;
  int result = 0;
  for (int i = 0; i < GetCount(); ++i) {
    __FCBase* object = GetItemAt(i);
    if (!object) continue;
    if (!handler->IterateWithIndex(object, i)) break;
    ++result;
  }
  return result;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler) {
  if (!handler) return nullptr;
  for (int i = 0; i < GetCount(); ++i) {
    __FCBase* object = GetItemAt(i);
    if (object && handler->IsMatch(object)) return object;
  }
  return nullptr;
}

void __FCCollection::Sort(FCIteratorHandler* handler) {
  if (!handler) return;
  // An exchange sort: each element is compared with every later one and the two swap
  // places whenever the earlier belongs after the later.
  int n = GetCount();
  for (int i = 0; i < n - 1; ++i) {
    for (int j = i + 1; j < n; ++j) {
      __FCBase* first = GetItemAt(i);
      __FCBase* second = GetItemAt(j);
      if (!first || !second) continue;
      const int order = handler->Compare(first, second);
      n = GetCount();
      // Compare may have changed the collection; only the two elements it was
      // shown, still in their places, are exchanged.
      if (order > 0 && j < n && _elements[i] == first && _elements[j] == second) {
        _elements[i] = second;
        _elements[j] = first;
      }
    }
  }
}
