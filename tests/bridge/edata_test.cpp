// The data-record wrappers against the emulated host: version correction as the host
// receives it, the developer warnings, the special loads and the preference hook.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/prefmap.h"
#include "bridge/recordbytes.h"
#include "host/functions/host.h"
#include "host/functions/words.h"

namespace {

using fxt::MakeTag;
using fxthost::DataKey;
using fxthost::Fn;
using fxthost::Host;

constexpr uint32_t kVersion = FINALE_INTERFACE_VERSION;
const char* const kWarn1 =
    "Warning to plug-in developer: EDTGfhold2004 used with wrong version parameter";
const char* const kWarn2 =
    "Warning to plug-in developer: EDTTextBlock2004 used with wrong version parameter";
const char* const kWarn3 =
    "Warning to plug-in developer: EDTShapeExpression2004 used with wrong version parameter";

std::string Hex(uint64_t value) {
  char text[24];
  snprintf(text, sizeof text, "0x%08llX", static_cast<unsigned long long>(value));
  return text;
}

// The texts of the developer warnings in the log, each checked for its fixed arguments.
std::vector<std::string> Warnings(const Host& host) {
  std::vector<std::string> texts;
  for (const fxthost::Call& call : host.CallsTo(Fn::FX_AlertMessage)) {
    EXPECT_EQ(call.words[0], 0u);
    EXPECT_EQ(call.words[1], 0u);
    EXPECT_EQ(call.words[2], 0u);
    EXPECT_EQ(call.words[4], kVersion);
    texts.push_back(fxthost::Ptr<const char>(call.words[3]));
  }
  return texts;
}

struct Document {
  Host host;
  fxthost::RecordStore& store;
  Document() : store(host.NewDocument().records) {}
};

TEST(RecordVersion, HostReceivesCorrectedVersionAndWarnings) {
  struct Row {
    uint32_t tag;
    int32_t size;
    uint32_t version;
    uint32_t sent;
    const char* warning;
  };
  const uint32_t SOMS = MakeTag('S', 'O', 'M', 'S'), SOSS = MakeTag('S', 'O', 'S', 'S'),
                 SOIS = MakeTag('S', 'O', 'I', 'S'), SDGF = MakeTag('S', 'D', 'G', 'F'),
                 SOTX = MakeTag('S', 'O', 'T', 'X'), otDO = MakeTag('o', 't', 'D', 'O'),
                 ALT = 0x4F025353;
  const Row rows[] = {
      {SOMS, 26, 0x09FFFFFF, 0x0A000000, nullptr},
      {SOMS, 26, 0x0A000000, 0x0A000000, nullptr},
      {SOMS, 26, kVersion, kVersion, nullptr},  // the measure class's own version
      {SOMS, 24, kVersion, 0x09000000, nullptr},
      {SOSS, 28, 0x09000000, 0x0A000000, nullptr},
      {ALT, 28, 0x01000000, 0x0A000000, nullptr},
      {SOSS, 24, 0x05000000, 0x06000000, nullptr},
      {SOSS, 24, 0x07000000, 0x07000000, nullptr},
      {SOSS, 22, kVersion, 0x05000000, nullptr},
      {ALT, 22, kVersion, 0x05000000, nullptr},
      {SOIS, 66, kVersion, 0x05000000, nullptr},
      {SOIS, 102, kVersion, 0x08000000, nullptr},
      {SOIS, 132, kVersion, kVersion, nullptr},
      {SDGF, 12, 0x08000001, 0x08000000, nullptr},
      {SDGF, 12, 0x08000000, 0x08000000, nullptr},
      {SDGF, 10, 0x08FFFFFF, 0x09000000, kWarn1},
      {SDGF, 10, 0x09000000, 0x09000000, nullptr},
      {SOTX, 48, kVersion, 0x08000000, nullptr},
      {SOTX, 26, 0x08000000, 0x09000000, kWarn2},
      {SOTX, 26, 0x09000000, 0x09000000, nullptr},
      {SOTX, 26, kVersion, kVersion, nullptr},  // the text block class's own version
      {otDO, 12, 0x09000000, 0x08000000, nullptr},
      {otDO, 34, 0x05000000, 0x09000000, kWarn3},
      {otDO, 34, 0x09000000, 0x09000000, nullptr},
      // Size 0 corrects nothing and warns for nothing.
      {SOMS, 0, 0x01000000, 0x01000000, nullptr},
      {SOTX, 0, 0x08000000, 0x08000000, nullptr},
      {MakeTag('S', 'O', 'T', 'Y'), 26, 0x08000000, 0x08000000, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.tag) + " size " + std::to_string(row.size) + " version " +
                 Hex(row.version));
    Document doc;
    uint8_t key[8] = {};
    FX_NextEData(static_cast<int32_t>(row.tag), key, nullptr, row.size,
                 static_cast<int32_t>(row.version));
    std::vector<fxthost::Call> calls = doc.host.CallsTo(Fn::FX_NextEData);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(Hex(calls[0].words[4]), Hex(row.sent));
    std::vector<std::string> expected;
    if (row.warning) expected.push_back(row.warning);
    EXPECT_EQ(Warnings(doc.host), expected);
    // The warning comes before the host call.
    if (row.warning) {
      EXPECT_EQ(doc.host.Calls().front().fn, Fn::FX_AlertMessage);
    }
  }
}

