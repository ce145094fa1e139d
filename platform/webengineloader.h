#pragma once

#include "platform/webpage.h"

#include <QString>

namespace tovakidoviv {

// Loads the web engine module (tovakidoviv_webengine) from directory and
// creates its engine. The engine composites its pages through OpenGL with a
// context shared between threads: the application object must have been made
// with Qt::AA_ShareOpenGLContexts. nullptr, and *error says why, when the module cannot be loaded.
std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error);

} // namespace tovakidoviv
