// Walking sets of framework objects.
//
// A walk (over a collection's elements, or over host records one at a time) hands each
// object to an FCIteratorHandler, whose virtual operations act on the object, test it or
// compare two objects, and whose answers decide whether the walk goes on. Callers
// subclass FCIteratorHandler and override the operations their walk calls; the defaults
// let every walk go on (true), match nothing (false) and leave the order alone (0).
//
// The object a walk hands over stays owned by the walk: a collection's element stays the
// collection's, a browser's working object is reloaded as soon as the handler returns.
// A handler that wants to keep one makes its own copy.
#pragma once

#include "framework/core/fcbase.h"

class FCIteratorHandler : public __FCBase {
 public:
  const char* ClassName() const override { return "FCIteratorHandler"; }

  // Each object of a walk. False stops the walk.
  virtual bool Iterate(__FCBase* /*object*/) { return true; }
  // Each object of an indexed walk, with its index in the collection. False stops it.
  virtual bool IterateWithIndex(__FCBase* /*object*/, int /*index*/) { return true; }
  // Each object of a search. True: this is the object sought.
  virtual bool IsMatch(__FCBase* /*object*/) { return false; }
  // Two objects of a sort, first before second. Above 0: first belongs after second.
  virtual int Compare(__FCBase* /*first*/, __FCBase* /*second*/) { return 0; }
  // Once before a browser walk or a scoped walk. False: do not walk at all.
  virtual bool BeforeIteration() { return true; }
  // Once after a browser has loaded its first record. False: do not walk.
  virtual bool BeforeFirst() { return true; }
  // Once at the end of a browser walk or scoped walk that passed BeforeIteration.
  virtual void AfterIteration() {}
  // Once when a browser's loop has run.
  virtual void AfterLoop() {}
};

// What every walkable set offers: a walk over all its objects and a search.
class __FCIteratorBase : public __FCBase {
 public:
  const char* ClassName() const override { return "__FCIteratorBase"; }

  // Calls handler->Iterate for each object until it answers false. Returns the number
  // of objects for which it answered true.
  virtual int ForEach(FCIteratorHandler* handler) = 0;
  // The first object for which handler->IsMatch answers true, or null.
  virtual __FCBase* FindFirst(FCIteratorHandler* handler) = 0;
};
