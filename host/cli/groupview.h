// What the chart and the picture of a document's groups share (host/cli/chart.cpp,
// host/cli/svg.cpp; their rules in docs/fxthost.md, "The chart", and docs/svg.md): names
// shortened in the middle, and each group marked against the groups before a command.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/cli/chart.h"

namespace fxthost {

// Characters of UTF-8 text (a terminal column each).
size_t TextColumns(const std::string& text);

// The name when it has at most width characters, else shortened in the middle to exactly
// width: its beginning, an ellipsis and its end, so that names that differ only at the end
// (a numbered suffix, "Violin I" and "Violin II") stay apart. A suffix in parentheses is
// kept whole when it leaves room for a character of the beginning.
std::string ShortenName(const std::string& text, size_t width);

// How a group stands against the groups before a command.
enum class GroupChange { kNone, kNew, kChanged, kRemoved };

struct MarkedGroup {
  ChartGroup group;
  GroupChange mark = GroupChange::kNone;
};

// The groups now, and those the command removed, in the host's order, each marked against
// before (all kNone when before is null): new, changed (record, name or abbreviation), or
// removed.
std::vector<MarkedGroup> MarkGroups(const std::vector<ChartGroup>& groups,
                                    const std::vector<ChartGroup>* before);

}  // namespace fxthost
