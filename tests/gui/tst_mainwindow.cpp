// The main window as created: layout, initial states, focus order, the loading
// overlay and the cursors.
#include "configured.h"
#include "fixture.h"

using namespace tovakidoviv;
using namespace tovakidoviv::testing;

class tst_mainwindow : public GuiTest
{
    Q_OBJECT
private slots:
    void geometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        // Twips / 15, rounded; positions relative to the container. The boxes the
        // end-to-end tests click, and the spots of tst_clicks, are placed there.
        QTest::newRow("Picture1") << "Picture1" << QRect(0, 0, 801, 577);
        QTest::newRow("city1") << "city1" << QRect(96, 176, 113, 20);
        QTest::newRow("city3") << "city3" << QRect(360, 176, 105, 20);
        QTest::newRow("Combo6") << "Combo6" << QRect(96, 216, 113, 20);
        QTest::newRow("Text2") << "Text2" << QRect(104, 288, 33, 25);
        QTest::newRow("Option5") << "Option5" << QRect(504, 320, 73, 41);
        QTest::newRow("Text8") << "Text8" << QRect(80, 400, 193, 25);
        QTest::newRow("Frame1") << "Frame1" << QRect(72, 360, 513, 33);
        QTest::newRow("Option8 in Frame1") << "Option8" << QRect(432, 8, 73, 17);
        QTest::newRow("Frame2") << "Frame2" << QRect(600, 280, 169, 233);
        QTest::newRow("news(9)") << "news(9)" << QRect(8, 208, 129, 17);
        QTest::newRow("Label21") << "Label21" << QRect(624, 520, 121, 17);
        QTest::newRow("Image5 at picture size") << "Image5" << QRect(224, 448, 117, 40);
        QTest::newRow("Image9 at picture size") << "Image9" << QRect(688, 232, 68, 20);
        QTest::newRow("bar") << "shjbjqbutton1" << QRect(8, 101, 721, 41);
        QTest::newRow("news view") << "WebBrowser1" << QRect(416, 416, 137, 81);
        QTest::newRow("overlay moved to the corner") << "WebBrowser2" << QRect(0, 0, 835, 571);
        QTest::newRow("Line1 one pixel wide") << "Line1" << QRect(592, 141, 1, 410);
    }

    void geometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        QWidget *w = window->findChild<QWidget *>(name);
        QVERIFY2(w, qPrintable(name));
        QCOMPARE(w->geometry(), pixels);
    }

    // Each box as created: its text, whether it takes input, and a list box's entries.
    void initialStates_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("enabled");
        QTest::addColumn<QStringList>("list");
        const QStringList counts{"一间", "二间", "三间", "四间"};
        for (const char *name : {"city1", "city2", "city3"}) // city1 stays empty until the tick
            QTest::newRow(name) << name << "请选择" << true << QStringList();
        for (const char *name : {"Combo4", "Combo5"})
            QTest::newRow(name) << name << "请选择" << true << counts;
        QTest::newRow("Combo6") << "Combo6" << "请选择" << true
                                << QStringList{"一房一厅", "二房一厅", "三房一厅", "二房二厅", "三房二厅", "四房二厅",
                                               "五房二厅"};
        for (const char *name : {"Text2", "Text3", "Text4", "Text6", "Text7"})
            QTest::newRow(name) << name << "0" << false << QStringList();
        QTest::newRow("Text5 enabled") << "Text5" << "0" << true << QStringList();
        QTest::newRow("Text8 empty") << "Text8" << "" << true << QStringList();
    }

    void initialStates()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(bool, enabled);
        QFETCH(QStringList, list);
        QWidget *w = window->findChild<QWidget *>(name);
        QVERIFY(w);
        QStringList actual;
        if (auto *box = qobject_cast<EditableCombo *>(w)) {
            QCOMPARE(box->text(), text);
            QVERIFY(box->isEditable());
            actual = entries(box);
        } else {
            auto *edit = qobject_cast<QLineEdit *>(w);
            QVERIFY(edit);
            QCOMPARE(edit->text(), text);
            QVERIFY(edit->maxLength() > 100000);
        }
        QCOMPARE(actual, list);
        QCOMPARE(w->isEnabled(), enabled);
    }

    // The window's frame and the pages it asks for before the tick.
    void asCreated()
    {
        QCOMPARE(window->size(), QSize(797, 574));
        QCOMPARE(window->minimumSize(), window->maximumSize());
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->windowTitle(), configured::caption);
        auto *overlay = platform->view(window, "WebBrowser2");
        QVERIFY(overlay && newsView());
        QCOMPARE(overlay->navigations, QStringList{"/program-directory/loading.html"});
        QCOMPARE(newsView()->navigations, QStringList{configured::newsPage});
        QVERIFY(newsView()->isHidden());
        QCOMPARE(window->Timer1->interval(), 2000);
        QVERIFY(window->Timer1->isActive());
    }

    // A maximise asked of the main window, which has one size, leaves it where
    // and as large as it was; the instructions window, which can be resized,
    // keeps its maximise.
    void maximise_data()
    {
        QTest::addColumn<QString>("which");
        QTest::addColumn<bool>("byTitleBar"); // the native window asked, as the toolkit's title bar does
        QTest::newRow("main by its title bar") << "main" << true;
        QTest::newRow("main by the desktop") << "main" << false;
        QTest::newRow("instructions by its title bar") << "instructions" << true;
    }
    void maximise()
    {
        QFETCH(QString, which);
        QFETCH(bool, byTitleBar);
        QWidget *w = window;
        const bool resizable = which == QLatin1String("instructions");
        if (resizable) {
            w = &forms::shuomingformInstance();
            w->show();
            QVERIFY(QTest::qWaitForWindowExposed(w));
        }
        const QRect before = w->geometry();
        if (byTitleBar)
            w->windowHandle()->setWindowStates(Qt::WindowMaximized);
        else
            w->setWindowState(Qt::WindowMaximized);
        if (resizable) {
            QTRY_VERIFY(w->size() != before.size());
            QVERIFY(w->isMaximized());
            return;
        }
        // Granted by the window system first, then undone.
        QTRY_COMPARE(w->geometry(), before);
        QTRY_VERIFY(!w->isMaximized() && !(w->windowHandle()->windowStates() & Qt::WindowMaximized));
        QCOMPARE(w->minimumSize(), before.size());
        QCOMPARE(w->maximumSize(), before.size());
    }

    void overlayCoversUntilTick_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"city1", "Combo6", "Text5", "Text8", "Option3", "Option7", "Image5", "Image6",
                                 "news(0)", "Label21", "shjbjqbutton1"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void overlayCoversUntilTick()
    {
        QFETCH(QString, name);
        QWidget *target = window->findChild<QWidget *>(name);
        QVERIFY(target);
        const QPoint centre = target->mapTo(window, target->rect().center());
        QWidget *overlay = control("WebBrowser2");
        QWidget *hit = window->childAt(centre);
        QVERIFY(hit == overlay || overlay->isAncestorOf(hit));

        endLoading(*window);
        hit = window->childAt(centre);
        QVERIFY2(hit == target || target->isAncestorOf(hit),
                 qPrintable(QStringLiteral("%1 covered by %2").arg(name, hit ? hit->objectName() : "nothing")));
    }

    void focusOrder_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        // Increasing TabIndex, not the rows on screen; disabled boxes are passed
        // over, and each option group is entered at its chosen button only.
        QTest::newRow("city1") << "city1" << "city2";
        QTest::newRow("city3") << "city3" << "Combo4";
        QTest::newRow("Combo5 skips disabled Text2") << "Combo5" << "Text5";
        QTest::newRow("Text5") << "Text5" << "Option1";
        QTest::newRow("Option1 leaves its group") << "Option1" << "Text8";
        QTest::newRow("Text8 then Text3") << "Text8" << "Text3";
        QTest::newRow("Text3 then Combo6") << "Text3" << "Combo6";
        QTest::newRow("Combo6 then grades") << "Combo6" << "Option6";
    }

    void focusOrder()
    {
        QFETCH(QString, from);
        QFETCH(QString, to);
        endLoading(*window);
        window->Text3->setEnabled(true);
        QApplication::setActiveWindow(window);
        QVERIFY(QTest::qWaitForWindowActive(window));
        window->findChild<QWidget *>(from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(focusedName(), to);
    }

    void newsCursor_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<bool>("hand");
        for (int i = 0; i < 10; ++i)
            QTest::addRow("news(%d)", i) << i << (i <= 2 || i == 4 || i == 5);
    }

    void newsCursor()
    {
        QFETCH(int, index);
        QFETCH(bool, hand);
        const QCursor cursor = window->news->at(index)->cursor();
        QCOMPARE(cursor.shape() == Qt::BitmapCursor, hand);
        if (hand)
            QCOMPARE(cursor.pixmap().size(), QSize(48, 48));
        else
            QCOMPARE(cursor.shape(), Qt::ArrowCursor);
        QCOMPARE(window->news->at(index)->text(), QStringLiteral("Label21"));
    }

    void optionGroups_data()
    {
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<QStringList>("on");
        QTest::newRow("style 5 keeps grade") << "Option5" << QStringList{"Option5", "Option6"};
        QTest::newRow("grade 8 keeps style") << "Option8" << QStringList{"Option1", "Option8"};
        QTest::newRow("style 3") << "Option3" << QStringList{"Option3", "Option6"};
    }

    void optionGroups()
    {
        QFETCH(QString, clicked);
        QFETCH(QStringList, on);
        endLoading(*window);
        auto *button = window->findChild<QRadioButton *>(clicked);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
        QStringList checked;
        for (QRadioButton *b : window->findChildren<QRadioButton *>())
            if (b->isChecked())
                checked << b->objectName();
        checked.sort();
        QCOMPARE(checked, on);
    }
};

QTEST_MAIN(tst_mainwindow)
#include "tst_mainwindow.moc"
