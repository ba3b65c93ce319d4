// FCTextRepeatDef and FCTextRepeat: repeat definitions with their 'osRT' texts, and the
// repeats placed in measures (textrepeat.h). The records: docs/host-notation.md.
#include "framework/notation/textrepeat.h"

#include <cstring>
#include <memory>

#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"

// --- FCTextRepeatDef ---------------------------------------------------------------

FCTextRepeatDef::FCTextRepeatDef() { std::memset(_record, 0, sizeof(_record)); }

void FCTextRepeatDef::CloneMemoryFrom(__FCBaseData* source) {
  const FCTextRepeatDef* other = dynamic_cast<const FCTextRepeatDef*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

FCString* FCTextRepeatDef::CreateTextString() const {
  FCTextRepeatText text;
  text.Load(static_cast<short>(GetItemNo()));
  return text.CreateString();
}

bool FCTextRepeatDef::LoadFirst() {
  if (!Load(1)) return false;
  std::unique_ptr<FCString> text(CreateTextString());
  return text->GetLength() > 0;
}

bool FCTextRepeatDef::_DeleteText() {
  FCTextRepeatText text;
  text.Load(static_cast<short>(GetItemNo()));
  return text.DeleteData();
}

bool FCTextRepeatDef::_SaveTextAs(FCString* text, unsigned short itemno) {
  if (!text) return false;
  FCTextRepeatText record;
  record.SetText(text);
  return record.SaveAs(static_cast<short>(itemno));
}

bool FCTextRepeatDef::DeepSaveAs(unsigned short itemno) {
  std::unique_ptr<FCString> text(CreateTextString());
  _SaveTextAs(text.get(), itemno);
  return SaveAs(itemno);
}

bool FCTextRepeatDef::DeepDeleteData() {
  _DeleteText();
  return DeleteData();
}

// --- FCTextRepeat ------------------------------------------------------------------

FCTextRepeat::FCTextRepeat() { std::memset(_record, 0, sizeof(_record)); }

void FCTextRepeat::CloneMemoryFrom(__FCBaseData* source) {
  const FCTextRepeat* other = dynamic_cast<const FCTextRepeat*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

unsigned short FCTextRepeat::GetTextRepeatDefID() const { return fxt::GetU16(_record, 0); }

bool FCTextRepeat::AssignTextRepeatDef(FCTextRepeatDef* definition) {
  if (!definition || definition->GetItemNo() == 0) return false;
  fxt::PutU16(_record, 0, definition->GetItemNo());
  return true;
}

FCTextRepeatDef* FCTextRepeat::CreateTextRepeatDef() const {
  FCTextRepeatDef* definition = new FCTextRepeatDef;
  definition->Load(GetTextRepeatDefID());
  return definition;
}
