// What the parts of the MusicXML reader share (musicxml_*.cpp): the importer of one
// parsed score and the parts, groups and measures it gathers. The mapping it follows is
// written in docs/musicxml.md.
#pragma once

#include <pugixml.hpp>

#include <cstdint>
#include <string>
#include <vector>

#include "host/files/musicxml.h"
#include "host/store/document.h"

namespace fxthost {

namespace mxl {

// A measure of a part: the element holding its music (the <measure> of a partwise score,
// the <part> inside a timewise one) and the <measure> that gives its number.
struct MeasureNodes {
  pugi::xml_node music;
  pugi::xml_node numbered;
  // The <attributes> of its music in their order, gathered once (CountStaves) for the
  // readings that look only at them.
  std::vector<pugi::xml_node> attributes;
};

struct Part {
  std::string id;
  std::string name, abbreviation;
  bool named = false, abbreviated = false;
  pugi::xml_node listed;  // its <score-part>
  int staves = 1;
  int firstStaff = 0;  // the staff number of its first staff
  std::vector<MeasureNodes> measures;
};

// A group over the parts firstPart to lastPart.
struct GroupSpan {
  size_t firstPart = 0, lastPart = 0;
  std::string name, abbreviation;
  bool named = false, abbreviated = false;
  int16_t bracket = 0, barline = 0;
  int order = 0;
};

// A measure's time signature as the document stores it, and its length in EDUs.
struct TimeSignature {
  int16_t beats = 4;
  int16_t beatDuration = 1024;
  long Length() const { return static_cast<long>(beats) * beatDuration; }
};

// What a part's attributes say at a measure.
struct PartState {
  long divisions = 0;               // 0: not given yet
  int diatonic = 0, chromatic = 0;  // the <transpose> (written to sounding)
  bool transposing = false;
  int writtenKey = 0;  // fifths
};

// The music of a staff in a measure as the reader takes it from the file, before the
// document's bounds are checked: wide enough to hold what a file can say (a level or a
// duration beyond 16 or 32 bits), so that the document's own reading refuses it with the
// value in its words (musicxml_document.cpp).
struct ImportedNote {
  int level = 0, alter = 0;
};
struct ImportedEntry {
  long duration = 0;
  long written = 0;             // 0: not given
  long actual = 0, normal = 0;  // the tuplet; 0: none
  bool rest = false;
  std::vector<ImportedNote> notes;  // none for a rest
};
struct ImportedCell {
  int staff = 0;
  size_t measure = 0;
  std::vector<std::vector<ImportedEntry>> layers;
};

// The "music" member the cells are in a document file (docfile_music.cpp reads it).
Json MusicMember(const std::vector<ImportedCell>& cells);
// Puts the cells' layers into the built document as reading their "music" member would
// (musicxml_document.cpp); false, the document partly filled, where that reading would
// refuse them.
bool PutMusic(const std::vector<ImportedCell>& cells, Document& document);

class Importer {
 public:
  // With cells, the music goes there; without, into the document's "music" member.
  Importer(const std::string& text, Json* document, ImportSummary* summary,
           std::vector<ImportedCell>* cells = nullptr)
      : text_(text), document_(document), summary_(summary), cells_(cells) {}

  // Reads the score element into the document's members (Refuse on anything it cannot).
  void Read(const pugi::xml_node& score, bool timewise);

  // "line L, column C" of a node of the text.
  std::string NodePlace(const pugi::xml_node& node) const;
  // "line L, column C" of a byte offset in the text.
  std::string OffsetPlace(ptrdiff_t offset) const;

 private:
  void ReadPartList(const pugi::xml_node& score);
  void CloseGroup(size_t firstPart, size_t end, GroupSpan span);
  void GatherMeasures(const pugi::xml_node& score, bool timewise);
  void CountStaves();
  std::string PartSymbol(const Part& part) const;
  Json StavesMember() const;
  Json InstrumentsMember() const;
  Json GroupsMember();

  void CountScoreTexts(const pugi::xml_node& score);
  Json NumberRegionsMember();

  // musicxml_measures.cpp
  void ReadMeasures();
  TimeSignature ReadTime(const pugi::xml_node& time, const TimeSignature& before);
  Json MeasuresMember() const;
  // musicxml_music.cpp
  void AddNotation(Json& document);

  // The element's text as a whole number within [low, high], refused otherwise.
  long WholeNumber(const pugi::xml_node& element, long low, long high) const;
  // Takes the <transpose> that applies to staff 1 of the part from an <attributes>, when
  // there is one, into the state (its octave change folded into both intervals).
  void ReadTransposition(const pugi::xml_node& attributes, PartState* state) const;
  // Counts one thing left out, by its kind.
  void Count(const std::string& kind, long count = 1) { summary_->leftOut[kind] += count; }
  // "part P1, measure 3" (the measure's place in the count, from 1).
  std::string MusicPlace(const Part& part, size_t measure) const;

  const std::string& text_;
  Json* document_;
  ImportSummary* summary_;
  std::vector<ImportedCell>* cells_;
  mutable std::vector<size_t> lineStarts_;
  std::vector<Part> parts_;
  std::vector<GroupSpan> spans_;
  int groupOrder_ = 0;
  std::vector<TimeSignature> times_;  // per measure
  std::vector<int> keys_;             // per measure, concert fifths
};

}  // namespace mxl

}  // namespace fxthost
