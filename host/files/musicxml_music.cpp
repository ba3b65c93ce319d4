// The music and directions of a MusicXML score (musicxml_import.h): notes, rests and
// chords into the cells' layers, words, dynamics and rehearsal marks into text
// expressions, and a count of what has no place. docs/musicxml.md has the rules.
#include <pugixml.hpp>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/files/musicxml_import.h"

namespace fxthost {

namespace mxl {

namespace {

constexpr long kQuarter = 1024;  // EDUs in a quarter note

// The written values by <type>, in EDUs.
constexpr std::pair<const char*, long> kNoteTypes[] = {
    {"maxima", 32768}, {"long", 16384}, {"breve", 8192}, {"whole", 4096}, {"half", 2048},
    {"quarter", 1024}, {"eighth", 512}, {"16th", 256},   {"32nd", 128},   {"64th", 64},
    {"128th", 32},     {"256th", 16},   {"512th", 8},    {"1024th", 4}};

// Semitones above C of the natural steps, and the steps' places from C.
constexpr std::pair<char, int> kSteps[] = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                           {'G', 7}, {'A', 9}, {'B', 11}};

// What the summary calls the elements the reader leaves out, where a plural "s" would
// not do.
constexpr std::pair<const char*, const char*> kKinds[] = {
    {"tied", "ties"},
    {"harmony", "chord symbols"},
    {"figured-bass", "figured basses"},
    {"print", "print layouts"},
    {"barline", "barlines"},
    {"sound", "sounds"},
    {"lyric", "lyrics"},
    {"technical", "technical marks"},
    {"ornaments", "ornaments"},
    {"articulations", "articulations"},
    {"dynamics", "dynamics on notes"},
    {"other-direction", "other directions"},
    {"octave-shift", "octave shifts"},
    {"accordion-registration", "accordion registrations"},
    {"listening", "listenings"}};

// The decimal number an element's text begins with (0 when there is none), refused at
// its place (which place() gives, only then) when it is not within the bound either way:
// a larger one would overflow the positions and pitches computed from it.
template <typename Place>
double Decimal(const pugi::xml_node& element, Place place, double bound) {
  const char* text = element.child_value();
  if (!*text) return 0;
  const double value = std::strtod(text, nullptr);
  if (!(std::fabs(value) <= bound))
    Refuse(place(), std::string("<") + element.name() + "> \"" + text +
                        "\" is not a number from -" + std::to_string(static_cast<long>(bound)) +
                        " to " + std::to_string(static_cast<long>(bound)));
  return value;
}

std::string KindOf(const char* element) {
  for (const auto& kind : kKinds)
    if (std::strcmp(kind.first, element) == 0) return kind.second;
  // An element named in the plural ("dashes", "harp-pedals") is its own kind.
  const std::string name = element;
  return !name.empty() && name.back() == 's' ? name : name + "s";
}

// A layer of one staff in one measure: its entries and where they end, in EDUs as the
// file says them (a triplet eighth is 1024/3).
struct Layer {
  std::vector<ImportedEntry> entries;
  double end = 0;
  double sounding = 0;  // the entries' lengths and the gaps between them
};

// The whole EDUs from one exact position to another: entries take the EDUs between their
// rounded start and end, so that a tuplet's entries add up to its whole length.
long WholeEdus(double from, double to) { return std::lround(to) - std::lround(from); }

// The staff's layers in a measure, by the voices' places in the staff's order.
struct Cell {
  std::vector<Layer> layers;
};

// The children of a <note> the reader takes, found in one pass over them: the first of
// each name, and how many dots and lyrics there are.
struct NoteChildren {
  pugi::xml_node grace, cue, notations, staff, chord, duration, type, timeModification, voice, rest,
      pitch, unpitched;
  int dots = 0, lyrics = 0;

