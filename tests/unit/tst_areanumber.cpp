#include "quotation/areanumber.h"

#include <QtTest>

#include <limits>

using namespace tovakidoviv;

class tst_areanumber : public QObject
{
    Q_OBJECT
private slots:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("value");

        QTest::newRow("leading zero") << QStringLiteral("012") << true << 12.0;
        QTest::newRow("fraction zero") << QStringLiteral("12.50") << true << 12.5;
        QTest::newRow("zero") << QStringLiteral("0") << true << 0.0;
        QTest::newRow("minus zero") << QStringLiteral("-0") << true << 0.0;
        QTest::newRow("blanks around") << QStringLiteral(" 7 ") << true << 7.0;
        QTest::newRow("tabs around") << QStringLiteral("\t7\t") << true << 7.0;
        QTest::newRow("point without fraction") << QStringLiteral("1.") << true << 1.0;
        QTest::newRow("fraction only") << QStringLiteral(".5") << true << 0.5;
        QTest::newRow("exponent") << QStringLiteral("1e3") << true << 1000.0;
        QTest::newRow("exponent upper case, signed") << QStringLiteral("2.5E-2") << true << 0.025;
        QTest::newRow("plus sign") << QStringLiteral("+3") << true << 3.0;
        QTest::newRow("negative") << QStringLiteral("-12.5") << true << -12.5;
        QTest::newRow("underflow is zero") << QStringLiteral("1e-400") << true << 0.0;
        QTest::newRow("largest double") << QStringLiteral("1.7976931348623157e308") << true
                                        << std::numeric_limits<double>::max();

        QTest::newRow("comma") << QStringLiteral("1,5") << false << 0.0;
        QTest::newRow("thousands separator") << QStringLiteral("1,000") << false << 0.0;
        QTest::newRow("full-width digits") << QStringLiteral("１２") << false << 0.0;
        QTest::newRow("Arabic-Indic digits") << QStringLiteral("١٢") << false << 0.0;
        QTest::newRow("inf") << QStringLiteral("inf") << false << 0.0;
        QTest::newRow("nan") << QStringLiteral("nan") << false << 0.0;
        QTest::newRow("empty") << QString() << false << 0.0;
        QTest::newRow("blanks only") << QStringLiteral("  ") << false << 0.0;
        QTest::newRow("point only") << QStringLiteral(".") << false << 0.0;
        QTest::newRow("sign only") << QStringLiteral("-") << false << 0.0;
        QTest::newRow("exponent without digits") << QStringLiteral("1e") << false << 0.0;
        QTest::newRow("exponent sign without digits") << QStringLiteral("1e+") << false << 0.0;
        QTest::newRow("exponent only") << QStringLiteral("e3") << false << 0.0;
        QTest::newRow("hexadecimal") << QStringLiteral("0x10") << false << 0.0;
        QTest::newRow("blank inside") << QStringLiteral("1 2") << false << 0.0;
        QTest::newRow("two points") << QStringLiteral("1.5.2") << false << 0.0;
        QTest::newRow("two signs") << QStringLiteral("--1") << false << 0.0;
        QTest::newRow("no-break space around") << QString::fromUtf16(u"\u00A05") << false << 0.0;
        QTest::newRow("line break after") << QStringLiteral("5\n") << false << 0.0;
        QTest::newRow("unit after") << QStringLiteral("5m") << false << 0.0;
        QTest::newRow("overflow") << QStringLiteral("1e999") << false << 0.0;
        QTest::newRow("negative overflow") << QStringLiteral("-1e999") << false << 0.0;
    }

    void parse()
    {
        QFETCH(QString, text);
        QFETCH(bool, accepted);
        QFETCH(double, value);

        const std::optional<double> parsed = areanumber::parse(text);
        QCOMPARE(parsed.has_value(), accepted);
        if (accepted)
            QCOMPARE(*parsed, value);
    }

    void render_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("text");

        QTest::newRow("zero") << 0.0 << QStringLiteral("0");
        QTest::newRow("minus zero") << -0.0 << QStringLiteral("0");
        QTest::newRow("whole") << 12.0 << QStringLiteral("12");
        QTest::newRow("fraction") << 12.5 << QStringLiteral("12.5");
        QTest::newRow("negative") << -12.5 << QStringLiteral("-12.5");
        QTest::newRow("tenth") << 0.1 << QStringLiteral("0.1");
        QTest::newRow("third, 15 digits") << 1.0 / 3 << QStringLiteral("0.333333333333333");
        QTest::newRow("sum with binary noise") << 0.1 + 0.2 << QStringLiteral("0.3");
        QTest::newRow("largest plain") << 123456789012345.0 << QStringLiteral("123456789012345");
        QTest::newRow("1e15") << 1e15 << QStringLiteral("1E+15");
        QTest::newRow("16 digits rounded") << 1234567890123456.0 << QStringLiteral("1.23456789012346E+15");
        QTest::newRow("1e20") << 1e20 << QStringLiteral("1E+20");
        QTest::newRow("three-digit exponent") << 1.5e300 << QStringLiteral("1.5E+300");
        QTest::newRow("smallest plain") << 0.0001 << QStringLiteral("0.0001");
        QTest::newRow("1e-5") << 0.00001 << QStringLiteral("1E-05");
        QTest::newRow("1e-7") << 1e-7 << QStringLiteral("1E-07");
        QTest::newRow("negative small") << -2.5e-10 << QStringLiteral("-2.5E-10");
        QTest::newRow("subnormal") << 5e-324 << QStringLiteral("4.94065645841247E-324");
    }

    void render()
    {
        QFETCH(double, value);
        QFETCH(QString, text);
        QCOMPARE(areanumber::render(value), text);
    }
};

QTEST_APPLESS_MAIN(tst_areanumber)
#include "tst_areanumber.moc"
