#include "app/forms.h"
#include "app/mainwindow.h"
#include "quotation/publicfunction.h"
#include "platform/browserlauncher.h"
#include "platform/messagebox.h"
#include "platform/deferredwebview.h"
#include "platform/webengineloader.h"
#include "platform/widgets.h"

#include <QApplication>
#include <QLoggingCategory>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace tovakidoviv;

namespace {

QtMessageHandler forwardMessage = nullptr;

// The engine's own notice of the sandbox being off: the program has said so
// itself, with the reason.
void dropEngineSandboxNotice(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtInfoMsg && message == QLatin1String("Sandboxing disabled by user."))
        return;
    forwardMessage(type, context, message);
}

// The engine describes its OpenGL set-up on every start, and pages write to
// their script console; neither tells a user anything. Both are kept quiet
// unless the user has chosen logging rules of their own.
void quietEngineByDefault()
{
    if (qEnvironmentVariableIsSet("QT_LOGGING_RULES"))
        return;
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\njs=false"));
}

} // namespace

int main(int argc, char *argv[])
{
    // Chromium cannot sandbox its renderers for the root user.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("tovakidoviv: running as root, so the web engine's sandbox is turned off\n", stderr);
        forwardMessage = qInstallMessageHandler(dropEngineSandboxNotice);
    }
    quietEngineByDefault();
    // The web engine composites its pages through OpenGL with a context shared
    // between threads, which the application object makes when asked before it
    // is constructed.
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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
