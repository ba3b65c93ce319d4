// Shape definitions (instructions read from and built into the record, damaged records
// read only within their size), percussion layout notes and staff style names, each
// kept by the host like any other record.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "bridge/finalepdk.h"
#include "bridge/recordbytes.h"
#include "framework/notation/percussionlayoutnote.h"
#include "framework/notation/shapedef.h"
#include "framework/notation/staffstyledef.h"
#include "framework/text/fcstring.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"

namespace {

// Instructions as code:items, each item written as its first byte.
struct Spec {
  short code;
  std::vector<uint8_t> items;  // one byte per item: the item's first byte, the rest 0
};

FCShapeDefInstruction* Instruction(const Spec& spec) {
  std::vector<uint8_t> bytes(spec.items.size() * FCShapeDefInstruction::ITEM_SIZE, 0);
  for (size_t i = 0; i < spec.items.size(); ++i)
    bytes[i * FCShapeDefInstruction::ITEM_SIZE] = spec.items[i];
  return new FCShapeDefInstruction(spec.code, static_cast<int>(spec.items.size()),
                                   bytes.empty() ? nullptr : bytes.data());
}

bool Build(FCShapeDef& shape, const std::vector<Spec>& specs) {
  FCShapeDefInstructions instructions;
  for (const Spec& spec : specs) instructions.Add(Instruction(spec));
  return shape.RecreateInstructions(&instructions);
}

// "code:first bytes of the items" of each instruction the shape reads, e.g. "5:1,2 7:".
std::string Read(const FCShapeDef& shape) {
  std::unique_ptr<FCShapeDefInstructions> instructions(shape.CreateInstructions());
  std::string text;
  for (int i = 0; i < instructions->GetCount(); ++i) {
    const FCShapeDefInstruction* instruction = instructions->GetItemAt(i);
    text += (i ? " " : "") + std::to_string(instruction->GetCode()) + ":";
    EXPECT_EQ(instruction->GetItems() == nullptr, instruction->GetItemCount() == 0);
    for (int item = 0; item < instruction->GetItemCount(); ++item)
      text += (item ? "," : "") +
              std::to_string(instruction->GetItems()[item * FCShapeDefInstruction::ITEM_SIZE]);
  }
  return text;
}

uint8_t* Bytes(FCShapeDef& shape) { return static_cast<uint8_t*>(shape._GetDataBlock()); }

// definitions.md, Shape definitions: the start field is a byte offset; null elements of
// the collection are skipped.
TEST(ShapeDef, BuildsTheRecordLayoutAndReadsItBack) {
  FCShapeDef shape;
  FCShapeDefInstructions instructions;
  instructions.Add(Instruction({5, {1, 2, 3}}));
  instructions.Add(nullptr);  // skipped
  instructions.Add(Instruction({-7, {4}}));
  ASSERT_TRUE(shape.RecreateInstructions(&instructions));
  ASSERT_EQ(shape._GetLoadedSize(), 118);
  const uint8_t* record = Bytes(shape);
  const struct {
    size_t offset;
    uint32_t value;
  } header[] = {{42, 100}, {46, 100}, {50, 66}, {54, 82}, {58, 2}, {62, 4}};
  for (const auto& field : header) {
    SCOPED_TRACE(field.offset);
    EXPECT_EQ(fxt::GetU32(record, field.offset), field.value);
  }
  const uint8_t table[] = {5, 0, 2, 3, 0, 0, 0, 0, 0xF9, 0xFF, 2, 1, 27, 0, 0, 0};
  EXPECT_EQ(std::vector<uint8_t>(record + 66, record + 82),
            std::vector<uint8_t>(table, table + sizeof table));
  EXPECT_EQ(record[82 + 27], 4) << "the second instruction's item";
  EXPECT_EQ(Read(shape), "5:1,2,3 -7:4") << "the start field is read as the byte offset";
}

TEST(ShapeDef, RefusesWhatTheRecordCannotSayAndKeepsItsRecord) {
  std::vector<Spec> tooMany(301, Spec{1, {}});
  // The 16th instruction would start 15 x 255 x 9 = 34425 bytes into the data area.
  const std::vector<Spec> longData(16, Spec{1, std::vector<uint8_t>(255, 1)});
  const struct {
    const char* name;
    std::vector<Spec> specs;
  } rows[] = {
      {"no instructions", {}},
      {"301 instructions (definitions.md: more than 300 instructions)", tooMany},
      {"256 items (definitions.md: an instruction of more than 255 items)",
       {{1, std::vector<uint8_t>(256, 0)}}},
      {"items past 32767 bytes (definitions.md: items starting more than 32767 bytes in)",
       longData},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    FCShapeDef shape;
    ASSERT_TRUE(Build(shape, {{2, {6}}}));
    EXPECT_FALSE(Build(shape, row.specs));
    EXPECT_EQ(Read(shape), "2:6");
  }
  FCShapeDef shape;
  EXPECT_FALSE(shape.RecreateInstructions(nullptr));
  EXPECT_TRUE(Build(shape, std::vector<Spec>(300, Spec{1, {}}))) << "300 is the most";
}

TEST(ShapeDef, DamagedRecordsAreReadOnlyWithinTheirSize) {
  struct Row {
    const char* name;
    size_t offset;  // a 32-bit field (or 16-bit, below) set to value; 0: none
    uint32_t value;
    bool word;
    int32_t size;  // the loaded size afterwards; 0: as built
    const char* read;
  } rows[] = {
      // clang-format off
      {"intact", 0, 0, false, 0, "5:1,2,3 6: 7:4"},
      {"count 301 (definitions.md: A count above 300 holds no instructions)",
       58, 301, false, 0, ""},
      {"count 0xFFFFFFFF (definitions.md: A count above 300, compared as unsigned)",
       58, 0xFFFFFFFF, false, 0, ""},
      {"a count past the table reads what lies there", 58, 4, false, 0, "5:1,2,3 6: 7:4 1:"},
      {"table offset far past the end (definitions.md: added without overflow)",
       50, 0xFFFFFFF0, false, 0, ""},
      {"data offset far past the end (definitions.md: added without overflow)",
       54, 0xFFFFFFF0, false, 0, ""},
      {"items of the third past the end (definitions.md: whose items do not fit)",
       74 + 8 + 4, 500, true, 0, "5:1,2,3 6:"},
      {"a negative start (definitions.md: or start before the data area)",
       66 + 4, 0xFFF7, true, 0, ""},
      {"cut inside the last item (definitions.md: Reading stays within the record)",
       0, 0, false, 125, "5:1,2,3 6:"},
      {"cut inside the table (definitions.md: whose table entry does not fit)",
       0, 0, false, 80, ""},
      {"cut inside the header (definitions.md: shorter than its 66-byte header)",
       0, 0, false, 65, ""},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    FCShapeDef shape;
    ASSERT_TRUE(Build(shape, {{5, {1, 2, 3}}, {6, {}}, {7, {4}}}));
    ASSERT_EQ(shape._GetLoadedSize(), 66 + 24 + 36);
    if (row.offset != 0 && row.word)
      fxt::PutU16(Bytes(shape), row.offset, static_cast<uint16_t>(row.value));
    else if (row.offset != 0)
      fxt::PutU32(Bytes(shape), row.offset, row.value);
    if (row.size != 0) shape._SetLoadedSize(row.size);
    EXPECT_EQ(Read(shape), row.read);
  }
  FCShapeDef oversized;  // a loaded size beyond the block
  ASSERT_TRUE(Build(oversized, {{5, {1}}}));
  oversized._SetLoadedSize(1 << 30);
  EXPECT_EQ(Read(oversized), "5:1");
}

// definitions.md, Shape definitions: the empty flag, the end of a walk, and the shape
// delivered as 66 cleared bytes while its companion record exists.
TEST(ShapeDef, TheHostKeepsShapesAsItemRecordsOfTheirOwnSize) {
  fxthost::Host host;
  host.NewDocument();
  FCShapeDef shape;
  EXPECT_TRUE(shape.IsEmpty());
  EXPECT_EQ(Read(shape), "");
  ASSERT_TRUE(Build(shape, {{5, {1, 2}}, {8, {}}}));
  EXPECT_FALSE(shape.IsEmpty());
  ASSERT_TRUE(shape.SaveNew());
  ASSERT_TRUE(Build(shape, {{1, {9}}}));
  ASSERT_TRUE(shape.SaveNew());
  EXPECT_EQ(shape.GetItemNo(), 2);

  FCShapeDef loaded;
  ASSERT_TRUE(loaded.LoadFirst());
  EXPECT_EQ(Read(loaded), "5:1,2 8:");
  ASSERT_TRUE(loaded.LoadNext());
  EXPECT_EQ(Read(loaded), "1:9");
  const std::unique_ptr<__FCBaseData> clone(loaded.CreateClone());
  EXPECT_EQ(Read(*static_cast<FCShapeDef*>(clone.get())), "1:9");
  EXPECT_FALSE(loaded.LoadNext());
  EXPECT_EQ(Read(loaded), "1:9") << "the end of the walk keeps the last shape";
  EXPECT_FALSE(loaded.Load(7));
  EXPECT_TRUE(loaded.IsEmpty());
  EXPECT_EQ(Read(loaded), "");
  // Without its record but with its companion 'otSD', a shape loads as 66 cleared bytes.
  host.CurrentDocument()->records.Put(0x6F745344, fxthost::DataKey{7, 0, 0, 0}, {1, 2});
  ASSERT_TRUE(loaded.Load(7));
  EXPECT_EQ(loaded._GetLoadedSize(), FCShapeDef::HEADER_SIZE);
  EXPECT_EQ(Read(loaded), "");
}

// definitions.md, Percussion layout notes: the record is kept inside the object for every
// host version.
TEST(PercussionLayoutNote, ReadsItsRecordInsideTheObjectOnEveryHost) {
  fxthost::Host host;
  host.NewDocument();
  const uint32_t saved = GetFinaleFrameworkVersion();
  for (uint32_t version : {0x11000000u, 0x10FFFFFFu, 0x0F000000u}) {
    SCOPED_TRACE(version);
    SetFinaleFrameworkVersion(version);
    FCPercussionLayoutNote note;
    note.SetNoteType(0xFFFE);
    note.SetStaffPosition(-6);
    note.CloneMemoryFrom(&note);  // a prepared record of the full size
    ASSERT_TRUE(note.SaveNew(4));
    FCPercussionLayoutNote loaded;
    ASSERT_TRUE(loaded.Load(4, static_cast<short>(note._GetKeySecond())));
    EXPECT_EQ(loaded._GetLoadedSize(), 20);
    EXPECT_EQ(loaded.GetNoteType(), 0xFFFE);
    EXPECT_EQ(loaded.GetStaffPosition(), -6);
  }
  SetFinaleFrameworkVersion(saved);
}

TEST(StaffStyleDef, FullNameComesFromItsTextBlock) {
  fxthost::Host host;
  fxthost::Document& document = host.NewDocument();
  const uint16_t block = fxthost::NewTextBlock(document, "Slash ^font(Arial)notation");
  // A block that does not load (block 0, or a number the document lacks) gives the empty
  // string (definitions.md, Staff style definitions).
  struct Row {
    unsigned short block;
    const char* name;
  } rows[] = {{block, "Slash ^font(Arial)notation"}, {0, ""}, {77, ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.block);
    FCStaffStyleDef style;
    style.SetFullNameID(row.block);
    style.CloneMemoryFrom(&style);
    ASSERT_TRUE(style.SaveNew());
    FCStaffStyleDef loaded;
    ASSERT_TRUE(loaded.Load(style.GetItemNo()));
    const std::unique_ptr<FCString> name(loaded.CreateFullNameString());
    EXPECT_STREQ(name->GetCString(), row.name);
  }
}

}  // namespace
