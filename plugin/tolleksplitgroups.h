// The Split Groups command: its string-table entries and the functions the entry points
// call. What the command does with unusual selections and host answers is written in
// docs/framework-behaviour.md.
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
  kStringNoMeasures = 205,
  kStringGroupsRefused = 206,
  kStringDocumentUnread = 207,
  kStringTextsUnreadable = 208,
  kStringGroupNumber = 209,
  kCaptionPartialMeasures = 301,
  kCaptionMultiStaffInstrument = 302,
  kCaptionSmallRange = 303,
  kCaptionNoGroup = 304,
  kCaptionNoMeasures = 305,
  kCaptionGroupsRefused = 306,
  kCaptionDocumentUnread = 307,
  kCaptionTextsUnreadable = 308,
  kStringFullNameSuffix = 501,
  kStringAbbreviatedNameSuffix = 502,
};

// Runs the command on the host's selection record; 1 when a group was split.
int32_t RunSplitGroupsCommand(void* region);

class FCString;

// Loads string-table entry id into text. When the module's table cannot be read (the
// module was loaded under another file name, say) the English text compiled into the
// module from the same table is used instead, so that a message always reaches the
// user in words; the result is then false.
bool LoadCommandText(FCString* text, int id);

class FCMusicRegion;

// True when the region's top and bottom staves are the topmost and bottommost staves of
// one multi-staff instrument (in the global staff order).
bool MultiStaffInstrumentCheck(FCMusicRegion* region);
