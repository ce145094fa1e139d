// The navigation bar on both windows and the instructions window.
#include "service/addresses.h"
#include "app/forms.h"
#include "app/mainwindow.h"
#include "quotation/publicvalue.h"
#include "fakes.h"
#include "instructions/shuomingform.h"
#include "navbar/shjbjqbutton.h"
#include "platform/editablecombo.h"
#include "platform/labelarray.h"
#include "platform/picturebutton.h"
#include "platform/widgets.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <memory>
#include <vector>
#include <QTimer>
#include <QtTest>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
// Clicks whatever control lies at a pixel of the window's client area.
QWidget *clickAt(QWidget *window, QPoint at)
{
    QWidget *target = window->childAt(at);
    if (!target)
        target = window;
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window, at));
    return target;
}

// Records shows and hides of the two windows, and what the target's bar says
// when it is shown.
class SwitchRecorder : public QObject
{
public:
    QStringList events;
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *w = qobject_cast<QWidget *>(watched);
        if (!w || !w->isWindow())
            return false;
        if (event->type() == QEvent::Show) {
            auto *bar = w->findChild<shjbjqbutton *>(QStringLiteral("shjbjqbutton1"));
            events << QStringLiteral("show %1 [%2]").arg(w->objectName(), bar->Label1->text());
        } else if (event->type() == QEvent::Hide) {
            events << QStringLiteral("hide %1").arg(w->objectName());
        }
        return false;
    }
};

// Pixel positions on the windows (twips / 15): the tabs' middles.
constexpr QPoint tab1(8 + 8 + 61, 101 + 19);
constexpr QPoint tab3(8 + 256 + 61, 101 + 19);
constexpr QPoint tab5(8 + 504 + 61, 101 + 19);
} // namespace

class tst_navigation : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void clickmeun_data();
    void clickmeun();
    void barClicks_data();
    void barClicks();
    void instructionsLayout();
    void switchToInstructionsAndBack();
    void stateKeptAcrossRoundTrip();
    void secondSwitchDoesNotReload();
    void backgroundClickReloads_data();
    void backgroundClickReloads();
    void barSignals_data();
    void barSignals();
    void highlightedTabIsInert_data();
    void highlightedTabIsInert();
    void linkTabs_data();
    void linkTabs();
    void newWindowLinks_data();
    void newWindowLinks();
    void closingEitherEnds_data();
    void closingEitherEnds();

private:
    FakePlatform *m_platform = nullptr;
    main *m_main = nullptr;
    QWidget *loadedWindow(bool instructions);
};

