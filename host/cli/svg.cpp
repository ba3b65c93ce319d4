// The picture of a document's staves and groups as SVG (host/cli/svg.h; the rules it
// draws by in docs/svg.md).
//
// Every coordinate is a whole number, so that the same document gives the same bytes on
// every build. Each step is linear in the staves, the runs and the brackets drawn (or
// n log n): nothing is done per measure.
#include "host/cli/svg.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <queue>
#include <set>
#include <unordered_map>
#include <utility>

#include "host/cli/groupview.h"
#include "host/cli/notationview.h"
#include "host/store/groups.h"
#include "host/store/notationmodel.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

constexpr int kMargin = 10;
constexpr int kTitleY = 22;
constexpr int kRunLabelY = 46;
constexpr int kFirstStaffY = 72;
constexpr int kRowHeight = 24;
constexpr int kCharWidth = 7;  // an estimate of a character's width at 12 px
constexpr size_t kStaffNameCharacters = 24;
constexpr size_t kGroupNameCharacters = 24;
constexpr size_t kRunLabelCharacters = 24;
constexpr int kBracketWidth = 12;    // a bracket and the gap before its name
constexpr int kRunGap = 6;           // from a run's left edge to its first bracket
constexpr int kRunArea = 40;         // the least width a run keeps right of its brackets,
constexpr int kMeasureWidth = 4;     // and more for each measure,
constexpr int kWidestRunArea = 240;  // up to this

const char* const kInk = "#222";
const char* const kNewColour = "#1b7f3b";
const char* const kChangedColour = "#c2410c";
const char* const kSelectionColour = "#9ecbff";

std::string Number(int64_t value) { return std::to_string(value); }

// Text as XML character data or an attribute value. Characters XML 1.0 cannot hold
// (controls other than tab and line ends) become spaces.
std::string Escape(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out +=
            static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r' ? ' ' : c;
    }
  }
  return out;
}

std::string Span(int64_t first, int64_t last) { return Number(first) + "-" + Number(last); }

std::string Utf8(const std::u16string& text) { return Utf16ToUtf8(text); }

// A run of measures: one column of the picture.
struct Run {
  int32_t first = 0;
  int32_t last = 0;
  int x = 0;          // left edge
  int areaLeft = 0;   // right of its brackets
  int areaRight = 0;  // right edge
};

// A group the picture can draw: its staves both in the score order, top over bottom,
// and measures that meet the document's.
struct Drawn {
  const MarkedGroup* group = nullptr;
  int32_t top = 0;  // slots in the score order
  int32_t bottom = 0;
  int32_t first = 0;  // measures, within the document's
  int32_t last = 0;
  std::string name;  // as shown, shortened
};

// A bracket in a run: which group, in which lane from the left.
struct Placed {
  size_t drawn = 0;
  size_t lane = 0;
};

// Lanes, first fit: a bracket goes into the leftmost lane whose brackets end above it.
// The brackets come in order of their tops, the longer first, so an enclosing group
// stands left of those it encloses.
void FitLanes(const std::vector<Drawn>& drawn, std::vector<Placed>* placed, size_t* lanes) {
  std::stable_sort(placed->begin(), placed->end(), [&](const Placed& a, const Placed& b) {
    const Drawn& x = drawn[a.drawn];
    const Drawn& y = drawn[b.drawn];
    return x.top != y.top ? x.top < y.top : x.bottom > y.bottom;
  });
  using Busy = std::pair<int32_t, size_t>;  // bottom of the lane's last bracket, lane
  std::priority_queue<Busy, std::vector<Busy>, std::greater<Busy>> busy;
  std::set<size_t> free;
  *lanes = 0;
  for (Placed& bracket : *placed) {
    const Drawn& group = drawn[bracket.drawn];
    while (!busy.empty() && busy.top().first < group.top) {
      free.insert(busy.top().second);
      busy.pop();
    }
    if (free.empty()) {
      bracket.lane = (*lanes)++;
    } else {
      bracket.lane = *free.begin();
      free.erase(free.begin());
    }
    busy.emplace(group.bottom, bracket.lane);
  }
}

int StaffY(int32_t slot) { return kFirstStaffY + (slot - 1) * kRowHeight; }

