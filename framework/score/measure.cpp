// FCMeasure and FCMeasures: the 'SOMS' record's key and time signatures, barlines and flags,
// and the measures of a region (measure.h lays out the record). How the host keeps
// measures: docs/host-behaviour.md, "Measures".
#include "framework/score/measure.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/notation/keysignature.h"
#include "framework/notation/timesignature.h"
#include "framework/score/musicregion.h"

namespace {

const int kKeyWord = 2;
const int kBeatsWord = 4;
const int kBeatDurationWord = 6;
const int kAuxWord = 8;
const int kMeWord = 10;
const int kDisplayedBeatsWord = 12;
const int kDisplayedBeatDurationWord = 14;
const int kNewWord = 16;

// Aux flags.
const unsigned short kPositioningMask = 0x0007;
const unsigned short kTimeSigState2 = 0x0010;
const unsigned short kKeySigState2 = 0x0020;
const unsigned short kShowFullNames = 0x0800;
// Me flags.
const unsigned short kTimeSigState1 = 0x0400;
const unsigned short kKeySigState1 = 0x0800;
// Barline style field of the me and new flags.
const unsigned short kBarlineMask = 0x00F0;
const int kBarlineShift = 4;
const int kLastBarlineStyle = 6;

// Positioning codes stored for modes 0, 1 and 2.
const unsigned short kPositioningTimeSig = 4;
const unsigned short kPositioningManual = 0;
const unsigned short kPositioningBeatChart = 6;

// The last host version without the full-names setting.
const uint32_t kLastVersionWithoutFullNames = 0x0FFFFFFF;

}  // namespace

FCMeasure::FCMeasure() { std::memset(_record, 0, sizeof(_record)); }

FCMeasure::~FCMeasure() {
  delete _keysig;
  delete _timesig;
  delete _displaytimesig;
}

void FCMeasure::CloneMemoryFrom(__FCBaseData* source) {
  const FCMeasure* other = dynamic_cast<const FCMeasure*>(source);
  _CloneFixedRecord(_record, other ? other->_record : nullptr, RECORD_SIZE);
}

bool FCMeasure::Save() {
  if (_keysig) fxt::PutS16(_record, kKeyWord, _keysig->GetKeyValue());
  if (_timesig) {
    if (!_timesig->GetBeatsFlag()) fxt::PutS16(_record, kBeatsWord, _timesig->GetBeats());
    if (!_timesig->GetDurationFlag())
      fxt::PutS16(_record, kBeatDurationWord, _timesig->GetBeatDuration());
  }
  if (_displaytimesig) {
    if (!_displaytimesig->GetBeatsFlag())
      fxt::PutS16(_record, kDisplayedBeatsWord, _displaytimesig->GetBeats());
    if (!_displaytimesig->GetDurationFlag())
      fxt::PutS16(_record, kDisplayedBeatDurationWord, _displaytimesig->GetBeatDuration());
  }
  return __FCNoInciOther::Save();
}

// --- Record words ------------------------------------------------------------------

unsigned short FCMeasure::_GetWord(int offset) const {
  return fxt::GetU16(_record, static_cast<size_t>(offset));
}

short FCMeasure::GetKeySignatureValue() const { return static_cast<short>(_GetWord(kKeyWord)); }
short FCMeasure::GetBeats() const { return static_cast<short>(_GetWord(kBeatsWord)); }
short FCMeasure::GetBeatDuration() const { return static_cast<short>(_GetWord(kBeatDurationWord)); }
short FCMeasure::GetDisplayedBeats() const {
  return static_cast<short>(_GetWord(kDisplayedBeatsWord));
}
short FCMeasure::GetDisplayedBeatDuration() const {
  return static_cast<short>(_GetWord(kDisplayedBeatDurationWord));
}
unsigned short FCMeasure::_GetAuxFlags() const { return _GetWord(kAuxWord); }
unsigned short FCMeasure::_GetMeFlags() const { return _GetWord(kMeWord); }
unsigned short FCMeasure::_GetNewFlags() const { return _GetWord(kNewWord); }

void FCMeasure::_SetFlag(int offset, unsigned short bits, bool on) {
  unsigned short word = _GetWord(offset);
  __FCBase::Set16BitFlag(&word, bits, on);
  fxt::PutU16(_record, static_cast<size_t>(offset), word);
}

void FCMeasure::_SetAuxFlag(unsigned short bits, bool on) { _SetFlag(kAuxWord, bits, on); }
void FCMeasure::_SetMeFlag(unsigned short bits, bool on) { _SetFlag(kMeWord, bits, on); }
void FCMeasure::_SetNewFlag(unsigned short bits, bool on) { _SetFlag(kNewWord, bits, on); }

// --- Display settings --------------------------------------------------------------

void FCMeasure::SetShowKeySignature(SHOW_STATES state) {
  switch (state) {
    case SHOWSTATE_AUTOMATIC:
      _SetAuxFlag(kKeySigState2, false);
      _SetMeFlag(kKeySigState1, false);
      break;
    case SHOWSTATE_SHOW:
      _SetAuxFlag(kKeySigState2, false);
      _SetMeFlag(kKeySigState1, true);
      break;
    case SHOWSTATE_HIDE:
      _SetAuxFlag(kKeySigState2, true);
      _SetMeFlag(kKeySigState1, false);
      break;
    default:
      break;
  }
}

FCMeasure::SHOW_STATES FCMeasure::GetShowKeySignature() const {
  if (_GetAuxFlags() & kKeySigState2) return SHOWSTATE_HIDE;
  if (_GetMeFlags() & kKeySigState1) return SHOWSTATE_SHOW;
  return SHOWSTATE_AUTOMATIC;
}

