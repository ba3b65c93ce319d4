// How drawing the picture of the groups grows (host/cli/svg.cpp; docs/svg.md): the
// largest scores a document holds, 32,767 staves and 200 staves x 32,767 measures, and
// each at half the size, drawn as fxthost show --svg draws them. Prints the median
// processor time of several runs per size, the picture's size, and the ratio of the full
// size to the half; for twice the size the time should be about twice. Run by hand:
//
//   svg_bench

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

#include "host/cli/svg.h"
#include "host/files/docfile.h"
#include "host/store/document.h"

namespace {

constexpr int kRepeats = 5;

std::string Group(int id, int top, int bottom, int first, int last, const char* style) {
  return "{ \"id\": " + std::to_string(id) + ", \"staves\": [" + std::to_string(top) + ", " +
         std::to_string(bottom) + "], \"measures\": [" + std::to_string(first) + ", " +
         std::to_string(last) + "], \"name\": \"Group " + std::to_string(id) +
         "\", \"bracket\": \"" + style + "\" }";
}

// staves, every other one named (the document's texts do not stretch to a name for
// each of 32,767 staves and the groups); a group over each sixteen staves (a brace over each pair
// in the second case) for the whole score; and a group over all staves split into pieces of `piece`
// measures, as repeated splits leave it: one run per piece.
std::string GeneratedDocument(int staves, int measures, int section, int piece) {
  std::string text = "{ \"measures\": " + std::to_string(measures) + ", \"staves\": [";
  for (int staff = 1; staff <= staves; ++staff)
    text += std::string(staff > 1 ? ", " : "") + "{ \"id\": " + std::to_string(staff) +
            (staff % 2 ? ", \"name\": \"Staff " + std::to_string(staff) + "\"" : "") + " }";
  text += "], \"groups\": [";
  int id = 0;
  for (int top = 1; top <= staves; top += section) {
    text += std::string(id ? ", " : "");
    text += Group(++id, top, std::min(top + section - 1, staves), 1, measures, "brace");
  }
  for (int first = 1; first <= measures; first += piece) {
    text += ", ";
    text += Group(++id, 1, staves, first, std::min(first + piece - 1, measures), "bracket");
  }
  return text + "] }";
}

struct Case {
  const char* name;
  int staves, measures, section, piece;
};

// Median processor seconds to draw the document, and the picture's bytes.
double Time(const fxthost::Document& document, size_t* bytes) {
  std::vector<double> seconds;
  for (int i = 0; i < kRepeats; ++i) {
    const std::clock_t start = std::clock();
    const std::string svg =
        fxthost::SvgPicture({fxthost::DrawSvgPanel(document, {"bench", "score"})});
    seconds.push_back(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC);
    *bytes = svg.size();
  }
  std::sort(seconds.begin(), seconds.end());
  return seconds[seconds.size() / 2];
}

}  // namespace

int main() {
  const Case cases[] = {
      {"16,384 staves x 40 measures", 16384, 40, 16, 8},
      {"32,767 staves x 40 measures", 32767, 40, 16, 8},
      {"200 staves x 16,384 measures", 200, 16384, 2, 128},
      {"200 staves x 32,767 measures", 200, 32767, 2, 128},
  };
  double previous = 0;
  for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
    const Case& c = cases[i];
    fxthost::Document document;
    fxthost::DocumentError error;
    if (!fxthost::ParseDocument(GeneratedDocument(c.staves, c.measures, c.section, c.piece),
                                "bench.json", &document, nullptr, &error)) {
      std::fprintf(stderr, "%s\n", error.Message().c_str());
      return 1;
    }
    size_t bytes = 0;
    const double seconds = Time(document, &bytes);
    std::printf("%-30s %8.3f s  %10zu bytes", c.name, seconds, bytes);
    if (i % 2 == 1 && previous > 0) std::printf("  x%.2f for twice the size", seconds / previous);
    std::printf("\n");
    previous = seconds;
  }
  return 0;
}
