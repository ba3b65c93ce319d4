// The music member of a document file (declared in docfile_music.h; docs/fxthost.md
// describes the member, docs/host-music.md the records behind it):
//
//   "music": { "shownLayers": [1, 2],
//              "cells": [ { "staff": 3, "measure": 1,
//                           "layers": [ [ { "duration": 341, "written": 512, "tuplet": [3, 2],
//                                           "notes": [ { "level": 0 } ] },
//                                         { "duration": 3072, "rest": true } ] ],
//                           "chords": [0], "midiExpressions": [1024] } ] }
//
// Layers are numbered 1 to 4 by their place in "layers"; an entry has its sounding
// duration and, optionally, its written value and its tuplet's ratio; a note has its level and,
// optionally, its alteration and its note number (default: its place in the entry, from
// 1). Chords and MIDI expressions are given by their positions in the measure. What the
// records hold beyond this stays in raw records.
#include "host/files/docfile_music.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "host/files/docfile_notation.h"
#include "host/store/entryframes.h"
#include "host/store/score.h"

namespace fxthost {

namespace {

constexpr uint32_t kChordTag = fxt::MakeTag('S', 'D', 'C', 'h');
constexpr size_t kChordSize = 30;
constexpr size_t kChordPosition = 20;
constexpr uint32_t kMidiExpressionTag = fxt::MakeTag('d', 't', 'M', 'E');
constexpr size_t kMidiExpressionSize = 10;
constexpr size_t kMidiExpressionPosition = 0;

struct PositionedKind {
  const char* member;
  uint32_t tag;
  size_t size;
  size_t position;
};
const PositionedKind kPositioned[] = {
    {"chords", kChordTag, kChordSize, kChordPosition},
    {"midiExpressions", kMidiExpressionTag, kMidiExpressionSize, kMidiExpressionPosition},
};
constexpr size_t kPositionedKinds = sizeof kPositioned / sizeof kPositioned[0];

// The reading of the music goes through every entry and note of a document, and the
// places of most are never said: a place is passed as a function that makes its text,
// called only for a refusal. Each check below takes the plain case itself and hands any
// other to the member reader's own check (docfile_json.h) with the place made, which then
// refuses in its words or takes the value as it always does.
template <typename Place>
int64_t NumberAt(const Json& value, const Place& place, int64_t low, int64_t high) {
  if (value.is_number_unsigned()) {
    const uint64_t u = value.get<uint64_t>();
    if (u <= static_cast<uint64_t>(INT64_MAX) && static_cast<int64_t>(u) >= low &&
        static_cast<int64_t>(u) <= high)
      return static_cast<int64_t>(u);
  } else if (value.is_number_integer()) {
    const int64_t n = value.get<int64_t>();
    if (n >= low && n <= high) return n;
  }
  return Number(value, place(), low, high);
}

template <typename Place>
void KnownMembersAt(const Json& object, const Place& place,
                    std::initializer_list<const char*> names) {
  for (auto it = object.begin(); it != object.end(); ++it) {
    bool known = false;
    for (const char* name : names) known = known || it.key() == name;
    if (!known) KnownMembers(object, place(), names);
  }
}

// The place of a member, or of an item, of a place made only when called.
template <typename Place>
auto MemberAt(const Place& place, const char* name) {
  return [&place, name] { return MemberPlace(place(), name); };
}
template <typename Place>
auto IndexAt(const Place& place, size_t index) {
  return [&place, index] { return IndexPlace(place(), index); };
}

template <typename Place>
MusicNote ReadNote(const Json& value, const Place& place, size_t index) {
  if (!value.is_object()) ExpectObject(value, place());
  KnownMembersAt(value, place, {"level", "alter", "number"});
  const Json* level = Find(value, "level");
  if (!level) Refuse(place(), "a note needs its level");
  MusicNote note;
  note.level = static_cast<int16_t>(NumberAt(*level, MemberAt(place, "level"), -32768, 32767));
  if (const Json* v = Find(value, "alter"))
    note.alter = static_cast<int16_t>(NumberAt(*v, MemberAt(place, "alter"), -32768, 32767));
  note.number = static_cast<int16_t>(index + 1);
  if (const Json* v = Find(value, "number"))
    note.number = static_cast<int16_t>(NumberAt(*v, MemberAt(place, "number"), 0, 0x7FFF));
  return note;
}

template <typename Place>
MusicEntry ReadEntry(const Json& value, const Place& place) {
  if (!value.is_object()) ExpectObject(value, place());
  KnownMembersAt(value, place, {"duration", "written", "tuplet", "notes", "rest"});
  const Json* duration = Find(value, "duration");
  if (!duration) Refuse(place(), "an entry needs its duration");
  MusicEntry entry;
  entry.duration =
      static_cast<int32_t>(NumberAt(*duration, MemberAt(place, "duration"), 1, INT32_MAX));
  if (const Json* v = Find(value, "written"))
    entry.written = static_cast<int32_t>(NumberAt(*v, MemberAt(place, "written"), 1, INT32_MAX));
  if (const Json* v = Find(value, "tuplet")) {
    const auto tuplet = MemberAt(place, "tuplet");
    if (!v->is_array() || v->size() != 2) Pair(*v, tuplet(), 1, 0x7FFF);
    entry.tupletActual = static_cast<int16_t>(NumberAt((*v)[0], IndexAt(tuplet, 0), 1, 0x7FFF));
    entry.tupletNormal = static_cast<int16_t>(NumberAt((*v)[1], IndexAt(tuplet, 1), 1, 0x7FFF));
  }
  const Json* rest = Find(value, "rest");
  const Json* notes = Find(value, "notes");
  if (rest && !rest->is_boolean()) Boolean(*rest, MemberPlace(place(), "rest"));
  entry.rest = rest && rest->get<bool>();
  if (entry.rest && notes) Refuse(place(), "a rest has no notes");
  if (!entry.rest) {
    if (!notes) Refuse(place(), "an entry needs its notes, or \"rest\": true");
    const auto notesPlace = MemberAt(place, "notes");
    if (!notes->is_array()) ExpectArray(*notes, notesPlace());
    if (notes->empty() || notes->size() > static_cast<size_t>(kMaxNotes))
      Refuse(notesPlace(), "an entry has 1 to 12 notes, found " + std::to_string(notes->size()));
    entry.notes.reserve(notes->size());
    for (size_t i = 0; i < notes->size(); ++i)
      entry.notes.push_back(ReadNote((*notes)[i], IndexAt(notesPlace, i), i));
  }
  return entry;
}

void ReadLayers(const Json& value, const std::string& place, int16_t staff, int16_t measure,
                Document& document, NotationReading* reading) {
  ExpectArray(value, place);
  if (value.size() > static_cast<size_t>(kLayerCount))
    Refuse(place, "a cell has at most 4 layers, found " + std::to_string(value.size()));
  int64_t total = 0;
  for (size_t layer = 0; layer < value.size(); ++layer) {
    const std::string layerPlace = IndexPlace(place, layer);
    const auto layerAt = [&layerPlace] { return layerPlace; };
    ExpectArray(value[layer], layerPlace);
    MusicLayer entries;
    entries.reserve(value[layer].size());
    for (size_t i = 0; i < value[layer].size(); ++i) {
      entries.push_back(ReadEntry(value[layer][i], IndexAt(layerAt, i)));
      total += entries.back().duration;
    }
    if (total > INT32_MAX) Refuse(layerPlace, "the layer is longer than the host can count");
    total = 0;
    if (entries.size() > static_cast<size_t>(INT16_MAX))
      Refuse(layerPlace, "a layer has at most 32767 entries");
    if (entries.empty()) continue;
    const DataKey key = DataKey::Of(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure),
                                    static_cast<uint16_t>(layer));
    document.records.Put(kMusicTag, key, LayerRecord(entries));
    reading->whole.push_back({kMusicTag, key, layerPlace});
  }
}

void ReadPositions(const Json& value, const std::string& place, const PositionedKind& kind,
                   int16_t staff, int16_t measure, Document& document, NotationReading* reading) {
  ExpectArray(value, place);
  if (value.size() > 0x7FFF) Refuse(place, "a cell has at most 32767 of them");
  const auto at = [&place] { return place; };
  for (size_t i = 0; i < value.size(); ++i) {
    const int32_t position =
        static_cast<int32_t>(NumberAt(value[i], IndexAt(at, i), INT32_MIN, INT32_MAX));
    RecordStore::Bytes record(kind.size, 0);
    fxt::PutS32(record.data(), kind.position, position);
    const DataKey key = DataKey::Of(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure),
                                    static_cast<uint16_t>(i));
    document.records.Put(kind.tag, key, record);
    reading->whole.push_back({kind.tag, key, IndexPlace(place, i)});
  }
}

}  // namespace

