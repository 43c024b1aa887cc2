// Trips in the main window: the list's separators where a trip begins, and the trip's
// whole route on the map under the loaded recording's own.

#include "app/CDezirureDovuriDlg.h"
#include "controls/CBbListCtrl.h"
#include "controls/CSkinVerticleScrollbar.h"
#include "map/CMapViewWnd.h"
#include "map/MapWindows.h"
#include "sources/RecordingCollection.h"

void CDezirureDovuriDlg::ShowTrips() {
  collection->ReadRecordingLengths();
  rowTrips = collection->TripsOfRows();
  std::vector<bool> starts(rowTrips.size());
  for (std::size_t row = 0; row < rowTrips.size(); ++row) starts[row] = rowTrips[row].first == static_cast<int>(row);
  FileList()->SetTripStarts(std::move(starts));
}

void CDezirureDovuriDlg::FillTrip(app::LoadRequest& request, int row) const {
  request.trip.clear();
  request.tripCurrent = -1;
  if (row < 0 || static_cast<std::size_t>(row) >= rowTrips.size()) return;
  const int first = rowTrips[static_cast<std::size_t>(row)].first;
  std::size_t end = static_cast<std::size_t>(first);
  while (end < rowTrips.size() && rowTrips[end].first == first) ++end;
  if (end - static_cast<std::size_t>(first) < 2) return;
  for (std::size_t r = static_cast<std::size_t>(first); r < end; ++r) {
    if (!rowTrips[r].extends) continue;
    const RecordingEntry* entry = collection->EntryForRow(static_cast<int>(r));
    if (!entry) continue;
    if (static_cast<int>(r) == row) request.tripCurrent = static_cast<int>(request.trip.size());
    app::TripLink link;
    link.entry = *entry;
    const auto known = tripRoutes.find(entry->path);
    if (known != tripRoutes.end()) {
      link.read = true;
      link.route = known->second;
    }
    request.trip.push_back(std::move(link));
  }
}

std::vector<mapview::MapPoint> CDezirureDovuriDlg::TripRoute(const std::vector<app::TripLink>& trip, int current,
                                                             const std::vector<mapview::MapPoint>& own) const {
  std::vector<std::vector<mapview::MapPoint>> routes;
  for (std::size_t i = 0; i < trip.size(); ++i) {
    if (static_cast<int>(i) == current) {
      routes.push_back(own);
      continue;
    }
    if (!trip[i].read) return {};
    routes.push_back(trip[i].route);
  }
  return mapview::JoinRoutes(routes);
}

void CDezirureDovuriDlg::LoadTripReady(std::vector<app::TripLink> trip) {
  for (const app::TripLink& link : trip) tripRoutes[link.entry.path] = link.route;
  loadedTrip = std::move(trip);
  if (telemetry.gpsSamples.empty()) return;
  const std::vector<mapview::MapPoint> own = mapview::RouteOfFixes(telemetry.gpsSamples);
  mapWindows->View()->ShowTrack(own, TripRoute(loadedTrip, loadedTripIndex, own));
}
