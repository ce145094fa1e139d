#pragma once

#include "platform/webpage.h"

#include <QString>

namespace tovakidoviv {

// Loads the web engine module (tovakidoviv_webengine) from directory and
// creates its engine; nullptr, and *error says why, when the module cannot be
// loaded.
std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error);

// Starts loading the module's libraries on a thread of their own, so that
// loadWebPageEngine() later finds them bound; its failures are reported there.
void preloadWebPageEngine(const QString &directory);

} // namespace tovakidoviv
