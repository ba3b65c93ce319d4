// The host bridge's wrappers as the host sees them: argument widening by letter, result
// narrowing by kind, the special members and the edit counters.
#include <gtest/gtest.h>

#include "bridge/finalepdk.h"
#include "host/functions/host.h"

namespace {

using fxthost::Fn;
using fxthost::Host;

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);

// The words of the single logged call to fn.
std::vector<uint64_t> OnlyCallTo(const Host& host, Fn fn) {
  std::vector<fxthost::Call> calls = host.CallsTo(fn);
  EXPECT_EQ(calls.size(), 1u);
  return calls.empty() ? std::vector<uint64_t>() : calls[0].words;
}

TEST(HostWrappers, WidenSixteenBitArgumentsByLetter) {
  Host host;
  // FX_RebarRegion(p, u, s, s, s, w)
  FX_RebarRegion(nullptr, static_cast<uint16_t>(0xFFFF), -1, 0x7FFF, -32768, kVersion);
  std::vector<uint64_t> words = OnlyCallTo(host, Fn::FX_RebarRegion);
  ASSERT_EQ(words.size(), 6u);
  EXPECT_EQ(words[1], 0x0000FFFFu) << "u: zero-extended";
  EXPECT_EQ(words[2], 0xFFFFFFFFu) << "s: sign-extended";
  EXPECT_EQ(words[3], 0x00007FFFu);
  EXPECT_EQ(words[4], 0xFFFF8000u);
  EXPECT_EQ(words[5], static_cast<uint64_t>(kVersion)) << "w: unchanged";
}

TEST(HostWrappers, BooleanArgumentArrivesAsZeroOrOne) {
  Host host;
  // FX_InsertMergeMusic(w... p, p, b, w)
  FX_InsertMergeMusic(7, nullptr, true, kVersion);
  FX_InsertMergeMusic(7, nullptr, false, kVersion);
  std::vector<fxthost::Call> calls = host.CallsTo(Fn::FX_InsertMergeMusic);
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].words[2], 1u);
  EXPECT_EQ(calls[1].words[2], 0u);
}

TEST(HostWrappers, PointerArgumentArrivesUnchanged) {
  Host host;
  char buffer[256];
  FX_FontNumToName(3, buffer, kVersion);
  std::vector<uint64_t> words = OnlyCallTo(host, Fn::FX_FontNumToName);
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0], 3u);
  EXPECT_EQ(words[1], static_cast<uint64_t>(reinterpret_cast<uintptr_t>(buffer)));
}

// Each row: a function of that result kind, the raw value the host returns, and what the
// wrapper must give back.
struct ResultCase {
  const char* kind;
  Fn fn;
  int32_t (*call)();
  intptr_t hostResult;
  int32_t expected;
};

intptr_t g_hostResult;
intptr_t ReturnConfigured(Host&, const uint64_t*) { return g_hostResult; }

TEST(HostWrappers, NarrowResultsByKind) {
  const ResultCase cases[] = {
      {"s16 with bit 15 set is negative", Fn::FX_GetMaxLayers,
       [] { return FX_GetMaxLayers(kVersion); }, 0x8000, -32768},
      {"s16 drops the high bits", Fn::FX_GetMaxLayers, [] { return FX_GetMaxLayers(kVersion); },
       0x12340005, 5},
      {"32 passes bit 15 unchanged", Fn::FX_GetMeasureDuration,
       [] { return FX_GetMeasureDuration(1, 1, kVersion); }, 0x8000, 0x8000},
      {"32 passes everything", Fn::FX_GetMeasureDuration,
       [] { return FX_GetMeasureDuration(1, 1, kVersion); }, -5, -5},
      {"u16 is zero-extended", Fn::FX_CreatePercMapRefData,
       [] { return FX_CreatePercMapRefData(nullptr, nullptr, kVersion); }, 0x1FFFF, 0xFFFF},
      {"bool keeps the low 8 bits", Fn::FX_DisposeFinClipFileToken,
       [] { return FX_DisposeFinClipFileToken(1, kVersion); }, 0x100, 0},
      {"bool keeps the low 8 bits (set)", Fn::FX_DisposeFinClipFileToken,
       [] { return FX_DisposeFinClipFileToken(1, kVersion); }, 0x1FF, 0xFF},
  };
  for (const ResultCase& c : cases) {
    SCOPED_TRACE(c.kind);
    Host host;
    host.SetBehaviour(c.fn, ReturnConfigured);
    g_hostResult = c.hostResult;
    EXPECT_EQ(c.call(), c.expected);
  }
}

