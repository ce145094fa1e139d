// The quotation form driven as a user would: region lists, enabling rules and
// the press, with the real region data and a recording browser.
#include "service/addresses.h"
#include "app/mainwindow.h"
#include "quotation/publicfunction.h"
#include "quotation/publicvalue.h"
#include "fakes.h"
#include "platform/editablecombo.h"
#include "platform/picturebutton.h"
#include "quotation/quotationrequest.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>
#include <QtTest/qtestspontaneevent.h>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
QStringList entries(const EditableCombo *box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i)
        list << box->itemText(i);
    return list;
}

// A pick from the list, as the popup makes it.
void pick(EditableCombo *box, const QString &entry)
{
    const int index = box->findText(entry, Qt::MatchExactly);
    QVERIFY2(index >= 0, qPrintable(entry));
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Typing as an input method delivers it: one key event carrying the text.
void type(QWidget *w, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
}

void click(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, w->rect().center());
}

// Press, release, the second press as Qt reports it, release.
void doubleClick(QWidget *w)
{
    const QPoint at = w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    QTest::mouseDClick(w, Qt::LeftButton, {}, at);
    QTest::mouseRelease(w, Qt::LeftButton, {}, at);
}

// One notch of a mouse wheel over the text of a combo box, as the window
// system delivers it (so that the wheel may move the focus); positive rolls
// away from the user, towards the top of the list.
void wheelNotch(EditableCombo *box, int direction)
{
    QWidget *w = box->lineEdit();
    const QPointF at = QPointF(w->rect().center());
    QWheelEvent event(at, QPointF(w->mapToGlobal(at.toPoint())), QPoint(), QPoint(0, 120 * direction),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&event);
    qApp->notify(w, &event);
}

const QString sample = QStringLiteral("110000|北京市,110100|北京市,110101|东城区,110102|西城区,"
                                      "130000|河北省,130100|石家庄市,130102|长安区,130200|唐山市,130202|路南区,"
                                      "150000|内蒙古自治区,");
} // namespace

class tst_quotationform : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void regionCascade();
    void secondProvinceStartsAfresh();
    void provinceWithoutCities();
    void typingNeverPicksOrAdds();
    void leavingTypedTextIsNoPick();
    void arrowKeyIsAPick();
    void pickedSignal_data();
    void pickedSignal();
    void enablingRules_data();
    void enablingRules();
    void disablingKeepsText();
    void rejectedPress_data();
    void rejectedPress();
    void roadOfOneQuotation();
    void launcherThatCannotStart();
    void badRegionDataEndsProgram_data();
    void badRegionDataEndsProgram();
    void wheel_data();
    void wheel();
    void disabledAreaBox_data();
    void disabledAreaBox();
    void doubleClickPressesOnce();

private:
    void startWith(const QString &cityData);
    void fillGoodAnswers();
    FakePlatform *m_platform = nullptr;
    main *m_window = nullptr;
};

void tst_quotationform::init()
{
    m_platform = new FakePlatform;
}

void tst_quotationform::cleanup()
{
    delete m_window;
    m_window = nullptr;
    delete m_platform;
}

void tst_quotationform::startWith(const QString &cityData)
{
    publicvalue::CityData = cityData;
    m_window = new main(m_platform->bundle());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    endLoading(*m_window);
}

void tst_quotationform::regionCascade()
{
    startWith(sample);
    QCOMPARE(entries(m_window->city1),
             (QStringList{"110000|北京市", "130000|河北省", "150000|内蒙古自治区"}));
    QCOMPARE(m_window->city1->text(), QStringLiteral("请选择"));
    pick(m_window->city1, "130000|河北省");
    QCOMPARE(entries(m_window->city2), (QStringList{"130100|石家庄市", "130200|唐山市"}));
    QCOMPARE(m_window->city2->text(), QStringLiteral("请选择"));
    pick(m_window->city2, "130100|石家庄市");
    // The city's own entry comes first, then its districts.
    QCOMPARE(entries(m_window->city3), (QStringList{"130100|石家庄市", "130102|长安区"}));
    QCOMPARE(m_window->city3->text(), QStringLiteral("请选择"));
}

