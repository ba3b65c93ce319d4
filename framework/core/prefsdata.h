// The preference record kind: key first = preference number.
#pragma once

#include "framework/core/basedata.h"

// Reports "__FCBaseData".
class __FCPrefsBase : public __FCBaseData {
 public:
  // Loads preference number 1.
  bool LoadFirst() override;

  // Sets the first item number to prefsno, then loads.
  virtual bool Load(short prefsno);

  // Side records: some preferences keep settings in 12-byte records (six 16-bit words)
  // under the tag 'o','t',c1,c2 with first item number 0xFFFE and second = inci.
  // Both pass version 0x11000000 and report whether the host succeeded.
  bool _LoadPrefsInci(char c1, char c2, short* buffer, short inci);
  bool _SavePrefsInci(char c1, char c2, short* buffer, short inci);

  // The tag of a side record: 0x6F740000 | c1 << 8 | c2.
  static uint32_t _PrefsInciTag(char c1, char c2);
};
