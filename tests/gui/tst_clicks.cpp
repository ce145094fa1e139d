// Clickable pictures and captions as people reach them: a double click is one
// click, and assistive technology sees buttons and links it can press.
#include "service/addresses.h"
#include "app/forms.h"
#include "app/mainwindow.h"
#include "quotation/publicvalue.h"
#include "fakes.h"
#include "instructions/shuomingform.h"
#include "navbar/shjbjqbutton.h"
#include "platform/labelarray.h"
#include "platform/picturebutton.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QTimer>
#include <QtTest>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
// What the mouse delivers for a double click at a pixel of a window's client
// area: press, release, the second press as a double-click event, release.
QWidget *doubleClickAt(QWidget *window, QPoint at)
{
    QWidget *target = window->childAt(at);
    if (!target)
        target = window;
    const QPoint local = target->mapFrom(window, at);
    QTest::mouseClick(target, Qt::LeftButton, {}, local);
    QTest::mouseDClick(target, Qt::LeftButton, {}, local);
    QTest::mouseRelease(target, Qt::LeftButton, {}, local);
    return target;
}

// Pixel positions of the main window's client area (twips / 15), middles.
constexpr QPoint tab1(8 + 8 + 61, 101 + 19);
constexpr QPoint tab2(8 + 133 + 61, 120);
constexpr QPoint tab3(8 + 256 + 61, 120);
constexpr QPoint tab4(8 + 379 + 61, 120);
constexpr QPoint tab5(8 + 504 + 61, 120);
constexpr QPoint image6(688 + 34, 160 + 10);
constexpr QPoint image9(688 + 34, 232 + 10);
constexpr QPoint label21(624 + 30, 520 + 8);
constexpr QPoint news0(600 + 8 + 30, 280 + 24 + 8);

const QString link1 = QStringLiteral("http://example.test/1.html");
} // namespace

class tst_clicks : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void doubleClickIsOneClick_data();
    void doubleClickIsOneClick();
    void clickLabelDoubleClick_data();
    void clickLabelDoubleClick();
    void accessibleControls_data();
    void accessibleControls();
    void pressLikeClick_data();
    void pressLikeClick();
    void pictureButtonsTakeNoFocus();

private:
    FakePlatform *m_platform = nullptr;
    main *m_main = nullptr;
    QWidget *control(const QString &path) const;
};

void tst_clicks::init()
{
    publicvalue::CityData = QStringLiteral("110000|北京市,110100|北京市,110101|东城区,");
    m_platform = new FakePlatform;
    forms::setPlatform(m_platform->bundle());
    m_main = &forms::mainInstance();
    m_platform->view(m_main, "WebBrowser1")->page = {
        {QStringLiteral("INPUT"), QStringLiteral("news1"), QStringLiteral("第一条"), link1},
        {QStringLiteral("INPUT"), QStringLiteral("news2"), QStringLiteral("第二条"), QStringLiteral("javascript:x()")},
    };
    m_main->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_main));
}

void tst_clicks::cleanup()
{
    forms::destroyAll();
    delete m_platform;
}

// "name" on the main window, "bar/name" on its bar, "news(i)" a news line,
// "instructions/..." the same on the instructions window.
QWidget *tst_clicks::control(const QString &path) const
{
    QWidget *window = m_main;
    QString rest = path;
    if (rest.startsWith(QLatin1String("instructions/"))) {
        window = &forms::shuomingformInstance();
        rest = rest.mid(13);
    }
    if (rest.startsWith(QLatin1String("bar/"))) {
        window = window->findChild<shjbjqbutton *>(QStringLiteral("shjbjqbutton1"));
        rest = rest.mid(4);
    }
    return window->findChild<QWidget *>(rest);
}