  explicit NoteChildren(const pugi::xml_node& note) {
    for (pugi::xml_node child = note.first_child(); child; child = child.next_sibling()) {
      if (child.type() != pugi::node_element) continue;
      const char* name = child.name();
      pugi::xml_node* slot = nullptr;
      switch (name[0]) {
        case 'c':
          slot = std::strcmp(name, "chord") == 0 ? &chord
                 : std::strcmp(name, "cue") == 0 ? &cue
                                                 : nullptr;
          break;
        case 'd':
          if (std::strcmp(name, "duration") == 0)
            slot = &duration;
          else if (std::strcmp(name, "dot") == 0)
            ++dots;
          break;
        case 'g':
          if (std::strcmp(name, "grace") == 0) slot = &grace;
          break;
        case 'l':
          if (std::strcmp(name, "lyric") == 0) ++lyrics;
          break;
        case 'n':
          if (std::strcmp(name, "notations") == 0) slot = &notations;
          break;
        case 'p':
          if (std::strcmp(name, "pitch") == 0) slot = &pitch;
          break;
        case 'r':
          if (std::strcmp(name, "rest") == 0) slot = &rest;
          break;
        case 's':
          if (std::strcmp(name, "staff") == 0) slot = &staff;
          break;
        case 't':
          slot = std::strcmp(name, "type") == 0                ? &type
                 : std::strcmp(name, "time-modification") == 0 ? &timeModification
                                                               : nullptr;
          break;
        case 'u':
          if (std::strcmp(name, "unpitched") == 0) slot = &unpitched;
          break;
        case 'v':
          if (std::strcmp(name, "voice") == 0) slot = &voice;
          break;
        default:
          break;
      }
      if (slot && !*slot) *slot = child;
    }
  }
};

// The first child element of each of the names (as child(name) finds them), in one pass.
template <size_t N>
void FirstChildren(const pugi::xml_node& parent, const char* const (&names)[N],
                   pugi::xml_node (&found)[N]) {
  for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
    if (child.type() != pugi::node_element) continue;
    for (size_t i = 0; i < N; ++i)
      if (!found[i] && std::strcmp(child.name(), names[i]) == 0) found[i] = child;
  }
}

}  // namespace

Json MusicMember(const std::vector<ImportedCell>& cells) {
  Json written = Json::array();
  for (const ImportedCell& cell : cells) {
    Json layers = Json::array();
    for (const std::vector<ImportedEntry>& layer : cell.layers) {
      Json entries = Json::array();
      for (const ImportedEntry& entry : layer) {
        Json object = {{"duration", entry.duration}};
        if (entry.rest) {
          object["rest"] = true;
        } else {
          Json notes = Json::array();
          for (const ImportedNote& note : entry.notes) {
            Json value = {{"level", note.level}};
            if (note.alter) value["alter"] = note.alter;
            notes.push_back(std::move(value));
          }
          object["notes"] = std::move(notes);
        }
        if (entry.written) object["written"] = entry.written;
        if (entry.actual) object["tuplet"] = {entry.actual, entry.normal};
        entries.push_back(std::move(object));
      }
      layers.push_back(std::move(entries));
    }
    written.push_back(
        {{"staff", cell.staff}, {"measure", cell.measure}, {"layers", std::move(layers)}});
  }
  return {{"cells", std::move(written)}};
}