void ReadMusic(const Json& value, const std::string& place, Document& document,
               NotationReading* reading) {
  ExpectObject(value, place);
  KnownMembers(value, place, {"shownLayers", "cells"});
  if (const Json* shown = Find(value, "shownLayers")) {
    const std::string shownPlace = MemberPlace(place, "shownLayers");
    ExpectArray(*shown, shownPlace);
    RecordStore::Bytes record(kLayerCount, 0);
    for (size_t i = 0; i < shown->size(); ++i) {
      const int64_t layer = Number((*shown)[i], IndexPlace(shownPlace, i), 1, kLayerCount);
      if (record[static_cast<size_t>(layer - 1)])
        Refuse(IndexPlace(shownPlace, i), "layer " + std::to_string(layer) + " is named twice");
      record[static_cast<size_t>(layer - 1)] = 1;
    }
    document.records.Put(kShownLayersTag, DataKey(), record);
    reading->whole.push_back({kShownLayersTag, DataKey(), shownPlace});
  }
  const Json* cells = Find(value, "cells");
  if (!cells) return;
  const int32_t last = LastMeasure(document.records);
  std::set<std::pair<int16_t, int16_t>> seen;
  EachObject(
      *cells, MemberPlace(place, "cells"),
      {"staff", "measure", "layers", "chords", "midiExpressions"},
      [&](const Json& object, const std::string& at) {
        const Json* staffValue = Find(object, "staff");
        const Json* measureValue = Find(object, "measure");
        if (!staffValue || !measureValue) Refuse(at, "a cell needs its staff and measure");
        const std::string staffPlace = MemberPlace(at, "staff");
        const int16_t staff = static_cast<int16_t>(Number(*staffValue, staffPlace, 1, 0x7FFF));
        const std::string measurePlace = MemberPlace(at, "measure");
        const int16_t measure =
            static_cast<int16_t>(Number(*measureValue, measurePlace, 1, 0x7FFF));
        if (measure > last)
          Refuse(measurePlace, "measure " + std::to_string(measure) + " is outside the document " +
                                   (last == 0 ? std::string("(it has no measures)")
                                              : "(measures 1 to " + std::to_string(last) + ")"));
        if (!seen.insert({staff, measure}).second)
          Refuse(at, "the cell of staff " + std::to_string(staff) + ", measure " +
                         std::to_string(measure) + " is given twice");
        if (const Json* v = Find(object, "layers"))
          ReadLayers(*v, MemberPlace(at, "layers"), staff, measure, document, reading);
        for (const PositionedKind& kind : kPositioned)
          if (const Json* v = Find(object, kind.member))
            ReadPositions(*v, MemberPlace(at, kind.member), kind, staff, measure, document,
                          reading);
        reading->checks.push_back([staffPlace, staff](const BuiltDocument& built) {
          if (!built.Staff(staff))
            Refuse(staffPlace, "staff " + std::to_string(staff) + " does not exist");
        });
      });
}

