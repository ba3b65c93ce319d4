// FCKeySignature: what follows from a key value: accidentals, roots, names (keysignature.h).
// The root relation counted modulo 7: docs/framework-behaviour.md.
#include "framework/notation/keysignature.h"

#include <cstring>

#include "bridge/recordbytes.h"
#include "framework/text/fcstring.h"

namespace {

// The tonic's letter of a standard key by its accidentals: index s mod 7 for sharps,
// 7 - (f mod 7) for flats.
const int kMajorRoots[8] = {2, 6, 3, 0, 4, 1, 5, 2};
const int kMinorRoots[8] = {0, 4, 1, 5, 2, 6, 3, 0};

const int kLetters = 7;

// The position (1 to 7) of a letter in the order in which sharps are added: F C G D A E
// B. Flats are added in the reverse order, so a letter's position among the flats is
// that of its mirror image 6 - letter.
int SharpOrder(int letter) {
  int position = (2 * letter + 5) % kLetters;
  return position == 0 ? kLetters : position;
}

}  // namespace

FCKeySignature::FCKeySignature() { std::memset(_record, 0, sizeof(_record)); }

FCKeySignature::~FCKeySignature() = default;

void FCKeySignature::CloneMemoryFrom(__FCBaseData* source) {
  // The key value is all there is to copy. The loaded size stays as it is: this
  // object stands for no host record, so it is never written to the host.
  const FCKeySignature* other = dynamic_cast<const FCKeySignature*>(source);
  SetKeyValue(other ? other->GetKeyValue() : 0);
}

short FCKeySignature::GetKeyValue() const { return fxt::GetS16(_record, 0); }

void FCKeySignature::SetKeyValue(short value) { fxt::PutS16(_record, 0, value); }

bool FCKeySignature::IsStandard() const { return fxt::GetU16(_record, 0) < 0x200; }

bool FCKeySignature::IsMinor() const { return IsStandard() && (fxt::GetU16(_record, 0) >> 8) == 1; }

int FCKeySignature::_Mode() const {
  uint16_t value = fxt::GetU16(_record, 0);
  if (value & 0xC000) return -1;
  return value >> 8;
}

short FCKeySignature::CalcSharps() const {
  if (!IsStandard()) return -1;
  int count = static_cast<int8_t>(fxt::GetU8(_record, 0));
  return static_cast<short>(count > 0 ? count : 0);
}

short FCKeySignature::CalcFlats() const {
  if (!IsStandard()) return -1;
  int count = static_cast<int8_t>(fxt::GetU8(_record, 0));
  return static_cast<short>(count < 0 ? -count : 0);
}

int FCKeySignature::CalcScaleRootIndex() const {
  if (!IsStandard()) return -1;
  const int sharps = CalcSharps();
  const int flats = CalcFlats();
  const int index = flats != 0 ? kLetters - flats % kLetters : sharps % kLetters;
  return IsMinor() ? kMinorRoots[index] : kMajorRoots[index];
}

int FCKeySignature::CalcRootRelationIndex() const {
  if (!IsStandard()) return -1;
  const int sharps = CalcSharps();
  const int flats = CalcFlats();
  // Each sharp moves the tonic a fifth (four steps) up, each flat a fifth down.
  if (sharps > 0) return (4 * sharps) % kLetters;
  if (flats > 0) return (kLetters - (4 * flats) % kLetters) % kLetters;
  return 0;
}

int FCKeySignature::CalcRootRelationAbsoluteIndex() const {
  int index = CalcRootRelationIndex();
  if (index < 0) return -1;
  // The relative minor's tonic lies two steps below the major tonic.
  if (IsMinor()) {
    index -= 2;
    if (index < 0) index += kLetters;
  }
  return index;
}

bool FCKeySignature::IsSharpNote(int letter) const {
  if (letter < 0 || letter >= kLetters) return false;
  const int sharps = CalcSharps();
  return sharps > 0 && sharps >= SharpOrder(letter);
}

bool FCKeySignature::IsFlatNote(int letter) const {
  if (letter < 0 || letter >= kLetters) return false;
  const int flats = CalcFlats();
  return flats > 0 && flats >= SharpOrder(kLetters - 1 - letter);
}

bool FCKeySignature::IsIdentical(FCKeySignature* other) const {
  if (!other) return false;
  const int mine = _Mode();
  const int theirs = other->_Mode();
  if ((mine == 1) != (theirs == 1)) return false;
  if ((mine == 0) != (theirs == 0)) return false;
  return CalcScaleRootIndex() == other->CalcScaleRootIndex() && CalcFlats() == other->CalcFlats() &&
         CalcSharps() == other->CalcSharps();
}

void FCKeySignature::MakeString(FCString* out) const {
  if (!out) return;
  out->SetCString("");
  if (!IsStandard()) return;
  const int letter = CalcScaleRootIndex();
  const bool minor = IsMinor();
  const char name[2] = {static_cast<char>((minor ? 'a' : 'A') + letter), '\0'};
  out->Append(name);
  if (IsSharpNote(letter)) out->Append(" sharp");
  if (IsFlatNote(letter)) out->Append(" flat");
  out->Append(minor ? " minor" : " major");
}
