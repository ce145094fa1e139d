#include "platform/webengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

namespace tovakidoviv {

std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error)
{
    QLibrary module(QDir(directory).filePath(QStringLiteral("tovakidoviv_webengine")));
    const auto entry = reinterpret_cast<WebPageEngineEntry>(module.resolve(webPageEngineEntryName));
    if (!entry) {
        *error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<WebPageEngine>(entry()); // the module stays loaded for the program's life
}

} // namespace tovakidoviv