TEST(RecordVersion, WarningIsShownOnEveryCall) {
  Document doc;
  uint8_t key[8] = {};
  uint8_t buffer[26] = {};
  for (int i = 0; i < 3; ++i)
    FX_SaveEData(static_cast<int32_t>(MakeTag('S', 'O', 'T', 'X')), key, buffer, 26, 0x08000000);
  EXPECT_EQ(Warnings(doc.host), std::vector<std::string>(3, kWarn2));
}

// Each wrapper corrects with its own size ('SOSS' of 22 bytes is sent as 0x05000000),
// except the delete, which passes its version unchanged.
TEST(RecordVersion, EachWrapperCorrectsWithItsSize) {
  const int32_t SOSS = static_cast<int32_t>(MakeTag('S', 'O', 'S', 'S'));
  struct Row {
    const char* name;
    Fn fn;
    size_t versionWord;
    void (*call)(int32_t tag, uint8_t* key, uint8_t* buffer);
    uint32_t sent;
  };
  const Row rows[] = {
      {"load", Fn::FX_LoadEData, 4,
       [](int32_t tag, uint8_t* key, uint8_t* buffer) {
         int32_t size = 22;
         FX_LoadEData(tag, key, buffer, &size, kVersion);
       },
       0x05000000},
      {"save", Fn::FX_SaveEData, 4,
       [](int32_t tag, uint8_t* key, uint8_t* buffer) {
         FX_SaveEData(tag, key, buffer, 22, kVersion);
       },
       0x05000000},
      {"create", Fn::FX_CreateEData, 4,
       [](int32_t tag, uint8_t* key, uint8_t* buffer) {
         FX_CreateEData(tag, key, buffer, 22, kVersion);
       },
       0x05000000},
      {"previous", Fn::FX_PreviousEData, 4,
       [](int32_t tag, uint8_t* key, uint8_t* buffer) {
         FX_PreviousEData(tag, key, buffer, 22, kVersion);
       },
       0x05000000},
      {"next", Fn::FX_NextEData, 4,
       [](int32_t tag, uint8_t* key, uint8_t* buffer) {
         FX_NextEData(tag, key, buffer, 22, kVersion);
       },
       0x05000000},
      {"delete", Fn::FX_DeleteEData, 2,
       [](int32_t tag, uint8_t* key, uint8_t*) { FX_DeleteEData(tag, key, 0x01000000); },
       0x01000000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    uint8_t key[8] = {1, 0};
    uint8_t buffer[22] = {};
    row.call(SOSS, key, buffer);
    std::vector<fxthost::Call> calls = doc.host.CallsTo(row.fn);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(Hex(calls[0].words[row.versionWord]), Hex(row.sent));
  }
}

// A host that fills the buffer from the store but reports the load as failed (the low
// 16 bits of its result are 0).
intptr_t LoadButReportFailure(Host& host, const uint64_t* w) {
  int32_t* size = fxthost::Ptr<int32_t>(w[3]);
  host.CurrentDocument()->records.Load(fxthost::U32(w[0]),
                                       DataKey::FromBytes(fxthost::Ptr<const void>(w[1])),
                                       fxthost::Ptr<void>(w[2]), size);
  return 0x10000;
}

// 0x4F044958 and 'SOfI': the checked part of the buffer is cleared before the host call,
// and a reported failure counts as success when the host wrote into that part.
TEST(SpecialLoads, FilledRecordsCountWhenHostWroteData) {
  struct Row {
    const char* name;
    uint32_t tag;
    size_t checked;
    int fault;         // 0: host loads; 1: host refuses the call; 2: host writes, reports 0
    bool stored;       // a record exists
    int32_t expected;  // wrapper result
    size_t hostCalls;
  };
  const uint32_t F04 = 0x4F044958, SOfI = MakeTag('S', 'O', 'f', 'I');
  const Row rows[] = {
      {"4F04 loads", F04, 48, 0, true, 1, 2},
      {"4F04 refused", F04, 48, 1, true, 0, 1},
      {"4F04 false failure", F04, 48, 2, true, 1, 1},
      {"4F04 false failure, nothing written", F04, 48, 2, false, 0, 1},
      {"SOfI loads", SOfI, 108, 0, true, 1, 2},
      {"SOfI refused", SOfI, 108, 1, true, 0, 1},
      {"SOfI false failure", SOfI, 108, 2, true, 1, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    std::vector<uint8_t> record(row.checked + 8, 0x11);
    if (row.stored) doc.store.Put(row.tag, DataKey{2, 0, 0, 0}, record);
    if (row.fault == 1) doc.host.FailCall(Fn::FX_LoadEData, 1);
    if (row.fault == 2) doc.host.SetBehaviour(Fn::FX_LoadEData, LoadButReportFailure);
    std::vector<uint8_t> buffer(row.checked + 20, 0xAA);
    int32_t size = static_cast<int32_t>(buffer.size());
    uint8_t key[8] = {2, 0};
    int32_t result =
        FX_LoadEData(static_cast<int32_t>(row.tag), key, buffer.data(), &size, kVersion);
    EXPECT_EQ(result, row.expected);
    EXPECT_EQ(doc.host.CallsTo(Fn::FX_LoadEData).size(), row.hostCalls);
    if (row.fault == 1) {
      // Cleared before the call; beyond the checked part nothing was touched.
      EXPECT_EQ(buffer[0], 0);
      EXPECT_EQ(buffer[row.checked - 1], 0);
      EXPECT_EQ(buffer[row.checked], 0xAA);
    }
  }
}

// A caller whose buffer is shorter than the checked part: only its own bytes are cleared.
TEST(SpecialLoads, ClearingStaysWithinCallersSize) {
  Document doc;
  doc.host.FailCall(Fn::FX_LoadEData, 1);
  struct {
    uint8_t buffer[8];
    uint8_t beyond[120];
  } memory;
  std::memset(&memory, 0xAA, sizeof memory);
  int32_t size = 8;
  uint8_t key[8] = {};
  EXPECT_EQ(FX_LoadEData(static_cast<int32_t>(MakeTag('S', 'O', 'f', 'I')), key, memory.buffer,
                         &size, kVersion),
            0);
  EXPECT_EQ(memory.buffer[7], 0);
  for (uint8_t byte : memory.beyond) ASSERT_EQ(byte, 0xAA);
}

// 'SOSD' that the host cannot load counts as loaded, cleared, when 'otSD' exists under
// the same first item number (any second item number).
TEST(SpecialLoads, MissingStaffDetailFallsBackToCompanion) {
  const uint32_t SOSD = MakeTag('S', 'O', 'S', 'D'), otSD = MakeTag('o', 't', 'S', 'D');
  struct Row {
    const char* name;
    bool sosd;       // the 'SOSD' record exists
    bool companion;  // 'otSD' under (3, 0) exists
    bool buffer;
    int32_t expected;
    int32_t sizeAfter;
  };
  const Row rows[] = {
      {"host loads it", true, false, true, 1, 10},
      {"companion, buffer (definitions.md: delivered as 66 cleared bytes)", false, true, true, 1,
       100},
      {"companion, no buffer (definitions.md: delivered as 66 cleared bytes)", false, true, false,
       1, 66},
      {"neither", false, false, true, 0, 100},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Document doc;
    if (row.sosd) doc.store.Put(SOSD, DataKey{3, 5, 0, 0}, std::vector<uint8_t>(10, 0x22));
    if (row.companion) doc.store.Put(otSD, DataKey{3, 0, 0, 0}, std::vector<uint8_t>(12, 0x33));
    std::vector<uint8_t> buffer(100, 0xAA);
    int32_t size = 100;
    uint8_t key[8] = {3, 0, 5, 0, 0, 0, 0, 0};
    int32_t result = FX_LoadEData(static_cast<int32_t>(SOSD), key,
                                  row.buffer ? buffer.data() : nullptr, &size, kVersion);
    EXPECT_EQ(result, row.expected);
    EXPECT_EQ(size, row.sizeAfter);
    EXPECT_EQ(key[2], 5) << "the caller's key is not changed";
    if (row.sosd) {
      EXPECT_EQ(buffer[0], 0x22);
      EXPECT_EQ(doc.host.CallsTo(Fn::FX_LoadEData).size(), 2u) << "loaded a second time";
    }
    if (!row.sosd && row.companion && row.buffer) {
      EXPECT_EQ(buffer[0], 0);
      EXPECT_EQ(buffer[65], 0);
      EXPECT_EQ(buffer[66], 0xAA) << "at most 66 bytes are cleared";
      std::vector<fxthost::Call> calls = doc.host.CallsTo(Fn::FX_LoadEData);
      ASSERT_EQ(calls.size(), 2u);
      EXPECT_EQ(fxthost::U32(calls[1].words[0]), otSD);
      EXPECT_EQ(calls[1].words[4], kVersion);
    }
  }
}

// The preference hook, watched through replaced servers that serve every tag.
struct HookWatch {
  static int loads, saves;
  static bool Load(uint32_t, void*, void*, int32_t*, int32_t* result) {
    ++loads;
    *result = 7;
    return true;
  }
  static bool Save(uint32_t, void*, void*, int32_t, int32_t* result) {
    ++saves;
    *result = 9;
    return true;
  }
  HookWatch() {
    loads = saves = 0;
    SetPreferenceServers(Load, Save);
  }
  ~HookWatch() { SetPreferenceServers(nullptr, nullptr); }
};
int HookWatch::loads = 0;
int HookWatch::saves = 0;

TEST(PreferenceHook, SavesOfOldLayoutsBypassIt) {
  const int32_t tag = static_cast<int32_t>(MakeTag('p', 'f', 'Z', 'Z'));
  struct Row {
    uint32_t version;
    int hookCalls;
    size_t hostCalls;
    int32_t expected;
  };
  const Row rows[] = {
      {0x07000000, 0, 1, 1},
      {0x07FFFFFF, 0, 1, 1},
      {0x08000000, 1, 0, 9},
      {kVersion, 1, 0, 9},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(Hex(row.version));
    Document doc;
    HookWatch watch;
    uint8_t key[8] = {1, 0};
    uint8_t buffer[4] = {1, 2, 3, 4};
    EXPECT_EQ(FX_SaveEData(tag, key, buffer, 4, static_cast<int32_t>(row.version)), row.expected);
    EXPECT_EQ(HookWatch::saves, row.hookCalls);
    EXPECT_EQ(doc.host.CallsTo(Fn::FX_SaveEData).size(), row.hostCalls);
  }
}

TEST(PreferenceHook, ServedLoadNeverReachesHost) {
  Document doc;
  HookWatch watch;
  uint8_t key[8] = {1, 0};
  uint8_t buffer[4] = {};
  int32_t size = 4;
  EXPECT_EQ(
      FX_LoadEData(static_cast<int32_t>(MakeTag('p', 'f', 'Z', 'Z')), key, buffer, &size, kVersion),
      7);
  EXPECT_EQ(HookWatch::loads, 1);
  EXPECT_TRUE(doc.host.CallsTo(Fn::FX_LoadEData).empty());
}

}  // namespace
