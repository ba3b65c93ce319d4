// How fxthost reports a failure on standard error: one line that begins with the
// program's name (docs/fxthost.md shows them), so that its own complaints stand apart
// from what a plug-in prints.
#pragma once

#include <iosfwd>
#include <string>

namespace fxthost {

// What begins every line fxthost writes about a failure. A plain array, so that a
// signal handler's message can be built from it without allocating.
inline constexpr char kMessagePrefix[] = "fxthost: ";

// Writes "fxthost: reason" and a line end to err.
void Complain(std::ostream& err, const std::string& reason);

}  // namespace fxthost
