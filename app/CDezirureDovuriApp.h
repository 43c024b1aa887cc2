#pragma once
// The application object: prepares the process (skin pictures, settings, language),
// shows the main window and, for documentation and checks, takes a screenshot of it.

#include <string>
#include <vector>

#include "app/ViewerArgs.h"

class CDezirureDovuriApp {
 public:
  // Runs the viewer as the command line asks; the process's exit code.
  static int Run(int argc, char** argv);
};