void tst_navigation::init()
{
    publicvalue::CityData = QStringLiteral("110000|北京市,110100|北京市,110101|东城区,");
    m_platform = new FakePlatform;
    forms::setPlatform(m_platform->bundle());
    m_main = &forms::mainInstance();
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void tst_navigation::cleanup()
{
    forms::destroyAll();
    delete m_platform;
}

// Once loading has ended: the main window, or the instructions window its
// fifth tab switched to.
QWidget *tst_navigation::loadedWindow(bool instructions)
{
    endLoading(*m_main);
    if (!instructions)
        return m_main;
    clickAt(m_main, tab5);
    return &forms::shuomingformInstance();
}

void tst_navigation::clickmeun_data()
{
    QTest::addColumn<QList<short>>("calls");
    QTest::addColumn<QPoint>("image5");
    QTest::addColumn<QPoint>("label1");
    QTest::addColumn<QString>("caption");
    const QPoint image1(8, 0), label1AtCreation(16, 8), label1On1(15, 7);
    const QPoint image5On5(504, 0), label1On5(511, 7);
    for (short n : {0, 2, 3, 4, 6, -1, -32768, 32767})
        QTest::addRow("%d changes nothing", n) << QList<short>{n} << image1 << label1AtCreation << "自动报价";
    QTest::newRow("1 moves the label 20 twips") << QList<short>{1} << image1 << label1On1 << "自动报价";
    QTest::newRow("1 twice") << QList<short>{1, 1} << image1 << label1On1 << "自动报价";
    QTest::newRow("5") << QList<short>{5} << image5On5 << label1On5 << "使用说明";
    QTest::newRow("5 then 1") << QList<short>{5, 1} << image1 << label1On1 << "自动报价";
    QTest::newRow("5 then 3") << QList<short>{5, 3} << image5On5 << label1On5 << "使用说明";
}

void tst_navigation::clickmeun()
{
    QFETCH(QList<short>, calls);
    QFETCH(QPoint, image5);
    QFETCH(QPoint, label1);
    QFETCH(QString, caption);
    FakeLauncher launcher;
    shjbjqbutton bar(launcher, {});
    bar.resize(721, 41);
    const QSize imageSize = bar.Image5->size(), labelSize = bar.Label1->size();
    for (short n : calls)
        bar.clickmeun(n);
    QCOMPARE(bar.Image5->pos(), image5);
    QCOMPARE(bar.Label1->pos(), label1);
    QCOMPARE(bar.Label1->text(), caption);
    QCOMPARE(bar.Image5->size(), imageSize);
    QCOMPARE(bar.Label1->size(), labelSize);
    QCOMPARE(bar.Label1->font().pointSizeF(), 15.75);
}

// The bar alone: it opens its three pages itself, asks its owner for the two
// windows, and leaves every highlight to the owner's clickmeun.
void tst_navigation::barClicks_data()
{
    QTest::addColumn<short>("highlighted");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QList<short>>("requested");
    QTest::addColumn<QStringList>("opened");
    const QPoint tab1InBar(8 + 61, 19), tab5InBar(504 + 61, 19);
    QTest::newRow("自动报价 from tab 5") << short(5) << tab1InBar << QList<short>{1} << QStringList();
    QTest::newRow("使用说明 from tab 1") << short(1) << tab5InBar << QList<short>{5} << QStringList();
    QTest::newRow("家装工具") << short(1) << QPoint(133 + 61, 19) << QList<short>() << QStringList{"http://tools.test"};
    QTest::newRow("装修效果图") << short(5) << QPoint(256 + 61, 19) << QList<short>()
                                << QStringList{"http://pictures.test/zxpic.htm"};
    QTest::newRow("精确报价") << short(1) << QPoint(379 + 61, 19) << QList<short>()
                              << QStringList{"http://precise.test/MemberPrice.htm"};
    QTest::newRow("highlighted 自动报价") << short(1) << tab1InBar << QList<short>() << QStringList();
    QTest::newRow("highlighted 使用说明") << short(5) << tab5InBar << QList<short>() << QStringList();
    QTest::newRow("caption label") << short(1) << QPoint(15 + 20, 7 + 5) << QList<short>() << QStringList();
}

void tst_navigation::barClicks()
{
    QFETCH(short, highlighted);
    QFETCH(QPoint, at);
    QFETCH(QList<short>, requested);
    QFETCH(QStringList, opened);
    FakeLauncher launcher;
    shjbjqbutton bar(launcher, {QStringLiteral("http://tools.test"), QStringLiteral("http://pictures.test/zxpic.htm"),
                                QStringLiteral("http://precise.test/MemberPrice.htm")});
    bar.resize(721, 41);
    bar.show();
    QVERIFY(QTest::qWaitForWindowExposed(&bar));
    bar.clickmeun(highlighted);
    const QPoint image5 = bar.Image5->pos();
    const QString caption = bar.Label1->text();
    QSignalSpy spy(&bar, &shjbjqbutton::windowRequested);
    clickAt(&bar, at);
    QList<short> got;
    for (const QList<QVariant> &arguments : spy)
        got << arguments.at(0).value<short>();
    QCOMPARE(got, requested);
    QCOMPARE(launcher.opened, opened);
    QCOMPARE(bar.Image5->pos(), image5);
    QCOMPARE(bar.Label1->text(), caption);
}

void tst_navigation::instructionsLayout()
{
    shuomingform &form = forms::shuomingformInstance();
    QCOMPARE(form.size(), QSize(799, 575));
    QVERIFY(form.minimumSize() != form.maximumSize());
    QCOMPARE(form.windowTitle(), m_main->windowTitle());
    QCOMPARE(form.shjbjqbutton1->geometry(), QRect(8, 101, 609, 49));
    QCOMPARE(form.WebBrowser2->geometry(), QRect(8, 144, 779, 403));
    // The fifth tab reaches past the bar's right edge and is cut off there.
    QCOMPARE(form.shjbjqbutton1->Image4->geometry().right(), 504 + 122 - 1);
    QVERIFY(form.shjbjqbutton1->Image4->geometry().right() > form.shjbjqbutton1->width());
    form.resize(1000, 800);
    QCOMPARE(form.WebBrowser2->geometry(), QRect(8, 144, 779, 403));
    QCOMPARE(m_platform->view(&form, "WebBrowser2")->navigations, QStringList{addresses::instructionsPage()});
}

void tst_navigation::switchToInstructionsAndBack()
{
    endLoading(*m_main);
    SwitchRecorder recorder;
    qApp->installEventFilter(&recorder);
    QVERIFY(!forms::shuomingformExists());
    clickAt(m_main, tab5);
    QVERIFY(forms::shuomingformExists());
    shuomingform &form = forms::shuomingformInstance();
    QVERIFY(form.isVisible());
    QVERIFY(m_main->isHidden());
    QCOMPARE(recorder.events, (QStringList{"show shuomingform [使用说明]", "hide main"}));
    QCOMPARE(form.shjbjqbutton1->Image5->pos(), QPoint(504, 0));
    // The main window's own bar never moves.
    QCOMPARE(m_main->shjbjqbutton1->Image5->pos(), QPoint(8, 0));

    recorder.events.clear();
    clickAt(&form, tab1);
    QCOMPARE(recorder.events, (QStringList{"show main [自动报价]", "hide shuomingform"}));
    QVERIFY(m_main->isVisible());
    QVERIFY(form.isHidden());
    qApp->removeEventFilter(&recorder);
}

void tst_navigation::stateKeptAcrossRoundTrip()
{
    auto *newsView = m_platform->view(m_main, "WebBrowser1");
    newsView->page = {{QStringLiteral("INPUT"), QStringLiteral("news1"), QStringLiteral("消息"), QStringLiteral("http://n/1")}};
    endLoading(*m_main);
    m_main->city1->setCurrentIndex(0);
    emit m_main->city1->activated(0);
    m_main->city2->setCurrentIndex(0);
    emit m_main->city2->activated(0);
    m_main->Text8->setText(QStringLiteral("13800138000"));
    m_main->Text5->setText(QStringLiteral("7.5"));

    clickAt(m_main, tab5);
    clickAt(&forms::shuomingformInstance(), tab1);
    QCOMPARE(m_main->city1->text(), QStringLiteral("110000|北京市"));
    QCOMPARE(m_main->city3->count(), 2);
    QCOMPARE(m_main->Text8->text(), QStringLiteral("13800138000"));
    QCOMPARE(m_main->Text5->text(), QStringLiteral("7.5"));
    QCOMPARE(m_main->news->at(0)->text(), QStringLiteral("消息"));
    QVERIFY(!m_platform->view(m_main, "WebBrowser2")->isVisible());
    QCOMPARE(newsView->navigations.size(), 1);
    QCOMPARE(newsView->snapshotRequests, 1);
}

void tst_navigation::secondSwitchDoesNotReload()
{
    endLoading(*m_main);
    clickAt(m_main, tab5);
    shuomingform &form = forms::shuomingformInstance();
    clickAt(&form, tab1);
    clickAt(m_main, tab5);
    QVERIFY(form.isVisible());
    QCOMPARE(m_platform->view(&form, "WebBrowser2")->navigations.size(), 1);
}

void tst_navigation::backgroundClickReloads_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("navigations");
    QTest::newRow("title area") << QPoint(400, 30) << 2;
    QTest::newRow("right of the bar") << QPoint(700, 120) << 2;
    QTest::newRow("bottom band") << QPoint(400, 560) << 2;
    QTest::newRow("the bar's own band") << QPoint(300, 146) << 1;
    QTest::newRow("the view") << QPoint(400, 300) << 1;
    QTest::newRow("the highlighted tab") << tab5 << 1;
}

