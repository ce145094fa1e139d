#include "layout/twips.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_twips : public QObject
{
    Q_OBJECT
private slots:
    void toPixels_data()
    {
        QTest::addColumn<float>("twips");
        QTest::addColumn<int>("pixels");

        QTest::newRow("zero") << 0.0f << 0;
        QTest::newRow("one pixel") << 15.0f << 1;
        QTest::newRow("just under a half") << 7.0f << 0;
        QTest::newRow("half rounds up") << 7.5f << 1;
        QTest::newRow("one and a half rounds up") << 22.5f << 2;
        QTest::newRow("negative half rounds down") << -7.5f << -1;
        QTest::newRow("negative one and a half") << -22.5f << -2;
        QTest::newRow("small negative is zero") << -5.0f << 0;
        QTest::newRow("just over a whole") << 15.1f << 1;
    }

    void toPixels()
    {
        QFETCH(float, twips);
        QFETCH(int, pixels);
        QCOMPARE(twips::toPixels(twips), pixels);
    }

    void toPixelRect_data()
    {
        QTest::addColumn<QList<float>>("values");
        QTest::addColumn<QRect>("rect");

        QTest::newRow("each value rounded on its own")
            << QList<float>{112.5f, 7.0f, 12525.0f, 22.5f} << QRect(8, 0, 835, 2);
        QTest::newRow("negative position") << QList<float>{-22.5f, -5.0f, 15.0f, 30.0f} << QRect(-2, 0, 1, 2);
    }

    void toPixelRect()
    {
        QFETCH(QList<float>, values);
        QFETCH(QRect, rect);
        QCOMPARE(twips::toPixelRect(values[0], values[1], values[2], values[3]), rect);
    }
};

QTEST_APPLESS_MAIN(tst_twips)
#include "tst_twips.moc"
