// The chart of a document's staves and groups that show and run print (host/cli/chart.h;
// its layout, marks and width in docs/fxthost.md, "The chart").
#include "host/cli/chart.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <queue>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
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

#include "host/cli/groupview.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

// "1 group", "2 groups".
std::string Count(size_t n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The text cut (with an ellipsis) or padded to exactly width columns.
std::string Fit(const std::string& text, size_t width) {
  if (TextColumns(text) <= width) return text + std::string(width - TextColumns(text), ' ');
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

// A name padded, or shortened in the middle (ShortenName) to exactly width columns.
std::string FitName(const std::string& text, size_t width) {
  const std::string shown = ShortenName(text, width);
  return shown + std::string(width - std::min(width, TextColumns(shown)), ' ');
}

std::string Right(const std::string& text, size_t width) {
  const size_t columns = TextColumns(text);
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

using Mark = GroupChange;
using Row = MarkedGroup;

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

// A bracket: a run of slots of the score order and the groups that join exactly it.
struct Span {
  int32_t top = 0;
  int32_t bottom = 0;
  std::string label;  // the groups' numbers
};

// A column of brackets that do not overlap, in order down the staves.
struct Lane {
  std::vector<Span> spans;
  size_t width = 0;  // the widest bracket: its glyph, its label and a blank
};

// The slots of a group's top and bottom staff in the score order; {0, 0} when they are
// not both in it, or upside down.
using SlotRange = std::pair<int32_t, int32_t>;

// The line without the blanks at its end, and the line end.
std::string Line(std::string text) {
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text + "\n";
}

// The line of the document's selection; the staves it selects go into selected.
std::string SelectionLine(const Document& document, const std::vector<int16_t>& order,
                          StaffSet* selected) {
  const Region selection = Selection(document);
  const SelectedStaves staves = ReadSelectedStaves(document, order);
  const int16_t top = staves.top;
  const int16_t bottom = staves.bottom;
  for (int32_t slot = selection.startSlot; slot <= selection.endSlot; ++slot)
    selected->Insert(StaffIn(staves.startList, slot));
  std::string line =
      "Selection: staves " + Range(top, bottom) + " (slots " +
      Range(selection.startSlot, selection.endSlot) +
      (selection.startList == 0 ? "" : " of list " + std::to_string(selection.startList)) +
      "), measures " + Range(selection.startMeasure, selection.endMeasure);
  if (selection.IsPartial())
    line += ", positions " + std::to_string(selection.startPosition) + " to " +
            std::to_string(selection.endPosition);
  return line + "\n";
}

// --- Staves, with a bracket for each run of staves that groups join -----------------

// The brackets of the groups now, in order of their tops (the longer first at one top);
// the slots of every row's staves go into slotsOf.
std::vector<Span> Brackets(const std::vector<Row>& rows, const SlotIndex& slotIndex,
                           std::vector<SlotRange>* slotsOf) {
  slotsOf->assign(rows.size(), {0, 0});
  std::map<SlotRange, Span> spans;
  for (size_t i = 0; i < rows.size(); ++i) {
    const GroupRecord& record = rows[i].group.record;
    const int32_t top = slotIndex.SlotOf(record.startStaff);
    const int32_t bottom = slotIndex.SlotOf(record.endStaff);
    if (top == 0 || bottom == 0 || top > bottom) continue;
    (*slotsOf)[i] = {top, bottom};
    if (rows[i].mark == Mark::kRemoved) continue;
    Span& span = spans[{top, bottom}];
    span.top = top;
    span.bottom = bottom;
    span.label += (span.label.empty() ? "" : ",") + std::to_string(record.number);
  }
  std::vector<Span> sorted;
  for (auto& entry : spans) {
    if (TextColumns(entry.second.label) > 12) entry.second.label = Fit(entry.second.label, 12);
    sorted.push_back(entry.second);
  }
  std::stable_sort(sorted.begin(), sorted.end(), [](const Span& a, const Span& b) {
    return a.top != b.top ? a.top < b.top : a.bottom > b.bottom;
  });
  return sorted;
}

// First fit: a bracket goes into the leftmost lane whose brackets end above it. The
// brackets come in order of their tops, so a lane that has ended above one bracket has
// ended above every later one: it moves from the busy lanes (by their bottom) to the
// free lanes (by their number) for good.
std::vector<Lane> FitLanes(const std::vector<Span>& sorted) {
  std::vector<Lane> lanes;
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
    lanes[lane].width = std::max(lanes[lane].width, TextColumns(span.label) + 2);
    busy.emplace(span.bottom, lane);
  }
  return lanes;
}

// The names of the staves of the score order as the host shows them; the width of
// their column (at least 4, at most a third of the chart) goes into nameWidth.
std::vector<std::string> StaffNames(const Document& document, const std::vector<int16_t>& order,
                                    size_t width, size_t* nameWidth) {
  *nameWidth = 4;
  std::vector<std::string> names;
  for (int16_t staff : order) {
    std::u16string name;
    names.push_back(StaffDisplayedName(document, 0, staff, &name) ? Utf16ToUtf8(name) : "");
    *nameWidth = std::max(*nameWidth, TextColumns(names.back()));
  }
  *nameWidth = std::min(*nameWidth, std::max<size_t>(12, width / 3));
  return names;
}

// How many lanes fit in the width after the staff columns, from the left.
size_t ShownLanes(const std::vector<Lane>& lanes, size_t staffLeft, size_t width) {
  size_t shown = 0;
  size_t used = staffLeft;
  while (shown < lanes.size() && used + lanes[shown].width <= width + 1) {
    used += lanes[shown].width;
    ++shown;
  }
  return shown;
}

// What a lane shows beside a slot. A lane's brackets are in order and do not overlap:
// its cursor walks them down the staves.
std::string BracketCell(const Lane& lane, size_t* cursor, int32_t slot) {
  const std::vector<Span>& spans = lane.spans;
  while (*cursor < spans.size() && spans[*cursor].bottom < slot) ++*cursor;
  if (*cursor == spans.size() || spans[*cursor].top > slot) return "";
  const Span& span = spans[*cursor];
  if (span.top == span.bottom) return "[" + span.label;
  if (slot == span.top) return "\u250C" + span.label;
  if (slot == span.bottom) return "\u2514";
  return "\u2502";
}

// The staves part: a line per slot of the score order with the brackets beside it.
std::string DrawStaves(const Document& document, const std::vector<int16_t>& order,
                       const std::vector<Lane>& lanes, const StaffSet& selected, size_t width) {
  size_t nameWidth = 0;
  const std::vector<std::string> names = StaffNames(document, order, width, &nameWidth);
  const size_t slotWidth = std::max<size_t>(4, std::to_string(order.size()).size());
  const size_t shownLanes = ShownLanes(lanes, 2 + slotWidth + 1 + 5 + 2 + nameWidth + 2, width);
  if (order.empty()) return "No staves.\n";
  std::string out = "  " + Right("slot", slotWidth) + " staff  " + Fit("name", nameWidth) +
                    (lanes.empty() ? "" : "  groups") + "\n";
  std::vector<size_t> cursors(shownLanes, 0);
  for (size_t i = 0; i < order.size(); ++i) {
    const int32_t slot = static_cast<int32_t>(i) + 1;
    std::string line = selected.Contains(order[i]) ? "> " : "  ";
    line += Right(std::to_string(slot), slotWidth) + " " + Right(std::to_string(order[i]), 5) +
            "  " + FitName(names[i], nameWidth) + "  ";
    for (size_t l = 0; l < shownLanes; ++l)
      line += Fit(BracketCell(lanes[l], &cursors[l], slot), lanes[l].width);
    out += Line(line);
  }
  if (shownLanes < lanes.size())
    out += "  (" + std::to_string(lanes.size() - shownLanes) +
           " more bracket lanes do not fit the width)\n";
  return out;
}

// --- Groups, each with a bar over its measures ----------------------------------------

// The columns of the group part: each row's staves and measures as text, the widths of
// the columns, and where the bars go.
struct GroupColumns {
  size_t numberWidth = 1, groupWidth = 5, stavesWidth = 6, measuresWidth = 8;
  size_t styleWidth = 0;  // 0: every group has the default style, and no column shows it
  std::vector<std::string> stavesText, measuresText, styleText;
  size_t left = 0;  // the columns before the bars
  size_t area = 0;  // the columns of the bars
};

const std::string& ShownName(const ChartGroup& group) {
  return group.name.empty() ? group.abbreviation : group.name;
}

// A group's bracket style and bar-line mode, empty for the defaults (a bracket, bar
// lines through the group); a value without a name shows as its number.
std::string StyleText(const GroupRecord& record) {
  if (record.bracket == 0 && record.barline == 0) return "";
  const char* bracket = StyleNameOf(kBracketStyles, record.bracket);
  std::string text = bracket ? bracket : "style " + std::to_string(record.bracket);
  if (record.barline == 0) return text;
  const char* barline = StyleNameOf(kBarlineModes, record.barline);
  if (record.barline == kBarlineNone) return text + ", no barlines";
  return text + ", " + (barline ? barline : "barlines " + std::to_string(record.barline));
}

GroupColumns LayOutGroups(const std::vector<Row>& rows, const std::vector<SlotRange>& slotsOf,
                          size_t width) {
  GroupColumns columns;
  columns.stavesText.resize(rows.size());
  columns.measuresText.resize(rows.size());
  columns.styleText.resize(rows.size());
  for (size_t i = 0; i < rows.size(); ++i) {
    const ChartGroup& group = rows[i].group;
    columns.numberWidth = std::max(columns.numberWidth, std::to_string(group.record.number).size());
    columns.groupWidth = std::max(columns.groupWidth, TextColumns(ShownName(group)));
    columns.stavesText[i] = slotsOf[i].first ? Range(slotsOf[i].first, slotsOf[i].second) : "?";
    columns.measuresText[i] = Range(group.record.startMeasure, group.record.endMeasure);
    columns.stavesWidth = std::max(columns.stavesWidth, columns.stavesText[i].size());
    columns.measuresWidth = std::max(columns.measuresWidth, columns.measuresText[i].size());
    columns.styleText[i] = StyleText(group.record);
    columns.styleWidth = std::max(columns.styleWidth, columns.styleText[i].size());
  }
  if (columns.styleWidth > 0) columns.styleWidth = std::max<size_t>(columns.styleWidth, 5);
  columns.groupWidth = std::min(columns.groupWidth, std::max<size_t>(12, width / 4));
  columns.left = 2 + columns.numberWidth + 1 + columns.groupWidth + 2 + columns.stavesWidth + 2 +
                 columns.measuresWidth + 2 + (columns.styleWidth ? columns.styleWidth + 2 : 0);
  columns.area = width > columns.left + 11 ? width - columns.left - 1 : 10;
  return columns;
}

// The document's measures spread over the columns of the bars.
class MeasureScale {
 public:
  MeasureScale(int32_t measures, size_t area) : measures_(measures), area_(area) {}

  // Measure m covers the columns [Edge(m - 1), Edge(m)).
  size_t Edge(int32_t m) const {
    return measures_ > 0 ? static_cast<size_t>(static_cast<int64_t>(m) *
                                               static_cast<int64_t>(area_) / measures_)
                         : 0;
  }

  // A bar of glyphs over measures first to last (at least one column), and ">" when
  // they run past the last measure.
  std::string Bar(int32_t first, int32_t last, const char* glyph) const {
    std::string cells;
    if (measures_ == 0) return cells;
    const int32_t shown = std::min(last, measures_);
    if (first < 1) first = 1;
    if (first <= shown) {
      const size_t from = Edge(first - 1);
      const size_t to = std::max(Edge(shown), from + 1);
      cells = std::string(from, ' ') + Repeat(glyph, to - from) + std::string(area_ - to, ' ');
    } else {
      cells = std::string(area_, ' ');
    }
    if (last > measures_) cells += ">";
    return cells;
  }

  // Measure numbers where they fit, 1 first and the last at the end.
  std::string Ruler() const {
    std::string ruler(area_, ' ');
    if (measures_ <= 0) return ruler;
    const int32_t step = RulerStep();
    const std::string lastLabel = std::to_string(measures_);
    const size_t lastStart = area_ >= lastLabel.size() ? area_ - lastLabel.size() : 0;
    size_t free = 0;  // first column a label may use
    auto place = [&](int32_t m, size_t at) {
      const std::string label = std::to_string(m);
      if (at < free || at + label.size() > area_) return;
      if (m != measures_ && at + label.size() + 1 > lastStart) return;
      ruler.replace(at, label.size(), label);
      free = at + label.size() + 1;
    };
    place(1, 0);
    for (int32_t m = step; m < measures_; m += step) place(m, Edge(m - 1));
    place(measures_, lastStart);
    return ruler;
  }

 private:
  // The smallest round step between numbers whose columns leave room for a number.
  int32_t RulerStep() const {
    static const int32_t kSteps[] = {1, 2, 5, 10, 20, 50, 100, 200, 500, 1000, 2000, 5000, 10000};
    const size_t room = std::to_string(measures_).size() + 3;
    for (int32_t candidate : kSteps)
      if (static_cast<size_t>(static_cast<int64_t>(candidate) * static_cast<int64_t>(area_) /
                              measures_) >= room)
        return candidate;
    return 10000;
  }

  int32_t measures_;
  size_t area_;
};

// The sign a row's mark shows at the start of its line.
const char* MarkSign(Mark mark) {
  switch (mark) {
    case Mark::kNew:
      return "+ ";
    case Mark::kChanged:
      return "* ";
    case Mark::kRemoved:
      return "- ";
    case Mark::kNone:
      break;
  }
  return "  ";
}

// The last line after a command: how many groups are new, changed and removed.
std::string ChangesLine(const std::vector<Row>& rows) {
  int news = 0, changes = 0, removals = 0;
  for (const Row& row : rows) {
    news += row.mark == Mark::kNew;
    changes += row.mark == Mark::kChanged;
    removals += row.mark == Mark::kRemoved;
  }
  if (news + changes + removals == 0) return "\nNo group changed.\n";
  return "\nChanges: " + std::to_string(news) + " new (+), " + std::to_string(changes) +
         " changed (*), " + std::to_string(removals) + " removed (-).\n";
}

// The group part: a ruler, a line per row with a bar over its measures (a removed
// group's drawn thin), the selected measures and, after a command, what changed.
std::string DrawGroups(const std::vector<Row>& rows, const std::vector<SlotRange>& slotsOf,
                       int32_t measures, const Region* selection, bool marked, size_t width) {
  if (rows.empty()) return "No groups.\n";
  const GroupColumns columns = LayOutGroups(rows, slotsOf, width);
  const MeasureScale scale(measures, columns.area);
  const std::string header =
      "  " + Right("#", columns.numberWidth) + " " + Fit("group", columns.groupWidth) + "  " +
      Fit("staves", columns.stavesWidth) + "  " + Fit("measures", columns.measuresWidth) + "  " +
      (columns.styleWidth ? Fit("style", columns.styleWidth) + "  " : "");
  std::string out = Line(header + scale.Ruler());
  for (size_t i = 0; i < rows.size(); ++i) {
    const GroupRecord& record = rows[i].group.record;
    const char* glyph = rows[i].mark == Mark::kRemoved ? "\u2500" : "\u2588";
    out += Line(MarkSign(rows[i].mark) + Right(std::to_string(record.number), columns.numberWidth) +
                " " + FitName(ShownName(rows[i].group), columns.groupWidth) + "  " +
                Fit(columns.stavesText[i], columns.stavesWidth) + "  " +
                Fit(columns.measuresText[i], columns.measuresWidth) + "  " +
                (columns.styleWidth ? Fit(columns.styleText[i], columns.styleWidth) + "  " : "") +
                scale.Bar(record.startMeasure, record.endMeasure, glyph));
  }
  if (selection && measures > 0)
    out += Line(Fit("  selection", columns.left) +
                scale.Bar(selection->startMeasure, selection->endMeasure, "\u2591"));
  if (marked) out += ChangesLine(rows);
  return out;
}

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

// Every step is linear in the staves, groups and measures (or n log n): the score order
// and the selection's list are read once, and slots are looked up in them.
std::string DrawChart(const Document& document, const ChartOptions& options) {
  const size_t width = static_cast<size_t>(std::max(options.width, 40));
  const std::vector<int16_t> order = ReadInstrumentList(document, 0);
  const int32_t measures = LastMeasure(document.records);
  const std::vector<ChartGroup> groups = ChartGroups(document);
  const std::vector<Row> rows = MarkGroups(groups, options.before);

  std::string out = options.title + " \u2014 " + Count(order.size(), "staff", "staves") + ", " +
                    Count(static_cast<size_t>(measures), "measure", "measures") + ", " +
                    Count(groups.size(), "group", "groups") + "\n";
  StaffSet selected;
  if (document.hasSelection) out += SelectionLine(document, order, &selected);
  out += "\n";

  std::vector<SlotRange> slotsOf;
  const std::vector<Lane> lanes = FitLanes(Brackets(rows, SlotIndex(order), &slotsOf));
  out += DrawStaves(document, order, lanes, selected, width) + "\n";

  const Region selection = Selection(document);
  out += DrawGroups(rows, slotsOf, measures, document.hasSelection ? &selection : nullptr,
                    options.before != nullptr, width);
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
