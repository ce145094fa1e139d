#include "platform/scriptregexp.h"

#include <QtTest>

using namespace tovakidoviv;

class tst_scriptregexp : public QObject
{
    Q_OBJECT
private slots:
    void test_data();
    void test();
    void patternIsKept();
};

void tst_scriptregexp::test_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");

    const QString phone = QStringLiteral("\\d+$");
    QTest::newRow("digits then letter") << phone << QStringLiteral("1234567890a") << false;
    QTest::newRow("letters then digit") << phone << QStringLiteral("abcdefghij1") << true;
    QTest::newRow("digits then final LF") << phone << QStringLiteral("1234567890\n") << false;
    QTest::newRow("digits then final CRLF") << phone << QStringLiteral("1234567890\r\n") << false;
    QTest::newRow("full-width digits") << phone << QStringLiteral("１２３") << false;
    QTest::newRow("Arabic-Indic digit") << phone << QStringLiteral("٣") << false;
    QTest::newRow("digits") << phone << QStringLiteral("13800138000") << true;
    QTest::newRow("empty text") << phone << QString() << false;
    QTest::newRow("digit in class is ASCII") << QStringLiteral("[\\d]$") << QStringLiteral("１") << false;
    QTest::newRow("non-digit takes full-width") << QStringLiteral("^\\D$") << QStringLiteral("１") << true;
    QTest::newRow("negated digit class takes full-width") << QStringLiteral("[^\\d]") << QStringLiteral("１") << true;
    QTest::newRow("dot not LF") << QStringLiteral("a.b") << QStringLiteral("a\nb") << false;
    QTest::newRow("dot not CR") << QStringLiteral("a.b") << QStringLiteral("a\rb") << false;
    QTest::newRow("dot not line separator") << QStringLiteral("a.b") << QString::fromUtf16(u"a\u2028b") << false;
    QTest::newRow("dot any other") << QStringLiteral("a.b") << QStringLiteral("a技b") << true;
    QTest::newRow("escaped dot is literal") << QStringLiteral("a\\.b") << QStringLiteral("axb") << false;
    QTest::newRow("dollar in class is literal") << QStringLiteral("[$]") << QStringLiteral("5$") << true;
    QTest::newRow("escaped dollar is literal") << QStringLiteral("5\\$") << QStringLiteral("x5$y") << true;
    QTest::newRow("caret only at start") << QStringLiteral("^b") << QStringLiteral("a\nb") << false;
    QTest::newRow("case-sensitive") << QStringLiteral("abc") << QStringLiteral("ABC") << false;
    QTest::newRow("found anywhere") << QStringLiteral("b+") << QStringLiteral("abbbc") << true;
    QTest::newRow("alternative at end") << QStringLiteral("x$|b$") << QStringLiteral("ab\n") << false;
    QTest::newRow("empty class matches nothing") << QStringLiteral("a[]") << QStringLiteral("a]") << false;
    QTest::newRow("negated empty class takes LF") << QStringLiteral("a[^]b") << QStringLiteral("a\nb") << true;
}

void tst_scriptregexp::test()
{
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, matches);

    ScriptRegExp re;
    re.setPattern(pattern);
    QCOMPARE(re.test(text), matches);
}

void tst_scriptregexp::patternIsKept()
{
    ScriptRegExp re;
    re.setPattern(QStringLiteral("\\d+$"));
    QCOMPARE(re.pattern(), QStringLiteral("\\d+$"));
    re.setPattern(QStringLiteral("^a.$"));
    QCOMPARE(re.pattern(), QStringLiteral("^a.$"));
    QVERIFY(re.test(QStringLiteral("ab")));
    QVERIFY(!re.test(QStringLiteral("123")));
}

QTEST_APPLESS_MAIN(tst_scriptregexp)
#include "tst_scriptregexp.moc"
