// The navigation bar's highlight, the instructions window and the switch
// between the two windows.
#include "configured.h"
#include "fixture.h"

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
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
} // namespace

class tst_navigation : public GuiTest
{
    Q_OBJECT
private slots:
    void clickmeun_data()
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

    void clickmeun()
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

    void instructionsLayout()
    {
        shuomingform &form = forms::shuomingformInstance();
        QCOMPARE(form.size(), QSize(799, 575));
        QVERIFY(form.minimumSize() != form.maximumSize());
        QCOMPARE(form.windowTitle(), window->windowTitle());
        QCOMPARE(form.shjbjqbutton1->geometry(), QRect(8, 101, 609, 49));
        QCOMPARE(form.WebBrowser2->geometry(), QRect(8, 144, 779, 403));
        // The fifth tab reaches past the bar's right edge and is cut off there.
        QCOMPARE(form.shjbjqbutton1->Image4->geometry().right(), 504 + 122 - 1);
        QVERIFY(form.shjbjqbutton1->Image4->geometry().right() > form.shjbjqbutton1->width());
        form.resize(1000, 800);
        QCOMPARE(form.WebBrowser2->geometry(), QRect(8, 144, 779, 403));
        QCOMPARE(platform->view(&form, "WebBrowser2")->navigations, QStringList{configured::instructionsPage});
    }

    // There and back twice: the windows swap, each shown with its own tab
    // highlighted, and the main window keeps its answers, its news and its pages.
    void roundTrips()
    {
        endLoading(*window);
        pick(window->city1, QStringLiteral("110000|北京市"));
        pick(window->city2, QStringLiteral("110100|北京市"));
        window->Text8->setText(QStringLiteral("13800138000"));
        window->Text5->setText(QStringLiteral("7.5"));
        SwitchRecorder recorder;
        qApp->installEventFilter(&recorder);
        auto removeFilter = qScopeGuard([&] { qApp->removeEventFilter(&recorder); });
        QVERIFY(!forms::shuomingformExists());
        clickAt(window, tab5);
        QVERIFY(forms::shuomingformExists());
        shuomingform &form = forms::shuomingformInstance();
        QVERIFY(form.isVisible());
        QVERIFY(window->isHidden());
        QCOMPARE(recorder.events, (QStringList{"show shuomingform [使用说明]", "hide main"}));
        QCOMPARE(form.shjbjqbutton1->Image5->pos(), QPoint(504, 0));
        // The main window's own bar never moves.
        QCOMPARE(window->shjbjqbutton1->Image5->pos(), QPoint(8, 0));

        recorder.events.clear();
        clickAt(&form, tab1);
        QCOMPARE(recorder.events, (QStringList{"show main [自动报价]", "hide shuomingform"}));
        QVERIFY(window->isVisible());
        QVERIFY(form.isHidden());
        QCOMPARE(window->city1->text(), QStringLiteral("110000|北京市"));
        QCOMPARE(window->city3->count(), 3);
        QCOMPARE(window->Text8->text(), QStringLiteral("13800138000"));
        QCOMPARE(window->Text5->text(), QStringLiteral("7.5"));
        QCOMPARE(window->news->at(0)->text(), QStringLiteral("第一条"));
        QVERIFY(!platform->view(window, "WebBrowser2")->isVisible());
        QCOMPARE(newsView()->navigations.size(), 1);
        QCOMPARE(newsView()->snapshotRequests, 1);
        // Back again: the instructions window is shown as it was, its page not reloaded.
        clickAt(window, tab5);
        QVERIFY(form.isVisible());
        QCOMPARE(platform->view(&form, "WebBrowser2")->navigations.size(), 1);
    }

    void newWindowLinks_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<bool>("opened");
        // Which links are web addresses is tst_linkpolicy's table.
        QTest::newRow("http") << "http://127.0.0.1/zxpic.htm" << true;
        QTest::newRow("javascript") << "javascript:void(0)" << false;
    }

    void newWindowLinks()
    {
        QFETCH(QString, link);
        QFETCH(bool, opened);
        emit forms::shuomingformInstance().WebBrowser2->newWindowRequested(link);
        QCOMPARE(platform->launcher.opened, opened ? QStringList{link} : QStringList());
    }

    void closingEitherEnds_data()
    {
        QTest::addColumn<bool>("closeInstructions");
        QTest::addColumn<bool>("instructionsMade");
        QTest::newRow("instructions window") << true << true;
        QTest::newRow("main window while the other exists") << false << true;
        QTest::newRow("main window alone") << false << false;
    }

    void closingEitherEnds()
    {
        QFETCH(bool, closeInstructions);
        QFETCH(bool, instructionsMade);
        endLoading(*window);
        if (instructionsMade)
            clickAt(window, tab5);
        if (closeInstructions)
            forms::shuomingformInstance().close();
        else
            window->close();
        QCOMPARE(platform->endedWith, QList<int>{0});
    }
};

QTEST_MAIN(tst_navigation)
#include "tst_navigation.moc"
