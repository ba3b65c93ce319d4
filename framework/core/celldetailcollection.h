// Collections of records attached to cells, loaded by cell, by region or over the whole
// document, and the collections of the cell records the framework knows.
//
// The walks go in two different orders: the region loads slot by slot (every measure of
// the top slot's staff first), the whole-document load measure by measure (every staff
// of the first measure first). An empty or null region loads nothing. A cell without
// records adds nothing; a cell's walk ends at its first record that does not load.
#pragma once

#include "framework/core/collectiondata.h"

class FCCell;
class FCMusicRegion;
class __FCCellDetail;
class FCChord;
class FCIndependentCellDetail;
class FCMidiExpression;

class __FCCollectionCellDetail : public __FCCollectionDetail {
 public:
  const char* ClassName() const override { return "__FCCollectionCellDetail"; }

  // Replaces the contents with the cell's records, incis 0, 1, 2, ... A null cell
  // leaves the collection empty.
  virtual void LoadAllForCell(FCCell* cell);
  // Replaces the contents with the records of every cell of the region, slots outer,
  // measures inner.
  void LoadAllInRegion(FCMusicRegion* region);
  // Replaces the contents with the records of every cell of the document, measures
  // outer (the document's measures in order), staves inner (the staff records in order).
  void LoadAll() override;

 private:
  // The template as a cell record; null (nothing left allocated) for another kind.
  __FCCellDetail* _CreateCellTemplate();
  // Appends a clone of each of the cell's records, as the template loads them.
  void _AppendCellRecords(__FCCellDetail* record, FCCell* cell);
};

// One record per cell at most.
class __FCCollectionNoInciCellDetail : public __FCCollectionData {
 public:
  const char* ClassName() const override { return "__FCCollectionNoInciCellDetail"; }

  // Replaces the contents with the one record of each cell of the region that has one,
  // slots outer, measures inner.
  void LoadAllInRegion(FCMusicRegion* region);
};

class FCChords : public FCCollectionOf<__FCCollectionCellDetail, FCChord> {
 public:
  const char* ClassName() const override { return "FCChords"; }
  __FCBaseData* CreateElement() override;
};

class FCMidiExpressions : public FCCollectionOf<__FCCollectionCellDetail, FCMidiExpression> {
 public:
  const char* ClassName() const override { return "FCMidiExpressions"; }
  __FCBaseData* CreateElement() override;
};

class FCIndependentCellDetails
    : public FCCollectionOf<__FCCollectionNoInciCellDetail, FCIndependentCellDetail> {
 public:
  const char* ClassName() const override { return "FCIndependentCellDetails"; }
  __FCBaseData* CreateElement() override;
};
