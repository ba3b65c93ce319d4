// Document files: reading, writing, and refusing what cannot be read.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "bridge/recordbytes.h"
#include "host/files/docfile.h"
#include "host/files/docfile_json.h"
#include "host/store/groups.h"
#include "host/store/score.h"
#include "host/store/scoremodel.h"

namespace {

using fxthost::DataKey;
using fxthost::Document;
using fxthost::DocumentError;
using fxthost::DocumentFile;

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

DataKey Key(uint16_t first, uint16_t second = 0) {
  DataKey key;
  key.first = first;
  key.second = second;
  return key;
}

// Reads the text, failing the test with the refusal when there is one.
bool Load(const std::string& text, Document* document, DocumentFile* info = nullptr) {
  DocumentError error;
  const bool ok = fxthost::ParseDocument(text, "t.json", document, info, &error);
  EXPECT_TRUE(ok) << error.Message();
  return ok;
}

const char* const kSmall = R"({
  "format": "fxthost-document/1",
  "measures": 30,
  "staves": [
    { "id": 3, "name": "Violin I" },
    { "id": 5 },
    { "id": 6, "name": "Viola" }
  ],
  "groups": [
    { "id": 1, "staves": [3, 6], "measures": [1, 20], "name": "Strings", "abbreviation": "Str.", "offset6": 0 }
  ],
  "selection": { "list": 0, "staves": [3, 6], "measures": [5, 8], "startPosition": 0, "endPosition": 2147483647 }
}
)";

const char* const kEverything = R"doc({
  "format": "fxthost-document/1",
  "host": { "version": "0x10000000" },
  "measures": [
    { "beats": 4, "beatDuration": 1024, "key": 0 },
    { "beats": 3, "beatDuration": 1024, "key": 2 },
    { "beats": 6, "beatDuration": 512, "key": -1 }
  ],
  "fonts": [
    { "id": 0, "name": "Times New Roman" },
    { "id": 9, "name": "Garamond" }
  ],
  "fontPrefs": {
    "33": { "font": 9, "size": 14, "effects": 3 },
    "39": { "font": 0, "size": 10, "effects": 0 }
  },
  "staves": [
    { "id": 7, "name": "^font(Garamond)Piano" },
    { "id": 8 },
    { "id": 2, "name": "Horn in E^flat()" }
  ],
  "instrumentLists": { "2": [8, 2], "5": [2] },
  "multiStaffInstruments": [
    { "id": 1, "staves": [7, 8, 0] }
  ],
  "parts": [
    { "id": 3, "name": "Horn in E♭" },
    { "id": 1, "name": "" }
  ],
  "groups": [
    { "id": 4, "staves": [7, 8], "measures": [1, 3], "name": "", "offset6": -12, "bracket": "brace", "barline": "mensurstrich" },
    { "id": 9, "staves": [2, 2], "measures": [2, 40], "abbreviation": "Hn.", "offset6": 5, "barline": "none" },
    { "key": [3, 2], "staves": [8, 2], "measures": [1, 1], "offset6": 0 }
  ],
  "selection": { "list": 2, "staves": [8, 2], "measures": [2, 3], "startPosition": 0, "endPosition": 2147483647 },
  "records": [
    { "tag": 16909060, "key": [0, 0, 0, 0], "hex": "" },
    { "tag": "ABCD", "key": [1, 2, 3, 4], "hex": "00ff10" }
  ]
}
)doc";

TEST(DocumentFile, LoadThenSaveGivesTheSameText) {
  const std::string orchestra = ReadText(std::string(FXT_EXAMPLES_DIR) + "/orchestra.json");
  ASSERT_FALSE(orchestra.empty());
  const std::string texts[] = {orchestra, kSmall, kEverything,
                               "{\n  \"format\": \"fxthost-document/1\"\n}\n"};
  for (const std::string& text : texts) {
    SCOPED_TRACE(text.substr(0, 120));
    Document document;
    DocumentFile info;
    ASSERT_TRUE(Load(text, &document, &info));
    EXPECT_EQ(fxthost::FormatDocument(document, info), text);
  }
}

TEST(DocumentFile, TheBuiltInScoreIsTheExampleFile) {
  EXPECT_EQ(std::string(fxthost::kDemoScore),
            ReadText(std::string(FXT_EXAMPLES_DIR) + "/orchestra.json"));
}

