// fxthost prefs: side records by the preference they serve (host/cli/prefslisting.h;
// docs/fxthost.md, under "prefs"; the preference table in docs/preferences.md).
#include "host/cli/prefslisting.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

#include "bridge/prefmaptable.h"
#include "host/files/docfile.h"
#include "host/run/messages.h"

namespace fxthost {

namespace {

// The bridge's preference maps, as the host reads them.
struct MapWord {
  uint32_t record;
  uint16_t item;  // 0 stands for 0xFFFE
  uint16_t inci;
  uint16_t word;
  uint16_t offset;
  MAP_ARRAY_CONVERSION conversion;
};

struct RecordMap {
  const char* name;
  uint32_t tag;
  int32_t kLow, kHigh;
  std::vector<MapWord> words;
};

struct ArrayMap {
  uint32_t tag;
  int32_t kLow, kHigh;
  uint32_t record;
  int count;
  int firstInci;  // or PREF_INCI_K_MINUS_1
};

#define PREF_MAP(name, tag, condition) \
  {                                    \
#name, fxt::PrefTableTag(tag), condition, {
#define PREF_WORD(record, item, inci, word, offset, conversion) \
  {fxt::PrefTableTag(record), item, inci, word, offset, conversion},
#define PREF_MAP_END() \
  }                    \
  }                    \
  ,
const std::vector<RecordMap> kRecordMaps = {
#include "bridge/prefmaps.def"
};

#define PREF_ARRAY(tag, condition, record, count, firstInci) \
  {fxt::PrefTableTag(tag), condition, fxt::PrefTableTag(record), count, firstInci},
const std::vector<ArrayMap> kArrays = {
#include "bridge/prefmaps.def"
};

// --- Text ---------------------------------------------------------------------------

struct Row {
  std::string record;
  std::string words;
  std::string use;
};

struct Group {
  std::string heading;
  std::vector<Row> rows;
};

std::string TagText(uint32_t tag) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) text += static_cast<char>(tag >> shift & 0xFF);
  return text;
}

std::string Condition(int32_t low, int32_t high) {
  if (low == -32768 && high == 32767) return "";
  if (low == high) return " with k = " + std::to_string(low);
  return " with k = " + std::to_string(low) + " to " + std::to_string(high);
}

std::string RecordLabel(uint32_t tag, const DataKey& key) {
  std::string label = TagText(tag);
  if (key.first != fxt::PREF_SIDE_ITEM) label += " item " + std::to_string(key.first);
  return label + " inci " + std::to_string(key.second);
}

std::string WordsText(const RecordStore::Bytes& bytes) {
  std::string text = "[";
  for (size_t at = 0; at + 1 < bytes.size(); at += 2)
    text += (at ? ", " : "") + std::to_string(fxt::GetS16(bytes.data(), at));
  text += "]";
  if (bytes.size() != static_cast<size_t>(fxt::PREF_SIDE_SIZE))
    text += " (" + std::to_string(bytes.size()) + " bytes)";
  return text;
}

// "w3→0", "w4-5→18", "w1→12 negated", "w5→28 low byte".
std::string EntryText(const MapWord& entry) {
  std::string text = "w" + std::to_string(entry.word);
  if (fxt::PrefValueSize(entry.conversion) == 4) text += "-" + std::to_string(entry.word + 1);
  text += "→" + std::to_string(entry.offset);
  switch (entry.conversion) {
    case MAPCONV_NEGATED_FLAG:
      return text + " negated";
    case MAPCONV_LOW_BYTE:
      return text + " low byte";
    case MAPCONV_LOW_FIRST:
      return text + " low half first";
    default:
      return text;
  }
}

bool IsSideRecord(uint32_t tag, const DataKey& key) {
  return (tag >> 16) == 0x6F74 && key.first == fxt::PREF_SIDE_ITEM && key.third == 0 &&
         key.extra == 0;
}

// --- Grouping -----------------------------------------------------------------------

using RecordId = std::pair<uint32_t, uint64_t>;  // tag, packed key

class Listing {
 public:
  explicit Listing(const RecordStore& records) : records_(records) {}

