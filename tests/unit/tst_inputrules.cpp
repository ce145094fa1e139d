#include "quotation/inputrules.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_inputrules : public QObject
{
    Q_OBJECT
private slots:
    void houseTypeRule_data()
    {
        QTest::addColumn<QString>("houseType");
        QTest::addColumn<bool>("living");
        QTest::addColumn<bool>("dining");
        QTest::addColumn<bool>("bedroom");

        for (const char *type : {"一房一厅", "二房一厅", "三房一厅"})
            QTest::newRow(type) << QString::fromUtf8(type) << true << false << true;
        for (const char *type : {"二房二厅", "三房二厅", "四房二厅", "五房二厅"})
            QTest::newRow(type) << QString::fromUtf8(type) << true << true << true;
        QTest::newRow("nothing chosen") << QStringLiteral("请选择") << false << false << false;
        QTest::newRow("empty") << QString() << false << false << false;
        QTest::newRow("halls only, too short") << QStringLiteral("二厅") << false << false << false;
        QTest::newRow("characters 3-4 decide, the rest not") << QStringLiteral("六房二厅多") << true << true << true;
        QTest::newRow("three halls") << QStringLiteral("三房三厅") << false << false << false;
    }

    void houseTypeRule()
    {
        QFETCH(QString, houseType);
        QFETCH(bool, living);
        QFETCH(bool, dining);
        QFETCH(bool, bedroom);

        const inputrules::HallBoxes boxes = inputrules::houseTypeRule(houseType);
        QCOMPARE(boxes.livingRoom, living);
        QCOMPARE(boxes.diningRoom, dining);
        QCOMPARE(boxes.bedroom, bedroom);
    }

    void roomCountEnables_data()
    {
        QTest::addColumn<QString>("count");
        QTest::addColumn<bool>("enables");

        QTest::newRow("一间") << QStringLiteral("一间") << true;
        QTest::newRow("四间") << QStringLiteral("四间") << true;
        QTest::newRow("nothing chosen") << QStringLiteral("请选择") << false;
        QTest::newRow("typed text") << QStringLiteral("abc") << true;
        QTest::newRow("nothing chosen with a blank") << QStringLiteral("请选择 ") << true;
    }

    void roomCountEnables()
    {
        QFETCH(QString, count);
        QFETCH(bool, enables);
        QCOMPARE(inputrules::roomCountEnables(count), enables);
    }
};

QTEST_APPLESS_MAIN(tst_inputrules)
#include "tst_inputrules.moc"
