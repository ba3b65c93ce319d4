// The music member of a document file (host/files/docfile_music.cpp; docs/fxthost.md,
// "Music"): an entry's written value and tuplet are kept in its record beside the
// sounding duration, written back unchanged, and refused out of range; a refusal in an
// entry or a note names its place, which is made only then.
#include <gtest/gtest.h>

#include <string>

#include "host/files/docfile.h"
#include "host/store/entryframes.h"

namespace {

using fxthost::Document;
using fxthost::DocumentError;
using fxthost::DocumentFile;

std::string Music(const std::string& layer) {
  return R"({ "measures": 1, "staves": [{ "id": 1 }], "music": { "cells": [
    { "staff": 1, "measure": 1, "layers": [)" +
         layer + "] }] } }";
}

TEST(DocumentMusic, WrittenValueAndTupletAreKeptAndWrittenBack) {
  const std::string layer =
      R"([{ "duration": 341, "written": 512, "tuplet": [3, 2], "notes": [{ "level": 0 }] },
          { "duration": 342, "written": 512, "tuplet": [3, 2], "rest": true },
          { "duration": 3413, "notes": [{ "level": 1 }] }])";
  Document document;
  DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(Music(layer), "m.json", &document, nullptr, &error))
      << error.Message();
  const std::string saved = fxthost::FormatDocument(document, DocumentFile());
  EXPECT_NE(saved.find(R"("duration": 342, "written": 512, "tuplet": [3, 2], "rest": true)"),
            std::string::npos)
      << saved;
  EXPECT_EQ(saved.find("records"), std::string::npos) << saved;
  Document again;
  ASSERT_TRUE(fxthost::ParseDocument(saved, "m.json", &again, nullptr, &error)) << error.Message();
  EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);
}

TEST(DocumentMusic, WrittenValueAndTupletOutOfRangeAreRefused) {
  const std::pair<const char*, const char*> rows[] = {
      {R"([{ "duration": 1, "written": 0, "rest": true }])", "layers[0][0].written"},
      {R"([{ "duration": 1, "tuplet": [3, 0], "rest": true }])", "layers[0][0].tuplet[1]"},
      {R"([{ "duration": 1, "tuplet": [3], "rest": true }])", "layers[0][0].tuplet"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(Music(row.first), "m.json", &document, nullptr, &error));
    EXPECT_NE(error.Message().find(row.second), std::string::npos) << error.Message();
  }
}

// The music member written as the writer lays out every value: a cell of positions alone
// on one line, a layer without entries as [], a rest on one line and a note's entry one
// member a line. A layer the member cannot say so that it reads back (a note numbered
// below 0) stays a raw record, and the rest of the music is written by name all the same.
TEST(DocumentMusic, WrittenInTheDocumentLayoutWithARawLayerBesideIt) {
  const std::string text = R"({ "measures": 2, "staves": [{ "id": 1 }], "music": { "cells": [
    { "staff": 1, "measure": 1, "layers": [[], [{ "duration": 1024, "rest": true },
      { "duration": 3072, "notes": [{ "level": -2, "alter": 1 }, { "level": 3, "number": 5 }] }]] },
    { "staff": 1, "measure": 2, "chords": [0, 512], "midiExpressions": [7] }] } })";
  Document document;
  DocumentError error;
  ASSERT_TRUE(fxthost::ParseDocument(text, "m.json", &document, nullptr, &error))
      << error.Message();
  fxthost::MusicLayer unsayable(1);
  unsayable[0].duration = 4096;
  unsayable[0].notes.push_back({0, 0, -1});
  document.records.Put(fxthost::kMusicTag, fxthost::DataKey::Of(1, 2, 0),
                       fxthost::LayerRecord(unsayable));

  const std::string saved = fxthost::FormatDocument(document, DocumentFile());
  const std::string music = R"(
  "music": {
    "cells": [
      {
        "staff": 1,
        "measure": 1,
        "layers": [
          [],
          [
            { "duration": 1024, "rest": true },
            {
              "duration": 3072,
              "notes": [
                { "level": -2, "alter": 1 },
                { "level": 3, "number": 5 }
              ]
            }
          ]
        ]
      },
      { "staff": 1, "measure": 2, "chords": [0, 512], "midiExpressions": [7] }
    ]
  },
  "records": [
    { "tag": "eLyr", "key": [1, 2, 0, 0], )";
  EXPECT_NE(saved.find(music), std::string::npos) << saved;
  Document again;
  ASSERT_TRUE(fxthost::ParseDocument(saved, "m.json", &again, nullptr, &error)) << error.Message();
  EXPECT_TRUE(again.records == document.records);
  EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);

  // More chords in a cell than the member holds (32767) stay raw records, the cell's
  // layers are still written by name.
  for (uint16_t inci = 0; inci <= 0x7FFF; ++inci)
    document.records.Put(fxt::MakeTag('S', 'D', 'C', 'h'), fxthost::DataKey::Of(1, 1, inci),
                         fxthost::RecordStore::Bytes(30, 0));
  const std::string crowded = fxthost::FormatDocument(document, DocumentFile());
  EXPECT_NE(crowded.find(R"("layers": [)"), std::string::npos);
  EXPECT_NE(crowded.find(R"({ "tag": "SDCh", "key": [1, 1, 32767, 0], )"), std::string::npos);
  ASSERT_TRUE(fxthost::ParseDocument(crowded, "m.json", &again, nullptr, &error))
      << error.Message();
  EXPECT_TRUE(again.records == document.records);
}

