// The operations of FCString on the host's inline text tags, declared in fcstring.h; open
// tags and what TrimEnigmaFontTags removes: docs/framework-behaviour.md.
//
// A tag is a caret, a tag word and a parenthesised argument list embedded in a text,
// such as ^font(Arial) or ^title(); a doubled caret (^^) is one literal caret. Every
// pass below looks at most one unit ahead and checks that the unit exists, so no text,
// however malformed, makes it read outside the string.
#include "framework/text/fcstring.h"

#include <memory>

#include "framework/core/collection.h"
#include "framework/text/fontinfo.h"

namespace {

const unsigned short kCaret = '^';
const unsigned short kOpen = '(';
const unsigned short kClose = ')';
const unsigned short kLineFeed = '\n';

// Whether the units [units, units + count) begin with the ASCII text prefix.
bool UnitsStartWith(const unsigned short* units, int count, const char* prefix) {
  int i = 0;
  for (; prefix[i] != '\0'; ++i) {
    if (i >= count || units[i] != static_cast<unsigned char>(prefix[i])) return false;
  }
  return true;
}

// A new string holding the units [units, units + count).
FCString* NewPiece(const unsigned short* units, int count) {
  FCString* piece = new FCString;
  for (int i = 0; i < count; ++i) piece->Append(units[i]);
  return piece;
}

bool IsAnyOf(const FCString* word, const char* const* words, int count) {
  for (int i = 0; i < count; ++i) {
    if (word->IsEqual(words[i])) return true;
  }
  return false;
}

const char* const kFontWords[] = {"font", "Font", "fontMus", "fontTxt", "fontNum"};
// The font words whose argument CreateLastFontInfo reads ("Font" is not among them).
const char* const kReadFontWords[] = {"font", "fontMus", "fontTxt", "fontNum"};
const char* const kFileInfoWords[] = {"title",    "subtitle",  "composer",    "arranger",
                                      "lyricist", "copyright", "description", "partname"};
const char* const kOtherInsertWords[] = {"date", "fdate",    "time",    "filename",
                                         "page", "totpages", "cprsym",  "sharp",
                                         "flat", "natural",  "dbsharp", "dbflat"};

template <typename T, int N>
constexpr int CountOf(T (&)[N]) {
  return N;
}

}  // namespace

// --- File-information inserts ---------------------------------------------------------

bool FCString::IsEnigmaFileInfoTitle() const { return StartsWith("^title()"); }
bool FCString::IsEnigmaFileInfoSubtitle() const { return StartsWith("^subtitle()"); }
bool FCString::IsEnigmaFileInfoComposer() const { return StartsWith("^composer()"); }
bool FCString::IsEnigmaFileInfoArranger() const { return StartsWith("^arranger()"); }
bool FCString::IsEnigmaFileInfoLyricist() const { return StartsWith("^lyricist()"); }
bool FCString::IsEnigmaFileInfoCopyright() const { return StartsWith("^copyright()"); }

// --- Trimming ---------------------------------------------------------------------------

void FCString::_RemoveTags(bool (*drop)(const unsigned short* tag, int length), bool keepOpen,
                           bool* tagBegan, bool* closedDropped) {
  // Built in place: each input unit writes at most one output unit, and a kept tag is
  // copied down from where it was collected, so the write position never passes the
  // read position.
  *tagBegan = false;
  *closedDropped = false;
  bool inTag = false;
  int tagStart = 0;
  int out = 0;
  for (int i = 0; i < _length; ++i) {
    const unsigned short unit = _units[i];
    if (inTag) {
      if (unit != kClose) continue;
      inTag = false;
      const unsigned short* tag = _units + tagStart;
      const int tagLength = i - tagStart + 1;
      if (drop(tag, tagLength)) {
        *closedDropped = true;
        continue;
      }
      for (int k = 0; k < tagLength; ++k) _units[out++] = tag[k];
      continue;
    }
    if (unit == kCaret) {
      if (i + 1 < _length && _units[i + 1] == kCaret) {
        _units[out++] = kCaret;
        ++i;
        continue;
      }
      inTag = true;
      *tagBegan = true;
      tagStart = i;
      continue;
    }
    _units[out++] = unit;
  }
  // A tag still open here is no complete tag: it is kept as text, or dropped with
  // everything after its caret.
  if (inTag && keepOpen)
    for (int k = tagStart; k < _length; ++k) _units[out++] = _units[k];
  _length = out;
}

bool FCString::TrimEnigmaTags() {
  bool tagBegan, closedDropped;
  _RemoveTags([](const unsigned short*, int) { return true; }, false, &tagBegan, &closedDropped);
  return tagBegan;
}

bool FCString::TrimEnigmaFontTags() {
  // A prefix test: ^font also covers ^fontMus, ^fontTxt and ^fontNum.
  auto isFontTag = [](const unsigned short* tag, int length) {
    return UnitsStartWith(tag, length, "^font") || UnitsStartWith(tag, length, "^Font") ||
           UnitsStartWith(tag, length, "^nfx") || UnitsStartWith(tag, length, "^size");
  };
  bool tagBegan, closedDropped;
  _RemoveTags(isFontTag, true, &tagBegan, &closedDropped);
  return closedDropped;
}

