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
#include <QProcessEnvironment>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace tovakidoviv;

namespace {

QtMessageHandler forwardMessage = nullptr;

// Notices of the engine that carry no logging category, so no rule can hold
// them back: the program composites its pages in software on purpose, which
// the engine reports as a missing OpenGL set-up and a missing graphics
// backend, and as root it has said itself, with the reason, that the sandbox
// is off. They are shown when the user has chosen logging rules of their own.
bool expectedEngineNotice(QtMsgType type, const QString &message)
{
    if (type == QtInfoMsg)
        return message == QLatin1String("Sandboxing disabled by user.");
    if (type == QtWarningMsg)
        return message.trimmed() == QLatin1String("No suitable graphics backend found")
            || message.startsWith(QLatin1String("Qt WebEngine seems to be initialized from a plugin."));
    return false;
}

void dropExpectedEngineNotices(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!expectedEngineNotice(type, message))
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
    forwardMessage = qInstallMessageHandler(dropExpectedEngineNotices);
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
    // Taken before anything below changes it: the browser gets the user's.
    const QProcessEnvironment startEnvironment = QProcessEnvironment::systemEnvironment();
    // Chromium cannot sandbox its renderers for the root user.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("tovakidoviv: running as root, so the web engine's sandbox is turned off\n", stderr);
    }
    // Everything is drawn in software, the pages included: without this, the
    // X11 platform would still load OpenGL and its software driver, over ten
    // megabytes that nothing here uses. (Qt's Wayland platform draws window
    // frames only with its OpenGL buffer integration, so there it stays.)
    if (!qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
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

    DesktopBrowserLauncher launcher(startEnvironment);
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
    // The engine's libraries are bound on a thread of their own meanwhile,
    // while the window is painted.
    preloadWebPageEngine(QCoreApplication::applicationDirPath());
    // The icon follows at once; the window need not wait for its pictures.
    QTimer::singleShot(0, &window, [] { QApplication::setWindowIcon(widgets::windowIcon()); });
    const int status = QApplication::exec();
    forms::destroyAll();
    return status;
}
