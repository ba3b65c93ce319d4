// Texts placed on pages ('otPT', 8 bytes; item number = the page text's number):
//   0   the text block number (unsigned); the block names a raw text 'txbl'
//   2-7 carried unchanged
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCString;

class FCPageText : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F745054;  // 'otPT'
  static constexpr int RECORD_SIZE = 8;

  // The record zeroed; no data block until the first load.
  FCPageText();

  const char* ClassName() const override { return "FCPageText"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCPageText; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;

  unsigned short GetTextBlockID() const;
  void SetTextBlockID(unsigned short block);

  // Stores text as a new raw text ('txbl') behind a new text block and points the page
  // text at the block (the record itself is not saved). False, with nothing left
  // behind, when either record cannot be made.
  bool SaveNewTextBlock(FCString* text);

 private:
  uint8_t _record[RECORD_SIZE];
};