void tst_clicks::doubleClickIsOneClick_data()
{
    QTest::addColumn<bool>("onInstructions");
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<QString>("hitName");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<int>("instructionsLoads"); // -1: the window is never made
    QTest::addColumn<bool>("mainVisible");

    const QString chat = addresses::supportChat();
    QTest::newRow("QQ在线 Image6") << false << image6 << "Image6" << QStringList{chat} << -1 << true;
    QTest::newRow("QQ在线 Image9") << false << image9 << "Image9" << QStringList{chat} << -1 << true;
    QTest::newRow("进入Tovaki官方") << false << label21 << "Label21" << QStringList{addresses::siteRoot()} << -1 << true;
    QTest::newRow("news line with a link") << false << news0 << "news(0)" << QStringList{link1} << -1 << true;
    QTest::newRow("家装工具 tab") << false << tab2 << "Image1" << QStringList{addresses::siteRoot()} << -1 << true;
    QTest::newRow("装修效果图 tab") << false << tab3 << "Image2" << QStringList{addresses::picturesPage()} << -1 << true;
    QTest::newRow("精确报价 tab") << false << tab4 << "Image3" << QStringList{addresses::memberPricePage()} << -1
                                  << true;
    QTest::newRow("使用说明 tab switches once") << false << tab5 << "Image4" << QStringList() << 1 << false;
    QTest::newRow("main: highlight's edge") << false << QPoint(8 + 8 + 3, 101 + 3) << "Image5" << QStringList() << -1
                                            << true;
    QTest::newRow("main: caption on the highlight") << false << QPoint(8 + 15 + 20, 101 + 7 + 5) << "Label1"
                                                    << QStringList() << -1 << true;
    QTest::newRow("instructions: background reloads once") << true << QPoint(400, 30) << "Picture1"
                                                           << QStringList() << 2 << false;
    QTest::newRow("instructions: highlighted tab") << true << tab5 << "Label1" << QStringList() << 1 << false;
    QTest::newRow("instructions: 家装工具 tab") << true << tab2 << "Image1" << QStringList{addresses::siteRoot()} << 1
                                             << false;
    QTest::newRow("instructions: 自动报价 tab switches once") << true << tab1 << "Image0" << QStringList() << 1
                                                        << true;
}

void tst_clicks::doubleClickIsOneClick()
{
    QFETCH(bool, onInstructions);
    QFETCH(QPoint, at);
    QFETCH(QString, hitName);
    QFETCH(QStringList, opened);
    QFETCH(int, instructionsLoads);
    QFETCH(bool, mainVisible);
    endLoading(*m_main);
    QWidget *window = m_main;
    if (onInstructions) {
        window = &forms::shuomingformInstance();
        m_main->shjbjqbutton1->Image4->press();
        QVERIFY(window->isVisible());
    }
    const QWidget *hit = doubleClickAt(window, at);
    QCOMPARE(hit->objectName(), hitName);
    QCOMPARE(m_platform->launcher.opened, opened);
    QCOMPARE(m_platform->messageBox.informed, QStringList());
    if (instructionsLoads < 0) {
        QVERIFY(!forms::shuomingformExists());
    } else {
        QVERIFY(forms::shuomingformExists());
        QCOMPARE(m_platform->view(&forms::shuomingformInstance(), "WebBrowser2")->navigations.size(),
                 instructionsLoads);
    }
    QCOMPARE(m_main->isVisible(), mainVisible);
}

void tst_clicks::clickLabelDoubleClick_data()
{
    QTest::addColumn<QList<int>>("events"); // QEvent types, in order
    QTest::addColumn<int>("clicks");
    using E = QEvent;
    QTest::newRow("click") << QList<int>{E::MouseButtonPress, E::MouseButtonRelease} << 1;
    QTest::newRow("double click") << QList<int>{E::MouseButtonPress, E::MouseButtonRelease,
                                                E::MouseButtonDblClick, E::MouseButtonRelease}
                                  << 1;
    QTest::newRow("triple click") << QList<int>{E::MouseButtonPress, E::MouseButtonRelease, E::MouseButtonDblClick,
                                                E::MouseButtonRelease, E::MouseButtonPress, E::MouseButtonRelease}
                                  << 2;
    QTest::newRow("two double clicks") << QList<int>{E::MouseButtonPress, E::MouseButtonRelease,
                                                     E::MouseButtonDblClick, E::MouseButtonRelease,
                                                     E::MouseButtonPress, E::MouseButtonRelease,
                                                     E::MouseButtonDblClick, E::MouseButtonRelease}
                                       << 2;
    QTest::newRow("double-click event alone") << QList<int>{E::MouseButtonDblClick, E::MouseButtonRelease} << 0;
}

void tst_clicks::clickLabelDoubleClick()
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

