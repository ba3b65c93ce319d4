// Reading a MusicXML score into a document file's members (musicxml.h): the part list
// into staves, names, multi-staff instruments and groups, the measures into their time
// and key signatures. The mapping is written in docs/musicxml.md.
#include <pugixml.hpp>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/files/musicxml.h"
#include "host/files/musicxml_import.h"
#include "host/store/groups.h"

namespace fxthost {

namespace mxl {

namespace {

// The inline form of a MusicXML display text: its texts, and its accidentals as the
// host's inline inserts (^flat(), ^sharp(), ...).
std::string DisplayText(const pugi::xml_node& display) {
  static const std::pair<const char*, const char*> kAccidentals[] = {
      {"flat", "^flat()"},
      {"sharp", "^sharp()"},
      {"natural", "^natural()"},
      {"double-sharp", "^sharp()^sharp()"},
      {"flat-flat", "^flat()^flat()"}};
  std::string text;
  for (const pugi::xml_node& child : display.children()) {
    if (std::strcmp(child.name(), "display-text") == 0) text += child.child_value();
    if (std::strcmp(child.name(), "accidental-text") != 0) continue;
    bool known = false;
    for (const auto& accidental : kAccidentals)
      if (std::strcmp(child.child_value(), accidental.first) == 0) {
        text += accidental.second;
        known = true;
      }
    if (!known) text += child.child_value();
  }
  return text;
}

// A name: its -display form when the element has one, else its plain text; absent when
// neither is there.
bool NameOf(const pugi::xml_node& parent, const char* plain, const char* display,
            std::string* name) {
  if (const pugi::xml_node shown = parent.child(display)) {
    *name = DisplayText(shown);
    return true;
  }
  if (const pugi::xml_node text = parent.child(plain)) {
    *name = text.child_value();
    return true;
  }
  return false;
}

// The group record's style by the MusicXML symbol (group-symbol, part-symbol).
int16_t BracketOfSymbol(const std::string& symbol, int16_t fallback) {
  int16_t value = fallback;
  if (symbol.empty()) return fallback;
  return StyleValueOf(kBracketStyles, symbol, &value) ? value : fallback;
}

// The group record's bar-line mode by group-barline.
int16_t BarlineOfMode(const std::string& mode) {
  if (mode == "no") return kBarlineNone;
  if (mode == "Mensurstrich") return kBarlineMensurstrich;
  return 0;
}

struct OpenGroup {
  size_t firstPart = 0;
  GroupSpan span;
};

}  // namespace

void Importer::ReadPartList(const pugi::xml_node& score) {
  const pugi::xml_node list = score.child("part-list");
  if (!list) Refuse(NodePlace(score), "the score has no <part-list>");
  std::map<std::string, OpenGroup> open;  // by the number attribute
  for (const pugi::xml_node& child : list.children()) {
    if (std::strcmp(child.name(), "score-part") == 0) {
      Part part;
      part.id = child.attribute("id").value();
      if (part.id.empty()) Refuse(NodePlace(child), "a <score-part> has no id");
      for (const Part& other : parts_)
        if (other.id == part.id) Refuse(NodePlace(child), "part " + part.id + " is listed twice");
      part.named = NameOf(child, "part-name", "part-name-display", &part.name);
      part.abbreviated =
          NameOf(child, "part-abbreviation", "part-abbreviation-display", &part.abbreviation);
      part.listed = child;
      parts_.push_back(part);
      continue;
    }
    if (std::strcmp(child.name(), "part-group") != 0) continue;
    const std::string number = child.attribute("number").as_string("1");
    const std::string type = child.attribute("type").value();
    if (type == "start") {
      OpenGroup group;
      group.firstPart = parts_.size();
      group.span.order = groupOrder_++;
      group.span.named = NameOf(child, "group-name", "group-name-display", &group.span.name);
      group.span.abbreviated = NameOf(child, "group-abbreviation", "group-abbreviation-display",
                                      &group.span.abbreviation);
      group.span.bracket = BracketOfSymbol(child.child_value("group-symbol"), kBracketStyleNone);
      group.span.barline = BarlineOfMode(child.child_value("group-barline"));
      open[number] = group;
    } else if (type == "stop") {
      const auto found = open.find(number);
      if (found == open.end()) {
        Count("part-group stops without a start");
        continue;
      }
      CloseGroup(found->second.firstPart, parts_.size(), found->second.span);
      open.erase(found);
    }
  }
  if (parts_.empty()) Refuse(NodePlace(list), "the part list names no part");
  for (auto& entry : open) {
    summary_->remarks.push_back("part-group " + entry.first +
                                " is started and never stopped: it ends at the last part");
    CloseGroup(entry.second.firstPart, parts_.size(), entry.second.span);
  }
}

void Importer::CloseGroup(size_t firstPart, size_t end, GroupSpan span) {
  if (end <= firstPart) {
    Count("part-groups over no part");
    return;
  }
  span.firstPart = firstPart;
  span.lastPart = end - 1;
  spans_.push_back(span);
}

// The measures of each part, for either form: a partwise score holds them in its parts,
// a timewise one holds the parts in its measures.
void Importer::GatherMeasures(const pugi::xml_node& score, bool timewise) {
  std::map<std::string, size_t> index;
  for (size_t i = 0; i < parts_.size(); ++i) index[parts_[i].id] = i;
  auto partOf = [&](const pugi::xml_node& node) -> Part& {
    const auto found = index.find(node.attribute("id").value());
    if (found == index.end())
      Refuse(NodePlace(node),
             std::string("part ") + node.attribute("id").value() + " is not in the part list");
    return parts_[found->second];
  };
  std::vector<bool> seen(parts_.size(), false);
  if (!timewise) {
    for (const pugi::xml_node& node : score.children("part")) {
      Part& part = partOf(node);
      if (seen[&part - parts_.data()])
        Refuse(NodePlace(node), "part " + part.id + " is given twice");
      seen[&part - parts_.data()] = true;
      for (const pugi::xml_node& measure : node.children("measure"))
        part.measures.push_back({measure, measure, {}});
    }
  } else {
    for (const pugi::xml_node& measure : score.children("measure")) {
      for (const pugi::xml_node& node : measure.children("part")) {
        Part& part = partOf(node);
        seen[&part - parts_.data()] = true;
        part.measures.push_back({node, measure, {}});
      }
    }
  }
  for (size_t i = 0; i < parts_.size(); ++i)
    if (!seen[i])
      Refuse(NodePlace(parts_[i].listed),
             "part " + parts_[i].id + " is in the part list but the score has no music for it");
  for (const Part& part : parts_)
    if (part.measures.size() != parts_[0].measures.size())
      Refuse("part " + part.id, "the part has " + std::to_string(part.measures.size()) +
                                    " measures, part " + parts_[0].id + " has " +
                                    std::to_string(parts_[0].measures.size()));
  if (parts_[0].measures.size() > 0x7FFF)
    Refuse("part " + parts_[0].id, "more than 32767 measures do not fit in a document");
}

// The number of staves of each part (the largest <staves> it gives, 1 without one) and
// where its first staff is in the score order.
void Importer::CountStaves() {
  long next = 1;
  for (Part& part : parts_) {
    for (MeasureNodes& measure : part.measures)
      for (const pugi::xml_node& attributes : measure.music.children("attributes")) {
        measure.attributes.push_back(attributes);
        if (const pugi::xml_node staves = attributes.child("staves")) {
          const long count = WholeNumber(staves, 1, 0x7FFF);
          part.staves = std::max(part.staves, static_cast<int>(count));
        }
      }
    part.firstStaff = static_cast<int>(next);
    next += part.staves;
    if (next - 1 > 0x7FFF) Refuse(NodePlace(part.listed), "more than 32767 staves");
  }
  summary_->staves = next - 1;
}

Json Importer::StavesMember() const {
  Json staves = Json::array();
  long unnamedAbbreviations = 0;
  for (const Part& part : parts_) {
    for (int s = 0; s < part.staves; ++s) {
      Json staff = {{"id", part.firstStaff + s}};
      if (s == 0 && part.named) staff["name"] = part.name;
      staves.push_back(staff);
    }
    unnamedAbbreviations += part.abbreviated && !part.abbreviation.empty();
  }
  // The host keeps one name per staff: the part's abbreviation has no place.
  if (unnamedAbbreviations) summary_->leftOut["part abbreviations"] += unnamedAbbreviations;
  return staves;
}

Json Importer::InstrumentsMember() const {
  Json instruments = Json::array();
  for (const Part& part : parts_) {
    if (part.staves < 2 || part.staves > 3) continue;
    Json staves = Json::array();
    for (int s = 0; s < 3; ++s) staves.push_back(s < part.staves ? part.firstStaff + s : 0);
    instruments.push_back({{"id", instruments.size() + 1}, {"staves", staves}});
  }
  return instruments;
}

// The groups: each part-group pair, and each part of several staves that no part-group
// spans exactly, in the order of their starts in the part list.
Json Importer::GroupsMember() {
  std::vector<GroupSpan> spans = spans_;
  for (size_t i = 0; i < parts_.size(); ++i) {
    if (parts_[i].staves < 2) continue;
    const bool covered = std::any_of(spans_.begin(), spans_.end(), [&](const GroupSpan& span) {
      return span.firstPart == i && span.lastPart == i;
    });
    if (covered) continue;
    GroupSpan own;
    own.firstPart = own.lastPart = i;
    own.bracket = BracketOfSymbol(PartSymbol(parts_[i]), kBracketStyleBrace);
    own.order = -1;
    spans.push_back(own);
  }
  // By first part; at one first part the longer (the outer) group first, then the order
  // of the starts.
  std::stable_sort(spans.begin(), spans.end(), [](const GroupSpan& a, const GroupSpan& b) {
    if (a.firstPart != b.firstPart) return a.firstPart < b.firstPart;
    return a.lastPart > b.lastPart;
  });
  Json groups = Json::array();
  const long measures = static_cast<long>(parts_[0].measures.size());
  for (const GroupSpan& span : spans) {
    const Part& last = parts_[span.lastPart];
    Json group = {
        {"id", groups.size() + 1},
        {"staves", {parts_[span.firstPart].firstStaff, last.firstStaff + last.staves - 1}},
        {"measures", {1, std::max(1L, measures)}}};
    if (span.named) group["name"] = span.name;
    if (span.abbreviated) group["abbreviation"] = span.abbreviation;
    if (span.bracket) group["bracket"] = StyleNameOf(kBracketStyles, span.bracket);
    if (span.barline) group["barline"] = StyleNameOf(kBarlineModes, span.barline);
    groups.push_back(group);
  }
  summary_->groups = static_cast<long>(groups.size());
  return groups;
}

// The part's <part-symbol> (in its first attributes that give one), empty without one.
std::string Importer::PartSymbol(const Part& part) const {
  for (const MeasureNodes& measure : part.measures)
    for (const pugi::xml_node& attributes : measure.attributes)
      if (const pugi::xml_node symbol = attributes.child("part-symbol"))
        return symbol.child_value();
  return "";
}

void Importer::Read(const pugi::xml_node& score, bool timewise) {
  ReadPartList(score);
  GatherMeasures(score, timewise);
  CountStaves();
  summary_->measures = static_cast<long>(parts_[0].measures.size());
  ReadMeasures();
  Json& doc = *document_;
  doc["format"] = kDocumentFormat;
  doc["measures"] = MeasuresMember();
  doc["staves"] = StavesMember();
  const Json instruments = InstrumentsMember();
  if (!instruments.empty()) doc["multiStaffInstruments"] = instruments;
  const Json groups = GroupsMember();
  if (!groups.empty()) doc["groups"] = groups;
  const Json regions = NumberRegionsMember();
  if (!regions.empty()) doc["measureNumberRegions"] = regions;
  AddNotation(doc);
  CountScoreTexts(score);
}

// The title and composer as page texts; the score's other texts (other creators,
// credits) counted as left out.
void Importer::CountScoreTexts(const pugi::xml_node& score) {
  Json pages = Json::array();
  auto page = [&](const char* text) {
    const std::string value = text;
    if (value.empty()) return;
    for (const Json& taken : pages)
      if (taken["text"] == value) return;
    pages.push_back({{"id", pages.size() + 1}, {"text", value}});
  };
  page(score.child("work").child_value("work-title"));
  page(score.child_value("movement-title"));
  for (const pugi::xml_node& creator : score.child("identification").children("creator")) {
    const std::string type = creator.attribute("type").as_string("creator");
    if (type == "composer")
      page(creator.child_value());
    else
      Count(type + "s");
  }
  for (const pugi::xml_node& credit : score.children("credit")) Count("credits", credit ? 1 : 0);
  if (!pages.empty()) (*document_)["pageTexts"] = std::move(pages);
}

// The measure number regions that make the document show the numbers the score gives:
// one region for each run of measures numbered one after the other, none when the
// measures are numbered 1 to N. A number that is not a whole number ("12a"), or one
// that no region can start at, is counted and takes the number after the one before.
Json Importer::NumberRegionsMember() {
  const size_t count = parts_[0].measures.size();
  std::vector<long> shown(count);
  for (size_t m = 0; m < count; ++m) {
    const char* number = parts_[0].measures[m].numbered.attribute("number").value();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(number, &end, 10);
    if (end != number && *end == '\0' && errno == 0 && value >= -32767 && value <= 32767) {
      shown[m] = value;
    } else {
      Count("measure numbers that are not numbers");
      shown[m] = m == 0 ? 1 : shown[m - 1] + 1;
    }
  }
  Json regions = Json::array();
  // A region's last measure is stored plus one: 32766 is the last one it can name.
  const size_t last = std::min<size_t>(count, 0x7FFE);
  for (size_t first = 0; first < last;) {
    size_t end = first + 1;
    while (end < last && shown[end] == shown[end - 1] + 1) ++end;
    regions.push_back({{"id", regions.size() + 1},
                       {"measures", {first + 1, end}},
                       {"startNumber", std::max(-32767L, std::min(32767L, shown[first]))}});
    first = end;
  }
  if (regions.size() == 1 && shown[0] == 1) return Json::array();
  return regions;
}

}  // namespace mxl

}  // namespace fxthost
