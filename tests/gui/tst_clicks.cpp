// Clicks as people make them, on both windows: with the mouse (a click, two
// clicks, a double click, which is one click) and as assistive technology
// presses a control; which control takes it, and what it opens or shows.
#include "configured.h"
#include "fixture.h"

#include <QAccessible>
#include <QAccessibleActionInterface>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
enum class Gesture { Click, TwoClicks, DoubleClick, Press };

// Pixels of the main window (twips / 15) besides the tabs.
constexpr QPoint edge1(8 + 8 + 3, 101 + 3), edge5(8 + 504 + 3, 101 + 3); // the highlight's corner on tab 1, 5
constexpr QPoint caption1(8 + 15 + 20, 101 + 7 + 5);                      // the caption on tab 1
constexpr QPoint image6(688 + 34, 160 + 10), image9(688 + 34, 232 + 10), label21(624 + 30, 520 + 8);
constexpr QPoint news0(600 + 8 + 30, 280 + 24 + 8);

const QString link1 = QStringLiteral("http://example.test/1.html");
} // namespace

class tst_clicks : public GuiTest
{
    Q_OBJECT
private slots:
    // spot: a pixel of the window, or a control path (its middle; for Press, the
    // control an assistive client presses by name, whatever covers it).
    // hit: the one control that reports the click(s), "" for none.
    // shown: the window visible afterwards; loads: the instructions page's
    // navigations, -1 when that window is never made.
    void routing_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<Gesture>("gesture");
        QTest::addColumn<QVariant>("spot");
        QTest::addColumn<QString>("hit");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("told");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("loads");

        const auto row = [](const char *name, const char *window, Gesture gesture, const QVariant &spot,
                            const char *hit, const QStringList &opened, const char *shown, int loads,
                            const QString &told = {}) {
            QTest::newRow(name) << QString::fromUtf8(window) << gesture << spot << QString::fromUtf8(hit) << opened
                                << told << QString::fromUtf8(shown) << loads;
        };
        // Rows that leave the window they act on shown: the instructions window
        // never made (on the main window) or its page loaded once, or as often as given.
        const auto onMain = [&row](const char *name, Gesture gesture, const QVariant &spot, const char *hit,
                                   const QStringList &opened, const QString &told = {}) {
            row(name, "main", gesture, spot, hit, opened, "main", -1, told);
        };
        const auto onInstructions = [&row](const char *name, Gesture gesture, const QVariant &spot, const char *hit,
                                           const QStringList &opened, int loads = 1) {
            row(name, "instructions", gesture, spot, hit, opened, "instructions", loads);
        };
        const QVariant t1(tab1), t2(tab2), t3(tab3), t4(tab4), t5(tab5);
        const QStringList none, site{configured::siteRoot}, pictures{configured::picturesPage},
            precise{configured::memberPricePage}, chat{configured::supportChat};
        using G = Gesture;

        onMain("main: 自动报价 tab, under the caption", G::Click, t1, "bar/Label1", none);
        onMain("main: the highlight's edge", G::Click, QPoint(edge1), "bar/Image5", none);
        onMain("main: the caption label", G::Click, QPoint(caption1), "bar/Label1", none);
        onMain("main: 家装工具", G::Click, t2, "bar/Image1", site);
        onMain("main: 装修效果图", G::Click, t3, "bar/Image2", pictures);
        onMain("main: 精确报价", G::Click, t4, "bar/Image3", precise);
        row("main: 使用说明 switches", "main", G::Click, t5, "bar/Image4", none, "instructions", 1);
        row("instructions: 自动报价 switches", "instructions", G::Click, t1, "instructions/bar/Image0", none, "main",
            1);
        onInstructions("instructions: 家装工具", G::Click, t2, "instructions/bar/Image1", site);
        onInstructions("instructions: 装修效果图", G::Click, t3, "instructions/bar/Image2", pictures);
        onInstructions("instructions: 精确报价", G::Click, t4, "instructions/bar/Image3", precise);
        onInstructions("instructions: 使用说明 tab, under the caption", G::Click, t5, "instructions/bar/Label1", none);
        onInstructions("instructions: the highlight's edge", G::Click, QPoint(edge5), "instructions/bar/Image5", none);
        onInstructions("instructions: title area reloads", G::Click, QPoint(400, 30), "instructions/Picture1", none, 2);
        onInstructions("instructions: right of the bar reloads", G::Click, QPoint(700, 120), "instructions/Picture1",
                       none, 2);
        onInstructions("instructions: bottom band reloads", G::Click, QPoint(400, 560), "instructions/Picture1",
                       none, 2);
        onInstructions("instructions: the bar's own band", G::Click, QPoint(300, 146), "", none);
        onInstructions("instructions: the view", G::Click, QPoint(400, 300), "", none);
        onMain("news line: http link", G::Click, "news(0)", "news(0)", {link1});
        onMain("news line: https link", G::Click, "news(1)", "news(1)", {"https://example.test/2.html"});
        onMain("news line: javascript link opens nothing", G::Click, "news(2)", "news(2)", none);
        onMain("news line: missing link opens nothing", G::Click, "news(3)", "news(3)", none);
        onMain("news line: upper-case scheme", G::Click, "news(4)", "news(4)", {"HTTP://example.test/5.html"});
        onMain("news line: unfilled line opens nothing", G::Click, "news(5)", "news(5)", none);
        onMain("news line: last line unfilled", G::Click, "news(9)", "news(9)", none);
        onMain("Label17 reacts to nothing", G::Click, "Label17", "Picture1", none);
        onMain("Label20 reacts to nothing", G::Click, "Label20", "Picture1", none);
        onMain("two clicks: QQ在线 Image8 opens twice", G::TwoClicks, "Image8", "Image8", chat + chat);
        onMain("two clicks: 进入Tovaki官方 opens twice", G::TwoClicks, "Label21", "Label21", site + site);