TEST(DocumentMusic, RefusalsInEntriesAndNotesNameTheirPlace) {
  const std::pair<const char*, const char*> rows[] = {
      {R"([{ "duration": 1, "notes": [{ "level": 1 }, { "level": 40000 }] }])",
       "layers[0][0].notes[1].level: 40000 does not fit here (-32768 to 32767)"},
      {R"([{ "duration": 1, "notes": [{ "level": 1.5 }] }])",
       "layers[0][0].notes[0].level: expected a whole number, found 1.5"},
      {R"([{ "duration": 1, "notes": [{ "level": 1, "alter": -40000 }] }])",
       "layers[0][0].notes[0].alter: -40000 does not fit here (-32768 to 32767)"},
      {R"([{ "duration": 1, "notes": [{ "level": 1, "number": -1 }] }])",
       "layers[0][0].notes[0].number: -1 does not fit here (0 to 32767)"},
      {R"([{ "duration": 1, "notes": [{ "level": 1, "pitch": 2 }] }])",
       "layers[0][0].notes[0].pitch: unknown member (known here: level, alter, number)"},
      {R"([{ "duration": 1, "notes": [{ "alter": 1 }] }])",
       "layers[0][0].notes[0]: a note needs its level"},
      {R"([{ "duration": 1, "notes": [3] }])",
       "layers[0][0].notes[0]: expected an object, found a number"},
      {R"([{ "duration": 1, "notes": {} }])",
       "layers[0][0].notes: expected an array, found an object"},
      {R"([{ "duration": 1, "notes": [] }])",
       "layers[0][0].notes: an entry has 1 to 12 notes, found 0"},
      {R"([{ "duration": 1, "rest": true }, { "duration": 9223372036854775813, "rest": true }])",
       "layers[0][1].duration: 9223372036854775813 does not fit here (1 to 2147483647)"},
      {R"([{ "duration": "1", "rest": true }])",
       "layers[0][0].duration: expected a whole number, found a string"},
      {R"([{ "rest": true }])", "layers[0][0]: an entry needs its duration"},
      {R"([{ "duration": 1, "rest": 1 }])",
       "layers[0][0].rest: expected true or false, found a number"},
      {R"([{ "duration": 1, "rest": true, "colour": 1 }])",
       "layers[0][0].colour: unknown member (known here: duration, written, tuplet, notes, rest)"},
      {R"([{ "duration": 1, "tuplet": "3:2", "rest": true }])",
       "layers[0][0].tuplet: expected two numbers [first, last], found a string"},
      {R"([[]])", "layers[0][0]: expected an object, found an array"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(Music(row.first), "m.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message(), std::string("m.json: music.cells[0].") + row.second);
  }
  // A position of a chord.
  Document document;
  DocumentError error;
  EXPECT_FALSE(fxthost::ParseDocument(
      R"({ "measures": 1, "staves": [{ "id": 1 }], "music": { "cells": [
        { "staff": 1, "measure": 1, "chords": [0, 1.5] }] } })",
      "m.json", &document, nullptr, &error));
  EXPECT_EQ(error.Message(),
            "m.json: music.cells[0].chords[1]: expected a whole number, found 1.5");
}

}  // namespace