TEST(DocumentFile, LoadsGroupsWithTheirNamesThroughTextBlocks) {
  Document document;
  ASSERT_TRUE(Load(kEverything, &document));
  struct Row {
    uint16_t first, number;
    int16_t top, bottom, start, end, offset6, bracket, barline;
    const char* full;  // null: no name block
    const char* abbreviated;
  };
  const Row rows[] = {
      {0, 4, 7, 8, 1, 3, -12, fxthost::kBracketStyleBrace, fxthost::kBarlineMensurstrich, "",
       nullptr},
      {0, 9, 2, 2, 2, 40, 5, 0, fxthost::kBarlineNone, nullptr, "Hn."},
      {3, 2, 8, 2, 1, 1, 0, 0, 0, nullptr, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.number);
    fxthost::GroupRecord group;
    ASSERT_TRUE(fxthost::ReadGroup(document, row.first, row.number, &group));
    EXPECT_EQ(group.startStaff, row.top);
    EXPECT_EQ(group.endStaff, row.bottom);
    EXPECT_EQ(group.startMeasure, row.start);
    EXPECT_EQ(group.endMeasure, row.end);
    EXPECT_EQ(group.offset6, row.offset6);
    EXPECT_EQ(group.bracket, row.bracket);
    EXPECT_EQ(group.barline, row.barline);
    fxthost::GroupNames names;
    ASSERT_TRUE(fxthost::ReadGroupNames(document, row.first, row.number, &names));
    EXPECT_EQ(names.fullBlock != 0, row.full != nullptr);
    EXPECT_EQ(names.abbreviatedBlock != 0, row.abbreviated != nullptr);
    if (row.full) {
      EXPECT_EQ(names.full.value_or("(none)"), row.full);
    }
    if (row.abbreviated) {
      EXPECT_EQ(names.abbreviated.value_or("(none)"), row.abbreviated);
    }
  }
  // The rest of the schema, read through the host's own readers.
  EXPECT_EQ(fxthost::ReadInstrumentList(document, 0), (std::vector<int16_t>{7, 8, 2}));
  EXPECT_EQ(fxthost::ReadInstrumentList(document, 2), (std::vector<int16_t>{8, 2}));
  EXPECT_EQ(fxthost::LastMeasure(document.records), 3);
  EXPECT_EQ(fxthost::MeasureDuration(document.records, 3), 6 * 512);
  fxthost::FontPref pref;
  ASSERT_TRUE(fxthost::ReadFontPref(document, 33, &pref));
  EXPECT_EQ(pref.font, 9);
  EXPECT_EQ(pref.size, 14);
  EXPECT_EQ(pref.effects, 3);
  EXPECT_EQ(*fxthost::FontNameOf(document.fonts, 9), "Garamond");
  EXPECT_EQ(fxthost::FontNameOf(document.fonts, 1), nullptr);
  const fxthost::Region selection = fxthost::Selection(document);
  EXPECT_EQ(selection, fxthost::Region::Cells(2, 1, 2, 2, 3));
  const auto* raw = document.records.Find(fxt::MakeTag('A', 'B', 'C', 'D'), DataKey{1, 2, 3, 4});
  ASSERT_NE(raw, nullptr);
  EXPECT_EQ(*raw, (fxthost::RecordStore::Bytes{0x00, 0xFF, 0x10}));
}

TEST(DocumentFile, AGroupPastTheLastMeasureIsKeptAsItIs) {
  Document document;
  ASSERT_TRUE(Load(R"({ "measures": 10, "staves": [{ "id": 1 }],
                        "groups": [{ "id": 2, "staves": [1, 1], "measures": [8, 300] }] })",
                   &document));
  fxthost::GroupRecord group;
  ASSERT_TRUE(fxthost::ReadGroup(document, 0, 2, &group));
  EXPECT_EQ(group.startMeasure, 8);
  EXPECT_EQ(group.endMeasure, 300);
}