// Reads the music of every part (called from Read, after the measures).
void Importer::AddNotation(Json& document) {
  std::vector<ImportedCell> ownCells;
  std::vector<ImportedCell>& cells = cells_ ? *cells_ : ownCells;
  Json definitions = Json::array();
  Json expressions = Json::array();
  std::map<std::pair<std::string, std::string>, long> definitionIds;  // (kind, text)
  long voicesShort = 0;

  for (const Part& part : parts_) {
    PartState state;
    // The voices of each staff of the part, in order of first appearance.
    std::vector<std::vector<std::string>> voices(static_cast<size_t>(part.staves));
    for (size_t m = 0; m < part.measures.size(); ++m) {
      // Made only for a refusal.
      const auto place = [&] { return MusicPlace(part, m); };
      std::vector<Cell> staffCells(static_cast<size_t>(part.staves));
      double cursor = 0;
      // The layer of the last entry (staff index, layer), which a <chord/> note joins.
      std::pair<int, size_t> last(-1, 0);
      // A duration in EDUs, exact, and whether it is a whole number of them.
      auto toEdu = [&](const pugi::xml_node& element, long high) -> std::pair<double, bool> {
        if (state.divisions == 0) Refuse(place(), "a duration comes before the part's <divisions>");
        const long value = WholeNumber(element, 0, high);
        const long long scaled = static_cast<long long>(value) * kQuarter;
        return {static_cast<double>(scaled) / static_cast<double>(state.divisions),
                scaled % state.divisions == 0};
      };
      auto staffNumber = [&](const pugi::xml_node& staff) -> int {
        if (!staff) return 1;
        const long number = WholeNumber(staff, 1, 0x7FFF);
        if (number > part.staves)
          Refuse(NodePlace(staff), place() + ": staff " + std::to_string(number) +
                                       " is above the part's " + std::to_string(part.staves) +
                                       " staves");
        return static_cast<int>(number);
      };
      for (const pugi::xml_node& child : part.measures[m].music.children()) {
        const char* name = child.name();
        if (std::strcmp(name, "note") == 0) {
          // A note, a rest or a chord note.
          const NoteChildren note(child);
          if (note.grace) {
            Count("grace notes");
            continue;
          }
          if (note.cue) {
            Count("cue notes");
            continue;
          }
          // A tuplet's bracket is not counted: its ratio is kept with the entries.
          for (const pugi::xml_node& notation : note.notations.children())
            if (std::strcmp(notation.name(), "tuplet") != 0) Count(KindOf(notation.name()));
          if (note.lyrics) Count(KindOf("lyric"), note.lyrics);
          const int staff = staffNumber(note.staff);
          const bool chord = note.chord;
          long written = 0;
          const auto edu =
              note.duration ? toEdu(note.duration, 0x7FFFFFFF) : std::make_pair(0.0, false);
          const char* typeText = note.type.child_value();
          for (const auto& type : kNoteTypes)
            if (std::strcmp(typeText, type.first) == 0) written = type.second;
          long dotted = written;
          long add = written / 2;
          for (int dot = 0; dot < note.dots; ++dot, add /= 2) dotted += add;
          // The tuplet: actual notes in the time of normal ones.
          long actual = 0, normal = 0;
          if (note.timeModification) {
            actual = WholeNumber(note.timeModification.child("actual-notes"), 1, 0x7FFF);
            normal = WholeNumber(note.timeModification.child("normal-notes"), 1, 0x7FFF);
          }
          double sounding = edu.first;
          if (!edu.second) {
            if (written == 0)
              Refuse(note.duration ? NodePlace(note.duration) : NodePlace(child),
                     place() +
                         ": the note's duration is not a whole number of EDUs and it has no type");
            sounding = actual ? static_cast<double>(dotted) * normal / actual : dotted;
          }
          // The voice's layer.
          const char* voice = note.voice.child_value();
          std::vector<std::string>& order = voices[static_cast<size_t>(staff - 1)];
          size_t layer = 0;
          while (layer < order.size() && order[layer] != voice) ++layer;
          if (layer == order.size()) {
            if (order.size() == 4)
              Refuse(NodePlace(child), place() + ": a fifth voice (" + voice + ") on staff " +
                                           std::to_string(staff) +
                                           " of the part; a staff has four layers");
            order.push_back(voice);
          }
          Cell& cell = staffCells[static_cast<size_t>(staff - 1)];
          if (cell.layers.size() <= layer) cell.layers.resize(layer + 1);
          const bool rest = note.rest;
          ImportedNote pitched;
          if (!rest) {
            int level = 0, alter = 0;
            if (note.pitch) {
              static const char* const kPitchParts[] = {"step", "octave", "alter"};
              pugi::xml_node parts[3];
              FirstChildren(note.pitch, kPitchParts, parts);
              const char step = parts[0].child_value()[0];
              int stepIndex = -1, semitone = 0;
              for (int s = 0; s < 7; ++s)
                if (kSteps[s].first == step) stepIndex = s, semitone = kSteps[s].second;
              if (stepIndex < 0)
                Refuse(NodePlace(note.pitch), place() + ": a pitch without a step A to G");
              const long octave = WholeNumber(parts[1], 0, 9);
              const double alteration = Decimal(
                  parts[2], [&] { return NodePlace(note.pitch); }, 0x7FFF);
              alter = static_cast<int>(std::lround(alteration));
              if (alteration != alter) Count("microtonal alterations");
              level = static_cast<int>((octave - 4) * 7 + stepIndex);
              if (state.chromatic || state.diatonic) {
                // The written pitch with the transposition undone: the level moves by the
                // diatonic steps, the alteration makes up the chromatic rest.
                const int writtenSemitones = static_cast<int>((octave + 1) * 12) + semitone + alter;
                level += state.diatonic;
                const int concertStep = ((level % 7) + 7) % 7;
                const int concertOctave = (level - concertStep) / 7 + 4;
                alter = writtenSemitones + state.chromatic -
                        ((concertOctave + 1) * 12 + kSteps[concertStep].second);
              }
            } else if (note.unpitched) {
              const char step = note.unpitched.child_value("display-step")[0];
              int stepIndex = 0;
              for (int s = 0; s < 7; ++s)
                if (kSteps[s].first == step) stepIndex = s;
              level = static_cast<int>(
                  (WholeNumber(note.unpitched.child("display-octave"), 0, 9) - 4) * 7 + stepIndex);
            }
            pitched.level = level;
            pitched.alter = alter;
          }
          if (chord && last.first >= 0 && !rest) {
            ImportedEntry& entry =
                staffCells[static_cast<size_t>(last.first)].layers[last.second].entries.back();
            if (!entry.rest && entry.notes.size() < 12) {
              entry.notes.push_back(pitched);
              ++summary_->notes;
            } else {
              Count("chord notes beyond twelve");
            }
            continue;
          }
          Layer& target = cell.layers[layer];
          if (WholeEdus(target.end, cursor) > 0) {
            ImportedEntry gap;
            gap.duration = WholeEdus(target.end, cursor);
            gap.rest = true;
            target.entries.push_back(std::move(gap));
            ++summary_->rests;
          }
          target.sounding += std::max(0.0, cursor - target.end) + sounding;
          target.end = std::max(target.end, cursor);
          ImportedEntry entry;
          entry.duration = std::max(1L, WholeEdus(cursor, cursor + sounding));
          if (rest) {
            entry.rest = true;
            ++summary_->rests;
          } else {
            entry.notes.push_back(pitched);
            ++summary_->notes;
          }
          if (written) entry.written = dotted;
          if (actual) entry.actual = actual, entry.normal = normal;
          target.entries.push_back(std::move(entry));
          target.end = cursor + sounding;
          cursor += sounding;
          last = {staff - 1, layer};
          continue;
        }
        if (std::strcmp(name, "attributes") == 0) {
          if (const pugi::xml_node divisions = child.child("divisions"))
            state.divisions = WholeNumber(divisions, 1, 0x7FFFFFFF);
          ReadTransposition(child, &state);
          for (const pugi::xml_node& clef : child.children("clef"))
            Count(m == 0 && cursor == 0 && clef ? "clefs" : "clef changes");
          continue;
        }
        if (std::strcmp(name, "backup") == 0 || std::strcmp(name, "forward") == 0) {
          const double edu = toEdu(child.child("duration"), 0x7FFFFFFF).first;
          cursor += name[0] == 'b' ? -edu : edu;
          if (cursor < 0)
            Refuse(NodePlace(child), place() + ": <backup> before the measure's start");
          continue;
        }
        if (std::strcmp(name, "direction") == 0) {
          const int staff = staffNumber(child.child("staff"));
          long position = std::lround(cursor);
          if (const pugi::xml_node offset = child.child("offset")) {
            const double value = Decimal(
                offset, [&] { return NodePlace(offset); }, 0x7FFFFFFF);
            const double shift = state.divisions ? value * kQuarter / state.divisions : 0;
            position += static_cast<long>(std::lround(shift));
          }
          for (const pugi::xml_node& type : child.children("direction-type")) {
            for (const pugi::xml_node& mark : type.children()) {
              std::string kind = mark.name(), text;
              if (kind == "words" || kind == "rehearsal") {
                text = mark.child_value();
              } else if (kind == "dynamics") {
                for (const pugi::xml_node& dynamic : mark.children())
                  text += std::strcmp(dynamic.name(), "other-dynamics") == 0 ? dynamic.child_value()
                                                                             : dynamic.name();
              } else {
                Count(KindOf(mark.name()));
                continue;
              }
              if (text.empty()) continue;
              const auto key = std::make_pair(kind, text);
              auto found = definitionIds.find(key);
              if (found == definitionIds.end()) {
                found = definitionIds.emplace(key, static_cast<long>(definitions.size()) + 1).first;
                definitions.push_back(
                    {{"id", found->second}, {"text", text}, {"description", kind}});
              }
              expressions.push_back({{"measure", m + 1},
                                     {"staff", part.firstStaff + staff - 1},
                                     {"definition", found->second},
                                     {"position", std::max(0L, position)}});
            }
          }
          continue;
        }
        Count(KindOf(name));
      }
      const long length = times_[m].Length();
      for (int s = 0; s < part.staves; ++s) {
        Cell& cell = staffCells[static_cast<size_t>(s)];
        if (cell.layers.empty()) continue;
        ImportedCell imported;
        imported.staff = part.firstStaff + s;
        imported.measure = m + 1;
        for (Layer& layer : cell.layers) {
          voicesShort += !layer.entries.empty() && std::fabs(layer.sounding - length) > 1e-6;
          imported.layers.push_back(std::move(layer.entries));
        }
        cells.push_back(std::move(imported));
      }
    }
  }
  if (voicesShort)
    summary_->remarks.push_back(voicesShort == 1
                                    ? "1 voice of a measure does not add up to the measure's length"
                                    : std::to_string(voicesShort) +
                                          " voices of a measure do not add up to the measure's "
                                          "length");
  summary_->expressions = static_cast<long>(expressions.size());
  if (!definitions.empty()) document["textExpressions"] = std::move(definitions);
  if (!expressions.empty()) document["expressions"] = std::move(expressions);
  if (!cells_ && !ownCells.empty()) document["music"] = MusicMember(ownCells);
}

}  // namespace mxl

}  // namespace fxthost
