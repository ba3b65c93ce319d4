// The detail record kinds' keys: records of two numbers, and records attached to a cell.
// Contract: detaildata.h; the end of a cell's walk and creating without a block:
// docs/framework-behaviour.md, "Records".
#include "framework/core/detaildata.h"

#include "framework/score/cell.h"

bool __FCNoInciDetail::Load(unsigned short first, unsigned short second) {
  _SetKeyFirst(first);
  _SetKeySecond(second);
  _SetKeyThird(0);
  return LoadDataBlock();
}

bool __FCNoInciDetail::SaveNew(unsigned short first) {
  if (_GetLoadedSize() <= 0) return false;
  _SetKeyFirst(first);
  _SetKeySecond(KEY_ASSIGN);
  _SetKeyThird(0);
  return _CreateRecord();
}

void __FCCellDetail::_SetCellKey() {
  _SetKeyFirst(static_cast<uint16_t>(_connectedcell->GetStaff()));
  _SetKeySecond(static_cast<uint16_t>(_connectedcell->GetMeasure()));
}

bool __FCCellDetail::LoadFirst() {
  if (!_connectedcell || !_connectedcell->_FitsHost()) return false;
  _SetCellKey();
  _SetKeyThird(0);
  return LoadDataBlock();
}

bool __FCCellDetail::LoadNext() {
  // The records of a cell are numbered without gaps, so the walk simply counts on and
  // ends at the first number that does not load.
  uint16_t inci = _GetKeyThird();
  // The last number has no next one; counting on would wrap to the first record.
  if (inci == 0xFFFF) return false;
  _SetKeyThird(static_cast<uint16_t>(inci + 1));
  if (LoadDataBlock()) return true;
  _SetKeyThird(inci);
  return false;
}

bool __FCCellDetail::SaveNew() {
  // Without a block there is nothing to create the record from.
  if (!_connectedcell || !_connectedcell->_FitsHost() || !_GetDataBlock()) return false;
  _SetCellKey();
  _SetKeyThird(KEY_ASSIGN);
  return _CreateRecord();
}
