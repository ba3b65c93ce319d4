// The detail record kinds: records keyed by two numbers, and records attached to a cell
// (a measure on a staff).
#pragma once

#include "framework/core/basedata.h"

class FCCell;

// Base of the records keyed by first and second item numbers. Reports "__FCBaseData".
class __FCDetail : public __FCBaseData {};

// Key: first and second item numbers, third = 0. Reports "__FCBaseData".
class __FCNoInciDetail : public __FCDetail {
 public:
  // No walk from a first record at this level; false without a host call.
  bool LoadFirst() override { return false; }

  // Sets the first and second item numbers and the third to 0, then loads.
  bool Load(unsigned short first, unsigned short second);
  // Creates a record under first with a second number the host assigns (sent as 0xFFFF,
  // third 0). False, without a host call, when the loaded size is 0 or less.
  bool SaveNew(unsigned short first);
};

// Records attached to a cell: first = the cell's staff, second = its measure, third = the
// inci (0, 1, 2, ... without gaps under one cell).
class __FCCellDetail : public __FCBaseData {
 public:
  const char* ClassName() const override { return "__FCCellDetail"; }

  // Loads inci 0 of the connected cell; false, without a host call, when none is
  // connected or the cell does not fit the host's numbers (FCCell::_FitsHost).
  bool LoadFirst() override;
  // Loads the next inci of the cell; on failure the inci goes back to the last one
  // that loaded. Inci 0xFFFF is the last: the walk does not wrap around to 0.
  bool LoadNext() override;

  // Appends a new record to the connected cell (third sent as 0xFFFF). Unlike the other
  // creating operations it does not test the loaded size. False, without a host call,
  // when no cell is connected, the cell does not fit the host's numbers, or the object
  // has no data block.
  virtual bool SaveNew();

  // The cell that names the key; used, not owned.
  void ConnectCell(FCCell* cell) { _connectedcell = cell; }
  FCCell* GetConnectedCell() const { return _connectedcell; }

 private:
  // Sets first and second from the connected cell.
  void _SetCellKey();

  FCCell* _connectedcell = nullptr;
};

// One record per cell (inci always 0): there is nothing to walk or append.
class __FCNoInciCellDetail : public __FCCellDetail {
 public:
  const char* ClassName() const override { return "__FCNoInciCellDetail"; }

  bool LoadNext() override { return false; }
  bool SaveNew() override { return false; }
};
