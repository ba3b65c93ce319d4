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

std::string ImportSummary::Text() const {
  std::string text = "Imported: " + std::to_string(staves) + " staves, " + std::to_string(groups) +
                     " groups, " + std::to_string(measures) + " measures, " +
                     std::to_string(notes) + " notes, " + std::to_string(rests) + " rests, " +
                     std::to_string(expressions) + " expressions\n";
  std::vector<std::pair<std::string, long>> left(leftOut.begin(), leftOut.end());
  std::stable_sort(left.begin(), left.end(),
                   [](const auto& a, const auto& b) { return a.second > b.second; });
  std::string line;
  for (const auto& entry : left)
    line += (line.empty() ? "" : ", ") + std::to_string(entry.second) + " " + entry.first;
  text += "Left out: " + (line.empty() ? std::string("nothing") : line) + "\n";
  for (const std::string& remark : remarks) text += "Note: " + remark + "\n";
  return text;
}

}  // namespace fxthost
