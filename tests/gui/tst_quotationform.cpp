// The quotation form driven as a user would: region lists, list picks,
// enabling rules, and the press wired to the form. What the press makes of the
// answers is tst_quotationrequest's table, which boxes a pick enables
// tst_inputrules'.
#include "app/mainwindow.h"
#include "configured.h"
#include "fixture.h"
#include "platform/editablecombo.h"
#include "platform/picturebutton.h"
#include "quotation/publicfunction.h"
#include "quotation/publicvalue.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QRadioButton>
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

} // namespace

class tst_quotationform : public GuiTest
{
    Q_OBJECT
private slots:
    void regionCascade();
    void pickedSignal_data();
    void pickedSignal();
    void enablingRules_data();
    void enablingRules();
    void disablingKeepsText();
    void pressWiring_data();
    void pressWiring();
    void roadOfOneQuotation();
    void badRegionDataEndsProgram_data();
    void badRegionDataEndsProgram();
    void wheel_data();
    void wheel();
    void doubleClickPressesOnce();

private:
    void startWith(const QString &cityData);
    void fillGoodAnswers();
};

// The window is shown by GuiTest; the region data is read at the tick.
void tst_quotationform::startWith(const QString &cityData)
{
    publicvalue::CityData = cityData;
    endLoading(*window);
}

void tst_quotationform::regionCascade()
{
    startWith(sampleRegions);
    QCOMPARE(entries(window->city1),
             (QStringList{"110000|北京市", "130000|河北省", "150000|内蒙古自治区"}));
    QCOMPARE(window->city1->text(), QStringLiteral("请选择"));
    pick(window->city1, "130000|河北省");
    QCOMPARE(entries(window->city2), (QStringList{"130100|石家庄市", "130200|唐山市"}));
    QCOMPARE(window->city2->text(), QStringLiteral("请选择"));
    pick(window->city2, "130100|石家庄市");
    // The city's own entry comes first, then its districts.
    QCOMPARE(entries(window->city3), (QStringList{"130100|石家庄市", "130102|长安区"}));
    QCOMPARE(window->city3->text(), QStringLiteral("请选择"));
    // A second province starts afresh.
    pick(window->city3, "130102|长安区");
    pick(window->city1, "110000|北京市");
    QCOMPARE(entries(window->city2), QStringList{"110100|北京市"});
    QCOMPARE(window->city2->text(), QStringLiteral("请选择"));
    QCOMPARE(entries(window->city3), QStringList());
    QCOMPARE(window->city3->text(), QStringLiteral("请选择"));
    // Picking the same province again does not duplicate its cities.
    pick(window->city1, "110000|北京市");
    QCOMPARE(entries(window->city2), QStringList{"110100|北京市"});
}

// What a user does in a list box, and the picks it makes: only the arrow keys
// and the list itself pick; typed text never does, however it is ended.
enum class ComboAction { Type, TypeReturn, TypeLeave, KeysReturn, Down, DownDown, DownDownUp, ListPick };

void tst_quotationform::pickedSignal_data()
{
    QTest::addColumn<ComboAction>("action");
    QTest::addColumn<int>("picks");
    QTest::addColumn<QString>("text");
    QTest::newRow("typing an entry") << ComboAction::Type << 0 << "二间";
    QTest::newRow("typing an entry, Return") << ComboAction::TypeReturn << 0 << "二间";
    QTest::newRow("typing an entry, Tab out of the box") << ComboAction::TypeLeave << 0 << "二间";
    QTest::newRow("typing key by key, Return") << ComboAction::KeysReturn << 0 << "13";
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
    startWith(sampleRegions);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    EditableCombo *box = window->Combo4;
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
            QTest::keyClick(box->lineEdit(), Qt::Key_Tab);
            QTRY_VERIFY(!box->lineEdit()->hasFocus());
        }
        break;
    case ComboAction::KeysReturn:
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), text);
        QTest::keyClick(box->lineEdit(), Qt::Key_Return);
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
    QCOMPARE(box->count(), 4); // typed text is never added to the list
    // A pick of 一间 or more opens the balcony area; typed text does not.
    QCOMPARE(window->Text6->isEnabled(), picks > 0);
}

