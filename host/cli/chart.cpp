#include "host/cli/chart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <functional>
#include <optional>
#include <queue>
#include <set>
#include <unordered_map>
#include <vector>

#if defined(_WIN32)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <io.h>
#else
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// "1 group", "2 groups".
std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// Terminal columns of UTF-8 text: one per character.
size_t Columns(const std::string& text) {
  size_t columns = 0;
  for (unsigned char c : text) columns += (c & 0xC0) != 0x80;
  return columns;
}

// The text cut (with an ellipsis) or padded to exactly width columns.
std::string Fit(const std::string& text, size_t width) {
  if (Columns(text) <= width) return text + std::string(width - Columns(text), ' ');
  if (width == 0) return "";
  std::string cut;
  size_t columns = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if ((c & 0xC0) != 0x80) {
      if (columns == width - 1) break;
      ++columns;
    }
    cut += text[i];
  }
  return cut + "\u2026";
}

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

// A name padded, or shortened in the middle to exactly width columns: its beginning, an
// ellipsis and its end, so that names that differ only at the end (a numbered suffix,
// "Violin I" and "Violin II") stay apart. A suffix in parentheses is kept whole when it
// leaves room for a character of the beginning.
std::string FitName(const std::string& text, size_t width) {
  const std::vector<size_t> starts = CharacterStarts(text);
  if (starts.size() <= width) return text + std::string(width - starts.size(), ' ');
  if (width == 0) return "";
  const size_t keep = width - 1;
  size_t tail = keep / 2;
  const size_t suffix = SuffixCharacters(text);
  if (suffix > tail && suffix < keep) tail = suffix;
  const size_t head = keep - tail;
  const std::string end = tail == 0 ? std::string() : text.substr(starts[starts.size() - tail]);
  return text.substr(0, starts[head]) + "\u2026" + end;
}

std::string Right(const std::string& text, size_t width) {
  const size_t columns = Columns(text);
  return columns >= width ? text : std::string(width - columns, ' ') + text;
}

std::string Range(int32_t first, int32_t last) {
  return first == last ? std::to_string(first) : std::to_string(first) + "-" + std::to_string(last);
}

std::string Displayed(const std::optional<std::string>& raw) {
  return raw ? Utf16ToUtf8(DisplayedName(Utf8ToUtf16(*raw))) : std::string();
}

std::string Repeat(const char* glyph, size_t count) {
  std::string out;
  for (size_t i = 0; i < count; ++i) out += glyph;
  return out;
}

enum class Mark { kNone, kNew, kChanged, kRemoved };

struct Row {
  ChartGroup group;
  Mark mark = Mark::kNone;
};

uint32_t KeyOf(const GroupRecord& record) {
  return static_cast<uint32_t>(record.first) << 16 | record.number;
}

// The slots of the staves of the score order: the first slot that holds each staff.
class SlotIndex {
 public:
  explicit SlotIndex(const std::vector<int16_t>& order) {
    for (size_t i = 0; i < order.size(); ++i)
      if (order[i] > 0) slots_.emplace(order[i], static_cast<int32_t>(i) + 1);
  }
  // 0 when the score order does not hold the staff.
  int32_t SlotOf(int16_t staff) const {
    const auto found = slots_.find(staff);
    return found == slots_.end() ? 0 : found->second;
  }

 private:
  std::unordered_map<int16_t, int32_t> slots_;  // emplace keeps the first slot
};

// A set of staff numbers (any 16-bit value), one flag each.
class StaffSet {
 public:
  StaffSet() : flags_(0x10000, false) {}
  void Insert(int16_t staff) { flags_[static_cast<uint16_t>(staff)] = true; }
  bool Contains(int16_t staff) const { return flags_[static_cast<uint16_t>(staff)]; }

 private:
  std::vector<bool> flags_;
};

// The staff at a slot (from 1) of a list read in slot order; 0 outside it.
int16_t StaffIn(const std::vector<int16_t>& list, int32_t slot) {
  return slot >= 1 && static_cast<size_t>(slot) <= list.size() ? list[static_cast<size_t>(slot) - 1]
                                                               : int16_t{0};
}

// A bracket: a run of slots of the score order and the groups that join exactly it.
struct Span {
  int32_t top = 0;
  int32_t bottom = 0;
  std::string label;  // the groups' numbers
};

}  // namespace

std::vector<ChartGroup> ChartGroups(const Document& document) {
  std::vector<ChartGroup> groups;
  for (const GroupRecord& record : ReadGroups(document)) {
    ChartGroup group;
    group.record = record;
    GroupNames names;
    if (ReadGroupNames(document, record.first, record.number, &names)) {
      group.name = Displayed(names.full);
      group.abbreviation = Displayed(names.abbreviated);
    }
    groups.push_back(group);
  }
  return groups;
}

