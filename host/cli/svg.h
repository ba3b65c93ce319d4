// The picture of a document's staves and groups as plain SVG, as fxthost show --svg and
// run --svg write it (its rules in docs/svg.md): staves in score order, measures in runs
// that end wherever a group starts or ends, and each group as its bracket at the left of
// every run it covers, one <g> per bracket carrying what it shows as data- attributes.
#pragma once

#include <string>
#include <vector>

#include "host/cli/chart.h"
#include "host/store/document.h"

namespace fxthost {

struct SvgPanelOptions {
  std::string title;  // the heading line
  std::string name;   // the panel's data-panel attribute ("score", "before", "after")
  bool shadeSelection = false;
  // When set, the groups created or changed against these are drawn in colour, and a
  // legend says which colour is which and names the groups removed.
  const std::vector<ChartGroup>* before = nullptr;
};

// One drawing of a document, to be placed in a picture.
struct SvgPanel {
  std::string body;  // SVG elements, drawn from (0, 0)
  int width = 0;
  int height = 0;
};

SvgPanel DrawSvgPanel(const Document& document, const SvgPanelOptions& options);

// The panels one above the other as a whole SVG file.
std::string SvgPicture(const std::vector<SvgPanel>& panels);

}  // namespace fxthost
