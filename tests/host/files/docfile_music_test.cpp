// The music member of a document file (host/files/docfile_music.cpp; docs/fxthost.md,
// "Music"): an entry's written value and tuplet are kept in its record beside the
// sounding duration, written back unchanged, and refused out of range.
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
}

}  // namespace
