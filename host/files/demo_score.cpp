// The built-in sample score of `fxthost demo` (kDemoScore, declared in docfile.h): the
// text of examples/orchestra.json, which the build writes into demo_score.inc as one raw
// string literal, so that the program and the example file cannot differ. The format of
// the text is described in docs/fxthost.md.
#include "host/files/docfile.h"

namespace fxthost {

const char* const kDemoScore =
#include "demo_score.inc"
    ;

}  // namespace fxthost
