#include "news/newswalk.h"

#include <QtTest>

using namespace tovakidoviv;

Q_DECLARE_METATYPE(QList<DomElement>)

namespace {

DomElement input(const QString &name, const QString &value, const char *mysrc = nullptr)
{
    return {QStringLiteral("INPUT"), name, value, mysrc ? std::optional(QString::fromUtf8(mysrc)) : std::nullopt};
}

DomElement element(const QString &tag, const QString &name, const QString &value)
{
    return {tag, name, value, std::nullopt};
}

// news1 .. newsN, captioned "n1" .. "nN".
QList<DomElement> numbered(int count)
{
    QList<DomElement> list;
    for (int i = 1; i <= count; ++i)
        list << input(QStringLiteral("news%1").arg(i), QStringLiteral("n%1").arg(i));
    return list;
}

const QString end = QString::fromUtf16(news::endMarker);

} // namespace

class tst_newswalk : public QObject
{
    Q_OBJECT
private slots:
    // Each item taken as its caption, then " → " and its link where it has one.
    void walk_data()
    {
        QTest::addColumn<QList<DomElement>>("elements");
        QTest::addColumn<QStringList>("items");

        QTest::newRow("nothing") << QList<DomElement>() << QStringList();
        QTest::newRow("news2 before news1") << QList<DomElement>{input("news2", "n2"), input("news1", "n1")}
                                            << QStringList{"n1"};
        QTest::newRow("gap stops the numbering")
            << QList<DomElement>{input("news1", "n1"), input("news3", "n3"), input("news2", "n2"),
                                 input("news3", "n3b")}
            << QStringList{"n1", "n2", "n3b"};
        QTest::newRow("end marker first") << (QList<DomElement>{input("other", end)} + numbered(3)) << QStringList();
        QTest::newRow("end marker that is the next item is taken")
            << QList<DomElement>{input("news1", "n1"), input("news2", end), input("news3", "n3")}
            << QStringList{"n1", end};
        QTest::newRow("end marker out of order stops")
            << QList<DomElement>{input("news1", "n1"), input("news5", end), input("news2", "n2")}
            << QStringList{"n1"};
        QTest::newRow("end marker on another tag does not stop")
            << QList<DomElement>{input("news1", "n1"), element("DIV", "x", end), input("news2", "n2")}
            << QStringList{"n1", "n2"};
        QTest::newRow("upper-case name, lower-case tag")
            << QList<DomElement>{element("input", "NEWS1", "n1"), element("Input", "News2", "n2")}
            << QStringList{"n1", "n2"};
        QTest::newRow("other tag named news1 ignored")
            << QList<DomElement>{element("DIV", "news1", "d"), element("INPUTX", "news1", "x"), input("news1", "n1")}
            << QStringList{"n1"};
        const QStringList ten{"n1", "n2", "n3", "n4", "n5", "n6", "n7", "n8", "n9", "n10"};
        QTest::newRow("news1 to news12: ten taken") << numbered(12) << ten;
        QTest::newRow("exactly ten") << numbered(10) << ten;
        QTest::newRow("leading blank in name") << QList<DomElement>{input(" news1", "x")} << QStringList();
        QTest::newRow("trailing blank in name") << QList<DomElement>{input("news1 ", "x")} << QStringList();
        QTest::newRow("news01") << QList<DomElement>{input("news01", "x")} << QStringList();
        QTest::newRow("empty caption is an item") << QList<DomElement>{input("news1", "")} << QStringList{""};
        QTest::newRow("each item its own link")
            << QList<DomElement>{input("news1", "n1", "http://n/1"), input("news2", "n2", "http://n/2")}
            << QStringList{"n1 → http://n/1", "n2 → http://n/2"};
        QTest::newRow("missing mysrc is an empty link")
            << QList<DomElement>{input("news1", "a"), input("news2", "b", "x")} << QStringList{"a", "b → x"};
    }

    void walk()
    {
        QFETCH(QList<DomElement>, elements);
        QFETCH(QStringList, items);

        QStringList taken;
        for (const news::Item &item : news::walk(elements))
            taken << (item.link.isEmpty() ? item.caption : item.caption + QStringLiteral(" → ") + item.link);
        QCOMPARE(taken, items);
    }
};

QTEST_APPLESS_MAIN(tst_newswalk)
#include "tst_newswalk.moc"