// A document as a command leaves it: groups added after the load with new name blocks,
// records the schema does not name, settings in bytes the schema does not show.
TEST(DocumentFile, SavingKeepsEverythingTheCommandAndTheHostLeft) {
  Document document;
  ASSERT_TRUE(Load(kSmall, &document));
  // A new group with new name blocks, as the command makes one.
  fxthost::GroupRecord split;
  ASSERT_TRUE(fxthost::ReadGroup(document, 0, 1, &split));
  split.number = 2;
  split.startMeasure = 5;
  split.fullNameBlock = fxthost::NewTextBlock(document, "Strings (Split Group 2)");
  split.abbreviatedNameBlock = fxthost::NewTextBlock(document, "Str. (Sp Grp 2)");
  ASSERT_TRUE(fxthost::WriteGroup(document, split));
  // A text block that no name uses, and an unknown record.
  const uint16_t orphan = fxthost::NewTextBlock(document, "left over");
  document.records.Put(fxt::MakeTag('Z', 'Z', 'Z', 'Z'), Key(4, 4), {1, 2, 3});
  // Bytes of a staff, a group, a measure and a staff-list entry the schema does not show.
  auto poke = [&](uint32_t tag, const DataKey& key, size_t offset, uint8_t value) {
    fxthost::RecordStore::Bytes bytes = *document.records.Find(tag, key);
    bytes[offset] = value;
    document.records.Put(tag, key, bytes);
  };
  poke(fxthost::kStaffTag, Key(3), 100, 0x42);
  poke(fxthost::kGroupTag, Key(0, 2), 10, 0x17);
  poke(fxthost::kMeasureTag, Key(4), 20, 0x99);
  poke(fxthost::kSystemStaffTag, Key(0, 1), 12, 0x33);

  const std::string saved = fxthost::FormatDocument(document, DocumentFile());
  Document again;
  ASSERT_TRUE(Load(saved, &again));
  EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);

  const std::pair<uint32_t, DataKey> carried[] = {
      {fxthost::kMeasureTag, Key(4)},
      {fxthost::kSystemStaffTag, Key(0, 1)},
      {fxt::MakeTag('Z', 'Z', 'Z', 'Z'), Key(4, 4)},
  };
  for (const auto& record : carried) {
    SCOPED_TRACE(record.second.first);
    ASSERT_NE(again.records.Find(record.first, record.second), nullptr);
    EXPECT_EQ(*again.records.Find(record.first, record.second),
              *document.records.Find(record.first, record.second));
  }
  // Named records keep their other bytes and their names.
  EXPECT_EQ((*again.records.Find(fxthost::kStaffTag, Key(3)))[100], 0x42);
  EXPECT_EQ((*again.records.Find(fxthost::kGroupTag, Key(0, 2)))[10], 0x17);
  fxthost::StaffInfo staff;
  ASSERT_TRUE(fxthost::ReadStaff(again, 3, &staff));
  EXPECT_EQ(staff.name, "Violin I");
  const std::pair<uint16_t, const char*> names[] = {{1, "Strings"}, {2, "Strings (Split Group 2)"}};
  for (const auto& name : names) {
    fxthost::GroupNames read;
    ASSERT_TRUE(fxthost::ReadGroupNames(again, 0, name.first, &read));
    EXPECT_EQ(read.full.value_or("(none)"), name.second);
  }
  std::string text;
  ASSERT_TRUE(fxthost::ReadTextBlock(again, orphan, &text));
  EXPECT_EQ(text, "left over");
}

