// What `fxthost show` prints under the chart about a document's notation: the measure
// numbers as the document shows them, and the expressions of each measure and staff.
#pragma once

#include <string>

#include "host/store/document.h"

namespace fxthost {

// The two parts, each fitted to width columns; empty when the document has no measure
// number region and no expression.
std::string DrawNotation(const Document& document, int width);

}  // namespace fxthost
