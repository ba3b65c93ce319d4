#include "framework/notation/timesignature.h"

#include "framework/text/fcstring.h"

namespace {

// Duration units in a whole note.
const int kWholeNote = 4096;

}  // namespace

FCTimeSignature::~FCTimeSignature() = default;

void FCTimeSignature::CloneMemoryFrom(__FCBaseData* source) {
  const FCTimeSignature* other = dynamic_cast<const FCTimeSignature*>(source);
  if (!other || other == this) return;
  _beats = other->_beats;
  _beatduration = other->_beatduration;
  _beatsflag = other->_beatsflag;
  _durationflag = other->_durationflag;
}

void FCTimeSignature::MakeString(FCString* out) const {
  if (!out) return;
  out->SetCString("");
  int beats = _beatsflag ? 0 : _beats;
  int duration = _durationflag ? 0 : _beatduration;
  // A dotted beat: count the undotted thirds instead.
  if (duration % 3 == 0) {
    duration /= 3;
    beats *= 3;
  }
  if (beats == 0 || duration == 0) {
    out->SetCString("???");
    return;
  }
  out->AppendInteger(beats);
  out->Append("/");
  out->AppendInteger(kWholeNote / duration);
}
