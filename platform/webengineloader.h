#pragma once

#include "platform/webpage.h"

#include <QString>

namespace tovakidoviv {

// Loads the web engine module (tovakidoviv_webengine) from directory and
// creates its engine; nullptr, and *error says why, when the module cannot be
// loaded.
std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error);

} // namespace tovakidoviv
