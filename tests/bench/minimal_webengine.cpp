// The yardstick for start-up: the smallest Qt WebEngine window that shows a
// local page, sized like the main window, composited in software as the
// program's pages are.
#include <QApplication>
#include <QQuickWindow>
#include <QUrl>
#include <QWebEngineProfile>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <unistd.h>

int main(int argc, char *argv[])
{
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal-webengine"));
    window.setFixedSize(797, 574);
    auto *profile = new QWebEngineProfile(&app);
    auto *view = new QWebEngineView(&window);
    view->setPage(new QWebEnginePage(profile, view));
    view->setGeometry(0, 0, 835, 571);
    view->load(QUrl::fromLocalFile(QString::fromLocal8Bit(argv[1])));
    window.show();
    return QApplication::exec();
}
