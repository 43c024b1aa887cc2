#pragma once
// Whether the machine is connected, for the map rule: the map page needs its tiles
// from the network, so without a connection the no-connection picture stands in for it.
//
// TARVO_NETWORK=online or offline forces the answer (tests, and users behind networks
// the desktop reports wrongly). Otherwise the desktop's network information decides
// (Qt's reachability backend); where no backend can tell, a default route in the
// kernel's routing table counts as connected.

#include <optional>
#include <string>

namespace app {

class NetworkState {
 public:
  NetworkState();
  // True when the machine is connected now.
  bool Connected() const;

  // The forced answer of a TARVO_NETWORK value: online/offline (any case), nothing
  // for anything else.
  static std::optional<bool> Forced(const char* value);
  // Whether a routing table in /proc/net/route form holds an active default route.
  static bool HasDefaultRoute(const std::string& routeTable);

 private:
  bool backendLoaded_ = false;
};

}  // namespace app