void tst_navigation::backgroundClickReloads()
{
    QFETCH(QPoint, at);
    QFETCH(int, navigations);
    endLoading(*m_main);
    clickAt(m_main, tab5);
    shuomingform &form = forms::shuomingformInstance();
    clickAt(&form, at);
    QCOMPARE(m_platform->view(&form, "WebBrowser2")->navigations.size(), navigations);
    QVERIFY(form.isVisible());
}

void tst_navigation::barSignals_data()
{
    QTest::addColumn<bool>("onInstructions");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("emitter");
    const QPoint tab2(8 + 133 + 61, 120), tab4(8 + 379 + 61, 120);
    QTest::newRow("main: slot 1, under the caption") << false << tab1 << "Label1";
    QTest::newRow("main: slot 1, the highlight's edge") << false << QPoint(8 + 8 + 3, 101 + 3) << "Image5";
    QTest::newRow("main: slot 2") << false << tab2 << "Image1";
    QTest::newRow("main: slot 3") << false << tab3 << "Image2";
    QTest::newRow("main: slot 4") << false << tab4 << "Image3";
    QTest::newRow("main: slot 5") << false << tab5 << "Image4";
    QTest::newRow("instructions: slot 1") << true << tab1 << "Image0";
    QTest::newRow("instructions: slot 2") << true << tab2 << "Image1";
    QTest::newRow("instructions: slot 4") << true << tab4 << "Image3";
    QTest::newRow("instructions: slot 5, under the caption") << true << tab5 << "Label1";
    QTest::newRow("instructions: slot 5, the highlight's edge") << true << QPoint(8 + 504 + 3, 101 + 3) << "Image5";
}

