// The selection fxthost run works on: the document's own, with what --list, --staves,
// --slots, --measures and the positions give in its place (docs/fxthost.md, "Commands",
// has every refusal).
#pragma once

#include <string>

#include "host/cli/options.h"
#include "host/store/document.h"
#include "host/store/score.h"

namespace fxthost {

// The selection the command runs on: the document's, with what the options give in
// its place. False with the reason when it names no music of the document.
bool ChooseSelection(const Document& document, const RunOptions& options, Region* chosen,
                     std::string* problem);

}  // namespace fxthost
