// Reading and writing a document of 10,000 named groups: each should take well under a
// second. Prints the times; run by hand.
#include <chrono>
#include <cstdio>
#include <string>

#include "host/files/docfile.h"

namespace {

constexpr int kGroups = 10000;
constexpr int kStaves = 100;

std::string LargeDocument() {
  std::string text =
      "{\n  \"format\": \"fxthost-document/1\",\n  \"measures\": 2000,\n  \"staves\": [\n";
  for (int staff = 1; staff <= kStaves; ++staff)
    text += "    { \"id\": " + std::to_string(staff) + ", \"name\": \"Staff " +
            std::to_string(staff) + "\" }" + (staff < kStaves ? ",\n" : "\n");
  text += "  ],\n  \"groups\": [\n";
  for (int group = 1; group <= kGroups; ++group) {
    const int top = 1 + group % (kStaves - 1);
    const int first = 1 + group % 1000;
    text += "    { \"id\": " + std::to_string(group) + ", \"staves\": [" + std::to_string(top) +
            ", " + std::to_string(top + 1) + "], \"measures\": [" + std::to_string(first) + ", " +
            std::to_string(first + 500) +
            "], \"name\": \"^font(Times New Roman)^size(12)^nfx(0)Group " + std::to_string(group) +
            "\", \"abbreviation\": \"Gr. " + std::to_string(group) + "\", \"offset6\": 0 }" +
            (group < kGroups ? ",\n" : "\n");
  }
  text += "  ]\n}\n";
  return text;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main() {
  const std::string text = LargeDocument();
  fxthost::Document document;
  fxthost::DocumentFile info;
  fxthost::DocumentError error;

  auto start = std::chrono::steady_clock::now();
  if (!fxthost::ParseDocument(text, "large.json", &document, &info, &error)) {
    std::fprintf(stderr, "%s\n", error.Message().c_str());
    return 1;
  }
  const double load = Seconds(start);

  start = std::chrono::steady_clock::now();
  const std::string saved = fxthost::FormatDocument(document, info);
  const double save = Seconds(start);

  std::printf("%d groups, %zu bytes: load %.3f s, save %.3f s%s\n", kGroups, text.size(), load,
              save, load < 1.0 && save < 1.0 ? "" : "  (over one second)");
  if (saved != text) {
    std::fprintf(stderr, "the saved document differs from the one loaded\n");
    return 1;
  }
  return 0;
}
