// Rehearsal marks of a text expression definition: FCTextExpressionDef::MakeRehearsalMark,
// declared in textexpressiondef.h. Numbers below 1: docs/host-notation.md.
#include <cstddef>
#include <vector>

#include "framework/notation/measurenumberregion.h"
#include "framework/notation/textexpressiondef.h"
#include "framework/text/fcstring.h"

namespace {

// count copies of unit, as the whole text.
void SetRepeated(FCString* text, unsigned short unit, int count) {
  std::vector<unsigned short> units(static_cast<size_t>(count), unit);
  units.push_back(0);
  text->SetUnicodeString(units.data());
}

}  // namespace

bool FCTextExpressionDef::MakeRehearsalMark(int number, FCString* text) const {
  const short style = GetRehearsalMarkStyle();
  if (!text || number < 1 || style < REHMARK_LETTERS || style > REHMARK_MEASURENUMBER) return false;
  // The number counts from 1; every 26 marks the letters go round once more.
  const int n = number - 1;
  const int rounds = n / 26;
  const int letter = n - 26 * rounds;
  switch (style) {
    case REHMARK_LETTERS:
    case REHMARK_LOWERCASE_LETTERS: {
      const int first = style == REHMARK_LETTERS ? 'A' : 'a';
      SetRepeated(text, static_cast<unsigned short>(first + letter), rounds + 1);
      return true;
    }
    case REHMARK_LETTERS_NUMBERS:
    case REHMARK_LOWERCASE_LETTERS_NUMBERS: {
      const int first = style == REHMARK_LETTERS_NUMBERS ? 'A' : 'a';
      SetRepeated(text, static_cast<unsigned short>(first + letter), 1);
      if (n > 25) text->AppendInteger(rounds);
      return true;
    }
    case REHMARK_NUMBERS:
      text->SetInteger(number);
      return true;
    default: {
      FCMeasureNumberRegions regions;
      regions.LoadAll();
      regions.CalcMeasureNumber(number, text);
      return true;
    }
  }
}
