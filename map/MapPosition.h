#pragma once
// What the map page is told: the vehicle's position for a GPS fix, as the
// positionChange call the page has always received, and the route of a recording (and
// of its trip) as flat lists of decimal degrees for the page's route lines.

#include <string>
#include <vector>

#include "telemetry/CGPSData.h"

namespace mapview {

struct MapPoint {
  double latitude = 0;   // decimal degrees, north positive
  double longitude = 0;  // decimal degrees, east positive
  bool operator==(const MapPoint&) const = default;
};

// NMEA ddmm.mmmm (or dddmm.mmmm) to decimal degrees in double precision:
// v = c x 0.01, d = v truncated toward zero, degrees = d + (v - d) x 100 / 60.
double NmeaToDegrees(double nmea);

// The fix's position in decimal degrees; nothing for a fix that is not valid.
bool PositionOfFix(const CGPSData& fix, MapPoint& point);

// "javascript:positionChange('<lat>', '<lon>')" with six decimals and "." as the
// decimal point whatever the process locale.
std::string PositionChangeText(const MapPoint& point);

// "%lf" of `value` without the locale: six decimals, "." and a leading "-" when negative.
std::string FixedSixDecimals(double value);

// The valid fixes in delivery order as points, without fixes whose degrees are not on
// the globe (a damaged sentence) and without a point equal to the one before it (a
// parked car repeats its fix every second).
std::vector<MapPoint> RouteOfFixes(const std::vector<CGPSData>& fixes);

// The route of a trip: the routes of its recordings, one after another, in full.
std::vector<MapPoint> JoinRoutes(const std::vector<std::vector<MapPoint>>& routes);

// Script source that hands the route to the page, when the page has the function:
// trackChange([lat,lon,lat,lon,...], [trip]) with six decimals per value. The first
// list is the recording's route, drawn over the second, its trip's whole route (empty
// for a recording without a trip); an empty list clears its line.
std::string TrackChangeSource(const std::vector<MapPoint>& route, const std::vector<MapPoint>& trip = {});

}  // namespace mapview
