// The music member of a document file (host/files/docfile_music.cpp; docs/fxthost.md,
// "Music"): an entry's written value and tuplet are kept in its record beside the
// sounding duration, written back unchanged, and refused out of range.
#include <gtest/gtest.h>

#include <string>

#include "host/files/docfile.h"

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

}  // namespace
