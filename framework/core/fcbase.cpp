// __FCBase's default identity test and the flag-word helpers, declared in fcbase.h.
#include "framework/core/fcbase.h"

bool __FCBase::IsIdentical(__FCBase* /*other*/) const { return true; }

void __FCBase::Set16BitFlag(unsigned short* word, unsigned short mask, bool state) {
  if (!word) return;
  if (state)
    *word = static_cast<unsigned short>(*word | mask);
  else
    *word = static_cast<unsigned short>(*word & ~mask);
}

void __FCBase::Set32BitFlag(uint32_t* word, uint32_t mask, bool state) {
  if (!word) return;
  if (state)
    *word |= mask;
  else
    *word &= ~mask;
}
