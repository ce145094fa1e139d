#include "text/phonepattern.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_phonepattern : public QObject
{
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
};

void tst_phonepattern::matches_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");

    QTest::newRow("digits then letter") << QStringLiteral("1234567890a") << false;
    QTest::newRow("letters then digit") << QStringLiteral("abcdefghij1") << true;
    QTest::newRow("digits then final LF") << QStringLiteral("1234567890\n") << false;
    QTest::newRow("digits then final CRLF") << QStringLiteral("1234567890\r\n") << false;
    QTest::newRow("digits then final CR") << QStringLiteral("1234567890\r") << false;
    QTest::newRow("digit then line separator") << QString::fromUtf16(u"1\u2028") << false;
    QTest::newRow("digits after a line break") << QStringLiteral("abc\n123") << true;
    QTest::newRow("full-width digits") << QStringLiteral("１２３") << false;
    QTest::newRow("full-width digit alone") << QStringLiteral("１") << false;
    QTest::newRow("full-width digit after ASCII digits") << QStringLiteral("123１") << false;
    QTest::newRow("Arabic-Indic digit") << QStringLiteral("٣") << false;
    QTest::newRow("digits") << QStringLiteral("13800138000") << true;
    QTest::newRow("one digit") << QStringLiteral("0") << true;
    QTest::newRow("nine after a surrogate pair") << QString::fromUtf16(u"\U0001F600" u"9") << true;
    QTest::newRow("digit then NUL") << QString::fromUtf16(u"5\0", 2) << false;
    QTest::newRow("empty text") << QString() << false;
    QTest::newRow("'/' and ':' beside the digits") << QStringLiteral("0/") << false;
    QTest::newRow("':' at the end") << QStringLiteral("9:") << false;
}

void tst_phonepattern::matches()
{
    QFETCH(QString, text);
    QFETCH(bool, matches);

    QCOMPARE(phonepattern::matches(text), matches);
}

QTEST_APPLESS_MAIN(tst_phonepattern)
#include "tst_phonepattern.moc"
