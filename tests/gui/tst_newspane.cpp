// The end of the loading phase, the news lines and the link buttons.
#include "service/addresses.h"
#include "app/mainwindow.h"
#include "quotation/publicvalue.h"
#include "fakes.h"
#include "platform/editablecombo.h"
#include "platform/labelarray.h"
#include "platform/picturebutton.h"

#include <QGroupBox>
#include <QTimer>
#include <QtTest>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
DomElement input(const QString &name, const QString &value, const QString &link)
{
    return {QStringLiteral("INPUT"), name, value, link};
}

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}
} // namespace

class tst_newspane : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void tickEffects();
    void tickHappensOnce();
    void snapshotNeverArrives();
    void lateSnapshotFillsOnce();
    void newsClicks_data();
    void newsClicks();
    void longValueIsClipped();
    void externalLinks_data();
    void externalLinks();

private:
    FakePlatform *m_platform = nullptr;
    main *m_window = nullptr;
    FakeWebView *m_newsView = nullptr;
    FakeWebView *m_overlay = nullptr;
};

void tst_newspane::init()
{
    publicvalue::CityData = QStringLiteral("110000|北京市,120000|天津市,");
    m_platform = new FakePlatform;
    m_window = new main(m_platform->bundle());
    m_newsView = m_platform->view(m_window, "WebBrowser1");
    m_overlay = m_platform->view(m_window, "WebBrowser2");
    m_newsView->page = {
        {QStringLiteral("DIV"), QStringLiteral("news1"), QString(), QStringLiteral("http://x/div")},
        input("news1", "第一条", "http://example.test/1.html"),
        input("news2", "<b>第二条</b>", "https://example.test/2.html"),
        input("news3", "第三条", "javascript:alert(1)"),
        {QStringLiteral("input"), QStringLiteral("NEWS4"), QStringLiteral("第四条"), std::nullopt},
        input("news5", "已结束", "HTTP://example.test/5.html"),
        input("news6", "不显示", "http://example.test/6.html"),
    };
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void tst_newspane::cleanup()
{
    delete m_window;
    delete m_platform;
}

void tst_newspane::tickEffects()
{
    QVERIFY(m_overlay->isVisible());
    QCOMPARE(m_newsView->snapshotRequests, 0);
    endLoading(*m_window);
    QCOMPARE(m_newsView->snapshotRequests, 1);
    QCOMPARE(m_window->city1->count(), 2);
    QVERIFY(!m_overlay->isVisible());
    // Neither page is seen again: both are given up once read and hidden.
    QVERIFY(m_overlay->released);
    QVERIFY(m_newsView->released);
    const QStringList expected{"第一条", "<b>第二条</b>", "第三条", "第四条", "已结束",
                               "Label21", "Label21", "Label21", "Label21", "Label21"};
    for (int i = 0; i < 10; ++i)
        QCOMPARE(m_window->news->at(i)->text(), expected[i]);
    QCOMPARE(m_window->news->at(1)->textFormat(), Qt::PlainText);
    QCOMPARE(m_window->NewsLinks().size(), 11);
}

void tst_newspane::tickHappensOnce()
{
    endLoading(*m_window);
    QTest::qWait(50);
    QCOMPARE(m_newsView->snapshotRequests, 1);
    QCOMPARE(m_window->city1->count(), 2);
    QVERIFY(!m_window->Timer1->isActive());
}

void tst_newspane::snapshotNeverArrives()
{
    m_newsView->answersAtOnce = false;
    endLoading(*m_window);
    QVERIFY(!m_overlay->isVisible());
    QVERIFY(m_overlay->released);
    QVERIFY(!m_newsView->released); // a late answer can still be read
    QCOMPARE(m_window->city1->count(), 2);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(m_window->news->at(i)->text(), QStringLiteral("Label21"));
    click(m_window->news->at(0));
    QCOMPARE(m_platform->launcher.opened, QStringList());
}

void tst_newspane::lateSnapshotFillsOnce()
{
    m_newsView->answersAtOnce = false;
    endLoading(*m_window);
    QCOMPARE(m_newsView->pending.size(), 1);
    const WebView::SnapshotReady windowsCallback = m_newsView->pending.first();
    m_newsView->answerPending();
    QCOMPARE(m_window->news->at(0)->text(), QStringLiteral("第一条"));
    QVERIFY(m_newsView->released);
    // A second answer changes nothing: the page is read once per run.
    windowsCallback({input("news1", "再一次", "http://example.test/again")});
    QCOMPARE(m_window->news->at(0)->text(), QStringLiteral("第一条"));
    QCOMPARE(m_window->NewsLinks().at(0), QStringLiteral("http://example.test/1.html"));
}

void tst_newspane::newsClicks_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("http link") << 0 << QStringList{"http://example.test/1.html"};
    QTest::newRow("https link") << 1 << QStringList{"https://example.test/2.html"};
    QTest::newRow("javascript link opens nothing") << 2 << QStringList();
    QTest::newRow("missing link opens nothing") << 3 << QStringList();
    QTest::newRow("upper-case scheme") << 4 << QStringList{"HTTP://example.test/5.html"};
    QTest::newRow("unfilled line opens nothing") << 5 << QStringList();
    QTest::newRow("last line unfilled") << 9 << QStringList();
}

void tst_newspane::newsClicks()
{
    QFETCH(int, index);
    QFETCH(QStringList, opened);
    endLoading(*m_window);
    QSignalSpy clicked(m_window->news, &LabelArray::clicked);
    click(m_window->news->at(index));
    // Every line reports its click with its own index, whether it opens anything or not.
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(clicked.at(0).at(0).value<short>(), short(index));
    QCOMPARE(m_platform->launcher.opened, opened);
    QCOMPARE(m_platform->messageBox.informed, QStringList());
}

void tst_newspane::longValueIsClipped()
{
    m_newsView->page = {input("news1", QString(100000, QChar(u'长')), "http://example.test/long")};
    const QRect before = m_window->news->at(0)->geometry();
    endLoading(*m_window);
    QCOMPARE(m_window->news->at(0)->text().size(), 100000);
    QCOMPARE(m_window->news->at(0)->geometry(), before);
    QCOMPARE(m_window->Frame2->size(), QSize(169, 233));
}

void tst_newspane::externalLinks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("address");
    const QString chat = addresses::supportChat();
    QTest::newRow("Image6") << "Image6" << chat;
    QTest::newRow("Image7") << "Image7" << chat;
    QTest::newRow("Image8") << "Image8" << chat;
    QTest::newRow("Image9") << "Image9" << chat;
    QTest::newRow("Label21") << "Label21" << "http://" + addresses::siteHost();
    QTest::newRow("Label17 reacts to nothing") << "Label17" << QString();
    QTest::newRow("Label20 reacts to nothing") << "Label20" << QString();
}

void tst_newspane::externalLinks()
{
    QFETCH(QString, name);
    QFETCH(QString, address);
    endLoading(*m_window);
    QWidget *w = m_window->findChild<QWidget *>(name);
    QVERIFY(w);
    click(w);
    click(w);
    const QStringList expected = address.isEmpty() ? QStringList() : QStringList{address, address};
    QCOMPARE(m_platform->launcher.opened, expected);
    if (!address.isEmpty() && name != QLatin1String("Label21"))
        QVERIFY(address.contains(QStringLiteral("/msgrd?v=1&uin=")));
}

QTEST_MAIN(tst_newspane)
#include "tst_newspane.moc"
