// The document reader on arbitrary text: it either refuses the text, naming the file
// and a reason with the file's control characters escaped, or gives a document that the
// writer saves and the reader takes back as the same document (the same text when saved
// again, the same chart). The refusals are described in docs/fxthost.md.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/cli/chart.h"
#include "host/files/docfile.h"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& detail) {
  std::fprintf(stderr, "%s\n%s\n", what, detail.c_str());
  std::abort();
}

std::string Chart(const fxthost::Document& document) {
  fxthost::ChartOptions options;
  options.title = "fuzz";
  return fxthost::DrawChart(document, options);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  fxthost::Document document;
  fxthost::DocumentFile info;
  fxthost::DocumentError error;
  if (!fxthost::ParseDocument(text, "fuzz.json", &document, &info, &error)) {
    if (error.file != "fuzz.json" || error.reason.empty()) Fail("refusal without a reason", text);
    for (const char c : error.Message())
      if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
        Fail("a refusal holds a control character", error.Message());
    return 0;
  }
  const std::string saved = fxthost::FormatDocument(document, info);
  fxthost::Document again;
  fxthost::DocumentFile againInfo;
  if (!fxthost::ParseDocument(saved, "saved.json", &again, &againInfo, &error))
    Fail(("the saved document is refused: " + error.Message()).c_str(), saved);
  const std::string savedAgain = fxthost::FormatDocument(again, againInfo);
  if (savedAgain != saved) Fail("saving the reloaded document gives other text", saved);
  if (Chart(document) != Chart(again)) Fail("the reloaded document charts differently", saved);
  return 0;
}
