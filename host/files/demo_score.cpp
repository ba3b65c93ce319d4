// The built-in sample score of `fxthost demo`: the text of examples/orchestra.json,
// which the build writes into demo_score.inc as one raw string literal, so that the
// program and the example file cannot differ.
#include "host/files/docfile.h"

namespace fxthost {

const char* const kDemoScore =
#include "demo_score.inc"
    ;

}  // namespace fxthost