void tst_quotationform::secondProvinceStartsAfresh()
{
    startWith(sample);
    pick(m_window->city1, "130000|河北省");
    pick(m_window->city2, "130200|唐山市");
    pick(m_window->city3, "130202|路南区");
    pick(m_window->city1, "110000|北京市");
    QCOMPARE(entries(m_window->city2), QStringList{"110100|北京市"});
    QCOMPARE(m_window->city2->text(), QStringLiteral("请选择"));
    QCOMPARE(entries(m_window->city3), QStringList());
    QCOMPARE(m_window->city3->text(), QStringLiteral("请选择"));
    // Picking the same province again does not duplicate its cities.
    pick(m_window->city1, "110000|北京市");
    QCOMPARE(entries(m_window->city2), QStringList{"110100|北京市"});
}

void tst_quotationform::provinceWithoutCities()
{
    startWith(sample);
    pick(m_window->city1, "150000|内蒙古自治区");
    QCOMPARE(entries(m_window->city2), QStringList());
    QCOMPARE(m_window->city2->text(), QStringLiteral("请选择"));
}

void tst_quotationform::typingNeverPicksOrAdds()
{
    startWith(sample);
    m_window->Combo6->setFocus();
    m_window->Combo6->lineEdit()->selectAll();
    type(m_window->Combo6->lineEdit(), QStringLiteral("二房二厅"));
    QTest::keyClick(m_window->Combo6->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_window->Combo6->text(), QStringLiteral("二房二厅"));
    QVERIFY(!m_window->Text3->isEnabled());
    QCOMPARE(m_window->Combo6->count(), 7);

    m_window->city1->lineEdit()->selectAll();
    QTest::keyClicks(m_window->city1->lineEdit(), QStringLiteral("13"));
    QTest::keyClick(m_window->city1->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_window->city1->text(), QStringLiteral("13"));
    QCOMPARE(m_window->city1->count(), 3);
    QCOMPARE(m_window->city2->count(), 0);
}

void tst_quotationform::leavingTypedTextIsNoPick()
{
    startWith(sample);
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    m_window->Combo6->setFocus();
    m_window->Combo6->lineEdit()->selectAll();
    type(m_window->Combo6->lineEdit(), QStringLiteral("三房二厅"));
    m_window->Text5->setFocus();
    QTRY_VERIFY(m_window->Text5->hasFocus());
    QVERIFY(!m_window->Text3->isEnabled());

    m_window->city1->setFocus();
    m_window->city1->lineEdit()->selectAll();
    type(m_window->city1->lineEdit(), QStringLiteral("130000|河北省"));
    QTest::keyClick(m_window->city1->lineEdit(), Qt::Key_Tab);
    QTRY_VERIFY(!m_window->city1->lineEdit()->hasFocus());
    QCOMPARE(m_window->city2->count(), 0);
    QCOMPARE(m_window->city1->text(), QStringLiteral("130000|河北省"));
}

void tst_quotationform::arrowKeyIsAPick()
{
    startWith(sample);
    m_window->Combo4->setFocus();
    QTest::keyClick(m_window->Combo4, Qt::Key_Down);
    QVERIFY(m_window->Combo4->text() != QStringLiteral("请选择"));
    QVERIFY(m_window->Text6->isEnabled());
}

// What a user does in a list box, and the picks it makes: only the arrow keys
// and the list itself pick; typed text never does, however it is ended.
enum class ComboAction { Type, TypeReturn, TypeLeave, Down, DownDown, DownDownUp, ListPick };

void tst_quotationform::pickedSignal_data()
{
    QTest::addColumn<ComboAction>("action");
    QTest::addColumn<int>("picks");
    QTest::addColumn<QString>("text");
    QTest::newRow("typing an entry") << ComboAction::Type << 0 << "二间";
    QTest::newRow("typing an entry, Return") << ComboAction::TypeReturn << 0 << "二间";
    QTest::newRow("typing an entry, leaving the box") << ComboAction::TypeLeave << 0 << "二间";
    QTest::newRow("Down") << ComboAction::Down << 1 << "一间";
    QTest::newRow("Down twice") << ComboAction::DownDown << 2 << "二间";
    QTest::newRow("Down twice, Up") << ComboAction::DownDownUp << 3 << "一间";
    QTest::newRow("a pick in the open list") << ComboAction::ListPick << 1 << "三间";
}

