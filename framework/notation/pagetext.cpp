// FCPageText: the text block an 'otPT' page text names, and a new block for it (pagetext.h).
// What a failed new block leaves behind: docs/host-notation.md.
#include "framework/notation/pagetext.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/text/textblock.h"

FCPageText::FCPageText() { std::memset(_record, 0, sizeof(_record)); }

void FCPageText::CloneMemoryFrom(__FCBaseData* source) {
  const FCPageText* other = dynamic_cast<const FCPageText*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

unsigned short FCPageText::GetTextBlockID() const { return fxt::GetU16(_record, 0); }
void FCPageText::SetTextBlockID(unsigned short block) { fxt::PutU16(_record, 0, block); }

bool FCPageText::SaveNewTextBlock(FCString* text) {
  const unsigned short block = FCTextBlock::SaveNewTextAndBlock(text, FCTextBlock::TEXTTYPE_BLOCK);
  if (block == 0) return false;
  SetTextBlockID(block);
  return true;
}
