#include "map/WebEngineSetup.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QLoggingCategory>
#include <QtGlobal>

void PrepareWebEngine() {
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  if (::geteuid() == 0 && !qEnvironmentVariableIsSet("QTWEBENGINE_DISABLE_SANDBOX")) {
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  }
  QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
}
