// Cells: a measure on a staff, and the key they give to the records attached to them.
#include <gtest/gtest.h>

#include "framework/score/cell.h"

namespace {

TEST(Cell, ReportsItsMeasureAndStaff) {
  struct Row {
    int measure;
    int staff;
  };
  const Row rows[] = {{3, 7}, {1, 1}, {32767, 65535}};
  for (const Row& row : rows) {
    SCOPED_TRACE(std::to_string(row.measure) + " on " + std::to_string(row.staff));
    FCCell cell(row.measure, row.staff);
    EXPECT_EQ(cell.GetMeasure(), row.measure);
    EXPECT_EQ(cell.GetStaff(), row.staff);
    EXPECT_STREQ(cell.ClassName(), "FCCell");
  }
}

}  // namespace
