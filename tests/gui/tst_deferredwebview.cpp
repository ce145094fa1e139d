// The view the windows get, over an engine of fakes: navigations asked for
// before the engine runs, the page following the view's geometry, pages
// released for good, new-window requests passed on, the loading colour
// painted before the page, and the rule a page's own navigations follow.
#include "buildconfig.h"
#include "platform/deferredwebview.h"

#include <QPointer>
#include <QtTest>

using namespace tovakidoviv;

namespace {

struct PageLog {
    int created = 0;
    int destroyed = 0;
    QStringList navigations;
    QList<std::function<void(const QString &)>> newWindow;
    QList<QPointer<QWidget>> widgets;
};

class FakePage : public WebPage
{
public:
    FakePage(QWidget *host, PageLog &log, std::function<void(const QString &)> newWindow) : m_log(log)
    {
        m_widget = new QWidget(host);
        m_widget->setObjectName(QStringLiteral("page"));
        ++log.created;
        log.newWindow.append(std::move(newWindow));
        log.widgets.append(m_widget);
    }
    ~FakePage() override
    {
        ++m_log.destroyed;
        delete m_widget;
    }
    QWidget *widget() override { return m_widget; }
    void navigate(const QString &address) override { m_log.navigations.append(address); }
    void requestSnapshotJson(std::function<void(const QByteArray &)> ready) override
    {
        ready(QByteArray("[[\"INPUT\",\"news1\",\"one\",\"http://x/1\"]]"));
    }

private:
    PageLog &m_log;
    QWidget *m_widget;
};

class FakeEngine : public WebPageEngine
{
public:
    explicit FakeEngine(PageLog &log) : m_log(log) {}
    std::unique_ptr<WebPage> createPage(QWidget *host, std::function<void(const QString &)> newWindow) override
    {
        return std::make_unique<FakePage>(host, m_log, std::move(newWindow));
    }

private:
    PageLog &m_log;
};

} // namespace

