// Message boxes as the host reads and answers them, whatever shows them: their kinds,
// results and texts, and the scripted interface. The rules are in userinterface.h.
#include "host/functions/userinterface.h"

#include <cstdio>
#include <cstring>

namespace fxthost {

namespace {

constexpr size_t kMaxTextUnits = 65536;

void AppendUtf8(std::string* out, uint32_t c) {
  if (c < 0x80) {
    *out += static_cast<char>(c);
  } else if (c < 0x800) {
    *out += static_cast<char>(0xC0 | (c >> 6));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    *out += static_cast<char>(0xE0 | (c >> 12));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    *out += static_cast<char>(0xF0 | (c >> 18));
    *out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    *out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    *out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

int RecordAlert(Host& host, const std::string& caption, const std::string& text, uint32_t type,
                int result) {
  host.Alerts().push_back(Alert{AlertKind(type), caption, text, AnswerName(result)});
  return result;
}

bool IsQuestion(uint32_t type) {
  uint32_t buttons = type & kBoxButtons;
  return buttons == kBoxYesNo || buttons == kBoxYesNoCancel;
}

std::string AlertKind(uint32_t type) {
  if (IsQuestion(type)) return "yesno";
  switch (type & kBoxIcon) {
    case kIconStop:
    case kIconExclamation:
      return "error";
    case kIconInformation:
      return "info";
    default:
      return "neutral";
  }
}

int BoxResult(uint32_t type, Answer answer) {
  uint32_t buttons = type & kBoxButtons;
  if (IsQuestion(type)) {
    if (answer == Answer::kYes) return kIdYes;
    if (answer == Answer::kNo) return kIdNo;
    return buttons == kBoxYesNoCancel ? kIdCancel : 0;
  }
  switch (buttons) {
    case kBoxAbortRetryIgnore:
      return kIdAbort;
    case kBoxRetryCancel:
      return kIdRetry;
    case kBoxCancelTryContinue:
      return kIdCancel;
    default:
      return kIdOk;
  }
}

std::string AnswerName(int result) {
  switch (result) {
    case 0:
    case kIdCancel:
      return "none";
    case kIdYes:
      return "yes";
    case kIdNo:
      return "no";
    default:
      return "ok";
  }
}

bool ParseAnswer(const std::string& text, Answer* answer) {
  if (text == "yes")
    *answer = Answer::kYes;
  else if (text == "no")
    *answer = Answer::kNo;
  else if (text == "none")
    *answer = Answer::kNone;
  else
    return false;
  return true;
}

std::string HostText(const void* text) {
  if (!text) return "";
  const char* chars = static_cast<const char*>(text);
  size_t length = 0;
  while (length < kMaxTextUnits && chars[length]) ++length;
  return std::string(chars, length);
}

std::string HostText16(const void* text) {
  std::string out;
  if (!text) return out;
  const uint8_t* bytes = static_cast<const uint8_t*>(text);
  auto unit = [bytes](size_t i) -> uint32_t {
    uint16_t u;
    std::memcpy(&u, bytes + 2 * i, sizeof u);  // the caller's text need not be aligned
    return u;
  };
  for (size_t i = 0; i < kMaxTextUnits; ++i) {
    uint32_t c = unit(i);
    if (c == 0) break;
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < kMaxTextUnits) {
      uint32_t low = unit(i + 1);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else {
        c = 0xFFFD;
      }
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a lone surrogate
    }
    AppendUtf8(&out, c);
  }
  return out;
}

int ScriptedUserInterface::ShowMessageBox(const std::string& caption, const std::string& text,
                                          uint32_t type) {
  return RecordAlert(host_, caption, text, type, BoxResult(type, answer_));
}

}  // namespace fxthost