// A staff that is only a raw record (not in the score order) may still be named by a
// group, an instrument list, a staff list, an expression or a cell of music: the file
// keeps saying those by name, and only that staff's record as a raw one (fxthost.md,
// Writing).
TEST(DocumentFile, NamesWhatRefersToAStaffOutsideTheScoreOrder) {
  const std::string staff7 = R"({ "tag": "SOIS", "key": [7, 0, 0, 0], "hex": "0700" })";
  struct Row {
    std::string text;
    const char* named;  // written by name
  };
  const Row rows[] = {
      {R"({ "measures": 4, "staves": [{ "id": 3 }],
            "staffLists": [{ "id": 1, "kind": "otDC", "staves": [7, 3] }],
            "records": [)" +
           staff7 + "] }",
       R"("staffLists": [
    { "id": 1, "kind": "otDC", "staves": [7, 3] }
  ])"},
      {R"({ "measures": 4, "staves": [{ "id": 3 }], "textExpressions": [{ "id": 1 }],
            "expressions": [{ "measure": 2, "staff": 7, "definition": 1, "position": 0 }],
            "records": [)" +
           staff7 + "] }",
       R"({ "measure": 2, "staff": 7, "definition": 1, "position": 0 })"},
      {R"({ "measures": 4, "staves": [{ "id": 3 }],
            "music": { "cells": [{ "staff": 7, "measure": 1, "chords": [0] }] },
            "records": [)" +
           staff7 + "] }",
       R"({ "staff": 7, "measure": 1, "chords": [0] })"},
      {R"({ "measures": 4, "staves": [{ "id": 3 }],
            "groups": [{ "id": 1, "staves": [3, 7], "measures": [1, 4], "name": "Mixed" }],
            "records": [)" +
           staff7 + "] }",
       R"("groups": [
    { "id": 1, "staves": [3, 7], "measures": [1, 4], "name": "Mixed", "offset6": 0 }
  ])"},
      {R"({ "measures": 4, "staves": [{ "id": 3 }], "instrumentLists": { "2": [7, 3] },
            "records": [)" +
           staff7 + "] }",
       R"("instrumentLists": { "2": [7, 3] })"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Document document;
    ASSERT_TRUE(Load(row.text, &document));
    const std::string saved = fxthost::FormatDocument(document, DocumentFile());
    EXPECT_NE(saved.find(row.named), std::string::npos) << saved;
    EXPECT_NE(saved.find(R"("records": [
    { "tag": "SOIS", "key": [7, 0, 0, 0], "hex": "0700" }
  ])"),
              std::string::npos)
        << saved;
    Document again;
    ASSERT_TRUE(Load(saved, &again));
    EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);
  }
}

// Records that the schema must leave raw, lest reading the saved file make records the
// document did not have: the saved file reads back as the same records.
TEST(DocumentFile, SavedFilesReadBackAsTheSameRecords) {
  const std::string group33 = "03000300" + std::string(56, '0') + "01000100";
  const std::string rows[] = {
      // A score order whose staff has no record, and a group on that staff.
      R"({ "measures": 2, "records": [
           { "tag": "SOIu", "key": [0, 0, 0, 0], "hex": "0300" },
           { "tag": "SDNG", "key": [0, 1, 0, 0], "hex": ")" +
          group33 + R"(" }] })",
      // A multi-staff instrument under a key the schema cannot name.
      R"({ "records": [{ "tag": "otMG", "key": [1, 0, 5, 0], "hex": "010002000000000000000000" }] })",
  };
  for (const std::string& row : rows) {
    SCOPED_TRACE(row);
    Document document;
    ASSERT_TRUE(Load(row, &document));
    const std::string saved = fxthost::FormatDocument(document, DocumentFile());
    Document again;
    ASSERT_TRUE(Load(saved, &again));
    EXPECT_TRUE(again.records == document.records) << saved;
    EXPECT_EQ(fxthost::FormatDocument(again, DocumentFile()), saved);
  }
}

TEST(DocumentFile, NamesTakeTextNumbersTheRawRecordsLeaveFree) {
  // A raw text block 1 with its raw text 1: the group's name must not take either.
  const std::string block = "0100000000000000640000000000081a00000000000000006c62";
  Document document;
  ASSERT_TRUE(Load(R"({ "staves": [{ "id": 1 }],
                        "groups": [{ "id": 1, "staves": [1, 1], "measures": [1, 2], "name": "Mine" }],
                        "records": [{ "tag": "SOTX", "key": [1, 0, 0, 0], "hex": ")" +
                       block + R"(" },
                                    { "tag": "txbl", "key": [1, 0, 0, 0], "hex": "4f0074000000" }] })",
                   &document));
  fxthost::GroupNames names;
  ASSERT_TRUE(fxthost::ReadGroupNames(document, 0, 1, &names));
  EXPECT_NE(names.fullBlock, 1);
  EXPECT_EQ(names.full.value_or("(none)"), "Mine");
  std::string text;
  ASSERT_TRUE(fxthost::ReadTextBlock(document, 1, &text));
  EXPECT_EQ(text, "Ot");
}