// A click on the bar is one signal of one of its controls, the one on top.
void tst_navigation::barSignals()
{
    QFETCH(bool, onInstructions);
    QFETCH(QPoint, at);
    QFETCH(QString, emitter);
    QWidget *window = loadedWindow(onInstructions);
    auto *bar = window->findChild<shjbjqbutton *>(QStringLiteral("shjbjqbutton1"));
    QVERIFY(bar);
    const QList<ClickLabel *> controls{bar->Image0, bar->Image1, bar->Image2, bar->Image3,
                                       bar->Image4, bar->Image5, bar->Label1};
    std::vector<std::unique_ptr<QSignalSpy>> spies;
    for (ClickLabel *control : controls)
        spies.push_back(std::make_unique<QSignalSpy>(control, &ClickLabel::clicked));
    clickAt(window, at);
    for (int i = 0; i < controls.size(); ++i)
        QCOMPARE(qMakePair(controls[i]->objectName(), int(spies[i]->count())),
                 qMakePair(controls[i]->objectName(), controls[i]->objectName() == emitter ? 1 : 0));
}

void tst_navigation::highlightedTabIsInert_data()
{
    QTest::addColumn<bool>("onInstructions");
    QTest::addColumn<QPoint>("at");
    QTest::newRow("main: 自动报价 tab") << false << tab1;
    QTest::newRow("main: the caption label") << false << QPoint(8 + 15 + 20, 101 + 7 + 5);
    QTest::newRow("instructions: 使用说明 tab") << true << tab5;
    QTest::newRow("instructions: highlight edge") << true << QPoint(8 + 504 + 3, 101 + 3);
}

void tst_navigation::highlightedTabIsInert()
{
    QFETCH(bool, onInstructions);
    QFETCH(QPoint, at);
    QWidget *window = loadedWindow(onInstructions);
    const bool instructionsExisted = forms::shuomingformExists();
    QWidget *hit = clickAt(window, at);
    QVERIFY2(hit->objectName() == QLatin1String("Image5") || hit->objectName() == QLatin1String("Label1"),
             qPrintable(hit->objectName()));
    QVERIFY(window->isVisible());
    QCOMPARE(forms::shuomingformExists(), instructionsExisted);
    if (onInstructions)
        QCOMPARE(m_platform->view(window, "WebBrowser2")->navigations.size(), 1);
    QCOMPARE(m_platform->launcher.opened, QStringList());
}

void tst_navigation::linkTabs_data()
{
    QTest::addColumn<bool>("onInstructions");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("address");
    for (bool onInstructions : {false, true}) {
        const char *w = onInstructions ? "instructions" : "main";
        QTest::addRow("%s: 家装工具", w) << onInstructions << QPoint(8 + 133 + 61, 120) << addresses::siteRoot();
        QTest::addRow("%s: 装修效果图", w) << onInstructions << tab3 << addresses::picturesPage();
        QTest::addRow("%s: 精确报价", w) << onInstructions << QPoint(8 + 379 + 61, 120)
                                         << addresses::memberPricePage();
    }
}

void tst_navigation::linkTabs()
{
    QFETCH(bool, onInstructions);
    QFETCH(QPoint, at);
    QFETCH(QString, address);
    QWidget *window = loadedWindow(onInstructions);
    auto *bar = window->findChild<shjbjqbutton *>(QStringLiteral("shjbjqbutton1"));
    const QPoint highlight = bar->Image5->pos();
    clickAt(window, at);
    QCOMPARE(m_platform->launcher.opened, QStringList{address});
    QVERIFY(window->isVisible());
    QCOMPARE(bar->Image5->pos(), highlight);
}

void tst_navigation::newWindowLinks_data()
{
    QTest::addColumn<QString>("link");
    QTest::addColumn<bool>("opened");
    QTest::newRow("http") << "http://127.0.0.1/zxpic.htm" << true;
    QTest::newRow("https") << "https://example.test/" << true;
    QTest::newRow("javascript") << "javascript:void(0)" << false;
    QTest::newRow("file") << "file:///etc/passwd" << false;
    QTest::newRow("mailto") << "mailto:help@example.com" << false;
    QTest::newRow("chat program's scheme") << "tencent://message/?uin=800010105" << false;
}

void tst_navigation::newWindowLinks()
{
    QFETCH(QString, link);
    QFETCH(bool, opened);
    shuomingform &form = forms::shuomingformInstance();
    emit form.WebBrowser2->newWindowRequested(link);
    QCOMPARE(m_platform->launcher.opened, opened ? QStringList{link} : QStringList());
}

void tst_navigation::closingEitherEnds_data()
{
    QTest::addColumn<bool>("closeInstructions");
    QTest::newRow("instructions window") << true;
    QTest::newRow("main window while the other exists") << false;
}

void tst_navigation::closingEitherEnds()
{
    QFETCH(bool, closeInstructions);
    endLoading(*m_main);
    clickAt(m_main, tab5);
    if (closeInstructions)
        forms::shuomingformInstance().close();
    else
        m_main->close();
    QCOMPARE(m_platform->endedWith, QList<int>{0});
}

QTEST_MAIN(tst_navigation)
#include "tst_navigation.moc"
