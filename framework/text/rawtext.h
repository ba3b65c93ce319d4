// Raw texts: the host records that hold one text each (group and staff names,
// expression texts, page texts, repeat texts), found by a four-character tag and a
// 16-bit number.
//
// The record is a variable-length block holding one terminated text. Its encoding
// follows the running host version: below 0x11000000 it is 8-bit text ending in a NUL
// byte, from 0x11000000 on UTF-16 (little-endian) ending in a 0 unit. The text is read
// only within the block the host delivered, so a block that lacks its terminator gives
// the text up to the block's end and nothing beyond it.
#pragma once

#include <cstdint>

#include "framework/core/basedata.h"

class FCString;

class FCRawText : public __FCBaseData {
 public:
  // Default record type 'txbl', used when no custom tag is set.
  static constexpr uint32_t TAG = 0x7478626C;
  // From this host version on, raw texts are UTF-16.
  static constexpr uint32_t UNICODE_VERSION = 0x11000000;

  FCRawText() = default;
  // Releases the data block.
  ~FCRawText() override;

  const char* ClassName() const override { return "FCRawText"; }

  // The running host version: it decides the text's encoding.
  uint32_t EnigmaVersion() const override;
  // The byte size the host reports for the record named by the key (null buffer), or
  // 0 when the host call fails.
  int DataSizeLoad() const override;
  // A zeroed heap block of DataSizeLoad() bytes, made the data block.
  void* Allocate() override;
  // Releases the block; the loaded size becomes 0.
  void Deallocate() override;
  bool IsDynamicSize() const override { return true; }
  // Raw texts are not made by the collection machinery: null.
  __FCBaseData* CreateObject() const override { return nullptr; }
  // The custom tag when set, else 'txbl'.
  uint32_t Tag() const override;
  // The default heap copy of the source's block.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // Number 0, then the host's next record of the tag.
  bool LoadFirst() override;

  // The raw text number (the first item number of the key).
  virtual void SetRawTextNumber(short number);
  virtual short GetItemNo() const;

  // Sets the number and loads the text.
  bool Load(short number);
  // Sets the number and writes the data block over that record.
  bool SaveAs(short number);
  // Creates a new record from the data block under a number the host assigns (sent as
  // -1); afterwards GetItemNo() is that number. False, without a host call, when the
  // block is empty.
  bool SaveNew();

  // A new string, owned by the caller, with the text of the data block (empty when
  // there is none). Reading stops at the first terminator or at the block's end.
  FCString* CreateString() const;
  // Replaces the data block by text in the running version's encoding, terminator
  // included; nothing is saved. A null text is ignored.
  void SetText(FCString* text);

 protected:
  // Reads the block's text into text, never past the block's size.
  void _ReadText(FCString* text) const;
};

// A raw text kept under a tag of its own kind, which the concrete subclass supplies.
class __FCOtherText : public FCRawText {
 public:
  const char* ClassName() const override { return "__FCOtherText"; }
  uint32_t Tag() const override { return 0; }

 protected:
  __FCOtherText() = default;
};

// The text of a text repeat ('osRT').
class FCTextRepeatText : public __FCOtherText {
 public:
  static constexpr uint32_t TAG = 0x6F735254;

  FCTextRepeatText() = default;
  const char* ClassName() const override { return "FCTextRepeatText"; }
  uint32_t Tag() const override { return TAG; }
};
