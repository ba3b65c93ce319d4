// The "other" record kinds: records numbered by an item number, with or without an inci.
#pragma once

#include "framework/core/basedata.h"

// Base of the item-numbered records.
class __FCOther : public __FCBaseData {
 public:
  const char* ClassName() const override { return "__FCOther"; }
};

// One record per item number; key: first = item number, second = 0.
class __FCNoInciOther : public __FCOther {
 public:
  const char* ClassName() const override { return "__FCNoInciOther"; }

  // Loads item number 1.
  bool LoadFirst() override;

  // Sets the first item number to itemno and the second to 0, then loads.
  virtual bool Load(unsigned short itemno);
  // Sets the same two numbers, then Save().
  virtual bool SaveAs(unsigned short itemno);
  // SaveAs(itemno), unless a class owns further records.
  virtual bool DeepSaveAs(unsigned short itemno);
  // Creates a new record under a number the host assigns (first and second sent as
  // 0xFFFF); afterwards the key names the new record. False, without a host call, when
  // the loaded size is 0 or less.
  virtual bool SaveNew();
  // The first item number.
  virtual unsigned short GetItemNo() const;
};

// A gapless list of records (incis) under each item number; key: first = item number,
// second = inci. Reports its class name as "__FCOther".
class __FCInciOther : public __FCOther {
 public:
  // These records are not walked from a first record; false without a host call.
  bool LoadFirst() override { return false; }

  // Sets the first item number to itemno and the second to inci, then loads.
  virtual bool Load(unsigned short itemno, short inci);
  // Appends a new record to the list of itemno (second sent as 0xFFFF). False, without
  // a host call, when the loaded size is 0 or less.
  virtual bool SaveNew(unsigned short itemno);
};