// One pick each way; every house type's boxes are tst_inputrules' table.
void tst_quotationform::enablingRules_data()
{
    QTest::addColumn<QString>("houseType");
    QTest::addColumn<bool>("dining");
    QTest::newRow("一房一厅") << "一房一厅" << false;
    QTest::newRow("二房二厅") << "二房二厅" << true;
}

void tst_quotationform::enablingRules()
{
    QFETCH(QString, houseType);
    QFETCH(bool, dining);
    startWith(sampleRegions);
    pick(window->Combo6, houseType);
    QVERIFY(window->Text2->isEnabled());
    QCOMPARE(window->Text3->isEnabled(), dining);
    QVERIFY(window->Text4->isEnabled());
    QVERIFY(window->Text5->isEnabled());
    QVERIFY(window->Text8->isEnabled());
    QVERIFY(!window->Text6->isEnabled());
    QVERIFY(!window->Text7->isEnabled());
}

void tst_quotationform::disablingKeepsText()
{
    startWith(sampleRegions);
    pick(window->Combo6, "二房二厅");
    window->Text3->setText("12.50");
    pick(window->Combo6, "二房一厅");
    QVERIFY(!window->Text3->isEnabled());
    QCOMPARE(window->Text3->text(), QStringLiteral("12.50"));
    pick(window->Combo5, "二间");
    pick(window->Combo4, "一间");
    QVERIFY(window->Text6->isEnabled());
    QVERIFY(window->Text7->isEnabled());
}

// One row per box wired to the press, from a complete form: edits are
// "box=text", a pick in a list box or text typed into an emptied line box.
void tst_quotationform::pressWiring_data()
{
    QTest::addColumn<QStringList>("edits");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("sent"); // a key=value of the address
    QTest::newRow("region: another province, no district") << QStringList{"city1=110000|北京市"}
                                                           << "请录入正确的：业主地址" << QString();
    QTest::newRow("phone: ten digits") << QStringList{"Text8=1380013800"} << "请录入正确的：电话号码" << QString();
    QTest::newRow("kitchen area: not a number") << QStringList{"Text5=abc"} << "请录入正确的：厨房面积" << QString();
    QTest::newRow("dining area: letters, then disabled: sent as 0")
        << QStringList{"Combo6=二房二厅", "Text3=abc", "Combo6=二房一厅"} << QString() << "bomarea3=0";
    QTest::newRow("dining area: letters, still enabled: refused")
        << QStringList{"Combo6=二房二厅", "Text3=abc", "Combo6=四房二厅"} << "请录入正确的：餐厅面积" << QString();
}

