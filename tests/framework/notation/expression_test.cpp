// Expressions in cells, staff lists, text repeats, page texts and the cell details:
// visibility by staff list in each mode, the expressions of a cell, positions from their
// halves, placing an expression (and undoing the measure's mark when that fails), and
// the kinds, tags, sizes and versions of the records.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "bridge/recordbytes.h"
#include "framework/notation/celldetails.h"
#include "framework/notation/enclosure.h"
#include "framework/notation/expression.h"
#include "framework/notation/pagetext.h"
#include "framework/notation/stafflist.h"
#include "framework/notation/textexpressiondef.h"
#include "framework/notation/textrepeat.h"
#include "framework/score/cell.h"
#include "framework/score/measure.h"
#include "framework/text/fcstring.h"
#include "framework/text/rawtext.h"
#include "host/functions/host.h"
#include "host/store/scoremodel.h"
#include "tests/support/notation_fixture.h"

namespace {

using fxthost::DataKey;
using fxthost::Fn;
using notation_testing::Take;

class ExpressionTest : public ::testing::Test {
 protected:
  void SetUp() override { fxthost::SetMeasures(host.NewDocument(), 4); }
  fxthost::Document& Doc() { return *host.CurrentDocument(); }

  // Staff list 9 in each of the four kinds.
  void MakeStaffLists() {
    const std::vector<std::vector<short>> kinds = {{5, 7}, {6}, {8}, {10}};
    for (int mode = 1; mode <= 4; ++mode) {
      FCStaffListElements list;
      list.SetCustomTag(FCStaffListElement::TagOfMode(mode));
      for (short staff : kinds[static_cast<size_t>(mode - 1)]) {
        FCStaffListElement* element = new FCStaffListElement;
        element->SetStaff(staff);
        list.Add(element);
      }
      ASSERT_TRUE(list.SaveAllForItem(9));
    }
  }

  // An expression in measure 2 on the staff, with the staff list.
  void Place(short staff, unsigned short list, unsigned short definition) {
    FCExpression expression;
    expression.SetStaff(staff);
    expression.SetStaffListID(list);
    expression.SetDefinitionID(definition);
    ASSERT_TRUE(expression.SaveNew(2));
  }

