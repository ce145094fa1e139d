// The quotation form driven as a user would: region lists, list picks,
// enabling rules, and the press wired to the form. What the press makes of the
// answers is tst_quotationrequest's table, which boxes a pick enables
// tst_inputrules'.
#include "configured.h"
#include "fixture.h"
#include "quotation/publicfunction.h"
#include "quotation/publicvalue.h"

#include <QAbstractItemView>
#include <QRegularExpression>
#include <QtTest/qtestspontaneevent.h>

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

namespace {
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

// Edits as "box=text": a pick in a list box, or text typed into an emptied line box.
void edit(main *window, const QStringList &edits)
{
    for (const QString &e : edits) {
        const QString box = e.section(u'=', 0, 0), text = e.section(u'=', 1);
        if (auto *combo = window->findChild<EditableCombo *>(box)) {
            pick(combo, text);
        } else {
            auto *line = window->findChild<QLineEdit *>(box);
            QVERIFY2(line, qPrintable(box));
            line->clear();
            QTest::keyClicks(line, text);
        }
    }
}

// The area boxes, Text2 to Text7, that take input.
QStringList enabledAreas(const main *window)
{
    QStringList on;
    for (const QLineEdit *box : {window->Text2, window->Text3, window->Text4, window->Text5, window->Text6,
                                 window->Text7})
        if (box->isEnabled())
            on << box->objectName();
    return on;
}

// Every box's text but the phone's, as "box=text".
QStringList textsButPhone(const main *window)
{
    QStringList texts;
    for (const QLineEdit *line : window->findChildren<QLineEdit *>())
        if (!line->objectName().isEmpty() && line != window->Text8)
            texts << line->objectName() + u'=' + line->text();
    for (const EditableCombo *box : window->findChildren<EditableCombo *>())
        texts << box->objectName() + u'=' + box->text();
    return texts;
}

// What fillGoodAnswers() sends, with some values changed ("key=value").
QString sentWith(const QStringList &changes = {})
{
    QString address = configured::siteRoot
        + "/AutoPrice.action?bom1=3&bom2=1&bom3=1&bom4=1&bom5=1&bom6=2"
          "&bomarea2=30&bomarea3=12.5&bomarea1=45&bomarea4=8&bomarea5=6&bomarea6=9"
          "&pho=13800138000&cit1=440000|广东省&cit2=440300|深圳市&cit3=440305|南山区"
          "&dc=2&findman3=13&kongzhi=tijiao&findman=1&fengge=4&jmid=null";
    for (const QString &change : changes)
        address.replace(QRegularExpression("([?&])" + change.section(u'=', 0, 0) + "=[^&]*"), "\\1" + change);
    return address;
}

} // namespace

class tst_quotationform : public GuiTest
{
    Q_OBJECT
private slots:
    void regionCascade()
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

    // What a user does in a list box, and the picks it makes: only the arrow keys,
    // the open list and the wheel over the focused box pick; typed text never does,
    // however it is ended, and the wheel over a box without the focus changes
    // nothing. focus: the box, or Text8 (elsewhere). steps: "type X" (as an input
    // method), "keys X", "Return", "Tab", "Down", "Up", "wheel N" (a notch,
    // positive away from the user), "list X" (a pick in the open list), "pick X"
    // (one made beforehand). enabled: the area boxes that take input afterwards.
    void gestures_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("picks");
        QTest::addColumn<QStringList>("city2"); // its entries afterwards
        QTest::addColumn<QStringList>("enabled");
        QTest::addColumn<QString>("focusAfter");

        const QStringList kitchen{"Text5"}, balcony{"Text5", "Text6"};
        const auto row = [](const char *name, const char *box, const char *focus, const QStringList &steps,
                            const char *text, int picks, const QStringList &enabled, const QStringList &city2 = {},
                            const char *focusAfter = nullptr) {
            QTest::newRow(name) << QString::fromUtf8(box) << QString::fromUtf8(focus) << steps
                                << QString::fromUtf8(text) << picks << city2 << enabled
                                << QString::fromUtf8(focusAfter ? focusAfter : focus);
        };
        row("typing an entry", "Combo4", "Combo4", {"type 二间"}, "二间", 0, kitchen);
        row("typing an entry, Return", "Combo4", "Combo4", {"type 二间", "Return"}, "二间", 0, kitchen);
        row("typing an entry, Tab out of the box", "Combo4", "Combo4", {"type 二间", "Tab"}, "二间", 0, kitchen, {},
            "Combo5");
        row("typing key by key, Return", "Combo4", "Combo4", {"keys 13", "Return"}, "13", 0, kitchen);
        row("Down", "Combo4", "Combo4", {"Down"}, "一间", 1, balcony);
        row("Down twice", "Combo4", "Combo4", {"Down", "Down"}, "二间", 2, balcony);
        row("Down twice, Up", "Combo4", "Combo4", {"Down", "Down", "Up"}, "一间", 3, balcony);
        row("a pick in the open list", "Combo4", "Combo4", {"list 三间"}, "三间", 1, balcony);
        row("a pick in Combo5 opens the bathroom area", "Combo5", "Combo5", {"list 二间"}, "二间", 1,
            {"Text5", "Text7"});
        row("Combo6: a hall opens and closes the dining area", "Combo6", "Combo6", {"list 二房二厅", "list 一房一厅"},
            "一房一厅", 2, {"Text2", "Text4", "Text5"});

