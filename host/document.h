// One open document of the emulated host.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "host/recordstore.h"

namespace fxthost {

struct Document {
  int number = 0;        // the host's document number (1, 2, ...)
  std::string name;      // where it came from, for messages
  RecordStore records;   // every data record of the document

  // The fields below belong to the behaviour family named beside them; each family
  // keeps its own state here and nowhere else.

  // Font table, number -> name (behaviours_texts.cpp).
  std::map<int, std::string> fonts;

  // Current selection as the 20-byte EREGION record, and whether there is one
  // (behaviours_selection.cpp).
  uint8_t selection[20] = {};
  bool hasSelection = false;

  // View state (behaviours_view.cpp).
  struct View {
    int32_t scrollStaff = 0;
    int32_t scrollMeasure = 1;
    bool pageView = true;
    int32_t zoomPercent = 100;
    int32_t currentPage = 1;
  } view;
};

}  // namespace fxthost