void tst_quotationform::pickedSignal()
{
    QFETCH(ComboAction, action);
    QFETCH(int, picks);
    QFETCH(QString, text);
    startWith(sample);
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    EditableCombo *box = m_window->Combo4;
    box->setFocus();
    QTRY_VERIFY(box->lineEdit()->hasFocus());
    QSignalSpy picked(box, &EditableCombo::picked);

    switch (action) {
    case ComboAction::Type:
    case ComboAction::TypeReturn:
    case ComboAction::TypeLeave:
        box->lineEdit()->selectAll();
        type(box->lineEdit(), text);
        if (action == ComboAction::TypeReturn)
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        if (action == ComboAction::TypeLeave) {
            m_window->Text5->setFocus();
            QTRY_VERIFY(m_window->Text5->hasFocus());
        }
        break;
    case ComboAction::Down:
        QTest::keyClick(box, Qt::Key_Down);
        break;
    case ComboAction::DownDown:
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        break;
    case ComboAction::DownDownUp:
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Down);
        QTest::keyClick(box, Qt::Key_Up);
        break;
    case ComboAction::ListPick: {
        box->showPopup();
        QAbstractItemView *list = box->view();
        QTRY_VERIFY(list->isVisible());
        const QModelIndex entry = list->model()->index(box->findText(text), 0);
        const QPoint at = list->visualRect(entry).center();
        // The list takes a pick on release, after a press of its own.
        QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
        QTRY_VERIFY(!list->isVisible());
        break;
    }
    }
    QCOMPARE(picked.count(), picks);
    QCOMPARE(box->text(), text);
    // A pick of 一间 or more opens the balcony area; typed text does not.
    QCOMPARE(m_window->Text6->isEnabled(), picks > 0);
}

void tst_quotationform::enablingRules_data()
{
    QTest::addColumn<QString>("houseType");
    QTest::addColumn<bool>("living");
    QTest::addColumn<bool>("dining");
    QTest::addColumn<bool>("bedroom");
    for (const char *t : {"一房一厅", "二房一厅", "三房一厅"})
        QTest::newRow(t) << QString::fromUtf8(t) << true << false << true;
    for (const char *t : {"二房二厅", "三房二厅", "四房二厅", "五房二厅"})
        QTest::newRow(t) << QString::fromUtf8(t) << true << true << true;
}

void tst_quotationform::enablingRules()
{
    QFETCH(QString, houseType);
    QFETCH(bool, living);
    QFETCH(bool, dining);
    QFETCH(bool, bedroom);
    startWith(sample);
    pick(m_window->Combo6, houseType);
    QCOMPARE(m_window->Text2->isEnabled(), living);
    QCOMPARE(m_window->Text3->isEnabled(), dining);
    QCOMPARE(m_window->Text4->isEnabled(), bedroom);
    QVERIFY(m_window->Text5->isEnabled());
    QVERIFY(m_window->Text8->isEnabled());
    QVERIFY(!m_window->Text6->isEnabled());
    QVERIFY(!m_window->Text7->isEnabled());
}

void tst_quotationform::disablingKeepsText()
{
    startWith(sample);
    pick(m_window->Combo6, "二房二厅");
    m_window->Text3->setText("12.50");
    pick(m_window->Combo6, "二房一厅");
    QVERIFY(!m_window->Text3->isEnabled());
    QCOMPARE(m_window->Text3->text(), QStringLiteral("12.50"));
    pick(m_window->Combo5, "二间");
    pick(m_window->Combo4, "一间");
    QVERIFY(m_window->Text6->isEnabled());
    QVERIFY(m_window->Text7->isEnabled());
}

void tst_quotationform::rejectedPress_data()
{
    QTest::addColumn<bool>("region");
    QTest::addColumn<QString>("phone");
    QTest::addColumn<QString>("kitchenArea");
    QTest::addColumn<QString>("message");
    QTest::newRow("region missing") << false << "13800138000" << "0" << "请录入正确的：业主地址";
    QTest::newRow("ten digits") << true << "1380013800" << "0" << "请录入正确的：电话号码";
    QTest::newRow("both wrong: phone wins") << false << "138" << "0" << "请录入正确的：电话号码";
    QTest::newRow("kitchen area not a number") << true << "13800138000" << "abc" << "请录入正确的：厨房面积";
}

void tst_quotationform::rejectedPress()
{
    QFETCH(bool, region);
    QFETCH(QString, phone);
    QFETCH(QString, kitchenArea);
    QFETCH(QString, message);
    startWith(sample);
    if (region) {
        pick(m_window->city1, "130000|河北省");
        pick(m_window->city2, "130100|石家庄市");
        pick(m_window->city3, "130102|长安区");
    }
    m_window->Text8->setText(phone);
    m_window->Text5->setText(kitchenArea);
    click(m_window->Image5);
    QCOMPARE(m_platform->messageBox.informed, QStringList{message});
    QCOMPARE(m_platform->launcher.opened, QStringList());
    QCOMPARE(m_window->Text8->text(), phone);
}