  void AddRecordMap(const RecordMap& map) {
    Group group;
    int32_t extent = 0;
    std::vector<RecordId> seen;
    for (const MapWord& entry : map.words) {
      extent = std::max(extent, entry.offset + fxt::PrefValueSize(entry.conversion));
      const DataKey key{fxt::PrefSideItem(entry.item), entry.inci, 0, 0};
      const RecordId id{entry.record, key.Packed()};
      if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
      seen.push_back(id);
      std::vector<MapWord> uses;
      for (const MapWord& other : map.words)
        if (other.record == entry.record && other.item == entry.item && other.inci == entry.inci)
          uses.push_back(other);
      std::sort(uses.begin(), uses.end(),
                [](const MapWord& a, const MapWord& b) { return a.word < b.word; });
      std::string use;
      for (const MapWord& u : uses) use += (use.empty() ? "" : "  ") + EntryText(u);
      AddRow(&group, entry.record, key, use);
    }
    std::string name = map.name;
    name = name.substr(0, name.find("_MAP_ARRAY"));
    group.heading = TagText(map.tag) + Condition(map.kLow, map.kHigh) + ": " + name + ", " +
                    std::to_string(extent) + " bytes";
    Keep(std::move(group));
  }

  void AddArray(const ArrayMap& array) {
    Group group;
    const bool perK = array.firstInci == PREF_INCI_K_MINUS_1;
    const int32_t first = perK ? array.kLow - 1 : array.firstInci;
    const int32_t last = perK ? array.kHigh - 1 : array.firstInci + array.count - 1;
    for (int32_t inci = std::max(first, 0); inci <= last; ++inci) {
      const int32_t slot = inci - first;
      const std::string use = perK ? "k = " + std::to_string(inci + 1)
                                   : "bytes " + std::to_string(slot * fxt::PREF_SIDE_SIZE) + "-" +
                                         std::to_string((slot + 1) * fxt::PREF_SIDE_SIZE - 1);
      AddRow(&group, array.record, DataKey{fxt::PREF_SIDE_ITEM, static_cast<uint16_t>(inci), 0, 0},
             use);
    }
    group.heading =
        TagText(array.tag) + Condition(array.kLow, array.kHigh) + ": " +
        (perK ? "record " + TagText(array.record) + " inci k - 1"
              : std::to_string(array.count) + " record" + (array.count == 1 ? " " : "s ") +
                    TagText(array.record) + " from inci " + std::to_string(array.firstInci)) +
        ", " + std::to_string(array.count * fxt::PREF_SIDE_SIZE) + " bytes";
    Keep(std::move(group));
  }

  // The side records that no map or array named.
  void AddUnserved() {
    Group group;
    group.heading = "Serving no preference";
    for (uint32_t tag : records_.Tags())
      records_.ForEach(tag, [&](const DataKey& key, const RecordStore::Bytes& bytes) {
        if (IsSideRecord(tag, key) && !served_.count({tag, key.Packed()}))
          group.rows.push_back(Row{RecordLabel(tag, key), WordsText(bytes), ""});
      });
    Keep(std::move(group));
  }

  std::string Text(const std::string& title) const {
    std::string text = "Side records of " + title + ", by the preference they serve\n";
    if (groups_.empty()) return text + "\nNo side records.\n";
    size_t recordWidth = 0, wordsWidth = 0;
    for (const Group& group : groups_)
      for (const Row& row : group.rows) {
        recordWidth = std::max(recordWidth, row.record.size());
        wordsWidth = std::max(wordsWidth, row.words.size());
      }
    for (const Group& group : groups_) {
      text += "\n" + group.heading + "\n";
      for (const Row& row : group.rows) {
        std::string line = "  " + row.record + std::string(recordWidth - row.record.size(), ' ') +
                           "  " + row.words;
        if (!row.use.empty())
          line += std::string(wordsWidth - row.words.size(), ' ') + "  " + row.use;
        text += line + "\n";
      }
    }
    return text;
  }

 private:
  void AddRow(Group* group, uint32_t tag, const DataKey& key, const std::string& use) {
    const RecordStore::Bytes* bytes = records_.Find(tag, key);
    if (!bytes) return;
    served_.insert({tag, key.Packed()});
    group->rows.push_back(Row{RecordLabel(tag, key), WordsText(*bytes), use});
  }

  void Keep(Group group) {
    if (!group.rows.empty()) groups_.push_back(std::move(group));
  }

  const RecordStore& records_;
  std::set<RecordId> served_;
  std::vector<Group> groups_;
};

}  // namespace

std::string DescribePreferenceRecords(const Document& document, const std::string& title) {
  Listing listing(document.records);
  for (const RecordMap& map : kRecordMaps) listing.AddRecordMap(map);
  for (const ArrayMap& array : kArrays) listing.AddArray(array);
  listing.AddUnserved();
  return listing.Text(title);
}

int PrintPreferenceRecords(const std::string& path, std::ostream& out, std::ostream& err) {
  Document document;
  DocumentError error;
  if (!ReadDocumentFile(path, &document, nullptr, &error)) {
    Complain(err, error.Message());
    return 2;
  }
  out << DescribePreferenceRecords(document, path);
  return 0;
}

}  // namespace fxthost
