// Names shortened in the middle, groups marked against a command's before and the staves
// at the ends of the selection, for the chart and the picture (host/cli/groupview.h).
#include "host/cli/groupview.h"

#include <cstdint>
#include <map>

#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace fxthost {

namespace {

// The byte offsets where the characters of UTF-8 text begin.
std::vector<size_t> CharacterStarts(const std::string& text) {
  std::vector<size_t> starts;
  for (size_t i = 0; i < text.size(); ++i)
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
  return starts;
}

// The characters of a suffix in parentheses at the end of the name ("(Split Group 3)"),
// 0 when it has none.
size_t SuffixCharacters(const std::string& text) {
  if (text.empty() || text.back() != ')') return 0;
  int depth = 0;
  size_t characters = 0;
  for (size_t i = text.size(); i-- > 0;) {
    const char c = text[i];
    characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    depth += c == ')' ? 1 : c == '(' ? -1 : 0;
    if (depth == 0) return characters;
  }
  return 0;
}

uint32_t KeyOf(const GroupRecord& record) {
  return static_cast<uint32_t>(record.first) << 16 | record.number;
}

}  // namespace

size_t TextColumns(const std::string& text) {
  size_t columns = 0;
  for (unsigned char c : text) columns += (c & 0xC0) != 0x80;
  return columns;
}

std::string ShortenName(const std::string& text, size_t width) {
  const std::vector<size_t> starts = CharacterStarts(text);
  if (starts.size() <= width) return text;
  if (width == 0) return "";
  const size_t keep = width - 1;
  size_t tail = keep / 2;
  const size_t suffix = SuffixCharacters(text);
  if (suffix > tail && suffix < keep) tail = suffix;
  const size_t head = keep - tail;
  const std::string end = tail == 0 ? std::string() : text.substr(starts[starts.size() - tail]);
  return text.substr(0, starts[head]) + "\u2026" + end;
}

std::vector<MarkedGroup> MarkGroups(const std::vector<ChartGroup>& groups,
                                    const std::vector<ChartGroup>* before) {
  std::map<uint32_t, MarkedGroup> byKey;
  for (const ChartGroup& group : groups)
    byKey[KeyOf(group.record)] = MarkedGroup{group, GroupChange::kNone};
  if (before) {
    std::map<uint32_t, const ChartGroup*> earlier;
    for (const ChartGroup& group : *before) earlier[KeyOf(group.record)] = &group;
    for (auto& entry : byKey) {
      auto found = earlier.find(entry.first);
      if (found == earlier.end()) {
        entry.second.mark = GroupChange::kNew;
      } else if (found->second->record != entry.second.group.record ||
                 found->second->name != entry.second.group.name ||
                 found->second->abbreviation != entry.second.group.abbreviation) {
        entry.second.mark = GroupChange::kChanged;
      }
    }
    for (const auto& entry : earlier)
      if (!byKey.count(entry.first))
        byKey[entry.first] = MarkedGroup{*entry.second, GroupChange::kRemoved};
  }
  std::vector<MarkedGroup> marked;
  marked.reserve(byKey.size());
  for (const auto& entry : byKey) marked.push_back(entry.second);
  return marked;
}

int16_t StaffIn(const std::vector<int16_t>& list, int32_t slot) {
  return slot >= 1 && static_cast<size_t>(slot) <= list.size() ? list[static_cast<size_t>(slot) - 1]
                                                               : int16_t{0};
}

SelectedStaves ReadSelectedStaves(const Document& document, const std::vector<int16_t>& order) {
  const Region selection = Selection(document);
  SelectedStaves staves;
  staves.startList =
      selection.startList == 0 ? order : ReadInstrumentList(document, selection.startList);
  const std::vector<int16_t> endList = selection.endList == selection.startList
                                           ? staves.startList
                                           : ReadInstrumentList(document, selection.endList);
  staves.top = StaffIn(staves.startList, selection.startSlot);
  staves.bottom = StaffIn(endList, selection.endSlot);
  return staves;
}

}  // namespace fxthost