void tst_clicks::accessibleControls_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("role");
    // The name, " ← caption" for each labelled-by relation, then "（description）".
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("actions");

    const QStringList press{QAccessibleActionInterface::pressAction()};
    const int button = QAccessible::Button, link = QAccessible::Link;
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
    QTest::newRow("news line with a script link") << "news(1)" << int(QAccessible::StaticText) << "第二条 ← 最新动态"
                                                  << QStringList();
    QTest::newRow("unfilled news line") << "news(9)" << int(QAccessible::StaticText) << "Label21 ← 最新动态"
                                        << QStringList();
    QTest::newRow("the bar's highlight") << "bar/Image5" << int(QAccessible::Graphic) << "" << QStringList();
    QTest::newRow("the bar's caption") << "bar/Label1" << int(QAccessible::StaticText) << "自动报价" << QStringList();
    const QStringList combo{QAccessibleActionInterface::showMenuAction(), QAccessibleActionInterface::pressAction()};
    const QStringList edit{QAccessibleActionInterface::setFocusAction()}, disabled;
    const int comboBox = QAccessible::ComboBox, text = QAccessible::EditableText;
    QTest::newRow("province") << "city1" << comboBox << "请选择 ← 业主地址（省份）" << combo;
    QTest::newRow("city") << "city2" << comboBox << "请选择（城市）" << combo;
    QTest::newRow("district") << "city3" << comboBox << "请选择（区县）" << combo;
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

void tst_clicks::accessibleControls()
{
    QFETCH(QString, path);
    QFETCH(int, role);
    QFETCH(QString, name);
    QFETCH(QStringList, actions);
    endLoading(*m_main);
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
    QCOMPARE(iface->state().focusable, role == QAccessible::ComboBox || role == QAccessible::EditableText);
    QAccessibleActionInterface *action = iface->actionInterface();
    QCOMPARE(action ? action->actionNames() : QStringList(), actions);
}

void tst_clicks::pressLikeClick_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("afterTick");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("informed");
    QTest::addColumn<bool>("mainVisible");

    const QString chat = addresses::supportChat();
    QTest::newRow("快速报价 with an empty form") << "Image5" << true << QStringList()
                                                 << QStringList{"请录入正确的：电话号码"} << true;
    QTest::newRow("QQ在线 Image7") << "Image7" << true << QStringList{chat} << QStringList() << true;
    QTest::newRow("进入Tovaki官方") << "Label21" << true << QStringList{addresses::siteRoot()} << QStringList() << true;
    QTest::newRow("news line") << "news(0)" << true << QStringList{link1} << QStringList() << true;
    QTest::newRow("装修效果图 tab") << "bar/Image2" << true << QStringList{addresses::picturesPage()} << QStringList()
                                  << true;
    QTest::newRow("使用说明 tab") << "bar/Image4" << true << QStringList() << QStringList() << false;
    QTest::newRow("highlighted 自动报价 tab: nothing") << "bar/Image0" << true << QStringList() << QStringList()
                                                    << true;
    QTest::newRow("under the loading overlay: nothing") << "Label21" << false << QStringList() << QStringList()
                                                        << true;
    QTest::newRow("tab under the overlay: nothing") << "bar/Image4" << false << QStringList() << QStringList()
                                                    << true;
}

void tst_clicks::pressLikeClick()
{
    QFETCH(QString, path);
    QFETCH(bool, afterTick);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, informed);
    QFETCH(bool, mainVisible);
    if (afterTick)
        endLoading(*m_main);
    QWidget *w = control(path);
    QVERIFY2(w, qPrintable(path));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface && iface->actionInterface());
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(m_platform->launcher.opened, opened);
    QCOMPARE(m_platform->messageBox.informed, informed);
    QCOMPARE(m_main->isVisible(), mainVisible);
    QCOMPARE(forms::shuomingformExists(), !mainVisible);
    if (!mainVisible) {
        // The instructions window's own 使用说明 tab now lies under its highlight.
        shuomingform &form = forms::shuomingformInstance();
        QVERIFY(form.isVisible());
        QAccessible::queryAccessibleInterface(form.shjbjqbutton1->Image4)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QVERIFY(form.isVisible());
        // A press on the hidden main window reaches nothing.
        QAccessible::queryAccessibleInterface(m_main->Image6)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_platform->launcher.opened, opened);
    }
}

void tst_clicks::pictureButtonsTakeNoFocus()
{
    endLoading(*m_main);
    for (QWidget *w : QList<QWidget *>{m_main->Image5, m_main->Image6, m_main->Label21, m_main->news->at(0),
                                       m_main->shjbjqbutton1->Image1}) {
        QCOMPARE(w->focusPolicy(), Qt::NoFocus);
        QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
        QVERIFY(!w->hasFocus());
    }
}

QTEST_MAIN(tst_clicks)
#include "tst_clicks.moc"