void tst_quotationform::fillGoodAnswers()
{
    const auto data = publicfunction::readFirstLine(qEnvironmentVariable("TOVAKIDOVIV_SOURCE_DIR")
                                                    + QStringLiteral("/data/city.txt"));
    QVERIFY2(data.ok, qPrintable(data.error));
    startWith(data.line);
    QCOMPARE(m_window->city1->count(), 34);
    pick(m_window->city1, "440000|广东省");
    pick(m_window->city2, "440300|深圳市");
    pick(m_window->city3, "440305|南山区");
    pick(m_window->Combo6, "三房二厅");
    pick(m_window->Combo4, "二间");
    pick(m_window->Combo5, "一间");
    m_window->Text2->setText("30");
    m_window->Text3->setText("12.50");
    m_window->Text4->setText("45");
    m_window->Text5->setText("8");
    m_window->Text6->setText("9");
    m_window->Text7->setText("6");
    m_window->Option4->setChecked(true);
    m_window->Option7->setChecked(true);
    QTest::keyClicks(m_window->Text8, "13800138000");

}

void tst_quotationform::roadOfOneQuotation()
{
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    click(m_window->Image5);

    QCOMPARE(m_platform->messageBox.informed, QStringList());
    QCOMPARE(m_platform->launcher.opened,
             QStringList{"http://" + addresses::siteHost()
                         + "/AutoPrice.action?bom1=3&bom2=1&bom3=1&bom4=1&bom5=1&bom6=2"
                           "&bomarea2=30&bomarea3=12.5&bomarea1=45&bomarea4=8&bomarea5=6&bomarea6=9"
                           "&pho=13800138000&cit1=440000|广东省&cit2=440300|深圳市&cit3=440305|南山区"
                           "&dc=2&findman3=13&kongzhi=tijiao&findman=1&fengge=4&jmid=null"});
    QCOMPARE(m_window->Text8->text(), QString());
    // Everything else stays for the next request.
    QCOMPARE(m_window->city3->text(), QStringLiteral("440305|南山区"));
    QCOMPARE(m_window->Text3->text(), QStringLiteral("12.50"));
}

void tst_quotationform::launcherThatCannotStart()
{
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    m_platform->launcher.starts = false;
    click(m_window->Image5);
    QCOMPARE(m_platform->messageBox.informed, QStringList{QString::fromUtf8(quotation::launchFailedMessage)});
    QCOMPARE(m_platform->launcher.opened.size(), 1);
    QCOMPARE(m_window->Text8->text(), QStringLiteral("13800138000")); // kept for another try

    m_platform->launcher.starts = true;
    click(m_window->Image5);
    QCOMPARE(m_platform->messageBox.informed.size(), 1);
    QCOMPARE(m_platform->launcher.opened.size(), 2);
    QCOMPARE(m_platform->launcher.opened[1], m_platform->launcher.opened[0]);
    QCOMPARE(m_window->Text8->text(), QString());
}

void tst_quotationform::badRegionDataEndsProgram_data()
{
    QTest::addColumn<QString>("cityData");
    QTest::newRow("empty line") << QString();
    QTest::newRow("32766 parts") << QString(32765, QLatin1Char(','));
}

void tst_quotationform::badRegionDataEndsProgram()
{
    QFETCH(QString, cityData);
    startWith(cityData);
    QCOMPARE(m_platform->messageBox.failed.size(), 1);
    QVERIFY(m_platform->messageBox.failed.first().contains(QStringLiteral("city.txt")));
    QCOMPARE(m_platform->endedWith, QList<int>{1});
    QCOMPARE(m_window->city1->count(), 0);
}

void tst_quotationform::wheel_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<QList<int>>("notches");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("picks");
    QTest::addColumn<QStringList>("city2"); // its entries afterwards

    const QStringList beijing{"110100|北京市"}, hebei{"130100|石家庄市", "130200|唐山市"};
    QTest::newRow("city1 without focus: nothing") << "city1" << false << QList<int>{-1, -1} << "请选择" << 0
                                                  << QStringList();
    QTest::newRow("city1 after picks, without focus: city2 kept")
        << "city1+picked" << false << QList<int>{-1, 1, -1} << "110000|北京市" << 0 << beijing;
    QTest::newRow("Combo6 without focus: nothing") << "Combo6" << false << QList<int>{-1} << "请选择" << 0
                                                   << QStringList();
    QTest::newRow("city1 with focus: each notch a pick") << "city1" << true << QList<int>{-1, -1} << "130000|河北省"
                                                         << 2 << hebei;
    QTest::newRow("city1 with focus: back up") << "city1" << true << QList<int>{-1, -1, 1} << "110000|北京市" << 3
                                               << beijing;
    QTest::newRow("city1 with focus: up from nothing chosen") << "city1" << true << QList<int>{1} << "请选择" << 0
                                                              << QStringList();
    QTest::newRow("Combo4 with focus: past the end") << "Combo4" << true << QList<int>{-1, -1, -1, -1, -1} << "四间"
                                                     << 4 << QStringList();
    QTest::newRow("Combo6 with focus") << "Combo6" << true << QList<int>{-1, -1, -1, -1} << "二房二厅" << 4
                                       << QStringList();
}