class tst_deferredwebview : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_log = {};
        m_window = new QWidget;
        m_window->resize(400, 300);
    }

    void cleanup()
    {
        delete m_window;
        delete std::exchange(m_starter, nullptr);
        QCOMPARE(m_log.destroyed, m_log.created);
    }

    void navigationsBeforeEngine_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<QStringList>("made");

        const QString a = QStringLiteral("http://a.test/"), b = QStringLiteral("/opt/program/loading.html");
        QTest::newRow("none") << QStringList() << QStringList() << QStringList();
        QTest::newRow("one, made when the page comes") << QStringList{a} << QStringList() << QStringList{a};
        QTest::newRow("a later one replaces an earlier") << QStringList{a, b} << QStringList() << QStringList{b};
        QTest::newRow("after the page, each at once") << QStringList() << QStringList{a, b, a} << QStringList{a, b, a};
        QTest::newRow("pending, then more") << QStringList{a} << QStringList{b} << QStringList{a, b};
    }

    void navigationsBeforeEngine()
    {
        QFETCH(QStringList, before);
        QFETCH(QStringList, after);
        QFETCH(QStringList, made);

        DeferredWebView *view = makeView();
        for (const QString &address : before)
            view->navigate(address);
        QCOMPARE(m_log.navigations, QStringList());
        startEngine();
        QVERIFY(view->hasPage());
        for (const QString &address : after)
            view->navigate(address);
        QCOMPARE(m_log.navigations, made);
    }

    // Each page starts a process of its own: the ones in sight come first,
    // and hidden ones a moment later, unless nothing is in sight.
    void pagesInSightFirst_data()
    {
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<QStringList>("atStart");
        QTest::addColumn<QStringList>("later");

        const QStringList first{"first"}, both{"first", "second"};
        QTest::newRow("a hidden view made first waits") << first << QStringList{"second"} << first;
        QTest::newRow("both in sight: in the order made") << QStringList() << both << QStringList();
        QTest::newRow("none in sight: none waits") << both << both << QStringList();
    }

    void pagesInSightFirst()
    {
        QFETCH(QStringList, hidden);
        QFETCH(QStringList, atStart);
        QFETCH(QStringList, later);

        m_window->show();
        for (const QString &name : {QStringLiteral("first"), QStringLiteral("second")}) {
            DeferredWebView *view = makeView();
            view->setVisible(!hidden.contains(name));
            view->navigate(name);
        }
        auto *hiddenPages = m_starter->findChild<QTimer *>(QStringLiteral("hiddenPages"));
        QVERIFY(hiddenPages);
        hiddenPages->setInterval(std::chrono::hours(1)); // fired below, not raced
        startEngine();
        QCOMPARE(m_log.navigations, atStart);
        QCOMPARE(hiddenPages->isActive(), !later.isEmpty());
        if (hiddenPages->isActive())
            hiddenPages->start(0);
        QTRY_COMPARE(m_log.navigations, atStart + later);
    }

    void pageFollowsGeometry_data()
    {
        QTest::addColumn<bool>("placedBeforePage");
        QTest::addColumn<bool>("shownLater");

        QTest::newRow("placed before the page comes") << true << false;
        QTest::newRow("placed after the page came") << false << false;
        QTest::newRow("placed while hidden, shown later") << false << true;
    }

    void pageFollowsGeometry()
    {
        QFETCH(bool, placedBeforePage);
        QFETCH(bool, shownLater);

        DeferredWebView *view = makeView();
        view->setGeometry(10, 20, 100, 50);
        const QRect placed(-1, -1, 300, 200);
        if (shownLater)
            view->hide();
        if (placedBeforePage)
            view->setGeometry(placed);
        startEngine();
        if (!placedBeforePage)
            view->setGeometry(placed);
        if (shownLater)
            view->show();
        m_window->setAttribute(Qt::WA_DontShowOnScreen);
        m_window->show();

        QCOMPARE(m_log.widgets.size(), 1);
        QWidget *page = m_log.widgets.first();
        QCOMPARE(page->parentWidget(), view);
        QVERIFY(!page->isWindow());
        QCOMPARE(page->geometry(), QRect(QPoint(0, 0), placed.size()));
    }

    void releasedForGood_data()
    {
        QTest::addColumn<bool>("releasedBeforeEngine");

        QTest::newRow("released before the engine runs") << true;
        QTest::newRow("released after its page came") << false;
    }

    void releasedForGood()
    {
        QFETCH(bool, releasedBeforeEngine);

        DeferredWebView *view = makeView();
        DeferredWebView *other = makeView();
        view->navigate(QStringLiteral("http://a.test/"));
        if (releasedBeforeEngine)
            view->releasePage();
        startEngine();
        if (!releasedBeforeEngine) {
            QVERIFY(view->hasPage());
            view->releasePage();
        }

        QVERIFY(!view->hasPage());
        QVERIFY(view->isHidden());
        QVERIFY(other->hasPage()); // one view's release leaves the others alone
        QCOMPARE(m_log.created - m_log.destroyed, 1);
        const int navigations = m_log.navigations.size();
        view->navigate(QStringLiteral("http://b.test/"));
        QCOMPARE(m_log.navigations.size(), navigations);
        QCOMPARE(snapshotSizes(view), QList<qsizetype>{0});
        QCOMPARE(snapshotSizes(other), QList<qsizetype>{1});
    }

    void newWindowPassedOn()
    {
        DeferredWebView *view = makeView();
        QSignalSpy spy(view, &WebView::newWindowRequested);
        startEngine();
        QCOMPARE(m_log.newWindow.size(), 1);
        m_log.newWindow.first()(QStringLiteral("http://a.test/page"));
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().toString(), QStringLiteral("http://a.test/page"));

        // A request that arrives while the view is going away reaches nobody.
        auto request = m_log.newWindow.first();
        delete view;
        request(QStringLiteral("http://a.test/late"));
        QCOMPARE(spy.size(), 1);
    }

    void noEngine()
    {
        DeferredWebView *view = makeView(false);
        view->navigate(QStringLiteral("http://a.test/"));
        startEngine();
        QVERIFY(!view->hasPage());
        QCOMPARE(snapshotSizes(view), QList<qsizetype>{0});
        view->releasePage();
        QCOMPARE(m_log.created, 0);
    }

    void loadingColourBeforePage()
    {
        DeferredWebView *view = makeView();
        view->setGeometry(0, 0, 300, 200);
        const QImage image = view->grab().toImage();
        QVERIFY(!view->hasPage());
        // loading.html's own colour, the same everywhere: the page starts on it.
        QImage expected(image.size(), image.format());
        expected.fill(QColor(QRgb(buildconfig::loadingColour)));
        QCOMPARE(image, expected);
    }

private:
    DeferredWebView *makeView(bool withEngine = true)
    {
        if (!m_starter) {
            m_starter = new WebEngineStarter([this, withEngine]() -> std::unique_ptr<WebPageEngine> {
                return withEngine ? std::make_unique<FakeEngine>(m_log) : nullptr;
            });
        }
        return new DeferredWebView(m_starter, m_window);
    }

    void startEngine()
    {
        m_starter->startSoon();
        QTRY_VERIFY(m_starter->started());
    }

    // The sizes of the snapshots one request is answered with.
    QList<qsizetype> snapshotSizes(DeferredWebView *view)
    {
        QList<qsizetype> sizes;
        view->requestSnapshot([&sizes](const WebView::Snapshot &elements) { sizes.append(elements.size()); });
        (void)QTest::qWaitFor([&sizes] { return !sizes.isEmpty(); }); // the callers check what came
        return sizes;
    }

    PageLog m_log;
    QWidget *m_window = nullptr;
    WebEngineStarter *m_starter = nullptr;
};

QTEST_MAIN(tst_deferredwebview)
#include "tst_deferredwebview.moc"