// A raw record gives the bytes that a member naming part of a record leaves out (here a
// staff's); a record that a member gives whole and a raw record gives again is refused,
// naming both (fxthost.md, Order of reading).
TEST(DocumentFile, ARecordGivenByAMemberAndAgainAsARawRecordIsRefused) {
  Document staff;
  ASSERT_TRUE(Load(R"({ "staves": [{ "id": 3, "name": "Oboe" }],
                        "records": [{ "tag": "SOIS", "key": [3], "hex": "0300ff" }] })",
                   &staff));
  EXPECT_EQ((*staff.records.Find(fxthost::kStaffTag, Key(3)))[2], 0xFF);

  const std::string head = R"({ "measures": 2, "staves": [{ "id": 3 }], )";
  auto raw = [](const char* tag, const char* key, size_t bytes) {
    return std::string(R"("records": [{ "tag": ")") + tag + R"(", "key": )" + key +
           R"(, "hex": ")" + std::string(bytes * 2, '0') + R"(" }] })";
  };
  struct Row {
    std::string members;
    const char* message;
  } rows[] = {
      {R"("fontPrefs": { "33": { "font": 1 } }, )" + raw("pfdf", "[33]", 6),
       R"(fontPrefs["33"]: the same record is given again as records[0])"},
      {R"("sideRecords": { "ot25": [null, [1, 2, 3, 4, 5, 6]] }, )" +
           raw("ot25", "[65534, 1, 0, 0]", 12),
       R"(sideRecords["ot25"][1]: the same record is given again as records[0])"},
      {R"("staffLists": [{ "id": 1, "staves": [3] }], )" + raw("otDC", "[1, 0]", 2),
       "staffLists[0].staves[0]: the same record is given again as records[0]"},
      {R"("music": { "shownLayers": [1] }, )" + raw("eShL", "[0]", 4),
       "music.shownLayers: the same record is given again as records[0]"},
      {R"("music": { "cells": [{ "staff": 3, "measure": 1, "layers": [[], [{ "duration": 1, "rest": true }]] }] }, )" +
           raw("eLyr", "[3, 1, 1]", 146),
       "music.cells[0].layers[1]: the same record is given again as records[0]"},
      {R"("music": { "cells": [{ "staff": 3, "measure": 2, "chords": [0, 5] }] }, )" +
           raw("SDCh", "[3, 2, 1]", 30),
       "music.cells[0].chords[1]: the same record is given again as records[0]"},
      {R"("music": { "cells": [{ "staff": 3, "measure": 2, "midiExpressions": [0] }] }, )" +
           raw("dtME", "[3, 2, 0]", 10),
       "music.cells[0].midiExpressions[0]: the same record is given again as records[0]"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.members);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(head + row.members, "t.json", &document, nullptr, &error));
    EXPECT_EQ(error.Message(), std::string("t.json: ") + row.message);
  }
}

