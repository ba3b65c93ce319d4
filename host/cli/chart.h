// The chart of a document's staves and groups, as fxthost shows it (docs/fxthost.md).
//
// Two parts: the staves in score order, with each group drawn as a bracket beside the
// staves it joins; then one line per group with a bar over its measures, scaled to the
// width. Names are shown as the host displays them, without inline tags. Given the
// groups as they were before a command, the chart marks what changed.
#pragma once

#include <string>
#include <vector>

#include "host/store/document.h"
#include "host/store/groups.h"

namespace fxthost {

// A group as the chart shows it.
struct ChartGroup {
  GroupRecord record;
  std::string name;          // the full name as displayed, or "" when it has none
  std::string abbreviation;  // the abbreviated name as displayed
};

// The document's groups in the host's order.
std::vector<ChartGroup> ChartGroups(const Document& document);

struct ChartOptions {
  int width = 80;     // columns
  std::string title;  // first word(s) of the heading line
  // When set, groups are marked against these: + new, * changed, - removed.
  const std::vector<ChartGroup>* before = nullptr;
};

std::string DrawChart(const Document& document, const ChartOptions& options);

// The width of a chart when standard output is not a terminal (a file, a pipe, a test),
// so that what is written there does not depend on who ran it; and the widest chart.
constexpr int kDefaultChartWidth = 80;
constexpr int kWidestChart = 1000;

// The width for a chart on standard output: on a terminal, COLUMNS when it holds a
// whole number above 0, else the terminal's own columns (terminalColumns), else the
// default; not on a terminal, the default. At most kWidestChart.
int ChartWidth(bool terminal, const char* columns, int terminalColumns);
// ChartWidth for this process's standard output.
int TerminalWidth();

}  // namespace fxthost
