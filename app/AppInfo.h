#pragma once
// Names the viewer shows for itself and gives its windows and settings.

namespace app {

inline constexpr const char* kAppName = "Tarvo Viewer";
inline constexpr const char* kAppVersion = "0.1.0";
inline constexpr const char* kOrganizationName = "tarvo";

// "Tarvo Viewer 0.1.0"
const char* AppTitle();

}  // namespace app
