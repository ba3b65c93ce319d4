// The music of a MusicXML score put straight into the document's records
// (host/files/musicxml_document.cpp, ImportMusicXmlDocument in musicxml.h): the same
// document, refusal and summary as building the document from the score's members
// (ImportMusicXml, then BuildDocument), on scores of each kind of entry and on music the
// document cannot hold (docs/musicxml.md, "Speed").
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/files/docfile.h"
#include "host/files/docfile_read.h"
#include "host/files/musicxml.h"
#include "host/store/entryframes.h"

namespace {

using fxthost::Json;

// A score of one part and its measures; the first sets divisions 1 and 4/4, and the
// attributes given.
std::string Score(const std::vector<std::string>& measures, const std::string& attributes = "") {
  std::string text =
      "<score-partwise><part-list><score-part id=\"P1\"><part-name>A</part-name></score-part>"
      "</part-list><part id=\"P1\">";
  for (size_t m = 0; m < measures.size(); ++m)
    text += "<measure number=\"" + std::to_string(m + 1) + "\">" +
            (m == 0 ? "<attributes><divisions>1</divisions><time><beats>4</beats><beat-type>4"
                      "</beat-type></time>" +
                          attributes + "</attributes>"
                    : "") +
            measures[m] + "</measure>";
  return text + "</part></score-partwise>";
}
std::string Note(const std::string& pitch, long duration, const std::string& more = "") {
  return "<note>" + more + "<pitch><step>" + pitch.substr(0, 1) + "</step><octave>" +
         pitch.substr(1) + "</octave></pitch><duration>" + std::to_string(duration) +
         "</duration></note>";
}
std::string Rests(int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += "<note><rest/><duration>1</duration></note>";
  return text;
}

// What reading a score gives: whether it was read, the document written or the refusal,
// and the summary (a remark "not set" while the reading has not set it).
struct Outcome {
  bool read = false;
  std::string text, summary;
};

Outcome ThroughMembers(const std::string& score) {
  Json members;
  fxthost::ImportSummary summary;
  summary.remarks = {"not set"};
  fxthost::DocumentError error;
  fxthost::Document document;
  if (!fxthost::ImportMusicXml(score, "t.musicxml", &members, &summary, &error))
    return {false, error.Message(), summary.Text()};
  if (!fxthost::BuildDocument(members, "t.musicxml", &document, nullptr, &error))
    return {false, error.Message(), summary.Text()};
  return {true, fxthost::FormatDocument(document, fxthost::DocumentFile()), summary.Text()};
}

// A record the document holds before the score is read into it.
constexpr uint32_t kMarkTag = fxt::MakeTag('z', 'M', 'r', 'k');

Outcome Direct(const std::string& score, bool* kept) {
  fxthost::Document document;
  document.records.Put(kMarkTag, fxthost::DataKey(), {1, 2});
  fxthost::ImportSummary summary;
  summary.remarks = {"not set"};
  fxthost::DocumentError error;
  const bool read =
      fxthost::ImportMusicXmlDocument(score, "t.musicxml", &document, nullptr, &summary, &error);
  *kept = document.records.Contains(kMarkTag, fxthost::DataKey());
  if (!read) return {false, error.Message(), summary.Text()};
  return {true, fxthost::FormatDocument(document, fxthost::DocumentFile()), summary.Text()};
}

TEST(MusicXmlDocument, GivesWhatTheMembersGive) {
  const std::string chord = "<chord/>";
  const std::string tuplet =
      "<type>eighth</type><time-modification><actual-notes>3</actual-notes><normal-notes>2"
      "</normal-notes></time-modification>";
  struct Row {
    const char* what;
    std::string score;
    const char* refusal;  // a part of the refusal; empty: read
  };
  const Row rows[] = {
      {"notes, a chord, a rest, a gap before a note",
       Score({Note("C4", 1) + Note("E4", 1, chord) + "<note><rest/><duration>1</duration></note>" +
              "<forward><duration>1</duration></forward>" + Note("G5", 1)}),
       ""},
      {"dotted and triplet values, voices and staves",
       Score({"<note><pitch><step>D</step><alter>-1</alter><octave>3</octave></pitch><duration>3"
              "</duration><voice>1</voice><type>half</type><dot/><staff>2</staff></note>"
              "<backup><duration>3</duration></backup>" +
              Note("A4", 1, tuplet) + Note("B4", 1, tuplet) + Note("C5", 1, tuplet) +
              "<note><pitch><step>F</step><octave>4</octave></pitch><duration>1</duration>"
              "<voice>2</voice></note>"},
             "<staves>2</staves>"),
       ""},
      {"a transposed part and a chord beyond twelve notes",
       Score({Note("C4", 4) +
              [&] {
                std::string notes;
                for (int i = 0; i < 12; ++i) notes += Note("E4", 4, chord);
                return notes;
              }()},
             "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose>"),
       ""},
      {"a layer of the most entries a frame counts", Score({Rests(32767)}), ""},
      {"a level beyond 16 bits",
       Score({Note("C5", 4)},
             "<transpose><diatonic>32767</diatonic><chromatic>0</chromatic></transpose>"),
       "music.cells[0].layers[0][0].notes[0].level: 32774 does not fit here"},
      {"an alteration beyond 16 bits",
       Score({Note("C4", 4)},
             "<transpose><diatonic>32767</diatonic><chromatic>0</chromatic></transpose>"),
       "music.cells[0].layers[0][0].notes[0].alter: -56172 does not fit here"},
      {"a duration beyond 32 bits", Score({Note("C4", 2147483647)}),
       "music.cells[0].layers[0][0].duration: 2199023254528 does not fit here"},
      {"a layer longer than 32 bits", Score({Note("C4", 1500000) + Note("D4", 1500000)}),
       "music.cells[0].layers[0]: the layer is longer than the host can count"},
      {"a layer of more entries than a frame counts", Score({Note("C4", 1), Rests(32768)}),
       "music.cells[1].layers[0]: a layer has at most 32767 entries"},
      {"a score the reader refuses", Score({"<backup><duration>1</duration></backup>"}),
       "<backup> before the measure's start"},
  };
  for (const Row& row : rows) {
    const Outcome members = ThroughMembers(row.score);
    bool kept = false;
    const Outcome direct = Direct(row.score, &kept);
    EXPECT_EQ(direct.read, members.read) << row.what;
    EXPECT_EQ(direct.text, members.text) << row.what;
    EXPECT_EQ(direct.summary, members.summary) << row.what;
    // Replaced when read, as it was when refused.
    EXPECT_EQ(kept, !direct.read) << row.what;
    if (*row.refusal)
      EXPECT_NE(direct.text.find(row.refusal), std::string::npos)
          << row.what << ": " << direct.text;
    else
      EXPECT_TRUE(direct.read) << row.what << ": " << direct.text;
  }
}

}  // namespace
