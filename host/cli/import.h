// "fxthost import SCORE -o DOC": a MusicXML score read into a document file, with a
// summary of what it took and what it left out (docs/musicxml.md).
#pragma once

#include <ostream>
#include <string>

namespace fxthost {

// Reads the score and writes the document to output; the summary goes to out, a refusal
// to err. Exit status 0, 2 for a score that cannot be read, 1 when output cannot be
// written.
int ImportScore(const std::string& score, const std::string& output, std::ostream& out,
                std::ostream& err);

}  // namespace fxthost
