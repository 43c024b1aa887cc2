#include "tools/simulator/Drive.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>

namespace simulator {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadius = 6371000.0;
constexpr double kGravity = 9.80665;

// Gwanghwamun down Sejong-daero past City Hall to Sungnyemun, Seoul Station, along
// Hangang-daero through Namyeong and Samgakji, over the Hangang Bridge and west on
// Noryangjin-ro to Noryangjin station.
const GeoPoint kSeoulRoute[] = {
    {37.57400, 126.97685}, {37.57090, 126.97690}, {37.56880, 126.97725}, {37.56620, 126.97790}, {37.56380, 126.97720},
    {37.56000, 126.97530}, {37.55760, 126.97390}, {37.55530, 126.97240}, {37.55010, 126.97210}, {37.54410, 126.97130},
    {37.53890, 126.97220}, {37.53460, 126.97310}, {37.53160, 126.97050}, {37.52920, 126.96800}, {37.52560, 126.96420},
    {37.52260, 126.96140}, {37.51780, 126.95950}, {37.51330, 126.95760}, {37.51270, 126.95200}, {37.51310, 126.94700},
    {37.51380, 126.94260},
};

// Knots of the speed cycle: (second of the cycle, km/h), linear in between.
struct Knot {
  double t;
  double v;
};
const Knot kCycle[] = {
    {0, 0},      {10, 0},   {22, 45},  {60, 52},  {70, 30},  {78, 0},   {100, 0},   {112, 40},
    {125, 60},   {150, 64}, {160, 35}, {175, 38}, {190, 70}, {200, 96}, {235, 100}, {240, 98},
    {243.5, 22}, {250, 15}, {262, 45}, {285, 50}, {295, 10}, {300, 0},
};

double Radians(double d) { return d * kPi / 180; }

double Distance(const GeoPoint& a, const GeoPoint& b) {
  const double dLat = Radians(b.latitude - a.latitude);
  const double dLon = Radians(b.longitude - a.longitude);
  const double h = std::sin(dLat / 2) * std::sin(dLat / 2) + std::cos(Radians(a.latitude)) *
                                                                 std::cos(Radians(b.latitude)) * std::sin(dLon / 2) *
                                                                 std::sin(dLon / 2);
  return 2 * kEarthRadius * std::asin(std::sqrt(std::min(1.0, h)));
}

double Bearing(const GeoPoint& a, const GeoPoint& b) {
  const double y = std::sin(Radians(b.longitude - a.longitude)) * std::cos(Radians(b.latitude));
  const double x =
      std::cos(Radians(a.latitude)) * std::sin(Radians(b.latitude)) -
      std::sin(Radians(a.latitude)) * std::cos(Radians(b.latitude)) * std::cos(Radians(b.longitude - a.longitude));
  const double deg = std::atan2(y, x) * 180 / kPi;
  return std::fmod(deg + 360, 360);
}

// Reads the value of attribute name="..." inside one tag.
bool Attribute(const std::string& tag, const std::string& name, double& value) {
  const size_t at = tag.find(" " + name + "=");
  if (at == std::string::npos) return false;
  const size_t open = at + name.size() + 2;
  if (open >= tag.size()) return false;
  const char quote = tag[open];
  const size_t close = tag.find(quote, open + 1);
  if (close == std::string::npos) return false;
  char* end = nullptr;
  const std::string text = tag.substr(open + 1, close - open - 1);
  value = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && !text.empty();
}

}  // namespace

Drive::Drive() { SetRoute(std::vector<GeoPoint>(std::begin(kSeoulRoute), std::end(kSeoulRoute))); }

void Drive::SetRoute(std::vector<GeoPoint> points) {
  route = std::move(points);
  cumulative.assign(route.size(), 0);
  for (size_t i = 1; i < route.size(); ++i) cumulative[i] = cumulative[i - 1] + Distance(route[i - 1], route[i]);
}

