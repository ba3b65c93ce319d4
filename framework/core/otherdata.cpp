// The "other" record kinds' keys: item records with and without an inci (otherdata.h).
// How the host numbers, walks and creates them: docs/host-records.md.
#include "framework/core/otherdata.h"

bool __FCNoInciOther::LoadFirst() { return Load(1); }

bool __FCNoInciOther::Load(unsigned short itemno) {
  _SetKeyFirst(itemno);
  _SetKeySecond(0);
  return LoadDataBlock();
}

bool __FCNoInciOther::SaveAs(unsigned short itemno) {
  _SetKeyFirst(itemno);
  _SetKeySecond(0);
  return Save();
}

bool __FCNoInciOther::DeepSaveAs(unsigned short itemno) { return SaveAs(itemno); }

bool __FCNoInciOther::SaveNew() {
  if (_GetLoadedSize() <= 0) return false;
  _SetKeyFirst(KEY_ASSIGN);
  _SetKeySecond(KEY_ASSIGN);
  return _CreateRecord();
}

unsigned short __FCNoInciOther::GetItemNo() const { return _GetKeyFirst(); }

bool __FCInciOther::Load(unsigned short itemno, short inci) {
  _SetKeyFirst(itemno);
  _SetKeySecond(static_cast<uint16_t>(inci));
  return LoadDataBlock();
}

bool __FCInciOther::SaveNew(unsigned short itemno) {
  if (_GetLoadedSize() <= 0) return false;
  _SetKeyFirst(itemno);
  _SetKeySecond(KEY_ASSIGN);
  return _CreateRecord();
}
