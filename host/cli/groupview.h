// What the chart and the picture of a document's groups share (host/cli/chart.cpp,
// host/cli/svg.cpp; their rules in docs/fxthost.md, "The chart", and docs/svg.md): names
// shortened in the middle, each group marked against the groups before a command, and
// the staves at the ends of the selection.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/cli/chart.h"
#include "host/store/document.h"

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

// The staff at a slot (from 1) of a list read in slot order; 0 outside it.
int16_t StaffIn(const std::vector<int16_t>& list, int32_t slot);

// The document's selection with the staff lists its slots count in (the score order for
// list 0) and the staves at its top and bottom slots (0 for a slot outside its list).
struct SelectedStaves {
  std::vector<int16_t> startList;
  int16_t top = 0;
  int16_t bottom = 0;
};
SelectedStaves ReadSelectedStaves(const Document& document, const std::vector<int16_t>& order);

}  // namespace fxthost
