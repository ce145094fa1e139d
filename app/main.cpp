#include "app/forms.h"
#include "app/mainwindow.h"
#include "app/publicfunction.h"
#include "platform/browserlauncher.h"
#include "platform/messagebox.h"
#include "platform/webengineview.h"
#include "platform/widgets.h"

#include <QApplication>

#include <cstdio>
#include <unistd.h>

using namespace tovakidoviv;

int main(int argc, char *argv[])
{
    // Chromium cannot sandbox its renderers for the root user.
    if (geteuid() == 0) {
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        std::fputs("tovakidoviv: running as root, so the web engine's sandbox is turned off\n", stderr);
    }
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(applicationTitle));
    QApplication::setDesktopFileName(QStringLiteral("tovakidoviv"));
    QApplication::setWindowIcon(widgets::windowIcon());

    QtMessageBox messageBox;
    // The region data is read before any control of the window exists.
    if (const QString error = publicfunction::ReadCityFile(); !error.isEmpty()) {
        messageBox.fail(nullptr, error);
        return 1;
    }

    DesktopBrowserLauncher launcher;
    PlatformBundle platform;
    platform.makeWebView = webEngineViewFactory(&app);
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
    const int status = QApplication::exec();
    forms::destroyAll();
    return status;
}
