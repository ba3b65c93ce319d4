// One edit as one host edit transaction, so that the host undoes it in one step.
//
// The edit is a handler's PerformEdit, or any callable answering bool (a lambda): true
// keeps what it did, false makes the host discard it.
//
// A command needs no block of its own to be one undo step: the host opens one
// transaction around every FinaleExtensionInvoke and keeps it as one undo step named for
// the menu item. An FCUndoBlock inside a command nests in that transaction: what a kept
// edit did becomes part of the command's one step, and an edit that answers false takes
// back only its own changes. (fxthost's rules: docs/host-behaviour.md, "Edit
// transactions and undo".)
#pragma once

#include <functional>

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

  // The same with edit in place of a handler's PerformEdit:
  //   FCUndoBlock().Execute([&] { return staff.SaveFullNameString(&name); }, "Rename");
  // A null name is an empty one; an empty edit gives false without a host call.
  bool Execute(const std::function<bool()>& edit, const char* name);
};
