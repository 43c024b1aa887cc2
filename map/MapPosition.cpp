#include "map/MapPosition.h"

#include <charconv>
#include <cmath>

namespace mapview {

double NmeaToDegrees(double nmea) {
  const double v = nmea * 0.01;
  const double d = std::trunc(v);
  return d + (v - d) * 100 / 60;
}

bool PositionOfFix(const CGPSData& fix, MapPoint& point) {
  if (fix.valid == 0) return false;
  point.latitude = NmeaToDegrees(fix.latitude);
  point.longitude = NmeaToDegrees(fix.longitude);
  return true;
}

std::string FixedSixDecimals(double value) {
  // Large enough for the longest double in fixed notation (309 digits) and a sign.
  char text[400];
  const std::to_chars_result written = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  if (written.ec != std::errc()) return "0.000000";
  return std::string(text, written.ptr);
}

std::string PositionChangeText(const MapPoint& point) {
  return "javascript:positionChange('" + FixedSixDecimals(point.latitude) + "', '" + FixedSixDecimals(point.longitude) +
         "')";
}

std::vector<MapPoint> RouteOfFixes(const std::vector<CGPSData>& fixes) {
  std::vector<MapPoint> route;
  for (const CGPSData& fix : fixes) {
    MapPoint point;
    if (!PositionOfFix(fix, point)) continue;
    if (!std::isfinite(point.latitude) || !std::isfinite(point.longitude)) continue;
    if (std::fabs(point.latitude) > 90 || std::fabs(point.longitude) > 180) continue;
    if (!route.empty() && route.back() == point) continue;
    route.push_back(point);
  }
  return route;
}

std::vector<MapPoint> JoinRoutes(const std::vector<std::vector<MapPoint>>& routes) {
  std::vector<MapPoint> joined;
  for (const std::vector<MapPoint>& route : routes) joined.insert(joined.end(), route.begin(), route.end());
  return joined;
}

namespace {

void AppendPoints(std::string& source, const std::vector<MapPoint>& points) {
  source += '[';
  bool first = true;
  for (const MapPoint& point : points) {
    if (!first) source += ',';
    first = false;
    source += FixedSixDecimals(point.latitude);
    source += ',';
    source += FixedSixDecimals(point.longitude);
  }
  source += ']';
}

}  // namespace

std::string TrackChangeSource(const std::vector<MapPoint>& route, const std::vector<MapPoint>& trip) {
  // A page without the route line (an older map.htm) is left alone.
  std::string source = "if(typeof trackChange==='function')trackChange(";
  source.reserve(source.size() + (route.size() + trip.size()) * 24 + 8);
  AppendPoints(source, route);
  source += ',';
  AppendPoints(source, trip);
  source += ')';
  return source;
}

}  // namespace mapview
