// Cutting staff groups at the edges of a selection.
#pragma once

class FCGroup;
class FCMusicRegion;
class FCString;

// Splits every group whose visible outer staves are the region's top and bottom staves
// and whose measures contain the region's measures; true when at least one was split.
bool SplitGroups(FCMusicRegion* region);

// The first and last staff of the group that the region's start instrument list shows,
// in the global staff order; 0 in both when there is none.
void CalcFirstLastVisibleGroupStaves(FCGroup* group, FCMusicRegion* region, short* first,
                                     short* last);

// Ends text with fontTags, "(", the suffix word, number and ")", replacing an earlier
// suffix of the same kind.
void AppendSplitText(FCString* text, FCString* fontTags, short number, bool abbreviated);
