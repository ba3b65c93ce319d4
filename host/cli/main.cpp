// The fxthost executable: the command line of host/cli/cli.h and nothing more.
#include "host/cli/cli.h"

int main(int argc, char** argv) { return fxthost::RunCommandLine(argc, argv); }
