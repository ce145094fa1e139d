#include "service/linkpolicy.h"

#include <QUrl>
#include <QtTest>

using namespace tovakidoviv;

class tst_linkpolicy : public QObject
{
    Q_OBJECT
private slots:
    void isOpenable_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("openable");

        QTest::newRow("http") << QStringLiteral("http://x") << true;
        QTest::newRow("https upper case") << QStringLiteral("HTTPS://x") << true;
        QTest::newRow("mixed case") << QStringLiteral("HtTp://x") << true;
        QTest::newRow("with path") << QStringLiteral("https://www.tovaki.com/a.htm?x=1") << true;
        QTest::newRow("scheme only") << QStringLiteral("http://") << false;
        QTest::newRow("secure scheme only") << QStringLiteral("https://") << false;
        QTest::newRow("javascript") << QStringLiteral("javascript:alert(1)") << false;
        QTest::newRow("file") << QStringLiteral("file:///etc/passwd") << false;
        QTest::newRow("bare path") << QStringLiteral("/bare/path") << false;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow("ftp") << QStringLiteral("ftp://x") << false;
        QTest::newRow("mailto") << QStringLiteral("mailto:help@example.com") << false;
        QTest::newRow("chat program's scheme") << QStringLiteral("tencent://message/?uin=800010105") << false;
        QTest::newRow("no slashes") << QStringLiteral("http:x") << false;
        QTest::newRow("leading blank") << QStringLiteral(" http://x") << false;
        QTest::newRow("scheme later in the text") << QStringLiteral("javascript:'http://x'") << false;
    }

    void isOpenable()
    {
        QFETCH(QString, link);
        QFETCH(bool, openable);
        QCOMPARE(links::isOpenable(link), openable);
    }

    // Every address but a local file is isOpenable's table above; one row each way
    // shows the view's rule takes it from there.
    void mayLoadInView_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("allowed");

        QTest::newRow("http") << "http://127.0.0.1:18081/softload/explain2.html" << true;
        QTest::newRow("mailto") << "mailto:help@example.com" << false;
        QTest::newRow("data") << "data:text/html,<p>x</p>" << false;
        QTest::newRow("the loading page") << "file:///opt/program/loading.html" << true;
        QTest::newRow("the loading page, a fragment") << "file:///opt/program/loading.html#top" << true;
        QTest::newRow("another local file") << "file:///etc/passwd" << false;
        QTest::newRow("a file beside the loading page") << "file:///opt/program/city.txt" << false;
    }

    void mayLoadInView()
    {
        QFETCH(QString, url);
        QFETCH(bool, allowed);
        const QUrl localPage = QUrl::fromLocalFile(QStringLiteral("/opt/program/loading.html"));
        QCOMPARE(links::mayLoadInView(QUrl(url), localPage), allowed);
        // A view that was never given a local page lets none through.
        if (QUrl(url).isLocalFile())
            QVERIFY(!links::mayLoadInView(QUrl(url), QUrl()));
    }
};

QTEST_APPLESS_MAIN(tst_linkpolicy)
#include "tst_linkpolicy.moc"
