// The measures of a MusicXML score (musicxml_import.h): each measure's time signature
// (from the first part) and concert key (from the first pitched part that does not
// transpose), as docs/musicxml.md says.
#include <pugixml.hpp>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/files/musicxml_import.h"

namespace fxthost {

namespace mxl {

namespace {

constexpr long kWhole = 4096;  // EDUs in a whole note

// The concert key of a written key under a transposition (written to sounding): the
// interval's place on the line of fifths added, brought into -7 to 7.
int ConcertKey(int written, const PartState& state) {
  if (!state.transposing) return written;
  int fifths = written + 7 * state.chromatic - 12 * state.diatonic;
  while (fifths > 7) fifths -= 12;
  while (fifths < -7) fifths += 12;
  return fifths;
}

// The sum of a "3+2" beats text; -1 when it is not such a sum.
long SumOfBeats(const char* text) {
  long sum = 0;
  const char* at = text;
  while (true) {
    char* end = nullptr;
    const long part = std::strtol(at, &end, 10);
    if (end == at || part < 0 || part > 0x7FFF) return -1;
    sum += part;
    while (*end == ' ') ++end;
    if (*end == '\0') return sum;
    if (*end != '+') return -1;
    at = end + 1;
  }
}

// The element that applies to staff 1 of a part: one without a number, or number 1.
pugi::xml_node FirstStaffChild(const pugi::xml_node& attributes, const char* name) {
  for (const pugi::xml_node& child : attributes.children(name)) {
    const pugi::xml_attribute number = child.attribute("number");
    if (!number || number.as_int() == 1) return child;
  }
  return pugi::xml_node();
}

}  // namespace

void Importer::ReadTransposition(const pugi::xml_node& attributes, PartState* state) const {
  const pugi::xml_node transpose = FirstStaffChild(attributes, "transpose");
  if (!transpose) return;
  state->chromatic = static_cast<int>(WholeNumber(transpose.child("chromatic"), -0x7FFF, 0x7FFF));
  state->diatonic =
      transpose.child("diatonic")
          ? static_cast<int>(WholeNumber(transpose.child("diatonic"), -0x7FFF, 0x7FFF))
          : 0;
  if (const pugi::xml_node octave = transpose.child("octave-change")) {
    const long octaves = WholeNumber(octave, -100, 100);
    state->chromatic += static_cast<int>(12 * octaves);
    state->diatonic += static_cast<int>(7 * octaves);
  }
  state->transposing = state->chromatic != 0 || state->diatonic != 0;
}

std::string Importer::MusicPlace(const Part& part, size_t measure) const {
  return "part " + part.id + ", measure " + std::to_string(measure + 1);
}

TimeSignature Importer::ReadTime(const pugi::xml_node& time, const TimeSignature& before) {
  if (time.child("senza-misura")) {
    Count("unmeasured time signatures");
    return before;
  }
  long total = 0, smallest = kWhole;
  long beats = 0;
  int pairs = 0;
  pugi::xml_node beatsNode;  // the <beats> that waits for its <beat-type>
  for (const pugi::xml_node& child : time.children()) {
    if (std::strcmp(child.name(), "beats") == 0) {
      beatsNode = child;
      continue;
    }
    if (std::strcmp(child.name(), "beat-type") != 0 || !beatsNode) continue;
    const long sum = SumOfBeats(beatsNode.child_value());
    if (sum < 0)
      Refuse(NodePlace(beatsNode),
             std::string("\"") + beatsNode.child_value() + "\" is not a number of beats, or " +
                 beatsNode.child_value() + " beats do not fit in a measure (1 to 32767)");
    const long type = WholeNumber(child, 1, kWhole);
    if (kWhole % type != 0)
      Refuse(NodePlace(child),
             "a beat of 1/" + std::to_string(type) + " is not a whole number of EDUs");
    total += sum * (kWhole / type);
    smallest = std::min(smallest, kWhole / type);
    beats = sum;
    ++pairs;
    beatsNode = pugi::xml_node();
  }
  if (pairs == 0) {
    Count("time signatures without beats");
    return before;
  }
  TimeSignature signature;
  signature.beatDuration = static_cast<int16_t>(smallest);
  const long count = pairs == 1 ? beats : total / smallest;
  if (count < 1 || count > 0x7FFF)
    Refuse(NodePlace(time), std::to_string(count) + " beats do not fit in a measure (1 to 32767)");
  signature.beats = static_cast<int16_t>(count);
  return signature;
}

void Importer::ReadMeasures() {
  const size_t count = parts_[0].measures.size();
  times_.assign(count, TimeSignature());
  std::vector<std::vector<int>> concert(parts_.size(), std::vector<int>(count, 0));
  std::vector<bool> pitched(parts_.size(), false), transposing(parts_.size(), false);
  for (size_t p = 0; p < parts_.size(); ++p) {
    Part& part = parts_[p];
    PartState state;
    TimeSignature time;
    for (size_t m = 0; m < count; ++m) {
      // Pitched: a note of the part has a pitch (looked for until one is found).
      if (!pitched[p])
        for (const pugi::xml_node& note : part.measures[m].music.children("note"))
          if (note.child("pitch")) {
            pitched[p] = true;
            break;
          }
      for (const pugi::xml_node& child : part.measures[m].attributes) {
        if (const pugi::xml_node divisions = child.child("divisions")) {
          state.divisions = WholeNumber(divisions, 0, 0x7FFFFFFF);
          if (state.divisions == 0)
            Refuse(NodePlace(divisions), "divisions of 0: no note could have a duration");
        }
        if (FirstStaffChild(child, "transpose")) {
          ReadTransposition(child, &state);
          transposing[p] = transposing[p] || state.transposing;
        }
        if (const pugi::xml_node key = FirstStaffChild(child, "key")) {
          if (const pugi::xml_node fifths = key.child("fifths"))
            state.writtenKey = static_cast<int>(WholeNumber(fifths, -7, 7));
          else
            Count("keys that are not a number of fifths");
        }
        if (p == 0)
          if (const pugi::xml_node signature = FirstStaffChild(child, "time"))
            time = ReadTime(signature, time);
      }
      concert[p][m] = ConcertKey(state.writtenKey, state);
      if (p == 0) times_[m] = time;
    }
  }
  // The reference: the first pitched part that does not transpose, else the first
  // pitched part, else the first part.
  size_t reference = parts_.size();
  for (size_t p = 0; p < parts_.size() && reference == parts_.size(); ++p)
    if (pitched[p] && !transposing[p]) reference = p;
  for (size_t p = 0; p < parts_.size() && reference == parts_.size(); ++p)
    if (pitched[p]) reference = p;
  if (reference == parts_.size()) reference = 0;
  keys_ = concert[reference];
  long disagreeing = 0;
  for (size_t p = 0; p < parts_.size(); ++p) disagreeing += pitched[p] && concert[p] != keys_;
  if (disagreeing) Count("parts whose key differs from the score's concert key", disagreeing);
}

Json Importer::MeasuresMember() const {
  Json measures = Json::array();
  for (size_t m = 0; m < times_.size(); ++m)
    measures.push_back(
        {{"beats", times_[m].beats}, {"beatDuration", times_[m].beatDuration}, {"key", keys_[m]}});
  return measures;
}

}  // namespace mxl

}  // namespace fxthost
