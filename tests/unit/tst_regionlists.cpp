#include "quotation/publicfunction.h"
#include "quotation/regionlists.h"

#include <QtTest>

using namespace tovakidoviv;

namespace {

// NULs inside names keep the entry whole; a part that is only NUL is offered nowhere.
template <std::size_t N>
QString withNul(const char16_t (&text)[N])
{
    return QString::fromUtf16(text, qsizetype(N - 1));
}
const QString withNuls = withNul(u"110000|北\0京市,110100|北京市,110101|东城\0区,\0,");
const QString nulProvince = withNul(u"110000|北\0京市");

const QString sample = QStringLiteral("110000|北京市,110100|北京市,110101|东城区,110102|西城区,"
                                      "130000|河北省,130100|石家庄市,130102|长安区,130200|唐山市,130202|路南区,"
                                      "150000|内蒙古自治区,");

QStringList itemsOf(const QString &line)
{
    return regions::buildCityItems(line).items;
}

} // namespace

// That every entry offered is a part of the line, whatever the line and the
// picks, is fuzz_regionlists' invariant (tests/fuzz).
class tst_regionlists : public QObject
{
    Q_OBJECT
private slots:
    void buildCityItems_data();
    void buildCityItems();
    void partLimit_data();
    void partLimit();
    void provinceEntries_data();
    void provinceEntries();
    void cityEntries_data();
    void cityEntries();
    void districtEntries_data();
    void districtEntries();
    void realData();
};

void tst_regionlists::buildCityItems_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<QString>("error");

    QTest::newRow("last part dropped") << QStringLiteral("a,b") << QStringList{"a", "", "", ""} << QString();
    QTest::newRow("single part kept") << QStringLiteral("a") << QStringList{"a", "", ""} << QString();
    QTest::newRow("comma only") << QStringLiteral(",") << QStringList{"", "", "", ""} << QString();
    QTest::newRow("empty parts kept") << QStringLiteral("a,,b,") << QStringList{"a", "", "b", "", "", ""} << QString();
    QTest::newRow("empty line") << QString() << QStringList()
                                << QStringLiteral("地区数据文件 city.txt 的第一行是空的，没有任何地区");
}

void tst_regionlists::buildCityItems()
{
    QFETCH(QString, line);
    QFETCH(QStringList, items);
    QFETCH(QString, error);

    const regions::CityItems built = regions::buildCityItems(line);
    QCOMPARE(built.items, items);
    QCOMPARE(built.error, error);
}

void tst_regionlists::partLimit_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<QString>("error");
    QTest::newRow("at the limit") << regions::maxParts << QString();
    QTest::newRow("one over") << regions::maxParts + 1
                              << QStringLiteral("地区数据文件 city.txt 的第一行有 32766 段，超过了 32765 段的上限");
}

void tst_regionlists::partLimit()
{
    QFETCH(int, parts);
    QFETCH(QString, error);

    QString line = QStringLiteral("110000|x");
    for (int i = 1; i < parts; ++i)
        line += QStringLiteral(",110000|x");
    const regions::CityItems built = regions::buildCityItems(line);
    QCOMPARE(built.error, error);
    QCOMPARE(built.items.size(), error.isEmpty() ? parts + 2 : 0);
}

void tst_regionlists::provinceEntries_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("provinces");

    QTest::newRow("sample") << sample
                            << QStringList{"110000|北京市", "130000|河北省", "150000|内蒙古自治区"};
    QTest::newRow("last entry without comma is lost")
        << QStringLiteral("110000|北京市,130000|河北省") << QStringList{"110000|北京市"};
    QTest::newRow("single city without comma") << QStringLiteral("110100|北京市") << QStringList();
    QTest::newRow("code only") << QStringLiteral("120000,") << QStringList{"120000"};
    QTest::newRow("too short to be a province") << QStringLiteral("12000,1200,") << QStringList();
    QTest::newRow("empty parts never offered") << QStringLiteral(",,110000|a,,") << QStringList{"110000|a"};
    QTest::newRow("a replacement character is no province")
        << QStringLiteral("\uFFFD,110000|北京市,110100|北京市,") << QStringList{"110000|北京市"};
    QTest::newRow("NUL inside names") << withNuls << QStringList{nulProvince};
}

void tst_regionlists::provinceEntries()
{
    QFETCH(QString, line);
    QFETCH(QStringList, provinces);
    QCOMPARE(regions::provinceEntries(itemsOf(line)), provinces);
}

