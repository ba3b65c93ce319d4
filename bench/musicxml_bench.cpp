// Importing a generated MusicXML score of 32 staves x 600 measures (about 150,000 notes,
// some 50 MB) and writing its document, and the same at a tenth of the measures, to show
// the cost is linear: seconds, MB/s and peak memory, each the median of five runs. Each
// run is a process of its own, as each fxthost import is: a run does not find the heap
// and the pages an earlier one left behind, which the smaller score would reuse and the
// larger would not. The sizes take turns, so that a busy spell of the machine falls on
// both alike. Goal: 50 MB/s or more, peak memory under ten times the file. Run by hand.
// The notes are written as exporters write them (one element a line, with their place
// on the page, stem, staff and beam), so that the file's size per note is a real one's.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#if defined(_WIN32)
#define popen _popen
#define pclose _pclose
#endif

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include "host/files/docfile.h"
#include "host/files/musicxml.h"

namespace {

constexpr int kParts = 16;  // each of two staves: 32 staves
constexpr int kRuns = 5;
constexpr int kSizes[] = {60, 600};  // measures

// A note as exporters write it, one element a line, indented: its place on the page,
// pitch, duration, voice, type, stem, staff and beam.
void Note(std::string* text, bool chord, const char* step, const std::string& octave, int n,
          int staff) {
  static const char* const kBeams[] = {"begin", "continue", "continue", "end"};
  *text += "      <note default-x=\"" + std::to_string(80 + 40 * n) + ".25\" default-y=\"-" +
           std::to_string(10 + 5 * n) + ".00\">\n" + (chord ? "        <chord/>\n" : "") +
           "        <pitch>\n          <step>" + step + "</step>\n          <octave>" + octave +
           "</octave>\n          </pitch>\n        <duration>1</duration>\n        <voice>" +
           std::to_string(staff) + "</voice>\n        <type>eighth</type>\n        <stem>" +
           (staff == 1 ? "down" : "up") + "</stem>\n        <staff>" + std::to_string(staff) +
           "</staff>\n" +
           (chord ? "" : std::string("        <beam number=\"1\">") + kBeams[n % 4] + "</beam>\n") +
           "        </note>\n";
}

// A bar of eight eighths per staff (beamed in fours), a chord now and then, a dynamic
// every eighth bar.
std::string Score(int measures) {
  std::string text = "<?xml version=\"1.0\"?>\n<score-partwise version=\"3.1\">\n<part-list>\n";
  for (int p = 1; p <= kParts; ++p)
    text += "<score-part id=\"P" + std::to_string(p) + "\"><part-name>Instrument " +
            std::to_string(p) + "</part-name></score-part>\n";
  text += "</part-list>\n";
  static const char* const kSteps[] = {"C", "D", "E", "F", "G", "A", "B"};
  for (int p = 1; p <= kParts; ++p) {
    text += "<part id=\"P" + std::to_string(p) + "\">\n";
    for (int m = 1; m <= measures; ++m) {
      text += "<measure number=\"" + std::to_string(m) + "\">\n";
      if (m == 1)
        text +=
            "<attributes><divisions>2</divisions><key><fifths>0</fifths></key><time>"
            "<beats>4</beats><beat-type>4</beat-type></time><staves>2</staves></attributes>\n";
      if (m % 8 == 1)
        text +=
            "<direction placement=\"below\"><direction-type><dynamics><mf/></dynamics>"
            "</direction-type><staff>1</staff></direction>\n";
      for (int staff = 1; staff <= 2; ++staff) {
        if (staff == 2) text += "<backup><duration>8</duration></backup>\n";
        for (int n = 0; n < 8; ++n) {
          const char* step = kSteps[(m + n + p) % 7];
          const std::string octave = std::to_string(staff == 1 ? 5 : 3);
          Note(&text, false, step, octave, n, staff);
          if (n == 4 && m % 2 == 0)
            Note(&text, true, step, std::to_string(staff == 1 ? 4 : 2), n, staff);
        }
      }
      text += "</measure>\n";
    }
    text += "</part>\n";
  }
  return text + "</score-partwise>\n";
}

double PeakMegabytes() {
#if defined(_WIN32)
  return 0;
#else
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss / 1024.0;
#endif
}

// One run in this process: the score is made, then imported and written under the clock.
// Prints the seconds, the notes, the bytes of MusicXML and written, and the peak memory.
int MeasureOne(int measures) {
  const std::string score = Score(measures);
  const auto start = std::chrono::steady_clock::now();
  fxthost::ImportSummary summary;
  fxthost::DocumentError error;
  fxthost::Document document;
  if (!fxthost::ImportMusicXmlDocument(score, "bench.musicxml", &document, nullptr, &summary,
                                       &error)) {
    std::fprintf(stderr, "refused: %s\n", error.Message().c_str());
    return 1;
  }
  const size_t written = fxthost::FormatDocument(document, fxthost::DocumentFile()).size();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  // The peak of the process, the score's text included, as fxthost import holds the file.
  std::printf("%.6f %ld %zu %zu %.1f\n", seconds, summary.notes, score.size(), written,
              PeakMegabytes());
  return 0;
}

struct Run {
  double seconds = 0, peak = 0;
  long notes = 0;
  double megabytes = 0, written = 0;
};

bool RunOne(const std::string& self, int measures, Run* run) {
  const std::string command = "\"" + self + "\" --one " + std::to_string(measures);
  std::FILE* child = popen(command.c_str(), "r");
  if (!child) return false;
  size_t bytes = 0, written = 0;
  const int read = std::fscanf(child, "%lf %ld %zu %zu %lf", &run->seconds, &run->notes, &bytes,
                               &written, &run->peak);
  run->megabytes = bytes / 1e6;
  run->written = written / 1e6;
  return pclose(child) == 0 && read == 5;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--one") return MeasureOne(std::atoi(argv[2]));
  constexpr size_t kSizeCount = sizeof kSizes / sizeof kSizes[0];
  std::vector<Run> runs[kSizeCount];
  for (int r = 0; r < kRuns; ++r)
    for (size_t s = 0; s < kSizeCount; ++s) {
      Run run;
      if (!RunOne(argv[0], kSizes[s], &run)) {
        std::fprintf(stderr, "musicxml_bench: the run of %d measures failed\n", kSizes[s]);
        return 1;
      }
      runs[s].push_back(run);
    }
  for (size_t s = 0; s < kSizeCount; ++s) {
    std::vector<double> seconds, peaks;
    for (const Run& run : runs[s]) seconds.push_back(run.seconds), peaks.push_back(run.peak);
    const Run& any = runs[s].front();
    const double median = Median(seconds), peak = Median(peaks);
    std::printf(
        "%d measures, %ld notes, %.1f MB of MusicXML, %.1f MB written: %.3f s (median of %d "
        "processes), %.1f MB/s, peak memory %.0f MB (%.1f x the file)\n",
        kSizes[s], any.notes, any.megabytes, any.written, median, kRuns, any.megabytes / median,
        peak, peak / any.megabytes);
  }
  return 0;
}
