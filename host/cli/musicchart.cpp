// The lines of a document's music that fxthost show prints under its notation
// (host/cli/musicchart.h).
#include "host/cli/musicchart.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/store/entryframes.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"
#include "host/store/textcodec.h"

namespace fxthost {

namespace {

constexpr size_t kLabelWidth = 18;

std::string Label(const Document& document, int16_t staff) {
  std::u16string name;
  std::string label = std::to_string(staff);
  if (StaffDisplayedName(document, 0, staff, &name)) label += " " + Utf16ToUtf8(name);
  // Cut on a character boundary (UTF-8 continuation bytes are 10xxxxxx).
  if (label.size() > kLabelWidth - 1) {
    size_t cut = kLabelWidth - 1;
    while (cut > 0 && (static_cast<unsigned char>(label[cut]) & 0xC0) == 0x80) --cut;
    label.resize(cut);
  }
  size_t characters = 0;
  for (char c : label) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return label + std::string(kLabelWidth - characters, ' ');
}

}  // namespace

std::string DrawMusic(const Document& document, int width) {
  const int32_t measures = LastMeasure(document.records);
  const std::vector<int16_t> order = ReadInstrumentList(document, 0);
  if (measures < 1 || order.empty()) return std::string();
  const size_t area = width > static_cast<int>(kLabelWidth) + 11
                          ? static_cast<size_t>(width) - kLabelWidth - 1
                          : 10;
  // Measure m covers the columns [edge(m - 1), edge(m)), at least one.
  auto column = [&](int32_t m) {
    return static_cast<size_t>(static_cast<int64_t>(m - 1) * static_cast<int64_t>(area) / measures);
  };
  std::unordered_map<int16_t, size_t> row;
  for (size_t i = 0; i < order.size(); ++i) row.emplace(order[i], i);
  // One pass over the music records: each marks its cell's column.
  std::vector<std::vector<bool>> marked(order.size(), std::vector<bool>(area, false));
  bool any = false;
  document.records.ForEach(kMusicTag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
    const int32_t measure = static_cast<int16_t>(key.second);
    const auto found = row.find(static_cast<int16_t>(key.first));
    if (bytes.empty() || found == row.end() || measure < 1 || measure > measures) return;
    const size_t from = column(measure);
    const size_t to = std::max(column(measure + 1), from + 1);
    for (size_t c = from; c < to && c < area; ++c) marked[found->second][c] = true;
    any = true;
  });
  if (!any) return std::string();

  std::string out = "\nMusic (layers shown:";
  for (int layer = 0; layer < kLayerCount; ++layer)
    if (LayerShown(document.records, layer)) out += " " + std::to_string(layer + 1);
  out += "; \u2593 a measure holding music)\n";
  std::string ruler(area, ' ');
  const std::string lastLabel = std::to_string(measures);
  ruler.replace(0, 1, "1");
  if (area > lastLabel.size() + 2)
    ruler.replace(area - lastLabel.size(), lastLabel.size(), lastLabel);
  out += std::string(kLabelWidth, ' ') + ruler + "\n";
  for (size_t i = 0; i < order.size(); ++i) {
    std::string line = Label(document, order[i]);
    for (size_t c = 0; c < area; ++c) line += marked[i][c] ? "\u2593" : "\u00B7";
    out += line + "\n";
  }
  return out;
}

}  // namespace fxthost
