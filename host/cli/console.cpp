// The terminal's user interface: each message box printed as it comes, every line of it
// behind the alert's prefix, questions asked on standard input when it is a terminal
// (host/cli/console.h).
#include "host/cli/console.h"

#include <iostream>
#include <string>

#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fxthost {

namespace {

// Whether someone can answer on standard input. On Windows _isatty says yes for every
// character device, NUL included, so a run with its input from NUL would prompt and read
// nothing: only a console counts there.
bool InputIsTerminal() {
#if defined(_WIN32)
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
#else
  return isatty(STDIN_FILENO) != 0;
#endif
}

// The alert's text, every line of it behind the alert's prefix ("kind: caption: "), so
// that no line of a long message reads as one of fxthost's own. A line of its own ends
// at "\n" or "\r\n"; an empty line prints the prefix without its closing space.
void PrintAlert(std::ostream& out, const std::string& prefix, const std::string& text) {
  size_t start = 0;
  for (;;) {
    const size_t end = text.find('\n', start);
    std::string line = text.substr(start, end == std::string::npos ? end : end - start);
    if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
    out << (line.empty() ? prefix.substr(0, prefix.size() - 1) : prefix + line) << "\n";
    if (end == std::string::npos) return;
    start = end + 1;
  }
}

}  // namespace

ConsoleUserInterface::ConsoleUserInterface(Host& host, std::ostream& out, const Answer* answer,
                                           std::istream* input)
    : host_(host),
      out_(out),
      configured_(answer != nullptr),
      answer_(answer ? *answer : Answer::kNone),
      input_(input) {}

ConsoleUserInterface ConsoleUserInterface::ForTerminal(Host& host, const Answer* answer) {
  return ConsoleUserInterface(host, std::cout, answer, InputIsTerminal() ? &std::cin : nullptr);
}

int ConsoleUserInterface::ShowMessageBox(const std::string& caption, const std::string& text,
                                         uint32_t type) {
  PrintAlert(out_, AlertKind(type) + ": " + caption + ": ", text);
  Answer answer = answer_;
  if (IsQuestion(type) && !configured_) {
    answer = Answer::kNone;
    // Asked until the user says yes or no; the end of the input closes the box.
    while (input_) {
      out_ << "Answer yes or no: " << std::flush;
      std::string line;
      if (!std::getline(*input_, line)) break;
      if (line == "y" || line == "yes" || line == "Y" || line == "Yes") {
        answer = Answer::kYes;
        break;
      }
      if (line == "n" || line == "no" || line == "N" || line == "No") {
        answer = Answer::kNo;
        break;
      }
    }
  }
  out_ << std::flush;
  return RecordAlert(host_, caption, text, type, BoxResult(type, answer));
}

}  // namespace fxthost
