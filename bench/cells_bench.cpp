// Walks every cell of generated scores (one layer of music, a chord and a MIDI expression
// in every cell, an expression in every measure) with each region browser, each
// cell-detail collection and the cell queries, in-process against the host, and prints
// the processor time per cell of each walk at two sizes and the ratio between them: a
// walk that is linear in cells has a ratio near 1.
//
//   cells_bench [staves [measures]]     (default 200 staves, 2000 and 500 measures)
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "framework/finaleframework.h"
#include "host/store/entryframes.h"
#include "host/functions/host.h"
#include "host/store/notationmodel.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace {

constexpr uint32_t kChordTag = 0x53444368;  // 'SDCh'
constexpr uint32_t kMidiTag = 0x64744D45;   // 'dtME'

void BuildScore(fxthost::Document& document, int staves, int measures) {
  fxthost::SetMeasures(document, measures);
  std::vector<int16_t> order;
  for (int s = 1; s <= staves; ++s) {
    order.push_back(static_cast<int16_t>(s));
    fxthost::PutStaff(document, static_cast<int16_t>(s), "Staff " + std::to_string(s));
  }
  fxthost::WriteInstrumentList(document, 0, order);
  fxthost::MusicEntry whole;
  whole.duration = 4096;
  whole.notes.push_back(fxthost::MusicNote{0, 0, 1});
  const fxthost::RecordStore::Bytes layer = fxthost::LayerRecord({whole});
  for (int m = 1; m <= measures; ++m) {
    for (int s = 1; s <= staves; ++s) {
      const fxthost::DataKey key =
          fxthost::DataKey::Of(static_cast<uint16_t>(s), static_cast<uint16_t>(m), 0);
      document.records.Put(fxthost::kMusicTag, key, layer);
      document.records.Put(kChordTag, key, fxthost::RecordStore::Bytes(30, 0));
      document.records.Put(kMidiTag, key, fxthost::RecordStore::Bytes(10, 0));
    }
    fxthost::PlacedExpression expression;
    expression.measure = static_cast<uint16_t>(m);
    expression.staff = 1;
    expression.shape = true;
    document.records.Put(fxthost::kExpressionTag, fxthost::DataKey::Of(expression.measure, 0),
                         fxthost::ExpressionRecord(expression));
  }
}

class Counter : public FCIteratorHandler {
 public:
  long seen = 0;
  bool Iterate(__FCBase*) override {
    ++seen;
    return true;
  }
};

struct Walk {
  const char* name;
  // Walks the whole document; the number of things it saw.
  std::function<long()> run;
};

FCMusicRegion WholeDocument() {
  FCMusicRegion region;
  region.SetFullDocument();
  return region;
}

const Walk kWalks[] = {
    {"FCBrowserChords",
     [] {
       Counter c;
       FCBrowserChords().ForEach(&c);
       return c.seen;
     }},
    {"FCBrowserMidiExpressions",
     [] {
       Counter c;
       FCBrowserMidiExpressions().ForEach(&c);
       return c.seen;
     }},
    {"FCBrowserExpressions",
     [] {
       Counter c;
       FCBrowserExpressions().ForEach(&c);
       return c.seen;
     }},
    {"FCChords::LoadAll",
     [] {
       FCChords chords;
       chords.LoadAll();
       return static_cast<long>(chords.GetCount());
     }},
    {"FCChords::LoadAllInRegion",
     [] {
       FCMusicRegion region = WholeDocument();
       FCChords chords;
       chords.LoadAllInRegion(&region);
       return static_cast<long>(chords.GetCount());
     }},
    {"FCMidiExpressions::LoadAll",
     [] {
       FCMidiExpressions midi;
       midi.LoadAll();
       return static_cast<long>(midi.GetCount());
     }},
    {"FCIndependentCellDetails::LoadAllInRegion",
     [] {
       FCMusicRegion region = WholeDocument();
       FCIndependentCellDetails details;
       details.LoadAllInRegion(&region);
       return static_cast<long>(details.GetCount());
     }},
    {"FCCells::ApplyRegion + CalcEntryDuration(-1)",
     [] {
       FCMusicRegion region = WholeDocument();
       FCCells cells;
       cells.ApplyRegion(&region);
       long total = 0;
       for (int i = 0; i < cells.GetCount(); ++i)
         total += cells.GetItemAt(i)->CalcEntryDuration(-1) > 0 ? 1 : 0;
       return total;
     }},
};
constexpr size_t kWalkCount = sizeof kWalks / sizeof kWalks[0];

// Processor time per cell of each walk, in nanoseconds.
std::vector<double> Measure(int staves, int measures) {
  fxthost::Host host;
  BuildScore(host.NewDocument("generated"), staves, measures);
  const double cells = static_cast<double>(staves) * measures;
  std::vector<double> perCell;
  for (const Walk& walk : kWalks) {
    host.ClearCalls();  // the host's call log would otherwise grow across the walks
    const std::clock_t start = std::clock();
    const long seen = walk.run();
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    perCell.push_back(seconds * 1e9 / cells);
    std::printf("  %-46s %8ld seen %10.1f ns/cell\n", walk.name, seen, perCell.back());
  }
  if (host.FramesOutstanding() != 0 || LoadedTGFCounter != 0)
    std::printf("  frames outstanding: %zu (counter %d)\n", host.FramesOutstanding(),
                static_cast<int>(LoadedTGFCounter));
  return perCell;
}

}  // namespace

int main(int argc, char** argv) {
  const int staves = argc > 1 ? std::atoi(argv[1]) : 200;
  const int large = argc > 2 ? std::atoi(argv[2]) : 2000;
  const int small = large / 4 > 0 ? large / 4 : 1;
  std::printf("%d staves x %d measures (%d cells)\n", staves, small, staves * small);
  const std::vector<double> a = Measure(staves, small);
  std::printf("%d staves x %d measures (%d cells)\n", staves, large, staves * large);
  const std::vector<double> b = Measure(staves, large);
  std::printf("cost per cell, %d measures over %d measures (1 = linear in cells):\n", large, small);
  for (size_t i = 0; i < kWalkCount; ++i)
    std::printf("  %-46s %6.2f\n", kWalks[i].name, a[i] > 0 ? b[i] / a[i] : 0.0);
  return 0;
}
