// One edit as one host edit transaction, so that the host undoes it in one step.
//
// The edit is a handler's PerformEdit: true keeps what it did, false makes the host
// discard it.
#pragma once

#include "framework/core/fcbase.h"

class FCString;

class __FCUndoBlockHandler : public __FCBase {
 public:
  const char* ClassName() const override { return "__FCUndoBlockHandler"; }

  // Makes the edit. True: keep it; false: discard it.
  virtual bool PerformEdit() = 0;
};

// Runs a handler's edit inside one host edit transaction: one undo step, or nothing.
class FCUndoBlock : public __FCBase {
 public:
  const char* ClassName() const override { return "FCUndoBlock"; }

  // Opens a host edit transaction named name (a null name is an empty one), runs the
  // handler's edit, then keeps the transaction when the edit answered true and
  // cancels it when it answered false. Returns the edit's answer; false, without
  // calling the handler, when the host does not open the transaction or there is no
  // handler.
  bool Execute(__FCUndoBlockHandler* handler, FCString* name);
};