// A call the host is told to refuse answers what the host would answer without the
// function: the failure value of its row (framework-behaviour.md, Testing with refused
// host calls).
TEST(HostWrappers, ARefusedCallGivesItsRowsFailureValue) {
  const struct {
    Fn fn;
    int32_t (*call)();
    int32_t expected;
  } rows[] = {
      {Fn::FX_GetMaxLayers, [] { return FX_GetMaxLayers(kVersion); }, 4},
      {Fn::FX_GetCurrentPartID, [] { return FX_GetCurrentPartID(kVersion); }, -1},
      {Fn::FX_GetTextEncoding, [] { return FX_GetTextEncoding(kVersion); }, -2},
      {Fn::FX_SlotToInst, [] { return FX_SlotToInst(1, 0, kVersion); }, 0},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(fxthost::Info(row.fn).name);
    Host host;
    host.SetBehaviour(row.fn, [](Host&, const uint64_t*) -> intptr_t { return 77; });
    host.FailCall(row.fn, 1);
    EXPECT_EQ(row.call(), row.expected);
    EXPECT_EQ(row.call(), 77) << "only the call named fails";
  }
}

TEST(HostWrappers, PointerResultComesBackWhole) {
  Host host;
  static const char kName[] = "Flute";
  host.SetBehaviour(Fn::FX_GetPartName, [](Host&, const uint64_t*) -> intptr_t {
    return reinterpret_cast<intptr_t>(kName);
  });
  EXPECT_EQ(FX_GetPartName(1, kVersion), static_cast<const void*>(kName));
}

TEST(HostWrappers, DialogItemsUseWindowsForOldInterfaceVersions) {
  Host host;
  host.SetBehaviour(Fn::FX_GetDlgCntl, [](Host&, const uint64_t*) -> intptr_t { return 0x1234; });
  host.SetBehaviour(Fn::FX_ShowHideDlgItem, [](Host&, const uint64_t*) -> intptr_t { return 9; });
  EXPECT_EQ(FX_GetDlgCntl(nullptr, 5, 0x0B01FFFF), nullptr);
  EXPECT_EQ(FX_ShowHideDlgItem(nullptr, 5, 1, 0x0B01FFFF), 0);
  EXPECT_TRUE(host.Calls().empty()) << "an old version must not reach the host";
  EXPECT_EQ(FX_GetDlgCntl(nullptr, 5, 0x0B020000), reinterpret_cast<void*>(0x1234));
  EXPECT_EQ(FX_ShowHideDlgItem(nullptr, 5, 1, 0x0B020000), 9);
}

TEST(HostWrappers, AnalyzeChordRaisesOldVersions) {
  // framework-behaviour.md, Host bridge: FX_AnalyzeChord raises versions below 0x0B000000,
  // comparing them as unsigned numbers.
  const struct {
    int32_t given, sent;
  } rows[] = {{0, 0x0B000000},
              {0x0A000000, 0x0B000000},
              {0x0B000000, 0x0B000000},
              {0x11000000, 0x11000000},
              // Versions are unsigned: one with the top bit set is new, not old.
              {static_cast<int32_t>(0x80000000u), static_cast<int32_t>(0x80000000u)},
              {static_cast<int32_t>(0xF0000000u), static_cast<int32_t>(0xF0000000u)}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.given);
    Host host;
    FX_AnalyzeChord(nullptr, nullptr, nullptr, row.given);
    EXPECT_EQ(OnlyCallTo(host, Fn::FX_AnalyzeChord).at(3), static_cast<uint32_t>(row.sent));
  }
}