TEST(DocumentFile, RefusesWhatItCannotReadAndSaysWhereAndWhy) {
  const std::string staves = R"("measures": 10, "staves": [{ "id": 3 }, { "id": 6 }])";
  struct Row {
    std::string text;
    const char* place;
    const char* reason;  // a part of the reason
  };
  // fxthost.md, Document files: the members' ranges and rules; Refusals: the message names
  // the file, the place and the reason, and the document stays as it was.
  const Row rows[] = {
      {"{ \"measures\": 3,\n  \"staves\": [ }", "line 2, column 15", "malformed JSON"},
      {"", "line 1, column 1", "malformed JSON"},
      {"[1, 2]", "", "a document is one JSON object"},
      {R"({ "colour": 1 })", "colour", "unknown member"},
      {R"({ "format": "fxthost-document/2" })", "format", "unknown format"},
      {R"({ "host": { "version": "11000000" } })", "host.version", "expected a version"},
      {R"({ "measures": "ten" })", "measures", "expected a count of measures"},
      {R"({ "measures": 40000 })", "measures", "does not fit"},
      {R"({ "measures": 2.5 })", "measures", "whole number"},
      {R"({ "measures": [{ "beats": 70000 }] })", "measures[0].beats", "does not fit"},
      {R"({ "fonts": [{ "id": 1, "name": "A" }, { "id": 1, "name": "B" }] })", "fonts[1].id",
       "given twice"},
      {R"({ "fontPrefs": { "x3": {} } })", "fontPrefs[\"x3\"]", "number as the member name"},
      {R"({ "fontPrefs": { "33": { "effects": -1 } } })", "fontPrefs[\"33\"].effects",
       "does not fit"},
      {R"({ "parts": [{ "id": 0, "name": "Score" }] })", "parts[0].id", "part 0 is the score"},
      {R"({ "parts": [{ "id": 2, "name": "A" }, { "id": 2, "name": "B" }] })", "parts[1].id",
       "given twice"},
      {R"({ "parts": [{ "id": 2 }] })", "parts[0]", "needs an id and a name"},
      {R"({ "parts": [{ "id": 40000, "name": "A" }] })", "parts[0].id", "does not fit"},
      {R"({ "parts": { "1": "A" } })", "parts", "expected an array"},
      {R"({ "staves": [{ "id": 0 }] })", "staves[0].id", "does not fit"},
      {R"({ "staves": [{ "id": 3, "name": 5 }] })", "staves[0].name", "expected a string"},
      {R"({ "staves": [{ "id": 3 }, { "id": 3 }] })", "staves[1].id", "given twice"},
      {R"({ "staves": [{ "id": 3, "colour": "red" }] })", "staves[0].colour", "unknown member"},
      {"{" + staves + R"(, "instrumentLists": { "0": [3] } })", "instrumentLists[\"0\"]",
       "list 0 is the score order"},
      {"{" + staves + R"(, "instrumentLists": { "2": [3, 9] } })", "instrumentLists[\"2\"][1]",
       "staff 9 does not exist"},
      {R"({ "multiStaffInstruments": [{ "id": 1, "staves": [1, 2, 3, 4] }] })",
       "multiStaffInstruments[0].staves", "one to three staves"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 9], "measures": [1, 2] }] })",
       "groups[0].staves[1]", "staff 9 does not exist"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3], "measures": [1, 2] }] })",
       "groups[0].staves", "expected two numbers"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [0, 2] }] })",
       "groups[0].measures[0]", "measures count from 1"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [5, 2] }] })",
       "groups[0].measures[1]", "ends before it starts"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 99999] }] })",
       "groups[0].measures[1]", "does not fit"},
      {"{" + staves + R"(, "groups": [{ "id": 0, "staves": [3, 6], "measures": [1, 2] }] })",
       "groups[0].id", "not a group number"},
      {"{" + staves + R"(, "groups": [{ "id": 70000, "staves": [3, 6], "measures": [1, 2] }] })",
       "groups[0].id", "does not fit"},
      {"{" + staves + R"(, "groups": [{ "id": 2, "staves": [3, 6], "measures": [1, 2] },
                                    { "id": 2, "staves": [3, 3], "measures": [1, 2] }] })",
       "groups[1].id", "given twice"},
      {"{" + staves +
           R"(, "groups": [{ "id": 2, "key": [0, 3], "staves": [3, 6], "measures": [1, 2] }] })",
       "groups[0].id", "differs from the second number of the key"},
      {"{" + staves + R"(, "groups": [{ "staves": [3, 6], "measures": [1, 2] }] })", "groups[0]",
       "needs its id"},
      // fxthost.md, records: a layer record is whole entries, at most 32767.
      {R"({ "records": [{ "tag": "eLyr", "key": [3, 1, 0], "hex": ")" + std::string(147 * 2, '0') +
           R"(" }] })",
       "records[0].hex", "whole entries of 146 bytes, at most 32767 of them, found 147 bytes"},
      {R"({ "records": [{ "tag": "eLyr", "key": [3, 1, 0], "hex": ")" +
           std::string(146 * 32768 * 2, '0') + R"(" }] })",
       "records[0].hex", "found 4784128 bytes"},
      {"{" + staves +
           R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2], "offset6": 40000 }] })",
       "groups[0].offset6", "does not fit"},
      {"{" + staves +
           R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2], "bracket": "curly" }] })",
       "groups[0].bracket", "\"curly\" is not one of bracket, brace, square, line, none"},
      {"{" + staves +
           R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2], "barline": 1 }] })",
       "groups[0].barline", "expected a string"},
      {"{" + staves +
           R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2], "name": null }] })",
       "groups[0].name", "expected a string"},
      {"{" + staves + R"(, "selection": { "staves": [3, 6], "measures": [5, 80] } })",
       "selection.measures", "outside the document (measures 1 to 10)"},
      {"{" + staves + R"(, "selection": { "staves": [3, 7], "measures": [1, 2] } })",
       "selection.staves[1]", "staff 7 is not in list 0"},
      {"{" + staves + R"(, "selection": { "slots": [1, 3], "measures": [1, 2] } })",
       "selection.slots[1]", "slot 3 is outside list 0 (2 staves)"},
      {"{" + staves + R"(, "selection": { "staves": [6, 3], "measures": [1, 2] } })",
       "selection.staves", "top staff comes after the bottom staff"},
      {"{" + staves +
           R"(, "selection": { "staves": [3, 6], "slots": [1, 2], "measures": [1, 2] } })",
       "selection", "not both"},
      {"{" + staves + R"(, "selection": { "staves": [3, 6] } })", "selection",
       "needs its measures"},
      {"{" + staves +
           R"(, "selection": { "staves": [3, 6], "measures": [1, 1], "startPosition": -1 } })",
       "selection.startPosition", "does not fit"},
      {"{" + staves + R"(, "selection": { "list": 4, "staves": [3, 6], "measures": [1, 2] } })",
       "selection.staves[0]", "staff 3 is not in list 4"},
      {R"({ "records": [{ "tag": "ABC", "key": [1], "hex": "00" }] })", "records[0].tag",
       "four characters"},
      {R"({ "records": [{ "tag": "ABCD", "key": [1], "hex": "0" }] })", "records[0].hex",
       "pairs of digits"},
      {R"({ "records": [{ "tag": "ABCD", "key": [1], "hex": "zz" }] })", "records[0].hex",
       "not a hexadecimal digit"},
      {R"({ "records": [{ "tag": "ABCD", "key": [1, 2, 3, 4, 5], "hex": "" }] })", "records[0].key",
       "one to four numbers"},
      {R"({ "records": [{ "tag": "ABCD", "key": [1], "hex": "" }, { "tag": "ABCD", "key": [1, 0], "hex": "01" }] })",
       "records[1]", "given twice"},
      // A group record the host could not read would vanish from the chart and the groups
      // (fxthost.md, records: a group record has at least 36 bytes).
      {R"({ "records": [{ "tag": "SDNG", "key": [0, 1], "hex": "0100" }] })", "records[0].hex",
       "a group record is 36 bytes, found 2"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2] }],
                      "records": [{ "tag": "SDNG", "key": [0, 1, 0, 0], "hex": "03000600" }] })",
       "records[0].hex", "a group record is 36 bytes, found 4"},
      // A member given twice would otherwise lose the first silently (fxthost.md, Strict
      // JSON).
      {R"({ "measures": 3, "measures": 4 })", "measures", "given twice"},
      {R"({ "staves": [{ "id": 3 }, { "id": 4, "name": "A", "name": "B" }] })", "staves[1].name",
       "given twice"},
      {R"({ "fontPrefs": { "33": { "font": 1 }, "33": { "font": 2 } } })", "fontPrefs[\"33\"]",
       "given twice"},
      {"{" + staves + R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2],
                                     "offset6": 1, "offset6": 2 }] })",
       "groups[0].offset6", "given twice"},
      // A NUL would cut the text short (fxthost.md, Strict JSON).
      {R"({ "staves": [{ "id": 3, "name": "Vio\u0000lin" }] })", "staves[0].name", "U+0000"},
      {"{" + staves +
           R"(, "groups": [{ "id": 1, "staves": [3, 6], "measures": [1, 2], "abbreviation": "\u0000" }] })",
       "groups[0].abbreviation", "U+0000"},
      {R"({ "fonts": [{ "id": 0, "name": "Arial" }, { "id": 1, "name": "A\u0000B" }] })",
       "fonts[1].name", "U+0000"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    Document document;
    ASSERT_TRUE(Load(kSmall, &document));
    const Document::Content before = document.Snapshot();
    const std::string selectionBefore(document.selection, document.selection + 20);
    DocumentError error;
    EXPECT_FALSE(fxthost::ParseDocument(row.text, "bad.json", &document, nullptr, &error));
    EXPECT_EQ(error.file, "bad.json");
    EXPECT_EQ(error.place, row.place);
    EXPECT_NE(error.reason.find(row.reason), std::string::npos) << error.reason;
    // Nothing of the refused file reaches the document.
    EXPECT_TRUE(document.Snapshot() == before);
    EXPECT_EQ(std::string(document.selection, document.selection + 20), selectionBefore);
  }
}

