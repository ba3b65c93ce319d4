// What `fxthost show` prints under the chart about a document's notation: the measure
// numbers as the document shows them, and the expressions of each measure and staff.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "host/store/document.h"
#include "host/store/notationmodel.h"

namespace fxthost {

// The two parts, each fitted to width columns; empty when the document has no measure
// number region and no expression.
std::string DrawNotation(const Document& document, int width);

// What measure m shows under the regions (MeasureNumberRegionsOf): the first region in key
// order that contains it, and its text; region 0 and the plain number when none can show it.
std::pair<uint16_t, std::u16string> ShownMeasure(const std::vector<NumberRegion>& regions, int m);

}  // namespace fxthost
