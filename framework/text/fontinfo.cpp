// FCFontInfo: font name and number, comparison, and the inline tags that switch to the
// font (fontinfo.h). How the host names font numbers: docs/host-texts-staves.md, "Fonts".
#include "framework/text/fontinfo.h"

#include <cstring>

#include "bridge/finalepdk.h"
#include "framework/text/fcstring.h"

namespace {

const char kDefaultFontName[] = "Times New Roman";

// Copies at most capacity - 1 bytes of source (up to its NUL) and terminates; never
// reads past the NUL or past capacity - 1 bytes of source.
void CopyBounded(char* destination, int capacity, const char* source) {
  int i = 0;
  for (; i < capacity - 1 && source[i] != '\0'; ++i) destination[i] = source[i];
  destination[i] = '\0';
}

}  // namespace

FCFontInfo::FCFontInfo() : _size(12), _effects(0) {
  CopyBounded(_name, NAME_CAPACITY, kDefaultFontName);
}

void FCFontInfo::GetName(FCString* name) const {
  if (name) name->SetCString(_name);
}

void FCFontInfo::SetName(const char* name) {
  if (name) CopyBounded(_name, NAME_CAPACITY, name);
}

void FCFontInfo::SetName(FCString* name) {
  if (name) CopyBounded(_name, NAME_CAPACITY, name->GetCString());
}

short FCFontInfo::GetNameByID() const {
  return static_cast<short>(FX_FontNameToNum(_name, FINALE_INTERFACE_VERSION));
}

void FCFontInfo::SetNameByID(short fontNumber) {
  // The host writes the name into this buffer. It is zeroed first and its last byte
  // is never taken, so a host that fills it without a terminator still leaves a
  // bounded name.
  char buffer[NAME_CAPACITY];
  std::memset(buffer, 0, sizeof(buffer));
  if (FX_FontNumToName(fontNumber, buffer, FINALE_INTERFACE_VERSION) != 0)
    CopyBounded(_name, NAME_CAPACITY, buffer);
  else
    CopyBounded(_name, NAME_CAPACITY, kDefaultFontName);
}

bool FCFontInfo::IsIdenticalTo(const FCFontInfo* other) const {
  if (!other) return false;
  if ((_effects & COMPARED_EFFECTS) != (other->_effects & COMPARED_EFFECTS)) return false;
  if (_size != other->_size) return false;
  return std::strcmp(_name, other->_name) == 0;
}

void FCFontInfo::MakeEnigmaString(FCString* out) const {
  if (!out) return;
  out->SetCString("^font(");
  out->Append(_name);
  out->Append(")");
  out->Append("^size(");
  out->AppendInteger(_size);
  out->Append(")^nfx(");
  out->AppendInteger(_effects);
  out->Append(")");
}

void FCFontInfo::MakeEnigmaStyleString(FCString* out) const {
  if (!out) return;
  out->SetCString("^nfx(");
  out->AppendInteger(_effects);
  out->Append(")");
}
