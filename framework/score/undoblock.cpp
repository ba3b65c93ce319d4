// FCUndoBlock: one edit, a handler's or a callable's, as one host edit transaction
// (undoblock.h). How the host opens, keeps and discards edits: docs/host-behaviour.md,
// "Edit transactions and undo".
#include "framework/score/undoblock.h"

#include "bridge/finalepdk.h"
#include "framework/text/fcstring.h"

bool FCUndoBlock::Execute(__FCUndoBlockHandler* handler, FCString* name) {
  if (!handler) return false;
  const int32_t version = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
  const char* text = name ? name->GetCString() : nullptr;
  if (FX_StartFinaleEdit(text ? text : "", version) == 0) return false;
  const bool keep = handler->PerformEdit();
  if (keep)
    FX_EndFinaleEdit(version);
  else
    FX_CancelFinaleEdit(version);
  return keep;
}

namespace {

// A callable as an undo block handler.
class CallableEdit : public __FCUndoBlockHandler {
 public:
  explicit CallableEdit(const std::function<bool()>& edit) : _edit(edit) {}
  bool PerformEdit() override { return _edit(); }

 private:
  const std::function<bool()>& _edit;
};

}  // namespace

bool FCUndoBlock::Execute(const std::function<bool()>& edit, const char* name) {
  if (!edit) return false;
  CallableEdit handler(edit);
  FCString text(name ? name : "");
  return Execute(&handler, &text);
}
