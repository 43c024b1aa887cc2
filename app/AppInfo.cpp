#include "app/AppInfo.h"

namespace app {

const char* AppTitle() {
  static const char* const title = "Tarvo Viewer 0.1.0";
  return title;
}

}  // namespace app