TEST(EditDepth, EndAndCancelWithoutAnOpenEditDoNotCallTheHost) {
  Host host;
  ASSERT_EQ(FinaleEditDepth, 0);
  EXPECT_EQ(FX_EndFinaleEdit(kVersion), 1);
  EXPECT_EQ(FX_CancelFinaleEdit(kVersion), 0);
  EXPECT_EQ(FinaleEditDepth, 0);
  EXPECT_TRUE(host.Calls().empty());
}

TEST(EditDepth, CountsOpenEditsAndClosesThemThroughTheHost) {
  Host host;
  host.NewDocument();
  FX_StartFinaleEdit("one", kVersion);
  FX_StartFinaleEdit_UTF16(nullptr, kVersion);
  EXPECT_EQ(FinaleEditDepth, 2);
  FX_EndFinaleEdit(kVersion);
  FX_CancelFinaleEdit(kVersion);
  EXPECT_EQ(FinaleEditDepth, 0);
  EXPECT_EQ(host.CallsTo(Fn::FX_EndFinaleEdit).size(), 1u);
  EXPECT_EQ(host.CallsTo(Fn::FX_CancelFinaleEdit).size(), 1u);
  FX_EndFinaleEdit(kVersion);
  EXPECT_EQ(FinaleEditDepth, 0) << "never below zero";
}

TEST(EditDepth, AStartTheHostRefusesIsNotCounted) {
  const struct {
    const char* name;
    bool document;
    bool fail;
  } rows[] = {
      {"host refuses (framework-behaviour.md: Edit depth, the count is taken back)", true, true},
      {"no document to edit (framework-behaviour.md: Edit depth, has no document)", false, false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Host host;
    if (row.document) host.NewDocument();
    if (row.fail) {
      host.FailCall(Fn::FX_StartFinaleEdit, 1);
      host.FailCall(Fn::FX_StartFinaleEdit_UTF16, 1);
    }
    ASSERT_EQ(FinaleEditDepth, 0);
    EXPECT_EQ(FX_StartFinaleEdit("refused", kVersion), 0);
    EXPECT_EQ(FX_StartFinaleEdit_UTF16(u"refused", kVersion), 0);
    EXPECT_EQ(FinaleEditDepth, 0);
    EXPECT_EQ(FX_EndFinaleEdit(kVersion), 1) << "nothing open: the host is not asked";
    EXPECT_TRUE(host.CallsTo(Fn::FX_EndFinaleEdit).empty());
    FinaleEditDepth = 0;
  }
}

TEST(EditDepth, MassEditCountsUnconditionally) {
  Host host;
  FX_StartMassEdit(nullptr, nullptr, kVersion);
  EXPECT_EQ(MassEditDepth, 1);
  FX_EndMassEdit(nullptr, 0, kVersion);
  FX_EndMassEdit(nullptr, 0, kVersion);
  EXPECT_EQ(MassEditDepth, -1);
}

TEST(HostModule, FoundOnceAndKept) {
  HMODULE first = GetFinaleHandle();
  EXPECT_NE(first, nullptr) << "the test executable plays FINALE.EXE";
  EXPECT_EQ(GetFinaleHandle(), first);
}

TEST(RunningVersion, StartsAtInterfaceVersionAndKeepsWhatIsSet) {
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x11000000u);
  SetFinaleFrameworkVersion(0x12000000);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x12000000u);
  EXPECT_EQ(RunningFinaleVersion, 0x12000000u);
  SetMinRequiredVersion(0x1);
  EXPECT_EQ(GetFinaleFrameworkVersion(), 0x12000000u);
}

}  // namespace
