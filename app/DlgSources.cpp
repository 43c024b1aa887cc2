// Listing a recording set into the file list: what the loading dialog does once a
// source has been opened, for the paths the viewer was started with.

#include "app/CDezirureDovuriDlg.h"
#include "app/DlgIds.h"
#include "controls/CBbButtonCtrl.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "sources/RecordingCollection.h"

using app::DlgItem;

int CDezirureDovuriDlg::OpenChosenPaths(const std::vector<std::string>& paths) {
  auto* list = static_cast<CBbListCtrl*>(Item(DlgItem::FileList));
  constexpr DlgItem kFilters[] = {DlgItem::FilterAll, DlgItem::FilterNormal, DlgItem::FilterEvent,
                                  DlgItem::FilterParking};
  for (DlgItem filter : kFilters) Button(filter)->enabled = false;

  int rows = 0;
  if (!paths.empty() && collection->OpenChosenPaths(paths)) {
    collection->SortEntries();
    rows = collection->ListAll(*list);
  } else {
    list->DeleteAllItems();
  }
  if (rows > 0) {
    loadedDrive = paths.front().substr(0, 1);
    // typePresent: [0] any row, [1] normal, [2] event, [3] parking.
    for (int i = 0; i < 4; ++i) {
      CBbButtonCtrl* button = Button(kFilters[i]);
      button->enabled = collection->typePresent[i] != 0;
      button->selected = i == 0;
    }
    list->SelectRow(0);
    list->EnsureVisible(0);
  }
  for (DlgItem filter : kFilters) Button(filter)->Redraw();
  list->update();
  return rows;
}
