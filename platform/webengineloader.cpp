#include "platform/webengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>

#include <future>

namespace tovakidoviv {

namespace {

QString modulePath(const QString &directory)
{
    return QDir(directory).filePath(QStringLiteral("tovakidoviv_webengine"));
}

std::future<void> &preloading()
{
    static std::future<void> loading;
    return loading;
}

} // namespace

void preloadWebPageEngine(const QString &directory)
{
    if (preloading().valid())
        return;
    // Loaded libraries stay loaded when their QLibrary goes: the main thread's
    // load below finds them bound.
    preloading() = std::async(std::launch::async, [path = modulePath(directory)] { QLibrary(path).load(); });
}

std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error)
{
    if (preloading().valid())
        preloading().wait();
    QLibrary module(modulePath(directory));
    const auto entry = reinterpret_cast<WebPageEngineEntry>(module.resolve(webPageEngineEntryName));
    if (!entry) {
        *error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<WebPageEngine>(entry()); // the module stays loaded for the program's life
}

} // namespace tovakidoviv
