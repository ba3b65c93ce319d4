// The emulated host's state: the current host, its documents, the call log, planned
// faults, and dispatching each call to the behaviour of its function (host.h).
#include "host/functions/host.h"

#include <cstdio>

#if defined(_WIN32)
#include "host/functions/win_messagebox_hook.h"
#endif

namespace fxthost {

namespace {
Host* g_current = nullptr;
}

Host::Host() : behaviours_(kFunctionCount, nullptr), callCounts_(kFunctionCount, 0) {
  g_current = this;
#if defined(_WIN32)
  // The plug-in's message boxes are real ones on Windows; the host answers them.
  InstallMessageBoxHook();
#endif
  InstallRecordBehaviours(*this);
  InstallTextBehaviours(*this);
  InstallStaffBehaviours(*this);
  InstallEditBehaviours(*this);
  InstallSelectionBehaviours(*this);
  InstallViewBehaviours(*this);
  InstallDocumentBehaviours(*this);
  InstallMusicBehaviours(*this);
}

Host::~Host() {
  if (g_current == this) g_current = nullptr;
}

Host* Host::Current() { return g_current; }

void Host::SetBehaviour(Fn fn, Behaviour behaviour) {
  behaviours_[static_cast<int>(fn)] = behaviour;
}

bool Host::Emulates(Fn fn) const {
  return fn != Fn::Count && behaviours_[static_cast<int>(fn)] != nullptr;
}

std::map<Fn, int> Host::CallsNotEmulated() const {
  std::map<Fn, int> counts;
  for (int index = 0; index < kFunctionCount; ++index)
    if (callCounts_[index] > 0 && !Emulates(static_cast<Fn>(index)))
      counts[static_cast<Fn>(index)] = callCounts_[index];
  return counts;
}

std::vector<Call> Host::CallsTo(Fn fn) const {
  std::vector<Call> result;
  for (const Call& call : calls_)
    if (call.fn == fn) result.push_back(call);
  return result;
}

std::string Host::DescribeCall(const Call& call) const {
  std::string text = Info(call.fn).name;
  text += '(';
  for (size_t i = 0; i < call.words.size(); ++i) {
    char word[24];
    std::snprintf(word, sizeof word, "%s0x%llx", i ? ", " : "",
                  static_cast<unsigned long long>(call.words[i]));
    text += word;
  }
  return text + ')';
}

void Host::FailCall(Fn fn, int nth) {
  if (fn == Fn::Count || nth < 1) return;
  faults_[static_cast<int>(fn)].push_back(callCounts_[static_cast<int>(fn)] + nth);
}

Document& Host::NewDocument(const std::string& name) {
  documents_.push_back(std::make_unique<Document>());
  Document& document = *documents_.back();
  document.number = nextDocumentNumber_++;
  document.name = name;
  currentDocument_ = document.number;
  return document;
}

Document* Host::FindDocument(int number) {
  for (auto& document : documents_)
    if (document->number == number) return document.get();
  return nullptr;
}

Document* Host::CurrentDocument() { return FindDocument(currentDocument_); }

bool Host::SetCurrentDocument(int number) {
  if (!FindDocument(number)) return false;
  currentDocument_ = number;
  return true;
}

bool Host::CloseDocument(int number) {
  for (auto it = documents_.begin(); it != documents_.end(); ++it) {
    if ((*it)->number != number) continue;
    DropFramesOf(**it);
    documents_.erase(it);
    if (currentDocument_ == number)
      currentDocument_ = documents_.empty() ? 0 : documents_.front()->number;
    return true;
  }
  return false;
}

std::vector<Document*> Host::Documents() {
  std::vector<Document*> result;
  for (auto& document : documents_) result.push_back(document.get());
  return result;
}

intptr_t Host::Dispatch(Fn fn, const uint64_t* words, int count) {
  int index = static_cast<int>(fn);
  if (keepCallLog_) calls_.push_back(Call{fn, std::vector<uint64_t>(words, words + count)});
  int number = ++callCounts_[index];
  auto planned = faults_.find(index);
  if (planned != faults_.end()) {
    std::vector<int>& due = planned->second;
    for (size_t i = 0; i < due.size(); ++i) {
      if (due[i] == number) {
        due.erase(due.begin() + static_cast<long>(i));
        return Info(fn).failure;
      }
    }
  }
  Behaviour behaviour = behaviours_[index];
  return behaviour ? behaviour(*this, words) : 0;
}

}  // namespace fxthost
