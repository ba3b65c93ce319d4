// Cutting staff groups at the edges of a selection. What a split does with a region
// without measures, or a step the host refuses or withholds, is written in
// docs/framework-behaviour.md.
#pragma once

#include <unordered_map>
#include <vector>

#include "framework/text/fcstring.h"

class FCGroup;
class FCMusicRegion;

// What one split did, for the message that tells the user.
struct SplitOutcome {
  // Groups split.
  int split = 0;
  // The names (font tags trimmed) of matching groups that the host would not let be
  // read or stored whole; each was put back as it was.
  std::vector<FCString> refused;
  // The host did not deliver every group or the whole of a staff list: nothing was
  // changed.
  bool documentUnread = false;
  // The suffix words of new names could not be loaded from the string table: nothing
  // was examined or changed.
  bool textsUnreadable = false;
};

// Whether the region holds measures: its first measure is 1 or more and its last is not
// before its first.
bool RegionHasMeasures(const FCMusicRegion* region);

// Splits every group whose visible outer staves are the region's top and bottom staves
// and whose measures contain the region's measures; true when at least one was split.
// A region without measures (its end before its start, or a measure below 1) splits
// nothing.
bool SplitGroups(FCMusicRegion* region);
// The same, telling what happened in outcome.
bool SplitGroups(FCMusicRegion* region, SplitOutcome* outcome);

// The two staff lists that decide which staves of a group a selection shows: the global
// staff order and the selection's start instrument list, each loaded once, when first
// needed. The document does not change its staves during a command, so one set serves
// every group.
class GroupStaffLists {
 public:
  explicit GroupStaffLists(unsigned short shownList) : shownList_(shownList) {}
  // Loads the lists unless they are loaded. False when the host withheld part of a
  // list (a staff at a position after the list's last that loaded).
  bool Load();
  // The first and last staff from startStaff to endStaff in the global order that the
  // shown list holds; 0 in both when either end is missing from the global order or
  // none is shown. Constant time once the lists are loaded.
  void FirstLastVisible(short startStaff, short endStaff, short* first, short* last);

 private:
  unsigned short shownList_;
  bool loaded_ = false;
  bool complete_ = false;
  std::vector<short> global_;
  std::unordered_map<short, int> firstIndex_;  // of each staff in global_
  // For each index of global_: the first index from it on whose staff is shown and not
  // 0, and the last index up to it whose staff is shown; global_.size() and -1 for none.
  std::vector<int> nextShown_;
  std::vector<int> lastShown_;
};

// The first and last staff of the group that the region's start instrument list shows,
// in the global staff order; 0 in both when there is none.
void CalcFirstLastVisibleGroupStaves(FCGroup* group, FCMusicRegion* region, short* first,
                                     short* last);
// The same with the lists of the command, which serve all its groups.
void CalcFirstLastVisibleGroupStaves(FCGroup* group, GroupStaffLists& lists, short* first,
                                     short* last);

// Ends text with fontTags, "(", the suffix word, number and ")", replacing an earlier
// suffix of the same kind.
void AppendSplitText(FCString* text, FCString* fontTags, short number, bool abbreviated);
