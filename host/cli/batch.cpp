// fxthost batch: the command lines of a file run in one process (host/cli/batch.h; the
// file's form and the exit status in docs/fxthost.md, under "batch").
#include "host/cli/batch.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>

#include "host/cli/cli.h"
#include "host/run/messages.h"

namespace fxthost {

namespace {

constexpr int kExitUnusable = 2;
// What a file written as UTF-8 may begin with; the document reader skips it too.
const std::string kByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool SplitBatchLine(const std::string& line, std::vector<std::string>* words) {
  words->clear();
  std::string word;
  bool inWord = false, quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      inWord = true;
    } else if (!quoted && (c == ' ' || c == '\t')) {
      if (inWord) words->push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (inWord) words->push_back(word);
  return !quoted;
}

int RunBatch(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    Complain(std::cerr, "cannot read the batch file " + path + ": it is a directory");
    return kExitUnusable;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    Complain(std::cerr, "cannot read the batch file " + path);
    return kExitUnusable;
  }
  return RunBatch(in, path);
}

int RunBatch(std::istream& in, const std::string& path) {
  int worst = 0;
  int number = 0, lineNumber = 0;
  std::string line;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (lineNumber == 1 && line.compare(0, kByteOrderMark.size(), kByteOrderMark) == 0)
      line.erase(0, kByteOrderMark.size());
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> words;
    const bool closed = SplitBatchLine(line, &words);
    if (closed && (words.empty() || words[0][0] == '#')) continue;
    ++number;
    // Flushed, so that the markers and what the line prints (standard error included)
    // stay in order when both go to one file.
    std::cout << "== " << number << ": " << line << std::endl;
    const std::string where = path + " line " + std::to_string(lineNumber) + ": ";
    int status = kExitUnusable;
    if (line.find('\0') != std::string::npos) {
      // A word is passed on as a C string: the byte would cut it short (a file "a\0b"
      // written as "a").
      Complain(std::cerr, where + "a NUL byte at column " + std::to_string(line.find('\0') + 1) +
                              "; a line is text");
    } else if (!closed) {
      Complain(std::cerr, where + "a quote is not closed");
    } else if (words[0] == "batch") {
      Complain(std::cerr, where + "a batch cannot run a batch");
    } else {
      std::vector<char*> argv;
      std::string program = "fxthost";
      argv.push_back(&program[0]);
      for (std::string& word : words) argv.push_back(&word[0]);
      argv.push_back(nullptr);
      status = RunCommandLine(static_cast<int>(argv.size() - 1), argv.data());
    }
    std::cout << "== " << number << ": exit " << status << std::endl;
    worst = std::max(worst, status);
  }
  if (in.bad()) {
    Complain(std::cerr, "cannot read the batch file " + path + " after line " +
                            std::to_string(lineNumber) + "; the batch stops there");
    worst = std::max(worst, kExitUnusable);
  }
  return worst;
}

}  // namespace fxthost
