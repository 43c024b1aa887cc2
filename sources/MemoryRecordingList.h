#pragma once
// A file list kept in memory: the rows a listing produced, for tarvo-tool and tests.

#include <algorithm>
#include <vector>

#include "sources/RecordingList.h"

class MemoryRecordingList final : public RecordingList {
 public:
  void SetRedraw(bool on) override {
    redraw = on;
    ++redrawChanges;
  }
  void DeleteAllItems() override { rows.clear(); }
  void InsertRow(int row, const RecordingRow& columns) override {
    const auto at = static_cast<std::size_t>(std::clamp<int>(row, 0, static_cast<int>(rows.size())));
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(at), columns);
  }

  std::vector<RecordingRow> rows;
  bool redraw = true;
  int redrawChanges = 0;
};