// The path of a bracket of the style at x from top to bottom (y).
std::string BracketPath(int16_t style, int x, int top, int bottom) {
  const std::string X = Number(x), T = Number(top), B = Number(bottom);
  switch (style) {
    case kBracketStyleBrace: {
      const int middle = (top + bottom) / 2;
      const std::string M = Number(middle), in = Number(x + 7), out = Number(x - 1);
      return "<path d=\"M" + in + " " + T + "C" + X + " " + T + " " + in + " " + M + " " + out +
             " " + M + "C" + in + " " + M + " " + X + " " + B + " " + in + " " + B +
             "\" fill=\"none\" stroke-width=\"2\"/>";
    }
    case kBracketStyleSquare:
      return "<path d=\"M" + Number(x + 6) + " " + T + "H" + X + "V" + B + "H" + Number(x + 6) +
             "\" fill=\"none\" stroke-width=\"1.5\"/>";
    case kBracketStyleLine:
      return "<path d=\"M" + X + " " + T + "V" + B + "\" fill=\"none\" stroke-width=\"2\"/>";
    case kBracketStyleNone:
      return "<path d=\"M" + X + " " + T + "V" + B +
             "\" fill=\"none\" stroke-width=\"1\" stroke-dasharray=\"2 3\"/>";
    default:  // a bracket: a thick line with a beak at each end
      return "<path d=\"M" + Number(x + 7) + " " + Number(top - 3) + "Q" + X + " " + T + " " + X +
             " " + T + "V" + B + "Q" + X + " " + B + " " + Number(x + 7) + " " +
             Number(bottom + 3) + "\" fill=\"none\" stroke-width=\"3\"/>";
  }
}

std::string StyleName(int16_t style) {
  const char* name = StyleNameOf(kBracketStyles, style);
  return name ? name : "style " + Number(style);
}

const char* MarkName(GroupChange mark) {
  return mark == GroupChange::kNew ? "new" : mark == GroupChange::kChanged ? "changed" : "";
}

const char* MarkColour(GroupChange mark) {
  return mark == GroupChange::kNew       ? kNewColour
         : mark == GroupChange::kChanged ? kChangedColour
                                         : kInk;
}

// The slots of the score order by staff: the first slot that holds each staff.
std::unordered_map<int16_t, int32_t> SlotsOf(const std::vector<int16_t>& order) {
  std::unordered_map<int16_t, int32_t> slots;
  for (size_t i = 0; i < order.size(); ++i)
    if (order[i] > 0) slots.emplace(order[i], static_cast<int32_t>(i) + 1);
  return slots;
}

int32_t SlotOf(const std::unordered_map<int16_t, int32_t>& slots, int16_t staff) {
  const auto found = slots.find(staff);
  return found == slots.end() ? 0 : found->second;
}

class PanelDrawer {
 public:
  PanelDrawer(const Document& document, const SvgPanelOptions& options)
      : document_(document), options_(options) {}

  SvgPanel Draw() {
    order_ = ReadInstrumentList(document_, 0);
    slots_ = SlotsOf(order_);
    last_ = LastMeasure(document_.records);
    marked_ = MarkGroups(ChartGroups(document_), options_.before);
    std::string staves = StaffNames();
    CollectDrawn();
    LayOutRuns();
    const int bottom = order_.empty() ? kFirstStaffY : StaffY(static_cast<int32_t>(order_.size()));
    std::string out = "<g class=\"panel\" data-panel=\"" + Escape(options_.name) + "\">\n";
    out += "<text x=\"" + Number(kMargin) + "\" y=\"" + Number(kTitleY) +
           "\" font-weight=\"bold\" font-size=\"14\">" + Escape(options_.title) + "</text>\n";
    if (options_.shadeSelection) out += SelectionShade();
    out += staves;
    StaffLines(&out);
    RunColumns(bottom, &out);
    Brackets(&out);
    int height = bottom + 2 * kRowHeight;
    const std::string legend = Legend(height - kRowHeight / 2);
    if (!legend.empty()) {
      out += legend;
      height += kRowHeight;
    }
    out += "</g>\n";
    // Wide enough for the lines, the heading (bold, at 14 px) and the legend.
    const int title = kMargin + static_cast<int>(TextColumns(options_.title)) * 9 + kMargin;
    return SvgPanel{out, std::max({right_ + kMargin, title, legendRight_ + kMargin}), height};
  }

