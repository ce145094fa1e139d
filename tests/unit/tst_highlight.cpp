#include "navbar/highlight.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_highlight : public QObject
{
    Q_OBJECT
private slots:
    void forTab_data();
    void forTab();
};

void tst_highlight::forTab_data()
{
    QTest::addColumn<short>("tab");
    QTest::addColumn<bool>("placed");
    QTest::addColumn<QPointF>("image");
    QTest::addColumn<QPointF>("label");
    QTest::addColumn<QString>("caption");

    QTest::newRow("0") << short(0) << false << QPointF() << QPointF() << QString();
    QTest::newRow("1 自动报价") << short(1) << true << QPointF(120, 0) << QPointF(220, 100) << QStringLiteral("自动报价");
    QTest::newRow("2") << short(2) << false << QPointF() << QPointF() << QString();
    QTest::newRow("3") << short(3) << false << QPointF() << QPointF() << QString();
    QTest::newRow("4") << short(4) << false << QPointF() << QPointF() << QString();
    QTest::newRow("5 使用说明") << short(5) << true << QPointF(7560, 0) << QPointF(7660, 100) << QStringLiteral("使用说明");
    QTest::newRow("6") << short(6) << false << QPointF() << QPointF() << QString();
    QTest::newRow("-1") << short(-1) << false << QPointF() << QPointF() << QString();
    QTest::newRow("-32768") << short(-32768) << false << QPointF() << QPointF() << QString();
    QTest::newRow("32767") << short(32767) << false << QPointF() << QPointF() << QString();
}

void tst_highlight::forTab()
{
    QFETCH(short, tab);
    QFETCH(bool, placed);
    QFETCH(QPointF, image);
    QFETCH(QPointF, label);
    QFETCH(QString, caption);

    const std::optional<highlight::Placement> p = highlight::forTab(tab);
    QCOMPARE(p.has_value(), placed);
    if (!p)
        return;
    QCOMPARE(QPointF(p->imageLeft, p->imageTop), image);
    QCOMPARE(QPointF(p->labelLeft, p->labelTop), label);
    QCOMPARE(p->caption, caption);
}

QTEST_APPLESS_MAIN(tst_highlight)
#include "tst_highlight.moc"
