#include "host/chart.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

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

#include "host/score.h"
#include "host/scoremodel.h"
#include "host/textcodec.h"

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

  std::set<int16_t> selectedStaves;
  if (selected) {
    const int16_t top = StaffAtSlot(document.records, selection.startList, selection.startSlot);
    const int16_t bottom = StaffAtSlot(document.records, selection.endList, selection.endSlot);
    for (int32_t slot = selection.startSlot; slot <= selection.endSlot; ++slot)
      selectedStaves.insert(StaffAtSlot(document.records, selection.startList, slot));
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
  std::vector<std::pair<int32_t, int32_t>> slotsOf(rows.size(), {0, 0});
  std::map<std::pair<int32_t, int32_t>, Span> spans;
  for (size_t i = 0; i < rows.size(); ++i) {
    const GroupRecord& record = rows[i].group.record;
    const int32_t top = SlotOf(document.records, 0, record.startStaff);
    const int32_t bottom = SlotOf(document.records, 0, record.endStaff);
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
  // First fit: a bracket goes into the leftmost lane whose brackets end above it.
  struct Lane {
    std::vector<Span> spans;
    size_t width = 0;
  };
  std::vector<Lane> lanes;
  for (const Span& span : sorted) {
    Lane* lane = nullptr;
    for (Lane& candidate : lanes)
      if (candidate.spans.back().bottom < span.top) {
        lane = &candidate;
        break;
      }
    if (!lane) {
      lanes.emplace_back();
      lane = &lanes.back();
    }
    lane->spans.push_back(span);
    lane->width = std::max(lane->width, Columns(span.label) + 2);
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
    for (size_t i = 0; i < order.size(); ++i) {
      const int32_t slot = static_cast<int32_t>(i) + 1;
      std::string line = selectedStaves.count(order[i]) ? "> " : "  ";
      line += Right(std::to_string(slot), slotWidth) + " " + Right(std::to_string(order[i]), 5) +
              "  " + Fit(staffNames[i], nameWidth) + "  ";
      for (size_t l = 0; l < shownLanes; ++l) {
        std::string cell;
        for (const Span& span : lanes[l].spans) {
          if (slot < span.top || slot > span.bottom) continue;
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
                       Fit(name, groupWidth) + "  " + Fit(stavesText[i], stavesWidth) + "  " +
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

int TerminalWidth() {
#if defined(_WIN32)
  if (_isatty(_fileno(stdout))) {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info))
      return info.srWindow.Right - info.srWindow.Left + 1;
  }
#else
  if (isatty(STDOUT_FILENO)) {
    struct winsize size;
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  }
#endif
  return 80;
}

}  // namespace fxthost
