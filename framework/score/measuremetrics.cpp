// FCMeasureMetrics: one FX_GetMeasureMetrics call and its fields (measuremetrics.h). The
// record the host fills: docs/host-music.md, "Measure metrics".
#include "framework/score/measuremetrics.h"

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/score/cell.h"

bool FCMeasureMetrics::Load(FCCell* cell, bool flag) {
  if (!cell || !cell->_FitsHost()) return false;
  return FX_GetMeasureMetrics(static_cast<int16_t>(cell->GetStaff()),
                              static_cast<int16_t>(cell->GetMeasure()), _record, flag ? 1 : 0,
                              static_cast<int32_t>(FINALE_INTERFACE_VERSION)) != 0;
}

int FCMeasureMetrics::GetMeasureDuration() const { return fxt::GetS32(_record, 0); }
int FCMeasureMetrics::GetMusicDuration() const { return fxt::GetS32(_record, 4); }
int FCMeasureMetrics::GetEntryCount() const { return fxt::GetS16(_record, 8); }
int FCMeasureMetrics::GetLayerCount() const { return fxt::GetS16(_record, 10); }
int FCMeasureMetrics::GetSlot() const { return fxt::GetS16(_record, 12); }
int FCMeasureMetrics::GetKeyValue() const { return fxt::GetS16(_record, 14); }
bool FCMeasureMetrics::IsMeasureFilled() const { return (fxt::GetU32(_record, 20) & 0x1u) != 0; }
bool FCMeasureMetrics::IsLastMeasure() const { return (fxt::GetU32(_record, 20) & 0x2u) != 0; }
