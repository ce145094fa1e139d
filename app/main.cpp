#include "app/forms.h"
#include "app/mainwindow.h"
#include "quotation/publicfunction.h"
#include "platform/browserlauncher.h"
#include "platform/messagebox.h"
#include "platform/deferredwebview.h"
#include "platform/webengineloader.h"
#include "platform/desktop.h"
#include "platform/pictures.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace tovakidoviv;

namespace {

QtMessageHandler forwardMessage = nullptr;

constexpr char waylandBufferVariable[] = "QT_WAYLAND_CLIENT_BUFFER_INTEGRATION";
constexpr char noWaylandBuffers[] = "none"; // no such integration: shared memory only

// Notices of what the program chose itself: it composites its pages in
// software on purpose, which the engine reports as a missing OpenGL set-up and
// a missing graphics backend, and the Wayland platform as an integration it
// could not load (the one named below, on purpose); as root it has said
// itself, with the reason, that the sandbox is off. The engine's carry no
// logging category, so no rule can hold them back. They are shown when the
// user has chosen logging rules of their own.
bool expectedNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtInfoMsg)
        return message == QLatin1String("Sandboxing disabled by user.");
    if (type != QtWarningMsg)
        return false;
    if (qstrcmp(context.category, "qt.qpa.wayland") == 0 && qgetenv(waylandBufferVariable) == noWaylandBuffers)
        return message.startsWith(QLatin1String("Failed to load client buffer integration:"))
            || message.startsWith(QLatin1String("Available client buffer integrations:"));
    return message.trimmed() == QLatin1String("No suitable graphics backend found")
        || message.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin."));
}

void dropExpectedNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!expectedNotice(type, context, message))
        forwardMessage(type, context, message);
}

// Pages write to their script console, which tells a user nothing; kept quiet
// unless the user has chosen logging rules of their own, and so are the
// expected notices above.
void quietEngineByDefault()
{
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        return;
    QLoggingCategory::setFilterRules(QStringLiteral("js=false"));
    forwardMessage = qInstallMessageHandler(dropExpectedNotices);
}

QLoggingCategory::CategoryFilter previousCategoryFilter = nullptr;

// The engine's report of its graphics set-up reads the OpenGL context shared
// between threads, which software compositing never makes: with that report
// on, the engine would crash as it starts. It stays off whatever the rules say.
void withoutEngineContextReport(QLoggingCategory *category)
{
    // Null while installFilter() runs it over the categories there are, which
    // the rules have set already.
    if (previousCategoryFilter)
        previousCategoryFilter(category);
    if (qstrcmp(category->categoryName(), "qt.webenginecontext") == 0)
        category->setEnabled(QtInfoMsg, false);
}

} // namespace

int main(int argc, char *argv[])
{
    // Chromium cannot sandbox its renderers for the root user.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("tovakidoviv: running as root, so the web engine's sandbox is turned off\n", stderr);
    }
    // Everything is drawn in software, the pages included: without these, the
    // X11 and Wayland platforms would still load OpenGL and its software
    // driver, over ten megabytes that nothing here uses. Windows then go to
    // the display as plain images.
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    if (!qEnvironmentVariableIsSet(waylandBufferVariable))
        qputenv(waylandBufferVariable, noWaylandBuffers);
    quietEngineByDefault();
    previousCategoryFilter = QLoggingCategory::installFilter(withoutEngineContextReport);
    widgets::warmUpFonts(); // while the application object connects to the display
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(applicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("tovakidoviv"));

    QtMessageBox messageBox;
    // The region data is read before any control of the window exists.
    if (const QString error = publicfunction::ReadCityFile(); !error.isEmpty()) {
        QApplication::setWindowIcon(widgets::windowIcon());
        messageBox.fail(nullptr, error);
        return 1;
    }

    DesktopBrowserLauncher launcher;
    PlatformBundle platform;
    platform.makeWebView = deferredWebViewFactory(&app, [] {
        QString error;
        auto engine = loadWebPageEngine(QCoreApplication::applicationDirPath(), &error);
        if (!engine)
            std::fprintf(stderr, "tovakidoviv: no web pages can be shown: %s\n", qPrintable(error));
        return engine;
    });
    platform.launcher = &launcher;
    platform.messageBox = &messageBox;
    platform.programDirectory = QCoreApplication::applicationDirPath();
    platform.endProgram = [](int status) {
        // Every window goes at once; no other window's closing runs.
        for (QWidget *w : QApplication::topLevelWidgets())
            w->hide();
        QCoreApplication::exit(status);
    };
    forms::setPlatform(platform);

    auto &window = forms::mainInstance();
    window.show();
    // The icon follows at once; the window need not wait for its pictures.
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(widgets::windowIcon()); });
    const int status = QApplication::exec();
    forms::destroyAll();
    return status;
}
