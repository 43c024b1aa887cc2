#include "res/SkinResources.h"

#include <QtCore/qglobal.h>

#include <mutex>

// Q_INIT_RESOURCE must be used outside any namespace.
static void RegisterSkin() { Q_INIT_RESOURCE(tarvo_skin); }

void InitSkinResources() {
  static std::once_flag once;
  std::call_once(once, RegisterSkin);
}

namespace skin {

QString SkinResourcePath(int id) { return QStringLiteral(":/skin/%1.png").arg(id); }

}  // namespace skin
