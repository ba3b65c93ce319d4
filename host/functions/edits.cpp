// Edit transactions and undo.
//
// A transaction keeps every open document as it was when it opened. Cancelling puts
// them back; closing the outermost transaction adds an undo step, named for it, to the
// document that was current when it opened and to every other document it changed.
// A transaction closed inside another one leaves that to the enclosing one.
#include "host/functions/host.h"
#include "host/functions/userinterface.h"
#include "host/functions/words.h"

namespace fxthost {

bool Host::OpenEdit(const std::string& name, bool command) {
  Document* current = CurrentDocument();
  if (!current) return false;
  EditTransaction edit;
  edit.name = name;
  edit.command = command;
  edit.document = current->number;
  for (auto& document : documents_) edit.before.emplace(document->number, document->Snapshot());
  edits_.push_back(std::move(edit));
  return true;
}

void Host::CloseEdit(bool keep) {
  EditTransaction edit = std::move(edits_.back());
  edits_.pop_back();
  if (!keep) {
    for (auto& entry : edit.before)
      if (Document* document = FindDocument(entry.first)) document->Restore(entry.second);
    return;
  }
  if (!edits_.empty()) return;  // part of the enclosing transaction
  for (auto& entry : edit.before) {
    Document* document = FindDocument(entry.first);
    if (!document) continue;  // closed meanwhile
    bool changed =
        document->records != entry.second.records || document->fonts != entry.second.fonts;
    if (changed || entry.first == edit.document)
      document->undoSteps.push_back(Document::UndoStep{edit.name, std::move(entry.second)});
  }
}

bool Host::BeginCommand(const std::string& name) {
  if (!edits_.empty()) return false;
  return OpenEdit(name, true);
}

bool Host::EndCommand(bool keep) {
  if (edits_.empty() || !edits_.front().command) return false;
  // Edits the plug-in opened and left open end with the command, as part of it.
  while (edits_.size() > 1) CloseEdit(true);
  CloseEdit(keep);
  return true;
}

bool Host::StartEdit(const std::string& name) { return OpenEdit(name, false); }

bool Host::EndEdit() {
  if (edits_.empty() || edits_.back().command) return false;
  CloseEdit(true);
  return true;
}

bool Host::CancelEdit() {
  if (edits_.empty() || edits_.back().command) return false;
  CloseEdit(false);
  return true;
}

bool Host::Undo() {
  Document* document = CurrentDocument();
  if (!edits_.empty() || !document || document->undoSteps.empty()) return false;
  document->Restore(document->undoSteps.back().before);
  document->undoSteps.pop_back();
  return true;
}

namespace {

// The name of an edit the plug-in does not name.
const char kUnnamedEdit[] = "Edit";

std::string EditName(std::string name) { return name.empty() ? kUnnamedEdit : name; }

// FX_StartFinaleEdit(name, version) and FX_StartFinaleEdit_UTF16(name, version)
intptr_t StartFinaleEdit(Host& host, const uint64_t* w) {
  return host.StartEdit(EditName(HostText(Ptr<const void>(w[0])))) ? 1 : 0;
}

intptr_t StartFinaleEdit16(Host& host, const uint64_t* w) {
  return host.StartEdit(EditName(HostText16(Ptr<const void>(w[0])))) ? 1 : 0;
}

// FX_EndFinaleEdit(version)
intptr_t EndFinaleEdit(Host& host, const uint64_t*) { return host.EndEdit() ? 1 : 0; }

// FX_CancelFinaleEdit(version)
intptr_t CancelFinaleEdit(Host& host, const uint64_t*) { return host.CancelEdit() ? 1 : 0; }

}  // namespace

void InstallEditBehaviours(Host& host) {
  host.SetBehaviour(Fn::FX_StartFinaleEdit, StartFinaleEdit);
  host.SetBehaviour(Fn::FX_StartFinaleEdit_UTF16, StartFinaleEdit16);
  host.SetBehaviour(Fn::FX_EndFinaleEdit, EndFinaleEdit);
  host.SetBehaviour(Fn::FX_CancelFinaleEdit, CancelFinaleEdit);
}

}  // namespace fxthost
