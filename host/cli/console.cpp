// The terminal's user interface: each message box printed as it comes, questions asked
// on standard input when it is a terminal (host/cli/console.h).
#include "host/cli/console.h"

#include <iostream>

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
  out_ << AlertKind(type) << ": " << caption << ": " << text << "\n";
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
