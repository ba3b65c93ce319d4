// FCFontPrefs: the 6-byte font preference record and its font as a description or as
// inline tags (fontprefs.h). The record on the host's side: docs/host-texts-staves.md.
#include "framework/text/fontprefs.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"
#include "framework/text/fontinfo.h"

namespace {

const size_t kFontWord = 0;
const size_t kSizeWord = 2;
const size_t kEffectsWord = 4;

// The effect bit set on the descriptions written as group-name suffix tags.
const unsigned short kSuffixEffectBit = 0x80;

}  // namespace

FCFontPrefs::FCFontPrefs() { std::memset(_record, 0, sizeof(_record)); }

void FCFontPrefs::CloneMemoryFrom(__FCBaseData* source) {
  // Another font preference object's record, or the first 6 bytes of whatever record
  // the source holds when it holds at least that many.
  const FCFontPrefs* other = dynamic_cast<const FCFontPrefs*>(source);
  if (other)
    std::memcpy(_record, other->_record, sizeof(_record));
  else if (source && source->_GetDataBlock() && source->_GetLoadedSize() >= RECORD_SIZE)
    std::memcpy(_record, source->_GetDataBlock(), sizeof(_record));
  else
    std::memset(_record, 0, sizeof(_record));
  _SetDataBlock(_record);
  _SetLoadedSize(RECORD_SIZE);
}

short FCFontPrefs::GetFontID() const { return fxt::GetS16(_record, kFontWord); }
short FCFontPrefs::GetSize() const { return fxt::GetS16(_record, kSizeWord); }
unsigned short FCFontPrefs::GetEffects() const { return fxt::GetU16(_record, kEffectsWord); }
void FCFontPrefs::SetFontID(short fontNumber) { fxt::PutS16(_record, kFontWord, fontNumber); }
void FCFontPrefs::SetSize(short size) { fxt::PutS16(_record, kSizeWord, size); }
void FCFontPrefs::SetEffects(unsigned short effects) {
  fxt::PutU16(_record, kEffectsWord, effects);
}

void FCFontPrefs::GetFontInfo(FCFontInfo* font) const {
  if (!font) return;
  font->SetEffects(GetEffects());
  font->SetSize(GetSize());
  font->SetNameByID(GetFontID());
}

bool FCFontPrefs::MakeEnigmaStringForPrefs(short preferenceNumber, FCString* tags) {
  if (!tags) return false;
  FCFontInfo font;
  FCFontPrefs prefs;
  const bool loaded = prefs.Load(preferenceNumber) && prefs._GetLoadedSize() > 0;
  if (loaded) prefs.GetFontInfo(&font);
  font.SetEffectBits(kSuffixEffectBit, true);
  font.MakeEnigmaString(tags);
  return loaded;
}
