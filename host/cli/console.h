// The user interface of fxthost at a terminal: message boxes printed and questions asked.
#pragma once

#include <iosfwd>
#include <string>

#include "host/functions/userinterface.h"

namespace fxthost {

// Prints each box as "kind: caption: message" as it comes; every further line of a
// message carries the same prefix ("kind: caption: line"; an empty line "kind: caption:"). A
// question is answered from the configured answer; without one, the user is asked on the input when
// it is a terminal; otherwise the box counts as closed without an answer.
class ConsoleUserInterface : public UserInterface {
 public:
  // answer: the configured answer, or null for none. input: where the user answers,
  // null when there is no terminal to ask on.
  ConsoleUserInterface(Host& host, std::ostream& out, const Answer* answer, std::istream* input);
  // Prints to standard output and asks on standard input when that is a terminal.
  static ConsoleUserInterface ForTerminal(Host& host, const Answer* answer);

  int ShowMessageBox(const std::string& caption, const std::string& text, uint32_t type) override;

 private:
  Host& host_;
  std::ostream& out_;
  bool configured_;
  Answer answer_;
  std::istream* input_;
};

}  // namespace fxthost
