// FCCell's questions about its music: the key in force and the entries' duration (cell.h).
// A staff without a slot, layer choices, numbers past 16 bits: docs/framework-behaviour.md.
#include "framework/score/cell.h"

#include <algorithm>
#include <cstdint>

#include "bridge/finalepdk.h"
#include "framework/notation/celldetails.h"
#include "framework/notation/keysignature.h"
#include "framework/score/measure.h"
#include "framework/score/staff.h"

namespace {
constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
}

FCCell::~FCCell() {
  delete _keysig;
  delete _other;
}

bool FCCell::_FitsHost() const {
  auto fits = [](int value) { return value >= INT16_MIN && value <= INT16_MAX; };
  return fits(_measure) && fits(_staff);
}

FCKeySignature* FCCell::GetKeySignature() {
  if (!_keysig) _keysig = new FCKeySignature;
  if (!_FitsHost()) return _keysig;
  FCCurrentStaffSpec spec;
  if (spec.Load(this, 0) && (spec.GetFlags() & FCStaff::FLAG_INDEPENDENT_KEY)) {
    FCIndependentCellDetail detail;
    detail.ConnectCell(this);
    if (detail.LoadFirst() && detail.GetHasKeySignature()) {
      _keysig->SetKeyValue(detail.GetKeySignatureValue());
      return _keysig;
    }
  }
  FCMeasure measure;
  if (_measure >= 0 && measure.Load(static_cast<unsigned short>(_measure))) {
    const FCKeySignature* key = measure._EnsureKeySignature();
    if (key) _keysig->SetKeyValue(key->GetKeyValue());
  }
  return _keysig;
}

int FCCell::CalcEntryDuration(int layer) {
  if (layer < -1 || !_FitsHost()) return 0;
  const int slot = FX_InstToSlot(static_cast<int16_t>(_staff), 0, kVersion);
  if (slot <= 0) return 0;
  const int layers = FX_GetMaxLayers(kVersion);
  int longest = 0;
  for (int index = 0; index < layers; ++index) {
    if (layer > 0 && index != layer - 1) continue;
    if (layer == 0 && FX_GetShowLayer(static_cast<int16_t>(index), kVersion) == 0) continue;
    void* frame = FX_LoadTGF(0, static_cast<int16_t>(slot), static_cast<int16_t>(_measure),
                             static_cast<int16_t>(index), 1, kVersion);
    if (!frame) continue;
    longest = std::max<int>(longest, FX_GetTGFDuration(frame, kVersion));
    FX_FreeTGF(frame, kVersion);
  }
  return longest;
}
