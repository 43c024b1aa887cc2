#include <QLibrary>
#include <mutex>

#include "map/MapBrowser.h"
#include "platform/Paths.h"

namespace {

MakeMapBrowserFunction LoadEntry() {
  static std::once_flag once;
  static MakeMapBrowserFunction entry = nullptr;
  std::call_once(once, [] {
    // Kept for the life of the process: its objects live until the process ends.
    static QLibrary module(QString::fromStdString((platform::ProgramFolder() / kMapBrowserModule).string()));
    if (module.load()) entry = reinterpret_cast<MakeMapBrowserFunction>(module.resolve(kMapBrowserEntry));
  });
  return entry;
}

}  // namespace

std::unique_ptr<MapBrowser> MakeMapBrowser(QWidget* parent, MapBrowserEvents events) {
  const MakeMapBrowserFunction entry = LoadEntry();
  if (!entry) return nullptr;
  return std::unique_ptr<MapBrowser>(entry(parent, &events));
}