        onMain("double click: QQ在线 Image6", G::DoubleClick, QPoint(image6), "Image6", chat);
        onMain("double click: QQ在线 Image9", G::DoubleClick, QPoint(image9), "Image9", chat);
        onMain("double click: 进入Tovaki官方", G::DoubleClick, QPoint(label21), "Label21", site);
        onMain("double click: news line with a link", G::DoubleClick, QPoint(news0), "news(0)", {link1});
        onMain("double click: 家装工具", G::DoubleClick, t2, "bar/Image1", site);
        onMain("double click: 装修效果图", G::DoubleClick, t3, "bar/Image2", pictures);
        onMain("double click: 精确报价", G::DoubleClick, t4, "bar/Image3", precise);
        row("double click: 使用说明 switches once", "main", G::DoubleClick, t5, "bar/Image4", none, "instructions", 1);
        onMain("double click: main's highlight edge", G::DoubleClick, QPoint(edge1), "bar/Image5", none);
        onMain("double click: main's caption", G::DoubleClick, QPoint(caption1), "bar/Label1", none);
        onInstructions("double click: instructions' background reloads once", G::DoubleClick, QPoint(400, 30),
                       "instructions/Picture1", none, 2);
        onInstructions("double click: instructions' highlighted tab", G::DoubleClick, t5, "instructions/bar/Label1",
                       none);
        onInstructions("double click: instructions' 家装工具", G::DoubleClick, t2, "instructions/bar/Image1", site);
        row("double click: instructions' 自动报价 switches once", "instructions", G::DoubleClick, t1,
            "instructions/bar/Image0", none, "main", 1);

