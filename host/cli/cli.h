// The fxthost command line: the subcommands of docs/fxthost.md ("Commands").
#pragma once

namespace fxthost {

// Runs the command line; returns the process exit status (0 ran, 2 unusable input).
int RunCommandLine(int argc, char** argv);

}  // namespace fxthost
