// Time signature names.
#include <gtest/gtest.h>

#include <string>

#include "framework/notation/timesignature.h"
#include "framework/text/fcstring.h"

namespace {

TEST(TimeSignatureName, NamesBeatsOverTheNoteValueOfABeat) {
  struct Row {
    short beats, duration;
    bool beatsFlag, durationFlag;
    const char* name;
  };
  const Row rows[] = {
      {4, 1024, false, false, "4/4"},
      {3, 1024, false, false, "3/4"},
      {2, 2048, false, false, "2/2"},
      {3, 512, false, false, "3/8"},
      {5, 256, false, false, "5/16"},
      // Dotted beats are counted in the undotted unit.
      {2, 1536, false, false, "6/8"},
      {4, 1536, false, false, "12/8"},
      {2, 768, false, false, "6/16"},
      {1, 3072, false, false, "3/4"},
      // A number that is 0 or does not apply gives no name (framework-behaviour.md, Time
      // signature text).
      {3, 0, false, false, "???"},
      {0, 1024, false, false, "???"},
      {4, 1024, true, false, "???"},
      {4, 1024, false, true, "???"},
      {0, 0, false, false, "???"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.beats) + " of " + std::to_string(row.duration) +
                 (row.beatsFlag ? " beats flag" : "") + (row.durationFlag ? " duration flag" : ""));
    FCTimeSignature time(row.beats, row.duration);
    time.SetBeatsFlag(row.beatsFlag);
    time.SetDurationFlag(row.durationFlag);
    FCString name("old");
    time.MakeString(&name);
    EXPECT_STREQ(name.GetCString(), row.name);
  }
}

// A beat that is no whole fraction of a whole note (longer than one, or of an odd
// length) is named by the same measure length, exactly, in the largest note value
// that divides the beat; numbers below 0 give no name (framework-behaviour.md, Time
// signature text).
TEST(TimeSignatureName, NamesEveryBeatLengthARecordCanHold) {
  struct Row {
    short beats, duration;
    const char* name;
  };
  const Row rows[] = {
      {1, 4096, "1/1"},
      {2, 8192, "4/1"},  // breves: two whole notes each
      {3, 16384, "12/1"},
      {1, 12288, "3/1"},  // a dotted breve
      {3, 1000, "375/512"},
      {1, 1, "1/4096"},  // odd lengths, exactly
      {2, 3, "6/4096"},
      {5, 6144, "15/2"},                  // a dotted whole note
      {32767, 32767, "1073676289/4096"},  // the largest numbers
      {-4, 1024, "???"},
      {4, -1024, "???"},
      {-1, -3, "???"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.beats) + " of " + std::to_string(row.duration));
    FCString name;
    FCTimeSignature(row.beats, row.duration).MakeString(&name);
    EXPECT_STREQ(name.GetCString(), row.name);
  }
}

}  // namespace
