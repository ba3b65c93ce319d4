// Importing a generated MusicXML score of 32 staves x 600 measures (about 150,000 notes,
// some 50 MB) and writing its document, and the same at a tenth of the measures, to show
// the cost is linear: seconds, MB/s and peak memory, each the median of three runs.
// Goal: 50 MB/s or more, peak memory under ten times the file. Run by hand.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/resource.h>
#endif

#include "host/files/docfile.h"
#include "host/files/docfile_read.h"
#include "host/files/musicxml.h"

namespace {

constexpr int kParts = 16;  // each of two staves: 32 staves
constexpr int kRuns = 3;

// A bar of eight eighths per staff, a chord now and then, a dynamic every eighth bar.
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
          const bool chord = n == 4 && m % 2 == 0;
          const char* step = kSteps[(m + n + p) % 7];
          text += std::string("<note>") + "<pitch><step>" + step + "</step><octave>" +
                  std::to_string(staff == 1 ? 5 : 3) +
                  "</octave></pitch><duration>1</duration><voice>" + std::to_string(staff) +
                  "</voice><type>eighth</type><stem>up</stem><staff>" + std::to_string(staff) +
                  "</staff></note>\n";
          if (chord)
            text += std::string("<note><chord/><pitch><step>") + step + "</step><octave>" +
                    std::to_string(staff == 1 ? 4 : 2) +
                    "</octave></pitch><duration>1</duration><voice>" + std::to_string(staff) +
                    "</voice><type>eighth</type><staff>" + std::to_string(staff) +
                    "</staff></note>\n";
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

void Measure(int measures) {
  std::string score = Score(measures);
  const double megabytes = score.size() / 1e6;
  std::vector<double> seconds;
  long notes = 0;
  size_t written = 0;
  for (int run = 0; run < kRuns; ++run) {
    const auto start = std::chrono::steady_clock::now();
    fxthost::Json members;
    fxthost::ImportSummary summary;
    fxthost::DocumentError error;
    fxthost::Document document;
    if (!fxthost::ImportMusicXml(score, "bench.musicxml", &members, &summary, &error) ||
        !fxthost::BuildDocument(members, "bench.musicxml", &document, nullptr, &error)) {
      std::printf("refused: %s\n", error.Message().c_str());
      return;
    }
    members = fxthost::Json();
    written = fxthost::FormatDocument(document, fxthost::DocumentFile()).size();
    seconds.push_back(
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    notes = summary.notes;
  }
  std::sort(seconds.begin(), seconds.end());
  const double median = seconds[seconds.size() / 2];
  std::printf(
      "%d measures, %ld notes, %.1f MB of MusicXML, %.1f MB written: %.2f s (median of "
      "%d), %.1f MB/s, peak memory %.0f MB (%.1f x the file)\n",
      measures, notes, megabytes, written / 1e6, median, kRuns, megabytes / median, PeakMegabytes(),
      PeakMegabytes() / megabytes);
}

}  // namespace

int main() {
  Measure(60);
  Measure(600);
  return 0;
}
