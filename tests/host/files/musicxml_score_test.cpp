// The MusicXML reader (host/files/musicxml_*.cpp) on small scores this file writes: the
// rules of docs/musicxml.md ("Staves", "Groups", "Measures", "Music", "Directions",
// "Refusals"), each row naming its rule.
#include <gtest/gtest.h>
#include <zip.h>

#include <map>
#include <string>
#include <vector>

#include "host/files/docfile.h"
#include "host/files/musicxml.h"
#include "host/store/groups.h"
#include "host/store/score.h"

namespace {

using fxthost::Json;

// A partwise score of the part list and parts given.
std::string Score(const std::string& list, const std::string& parts) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE score-partwise PUBLIC \"x\" "
         "\"http://www.musicxml.org/dtds/partwise.dtd\">\n<score-partwise version=\"3.1\">\n"
         "<part-list>" +
         list + "</part-list>\n" + parts + "</score-partwise>\n";
}
std::string ScorePart(const std::string& id, const std::string& inside = "") {
  return "<score-part id=\"" + id + "\"><part-name>" + id + "</part-name>" + inside +
         "</score-part>";
}
// A part of measures, the first with the attributes given (divisions 2).
std::string Part(const std::string& id, const std::vector<std::string>& measures,
                 const std::string& attributes = "") {
  std::string text = "<part id=\"" + id + "\">";
  for (size_t m = 0; m < measures.size(); ++m)
    text += "<measure number=\"" + std::to_string(m + 1) + "\">" +
            (m == 0 ? "<attributes><divisions>2</divisions>" + attributes + "</attributes>" : "") +
            measures[m] + "</measure>";
  return text + "</part>\n";
}
std::string Note(const std::string& step, int octave, int duration, const std::string& more = "") {
  return "<note><pitch><step>" + step + "</step><octave>" + std::to_string(octave) +
         "</octave></pitch><duration>" + std::to_string(duration) + "</duration>" + more +
         "</note>";
}

// A triplet eighth at divisions 3.
std::string Triplet(const std::string& step) {
  return Note(step, 4, 1,
              "<type>eighth</type><time-modification><actual-notes>3</actual-notes>"
              "<normal-notes>2</normal-notes></time-modification>");
}

// A part of one staff whose measures carry the number attributes given.
std::string Numbered(const std::vector<std::string>& numbers) {
  std::string text = "<part id=\"P1\">";
  for (size_t m = 0; m < numbers.size(); ++m)
    text += "<measure " + numbers[m] + ">" +
            (m == 0 ? "<attributes><divisions>1</divisions></attributes>" : "") + "</measure>";
  return text + "</part>\n";
}

Json Import(const std::string& text, fxthost::ImportSummary* summary = nullptr) {
  Json members;
  fxthost::DocumentError error;
  fxthost::ImportSummary taken;
  EXPECT_TRUE(fxthost::ImportMusicXml(text, "t.musicxml", &members, &taken, &error))
      << error.Message();
  if (summary) *summary = taken;
  return members;
}

std::string Refusal(const std::string& text) {
  Json members;
  fxthost::DocumentError error;
  EXPECT_FALSE(fxthost::ImportMusicXml(text, "t.musicxml", &members, nullptr, &error));
  return error.Message();
}