namespace {

// --- Writing ----------------------------------------------------------------------
//
// The member is written as text, in the layout the document writer gives every value
// (docfile_write.cpp: a value on one line when its members are scalars or arrays of
// scalars, else one member or element a line), without a JSON value for each entry: a
// score's music is most of its document. Only what the reader takes back whole is
// written, so every record written here is one the reader makes again as it was.

void Spaces(int count, std::string* out) { out->append(static_cast<size_t>(count), ' '); }

void AppendNumber(int64_t value, std::string* out) {
  char digits[24];
  out->append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

// The start of an object's member, "name": , after the separator from the member before
// (unless it is the first); a member on a line of its own (not flat) is indented.
void AppendName(const char* name, bool first, bool flat, int indent, std::string* out) {
  if (!first) *out += flat ? ", " : ",\n";
  if (!flat) Spaces(indent, out);
  *out += '"';
  *out += name;
  *out += "\": ";
}

// A member of a flat object whose value is a number.
void AppendMember(const char* name, int64_t value, bool first, std::string* out) {
  AppendName(name, first, true, 0, out);
  AppendNumber(value, out);
}

void AppendNumbers(const std::vector<int32_t>& values, std::string* out) {
  *out += '[';
  for (size_t i = 0; i < values.size(); ++i) {
    if (i > 0) *out += ", ";
    AppendNumber(values[i], out);
  }
  *out += ']';
}

// Whether the reader takes the layer back: its note numbers are what a note's "number"
// can say, and its entries add up to a length the host can count.
bool Readable(const MusicLayer& layer) {
  int64_t total = 0;
  for (const MusicEntry& entry : layer) {
    total += entry.duration;
    for (const MusicNote& note : entry.notes)
      if (note.number < 0) return false;
  }
  return total <= INT32_MAX;
}

// The entry at the indent: a rest on one line, notes one a line.
void AppendEntry(const MusicEntry& entry, int indent, std::string* out) {
  const bool flat = entry.rest;
  *out += flat ? "{ " : "{\n";
  auto member = [&](const char* name, bool first) {
    AppendName(name, first, flat, indent + 2, out);
  };
  member("duration", true);
  AppendNumber(entry.duration, out);
  if (entry.written != 0) {
    member("written", false);
    AppendNumber(entry.written, out);
  }
  if (entry.tupletActual != 0) {
    member("tuplet", false);
    AppendNumbers({entry.tupletActual, entry.tupletNormal}, out);
  }
  if (flat) {
    member("rest", false);
    *out += "true }";
    return;
  }
  member("notes", false);
  *out += "[\n";
  for (size_t n = 0; n < entry.notes.size(); ++n) {
    const MusicNote& note = entry.notes[n];
    if (n > 0) *out += ",\n";
    Spaces(indent + 4, out);
    *out += "{ ";
    AppendMember("level", note.level, true, out);
    if (note.alter != 0) AppendMember("alter", note.alter, false, out);
    if (note.number != static_cast<int16_t>(n + 1)) AppendMember("number", note.number, false, out);
    *out += " }";
  }
  *out += '\n';
  Spaces(indent + 2, out);
  *out += "]\n";
  Spaces(indent, out);
  *out += '}';
}

// The layer at the indent: [] when it has no entries.
void AppendLayer(const MusicLayer& layer, int indent, std::string* out) {
  if (layer.empty()) {
    *out += "[]";
    return;
  }
  *out += "[\n";
  for (size_t i = 0; i < layer.size(); ++i) {
    if (i > 0) *out += ",\n";
    Spaces(indent + 2, out);
    AppendEntry(layer[i], indent + 2, out);
  }
  *out += '\n';
  Spaces(indent, out);
  *out += ']';
}

// The positions of a cell's records of one kind, or false when a record says more than
// its position (it then stays a raw record, as do the others of its kind in the cell).
bool ReadPositions(const Document& document, const PositionedKind& kind, int16_t staff,
                   int16_t measure, std::vector<int32_t>* positions) {
  for (uint16_t inci = 0;; ++inci) {
    const RecordStore::Bytes* record = document.records.Find(
        kind.tag, DataKey::Of(static_cast<uint16_t>(staff), static_cast<uint16_t>(measure), inci));
    if (!record) break;
    if (inci == 0x7FFF || record->size() != kind.size) return false;
    const int32_t position = fxt::GetS32(record->data(), kind.position);
    RecordStore::Bytes expected(kind.size, 0);
    fxt::PutS32(expected.data(), kind.position, position);
    if (*record != expected) return false;
    positions->push_back(position);
  }
  return true;
}

}  // namespace

bool MusicCoverage::Covers(uint32_t tag, const DataKey& key) const {
  return std::binary_search(records.begin(), records.end(), std::make_pair(tag, key.Packed()));
}

bool WriteMusic(const Document& document, int indent, std::string* out, MusicCoverage* coverage) {
  const int32_t last = LastMeasure(document.records);
  // Every cell that holds music, chords or MIDI expressions, in staff and measure order.
  std::set<std::pair<int16_t, int16_t>> cells;
  auto collect = [&](uint32_t tag) {
    document.records.ForEach(tag, [&](const DataKey& key, const RecordStore::Bytes&) {
      const int16_t staff = static_cast<int16_t>(key.first);
      const int16_t measure = static_cast<int16_t>(key.second);
      if (StaffExists(document, staff) && measure >= 1 && measure <= last)
        cells.insert({staff, measure});
    });
  };
  collect(kMusicTag);
  for (const PositionedKind& kind : kPositioned) collect(kind.tag);

  std::string cellsText;
  bool firstCell = true;
  std::vector<MusicLayer> layers;
  for (const auto& cell : cells) {
    const uint16_t staff = static_cast<uint16_t>(cell.first);
    const uint16_t measure = static_cast<uint16_t>(cell.second);
    layers.assign(kLayerCount, MusicLayer());
    size_t used = 0;
    for (uint16_t layer = 0; layer < kLayerCount; ++layer) {
      const DataKey key = DataKey::Of(staff, measure, layer);
      const RecordStore::Bytes* record = document.records.Find(kMusicTag, key);
      if (record && ReadLayer(*record, &layers[layer]) && Readable(layers[layer])) {
        coverage->records.push_back({kMusicTag, key.Packed()});
        used = layer + 1u;
      } else {
        layers[layer].clear();
      }
    }
    std::vector<int32_t> positions[kPositionedKinds];
    bool anyPositions = false;
    for (size_t k = 0; k < kPositionedKinds; ++k) {
      if (!ReadPositions(document, kPositioned[k], cell.first, cell.second, &positions[k]))
        positions[k].clear();
      for (size_t inci = 0; inci < positions[k].size(); ++inci)
        coverage->records.push_back(
            {kPositioned[k].tag,
             DataKey::Of(staff, measure, static_cast<uint16_t>(inci)).Packed()});
      anyPositions = anyPositions || !positions[k].empty();
    }
    if (used == 0 && !anyPositions) continue;

    // A cell with layers one member a line; one of positions alone on one line.
    const bool flat = used == 0;
    const int inner = indent + 6;
    cellsText += firstCell ? "" : ",\n";
    firstCell = false;
    Spaces(indent + 4, &cellsText);
    auto member = [&](const char* name, bool first) {
      AppendName(name, first, flat, inner, &cellsText);
    };
    cellsText += flat ? "{ " : "{\n";
    member("staff", true);
    AppendNumber(cell.first, &cellsText);
    member("measure", false);
    AppendNumber(cell.second, &cellsText);
    if (used > 0) {
      member("layers", false);
      cellsText += "[\n";
      for (size_t layer = 0; layer < used; ++layer) {
        if (layer > 0) cellsText += ",\n";
        Spaces(inner + 2, &cellsText);
        AppendLayer(layers[layer], inner + 2, &cellsText);
      }
      cellsText += '\n';
      Spaces(inner, &cellsText);
      cellsText += ']';
    }
    for (size_t k = 0; k < kPositionedKinds; ++k) {
      if (positions[k].empty()) continue;
      member(kPositioned[k].member, false);
      AppendNumbers(positions[k], &cellsText);
    }
    if (flat) {
      cellsText += " }";
    } else {
      cellsText += '\n';
      Spaces(indent + 4, &cellsText);
      cellsText += '}';
    }
  }

  // "shownLayers", when each layer is either shown (1) or not (0).
  std::vector<int32_t> shownLayers;
  bool shownWritten = false;
  const RecordStore::Bytes* shown = document.records.Find(kShownLayersTag, DataKey());
  if (shown && shown->size() == static_cast<size_t>(kLayerCount)) {
    shownWritten = true;
    for (int i = 0; i < kLayerCount; ++i) {
      if ((*shown)[static_cast<size_t>(i)] == 1) shownLayers.push_back(i + 1);
      shownWritten = shownWritten && (*shown)[static_cast<size_t>(i)] <= 1;
    }
    if (shownWritten) coverage->records.push_back({kShownLayersTag, DataKey().Packed()});
  }
  std::sort(coverage->records.begin(), coverage->records.end());
  if (firstCell && !shownWritten) return false;

  if (firstCell) {
    *out += "{ \"shownLayers\": ";
    AppendNumbers(shownLayers, out);
    *out += " }";
    return true;
  }
  *out += "{\n";
  if (shownWritten) {
    Spaces(indent + 2, out);
    *out += "\"shownLayers\": ";
    AppendNumbers(shownLayers, out);
    *out += ",\n";
  }
  Spaces(indent + 2, out);
  *out += "\"cells\": [\n";
  *out += cellsText;
  *out += '\n';
  Spaces(indent + 2, out);
  *out += "]\n";
  Spaces(indent, out);
  *out += '}';
  return true;
}

}  // namespace fxthost
