// Building small scores in the emulated host for the host's own tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "host/functions/host.h"
#include "host/store/score.h"

namespace fxthost {
namespace testing {

constexpr int32_t kVersion = static_cast<int32_t>(FINALE_INTERFACE_VERSION);
constexpr uint32_t kChordTag = fxt::MakeTag('S', 'D', 'C', 'h');
constexpr uint32_t kMidiTag = fxt::MakeTag('d', 't', 'M', 'E');
constexpr uint32_t kDetailTag = fxt::MakeTag('S', 'D', 'N', 'G');

// Instrument list 0 (the score order) holds the staves in the order given.
inline void SetStaffList(Document& document, const std::vector<int16_t>& staves,
                         uint16_t list = 0) {
  for (size_t i = 0; i < staves.size(); ++i) {
    RecordStore::Bytes record(24, 0);
    fxt::PutS16(record.data(), 0, staves[i]);
    document.records.Put(kSystemStaffTag, DataKey{list, static_cast<uint16_t>(i), 0, 0}, record);
    RecordStore::Bytes staff(132, 0);
    document.records.Put(kStaffTag, DataKey{static_cast<uint16_t>(staves[i]), 0, 0, 0}, staff);
  }
}

// A document of the given measures (4/4) on the given staves.
inline Document& MakeScore(Host& host, int measures, const std::vector<int16_t>& staves,
                           const std::string& name = "score") {
  Document& document = host.NewDocument(name);
  SetMeasures(document, measures);
  SetStaffList(document, staves);
  return document;
}

// A cell record holding one byte.
inline void PutCellRecord(Document& document, uint32_t tag, int16_t staff, int16_t measure,
                          uint16_t third, uint8_t value) {
  document.records.Put(
      tag, DataKey{static_cast<uint16_t>(staff), static_cast<uint16_t>(measure), third, 0},
      {value});
}

// "tag staff,measure,third=value" of every cell-music record, in store order.
inline std::vector<std::string> Music(const Document& document) {
  std::vector<std::string> out;
  document.records.ForEachRecord(
      [&](uint32_t tag, const DataKey& key, const RecordStore::Bytes& bytes) {
        if (!IsCellMusicTag(tag)) return;
        std::string name;
        for (int shift = 24; shift >= 0; shift -= 8) name += static_cast<char>(tag >> shift);
        out.push_back(name + " " + std::to_string(key.first) + "," + std::to_string(key.second) +
                      "," + std::to_string(key.third) + "=" +
                      (bytes.empty() ? std::string("-") : std::to_string(bytes[0])));
      });
  return out;
}

}  // namespace testing
}  // namespace fxthost
