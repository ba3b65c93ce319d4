// Loads and saves every record map of a document 10,000 times each, through the
// bridge's wrappers and the emulated host, and prints per map the host calls of one load
// and one save (each side record is read once; a save also writes each record whose
// words changed, here all of them) and the time per translation and per host call. The
// times are processor time (std::clock), which a busy machine distorts less than the
// clock on the wall. Run by hand; prints, judges nothing.
#include <ctime>
#include <cstdio>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/prefmap.h"
#include "host/functions/host.h"

namespace {

constexpr int kRounds = 10000;
const char* const kMaps[] = {"pfDP", "pfEX", "pfMS", "pfPB", "pfPF",
                             "pfPL", "pfRP", "pfSI", "pfSS"};

uint32_t TagOf(const char* text) { return fxt::MakeTag(text[0], text[1], text[2], text[3]); }

// Every side record the map names, with words that differ from record to record.
void FillSideRecords(fxthost::RecordStore& store, const PREFERENCE_LOCATION_MAPRECORD* map,
                     short count) {
  for (short i = 0; i < count; ++i) {
    const PREFERENCE_LOCATION_MAPRECORD& e = map[i];
    fxthost::RecordStore::Bytes bytes(fxt::PREF_SIDE_SIZE);
    for (size_t b = 0; b < bytes.size(); ++b) bytes[b] = static_cast<uint8_t>(i * 7 + b);
    store.Put(fxt::MakeTag('o', 't', e.otChar1, e.otChar2),
              fxthost::DataKey{fxt::PrefSideItem(e.itemNo), e.inci, 0, 0}, bytes);
  }
}

struct Cost {
  size_t calls = 0;  // host calls of one translation
  double seconds = 0;
};

template <typename Translate>
Cost Measure(fxthost::Host& host, Translate translate) {
  Cost cost;
  host.ClearCalls();
  translate();
  cost.calls = host.Calls().size();
  const std::clock_t start = std::clock();
  for (int round = 0; round < kRounds; ++round) {
    host.ClearCalls();  // the host logs every call; keep the log from growing
    translate();
  }
  cost.seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
  return cost;
}

double PerTranslation(const Cost& cost) { return cost.seconds / kRounds; }

double PerCall(const Cost& cost) {
  return cost.calls ? PerTranslation(cost) / static_cast<double>(cost.calls) : 0.0;
}

}  // namespace

int main() {
  fxthost::Host host;
  fxthost::Document& document = host.NewDocument("preferences");
  std::printf("%d loads and %d saves of each record map\n", kRounds, kRounds);
  std::printf("%-4s  %7s  %10s %12s %10s  %10s %12s %10s\n", "map", "entries", "load calls",
              "per load", "per call", "save calls", "per save", "per call");
  double total = 0;
  size_t calls = 0;
  for (const char* name : kMaps) {
    PREFERENCE_LOCATION_MAPRECORD* map = nullptr;
    short count = 0;
    if (!mapPrefStruct(TagOf(name), 0, &map, &count)) return 1;
    FillSideRecords(document.records, map, count);
    uint8_t key[8] = {};
    std::vector<uint8_t> structures[2] = {std::vector<uint8_t>(108), std::vector<uint8_t>(108)};
    int32_t size = 108;
    FX_LoadEData(static_cast<int32_t>(TagOf(name)), key, structures[0].data(), &size,
                 static_cast<int32_t>(FINALE_INTERFACE_VERSION));
    // The second structure differs in every byte, so that each save writes every record.
    for (size_t b = 0; b < structures[1].size(); ++b)
      structures[1][b] = static_cast<uint8_t>(structures[0][b] ^ 1);

    const Cost load = Measure(host, [&]() {
      int32_t room = size;
      FX_LoadEData(static_cast<int32_t>(TagOf(name)), key, structures[0].data(), &room,
                   static_cast<int32_t>(FINALE_INTERFACE_VERSION));
    });
    int saves = 0;
    const Cost save = Measure(host, [&]() {
      const std::vector<uint8_t>& structure = structures[++saves % 2];
      FX_SaveEData(static_cast<int32_t>(TagOf(name)), key, structure.data(), size,
                   static_cast<int32_t>(FINALE_INTERFACE_VERSION));
    });
    std::printf("%-4s  %7d  %10zu %9.2f us %7.0f ns  %10zu %9.2f us %7.0f ns\n", name, count,
                load.calls, PerTranslation(load) * 1e6, PerCall(load) * 1e9, save.calls,
                PerTranslation(save) * 1e6, PerCall(save) * 1e9);
    total += load.seconds + save.seconds;
    calls += (load.calls + save.calls) * kRounds;
  }
  std::printf("all maps: %.3f s of processor time, %zu host calls, %.0f ns per call\n", total,
              calls, total / static_cast<double>(calls) * 1e9);
  return 0;
}