void tst_regionlists::cityEntries_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("city1");
    QTest::addColumn<QStringList>("cities");

    QTest::newRow("two cities") << sample << QStringLiteral("130000|河北省")
                                << QStringList{"130100|石家庄市", "130200|唐山市"};
    QTest::newRow("municipality") << sample << QStringLiteral("110000|北京市") << QStringList{"110100|北京市"};
    QTest::newRow("province without cities") << sample << QStringLiteral("150000|内蒙古自治区") << QStringList();
    QTest::newRow("province not in data") << sample << QStringLiteral("440000|广东省") << QStringList();
    QTest::newRow("only the first two characters of the pick count")
        << sample << QStringLiteral("13") << QStringList{"130100|石家庄市", "130200|唐山市"};
    QTest::newRow("short entries by substring")
        << QStringLiteral("1301,130100,13010,130200|x,") << QStringLiteral("130000")
        << QStringList{"130100", "130200|x"};
    QTest::newRow("empty parts never offered") << QStringLiteral(",,130100|a,,") << QStringLiteral("130000|b")
                                               << QStringList{"130100|a"};
    QTest::newRow("NUL inside names") << withNuls << nulProvince << QStringList{"110100|北京市"};
}

void tst_regionlists::cityEntries()
{
    QFETCH(QString, line);
    QFETCH(QString, city1);
    QFETCH(QStringList, cities);
    QCOMPARE(regions::cityEntries(itemsOf(line), city1), cities);
}

void tst_regionlists::districtEntries_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("city1");
    QTest::addColumn<QString>("city2");
    QTest::addColumn<QStringList>("districts");

    QTest::newRow("city's own entry first") << sample << QStringLiteral("130000|河北省") << QStringLiteral("130100|石家庄市")
                                            << QStringList{"130100|石家庄市", "130102|长安区"};
    QTest::newRow("municipality") << sample << QStringLiteral("110000|北京市") << QStringLiteral("110100|北京市")
                                  << QStringList{"110100|北京市", "110101|东城区", "110102|西城区"};
    QTest::newRow("file order kept")
        << QStringLiteral("130105|c,130100|a,130102|b,") << QStringLiteral("130000") << QStringLiteral("130100")
        << QStringList{"130105|c", "130100|a", "130102|b"};
    QTest::newRow("city of another province")
        << sample << QStringLiteral("110000|北京市") << QStringLiteral("130100|石家庄市")
        << QStringList{"110100|北京市", "110101|东城区", "110102|西城区"};
    QTest::newRow("short entries by substring")
        << QStringLiteral("1301,13,130,130100,") << QStringLiteral("130000") << QStringLiteral("130100")
        << QStringList{"1301", "130100"};
    QTest::newRow("empty parts never offered")
        << QStringLiteral(",,130101|a,,") << QStringLiteral("130000|b") << QStringLiteral("130100|c")
        << QStringList{"130101|a"};
    QTest::newRow("NUL inside names") << withNuls << nulProvince << QStringLiteral("110100|北京市")
                                      << QStringList{"110100|北京市", withNul(u"110101|东城\0区")};
    // Empty picks would compare equal to the empty padding elements.
    QTest::newRow("empty picks offer no blank entries")
        << QStringLiteral("a,") << QString() << QString() << QStringList();
    QTest::newRow("short picks: only the short entry, no blanks")
        << QStringLiteral(",,1,") << QStringLiteral("1") << QString() << QStringList{"1"};
}

void tst_regionlists::districtEntries()
{
    QFETCH(QString, line);
    QFETCH(QString, city1);
    QFETCH(QString, city2);
    QFETCH(QStringList, districts);
    QCOMPARE(regions::districtEntries(itemsOf(line), city1, city2), districts);
}

void tst_regionlists::realData()
{
    const QString path = QFINDTESTDATA("../../data/city.txt");
    QVERIFY2(!path.isEmpty(), "data/city.txt is not in the source tree");
    const publicfunction::FirstLine first = publicfunction::readFirstLine(path);
    QVERIFY2(first.ok, qPrintable(first.error));
    const regions::CityItems built = regions::buildCityItems(first.line);
    QVERIFY2(built.error.isEmpty(), qPrintable(built.error));

    const QStringList provinces = regions::provinceEntries(built.items);
    QCOMPARE(provinces.size(), 34);
    for (const QString &province : provinces) {
        for (const QString &city : regions::cityEntries(built.items, province)) {
            QVERIFY2(city.left(2) == province.left(2), qPrintable(city));
            const QStringList districts = regions::districtEntries(built.items, province, city);
            QVERIFY2(!districts.isEmpty() && districts.first() == city, qPrintable(city));
            for (const QString &district : districts)
                QVERIFY2(district.left(4) == city.left(4), qPrintable(district));
        }
    }
}

QTEST_APPLESS_MAIN(tst_regionlists)
#include "tst_regionlists.moc"
