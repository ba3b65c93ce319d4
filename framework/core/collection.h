// Ordered lists of framework objects that own their elements.
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

// A collection of FCString objects.
class FCStrings : public __FCCollection {
 public:
  const char* ClassName() const override { return "FCStrings"; }

  // The element at index as a string; null when index is out of range or the element
  // there is not an FCString.
  FCString* GetItemAt(int index) const;
};
