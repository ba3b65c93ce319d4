// Expressions placed in measures ('SODY', 24 bytes): a text expression (naming its text
// expression definition) or a shape expression, attached to a staff and optionally
// shown on the further staves of a staff list.
//
// Key: first item number = the measure, second = the inci (the expression's running
// number in the measure; new expressions are appended).
//
// Record (little-endian; other bytes carried unchanged):
//   0   definition number (unsigned): the FCTextExpressionDef of a text expression
//   2   position, low half (signed)
//   8   staff (signed)
//   10  flag word: 0x2000 a shape expression
//   14  staff list number (unsigned), 0 for none
//   16  position, high half (signed)
// The position in the measure is high half x 65536 + low half.
#pragma once

#include <cstdint>

#include "framework/core/collectiondata.h"
#include "framework/core/otherdata.h"
#include "framework/notation/stafflist.h"

class FCCell;
class FCTextExpressionDef;

class FCExpression : public __FCInciOther {
 public:
  static constexpr uint32_t TAG = 0x534F4459;  // 'SODY'
  static constexpr int RECORD_SIZE = 24;
  // The measure flag that says the measure has expressions (FCMeasure's me flags).
  static constexpr unsigned short MEASURE_HAS_EXPRESSION = 0x4000;

  // The record zeroed and held at full size, so that it can be created at once.
  FCExpression();

  const char* ClassName() const override { return "FCExpression"; }
  int DataSizeLoad() const override { return RECORD_SIZE; }
  void* Allocate() override { return _record; }
  __FCBaseData* CreateObject() const override { return new FCExpression; }
  uint32_t Tag() const override { return TAG; }
  // Copies the source expression's record (zeros when source is no expression), full
  // size.
  void CloneMemoryFrom(__FCBaseData* source) override;

  // --- Record fields ---------------------------------------------------------------

  // The measure and the inci of the record last loaded or created.
  unsigned short GetMeasure() const { return _GetKeyFirst(); }
  short GetInci() const { return static_cast<short>(_GetKeySecond()); }

  unsigned short GetDefinitionID() const;
  void SetDefinitionID(unsigned short definition);
  short GetStaff() const;
  void SetStaff(short staff);
  unsigned short GetStaffListID() const;
  void SetStaffListID(unsigned short list);
  bool IsShape() const;
  void _SetShapeFlag(bool state);
  // The position in the measure, from its two signed halves.
  int GetMeasurePos() const;
  // Splits the position into the two halves so that GetMeasurePos gives it back. The
  // halves hold positions from -2147516416 to 2147450879; of a position above that (up
  // to 0x7FFFFFFF) the high half keeps its low 16 bits.
  void SetMeasurePos(int position);

  // --- Definition, placing, visibility -----------------------------------------------

  // A new definition, owned by the caller, on which Load(definition number) was called
  // whether or not it loaded; null for a shape expression.
  FCTextExpressionDef* CreateTextExpressionDef() const;
  // Names the definition and makes this a text expression (the record is not saved).
  // False, with nothing changed, for a null definition or one numbered 0.
  bool AssignTextExpressionDef(FCTextExpressionDef* definition);
  // Creates the expression in the cell's measure, attached to the cell's staff, without
  // a staff list, as the measure's next inci; the measure is marked as having
  // expressions first. False when the measure does not load or the cell does not fit
  // the host's numbers (FCCell::_FitsHost; nothing written), or the expression cannot be
  // created (the measure's mark is then put back as it was).
  bool SaveNewToCell(FCCell* cell);
  // Whether the expression shows on the staff: its own staff, or, for a mode other
  // than 0, a staff of its staff list of that kind.
  bool IsVisibleOnStaff(short staff, FCStaffListElement::STAFFLIST_MODES mode) const;

 private:
  uint8_t _record[RECORD_SIZE];
};

// The expressions of one measure (its incis) or of one cell, each an FCExpression the
// collection owns.
class FCExpressions : public FCCollectionOf<__FCCollectionInciOther, FCExpression> {
 public:
  const char* ClassName() const override { return "FCExpressions"; }
  __FCBaseData* CreateElement() override { return new FCExpression; }

  // Replaces the contents with the expressions of the cell's measure that are visible on
  // the cell's staff in the mode, in inci order. A null cell, or one that does not fit
  // the host's numbers (FCCell::_FitsHost), leaves the collection empty.
  virtual void LoadAllInCell(FCCell* cell, FCStaffListElement::STAFFLIST_MODES mode);
};
