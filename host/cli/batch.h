// fxthost batch: the command lines of a file run one after the other in one process, so
// that a host whose start-up is slow (a program under an emulator) pays it once.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace fxthost {

// Splits one line of a batch file into words: blanks and tabs separate them, and double
// quotes enclose a word that holds blanks ("" is an empty word). False when a quote is
// left open.
bool SplitBatchLine(const std::string& line, std::vector<std::string>* words);

// Runs each command line of the file in turn, as if fxthost had been started with it:
// "== N: LINE" before it and "== N: exit S" after it on standard output. Empty lines and
// lines whose first word begins with # are skipped. Returns the largest exit status of
// the lines (0 when each exited with 0), or 2 when the file cannot be read (a directory,
// a read error part way through).
int RunBatch(const std::string& path);

// The same with the lines of in, the file named path in messages. A UTF-8 byte-order mark
// at the start is skipped; a line that holds a NUL byte is refused with status 2.
int RunBatch(std::istream& in, const std::string& path);

}  // namespace fxthost
