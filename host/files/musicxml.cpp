// What the MusicXML reader shares with the fxthost built without it (musicxml.h): telling
// a score apart by content, and the summary an import prints. docs/musicxml.md.
#include "host/files/musicxml.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace fxthost {

bool IsZip(const std::string& bytes) { return bytes.compare(0, 4, "PK\x03\x04", 4) == 0; }

bool IsMusicXml(const std::string& bytes) {
  if (IsZip(bytes)) return true;
  size_t at = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
  while (at < bytes.size() && std::strchr(" \t\r\n", bytes[at])) ++at;
  return at < bytes.size() && bytes[at] == '<';
}

namespace {

// The kinds whose one is not the kind less its last "s".
constexpr std::pair<const char*, const char*> kSingulars[] = {
    {"staves", "staff"},
    {"ties", "tie"},
    {"figured basses", "figured bass"},
    {"dashes", "dashes"},
    {"eyeglasses", "eyeglasses"},
    {"dynamics on notes", "dynamics on a note"},
    {"measure numbers that are not numbers", "measure number that is not a number"},
    {"parts whose key differs from the score's concert key",
     "part whose key differs from the score's concert key"},
    {"keys that are not a number of fifths", "key that is not a number of fifths"},
    {"time signatures without beats", "time signature without beats"},
    {"part-group stops without a start", "part-group stop without a start"},
    {"part-groups over no part", "part-group over no part"},
    {"chord notes beyond twelve", "chord note beyond twelve"}};

}  // namespace

std::string CountOf(long count, const std::string& kind) {
  std::string name = kind;
  if (count == 1) {
    bool listed = false;
    for (const auto& singular : kSingulars)
      if (kind == singular.first) name = singular.second, listed = true;
    if (!listed && !name.empty() && name.back() == 's') name.pop_back();
  }
  return std::to_string(count) + " " + name;
}

std::string ImportSummary::Text() const {
  std::string text = "Imported: " + CountOf(staves, "staves") + ", " + CountOf(groups, "groups") +
                     ", " + CountOf(measures, "measures") + ", " + CountOf(notes, "notes") + ", " +
                     CountOf(rests, "rests") + ", " + CountOf(expressions, "expressions") + "\n";
  std::vector<std::pair<std::string, long>> left(leftOut.begin(), leftOut.end());
  std::stable_sort(left.begin(), left.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string line;
  for (const auto& entry : left)
    line += (line.empty() ? "" : ", ") + CountOf(entry.second, entry.first);
  text += "Left out: " + (line.empty() ? std::string("nothing") : line) + "\n";
  for (const std::string& remark : remarks) text += "Note: " + remark + "\n";
  return text;
}

}  // namespace fxthost