bool Drive::LoadGpx(const std::filesystem::path& path, std::string& error) {
  std::ifstream in(path);
  if (!in) {
    error = "cannot read route file " + path.string();
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  const std::string gpx = text.str();
  std::vector<GeoPoint> points;
  for (size_t pos = 0; (pos = gpx.find("<trkpt", pos)) != std::string::npos;) {
    const size_t end = gpx.find('>', pos);
    if (end == std::string::npos) break;
    const std::string tag = gpx.substr(pos, end - pos);
    GeoPoint p{};
    if (Attribute(tag, "lat", p.latitude) && Attribute(tag, "lon", p.longitude) && std::fabs(p.latitude) <= 90 &&
        std::fabs(p.longitude) <= 180) {
      // Repeated points would give no course.
      if (points.empty() || Distance(points.back(), p) > 0.5) points.push_back(p);
    }
    pos = end;
  }
  if (points.size() < 2) {
    error = "route file " + path.string() + " has fewer than two track points";
    return false;
  }
  SetRoute(std::move(points));
  return true;
}

double Drive::CycleLength() { return kCycle[std::size(kCycle) - 1].t; }

double Drive::CycleSpeed(double t) {
  t = std::fmod(t, CycleLength());
  if (t < 0) t += CycleLength();
  for (size_t i = 1; i < std::size(kCycle); ++i) {
    if (t <= kCycle[i].t) {
      const Knot& a = kCycle[i - 1];
      const Knot& b = kCycle[i];
      return a.v + (b.v - a.v) * (t - a.t) / (b.t - a.t);
    }
  }
  return 0;
}

double Drive::DistanceAt(double secondsOfDay) const {
  // Metres covered by one cycle, integrated once; whole cycles, then the rest.
  static const double kCycleMetres = [] {
    double m = 0;
    for (double t = 0; t < CycleLength(); t += 0.1) m += CycleSpeed(t + 0.05) / 3.6 * 0.1;
    return m;
  }();
  const double cycles = std::floor(secondsOfDay / CycleLength());
  const double rest = secondsOfDay - cycles * CycleLength();
  double m = cycles * kCycleMetres;
  const double step = 0.1;
  double t = 0;
  for (; t + step <= rest; t += step) m += CycleSpeed(t + step / 2) / 3.6 * step;
  m += CycleSpeed((t + rest) / 2) / 3.6 * (rest - t);
  return m;
}

DriveState Drive::At(double secondsOfDay) const {
  DriveState s{};
  const double length = cumulative.back();
  // Drive to the end of the route and back again.
  double d = std::fmod(DistanceAt(secondsOfDay), 2 * length);
  const bool back = d > length;
  if (back) d = 2 * length - d;
  size_t i = static_cast<size_t>(std::upper_bound(cumulative.begin(), cumulative.end(), d) - cumulative.begin());
  i = std::clamp<size_t>(i, 1, route.size() - 1);
  const GeoPoint& a = route[i - 1];
  const GeoPoint& b = route[i];
  const double seg = cumulative[i] - cumulative[i - 1];
  const double f = seg > 0 ? (d - cumulative[i - 1]) / seg : 0;
  s.position = {a.latitude + (b.latitude - a.latitude) * f, a.longitude + (b.longitude - a.longitude) * f};
  s.courseDegrees = back ? Bearing(b, a) : Bearing(a, b);
  const double cycleT = std::fmod(secondsOfDay, CycleLength());
  s.speedKmh = CycleSpeed(cycleT);
  const double dt = 0.05;
  s.longitudinalG = (CycleSpeed(cycleT + dt) - CycleSpeed(cycleT - dt)) / 3.6 / (2 * dt) / kGravity;
  // Turning: speed times the change of course over a short stretch.
  const double ahead = std::min(length, d + 15.0), behind = std::max(0.0, d - 15.0);
  auto courseAt = [&](double x) {
    size_t k = static_cast<size_t>(std::upper_bound(cumulative.begin(), cumulative.end(), x) - cumulative.begin());
    k = std::clamp<size_t>(k, 1, route.size() - 1);
    return Bearing(route[k - 1], route[k]);
  };
  double turn = courseAt(ahead) - courseAt(behind);
  turn = std::remainder(turn, 360.0);
  const double v = s.speedKmh / 3.6;
  const double span = ahead - behind;
  s.lateralG = span > 0 ? v * v * Radians(std::fabs(turn)) / span / kGravity : 0;
  return s;
}

}  // namespace simulator
