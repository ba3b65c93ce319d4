// What `fxthost show` prints about a document's music: one line per staff in score
// order, shaded over the measures whose cells hold music in any layer, under a ruler of
// measure numbers; and the layers the document shows.
#pragma once

#include <string>

#include "host/store/document.h"

namespace fxthost {

// Fitted to width columns; empty when no cell holds music.
std::string DrawMusic(const Document& document, int width);

}  // namespace fxthost