 private:
  // The staves' names, right-aligned before the lines; an unnamed staff shows its number
  // in grey. Sets where the lines begin.
  std::string StaffNames() {
    std::string out;
    std::vector<std::string> names(order_.size());
    std::vector<bool> unnamed(order_.size(), false);
    size_t widest = 4;
    for (size_t i = 0; i < order_.size(); ++i) {
      std::u16string name;
      if (StaffDisplayedName(document_, 0, order_[i], &name))
        names[i] = ShortenName(Utf8(name), kStaffNameCharacters);
      unnamed[i] = names[i].empty();
      if (unnamed[i]) names[i] = "staff " + Number(order_[i]);
      widest = std::max(widest, TextColumns(names[i]));
    }
    linesLeft_ = kMargin + static_cast<int>(widest) * kCharWidth + 10;
    for (size_t i = 0; i < order_.size(); ++i)
      out += "<text x=\"" + Number(linesLeft_ - 6) + "\" y=\"" +
             Number(StaffY(static_cast<int32_t>(i) + 1) + 4) +
             "\" text-anchor=\"end\" data-staff=\"" + Number(order_[i]) + "\"" +
             (unnamed[i] ? " fill=\"#888\">" : ">") + Escape(names[i]) + "</text>\n";
    return out;
  }

  void CollectDrawn() {
    for (const MarkedGroup& group : marked_) {
      if (group.mark == GroupChange::kRemoved) {
        removed_.push_back(group.group.record.number);
        continue;
      }
      const GroupRecord& record = group.group.record;
      Drawn drawn;
      drawn.group = &group;
      drawn.top = SlotOf(slots_, record.startStaff);
      drawn.bottom = SlotOf(slots_, record.endStaff);
      drawn.first = std::max<int32_t>(record.startMeasure, 1);
      drawn.last = std::min<int32_t>(record.endMeasure, last_);
      if (drawn.top == 0 || drawn.bottom == 0 || drawn.top > drawn.bottom ||
          drawn.first > drawn.last)
        continue;
      const std::string& name =
          group.group.name.empty() ? group.group.abbreviation : group.group.name;
      drawn.name = ShortenName(name, kGroupNameCharacters);
      drawn_.push_back(drawn);
    }
  }

  // The runs, cut at measure 1, after the last measure, and wherever a drawn group starts
  // or ends; each run's brackets in lanes; each run's place from the left.
  void LayOutRuns() {
    std::vector<int32_t> cuts;
    if (last_ >= 1) cuts = {1, last_ + 1};
    for (const Drawn& drawn : drawn_) {
      cuts.push_back(drawn.first);
      cuts.push_back(drawn.last + 1);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());
    const size_t runs = cuts.empty() ? 0 : cuts.size() - 1;
    runs_.resize(runs);
    placed_.assign(runs, {});
    for (size_t r = 0; r < runs; ++r) runs_[r] = Run{cuts[r], cuts[r + 1] - 1};
    for (size_t i = 0; i < drawn_.size(); ++i) {
      const size_t from = static_cast<size_t>(
          std::lower_bound(cuts.begin(), cuts.end(), drawn_[i].first) - cuts.begin());
      const size_t to = static_cast<size_t>(
          std::lower_bound(cuts.begin(), cuts.end(), drawn_[i].last + 1) - cuts.begin());
      for (size_t r = from; r < to; ++r) placed_[r].push_back(Placed{i, 0});
    }
    const std::vector<NumberRegion> regions = MeasureNumberRegionsOf(document_);
    int x = linesLeft_;
    laneLeft_.assign(runs, {});
    labels_.resize(runs);
    for (size_t r = 0; r < runs; ++r) {
      size_t lanes = 0;
      FitLanes(drawn_, &placed_[r], &lanes);
      std::vector<int> widths(lanes, kBracketWidth + 8);
      for (const Placed& bracket : placed_[r])
        widths[bracket.lane] = std::max(
            widths[bracket.lane],
            kBracketWidth + static_cast<int>(TextColumns(drawn_[bracket.drawn].name)) * kCharWidth +
                8);
      Run& run = runs_[r];
      run.x = x;
      int left = x + kRunGap;
      for (int width : widths) {
        laneLeft_[r].push_back(left);
        left += width;
      }
      run.areaLeft = left;
      const std::string first = Utf8(ShownMeasure(regions, run.first).second);
      labels_[r] = ShortenName(
          run.first == run.last ? first
                                : first + "\u2013" + Utf8(ShownMeasure(regions, run.last).second),
          kRunLabelCharacters);
      const int labelWidth = static_cast<int>(TextColumns(labels_[r])) * kCharWidth + 12;
      const int64_t measures = int64_t{run.last} - run.first + 1;
      const int area = static_cast<int>(
          std::min<int64_t>(kWidestRunArea, std::max<int64_t>(kRunArea, measures * kMeasureWidth)));
      run.areaRight = std::max(left + area, x + labelWidth);
      x = run.areaRight;
    }
    right_ = std::max(x, linesLeft_ + kRunArea);
  }

