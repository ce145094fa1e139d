#include "news/snapshotjson.h"

#include <QtTest>

using namespace tovakidoviv;

namespace {
// One element as "tag|name|value|mysrc", mysrc shown as "-" when absent.
QString show(const DomElement &e)
{
    return QStringList{e.tagName, e.name, e.value, e.mysrc ? *e.mysrc : QStringLiteral("-")}.join(u'|');
}
} // namespace

class tst_snapshotjson : public QObject
{
    Q_OBJECT
private slots:
    void rows_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("two elements in order")
            << QByteArray("[[\"HTML\",\"\",\"\",null],[\"INPUT\",\"news1\",\"头条\",\"http://n/1\"]]")
            << QStringList{"HTML|||-", "INPUT|news1|头条|http://n/1"};
        QTest::newRow("empty mysrc is present, null is absent")
            << QByteArray("[[\"INPUT\",\"a\",\"v\",\"\"],[\"INPUT\",\"b\",\"v\",null]]")
            << QStringList{"INPUT|a|v|", "INPUT|b|v|-"};
        QTest::newRow("markup and escapes kept as text")
            << QByteArray("[[\"INPUT\",\"n\",\"<b>\\\"x\\\"</b>\\n\\u0000\",\"javascript:alert(1)\"]]")
            << QStringList{QStringLiteral("INPUT|n|<b>\"x\"</b>\n") + QChar(0) + QStringLiteral("|javascript:alert(1)")};
        QTest::newRow("wrong kinds read as empty or absent")
            << QByteArray("[[1,true,{\"a\":1},42],[\"INPUT\"],[],\"row\",null]")
            << QStringList{"|||-", "INPUT|||-", "|||-", "|||-", "|||-"};
        QTest::newRow("extra fields ignored") << QByteArray("[[\"A\",\"n\",\"v\",\"s\",\"extra\",7]]")
                                              << QStringList{"A|n|v|s"};
        QTest::newRow("empty array") << QByteArray("[]") << QStringList{};
        QTest::newRow("empty text") << QByteArray() << QStringList{};
        QTest::newRow("not JSON") << QByteArray("undefined") << QStringList{};
        QTest::newRow("an object, not an array") << QByteArray("{\"0\":[\"A\",\"n\",\"v\",\"s\"]}") << QStringList{};
        QTest::newRow("cut short") << QByteArray("[[\"INPUT\",\"news1\",\"v\",\"s\"],[\"INP") << QStringList{};
    }
    void rows()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, expected);
        QStringList got;
        for (const DomElement &e : parseSnapshotJson(json))
            got << show(e);
        QCOMPARE(got, expected);
    }
};

QTEST_APPLESS_MAIN(tst_snapshotjson)
#include "tst_snapshotjson.moc"
