#include "host/cli/cli.h"

int main(int argc, char** argv) { return fxthost::RunCommandLine(argc, argv); }