void tst_quotationform::pressWiring()
{
    QFETCH(QStringList, edits);
    QFETCH(QString, message);
    QFETCH(QString, sent);
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    for (const QString &edit : edits) {
        const QString box = edit.section(u'=', 0, 0), text = edit.section(u'=', 1);
        if (auto *combo = window->findChild<EditableCombo *>(box)) {
            pick(combo, text);
        } else {
            auto *line = window->findChild<QLineEdit *>(box);
            QVERIFY2(line, qPrintable(box));
            line->clear();
            QTest::keyClicks(line, text);
        }
    }
    const QString phone = window->Text8->text();
    click(window->Image5);
    QCOMPARE(platform->messageBox.informed, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(platform->launcher.opened.size(), message.isEmpty() ? 1 : 0);
    if (message.isEmpty())
        QVERIFY2(platform->launcher.opened[0].contains(u'&' + sent + u'&'), qPrintable(platform->launcher.opened[0]));
    // A refused press keeps the phone for another try; a sent one empties it.
    QCOMPARE(window->Text8->text(), message.isEmpty() ? QString() : phone);
}

void tst_quotationform::fillGoodAnswers()
{
    const QString path = QFINDTESTDATA("../../data/city.txt");
    QVERIFY2(!path.isEmpty(), "data/city.txt is not in the source tree");
    const auto data = publicfunction::readFirstLine(path);
    QVERIFY2(data.ok, qPrintable(data.error));
    startWith(data.line);
    QCOMPARE(window->city1->count(), 34);
    pick(window->city1, "440000|广东省");
    pick(window->city2, "440300|深圳市");
    pick(window->city3, "440305|南山区");
    pick(window->Combo6, "三房二厅");
    pick(window->Combo4, "二间");
    pick(window->Combo5, "一间");
    window->Text2->setText("30");
    window->Text3->setText("12.50");
    window->Text4->setText("45");
    window->Text5->setText("8");
    window->Text6->setText("9");
    window->Text7->setText("6");
    window->Option4->setChecked(true);
    window->Option7->setChecked(true);
    QTest::keyClicks(window->Text8, "13800138000");
}

// A launcher that cannot start is told, and the phone kept for another try;
// the next press opens the whole address and empties only the phone.
void tst_quotationform::roadOfOneQuotation()
{
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    platform->launcher.starts = false;
    click(window->Image5);
    QCOMPARE(platform->messageBox.informed, QStringList{"无法打开浏览器，报价页面没有打开。"});
    QCOMPARE(window->Text8->text(), QStringLiteral("13800138000"));

    platform->launcher.starts = true;
    click(window->Image5);
    QCOMPARE(platform->messageBox.informed.size(), 1);
    const QString address = configured::siteRoot
        + "/AutoPrice.action?bom1=3&bom2=1&bom3=1&bom4=1&bom5=1&bom6=2"
          "&bomarea2=30&bomarea3=12.5&bomarea1=45&bomarea4=8&bomarea5=6&bomarea6=9"
          "&pho=13800138000&cit1=440000|广东省&cit2=440300|深圳市&cit3=440305|南山区"
          "&dc=2&findman3=13&kongzhi=tijiao&findman=1&fengge=4&jmid=null";
    QCOMPARE(platform->launcher.opened, (QStringList{address, address}));
    QCOMPARE(window->Text8->text(), QString());
    QCOMPARE(window->city3->text(), QStringLiteral("440305|南山区"));
    QCOMPARE(window->Text3->text(), QStringLiteral("12.50"));
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
    QCOMPARE(platform->messageBox.failed.size(), 1);
    QVERIFY(platform->messageBox.failed.first().contains(QStringLiteral("city.txt")));
    QCOMPARE(platform->endedWith, QList<int>{1});
    QCOMPARE(window->city1->count(), 0);
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
    startWith(sampleRegions);
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
    if (box.endsWith(QLatin1String("+picked"))) {
        box.chop(7);
        pick(window->city1, "110000|北京市");
    }
    auto *combo = window->findChild<EditableCombo *>(box);
    QVERIFY(combo);
    QWidget *elsewhere = window->Text8;
    if (focused)
        combo->setFocus();
    else
        elsewhere->setFocus();
    QTRY_VERIFY(focused ? combo->hasFocus() : elsewhere->hasFocus());
    const bool text3Before = window->Text3->isEnabled();
    QSignalSpy picked(combo, &EditableCombo::picked);
    for (int notch : notches)
        wheelNotch(combo, notch);
    QCOMPARE(combo->text(), text);
    QCOMPARE(picked.count(), picks);
    QCOMPARE(entries(window->city2), city2);
    QCOMPARE(combo->hasFocus(), focused);
    QVERIFY(focused ? true : elsewhere->hasFocus());
    if (box == u"Combo6")
        QCOMPARE(window->Text3->isEnabled(), focused ? text == u"二房二厅" : text3Before);
    if (box == u"Combo4")
        QCOMPARE(window->Text6->isEnabled(), focused);
}

void tst_quotationform::doubleClickPressesOnce()
{
    fillGoodAnswers();
    if (QTest::currentTestFailed())
        return;
    doubleClick(window->Image5);
    QCOMPARE(platform->launcher.opened.size(), 1);
    QCOMPARE(platform->messageBox.informed, QStringList());
    QCOMPARE(window->Text8->text(), QString());
    // The next double click is one press again: the emptied phone is named once.
    doubleClick(window->Image5);
    QCOMPARE(platform->messageBox.informed, QStringList{"请录入正确的：电话号码"});
    QCOMPARE(platform->launcher.opened.size(), 1);
}

QTEST_MAIN(tst_quotationform)
#include "tst_quotationform.moc"
