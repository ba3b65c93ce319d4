// The document's font table: the host's font numbers and the names behind them.
//
// Names are kept in UTF-8; FX_FontNumToName and FX_FontNameToNum convert them to and
// from the callers' 8-bit (Windows-1252) strings.
#pragma once

#include <map>
#include <string>

namespace fxthost {

using FontTable = std::map<int, std::string>;

// The table every new document starts with (docs/host-texts-staves.md lists it).
FontTable DefaultFontTable();

// The name of the font number, or null when the table has no such number.
const std::string* FontNameOf(const FontTable& fonts, int number);
// The number of the named font, or -1 when the table has no such name. Names compare
// exactly first; failing that, without regard to ASCII letter case (font names are not
// case-sensitive on the host's platform). The lowest number wins among equals.
int FontNumberOf(const FontTable& fonts, const std::string& name);

}  // namespace fxthost
