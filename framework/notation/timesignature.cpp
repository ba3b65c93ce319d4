// FCTimeSignature's copy and its text, "beats/note value" (timesignature.h). Beats of odd
// lengths and "???": docs/framework-behaviour.md.
#include "framework/notation/timesignature.h"

#include <cstdint>
#include <cstdio>
#include <numeric>

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
  int64_t beats = _beatsflag ? 0 : _beats;
  int64_t duration = _durationflag ? 0 : _beatduration;
  // A dotted beat: count the undotted thirds instead.
  if (duration % 3 == 0) {
    duration /= 3;
    beats *= 3;
  }
  if (beats <= 0 || duration <= 0) {
    out->SetCString("???");
    return;
  }
  // The beat is numerator/denominator of a whole note, in lowest terms. A beat that is
  // a whole fraction of a whole note (numerator 1) gives the usual name; any other beat
  // (longer than a whole note, or of an odd length) is counted in the denominator's
  // note value, so that the text still gives the measure's length exactly.
  const int64_t common = std::gcd(duration, static_cast<int64_t>(kWholeNote));
  const int64_t numerator = duration / common;
  const int64_t denominator = kWholeNote / common;
  char text[48];
  std::snprintf(text, sizeof text, "%lld/%lld", static_cast<long long>(beats * numerator),
                static_cast<long long>(denominator));
  out->SetCString(text);
}
