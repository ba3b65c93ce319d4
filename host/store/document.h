// One open document of the emulated host.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "host/store/fonttable.h"
#include "host/store/recordstore.h"

namespace fxthost {

struct Document {
  int number = 0;       // the host's document number (1, 2, ...)
  std::string name;     // where it came from, for messages
  std::string path;     // the file it was opened from (FX_GetDocumentPath); empty if none
  RecordStore records;  // every data record of the document

  // The fields below belong to the behaviour family named beside them; each family
  // keeps its own state here and nowhere else.

  // Font table, number -> name in UTF-8 (host/functions/texts.cpp); a new document starts
  // with the default table, which a document file replaces with its own.
  FontTable fonts = DefaultFontTable();

  // Current selection as the 20-byte EREGION record, and whether there is one
  // (host/functions/selection.cpp).
  uint8_t selection[20] = {};
  bool hasSelection = false;

  // View state (host/functions/view.cpp).
  struct View {
    int32_t scrollStaff = 0;
    int32_t scrollMeasure = 1;
    bool pageView = true;
    int32_t zoomPercent = 100;
    int32_t currentPage = 1;
    int32_t redraws = 0;             // redraw requests so far
    uint8_t redrawnRegion[20] = {};  // the region of the last one
    int32_t lastMenuCommand = 0;     // the last menu command run
    // What happened to the view, one line an event ("scroll to measure 5, staff 3").
    std::vector<std::string> events;
  } view;

  // Linked parts (host/functions/documents.cpp). The score is part 0 and always exists;
  // the extracted parts follow in the host's order, each with its own id (1 to 32767)
  // and name (UTF-8). One part is current; a document opens on the score.
  struct Part {
    int16_t id = 0;
    std::string name;
    std::string answered;  // the name as last handed to the plug-in (8-bit), kept alive
  };
  struct Parts {
    std::vector<Part> extracted;
    int16_t current = 0;
  } parts;

  // Edit history (host/functions/edits.cpp): what an undo step or a cancelled edit restores,
  // and the undo steps, oldest first, each with the document as it was before it.
  struct Content {
    RecordStore records;
    std::map<int, std::string> fonts;
    friend bool operator==(const Content& a, const Content& b) {
      return a.records == b.records && a.fonts == b.fonts;
    }
    friend bool operator!=(const Content& a, const Content& b) { return !(a == b); }
  };
  struct UndoStep {
    std::string name;
    Content before;
  };
  std::vector<UndoStep> undoSteps;

  Content Snapshot() const { return Content{records, fonts}; }
  void Restore(const Content& content) {
    records = content.records;
    fonts = content.fonts;
  }
};

}  // namespace fxthost
