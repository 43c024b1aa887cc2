#include "app/NetworkState.h"

#include <strings.h>

#include <QNetworkInformation>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace app {
namespace {

constexpr unsigned kRouteUp = 0x1;

std::string ReadRouteTable() {
  std::ifstream in("/proc/net/route");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

NetworkState::NetworkState() {
  if (Forced(std::getenv("TARVO_NETWORK"))) return;
  backendLoaded_ = QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability);
}

std::optional<bool> NetworkState::Forced(const char* value) {
  if (!value) return std::nullopt;
  if (strcasecmp(value, "online") == 0) return true;
  if (strcasecmp(value, "offline") == 0) return false;
  return std::nullopt;
}

bool NetworkState::HasDefaultRoute(const std::string& routeTable) {
  std::istringstream lines(routeTable);
  std::string line;
  std::getline(lines, line);  // the heading
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string iface, destination, gateway, flags;
    if (!(fields >> iface >> destination >> gateway >> flags)) continue;
    if (iface == "lo" || destination != "00000000") continue;
    const unsigned long value = std::strtoul(flags.c_str(), nullptr, 16);
    if (value & kRouteUp) return true;
  }
  return false;
}

bool NetworkState::Connected() const {
  if (const std::optional<bool> forced = Forced(std::getenv("TARVO_NETWORK"))) return *forced;
  if (backendLoaded_) {
    if (const QNetworkInformation* info = QNetworkInformation::instance()) {
      switch (info->reachability()) {
        case QNetworkInformation::Reachability::Online:
          return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
        case QNetworkInformation::Reachability::Site:
          return false;
        case QNetworkInformation::Reachability::Unknown:
          break;
      }
    }
  }
  return HasDefaultRoute(ReadRouteTable());
}

}  // namespace app