  fxthost::Host host;
};

TEST_F(ExpressionTest, VisibilityByStaffListInEachMode) {
  MakeStaffLists();
  EXPECT_EQ(Doc().records.Count(0x6F744443), 2u);  // 'otDC'
  struct Row {
    unsigned short list;
    short staff;
    int mode;
    bool visible;
  } rows[] = {
      {0, 3, 0, true},  {0, 3, 1, true},  {0, 5, 1, false}, {0, 5, 0, false},
      {9, 3, 0, true},  {9, 5, 0, false}, {9, 5, 1, true},  {9, 7, 1, true},
      {9, 6, 1, false}, {9, 6, 2, true},  {9, 5, 2, false}, {9, 8, 3, true},
      {9, 10, 4, true}, {9, 8, 4, false}, {9, 5, 9, true},  {9, 4, 1, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("list " + std::to_string(row.list) + ", staff " + std::to_string(row.staff) +
                 ", mode " + std::to_string(row.mode));
    FCExpression expression;
    expression.SetStaff(3);
    expression.SetStaffListID(row.list);
    EXPECT_EQ(expression.IsVisibleOnStaff(
                  row.staff, static_cast<FCStaffListElement::STAFFLIST_MODES>(row.mode)),
              row.visible);
  }
}

TEST_F(ExpressionTest, LoadAllInCellKeepsTheVisibleOnesInInciOrder) {
  MakeStaffLists();
  Place(3, 0, 11);
  Place(4, 9, 12);  // another staff; its list (mode 1) names 5 and 7
  Place(3, 0, 13);
  struct Row {
    short staff;
    int mode;
    std::vector<unsigned short> definitions;
  } rows[] = {
      {3, 0, {11, 13}}, {3, 1, {11, 13}}, {5, 0, {}}, {5, 1, {12}}, {4, 2, {12}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("staff " + std::to_string(row.staff) + ", mode " + std::to_string(row.mode));
    FCCell cell(2, row.staff);
    FCExpressions expressions;
    expressions.LoadAllInCell(&cell, static_cast<FCStaffListElement::STAFFLIST_MODES>(row.mode));
    std::vector<unsigned short> found;
    for (int i = 0; i < expressions.GetCount(); ++i)
      found.push_back(static_cast<FCExpression*>(expressions.GetItemAt(i))->GetDefinitionID());
    EXPECT_EQ(found, row.definitions);
  }
  FCExpressions none;
  none.LoadAllInCell(nullptr, FCStaffListElement::STAFFLIST_NONE);
  EXPECT_EQ(none.GetCount(), 0);
}

// host-notation.md, Expressions: low half at byte 2, high half at byte 16, both signed:
// high x 65536 + low.
TEST(ExpressionRecord, PositionFromItsSignedHalves) {
  struct Row {
    short low, high;
    int position;
  } rows[] = {{-1, 1, 65535},        {0, 0, 0},           {100, 0, 100}, {0, -1, -65536},
              {-1, -1, -65537},      {-32768, 0, -32768}, {0, 1, 65536}, {-1, 32767, 2147418111},
              {0, -32768, INT32_MIN}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.position);
    FCExpression expression;
    uint8_t* record = static_cast<uint8_t*>(expression._GetDataBlock());
    fxt::PutS16(record, 2, row.low);
    fxt::PutS16(record, 16, row.high);
    EXPECT_EQ(expression.GetMeasurePos(), row.position);
    FCExpression written;
    written.SetMeasurePos(row.position);
    EXPECT_EQ(written.GetMeasurePos(), row.position);
  }
}

// host-notation.md, Expressions: creating with the second number marked appends the
// measure's next inci.
TEST_F(ExpressionTest, SaveNewToCellMarksTheMeasureAndAppends) {
  Place(6, 0, 1);
  FCExpression expression;
  expression.SetStaffListID(4);
  FCCell cell(2, 3);
  ASSERT_TRUE(expression.SaveNewToCell(&cell));
  EXPECT_EQ(expression.GetMeasure(), 2);
  EXPECT_EQ(expression.GetInci(), 1);
  EXPECT_EQ(expression.GetStaff(), 3);
  EXPECT_EQ(expression.GetStaffListID(), 0);
  FCMeasure measure;
  ASSERT_TRUE(measure.Load(2));
  EXPECT_NE(measure._GetMeFlags() & 0x4000, 0);

  FCCell outside(9, 3);
  const fxthost::RecordStore before = Doc().records;
  EXPECT_FALSE(expression.SaveNewToCell(&outside));
  EXPECT_FALSE(expression.SaveNewToCell(nullptr));
  EXPECT_TRUE(Doc().records == before);
}

TEST_F(ExpressionTest, RefusedExpressionPutsTheMeasureMarkBack) {
  for (bool markedBefore : {false, true}) {
    SCOPED_TRACE(
        markedBefore
            ? "measure marked before (host-notation.md: the measure's mark is put back)"
            : "measure unmarked before (host-notation.md: the measure's mark is put back)");
    FCMeasure measure;
    ASSERT_TRUE(measure.Load(3));
    measure._SetMeFlag(0x4000, markedBefore);
    ASSERT_TRUE(measure.Save());
    const fxthost::RecordStore before = Doc().records;
    host.FailCall(Fn::FX_CreateEData, 1);
    FCExpression expression;
    FCCell cell(3, 1);
    EXPECT_FALSE(expression.SaveNewToCell(&cell));
    EXPECT_TRUE(Doc().records == before);
  }
}

TEST_F(ExpressionTest, DefinitionOfAnExpression) {
  FCTextExpressionDef definition;
  ASSERT_TRUE(definition.SaveAs(7));
  FCExpression expression;
  expression._SetShapeFlag(true);
  EXPECT_EQ(expression.CreateTextExpressionDef(), nullptr);
  FCTextExpressionDef unnumbered;
  unnumbered.SaveAs(0);
  EXPECT_FALSE(expression.AssignTextExpressionDef(&unnumbered));
  EXPECT_FALSE(expression.AssignTextExpressionDef(nullptr));
  EXPECT_TRUE(expression.IsShape());
  ASSERT_TRUE(expression.AssignTextExpressionDef(&definition));
  EXPECT_FALSE(expression.IsShape());
  std::unique_ptr<FCTextExpressionDef> loaded(expression.CreateTextExpressionDef());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetItemNo(), 7);
  EXPECT_GT(loaded->_GetLoadedSize(), 0);
}

TEST_F(ExpressionTest, TextRepeatDefinitionsAndTheirTexts) {
  FCTextRepeatDef definition;
  EXPECT_FALSE(definition.SaveAs(1));  // a new definition holds no record yet
  Doc().records.Put(FCTextRepeatDef::TAG, DataKey{1, 0, 0, 0}, fxthost::RecordStore::Bytes(16, 0));
  EXPECT_FALSE(definition.LoadFirst());  // no text
  ASSERT_TRUE(fxthost::PutRawText(Doc(), FCTextRepeatText::TAG, 1, ""));
  EXPECT_FALSE(definition.LoadFirst());  // an empty text
  FCString text("D.C. al Fine");
  ASSERT_TRUE(definition._SaveTextAs(&text, 1));
  ASSERT_TRUE(definition.LoadFirst());
  ASSERT_TRUE(definition.DeepSaveAs(5));
  FCTextRepeatDef copy;
  ASSERT_TRUE(copy.Load(5));
  EXPECT_EQ(Take(copy.CreateTextString()), "D.C. al Fine");
  ASSERT_TRUE(copy.DeepDeleteData());
  EXPECT_FALSE(Doc().records.Contains(FCTextRepeatText::TAG, DataKey{5, 0, 0, 0}));

  FCTextRepeat repeat;
  EXPECT_FALSE(repeat.AssignTextRepeatDef(nullptr));
  ASSERT_TRUE(repeat.AssignTextRepeatDef(&definition));
  EXPECT_EQ(repeat.GetTextRepeatDefID(), 5);
  std::unique_ptr<FCTextRepeatDef> named(repeat.CreateTextRepeatDef());
  EXPECT_EQ(named->_GetLoadedSize(), 0);  // deleted above, returned all the same
}

// host-notation.md, Decisions and mended faults: SaveNewTextBlock of a page text that makes
// the raw text but not the text block deletes the raw text again.
TEST_F(ExpressionTest, PageTextGetsANewBlockOrNothing) {
  FCPageText page;
  FCString text("Score in C");
  ASSERT_TRUE(page.SaveNewTextBlock(&text));
  std::string read;
  ASSERT_TRUE(fxthost::ReadTextBlock(Doc(), page.GetTextBlockID(), &read));
  EXPECT_EQ(read, "Score in C");
  const fxthost::RecordStore before = Doc().records;
  host.FailCall(Fn::FX_CreateEData, 2);
  FCPageText refused;
  EXPECT_FALSE(refused.SaveNewTextBlock(&text));
  EXPECT_EQ(refused.GetTextBlockID(), 0);
  EXPECT_TRUE(Doc().records == before);
}

TEST(NotationRecords, KindsTagsSizesAndVersions) {
  struct Row {
    std::function<__FCBaseData*()> make;
    const char* name;
    uint32_t tag;
    int load, newLoaded;
    uint32_t version;
  } rows[] = {
      // Tags and sizes as host-notation.md gives them (Expressions and staff lists; Text
      // repeats, page texts and cell records).
      {[] { return new FCExpression; }, "FCExpression", 0x534F4459, 24, 24, 0x11000000},
      {[] { return new FCStaffListElement; }, "FCStaffListElement", 0x6F744443, 2, 0, 0x11000000},
      {[] { return new FCTextRepeatDef; }, "FCTextRepeatDef", 0x534F5253, 16, 0, 0x11000000},
      {[] { return new FCEnclosure; }, "FCEnclosure", 0x6F744465, 12, 0, 0x11000000},
      {[] { return new FCChord; }, "FCChord", 0x53444368, 30, 30, 0x0F000000},
      {[] { return new FCMidiExpression; }, "FCMidiExpression", 0x64744D45, 10, 0, 0x11000000},
      {[] { return new FCIndependentCellDetail; }, "FCIndependentCellDetail", 0x6474464C, 10, 0,
       0x11000000},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    std::unique_ptr<__FCBaseData> record(row.make());
    EXPECT_STREQ(record->ClassName(), row.name);
    EXPECT_EQ(record->Tag(), row.tag);
    EXPECT_EQ(record->DataSizeLoad(), row.load);
    EXPECT_EQ(record->_GetLoadedSize(), row.newLoaded);
    EXPECT_EQ(record->EnigmaVersion(), row.version);
    std::unique_ptr<__FCBaseData> clone(record->CreateClone());
    EXPECT_EQ(clone->_GetLoadedSize(), row.load);
    record->SetCustomTag(0x6F746463);
    const bool followsCustomTag = row.tag == 0x6F744443 || row.tag == 0x6F744465;
    EXPECT_EQ(record->Tag(), followsCustomTag ? 0x6F746463u : row.tag);
  }
  FCMidiExpression midi;
  EXPECT_EQ(midi.DataSizeSave(), 10);
  std::unique_ptr<__FCBaseData> detail(rows[6].make());
  EXPECT_NE(dynamic_cast<__FCNoInciCellDetail*>(detail.get()), nullptr);
}

TEST_F(ExpressionTest, CellDetailsWalkTheirCell) {
  FCCell cell(2, 3);
  for (int position : {0, 512, 1024}) {
    FCMidiExpression midi;
    midi.SetMeasurePos(position);
    midi.ConnectCell(&cell);
    ASSERT_TRUE(midi.SaveNew());
  }
  FCMidiExpression midi;
  midi.ConnectCell(&cell);
  std::vector<int> positions;
  for (bool more = midi.LoadFirst(); more; more = midi.LoadNext())
    positions.push_back(midi.GetMeasurePos());
  EXPECT_EQ(positions, (std::vector<int>{0, 512, 1024}));

  FCChord chord;
  chord.ConnectCell(&cell);
  chord.SetMeasurePos(-2048);
  ASSERT_TRUE(chord.SaveNew());
  FCChord loaded;
  loaded.ConnectCell(&cell);
  ASSERT_TRUE(loaded.LoadFirst());
  EXPECT_EQ(loaded.GetMeasurePos(), -2048);

  FCIndependentCellDetail detail;
  detail.SetKeySignatureValue(-3);
  detail.SetHasKeySignature(true);
  const uint8_t* record = static_cast<const uint8_t*>(detail._GetDataBlock());
  EXPECT_EQ(record[9], 0x08);
  EXPECT_EQ(fxt::GetS16(record, 0), -3);
}

}  // namespace
