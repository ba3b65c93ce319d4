// Text repeats: the definitions ('SORS', 16 bytes) of repeat texts such as "D.C. al
// Fine", each with its text ('osRT' raw text under the same number), and the repeats
// placed in measures that refer to a definition.
//
// FCTextRepeat ('otTR', 8 bytes; first item number = the measure, second = the inci):
//   0   the definition's number (unsigned)
//   2-7 carried unchanged
#pragma once

#include <cstdint>

#include "framework/core/otherdata.h"

class FCString;

class FCTextRepeatDef : public __FCNoInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F5253;  // 'SORS'
  static constexpr int RECORD_SIZE = 16;

  // The record zeroed; no data block until the first load.
  FCTextRepeatDef();

  const char* ClassName() const override { return "FCTextRepeatDef"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCTextRepeatDef; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;
  // Definition 1, when it loads and its text is not empty.
  bool LoadFirst() override;
  // Copies the text to itemno (its result is not reported), then SaveAs(itemno).
  bool DeepSaveAs(unsigned short itemno) override;
  // Deletes the text (its result is not reported), then the definition.
  bool DeepDeleteData() override;

  // A new string, owned by the caller: the text under the definition's number (empty
  // when it does not load).
  FCString* CreateTextString() const;
  bool _DeleteText();
  // Writes text as the repeat text numbered itemno. False for a null text.
  bool _SaveTextAs(FCString* text, unsigned short itemno);

 private:
  uint8_t _record[RECORD_SIZE];
};

// A text repeat placed in a measure: the number of the definition whose text it shows.
class FCTextRepeat : public __FCInciOther {
 public:
  static constexpr uint32_t TAG = 0x6F745452;  // 'otTR'
  static constexpr int RECORD_SIZE = 8;

  // The record zeroed; no data block until the first load.
  FCTextRepeat();

  const char* ClassName() const override { return "FCTextRepeat"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCTextRepeat; }
  uint32_t Tag() const override { return TAG; }
  void CloneMemoryFrom(__FCBaseData* source) override;

  unsigned short GetTextRepeatDefID() const;
  // Names the definition (the record is not saved). False, with nothing changed, for a
  // null definition or one numbered 0.
  bool AssignTextRepeatDef(FCTextRepeatDef* definition);
  // A new definition, owned by the caller, on which Load(definition number) was called
  // whether or not it loaded.
  FCTextRepeatDef* CreateTextRepeatDef() const;

 private:
  uint8_t _record[RECORD_SIZE];
};
