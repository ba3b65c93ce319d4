// The emulated host: the state behind the host functions the plug-in calls.
//
// One Host is current in a process at a time (the exported host functions reach it);
// it keeps the call log, the fault plan, the behaviour of each host function, the
// user interface that answers message boxes, and the open documents.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/document.h"
#include "host/hostfunctions.h"

namespace fxthost {

class Host;

// One call as it arrived: the function and its raw argument words.
struct Call {
  Fn fn;
  std::vector<uint64_t> words;
};

// What a host function does: reads its argument words, returns the raw result (a
// 32-bit value, or a pointer for the functions that return one).
typedef intptr_t (*Behaviour)(Host& host, const uint64_t* words);

// A message box as the host's user interface showed it, with the answer given.
struct Alert {
  std::string kind;  // "error", "yesno", "info" or "neutral"
  std::string caption;
  std::string message;
  std::string answer;  // "yes", "no", "ok" or "none"
};

// The host's user interface: shows message boxes and answers them.
class UserInterface {
 public:
  virtual ~UserInterface() = default;
  // Returns the Windows result of the box: IDOK, IDYES, IDNO, or 0 when the box was
  // closed without an answer or could not be shown.
  virtual int ShowMessageBox(const std::string& caption, const std::string& text,
                             uint32_t type) = 0;
};

class Host {
 public:
  Host();
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The host the exported functions reach, or null.
  static Host* Current();

  // The version this host reports to plug-ins.
  uint32_t Version() const { return version_; }
  void SetVersion(uint32_t version) { version_ = version; }

  void SetBehaviour(Fn fn, Behaviour behaviour);

  // Call log.
  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<Call> CallsTo(Fn fn) const;
  void ClearCalls() { calls_.clear(); }
  // The log as text, one call a line: name(0x..., 0x...).
  std::string DescribeCall(const Call& call) const;

  // Fault injection: the nth call of fn from now on (1 = the next) fails: it is logged,
  // does nothing, and returns 0.
  void FailCall(Fn fn, int nth);
  void FailCall(const std::string& name, int nth) { FailCall(FindFunction(name), nth); }

  // The user interface; null means none is attached (boxes cannot be shown).
  void SetUserInterface(UserInterface* ui) { ui_ = ui; }
  UserInterface* GetUserInterface() const { return ui_; }
  // Alerts shown so far.
  std::vector<Alert>& Alerts() { return alerts_; }

  // Documents. A new document becomes the current one.
  Document& NewDocument(const std::string& name = "");
  // The current document, or null when none is open.
  Document* CurrentDocument();
  Document* FindDocument(int number);
  bool SetCurrentDocument(int number);
  bool CloseDocument(int number);
  // Open documents in the order they were opened.
  std::vector<Document*> Documents();

  // Entry from the exported functions.
  intptr_t Dispatch(Fn fn, const uint64_t* words, int count);

 private:
  uint32_t version_ = 0x11000000;
  std::vector<Behaviour> behaviours_;
  std::vector<Call> calls_;
  std::map<int, std::vector<int>> faults_;  // function -> remaining counts
  std::vector<int> callCounts_;
  UserInterface* ui_ = nullptr;
  std::vector<std::unique_ptr<Document>> documents_;
  int currentDocument_ = 0;
  int nextDocumentNumber_ = 1;
  std::vector<Alert> alerts_;
};

// Behaviour families install themselves here; each lives in its own file.
void InstallBaseBehaviours(Host& host);
void InstallRecordBehaviours(Host& host);
void InstallTextBehaviours(Host& host);      // raw texts, fonts (host/behaviours_texts.cpp)
void InstallStaffBehaviours(Host& host);     // staff lists, staff names (behaviours_staves.cpp)
void InstallEditBehaviours(Host& host);      // edit transactions, undo (behaviours_edit.cpp)
void InstallSelectionBehaviours(Host& host); // selection, clipboard (behaviours_selection.cpp)
void InstallViewBehaviours(Host& host);      // view, alerts, measures (behaviours_view.cpp)

}  // namespace fxthost
