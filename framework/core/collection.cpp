// __FCCollection's element array (ownership, insertion, removal, growth) and FCStrings.
// Ownership: collection.h; the growth steps: docs/framework-behaviour.md.
#include "framework/core/collection.h"

#include <climits>
#include <cstdlib>

#include "framework/text/fcstring.h"

__FCCollection::~__FCCollection() {
  _FreeElements();
  std::free(_elements);
  _elements = nullptr;
  _capacity = 0;
  _count = 0;
}

__FCBase* __FCCollection::GetItemAt(int index) const {
  if (index < 0 || index >= _count) return nullptr;
  return _elements[index];
}

bool __FCCollection::_RoomForOne() {
  if (_count < _capacity) return true;
  // Small collections grow by 10 slots; from 100 elements on by half the count, so that
  // filling a large collection copies each pointer a bounded number of times instead of
  // once per 10 elements added. When the larger step cannot be had, one slot will do.
  if (_count >= kGeometricFrom && _RequireElement(_count / 2)) return true;
  return _RequireElement(1);
}

bool __FCCollection::Add(__FCBase* object) {
  if (!_RoomForOne()) return false;
  _elements[_count] = object;
  ++_count;
  return true;
}

bool __FCCollection::InsertItemAt(__FCBase* object, int index) {
  // A negative index names no place in the list; taking the object anyway (at 0, say)
  // would hide the caller's mistake, so it is refused and the object stays the caller's.
  if (index < 0) return false;
  if (index >= _count) return Add(object);
  if (!_RoomForOne()) return false;
  for (int i = _count; i > index; --i) _elements[i] = _elements[i - 1];
  _elements[index] = object;
  ++_count;
  return true;
}

bool __FCCollection::DeleteItemAt(int index) {
  if (index < 0 || index >= _count) return false;
  for (int i = index; i < _count - 1; ++i) _elements[i] = _elements[i + 1];
  --_count;
  _elements[_count] = nullptr;
  return true;
}

int __FCCollection::GetIndexOf(__FCBase* object) const {
  for (int i = 0; i < _count; ++i)
    if (_elements[i] == object) return i;
  return -1;
}

__FCBase* __FCCollection::FindUserData(void* data) const {
  for (int i = 0; i < _count; ++i)
    if (_elements[i] && _elements[i]->GetUserData() == data) return _elements[i];
  return nullptr;
}

bool __FCCollection::_RequireElement(int more) {
  if (more <= 0) return true;
  // The new capacity is count + more rounded up past the next multiple of 10; it must
  // stay an int.
  if (more > INT_MAX - 10 - _count) return false;
  const int needed = _count + more;
  if (_capacity >= needed) return true;
  const int capacity = 10 * ((needed + 10) / 10);
  // calloc: nulls the new slots, and reports failure (and size overflow) with null
  // rather than an exception.
  __FCBase** elements =
      static_cast<__FCBase**>(std::calloc(static_cast<size_t>(capacity), sizeof(__FCBase*)));
  if (!elements) return false;
  for (int i = 0; i < _count; ++i) elements[i] = _elements[i];
  std::free(_elements);
  _elements = elements;
  _capacity = capacity;
  return true;
}

void __FCCollection::_FreeElements() {
  for (int i = 0; i < _count; ++i) {
    // The slot is emptied before the element goes, so that nothing reached from the
    // element's destructor finds it again.
    __FCBase* element = _elements[i];
    _elements[i] = nullptr;
    delete element;
  }
}

void __FCCollection::_ClearElements() {
  _FreeElements();
  _count = 0;
}

FCString* FCStrings::GetItemAt(int index) const {
  return dynamic_cast<FCString*>(__FCCollection::GetItemAt(index));
}