std::string DrawChart(const Document& document, const ChartOptions& options) {
  const size_t width = static_cast<size_t>(std::max(options.width, 40));
  const std::vector<int16_t> order = ReadInstrumentList(document, 0);
  const int32_t measures = LastMeasure(document.records);
  const std::vector<ChartGroup> groups = ChartGroups(document);
  const Region selection = Selection(document);
  const bool selected = document.hasSelection;

  // The rows of the group part: the groups now, and those the command removed, in the
  // host's order, each with its mark.
  std::vector<Row> rows;
  {
    std::map<uint32_t, Row> byKey;
    for (const ChartGroup& group : groups) byKey[KeyOf(group.record)] = Row{group, Mark::kNone};
    if (options.before) {
      std::map<uint32_t, const ChartGroup*> before;
      for (const ChartGroup& group : *options.before) before[KeyOf(group.record)] = &group;
      for (auto& entry : byKey) {
        auto found = before.find(entry.first);
        if (found == before.end()) {
          entry.second.mark = Mark::kNew;
        } else if (found->second->record != entry.second.group.record ||
                   found->second->name != entry.second.group.name ||
                   found->second->abbreviation != entry.second.group.abbreviation) {
          entry.second.mark = Mark::kChanged;
        }
      }
      for (const auto& entry : before)
        if (!byKey.count(entry.first)) byKey[entry.first] = Row{*entry.second, Mark::kRemoved};
    }
    for (const auto& entry : byKey) rows.push_back(entry.second);
  }

  std::string out;
  out += options.title + " \u2014 " + Count(order.size(), "staff", "staves") + ", " +
         Count(static_cast<size_t>(measures), "measure", "measures") + ", " +
         Count(groups.size(), "group", "groups") + "\n";

  // Every step below is linear in the staves, groups and measures (or n log n): the
  // score order and the selection's list are read once, and slots are looked up in them.
  StaffSet selectedStaves;
  if (selected) {
    const std::vector<int16_t> startList =
        selection.startList == 0 ? order : ReadInstrumentList(document, selection.startList);
    const std::vector<int16_t> endList = selection.endList == selection.startList
                                             ? startList
                                             : ReadInstrumentList(document, selection.endList);
    const int16_t top = StaffIn(startList, selection.startSlot);
    const int16_t bottom = StaffIn(endList, selection.endSlot);
    for (int32_t slot = selection.startSlot; slot <= selection.endSlot; ++slot)
      selectedStaves.Insert(StaffIn(startList, slot));
    out += "Selection: staves " + Range(top, bottom) + " (slots " +
           Range(selection.startSlot, selection.endSlot) +
           (selection.startList == 0 ? "" : " of list " + std::to_string(selection.startList)) +
           "), measures " + Range(selection.startMeasure, selection.endMeasure);
    if (selection.IsPartial())
      out += ", positions " + std::to_string(selection.startPosition) + " to " +
             std::to_string(selection.endPosition);
    out += "\n";
  }
  out += "\n";

  // --- Staves, with a bracket for each run of staves that groups join -----------------
  const SlotIndex slotIndex(order);
  std::vector<std::pair<int32_t, int32_t>> slotsOf(rows.size(), {0, 0});
  std::map<std::pair<int32_t, int32_t>, Span> spans;
  for (size_t i = 0; i < rows.size(); ++i) {
    const GroupRecord& record = rows[i].group.record;
    const int32_t top = slotIndex.SlotOf(record.startStaff);
    const int32_t bottom = slotIndex.SlotOf(record.endStaff);
    if (top == 0 || bottom == 0 || top > bottom) continue;
    slotsOf[i] = {top, bottom};
    if (rows[i].mark == Mark::kRemoved) continue;
    Span& span = spans[{top, bottom}];
    span.top = top;
    span.bottom = bottom;
    span.label += (span.label.empty() ? "" : ",") + std::to_string(record.number);
  }
  std::vector<Span> sorted;
  for (auto& entry : spans) {
    if (Columns(entry.second.label) > 12) entry.second.label = Fit(entry.second.label, 12);
    sorted.push_back(entry.second);
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](const Span& a, const Span& b) {
    return a.top != b.top ? a.top < b.top : a.bottom > b.bottom;
  });
  // First fit: a bracket goes into the leftmost lane whose brackets end above it. The
  // brackets come in order of their tops, so a lane that has ended above one bracket has
  // ended above every later one: it moves from the busy lanes (by their bottom) to the
  // free lanes (by their number) for good.
  struct Lane {
    std::vector<Span> spans;
    size_t width = 0;
  };
  std::vector<Lane> lanes;
  {
    using Busy = std::pair<int32_t, size_t>;  // bottom of the lane's last bracket, lane
    std::priority_queue<Busy, std::vector<Busy>, std::greater<Busy>> busy;
    std::set<size_t> free;
    for (const Span& span : sorted) {
      while (!busy.empty() && busy.top().first < span.top) {
        free.insert(busy.top().second);
        busy.pop();
      }
      size_t lane = lanes.size();
      if (free.empty()) {
        lanes.emplace_back();
      } else {
        lane = *free.begin();
        free.erase(free.begin());
      }
      lanes[lane].spans.push_back(span);
      lanes[lane].width = std::max(lanes[lane].width, Columns(span.label) + 2);
      busy.emplace(span.bottom, lane);
    }
  }

  size_t nameWidth = 4;
  std::vector<std::string> staffNames;
  for (int16_t staff : order) {
    std::u16string name;
    staffNames.push_back(StaffDisplayedName(document, 0, staff, &name) ? Utf16ToUtf8(name) : "");
    nameWidth = std::max(nameWidth, Columns(staffNames.back()));
  }
  nameWidth = std::min(nameWidth, std::max<size_t>(12, width / 3));
  const size_t slotWidth = std::max<size_t>(4, std::to_string(order.size()).size());
  const size_t staffLeft = 2 + slotWidth + 1 + 5 + 2 + nameWidth + 2;
  // As many lanes as fit in the width, from the left.
  size_t shownLanes = 0;
  size_t used = staffLeft;
  while (shownLanes < lanes.size() && used + lanes[shownLanes].width <= width + 1) {
    used += lanes[shownLanes].width;
    ++shownLanes;
  }

  if (order.empty()) {
    out += "No staves.\n";
  } else {
    out += "  " + Right("slot", slotWidth) + " staff  " + Fit("name", nameWidth) +
           (lanes.empty() ? "" : "  groups");
    out += "\n";
    // Each lane's brackets are in order and do not overlap: one cursor a lane walks them
    // down the staves.
    std::vector<size_t> cursors(shownLanes, 0);
    for (size_t i = 0; i < order.size(); ++i) {
      const int32_t slot = static_cast<int32_t>(i) + 1;
      std::string line = selectedStaves.Contains(order[i]) ? "> " : "  ";
      line += Right(std::to_string(slot), slotWidth) + " " + Right(std::to_string(order[i]), 5) +
              "  " + FitName(staffNames[i], nameWidth) + "  ";
      for (size_t l = 0; l < shownLanes; ++l) {
        std::string cell;
        const std::vector<Span>& laneSpans = lanes[l].spans;
        while (cursors[l] < laneSpans.size() && laneSpans[cursors[l]].bottom < slot) ++cursors[l];
        if (cursors[l] < laneSpans.size() && laneSpans[cursors[l]].top <= slot) {
          const Span& span = laneSpans[cursors[l]];
          if (span.top == span.bottom)
            cell = "[" + span.label;
          else if (slot == span.top)
            cell = "\u250C" + span.label;
          else if (slot == span.bottom)
            cell = "\u2514";
          else
            cell = "\u2502";
        }
        line += Fit(cell, lanes[l].width);
      }
      while (!line.empty() && line.back() == ' ') line.pop_back();
      out += line + "\n";
    }
    if (shownLanes < lanes.size())
      out += "  (" + std::to_string(lanes.size() - shownLanes) +
             " more bracket lanes do not fit the width)\n";
  }
  out += "\n";

  // --- Groups, each with a bar over its measures ----------------------------------------
  if (rows.empty()) {
    out += "No groups.\n";
    return out;
  }
  size_t numberWidth = 1, groupWidth = 5, stavesWidth = 6, measuresWidth = 8;
  std::vector<std::string> stavesText(rows.size()), measuresText(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChartGroup& group = rows[i].group;
    numberWidth = std::max(numberWidth, std::to_string(group.record.number).size());
    const std::string& name = group.name.empty() ? group.abbreviation : group.name;
    groupWidth = std::max(groupWidth, Columns(name));
    stavesText[i] = slotsOf[i].first ? Range(slotsOf[i].first, slotsOf[i].second) : "?";
    measuresText[i] = Range(group.record.startMeasure, group.record.endMeasure);
    stavesWidth = std::max(stavesWidth, stavesText[i].size());
    measuresWidth = std::max(measuresWidth, measuresText[i].size());
  }
  groupWidth = std::min(groupWidth, std::max<size_t>(12, width / 4));
  const size_t left = 2 + numberWidth + 1 + groupWidth + 2 + stavesWidth + 2 + measuresWidth + 2;
  const size_t area = width > left + 11 ? width - left - 1 : 10;

  // Measure m covers the columns [edge(m - 1), edge(m)).
  auto edge = [&](int32_t m) -> size_t {
    return measures > 0 ? static_cast<size_t>(static_cast<int64_t>(m) * static_cast<int64_t>(area) /
                                              measures)
                        : 0;
  };
  auto bar = [&](int32_t first, int32_t last, const char* glyph) {
    std::string cells;
    if (measures == 0) return cells;
    const int32_t shown = std::min(last, measures);
    if (first < 1) first = 1;
    if (first <= shown) {
      const size_t from = edge(first - 1);
      const size_t to = std::max(edge(shown), from + 1);
      cells = std::string(from, ' ') + Repeat(glyph, to - from) + std::string(area - to, ' ');
    } else {
      cells = std::string(area, ' ');
    }
    if (last > measures) cells += ">";
    return cells;
  };

  // The ruler: measure numbers where they fit, 1 first and the last at the end.
  std::string ruler(area, ' ');
  if (measures > 0) {
    static const int32_t kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    const size_t room = std::to_string(measures).size() + 3;
    int32_t step = 10000;
    for (int32_t candidate : kSteps)
      if (static_cast<size_t>(static_cast<int64_t>(candidate) * static_cast<int64_t>(area) /
                              measures) >= room) {
        step = candidate;
        break;
      }
    const std::string lastLabel = std::to_string(measures);
    const size_t lastStart = area >= lastLabel.size() ? area - lastLabel.size() : 0;
    size_t free = 0;  // first column a label may use
    auto place = [&](int32_t m, size_t at) {
      const std::string label = std::to_string(m);
      if (at < free || at + label.size() > area) return;
      if (m != measures && at + label.size() + 1 > lastStart) return;
      ruler.replace(at, label.size(), label);
      free = at + label.size() + 1;
    };
    place(1, 0);
    for (int32_t m = step; m < measures; m += step) place(m, edge(m - 1));
    place(measures, lastStart);
  }
  std::string header = "  " + Right("#", numberWidth) + " " + Fit("group", groupWidth) + "  " +
                       Fit("staves", stavesWidth) + "  " + Fit("measures", measuresWidth) + "  ";
  std::string rulerLine = header + ruler;
  while (!rulerLine.empty() && rulerLine.back() == ' ') rulerLine.pop_back();
  out += rulerLine + "\n";

  int news = 0, changes = 0, removals = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChartGroup& group = rows[i].group;
    const char* mark = "  ";
    const char* glyph = "\u2588";
    switch (rows[i].mark) {
      case Mark::kNew:
        mark = "+ ";
        ++news;
        break;
      case Mark::kChanged:
        mark = "* ";
        ++changes;
        break;
      case Mark::kRemoved:
        mark = "- ";
        ++removals;
        glyph = "\u2500";
        break;
      case Mark::kNone:
        break;
    }
    const std::string& name = group.name.empty() ? group.abbreviation : group.name;
    std::string line = mark + Right(std::to_string(group.record.number), numberWidth) + " " +
                       FitName(name, groupWidth) + "  " + Fit(stavesText[i], stavesWidth) + "  " +
                       Fit(measuresText[i], measuresWidth) + "  " +
                       bar(group.record.startMeasure, group.record.endMeasure, glyph);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  if (selected && measures > 0) {
    std::string line =
        Fit("  selection", left) + bar(selection.startMeasure, selection.endMeasure, "\u2591");
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + "\n";
  }
  if (options.before) {
    if (news + changes + removals == 0)
      out += "\nNo group changed.\n";
    else
      out += "\nChanges: " + std::to_string(news) + " new (+), " + std::to_string(changes) +
             " changed (*), " + std::to_string(removals) + " removed (-).\n";
  }
  return out;
}

int ChartWidth(bool terminal, const char* columns, int terminalColumns) {
  if (!terminal) return kDefaultChartWidth;
  int width = 0;
  bool number = columns && *columns;
  for (const char* c = columns; number && *c; ++c) {
    number = *c >= '0' && *c <= '9';
    if (number) width = std::min(width * 10 + (*c - '0'), kWidestChart + 1);
  }
  if (!number || width == 0) width = terminalColumns;
  if (width <= 0) return kDefaultChartWidth;
  return std::min(width, kWidestChart);
}

int TerminalWidth() {
  bool terminal = false;
  int columns = 0;
#if defined(_WIN32)
  if (_isatty(_fileno(stdout))) {
    terminal = true;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info))
      columns = info.srWindow.Right - info.srWindow.Left + 1;
  }
#else
  if (isatty(STDOUT_FILENO)) {
    terminal = true;
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0) columns = size.ws_col;
  }
#endif
  return ChartWidth(terminal, std::getenv("COLUMNS"), columns);
}

}  // namespace fxthost
