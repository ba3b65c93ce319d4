// The Split Groups command.
#pragma once

#include <cstdint>

// String-table entries of the command.
enum : int {
  kStringPluginName = 101,
  kStringDescription = 102,
  kStringMenuText = 103,
  kStringPartialMeasures = 201,
  kStringMultiStaffInstrument = 202,
  kStringSmallRange = 203,
  kStringNoGroup = 204,
  kCaptionPartialMeasures = 301,
  kCaptionMultiStaffInstrument = 302,
  kCaptionSmallRange = 303,
  kCaptionNoGroup = 304,
  kStringFullNameSuffix = 501,
  kStringAbbreviatedNameSuffix = 502,
};

// Runs the command on the host's selection record; 1 when a group was split.
int32_t RunSplitGroupsCommand(void* region);

class FCMusicRegion;

// True when the region's top and bottom staves are the topmost and bottommost staves of
// one multi-staff instrument (in the global staff order).
bool MultiStaffInstrumentCheck(FCMusicRegion* region);
