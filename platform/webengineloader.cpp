#include "platform/webengineloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibrary>
#include <QOpenGLContext>

QT_BEGIN_NAMESPACE
// Qt's own setter of QOpenGLContext::globalShareContext(), which the web
// engine reads; an application normally has it made inside the application
// object, before any window, which would hold up the first frame.
Q_GUI_EXPORT void qt_gl_set_global_share_context(QOpenGLContext *context);
QT_END_NAMESPACE

namespace tovakidoviv {

namespace {

QOpenGLContext *ownShareContext = nullptr;

void deleteShareContext()
{
    if (QOpenGLContext::globalShareContext() == ownShareContext)
        qt_gl_set_global_share_context(nullptr);
    delete std::exchange(ownShareContext, nullptr);
}

void ensureShareContext()
{
    if (QOpenGLContext::globalShareContext())
        return;
    ownShareContext = new QOpenGLContext;
    ownShareContext->setFormat(QSurfaceFormat::defaultFormat());
    ownShareContext->create(); // an invalid one leaves the engine to composite in software
    qt_gl_set_global_share_context(ownShareContext);
    qAddPostRoutine(deleteShareContext);
}

} // namespace

std::unique_ptr<WebPageEngine> loadWebPageEngine(const QString &directory, QString *error)
{
    ensureShareContext();
    QLibrary module(QDir(directory).filePath(QStringLiteral("tovakidoviv_webengine")));
    const auto entry = reinterpret_cast<WebPageEngineEntry>(module.resolve(webPageEngineEntryName));
    if (!entry) {
        *error = module.errorString();
        return nullptr;
    }
    return std::unique_ptr<WebPageEngine>(entry()); // the module stays loaded for the program's life
}

} // namespace tovakidoviv
