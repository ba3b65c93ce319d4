// Ordered lists of framework objects that own their elements, and typed access to them
// (FCCollectionOf: GetElementAt and range-for).
//
// __FCCollection holds any __FCBase objects at indexes 0 to GetCount() - 1. Every element
// belongs to the collection, which destroys it (through __FCBase's virtual destructor)
// when the collection is destroyed and at the start of every load of the data
// collections. Add and InsertItemAt take over the object given; DeleteItemAt hands the
// removed element back to the caller. Pointers returned by GetItemAt and the finders
// stay owned by the collection.
//
// Null elements may be added; every walk and search skips them.
//
// The element array grows in steps of 10 slots while the collection holds fewer than 100
// elements, and by half its count from then on; it never shrinks.
#pragma once

#include <cstddef>
#include <iterator>

#include "framework/core/iterator.h"

class FCString;

class __FCCollection : public __FCIteratorBase {
 public:
  __FCCollection() = default;
  // The collection owns its elements: it is not copied.
  __FCCollection(const __FCCollection&) = delete;
  __FCCollection& operator=(const __FCCollection&) = delete;
  // Destroys the remaining elements and releases the array.
  ~__FCCollection() override;

  const char* ClassName() const override { return "__FCCollection"; }

  // --- Walks (the handler may add or remove elements; the walk follows the count) ---

  // Iterate for each non-null element from index 0 until it answers false; the number
  // of elements for which it answered true. A null handler walks nothing.
  int ForEach(FCIteratorHandler* handler) override;
  // The first non-null element for which IsMatch answers true, or null.
  __FCBase* FindFirst(FCIteratorHandler* handler) override;
  // As ForEach, calling IterateWithIndex with each element's index.
  virtual int ForEachIndex(FCIteratorHandler* handler);
  // As ForEach, beginning at index start. A start at or past the count walks nothing;
  // a negative start walks from index 0.
  int ToEndFrom(int start, FCIteratorHandler* handler);
  // Orders the elements in place, ascending by handler->Compare: every pair of
  // non-null elements is compared once, the lower index first, and swapped when
  // Compare answers above 0. Null elements are never compared or moved. Elements that
  // compare equal may change their relative order.
  void Sort(FCIteratorHandler* handler);

  // --- Elements -----------------------------------------------------------------

  int GetCount() const { return _count; }
  // Slots in the element array.
  int GetCapacity() const { return _capacity; }
  // The element at index, or null when index is negative or not below the count.
  __FCBase* GetItemAt(int index) const;
  // Appends object (null allowed) and takes it over. False only when the array could
  // not grow; the object then stays the caller's.
  bool Add(__FCBase* object);
  // Puts object at index, moving the elements from index on one place up, and takes it
  // over. An index at or past the count appends. A negative index is refused: false,
  // the collection is unchanged and the object stays the caller's.
  bool InsertItemAt(__FCBase* object, int index);
  // Removes the element at index without destroying it (the caller takes it over) and
  // moves the later elements one place down. False for an index outside 0 to count - 1.
  bool DeleteItemAt(int index);
  // Index of the first element equal to the pointer, or -1.
  int GetIndexOf(__FCBase* object) const;
  bool ElementExists(__FCBase* object) const { return GetIndexOf(object) >= 0; }
  // The first non-null element whose user data equals data, or null.
  __FCBase* FindUserData(void* data) const;

  // Makes room for more further elements: when count + more exceeds the capacity, the
  // array grows to the next multiple of 10 strictly above count + more. Nothing for
  // more of 0 or less. False when the array cannot grow (nothing changes then).
  bool _RequireElement(int more);
  // Destroys every element and nulls its slot. The count is left as it is: every
  // caller sets it to 0 right after (see _ClearElements).
  void _FreeElements();

 protected:
  // _FreeElements() and count 0; the array is kept for reuse.
  void _ClearElements();

 private:
  // The count from which Add and InsertItemAt grow the array by half the count.
  static constexpr int kGeometricFrom = 100;
  // Room for one more element (growing as described above); false when there is none.
  bool _RoomForOne();

  int _count = 0;
  int _capacity = 0;
  __FCBase** _elements = nullptr;
};

// --- Typed access ---------------------------------------------------------------------
//
// FCCollectionOf<Base, Element> sits between a collection class and its base (class
// FCStaves : public FCCollectionOf<__FCCollectionNoInciOther, FCStaff>) and adds
// GetElementAt and range-for, both handing out Element pointers. It adds no virtual
// function and no data; GetItemAt keeps its own meaning. Every collection class of the
// framework derives from it.

// Walks the elements of a collection that are of class Element, from index 0, skipping
// null elements and elements of another class. It follows the count as it is when it is
// compared, so that a loop may add elements behind it.
template <class Element>
class FCCollectionIterator {
 public:
  // An input iterator, so that standard algorithms and containers take the walk
  // (std::vector<FCStaff*> list(staves.begin(), staves.end())).
  typedef std::input_iterator_tag iterator_category;
  typedef Element* value_type;
  typedef std::ptrdiff_t difference_type;
  typedef Element* const* pointer;
  typedef Element* reference;

  // An iterator at the first Element at or after index, or the end iterator when
  // collection is null.
  FCCollectionIterator(const __FCCollection* collection, int index)
      : _collection(collection), _index(index) {
    _SkipOthers();
  }

  Element* operator*() const {
    return dynamic_cast<Element*>(_collection->__FCCollection::GetItemAt(_index));
  }
  FCCollectionIterator& operator++() {
    ++_index;
    _SkipOthers();
    return *this;
  }
  FCCollectionIterator operator++(int) {
    FCCollectionIterator before = *this;
    ++*this;
    return before;
  }
  // Two iterators differ when exactly one of them is at the end; range-for compares only
  // with the end iterator.
  bool operator!=(const FCCollectionIterator& other) const { return AtEnd() != other.AtEnd(); }
  bool operator==(const FCCollectionIterator& other) const { return !(*this != other); }

  bool AtEnd() const { return !_collection || _index >= _collection->GetCount(); }

 private:
  void _SkipOthers() {
    while (!AtEnd() && !**this) ++_index;
  }

  const __FCCollection* _collection;
  int _index;
};

template <class Base, class Element>
class FCCollectionOf : public Base {
 public:
  typedef Element ElementType;
  typedef FCCollectionIterator<Element> Iterator;

  // The element at index as an Element; null when index is out of range, the element
  // there is null or of another class.
  Element* GetElementAt(int index) const {
    return dynamic_cast<Element*>(this->__FCCollection::GetItemAt(index));
  }

  // for (Element* element : collection): every element that is an Element, in index
  // order; never null.
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(nullptr, 0); }
};

// A collection of FCString objects.
class FCStrings : public FCCollectionOf<__FCCollection, FCString> {
 public:
  const char* ClassName() const override { return "FCStrings"; }

  // The element at index as a string; null when index is out of range or the element
  // there is not an FCString.
  FCString* GetItemAt(int index) const;
};