void FCMeasure::SetShowTimeSignature(SHOW_STATES state) {
  switch (state) {
    case SHOWSTATE_AUTOMATIC:
      _SetAuxFlag(kTimeSigState2, false);
      _SetMeFlag(kTimeSigState1, false);
      break;
    case SHOWSTATE_SHOW:
      _SetAuxFlag(kTimeSigState2, false);
      _SetMeFlag(kTimeSigState1, true);
      break;
    case SHOWSTATE_HIDE:
      _SetAuxFlag(kTimeSigState2, true);
      _SetMeFlag(kTimeSigState1, false);
      break;
    default:
      break;
  }
}

FCMeasure::SHOW_STATES FCMeasure::GetShowTimeSignature() const {
  if (_GetAuxFlags() & kTimeSigState2) return SHOWSTATE_HIDE;
  if (_GetMeFlags() & kTimeSigState1) return SHOWSTATE_SHOW;
  return SHOWSTATE_AUTOMATIC;
}

void FCMeasure::SetShowFullNames(bool show) {
  if (RunningFinaleVersion <= kLastVersionWithoutFullNames) return;
  _SetAuxFlag(kShowFullNames, show);
}

bool FCMeasure::GetShowFullNames() const {
  if (RunningFinaleVersion <= kLastVersionWithoutFullNames) return false;
  return (_GetAuxFlags() & kShowFullNames) != 0;
}

void FCMeasure::SetPositioningNotesMode(POSITIONING_MODES mode) {
  unsigned short code;
  switch (mode) {
    case POSITIONING_TIMESIG:
      code = kPositioningTimeSig;
      break;
    case POSITIONING_MANUAL:
      code = kPositioningManual;
      break;
    case POSITIONING_BEATCHART:
      code = kPositioningBeatChart;
      break;
    default:
      return;
  }
  const unsigned short aux = _GetAuxFlags();
  fxt::PutU16(_record, kAuxWord, static_cast<unsigned short>((aux & ~kPositioningMask) | code));
}

FCMeasure::POSITIONING_MODES FCMeasure::GetPositioningNotesMode() const {
  switch (_GetAuxFlags() & kPositioningMask) {
    case kPositioningTimeSig:
      return POSITIONING_TIMESIG;
    case kPositioningManual:
      return POSITIONING_MANUAL;
    default:
      return POSITIONING_BEATCHART;
  }
}

bool FCMeasure::_GetBarlineMask(BARLINE_STYLES style, unsigned short* mask) {
  const bool valid = style >= 0 && style <= kLastBarlineStyle;
  if (mask) *mask = valid ? static_cast<unsigned short>(style) : 0;
  return valid;
}

void FCMeasure::SetBarline(BARLINE_STYLES style) {
  unsigned short value;
  if (!_GetBarlineMask(style, &value)) return;
  const unsigned short me = _GetMeFlags();
  fxt::PutU16(_record, kMeWord,
              static_cast<unsigned short>((me & ~kBarlineMask) | (value << kBarlineShift)));
}

FCMeasure::BARLINE_STYLES FCMeasure::GetBarline() const {
  const int value = (_GetMeFlags() & kBarlineMask) >> kBarlineShift;
  return value <= kLastBarlineStyle ? static_cast<BARLINE_STYLES>(value) : BARLINE_NONE;
}

void FCMeasure::SetLeftBarline(BARLINE_STYLES style) {
  unsigned short value;
  if (!_GetBarlineMask(style, &value)) return;
  const unsigned short flags = _GetNewFlags();
  fxt::PutU16(_record, kNewWord,
              static_cast<unsigned short>((flags & ~kBarlineMask) | (value << kBarlineShift)));
}

FCMeasure::BARLINE_STYLES FCMeasure::GetLeftBarline() const {
  const int value = (_GetNewFlags() & kBarlineMask) >> kBarlineShift;
  return value <= kLastBarlineStyle ? static_cast<BARLINE_STYLES>(value) : BARLINE_LEFT_UNKNOWN;
}

// --- Sub-objects -------------------------------------------------------------------

FCKeySignature* FCMeasure::_EnsureKeySignature() {
  if (!_keysig) {
    _keysig = new FCKeySignature;
    _keysig->SetKeyValue(GetKeySignatureValue());
  }
  return _keysig;
}

FCTimeSignature* FCMeasure::_EnsureTimeSignature() {
  if (!_timesig) _timesig = new FCTimeSignature(GetBeats(), GetBeatDuration());
  return _timesig;
}

FCTimeSignature* FCMeasure::_EnsureDisplayedTimeSignature() {
  if (!_displaytimesig)
    _displaytimesig = new FCTimeSignature(GetDisplayedBeats(), GetDisplayedBeatDuration());
  return _displaytimesig;
}

// --- FCMeasures ----------------------------------------------------------------------

FCMeasures::~FCMeasures() = default;

__FCBaseData* FCMeasures::CreateElement() { return new FCMeasure; }

void FCMeasures::LoadRegion(FCMusicRegion* region) {
  if (!region) {
    _ClearElements();
    return;
  }
  _LoadRange(region->GetStartMeasure(), region->GetEndMeasure());
}

void FCMeasures::_LoadRange(int first, int last) {
  _ClearElements();
  __FCBaseData* element = _CreateTemplate();
  FCMeasure* measure = dynamic_cast<FCMeasure*>(element);
  if (!measure) {
    delete element;
    return;
  }
  // Measure numbers are 16-bit; the bounds keep the count finite.
  if (first < 0) first = 0;
  if (last > 0xFFFF) last = 0xFFFF;
  for (int number = first; number <= last; ++number)
    if (measure->Load(static_cast<unsigned short>(number))) _AppendClone(measure);
  delete measure;
}
