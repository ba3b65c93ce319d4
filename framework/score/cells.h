// Runs of cells: the cells of a region laid out measure by measure, and walks over those
// of one measure or one staff.
#pragma once

#include "framework/core/collection.h"

class FCCell;
class FCMusicRegion;

class FCCells : public FCCollectionOf<__FCCollection, FCCell> {
 public:
  const char* ClassName() const override { return "FCCells"; }

  // Replaces the contents with a new cell for every measure from the region's start
  // to its end measure (outer) and every slot from its start to its end slot (inner),
  // the staff of each slot read in the region's start list. An empty or null region
  // gives no cells.
  void ApplyRegion(FCMusicRegion* region);

  // Iterate for each cell of the measure (staff), in collection order, until it answers
  // false; the number of cells for which it answered true. Null elements are skipped; a
  // null handler walks nothing.
  int ForEachAtMeasure(int measure, FCIteratorHandler* handler);
  int ForEachAtStaff(int staff, FCIteratorHandler* handler);

  // The element at index as a cell; null when there is none.
  FCCell* GetItemAt(int index) const;

 private:
  template <typename Matches>
  int _ForEachMatching(FCIteratorHandler* handler, Matches matches);
};
