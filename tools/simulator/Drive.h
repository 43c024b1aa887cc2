#pragma once
// The simulated car: where it is, how fast it goes and how it accelerates at any
// moment of the day. A built-in drive through central Seoul (Sejong-daero, Hangang-daero,
// the Hangang Bridge to Noryangjin and back) or the points of a GPX track.
// The speed follows a five-minute cycle of stops, city traffic, a fast stretch
// and a hard braking, so consecutive recordings continue one another.

#include <filesystem>
#include <string>
#include <vector>

namespace simulator {

struct GeoPoint {
  double latitude;   // decimal degrees, north positive
  double longitude;  // decimal degrees, east positive
};

struct DriveState {
  GeoPoint position;
  double speedKmh;
  double courseDegrees;  // 0 north, clockwise
  double longitudinalG;  // + speeding up, - braking
  double lateralG;
};

class Drive {
 public:
  Drive();  // the built-in route
  // Loads the track points of a GPX file; false with a message when it has fewer
  // than two usable points.
  bool LoadGpx(const std::filesystem::path& path, std::string& error);

  // State at a moment given in seconds since midnight (fractions allowed).
  DriveState At(double secondsOfDay) const;

  // Speed profile: km/h at a moment of the five-minute cycle, and its length.
  static double CycleSpeed(double t);
  static double CycleLength();

 private:
  double DistanceAt(double secondsOfDay) const;
  void SetRoute(std::vector<GeoPoint> points);

  std::vector<GeoPoint> route;
  std::vector<double> cumulative;  // metres from the first point
};

}  // namespace simulator