void tst_quotationform::wheel()
{
    QFETCH(QString, box);
    QFETCH(bool, focused);
    QFETCH(QList<int>, notches);
    QFETCH(QString, text);
    QFETCH(int, picks);
    QFETCH(QStringList, city2);
    startWith(sample);
    QApplication::setActiveWindow(m_window);
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    if (box.endsWith(QLatin1String("+picked"))) {
        box.chop(7);
        pick(m_window->city1, "110000|北京市");
    }
    auto *combo = m_window->findChild<EditableCombo *>(box);
    QVERIFY(combo);
    QWidget *elsewhere = m_window->Text8;
    if (focused)
        combo->setFocus();
    else
        elsewhere->setFocus();
    QTRY_VERIFY(focused ? combo->hasFocus() : elsewhere->hasFocus());
    const bool text3Before = m_window->Text3->isEnabled();
    QSignalSpy picked(combo, &EditableCombo::picked);
    for (int notch : notches)
        wheelNotch(combo, notch);
    QCOMPARE(combo->text(), text);
    QCOMPARE(picked.count(), picks);
    QCOMPARE(entries(m_window->city2), city2);
    QCOMPARE(combo->hasFocus(), focused);
    QVERIFY(focused ? true : elsewhere->hasFocus());
    if (box == u"Combo6")
        QCOMPARE(m_window->Text3->isEnabled(), focused ? text == u"二房二厅" : text3Before);
    if (box == u"Combo4")
        QCOMPARE(m_window->Text6->isEnabled(), focused);
}

void tst_quotationform::disabledAreaBox_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("secondPick");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("bomarea3");
    QTest::newRow("letters, then disabled: sent as 0") << "abc" << "二房一厅" << QString() << "0";
    QTest::newRow("emptied, then disabled: sent as 0") << "" << "三房一厅" << QString() << "0";
    QTest::newRow("number, then disabled: sent as typed") << "12.50" << "二房一厅" << QString() << "12.5";
    QTest::newRow("letters, still enabled: refused") << "abc" << "四房二厅" << "请录入正确的：餐厅面积" << QString();
}

void tst_quotationform::disabledAreaBox()
{
    QFETCH(QString, typed);
    QFETCH(QString, secondPick);
    QFETCH(QString, message);
    QFETCH(QString, bomarea3);
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    pick(m_window->Combo6, "二房二厅");
    m_window->Text3->clear();
    QTest::keyClicks(m_window->Text3, typed);
    pick(m_window->Combo6, secondPick);
    QCOMPARE(m_window->Text3->text(), typed); // disabling never clears a box
    click(m_window->Image5);
    if (!message.isEmpty()) {
        QCOMPARE(m_platform->messageBox.informed, QStringList{message});
        QCOMPARE(m_platform->launcher.opened, QStringList());
        return;
    }
    QCOMPARE(m_platform->messageBox.informed, QStringList());
    QCOMPARE(m_platform->launcher.opened.size(), 1);
    QVERIFY2(m_platform->launcher.opened[0].contains("&bomarea3=" + bomarea3 + "&"),
             qPrintable(m_platform->launcher.opened[0]));
}

void tst_quotationform::doubleClickPressesOnce()
{
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    doubleClick(m_window->Image5);
    QCOMPARE(m_platform->launcher.opened.size(), 1);
    QCOMPARE(m_platform->messageBox.informed, QStringList());
    QCOMPARE(m_window->Text8->text(), QString());
    // The next double click is one press again: the emptied phone is named once.
    doubleClick(m_window->Image5);
    QCOMPARE(m_platform->messageBox.informed, QStringList{"请录入正确的：电话号码"});
    QCOMPARE(m_platform->launcher.opened.size(), 1);
}

QTEST_MAIN(tst_quotationform)
#include "tst_quotationform.moc"