// Two parts of one staff and a piano of four staves, bracketed together, and a choir
// group over nothing else: the staves, names and groups.
TEST(MusicXmlScore, StavesNamesAndGroupsFollowThePartList) {
  const std::string list =
      "<part-group type=\"start\" number=\"1\"><group-name>Winds</group-name>"
      "<group-abbreviation-display><display-text>Wd</display-text></group-abbreviation-display>"
      "<group-symbol>bracket</group-symbol><group-barline>Mensurstrich</group-barline></"
      "part-group>" +
      ScorePart("P1",
                "<part-name-display><display-text>Clarinet in B</display-text>"
                "<accidental-text>flat</accidental-text></part-name-display>") +
      ScorePart("P2") + "<part-group type=\"stop\" number=\"1\"/>" +
      "<part-group type=\"start\" number=\"2\"><group-symbol>square</group-symbol></part-group>" +
      ScorePart("P3") + "<part-group type=\"stop\" number=\"2\"/>" + ScorePart("P4");
  const std::string parts = Part("P1", {""}) + Part("P2", {""}) +
                            Part("P3", {""}, "<staves>4</staves>") +
                            Part("P4", {""}, "<staves>2</staves><part-symbol>line</part-symbol>");
  fxthost::ImportSummary summary;
  const Json doc = Import(Score(list, parts), &summary);
  // Staves: one per MusicXML staff; the part's name on its first staff (display form).
  EXPECT_EQ(
      doc["staves"].dump(),
      R"j([{"id":1,"name":"Clarinet in B^flat()"},{"id":2,"name":"P2"},{"id":3,"name":"P3"},)j"
      R"j({"id":4},{"id":5},{"id":6},{"id":7,"name":"P4"},{"id":8}])j");
  // Staves: a part of two or three staves is an instrument; one of four is not.
  EXPECT_EQ(doc["multiStaffInstruments"].dump(), R"j([{"id":1,"staves":[7,8,0]}])j");
  // Groups: each part-group pair; a part of several staves gets its own unless a
  // part-group spans exactly it (P3); its part-symbol (P4), a brace when absent.
  EXPECT_EQ(
      doc["groups"].dump(),
      R"j([{"id":1,"staves":[1,2],"measures":[1,1],"name":"Winds","abbreviation":"Wd",)j"
      R"j("barline":"mensurstrich"},{"id":2,"staves":[3,6],"measures":[1,1],"bracket":"square"},)j"
      R"j({"id":3,"staves":[7,8],"measures":[1,1],"bracket":"line"}])j");
  EXPECT_EQ(summary.staves, 8);
  EXPECT_EQ(summary.groups, 3);
}

