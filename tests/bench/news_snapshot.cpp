// How long reading a huge news page holds the window thread: a page of
// 100,000 INPUT elements is read through the real web view while a 5 ms
// heartbeat timer measures the longest stall of the event loop.
#include "platform/deferredwebview.h"
#include "platform/webengineloader.h"
#include "news/newswalk.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

using namespace tovakidoviv;

int main(int argc, char *argv[])
{
    if (geteuid() == 0)
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    QApplication app(argc, argv);
    const int inputs = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 100000;

    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("news.html"));
    {
        QFile f(page);
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        f.write("<!DOCTYPE html><html><body>");
        for (int i = 0; i < inputs; ++i)
            f.write(QStringLiteral("<input name=\"x%1\" value=\"v%1\">").arg(i).toUtf8());
        for (int k = 1; k <= 10; ++k)
            f.write(QStringLiteral("<input name=\"news%1\" value=\"item %1\" mysrc=\"http://n/%1\">").arg(k).toUtf8());
        f.write("</body></html>");
    }

    QWidget window;
    window.resize(400, 300);
    auto factory = deferredWebViewFactory(&app, [] {
        QString error;
        auto engine = loadWebPageEngine(QStringLiteral(TOVAKIDOVIV_MODULE_DIR), &error);
        if (!engine)
            std::fprintf(stderr, "%s\n", qPrintable(error));
        return engine;
    });
    WebView *view = factory(&window);
    view->hide();
    window.show();
    view->navigate(page);

    QElapsedTimer clock;
    qint64 last = 0, worst = 0;
    QTimer heartbeat;
    heartbeat.setInterval(5);
    QObject::connect(&heartbeat, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        worst = std::max(worst, now - last);
        last = now;
    });

    QTimer::singleShot(8000, [&] {
        clock.start();
        heartbeat.start();
        view->requestSnapshot([&](const WebView::Snapshot &elements) {
            QElapsedTimer walkClock;
            walkClock.start();
            const auto items = news::walk(elements);
            const qint64 walkMs = walkClock.elapsed();
            const qint64 total = clock.elapsed();
            QTimer::singleShot(50, [&, items, walkMs, total, count = elements.size()] {
                std::printf("elements %lld, news items %lld\n", static_cast<long long>(count),
                            static_cast<long long>(items.size()));
                std::printf("snapshot to lines filled: %lld ms\n", static_cast<long long>(total));
                std::printf("walk on the window thread: %lld ms\n", static_cast<long long>(walkMs));
                std::printf("longest stall of the window thread: %lld ms\n", static_cast<long long>(worst));
                QCoreApplication::quit();
            });
        });
    });
    QTimer::singleShot(60000, [] {
        std::puts("no snapshot within a minute");
        QCoreApplication::exit(1);
    });
    return QApplication::exec();
}