  // Every staff's line, in one path.
  void StaffLines(std::string* out) const {
    if (order_.empty()) return;
    std::string& d = *out;
    d += "<path class=\"staves\" d=\"";
    for (size_t i = 0; i < order_.size(); ++i)
      d += "M" + Number(linesLeft_) + " " + Number(StaffY(static_cast<int32_t>(i) + 1)) + "H" +
           Number(right_);
    d += "\" stroke=\"#bbb\" stroke-width=\"1\"/>\n";
  }

  // A line at the left of each run over the staves, and its measures above it.
  void RunColumns(int bottom, std::string* to) const {
    std::string& out = *to;
    for (size_t r = 0; r < runs_.size(); ++r) {
      const Run& run = runs_[r];
      out += "<g class=\"run\" data-measures=\"" + Span(run.first, run.last) + "\"><path d=\"M" +
             Number(run.x) + " " + Number(kRunLabelY + 8) + "V" + Number(bottom + 10) +
             "\" stroke=\"#888\" stroke-width=\"1\"/><text x=\"" + Number(run.x + 4) + "\" y=\"" +
             Number(kRunLabelY) + "\" fill=\"#555\">" + Escape(labels_[r]) + "</text></g>\n";
    }
  }

  // Where measure m begins: its share of its run's area (after the last measure: the
  // right edge).
  int MeasureX(int32_t m) const {
    if (runs_.empty()) return linesLeft_;
    if (m > last_) return runs_.back().areaRight;
    if (m < 1) m = 1;
    const auto run =
        std::upper_bound(runs_.begin(), runs_.end(), m,
                         [](int32_t measure, const Run& r) { return measure < r.first; }) -
        1;
    const int64_t width = run->areaRight - run->areaLeft;
    return run->areaLeft +
           static_cast<int>(width * (m - run->first) / (int64_t{run->last} - run->first + 1));
  }

  // The selected staves and measures, shaded under everything else.
  std::string SelectionShade() const {
    if (!document_.hasSelection) return "";
    const Region selection = Selection(document_);
    const SelectedStaves staves = ReadSelectedStaves(document_, order_);
    const int16_t topStaff = staves.top;
    const int16_t bottomStaff = staves.bottom;
    const int32_t top = SlotOf(slots_, topStaff);
    const int32_t bottom = SlotOf(slots_, bottomStaff);
    if (top == 0 || bottom == 0 || top > bottom || runs_.empty()) return "";
    const int left = MeasureX(selection.startMeasure);
    const int right = MeasureX(selection.endMeasure + 1);
    const int y = StaffY(top) - kRowHeight / 2;
    return "<rect class=\"selection\" data-staves=\"" + Span(topStaff, bottomStaff) +
           "\" data-measures=\"" + Span(selection.startMeasure, selection.endMeasure) + "\" x=\"" +
           Number(left) + "\" y=\"" + Number(y) + "\" width=\"" +
           Number(std::max(right - left, 2)) + "\" height=\"" +
           Number((bottom - top + 1) * kRowHeight) + "\" fill=\"" + kSelectionColour +
           "\" fill-opacity=\"0.5\"/>\n";
  }