TEST(DocumentFile, MessageNamesFilePlaceAndReason) {
  EXPECT_EQ((DocumentError{"a.json", "groups[2].staves[1]", "staff 9 does not exist"}).Message(),
            "a.json: groups[2].staves[1]: staff 9 does not exist");
  EXPECT_EQ((DocumentError{"a.json", "", "cannot be read"}).Message(), "a.json: cannot be read");
}

// fxthost.md, Refusals: a file that cannot be opened or read gives the system's reason;
// a directory is named as one (it would otherwise read as an empty text).
TEST(DocumentFile, AFileThatCannotBeReadGivesTheReason) {
  const std::string examples = FXT_EXAMPLES_DIR;
  const std::pair<std::string, std::string> rows[] = {
      {"/nonexistent/dir/x.json", std::string("cannot be read: ") + std::strerror(ENOENT)},
      {examples + "/missing.json", std::string("cannot be read: ") + std::strerror(ENOENT)},
      {examples, "is a directory"},
      {examples + "/cases", "is a directory"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    DocumentError error;
    EXPECT_FALSE(fxthost::ReadDocumentFile(row.first, &document, nullptr, &error));
    EXPECT_EQ(error.Message(), row.first + ": " + row.second);
  }
  Document document;
  DocumentError error;
  EXPECT_TRUE(fxthost::ReadDocumentFile(examples + "/inside.json", &document, nullptr, &error))
      << error.Message();
}

TEST(DocumentFile, WritesAtomicallyOrNotAtAll) {
  namespace fs = std::filesystem;
  const fs::path dir =
      fs::temp_directory_path() /
      ("fxt_docfile_" +
       std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string path = (dir / "out.json").string();
  std::string error;
  ASSERT_TRUE(fxthost::WriteFileAtomically(path, "first", &error)) << error;
  ASSERT_TRUE(fxthost::WriteFileAtomically(path, "second", &error)) << error;
  EXPECT_EQ(ReadText(path), "second");
  // A directory in the way: refused, the old content stays, no temporary is left.
  fs::create_directories(dir / "blocked.json");
  EXPECT_FALSE(fxthost::WriteFileAtomically((dir / "blocked.json").string(), "x", &error));
  EXPECT_FALSE(error.empty());
  EXPECT_FALSE(fxthost::WriteFileAtomically((dir / "missing" / "x.json").string(), "x", &error));
  size_t entries = 0;
  for (const auto& entry : fs::directory_iterator(dir)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 2u);  // out.json and blocked.json
  EXPECT_EQ(ReadText(path), "second");
  fs::remove_all(dir);
}

}  // namespace

namespace {

// Texts are written as JSON escapes them, whether plain ASCII (written as they are) or
// not: each comes back the same when the file is read again.
TEST(DocumentFile, TextsAreWrittenEscapedAsJsonEscapesThem) {
  const std::pair<const char*, const char*> rows[] = {
      {"Violin I", R"("Violin I")"},
      {"say \"dolce\"", R"("say \"dolce\"")"},
      {"back\\slash", R"("back\\slash")"},
      {"tab\there", R"("tab\there")"},
      {"Cl. in B\xE2\x99\xAD", "\"Cl. in B\xE2\x99\xAD\""},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.first);
    Document document;
    ASSERT_TRUE(
        Load(fxthost::Json{{"staves", {{{"id", 1}, {"name", row.first}}}}}.dump(), &document));
    const std::string saved = fxthost::FormatDocument(document, DocumentFile());
    EXPECT_NE(saved.find(std::string("\"name\": ") + row.second), std::string::npos) << saved;
    Document again;
    ASSERT_TRUE(Load(saved, &again));
    EXPECT_TRUE(again.records == document.records);
  }
}

}  // namespace