// --- Tokenising -------------------------------------------------------------------------

FCStrings* FCString::CreateEnigmaStrings(bool includeText) const {
  FCStrings* pieces = new FCStrings;
  FCString* current = nullptr;  // owned by pieces
  bool inTag = false;
  int depth = 0;
  for (int i = 0; i < _length; ++i) {
    const unsigned short unit = _units[i];
    if (inTag) {
      current->Append(unit);
      if (unit == kOpen) {
        ++depth;
      } else if (unit == kClose) {
        --depth;
        if (depth == 0) {
          inTag = false;
          current = nullptr;
        }
      }
      continue;
    }
    if (unit == kCaret) {
      if (i + 1 < _length && _units[i + 1] == kCaret) {
        if (includeText) pieces->Add(new FCString("^^"));
        current = nullptr;
        ++i;
        continue;
      }
      current = new FCString;
      current->Append(unit);
      pieces->Add(current);
      inTag = true;
      depth = 0;
      continue;
    }
    if (!includeText) continue;
    if (!current) {
      current = new FCString;
      pieces->Add(current);
    }
    current->Append(unit);
  }
  return pieces;
}

FCStrings* FCString::CreateEnigmaComponents() const {
  if (_length < 2 || _units[0] != kCaret) return nullptr;
  FCStrings* components = new FCStrings;
  int partStart = 1;
  for (int i = 1; i <= _length; ++i) {
    if (i < _length && !IsCharacter(i, ",()")) continue;
    if (i > partStart) components->Add(NewPiece(_units + partStart, i - partStart));
    partStart = i + 1;
  }
  return components;
}

// --- Tag tests --------------------------------------------------------------------------

bool FCString::IsEnigmaFont() const {
  if (!IsCharacter(0, kCaret) || IsCharacter(1, kCaret)) return false;
  std::unique_ptr<FCStrings> components(CreateEnigmaComponents());
  if (!components || components->GetCount() == 0) return false;
  return IsAnyOf(components->GetItemAt(0), kFontWords, CountOf(kFontWords));
}

bool FCString::IsEnigmaTextInsert(bool fileInfoOnly) const {
  if (!IsCharacter(0, kCaret) || IsCharacter(1, kCaret)) return false;
  std::unique_ptr<FCStrings> components(CreateEnigmaComponents());
  if (!components || components->GetCount() == 0) return false;
  const FCString* word = components->GetItemAt(0);
  if (IsAnyOf(word, kFileInfoWords, CountOf(kFileInfoWords))) return true;
  return !fileInfoOnly && IsAnyOf(word, kOtherInsertWords, CountOf(kOtherInsertWords));
}

bool FCString::ContainsEnigmaTextInsert(bool fileInfoOnly) const {
  std::unique_ptr<FCStrings> tags(CreateEnigmaStrings(false));
  for (int i = 0; i < tags->GetCount(); ++i) {
    if (tags->GetItemAt(i)->IsEnigmaTextInsert(fileInfoOnly)) return true;
  }
  return false;
}

// --- Reading the font -------------------------------------------------------------------

FCFontInfo* FCString::CreateLastFontInfo() const {
  FCFontInfo* font = new FCFontInfo;
  std::unique_ptr<FCStrings> tags(CreateEnigmaStrings(false));
  for (int i = 0; i < tags->GetCount(); ++i) {
    std::unique_ptr<FCStrings> components(tags->GetItemAt(i)->CreateEnigmaComponents());
    if (!components || components->GetCount() < 2) continue;
    const FCString* word = components->GetItemAt(0);
    FCString* argument = components->GetItemAt(1);
    if (IsAnyOf(word, kReadFontWords, CountOf(kReadFontWords))) {
      // "Font" and a number names the font by the host's font number.
      if (argument->StartsWith("Font"))
        font->SetNameByID(static_cast<short>(static_cast<unsigned short>(argument->GetInteger(4))));
      else
        font->SetName(argument);  // bounded to 255 bytes
    } else if (word->IsEqual("nfx")) {
      font->SetEffects(static_cast<unsigned short>(argument->GetInteger(0)));
    } else if (word->IsEqual("size")) {
      font->SetSize(static_cast<short>(static_cast<unsigned short>(argument->GetInteger(0))));
    }
  }
  return font;
}

// --- Rows and parsing -------------------------------------------------------------------

FCStrings* FCString::CreateStringRows() const {
  FCStrings* rows = new FCStrings;
  FCString* current = nullptr;  // owned by rows
  for (int i = 0; i < _length; ++i) {
    const unsigned short unit = _units[i];
    if (unit == kLineFeed) {
      if (!current) rows->Add(new FCString);
      current = nullptr;
      continue;
    }
    if (!current) {
      current = new FCString;
      rows->Add(current);
    }
    current->Append(unit);
  }
  return rows;
}

FCStrings* FCString::CreateParsedStrings(const char* separators) const {
  FCStrings* parts = new FCStrings;
  int partStart = 0;
  for (int i = 0; i <= _length; ++i) {
    if (i < _length && !IsCharacter(i, separators)) continue;
    if (i > partStart) parts->Add(NewPiece(_units + partStart, i - partStart));
    partStart = i + 1;
  }
  return parts;
}
