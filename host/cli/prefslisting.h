// fxthost prefs: a document's side records grouped by the preference each one serves,
// from the bridge's own preference maps (bridge/prefmaps.def), so that a plug-in author
// can see which record words hold which value of a preference structure.
#pragma once

#include <ostream>
#include <string>

#include "host/store/document.h"

namespace fxthost {

// The listing of the document's side records (docs/fxthost.md shows one). A record
// that serves several preferences is listed under each; side records that no map names
// come last, under "Serving no preference".
std::string DescribePreferenceRecords(const Document& document, const std::string& title);

// fxthost prefs DOC: reads the document file and writes the listing to out. Returns the
// exit status: 0, or 2 when the document is refused (the reason goes to err).
int PrintPreferenceRecords(const std::string& path, std::ostream& out, std::ostream& err);

}  // namespace fxthost
