// The host's user interfaces: how a message box is read and answered. (The terminal's
// interface, which prints them, is the command line's: host/cli/console.h.)
//
// A box's kind comes from its type bits: a Yes/No box (with or without Cancel) is a
// question, "yesno"; otherwise the icon decides: the stop and the exclamation icon make
// an "error", the information icon an "info", anything else is "neutral". Questions are
// answered yes, no, or not at all (closed without an answer); every other box is
// confirmed with its first button. Each box shown is added to the host's Alerts().
#pragma once

#include <cstdint>
#include <string>

#include "host/functions/host.h"

namespace fxthost {

// The Windows results of a message box.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdAbort = 3;
constexpr int kIdRetry = 4;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// The Windows type bits the host reads: the buttons (low 4 bits) and the icon (next 4).
constexpr uint32_t kBoxButtons = 0x0Fu;
constexpr uint32_t kBoxOk = 0x0u;
constexpr uint32_t kBoxOkCancel = 0x1u;
constexpr uint32_t kBoxAbortRetryIgnore = 0x2u;
constexpr uint32_t kBoxYesNoCancel = 0x3u;
constexpr uint32_t kBoxYesNo = 0x4u;
constexpr uint32_t kBoxRetryCancel = 0x5u;
constexpr uint32_t kBoxCancelTryContinue = 0x6u;
constexpr uint32_t kBoxIcon = 0xF0u;
constexpr uint32_t kIconStop = 0x10u;
constexpr uint32_t kIconQuestion = 0x20u;
constexpr uint32_t kIconExclamation = 0x30u;
constexpr uint32_t kIconInformation = 0x40u;

// How a question is answered.
enum class Answer { kYes, kNo, kNone };

// "error", "yesno", "info" or "neutral" for a box of that type.
std::string AlertKind(uint32_t type);
bool IsQuestion(uint32_t type);
// The Windows result of a box of that type given the answer (questions), or of its first
// button (all other boxes); 0 for a question closed without an answer (IDCANCEL when
// the box has a Cancel button).
int BoxResult(uint32_t type, Answer answer);
// "yes", "no", "none" (0 or Cancel) or "ok" (any other button) for a box's result.
std::string AnswerName(int result);
// "yes", "no" or "none" to an answer; false for anything else.
bool ParseAnswer(const std::string& text, Answer* answer);

// Text handed to the host: 8-bit (taken as it is) or UTF-16 (as UTF-8), read up to its
// terminating 0 and at most 65536 units; "" for null.
std::string HostText(const void* text);
std::string HostText16(const void* text);

// Adds the box to the host's alerts with the answer its result gives, and returns the
// result: what every user interface does with a box it has shown.
int RecordAlert(Host& host, const std::string& caption, const std::string& text, uint32_t type,
                int result);

// Answers from a setting, shows nothing: for tests and unattended runs.
class ScriptedUserInterface : public UserInterface {
 public:
  explicit ScriptedUserInterface(Host& host, Answer answer = Answer::kNone)
      : host_(host), answer_(answer) {}
  void SetAnswer(Answer answer) { answer_ = answer; }
  int ShowMessageBox(const std::string& caption, const std::string& text, uint32_t type) override;

 private:
  Host& host_;
  Answer answer_;
};

}  // namespace fxthost
