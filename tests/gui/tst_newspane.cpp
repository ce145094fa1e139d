// The end of the loading phase, the news lines and the link buttons.
#include "fixture.h"

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
QStringList lines(const main &window)
{
    QStringList texts;
    for (int i = 0; i < window.news->count(); ++i)
        texts << window.news->at(i)->text();
    return texts;
}
} // namespace

// What a click on each line opens is tst_clicks' routing table.
class tst_newspane : public GuiTest
{
    Q_OBJECT
private slots:
    void tickEffects()
    {
        QVERIFY(overlay()->isVisible());
        QCOMPARE(newsView()->snapshotRequests, 0);
        endLoading(*window);
        QCOMPARE(newsView()->snapshotRequests, 1);
        QCOMPARE(window->city1->count(), 3);
        QVERIFY(!overlay()->isVisible());
        // Neither page is seen again: both are given up once read and hidden.
        QVERIFY(overlay()->released);
        QVERIFY(newsView()->released);
        QCOMPARE(lines(*window), (QStringList{"第一条", "<b>第二条</b>", "第三条", "第四条", "已结束", "Label21",
                                              "Label21", "Label21", "Label21", "Label21"}));
        QCOMPARE(window->news->at(1)->textFormat(), Qt::PlainText);
        QCOMPARE(window->NewsLinks().size(), 11);
        // The tick happens once: the timer is stopped by it.
        QVERIFY(!window->Timer1->isActive());
    }

    // A snapshot that has not come at the tick: the overlay waits for it, up
    // to its deadline, and goes in the same step as the lines fill, so that
    // the two reach the screen as one paint; one that comes later still fills
    // the lines, once.
    void lateSnapshot_data()
    {
        QTest::addColumn<bool>("beforeDeadline");
        QTest::newRow("answered before the deadline") << true;
        QTest::newRow("answered after the deadline") << false;
    }
    void lateSnapshot()
    {
        QFETCH(bool, beforeDeadline);
        newsView()->answersAtOnce = false;
        window->overlayDeadline->setInterval(std::chrono::hours(1)); // driven by the test below
        endLoading(*window);
        QCOMPARE(window->city1->count(), 3);
        QVERIFY(window->overlayDeadline->isActive());
        QVERIFY(overlay()->isVisible());
        QVERIFY(!overlay()->released);
        if (!beforeDeadline) {
            window->overlayDeadline->start(0);
            QTRY_VERIFY(!overlay()->isVisible());
            QVERIFY(overlay()->released);
            QCOMPARE(lines(*window), QStringList(10, QStringLiteral("Label21")));
            click(window->news->at(0));
            QCOMPARE(platform->launcher.opened, QStringList());
        }

        QCOMPARE(newsView()->pending.size(), 1);
        const WebView::SnapshotReady windowsCallback = newsView()->pending.takeFirst();
        windowsCallback(newsView()->page);
        QCOMPARE(window->news->at(0)->text(), QStringLiteral("第一条"));
        QVERIFY(!overlay()->isVisible());
        QVERIFY(overlay()->released);
        QVERIFY(!window->overlayDeadline->isActive());
        QVERIFY(newsView()->released);
        // A second answer changes nothing: the page is read once per run.
        windowsCallback({input("news1", "再一次", "http://example.test/again")});
        QCOMPARE(window->news->at(0)->text(), QStringLiteral("第一条"));
        QCOMPARE(window->NewsLinks().at(0), QStringLiteral("http://example.test/1.html"));
    }

    void longValueIsClipped()
    {
        newsView()->page = {input("news1", QString(100000, QChar(u'长')), "http://example.test/long")};
        const QRect before = window->news->at(0)->geometry();
        endLoading(*window);
        QCOMPARE(window->news->at(0)->text().size(), 100000);
        QCOMPARE(window->news->at(0)->geometry(), before);
        QCOMPARE(window->Frame2->size(), QSize(169, 233));
    }

private:
    FakeWebView *overlay() const { return platform->view(window, "WebBrowser2"); }
};

QTEST_MAIN(tst_newspane)
#include "tst_newspane.moc"