TEST(MusicXmlScore, GroupRulesByCase) {
  struct Row {
    const char* rule;
    std::string list;
    std::string parts;
    const char* groups;
    const char* remark;  // a summary note, or ""
  };
  const std::string twoStaves = "<staves>2</staves>";
  const Row rows[] = {
      {"Groups: a part of several staves gets a brace", ScorePart("P1"),
       Part("P1", {""}, twoStaves),
       R"j([{"id":1,"staves":[1,2],"measures":[1,1],"bracket":"brace"}])j", ""},
      {"Groups: a part-group spanning exactly that part is its group",
       "<part-group type=\"start\"><group-symbol>bracket</group-symbol></part-group>" +
           ScorePart("P1") + "<part-group type=\"stop\"/>",
       Part("P1", {""}, twoStaves), R"j([{"id":1,"staves":[1,2],"measures":[1,1]}])j", ""},
      {"Groups: nested groups, and groups sharing staves as the file says",
       "<part-group type=\"start\" number=\"1\"/>" + ScorePart("P1") +
           "<part-group type=\"start\" "
           "number=\"2\"><group-symbol>brace</group-symbol></part-group>" +
           ScorePart("P2") + "<part-group type=\"stop\" number=\"1\"/>" + ScorePart("P3") +
           "<part-group type=\"stop\" number=\"2\"/>",
       Part("P1", {""}) + Part("P2", {""}) + Part("P3", {""}),
       R"j([{"id":1,"staves":[1,2],"measures":[1,1],"bracket":"none"},)j"
       R"j({"id":2,"staves":[2,3],"measures":[1,1],"bracket":"brace"}])j",
       ""},
      {"Groups: started and never stopped ends at the last part",
       ScorePart("P1") + "<part-group type=\"start\" number=\"3\"/>" + ScorePart("P2") +
           ScorePart("P3"),
       Part("P1", {""}) + Part("P2", {""}) + Part("P3", {""}),
       R"j([{"id":1,"staves":[2,3],"measures":[1,1],"bracket":"none"}])j",
       "part-group 3 is started and never stopped: it ends at the last part"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    fxthost::ImportSummary summary;
    const Json doc = Import(Score(row.list, row.parts), &summary);
    EXPECT_EQ(doc["groups"].dump(), row.groups);
    EXPECT_EQ(summary.remarks.empty() ? "" : summary.remarks[0], row.remark);
  }
}

TEST(MusicXmlScore, MeasuresTakeTheTimeOfTheFirstPartAndTheConcertKey) {
  struct Row {
    const char* rule;
    std::string attributes;        // of the first part
    std::string secondAttributes;  // of a second part
    const char* measure;           // the first measure as the document says it
  };
  const Row rows[] = {
      {"Measures: a time signature", "<time><beats>3</beats><beat-type>4</beat-type></time>", "",
       R"({"beats":3,"beatDuration":1024,"key":0})"},
      {"Measures: 6/8 is six eighths", "<time><beats>6</beats><beat-type>8</beat-type></time>", "",
       R"({"beats":6,"beatDuration":512,"key":0})"},
      {"Measures: 3+2 counts five beats", "<time><beats>3+2</beats><beat-type>8</beat-type></time>",
       "", R"({"beats":5,"beatDuration":512,"key":0})"},
      {"Measures: 3/8+2/4 adds the two",
       "<time><beats>3</beats><beat-type>8</beat-type><beats>2</beats><beat-type>4</beat-type></"
       "time>",
       "", R"({"beats":7,"beatDuration":512,"key":0})"},
      {"Measures: the key of a part that does not transpose", "<key><fifths>-3</fifths></key>", "",
       R"({"beats":4,"beatDuration":1024,"key":-3})"},
      {"Measures: a transposing first part's written key undone",
       "<key><fifths>2</fifths></key><transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></"
       "transpose>",
       "", R"({"beats":4,"beatDuration":1024,"key":0})"},
      {"Measures: the first pitched part without transpose wins",
       "<key><fifths>2</fifths></key><transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></"
       "transpose>",
       "<key><fifths>1</fifths></key>", R"({"beats":4,"beatDuration":1024,"key":1})"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    const Json doc = Import(Score(ScorePart("P1") + ScorePart("P2"),
                                  Part("P1", {Note("C", 4, 2)}, row.attributes) +
                                      Part("P2", {Note("C", 4, 2)}, row.secondAttributes)));
    EXPECT_EQ(doc["measures"][0].dump(), row.measure);
  }
}

// Staves, Groups, Measures: a measure's attributes after its first, and in a later
// measure, count as much as the first: its staves, part-symbol, divisions and key.
TEST(MusicXmlScore, LaterAttributesOfAMeasureAreRead) {
  const std::string later =
      "<attributes><staves>2</staves><part-symbol>line</part-symbol><key><fifths>2</fifths>"
      "</key><divisions>4</divisions></attributes>";
  const Json doc = Import(
      Score(ScorePart("P1"), Part("P1", {Note("C", 4, 2) + later + Note("D", 4, 4),
                                         Note("E", 4, 8) + "<attributes><key><fifths>-1"
                                                           "</fifths></key></attributes>"})));
  EXPECT_EQ(doc["staves"].size(), 2u);
  EXPECT_EQ(doc["groups"][0]["bracket"], "line");
  EXPECT_EQ(doc["measures"][0]["key"], 2);
  EXPECT_EQ(doc["measures"][1]["key"], -1);
  // The quarter after divisions 4 is 4 divisions; the half at divisions 4 is 8.
  EXPECT_EQ(doc["music"]["cells"][0]["layers"][0][1]["duration"], 1024);
  EXPECT_EQ(doc["music"]["cells"][1]["layers"][0][0]["duration"], 2048);
}

TEST(MusicXmlScore, PartsWhoseKeyDisagreesAreCounted) {
  fxthost::ImportSummary summary;
  Import(Score(ScorePart("P1") + ScorePart("P2"),
               Part("P1", {Note("C", 4, 2)}, "<key><fifths>1</fifths></key>") +
                   Part("P2", {Note("C", 4, 2)}, "<key><fifths>3</fifths></key>")),
         &summary);
  EXPECT_EQ(summary.leftOut["parts whose key differs from the score's concert key"], 1);
}

TEST(MusicXmlScore, TimewiseGivesWhatPartwiseGives) {
  const std::string partwise =
      Score(ScorePart("P1") + ScorePart("P2"),
            Part("P1", {Note("C", 4, 8), Note("D", 4, 8)}) + Part("P2", {Note("E", 4, 8), ""}));
  const std::string timewise =
      "<score-timewise><part-list>" + ScorePart("P1") + ScorePart("P2") +
      "</part-list><measure number=\"1\"><part id=\"P1\"><attributes><divisions>2</divisions>"
      "</attributes>" +
      Note("C", 4, 8) +
      "</part><part id=\"P2\"><attributes><divisions>2"
      "</divisions></attributes>" +
      Note("E", 4, 8) +
      "</part></measure><measure number=\"2\">"
      "<part id=\"P1\">" +
      Note("D", 4, 8) +
      "</part><part id=\"P2\"></part></measure>"
      "</score-timewise>";
  EXPECT_EQ(Import(timewise).dump(), Import(partwise).dump());
}

TEST(MusicXmlMusic, NotesRestsChordsVoicesAndTuplets) {
  struct Row {
    const char* rule;
    std::string music;       // measure 1 of a 4/4 part, divisions 2 (a quarter is 2)
    std::string attributes;  // beyond divisions
    const char* layers;      // the layers of staff 1, measure 1
  };
  const Row rows[] = {
      {"Music: pitch becomes the level and alteration",
       "<note><pitch><step>G</step><alter>-1</alter><octave>5</octave></pitch>"
       "<duration>8</duration></note>",
       "", R"([[{"duration":4096,"notes":[{"level":11,"alter":-1}]}]])"},
      {"Music: a chord note joins the entry before", Note("C", 4, 8) + Note("E", 4, 8, "<chord/>"),
       "", R"([[{"duration":4096,"notes":[{"level":0},{"level":2}]}]])"},
      {"Music: voices become layers in order of first appearance",
       Note("C", 4, 8, "<voice>2</voice>") + "<backup><duration>8</duration></backup>" +
           "<note><rest/><duration>8</duration><voice>1</voice></note>",
       "", R"([[{"duration":4096,"notes":[{"level":0}]}],[{"duration":4096,"rest":true}]])"},
      {"Music: a forward gap becomes a rest",
       "<forward><duration>4</duration></forward>" + Note("B", 3, 4), "",
       R"([[{"duration":2048,"rest":true},{"duration":2048,"notes":[{"level":-1}]}]])"},
      {"Music: a transposing part sounds at concert pitch", Note("D", 4, 8),
       "<transpose><diatonic>-1</diatonic><chromatic>-2</chromatic></transpose>",
       R"([[{"duration":4096,"notes":[{"level":0}]}]])"},
      {"Music: a duration of no whole EDUs is the dotted type times the tuplet's ratio",
       "<attributes><divisions>3</divisions></attributes>" +
           Note("C", 4, 1,
                "<type>eighth</type><time-modification><actual-notes>3</actual-notes>"
                "<normal-notes>2</normal-notes></time-modification>") +
           Note("C", 4, 1, "<type>quarter</type><dot/><dot/>"),
       "",
       R"([[{"duration":341,"notes":[{"level":0}],"written":512,"tuplet":[3,2]},)"
       R"({"duration":1792,"notes":[{"level":0}],"written":1792}]])"},
      {"Music: a triplet's entries take the whole EDUs between their rounded ends",
       "<attributes><divisions>3</divisions></attributes>" + Triplet("C") + Triplet("D") +
           Triplet("E") + "<note><rest/><duration>9</duration><type>half</type><dot/></note>",
       "",
       R"([[{"duration":341,"notes":[{"level":0}],"written":512,"tuplet":[3,2]},)"
       R"({"duration":342,"notes":[{"level":1}],"written":512,"tuplet":[3,2]},)"
       R"({"duration":341,"notes":[{"level":2}],"written":512,"tuplet":[3,2]},)"
       R"({"duration":3072,"rest":true,"written":3072}]])"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    const Json doc = Import(Score(ScorePart("P1"), Part("P1", {row.music}, row.attributes)));
    ASSERT_TRUE(doc.contains("music"));
    EXPECT_EQ(doc["music"]["cells"][0]["layers"].dump(), row.layers);
  }
}

TEST(MusicXmlMusic, WhatHasNoPlaceIsCounted) {
  fxthost::ImportSummary summary;
  Import(Score(ScorePart("P1"),
               Part("P1",
                    {"<note><grace/><pitch><step>C</step><octave>4</octave></pitch></note>" +
                     Note("C", 4, 8, "<notations><slur type=\"start\"/></notations>") +
                     "<attributes><clef><sign>F</sign></clef></attributes>"},
                    "<clef><sign>G</sign></clef>")),
         &summary);
  EXPECT_EQ(summary.leftOut["grace notes"], 1);
  EXPECT_EQ(summary.leftOut["slurs"], 1);
  EXPECT_EQ(summary.leftOut["clefs"], 1);
  EXPECT_EQ(summary.leftOut["clef changes"], 1);
  EXPECT_EQ(summary.notes, 1);
}

TEST(MusicXmlDirections, WordsDynamicsAndRehearsalMarksBecomeExpressions) {
  const std::string direction =
      "<direction><direction-type><dynamics><mf/></dynamics></direction-type>"
      "<offset>1</offset></direction>";
  const Json doc = Import(Score(
      ScorePart("P1"),
      Part("P1", {Note("C", 4, 4) + direction + Note("C", 4, 4),
                  "<direction><direction-type><words>dolce</words></direction-type></direction>" +
                      direction + Note("C", 4, 8)})));
  EXPECT_EQ(doc["textExpressions"].dump(), R"j([{"id":1,"text":"mf","description":"dynamics"},)j"
                                           R"j({"id":2,"text":"dolce","description":"words"}])j");
  EXPECT_EQ(doc["expressions"].dump(),
            R"j([{"measure":1,"staff":1,"definition":1,"position":2560},)j"
            R"j({"measure":2,"staff":1,"definition":2,"position":0},)j"
            R"j({"measure":2,"staff":1,"definition":1,"position":512}])j");
}

TEST(MusicXmlMusic, VoicesAreCheckedAgainstTheMeasureWithTheirTuplets) {
  const struct {
    const char* rule;
    std::string music;  // a 4/4 measure at divisions 3 (a quarter is 3)
    const char* remark;
  } rows[] = {
      {"Music: triplets add up to the measure though stored as 341 and 342",
       Triplet("C") + Triplet("D") + Triplet("E") + Note("C", 4, 9), nullptr},
      {"Music: a voice a quarter short does not add up", Note("C", 4, 9),
       "1 voice of a measure does not add up to the measure's length"},
      {"Music: each voice is checked on its own",
       Note("C", 4, 12, "<voice>1</voice>") + "<backup><duration>12</duration></backup>" +
           Note("E", 4, 6, "<voice>2</voice>") + "<backup><duration>6</duration></backup>" +
           Note("G", 4, 3, "<voice>3</voice>"),
       "2 voices of a measure do not add up to the measure's length"},
      {"Music: a forward gap counts toward the voice",
       "<forward><duration>3</duration></forward>" + Note("C", 4, 9), nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    fxthost::ImportSummary summary;
    Import(Score(ScorePart("P1"),
                 "<part id=\"P1\"><measure number=\"1\"><attributes><divisions>3</divisions>"
                 "</attributes>" +
                     row.music + "</measure></part>"),
           &summary);
    if (row.remark) {
      ASSERT_EQ(summary.remarks.size(), 1u);
      EXPECT_EQ(summary.remarks[0], row.remark);
    } else {
      EXPECT_TRUE(summary.remarks.empty()) << summary.Text();
    }
  }
}

TEST(MusicXmlScore, MeasureNumbersBecomeRegionsThatShowThem) {
  const struct {
    const char* rule;
    std::vector<std::string> numbers;
    const char* regions;  // nullptr: no member
    long notNumbers;
  } rows[] = {
      {"Measures: numbered 1 to N, no region",
       {"number=\"1\"", "number=\"2\"", "number=\"3\""},
       nullptr,
       0},
      {"Measures: a pickup numbered 0",
       {"number=\"0\" implicit=\"yes\"", "number=\"1\"", "number=\"2\""},
       R"([{"id":1,"measures":[1,3],"startNumber":0}])",
       0},
      {"Measures: a second movement numbered from 1 again",
       {"number=\"1\"", "number=\"2\"", "number=\"1\"", "number=\"2\""},
       R"([{"id":1,"measures":[1,2],"startNumber":1},{"id":2,"measures":[3,4],"startNumber":1}])",
       0},
      {"Measures: an implicit measure repeating its number",
       {"number=\"5\"", "number=\"5\" implicit=\"yes\"", "number=\"6\""},
       R"([{"id":1,"measures":[1,1],"startNumber":5},{"id":2,"measures":[2,3],"startNumber":5}])",
       0},
      {"Measures: a number that is not a number keeps its place in the count",
       {"number=\"11\"", "number=\"12a\"", "number=\"13\""},
       R"([{"id":1,"measures":[1,3],"startNumber":11}])",
       1},
      {"Measures: a measure 12a beside a 12 is counted on",
       {"number=\"12\"", "number=\"12a\"", "number=\"13\""},
       R"([{"id":1,"measures":[1,2],"startNumber":12},{"id":2,"measures":[3,3],"startNumber":13}])",
       1},
      {"Measures: not a number at the start counts from 1",
       {"number=\"X\"", "number=\"2\"", "number=\"99999\""},
       nullptr,
       2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.rule);
    fxthost::ImportSummary summary;
    const Json doc = Import(Score(ScorePart("P1"), Numbered(row.numbers)), &summary);
    if (row.regions) {
      ASSERT_TRUE(doc.contains("measureNumberRegions"));
      EXPECT_EQ(doc["measureNumberRegions"].dump(), row.regions);
    } else {
      EXPECT_FALSE(doc.contains("measureNumberRegions")) << doc["measureNumberRegions"].dump();
    }
    EXPECT_EQ(summary.leftOut["measure numbers that are not numbers"], row.notNumbers);
  }
}

TEST(MusicXmlScore, TitleAndComposerBecomePageTexts) {
  const std::string head =
      "<score-partwise><work><work-title>Fugue</work-title></work>"
      "<movement-title>Fugue</movement-title><identification>"
      "<creator type=\"composer\">J. S. Bach</creator>"
      "<creator type=\"lyricist\">Anon</creator></identification>"
      "<credit page=\"1\"><credit-words>Fugue</credit-words></credit>"
      "<part-list>" +
      ScorePart("P1") + "</part-list>" + Part("P1", {""}) + "</score-partwise>";
  fxthost::ImportSummary summary;
  const Json doc = Import(head, &summary);
  EXPECT_EQ(doc["pageTexts"].dump(), R"([{"id":1,"text":"Fugue"},{"id":2,"text":"J. S. Bach"}])");
  EXPECT_EQ(summary.leftOut, (std::map<std::string, long>{{"credits", 1}, {"lyricists", 1}}));
}

TEST(MusicXmlScore, NamesDecodeCharacterReferencesOnceAndAbbreviationsAreCounted) {
  const struct {
    const char* rule;
    const char* name;
    const char* expected;
  } names[] = {
      {"an entity", "Flute &amp; Piccolo", "Flute & Piccolo"},
      {"decimal and hexadecimal references", "A&#38;B&#x26;C", "A&B&C"},
      {"an escape escaped twice stays escaped once", "A &amp;amp; B", "A &amp; B"},
  };
  for (const auto& row : names) {
    SCOPED_TRACE(row.rule);
    const Json doc = Import(Score(
        "<score-part id=\"P1\"><part-name>" + std::string(row.name) + "</part-name></score-part>",
        Part("P1", {""})));
    EXPECT_EQ(doc["staves"][0]["name"], row.expected);
  }
  // One per part with an abbreviation that is not empty, whatever its staves.
  fxthost::ImportSummary summary;
  Import(Score(ScorePart("P1", "<part-abbreviation>Fl.</part-abbreviation>") +
                   ScorePart("P2", "<part-abbreviation></part-abbreviation>") +
                   ScorePart("P3",
                             "<part-abbreviation-display><display-text>Pno."
                             "</display-text></part-abbreviation-display>"),
               Part("P1", {""}) + Part("P2", {""}) + Part("P3", {""}, "<staves>2</staves>")),
         &summary);
  EXPECT_EQ(summary.leftOut["part abbreviations"], 2);
}

// A .mxl container built here with libzip: the container names the score.
std::string Container(const std::string& containerXml, const std::string& name,
                      const std::string& score) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(nullptr, 0, 0, &error);
  zip_source_keep(source);
  zip_t* archive = zip_open_from_source(source, ZIP_TRUNCATE, &error);
  auto add = [&](const char* path, const std::string& bytes) {
    zip_source_t* file = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    zip_file_add(archive, path, file, ZIP_FL_OVERWRITE);
  };
  if (!containerXml.empty()) add("META-INF/container.xml", containerXml);
  add(name.c_str(), score);
  zip_close(archive);
  zip_source_open(source);
  zip_source_seek(source, 0, SEEK_END);
  const zip_int64_t size = zip_source_tell(source);
  zip_source_seek(source, 0, SEEK_SET);
  std::string bytes(static_cast<size_t>(size), '\0');
  zip_source_read(source, &bytes[0], static_cast<zip_uint64_t>(size));
  zip_source_close(source);
  zip_source_free(source);
  zip_error_fini(&error);
  return bytes;
}

// The score is the first root file; a second (a rendering of it) is not read.
const char* const kContainer =
    "<container><rootfiles><rootfile full-path=\"music/score.xml\"/>"
    "<rootfile full-path=\"score.pdf\" media-type=\"application/pdf\"/></rootfiles></container>";

TEST(MusicXmlImport, ReadsTheScoreAnMxlContainerNames) {
  const std::string score = Score(ScorePart("P1"), Part("P1", {Note("C", 4, 8)}));
  const std::string mxl = Container(kContainer, "music/score.xml", score);
  EXPECT_TRUE(fxthost::IsMusicXml(mxl));
  EXPECT_EQ(Import(mxl).dump(), Import(score).dump());
  // And directly, as every command reads a document.
  fxthost::Document document;
  fxthost::DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocumentOrScore(mxl, "s.mxl", &document, nullptr, &error, nullptr))
      << error.Message();
  EXPECT_EQ(fxthost::LastMeasure(document.records), 1);
}

TEST(MusicXmlImport, AnMxlEntryAboveTheCapIsRefused) {
  const std::string score = Score(ScorePart("P1"), Part("P1", {Note("C", 4, 8)}));
  const std::string mxl = Container(kContainer, "music/score.xml", score);
  Json members;
  fxthost::DocumentError error;
  EXPECT_TRUE(fxthost::ImportMusicXml(mxl, "t.mxl", &members, nullptr, &error, score.size()));
  EXPECT_FALSE(fxthost::ImportMusicXml(mxl, "t.mxl", &members, nullptr, &error, score.size() - 1));
  EXPECT_EQ(error.Message(), "t.mxl: music/score.xml: unpacks to " + std::to_string(score.size()) +
                                 " bytes, more than the " + std::to_string(score.size() - 1) +
                                 " bytes fxthost unpacks");
}

TEST(MusicXmlImport, RefusesWhatItCannotReadWithThePlace) {
  struct Row {
    const char* rule;
    std::string bytes;
    const char* message;
  };
  const std::string one = ScorePart("P1");
  const Row rows[] = {
      {"Refusals: malformed XML", "<score-partwise><part-list>",
       "t.musicxml: line 1, column 27: malformed XML"},
      {"Refusals: not a MusicXML score", "<html/>",
       "t.musicxml: line 1, column 2: the root element is <html>"},
      {"Refusals: a part listed but missing", Score(one + ScorePart("P2"), Part("P1", {""})),
       "part P2 is in the part list but the score has no music for it"},
      {"Refusals: a part not listed", Score(one, Part("P1", {""}) + Part("P9", {""})),
       "part P9 is not in the part list"},
      {"Refusals: parts of different measure counts",
       Score(one + ScorePart("P2"), Part("P1", {"", ""}) + Part("P2", {""})),
       "t.musicxml: part P2: the part has 1 measures, part P1 has 2"},
      {"Refusals: a staff above staves",
       Score(one, Part("P1", {Note("C", 4, 8, "<staff>2</staff>")})),
       "part P1, measure 1: staff 2 is above the part's 1 staves"},
      {"Refusals: divisions of 0",
       Score(one,
             "<part id=\"P1\"><measure number=\"1\"><attributes><divisions>0</divisions>"
             "</attributes></measure></part>"),
       "divisions of 0"},
      {"Refusals: a duration of no whole EDUs without a type",
       Score(one,
             "<part id=\"P1\"><measure number=\"1\"><attributes><divisions>3000"
             "</divisions></attributes>" +
                 Note("C", 4, 7) + "</measure></part>"),
       "not a whole number of EDUs and it has no type"},
      {"Refusals: numbers that do not fit",
       Score(one, Part("P1", {""}, "<time><beats>99999</beats><beat-type>4</beat-type></time>")),
       "99999 beats do not fit"},
      {"Refusals: an alteration that does not fit",
       Score(one, Part("P1", {"<note><pitch><step>C</step><alter>3e9</alter><octave>4</octave>"
                              "</pitch><duration>2</duration></note>"})),
       "<alter> \"3e9\" is not a number from -32767 to 32767"},
      {"Refusals: an offset that does not fit",
       Score(one, Part("P1", {"<direction><direction-type><words>a</words></direction-type>"
                              "<offset>9e18</offset></direction>"})),
       "<offset> \"9e18\" is not a number from -2147483647 to 2147483647"},
      {"Refusals: a fifth voice",
       Score(one,
             Part("P1", {Note("C", 4, 1, "<voice>1</voice>") + Note("C", 4, 1, "<voice>2</voice>") +
                         Note("C", 4, 1, "<voice>3</voice>") + Note("C", 4, 1, "<voice>4</voice>") +
                         Note("C", 4, 1, "<voice>5</voice>")})),
       "a fifth voice (5)"},
      {"Refusals: a damaged .mxl", std::string("PK\x03\x04garbage", 11),
       "t.musicxml: the .mxl is damaged"},
      {"Refusals: an .mxl whose container names no file",
       Container("<container><rootfiles/></container>", "a.xml", "<x/>"),
       "META-INF/container.xml: the container names no score file"},
      {"Refusals: an .mxl without a container", Container("", "a.xml", "<x/>"),
       "has no file META-INF/container.xml"},
      {"Refusals: the .mxl's score malformed", Container(kContainer, "music/score.xml", "<a>"),
       "t.musicxml: music/score.xml: line 1, column 3: malformed XML"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.rule);
    const std::string message = Refusal(row.bytes);
    EXPECT_NE(message.find(row.message), std::string::npos) << message;
  }
}

TEST(MusicXmlImport, NoEntityIsExpandedAndNoDtdFetched) {
  const std::string score =
      "<?xml version=\"1.0\"?><!DOCTYPE score-partwise [<!ENTITY big \"XXXXXXXXXX\">"
      "<!ENTITY ext SYSTEM \"file:///etc/passwd\">]><score-partwise><part-list>"
      "<score-part id=\"P1\"><part-name>&big;&ext;</part-name></score-part></part-list>"
      "<part id=\"P1\"><measure number=\"1\"/></part></score-partwise>";
  const Json doc = Import(score);
  EXPECT_EQ(doc["staves"][0]["name"].get<std::string>().find("XXXX"), std::string::npos);
  EXPECT_EQ(doc["staves"][0]["name"].get<std::string>().find("root"), std::string::npos);
}

}  // namespace