        const QStringList beijing{"110100|北京市"}, hebei{"130100|石家庄市", "130200|唐山市"};
        row("wheel: city1 without focus, nothing", "city1", "Text8", {"wheel -1", "wheel -1"}, "请选择", 0, kitchen);
        row("wheel: city1 after a pick, without focus, city2 kept", "city1", "Text8",
            {"pick 110000|北京市", "wheel -1", "wheel 1", "wheel -1"}, "110000|北京市", 1, kitchen, beijing);
        row("wheel: Combo6 without focus, nothing", "Combo6", "Text8", {"wheel -1"}, "请选择", 0, kitchen);
        row("wheel: city1 with focus, each notch a pick", "city1", "city1", {"wheel -1", "wheel -1"}, "130000|河北省",
            2, kitchen, hebei);
        row("wheel: city1 with focus, back up", "city1", "city1", {"wheel -1", "wheel -1", "wheel 1"},
            "110000|北京市", 3, kitchen, beijing);
        row("wheel: city1 with focus, up from nothing chosen", "city1", "city1", {"wheel 1"}, "请选择", 0, kitchen);
        row("wheel: Combo4 with focus, past the end", "Combo4", "Combo4", QStringList(5, "wheel -1"), "四间", 4,
            balcony);
        row("wheel: Combo6 with focus", "Combo6", "Combo6", QStringList(4, "wheel -1"), "二房二厅", 4,
            {"Text2", "Text3", "Text4", "Text5"});
    }

    void gestures()
    {
        QFETCH(QString, box);
        QFETCH(QString, focus);
        QFETCH(QStringList, steps);
        QFETCH(QString, text);
        QFETCH(int, picks);
        QFETCH(QStringList, city2);
        QFETCH(QStringList, enabled);
        QFETCH(QString, focusAfter);
        startWith(sampleRegions);
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        auto *combo = window->findChild<EditableCombo *>(box);
        QVERIFY(combo);
        window->findChild<QWidget *>(focus)->setFocus();
        QTRY_COMPARE(focusedName(), focus);
        const int count = combo->count();
        QSignalSpy picked(combo, &EditableCombo::picked);

        for (const QString &step : steps) {
            const QString arg = step.section(u' ', 1);
            if (step.startsWith(u"type ")) {
                // As an input method delivers it: one key event carrying the text.
                combo->lineEdit()->selectAll();
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, arg);
                QCoreApplication::sendEvent(combo->lineEdit(), &press);
            } else if (step.startsWith(u"keys ")) {
                combo->lineEdit()->selectAll();
                QTest::keyClicks(combo->lineEdit(), arg);
            } else if (step.startsWith(u"wheel ")) {
                wheelNotch(combo, arg.toInt());
            } else if (step.startsWith(u"pick ")) {
                pick(combo, arg);
            } else if (step.startsWith(u"list ")) {
                combo->showPopup();
                QAbstractItemView *list = combo->view();
                QTRY_VERIFY(list->isVisible());
                const QPoint at = list->visualRect(list->model()->index(combo->findText(arg), 0)).center();
                // The list takes a pick on release, after a press of its own.
                QTest::mousePress(list->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
                QTRY_VERIFY(!list->isVisible());
            } else {
                // The arrows go to the box, the keys that end typing to its text.
                const QHash<QString, Qt::Key> keys{
                    {"Return", Qt::Key_Return}, {"Tab", Qt::Key_Tab}, {"Down", Qt::Key_Down}, {"Up", Qt::Key_Up}};
                QVERIFY2(keys.contains(step), qPrintable(step));
                QTest::keyClick(step.size() > 3 ? static_cast<QWidget *>(combo->lineEdit()) : combo, keys[step]);
            }
        }
        QCOMPARE(combo->text(), text);
        QCOMPARE(picked.count(), picks);
        QCOMPARE(combo->count(), count); // typed text is never added to the list
        QCOMPARE(entries(window->city2), city2);
        QCOMPARE(enabledAreas(window), enabled);
        QTRY_COMPARE(focusedName(), focusAfter);
    }

    // One row per box wired to the press, from a complete form (edits: see
    // edit()); presses: "click", "double click", "click, no launcher" (as if no
    // launcher could be started). A refused press keeps the phone for another
    // try, a sent one empties it, and no press changes another box.
    void press_data()
    {
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<QStringList>("informed");
        QTest::addColumn<QStringList>("opened");
        QTest::addColumn<QString>("phone"); // afterwards

        const QStringList click{"click"}, none;
        const QString good = QStringLiteral("13800138000");
        QTest::newRow("region: another province, no district")
            << QStringList{"city1=110000|北京市"} << click << QStringList{"请录入正确的：业主地址"} << none << good;
        QTest::newRow("phone: ten digits") << QStringList{"Text8=1380013800"} << click
                                           << QStringList{"请录入正确的：电话号码"} << none << "1380013800";
        QTest::newRow("kitchen area: not a number")
            << QStringList{"Text5=abc"} << click << QStringList{"请录入正确的：厨房面积"} << none << good;
        const QStringList twoRoomsOneHall{"bom1=2", "bom3=0", "findman3=2"};
        QTest::newRow("dining area: letters, then disabled: sent as 0")
            << QStringList{"Combo6=二房二厅", "Text3=abc", "Combo6=二房一厅"} << click << none
            << QStringList{sentWith(twoRoomsOneHall + QStringList{"bomarea3=0"})} << QString();
        QTest::newRow("dining area: a number, then disabled: kept and sent")
            << QStringList{"Combo6=二房一厅"} << click << none << QStringList{sentWith(twoRoomsOneHall)} << QString();
        QTest::newRow("dining area: letters, still enabled: refused")
            << QStringList{"Combo6=二房二厅", "Text3=abc", "Combo6=四房二厅"} << click
            << QStringList{"请录入正确的：餐厅面积"} << none << good;
        QTest::newRow("no launcher: told, phone kept; the next press sends")
            << none << QStringList{"click, no launcher", "click"} << QStringList{"无法打开浏览器，报价页面没有打开。"}
            << QStringList{sentWith(), sentWith()} << QString();
        // The second double click is one press again: the emptied phone is named once.
        QTest::newRow("double clicks: one press each")
            << none << QStringList{"double click", "double click"} << QStringList{"请录入正确的：电话号码"}
            << QStringList{sentWith()} << QString();
    }

    void press()
    {
        QFETCH(QStringList, edits);
        QFETCH(QStringList, presses);
        QFETCH(QStringList, informed);
        QFETCH(QStringList, opened);
        QFETCH(QString, phone);
        fillGoodAnswers();
        if (QTest::currentTestFailed())
            return;
        edit(window, edits);
        const QStringList others = textsButPhone(window);
        for (const QString &press : presses) {
            platform->launcher.starts = press != u"click, no launcher";
            if (press == u"double click")
                doubleClickAt(window->Image5, window->Image5->rect().center());
            else
                click(window->Image5);
        }
        QCOMPARE(platform->messageBox.informed, informed);
        QCOMPARE(platform->launcher.opened, opened);
        QCOMPARE(window->Text8->text(), phone);
        QCOMPARE(textsButPhone(window), others);
    }

    void badRegionDataEndsProgram_data()
    {
        QTest::addColumn<QString>("cityData");
        QTest::newRow("empty line") << QString();
        QTest::newRow("32766 parts") << QString(32765, QLatin1Char(','));
    }

    void badRegionDataEndsProgram()
    {
        QFETCH(QString, cityData);
        startWith(cityData);
        QCOMPARE(platform->messageBox.failed.size(), 1);
        QVERIFY(platform->messageBox.failed.first().contains(QStringLiteral("city.txt")));
        QCOMPARE(platform->endedWith, QList<int>{1});
        QCOMPARE(window->city1->count(), 0);
    }

private:
    // The window is shown by GuiTest; the region data is read at the tick.
    void startWith(const QString &cityData)
    {
        publicvalue::CityData = cityData;
        endLoading(*window);
    }

    void fillGoodAnswers()
    {
        const auto data = publicfunction::readFirstLine(QFINDTESTDATA("../../data/city.txt"));
        QVERIFY2(data.ok, qPrintable(data.error));
        startWith(data.line);
        edit(window, {"city1=440000|广东省", "city2=440300|深圳市", "city3=440305|南山区", "Combo6=三房二厅",
                      "Combo4=二间", "Combo5=一间", "Text2=30", "Text3=12.50", "Text4=45", "Text5=8", "Text6=9",
                      "Text7=6", "Text8=13800138000"});
        window->Option4->setChecked(true);
        window->Option7->setChecked(true);
    }
};

QTEST_MAIN(tst_quotationform)
#include "tst_quotationform.moc"