  // Each group's bracket at the left of each run it covers, with its name beside it.
  void Brackets(std::string* to) const {
    std::string& out = *to;
    for (size_t r = 0; r < runs_.size(); ++r) {
      for (const Placed& bracket : placed_[r]) {
        const Drawn& drawn = drawn_[bracket.drawn];
        const GroupRecord& record = drawn.group->group.record;
        const GroupChange mark = drawn.group->mark;
        const int x = laneLeft_[r][bracket.lane];
        const int top = StaffY(drawn.top) - 6;
        const int bottom = StaffY(drawn.bottom) + 6;
        out += "<g class=\"group\" data-group=\"" + Number(record.number) + "\" data-staves=\"" +
               Span(record.startStaff, record.endStaff) + "\" data-measures=\"" +
               Span(runs_[r].first, runs_[r].last) + "\" data-style=\"" +
               Escape(StyleName(record.bracket)) + "\"" +
               (mark == GroupChange::kNone ? ""
                                           : std::string(" data-mark=\"") + MarkName(mark) + "\"") +
               " stroke=\"" + MarkColour(mark) + "\">" +
               BracketPath(record.bracket, x + 2, top, bottom);
        if (!drawn.name.empty())
          out += "<text x=\"" + Number(x + kBracketWidth) + "\" y=\"" + Number(top + 12) +
                 "\" font-size=\"11\" fill=\"" + MarkColour(mark) +
                 "\" stroke=\"#fff\" stroke-width=\"3\" paint-order=\"stroke\">" +
                 Escape(drawn.name) + "</text>";
        out += "</g>\n";
      }
    }
  }

  // What the colours mean: the selection, and after a command the groups it created or
  // changed and the numbers of those it removed.
  std::string Legend(int y) {
    std::vector<std::pair<std::string, const char*>> keys;  // text, colour
    if (options_.shadeSelection && document_.hasSelection)
      keys.emplace_back("selection", kSelectionColour);
    if (options_.before) {
      keys.emplace_back("new group", kNewColour);
      keys.emplace_back("changed group", kChangedColour);
    }
    if (keys.empty()) return "";
    std::string out = "<g class=\"legend\">";
    int x = kMargin;
    for (const auto& key : keys) {
      out += "<rect x=\"" + Number(x) + "\" y=\"" + Number(y - 10) +
             "\" width=\"12\" height=\"12\" fill=\"" + key.second + "\"/><text x=\"" +
             Number(x + 18) + "\" y=\"" + Number(y) + "\">" + key.first + "</text>";
      x += 18 + static_cast<int>(key.first.size()) * kCharWidth + 16;
    }
    if (options_.before) {
      std::string removed;
      for (uint16_t number : removed_) removed += (removed.empty() ? " " : ", ") + Number(number);
      out += "<text x=\"" + Number(x) + "\" y=\"" + Number(y) + "\" data-removed=\"" +
             Escape(removed.empty() ? "" : removed.substr(1)) + "\">" +
             (removed.empty() ? "no group removed" : "removed:" + removed) + "</text>";
      x += static_cast<int>(removed.size() + 16) * kCharWidth;
    }
    legendRight_ = x;
    return out + "</g>\n";
  }

  const Document& document_;
  const SvgPanelOptions& options_;
  std::vector<int16_t> order_;
  std::unordered_map<int16_t, int32_t> slots_;
  int32_t last_ = 0;
  std::vector<MarkedGroup> marked_;
  std::vector<Drawn> drawn_;
  std::vector<uint16_t> removed_;
  std::vector<Run> runs_;
  std::vector<std::vector<Placed>> placed_;
  std::vector<std::vector<int>> laneLeft_;
  std::vector<std::string> labels_;
  int linesLeft_ = 0;
  int right_ = 0;
  int legendRight_ = 0;
};

}  // namespace

SvgPanel DrawSvgPanel(const Document& document, const SvgPanelOptions& options) {
  return PanelDrawer(document, options).Draw();
}

std::string SvgPicture(const std::vector<SvgPanel>& panels) {
  int width = 0, height = 0;
  for (const SvgPanel& panel : panels) {
    width = std::max(width, panel.width);
    height += panel.height;
  }
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "width=\"" +
      Number(width) + "\" height=\"" + Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " +
      Number(height) + "\" font-family=\"sans-serif\" font-size=\"12\">\n<rect width=\"" +
      Number(width) + "\" height=\"" + Number(height) + "\" fill=\"#fff\"/>\n";
  // The panels' bodies are the bulk of the picture: one allocation for all of it, so
  // that a large picture is not copied as it grows.
  size_t size = out.size() + 64;
  for (const SvgPanel& panel : panels) size += panel.body.size() + 128;
  out.reserve(size);
  int y = 0;
  for (size_t i = 0; i < panels.size(); ++i) {
    if (i > 0) out += "<path d=\"M0 " + Number(y) + "H" + Number(width) + "\" stroke=\"#ccc\"/>\n";
    out += "<g transform=\"translate(0 " + Number(y) + ")\">\n";
    out += panels[i].body;
    out += "</g>\n";
    y += panels[i].height;
  }
  out += "</svg>\n";
  return out;
}

}  // namespace fxthost
