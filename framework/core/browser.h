// Browsers: walks over host records that keep no records. A browser loads one record at
// a time into a single working object and hands it to the caller's handler before
// loading the next; the working object belongs to the walk (a handler that wants to keep
// a record clones it). Record browsers walk every record of one class; region browsers
// walk the cells of a region, measures outer and slots inner, and in each cell the
// records of one kind whose position lies inside the region.
//
// A null handler walks nothing (0, or null). An empty region has no cells.
#pragma once

#include "framework/core/iterator.h"

class FCCell;
class FCMusicRegion;
class __FCBaseData;

class __FCBrowserBase : public __FCIteratorBase {
 public:
  const char* ClassName() const override { return "__FCBrowserBase"; }
};

class __FCBrowserBaseData : public __FCBrowserBase {
 public:
  const char* ClassName() const override { return "__FCBrowserBaseData"; }

  // BeforeIteration (false: 0 at once); then, when the first record loads and
  // BeforeFirst agrees, Iterate for each record until it answers false, and AfterLoop;
  // then AfterIteration. The number of records for which Iterate answered true.
  int ForEach(FCIteratorHandler* handler) override;
  // As ForEach, asking IsMatch: the working object of the first match (the caller's
  // from then on; AfterLoop is called, AfterIteration is not), or null after
  // AfterIteration.
  __FCBase* FindFirst(FCIteratorHandler* handler) override;
  // A new working object of the browsed class, owned by the caller.
  virtual __FCBaseData* CreateElement() = 0;
};

// Browses one-per-item records (__FCNoInciOther) by item number. None of these calls the
// handler's notifications.
class __FCBrowserNoInciOther : public __FCBrowserBaseData {
 public:
  // A new working object loaded with the item, owned by the caller; null when it does
  // not load.
  __FCBaseData* LoadAnElement(unsigned short itemno);
  // Iterate from the item to the last record, until it answers false; the number of
  // records for which it answered true.
  int ToEndFrom(unsigned short itemno, FCIteratorHandler* handler);
  // The records from item 1 on; 0 when item 1 does not load.
  int GetCount();
};

class __FCBrowserRegionBase : public __FCBrowserBase {
 public:
  // The region walk over the whole document.
  int ForEach(FCIteratorHandler* handler) override;
  // Walks the region's cells, measures outer and slots inner; the number of cells
  // whose walk the handler let finish (the cell where it stopped is not counted).
  int ForEachInRegion(FCIteratorHandler* handler, FCMusicRegion* region);
  // Walks one cell's records that lie inside the region; false when the handler
  // asked to stop.
  virtual bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                        FCMusicRegion* region) = 0;
};

class FCBrowserExpressions : public __FCBrowserRegionBase {
 public:
  // Region browsers search nothing: null, without calling the handler.
  __FCBase* FindFirst(FCIteratorHandler*) override { return nullptr; }
  // The cell's expressions as FCExpressions::LoadAllInCell(cell, 0) gives them.
  bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                FCMusicRegion* region) override;
};

class FCBrowserChords : public __FCBrowserRegionBase {
 public:
  __FCBase* FindFirst(FCIteratorHandler*) override { return nullptr; }
  bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                FCMusicRegion* region) override;
};

class FCBrowserMidiExpressions : public __FCBrowserRegionBase {
 public:
  __FCBase* FindFirst(FCIteratorHandler*) override { return nullptr; }
  bool RegionIterateCellHandler(FCCell* cell, FCIteratorHandler* handler,
                                FCMusicRegion* region) override;
};
