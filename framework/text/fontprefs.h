// The host's font preference record: for one preference number, the font number, size
// and effects that the document uses for one kind of text.
#pragma once

#include <cstdint>

#include "framework/core/prefsdata.h"

class FCFontInfo;
class FCString;

class FCFontPrefs : public __FCPrefsBase {
 public:
  // Record type 'pfdf'.
  static constexpr uint32_t TAG = 0x70666466;
  // Three little-endian 16-bit words: font number, size, effects.
  static constexpr int RECORD_SIZE = 6;

  // Preference numbers the group names are set in.
  static constexpr short GROUP_FULL_NAME_PREFS = 33;
  static constexpr short GROUP_ABBREVIATED_NAME_PREFS = 39;

  // The record zeroed; no data block until the first load.
  FCFontPrefs();

  const char* ClassName() const override { return "FCFontPrefs"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCFontPrefs; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source's 6-byte record (zeros when it holds none) into this object's
  // record, points the data block at it and sets the loaded size to 6.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // --- Record words ----------------------------------------------------------------

  short GetFontID() const;
  short GetSize() const;
  unsigned short GetEffects() const;
  void SetFontID(short fontNumber);
  void SetSize(short size);
  void SetEffects(unsigned short effects);

  // Sets font's effects and size from the record and its name from the record's font
  // number (FCFontInfo::SetNameByID). A null font is ignored.
  void GetFontInfo(FCFontInfo* font) const;

  // Sets tags to the inline font tags (^font(NAME)^size(SIZE)^nfx(EFFECTS)) for text
  // set in the font of preference preferenceNumber, as group name suffixes are
  // written: the description starts as "Times New Roman", 12, 0; when the preference
  // loads (a loaded size above 0) it takes the preference's effects, size and font;
  // then effect bit 0x80 is set. Returns whether the preference loaded; tags are set
  // either way. A null tags is ignored (false).
  static bool MakeEnigmaStringForPrefs(short preferenceNumber, FCString* tags);

 private:
  uint8_t _record[RECORD_SIZE];
};
