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

#include "host/store/document.h"
#include "host/functions/hostfunctions.h"
#include "host/store/score.h"

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

// Music taken to the host's clipboard by a copy or a cut (selection.cpp):
// the music records of the region's cells, each placed relative to the top left cell.
struct MusicClip {
  struct Record {
    int32_t staffOffset;    // slots below the region's top slot
    int32_t measureOffset;  // measures after the region's first measure
    uint32_t tag;
    uint16_t third;  // the key's third item number (the record's place in its cell)
    uint16_t extra;  // the key's last two bytes
    std::vector<uint8_t> bytes;
  };
  int32_t staves = 0;
  int32_t measures = 0;
  std::vector<Record> records;
};

// An entry frame handed out (music.cpp): the block the plug-in holds and the
// entry records it points at, both the host's memory until the frame is given back.
struct EntryFrame {
  int document = 0;
  int16_t staff = 0;
  int16_t measure = 0;
  int16_t layer = 0;
  std::vector<uint8_t> block;    // never resized: its address is the frame
  std::vector<uint8_t> entries;  // the entry records; reallocated by insertions
};

// An open edit transaction (edits.cpp): every open document as it was when it
// opened, so that cancelling restores them and closing can tell what changed.
struct EditTransaction {
  std::string name;
  bool command = false;  // opened by the host for a command, not by the plug-in
  int document = 0;      // the document that was current
  std::map<int, Document::Content> before;
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
  // Whether fn has a behaviour. A function without one is still exported and its calls
  // are logged, but it does nothing and answers 0: docs/host-functions.md lists them.
  bool Emulates(Fn fn) const;

  // Call log: every call with its argument words, kept unless turned off. Tests keep
  // it to check what a plug-in called; fxthost's commands turn it off, as a command on a
  // large score makes hundreds of thousands of calls that nothing reads back.
  const std::vector<Call>& Calls() const { return calls_; }
  std::vector<Call> CallsTo(Fn fn) const;
  void ClearCalls() { calls_.clear(); }
  void KeepCallLog(bool keep) { keepCallLog_ = keep; }
  // The calls made since the host was made to functions it does not emulate, counted by
  // function (kept whether or not the log is).
  std::map<Fn, int> CallsNotEmulated() const;
  // The log as text, one call a line: name(0x..., 0x...).
  std::string DescribeCall(const Call& call) const;

  // Fault injection: the nth call of fn from now on (1 = the next) fails: it is logged,
  // does nothing, and returns the failure value of its row (Info(fn).failure: 0 for
  // most, the fallback the bridge gives for a missing function for the others).
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

  // Edit transactions and undo (edits.cpp). Running a command is one
  // transaction: BeginCommand opens it on the current document (false when there is no
  // document or a transaction is open already); EndCommand closes it, also closing the
  // edits the plug-in left open as part of it. Kept, it is one undo step of each
  // document it changed and of the current one; not kept, the documents go back to how
  // they were when it opened.
  bool BeginCommand(const std::string& name);
  bool EndCommand(bool keep = true);
  // What FX_StartFinaleEdit, FX_EndFinaleEdit and FX_CancelFinaleEdit do. Edits nest:
  // one closed inside another transaction becomes part of it; only the outermost makes
  // undo steps. End and cancel close only an edit the plug-in opened, never the command.
  bool StartEdit(const std::string& name);
  bool EndEdit();
  bool CancelEdit();
  // Open transactions, the command's included, innermost last.
  const std::vector<EditTransaction>& OpenEdits() const { return edits_; }
  // Undoes the current document's last step; false when it has none or an edit is open.
  bool Undo();

  // Music clipboard (selection.cpp). A copy or cut of a region of the current
  // document gives a token (0 when refused); the token's music can be pasted into any
  // document until it is disposed of; unknown and disposed tokens are refused.
  uint32_t CopyMusic(const Region& region, bool cut);
  bool PasteMusic(uint32_t token, const Region& at, bool replace);
  bool DisposeMusic(uint32_t token);
  const MusicClip* FindClip(uint32_t token) const;
  size_t ClipCount() const { return clips_.size(); }

  // Entry frames (music.cpp). A frame handed out stays the host's until it is
  // given back; a block the host did not hand out, or one given back already, is
  // refused. A document that closes with frames outstanding reports a leak (Leaks) and
  // its frames are dropped.
  void* HandOutFrame(int document, int16_t staff, int16_t measure, int16_t layer,
                     const std::vector<uint8_t>& entries);
  EntryFrame* FindFrame(const void* block);
  bool TakeBackFrame(const void* block);
  size_t FramesOutstanding() const { return frames_.size(); }
  // One line per document closed with frames outstanding.
  const std::vector<std::string>& Leaks() const { return leaks_; }

  // Entry from the exported functions.
  intptr_t Dispatch(Fn fn, const uint64_t* words, int count);

 private:
  uint32_t version_ = 0x11000000;
  std::vector<Behaviour> behaviours_;
  std::vector<Call> calls_;
  bool keepCallLog_ = true;
  std::map<int, std::vector<int>> faults_;  // function -> remaining counts
  std::vector<int> callCounts_;
  UserInterface* ui_ = nullptr;
  std::vector<std::unique_ptr<Document>> documents_;
  int currentDocument_ = 0;
  int nextDocumentNumber_ = 1;
  std::vector<Alert> alerts_;
  bool OpenEdit(const std::string& name, bool command);  // edits.cpp
  void CloseEdit(bool keep);
  std::vector<EditTransaction> edits_;   // edits.cpp
  std::map<uint32_t, MusicClip> clips_;  // selection.cpp
  uint32_t nextClipToken_ = 1;
  std::map<const void*, std::unique_ptr<EntryFrame>> frames_;  // music.cpp
  std::vector<std::string> leaks_;
  // Reports and drops the frames of a closing document.
  void DropFramesOf(const Document& document);
};

// Behaviour families install themselves here; each lives in its own file.
void InstallRecordBehaviours(Host& host);
void InstallTextBehaviours(Host& host);       // raw texts, fonts (host/functions/texts.cpp)
void InstallStaffBehaviours(Host& host);      // staff lists, staff names (staves.cpp)
void InstallEditBehaviours(Host& host);       // edit transactions, undo (edits.cpp)
void InstallSelectionBehaviours(Host& host);  // selection, clipboard (selection.cpp)
void InstallViewBehaviours(Host& host);       // view, alerts, measures (view.cpp)
void InstallDocumentBehaviours(Host& host);   // paths, linked parts (documents.cpp)
void InstallMusicBehaviours(Host& host);      // entry frames, layers (music.cpp)

}  // namespace fxthost