        onMain("press: 快速报价 with an empty form", G::Press, "Image5", "Image5", none, "请录入正确的：电话号码");
        onMain("press: QQ在线 Image7", G::Press, "Image7", "Image7", chat);
        onMain("press: 进入Tovaki官方", G::Press, "Label21", "Label21", site);
        onMain("press: news line", G::Press, "news(0)", "news(0)", {link1});
        onMain("press: 装修效果图 tab", G::Press, "bar/Image2", "bar/Image2", pictures);
        row("press: 使用说明 tab switches", "main", G::Press, "bar/Image4", "bar/Image4", none, "instructions", 1);
        onMain("press: highlighted 自动报价 tab is its caption's", G::Press, "bar/Image0", "bar/Label1", none);
        onInstructions("press: instructions' 使用说明 tab is its caption's", G::Press, "instructions/bar/Image4",
                       "instructions/bar/Label1", none);
        onInstructions("press: the hidden main window reaches nothing", G::Press, "Image6", "", none);
        row("press: under the loading overlay, nothing", "main, loading", G::Press, "Label21", "", none, "main", -1);
        row("press: tab under the overlay, nothing", "main, loading", G::Press, "bar/Image4", "", none, "main", -1);
    }

    void routing()
    {
        QFETCH(QString, window);
        QFETCH(Gesture, gesture);
        QFETCH(QVariant, spot);
        QFETCH(QString, hit);
        QFETCH(QStringList, opened);
        QFETCH(QString, told);
        QFETCH(QString, shown);
        QFETCH(int, loads);
        // "main, loading" as shown; "main" once loading has ended; "instructions"
        // after that, reached by the main window's 使用说明 tab.
        QWidget *acting = this->window;
        if (window != u"main, loading")
            endLoading(*this->window);
        if (window == u"instructions") {
            clickAt(this->window, tab5);
            acting = &forms::shuomingformInstance();
        }

        // Every control of both windows reports its clicks; news lines by their index.
        QStringList reported;
        QList<ClickLabel *> labels = this->window->findChildren<ClickLabel *>();
        if (forms::shuomingformExists())
            labels += forms::shuomingformInstance().findChildren<ClickLabel *>();
        for (ClickLabel *label : labels)
            if (!label->objectName().startsWith(QLatin1String("news(")))
                connect(label, &ClickLabel::clicked, this, [&reported, label] { reported << pathOf(label); });
        connect(this->window->news, &LabelArray::clicked, this,
                [&reported](short index) { reported << QStringLiteral("news(%1)").arg(index); });

        QPoint at = spot.toPoint();
        if (spot.typeId() == QMetaType::QString) {
            QWidget *target = control(spot.toString());
            QVERIFY2(target, qPrintable(spot.toString()));
            if (gesture == Gesture::Press) {
                QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(target);
                QVERIFY(iface && iface->actionInterface());
                iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
            }
            acting = target->window();
            at = target->mapTo(acting, target->rect().center());
        }
        if (gesture == Gesture::Click || gesture == Gesture::TwoClicks)
            clickAt(acting, at);
        if (gesture == Gesture::TwoClicks)
            clickAt(acting, at);
        if (gesture == Gesture::DoubleClick)
            doubleClickAt(acting, at);

        const int clicks = gesture == Gesture::TwoClicks ? 2 : 1;
        QCOMPARE(reported, hit.isEmpty() ? QStringList() : QStringList(QList<QString>(clicks, hit)));
        QCOMPARE(platform->launcher.opened, opened);
        QCOMPARE(platform->messageBox.informed, told.isEmpty() ? QStringList() : QStringList{told});
        QCOMPARE(this->window->isVisible(), shown == u"main");
        QCOMPARE(forms::shuomingformExists(), loads >= 0);
        if (loads >= 0) {
            shuomingform &form = forms::shuomingformInstance();
            QCOMPARE(form.isVisible(), shown == u"instructions");
            QCOMPARE(platform->view(&form, "WebBrowser2")->navigations.size(), loads);
            // Each bar's highlight stays on its own window's tab, whatever was clicked.
            QCOMPARE(form.shjbjqbutton1->Image5->pos(), QPoint(504, 0));
            QCOMPARE(form.shjbjqbutton1->Label1->text(), QStringLiteral("使用说明"));
        }
        QCOMPARE(this->window->shjbjqbutton1->Image5->pos(), QPoint(8, 0));
        QCOMPARE(this->window->shjbjqbutton1->Label1->text(), QStringLiteral("自动报价"));
    }

    void clickLabelDoubleClick_data()
    {
        QTest::addColumn<QList<int>>("events"); // QEvent types, in order
        QTest::addColumn<int>("clicks");
        // A press and its release; the second press of a double click, as the
        // window system delivers it, and its release.
        const QList<int> click{QEvent::MouseButtonPress, QEvent::MouseButtonRelease},
            second{QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease};
        QTest::newRow("click") << click << 1;
        QTest::newRow("double click") << click + second << 1;
        QTest::newRow("triple click") << click + second + click << 2;
        QTest::newRow("two double clicks") << click + second + click + second << 2;
        QTest::newRow("double-click event alone") << second << 0;
    }

    void clickLabelDoubleClick()
    {
        QFETCH(QList<int>, events);
        QFETCH(int, clicks);
        ClickLabel label;
        label.resize(40, 20);
        label.show();
        QVERIFY(QTest::qWaitForWindowExposed(&label));
        QSignalSpy spy(&label, &ClickLabel::clicked);
        const QPoint at(10, 10);
        for (int type : events) {
            const bool down = type != QEvent::MouseButtonRelease;
            QMouseEvent e(QEvent::Type(type), at, label.mapToGlobal(at), Qt::LeftButton,
                          down ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(&label, &e);
            QVERIFY(e.isAccepted()); // nothing passes to the container
        }
        QCOMPARE(spy.count(), clicks);
    }

    void accessibleControls_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("role");
        // The name, " ← caption" for each labelled-by relation, then "（description）".
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("actions");

        const QStringList press{QAccessibleActionInterface::pressAction()}, noAction;
        const int button = QAccessible::Button, link = QAccessible::Link, label = QAccessible::StaticText;
        QTest::newRow("快速报价") << "Image5" << button << "快速报价" << press;
        for (const char *image : {"Image6", "Image7", "Image8", "Image9"})
            QTest::addRow("QQ在线 %s", image) << image << button << "QQ在线" << press;
        const char *tabs[][2] = {{"Image0", "自动报价"}, {"Image1", "家装工具"}, {"Image2", "装修效果图"},
                                 {"Image3", "精确报价"}, {"Image4", "使用说明"}};
        for (const auto &tab : tabs) {
            QTest::addRow("main tab %s", tab[1]) << QStringLiteral("bar/") + tab[0] << button << tab[1] << press;
            QTest::addRow("instructions tab %s", tab[1])
                << QStringLiteral("instructions/bar/") + tab[0] << button << tab[1] << press;
        }
        QTest::newRow("进入Tovaki官方") << "Label21" << link << "进入Tovaki官方" << press;
        QTest::newRow("news line opening a page") << "news(0)" << link << "第一条 ← 最新动态" << press;
        QTest::newRow("news line with a script link") << "news(2)" << label << "第三条 ← 最新动态" << noAction;
        QTest::newRow("unfilled news line") << "news(9)" << label << "Label21 ← 最新动态" << noAction;
        QTest::newRow("the bar's highlight") << "bar/Image5" << int(QAccessible::Graphic) << "" << noAction;
        QTest::newRow("the bar's caption") << "bar/Label1" << label << "自动报价" << noAction;
        const QStringList combo{QAccessibleActionInterface::showMenuAction(), press.first()};
        const QStringList edit{QAccessibleActionInterface::setFocusAction()}, disabled;
        const int comboBox = QAccessible::ComboBox, text = QAccessible::EditableText;
        QTest::newRow("province") << "city1" << comboBox << "请选择 ← 业主地址（省份）" << combo;
        QTest::newRow("city") << "city2" << comboBox << "请选择 ← 城市" << combo;
        QTest::newRow("district") << "city3" << comboBox << "请选择 ← 区县" << combo;
        QTest::newRow("house type") << "Combo6" << comboBox << "请选择 ← 户    型" << combo;
        QTest::newRow("bathrooms") << "Combo4" << comboBox << "请选择 ← 卫生间" << combo;
        QTest::newRow("balconies") << "Combo5" << comboBox << "请选择 ← 阳  台" << combo;
        QTest::newRow("living-room area") << "Text2" << text << "客厅面积" << disabled;
        QTest::newRow("dining-room area") << "Text3" << text << "餐厅面积" << disabled;
        QTest::newRow("bedroom area") << "Text4" << text << "卧房面积" << disabled;
        QTest::newRow("kitchen area") << "Text5" << text << "厨房面积" << edit;
        QTest::newRow("bathroom area") << "Text6" << text << "卫生间面积" << disabled;
        QTest::newRow("balcony area") << "Text7" << text << "阳台面积" << disabled;
        QTest::newRow("mobile number") << "Text8" << text << "手机号码 ← 手机号码" << edit;
    }

    void accessibleControls()
    {
        QFETCH(QString, path);
        QFETCH(int, role);
        QFETCH(QString, name);
        QFETCH(QStringList, actions);
        endLoading(*window);
        QWidget *w = control(path);
        QVERIFY2(w, qPrintable(path));
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
        QVERIFY(iface);
        QCOMPARE(int(iface->role()), role);
        QString heard = iface->text(QAccessible::Name);
        for (const auto &relation : iface->relations(QAccessible::Label))
            heard += QStringLiteral(" ← ") + relation.first->text(QAccessible::Name);
        if (const QString description = iface->text(QAccessible::Description); !description.isEmpty())
            heard += u'（' + description + u'）';
        QCOMPARE(heard, name);
        const bool focusable = role == QAccessible::ComboBox || role == QAccessible::EditableText;
        QCOMPARE(iface->state().focusable, focusable);
        QAccessibleActionInterface *action = iface->actionInterface();
        QCOMPARE(action ? action->actionNames() : QStringList(), actions);
        // The picture buttons, links and texts keep the focus where it was.
        if (!focusable) {
            click(w);
            QVERIFY(!w->hasFocus());
        }
    }
};

QTEST_MAIN(tst_clicks)
#include "tst_clicks.moc"
