#include "quotation/publicfunction.h"
#include "quotation/regionlists.h"

#include <QtTest>

using namespace tovakidoviv;
using namespace Qt::StringLiterals;

namespace {

// NULs inside names keep the entry whole; a part that is only NUL is offered nowhere.
const QString withNuls = u"110000|北\0京市,110100|北京市,110101|东城\0区,\0,"_s;
const QString nulProvince = u"110000|北\0京市"_s;

const QString sample = QStringLiteral("110000|北京市,110100|北京市,110101|东城区,110102|西城区,"
                                      "130000|河北省,130100|石家庄市,130102|长安区,130200|唐山市,130202|路南区,"
                                      "150000|内蒙古自治区,");

} // namespace

// That every entry offered is a part of the line, whatever the line and the
// picks, is fuzz_regionlists' invariant (tests/fuzz).
class tst_regionlists : public QObject
{
    Q_OBJECT
private slots:
    void buildCityItems_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("error");

        QTest::newRow("last part dropped") << QStringLiteral("a,b") << QStringList{"a", "", "", ""} << QString();
        QTest::newRow("single part kept") << QStringLiteral("a") << QStringList{"a", "", ""} << QString();
        QTest::newRow("comma only") << QStringLiteral(",") << QStringList{"", "", "", ""} << QString();
        QTest::newRow("empty parts kept")
            << QStringLiteral("a,,b,") << QStringList{"a", "", "b", "", "", ""} << QString();
        QTest::newRow("empty line") << QString() << QStringList()
                                    << QStringLiteral("地区数据文件 city.txt 的第一行是空的，没有任何地区");
        const auto parts = [](int count) { return QStringList(count, QStringLiteral("110000|x")).join(u','); };
        QTest::newRow("parts at the limit") << parts(regions::maxParts)
                                            << QStringList(regions::maxParts - 1, QStringLiteral("110000|x"))
                                                   + QStringList(3, QString())
                                            << QString();
        QTest::newRow("parts one over")
            << parts(regions::maxParts + 1) << QStringList()
            << QStringLiteral("地区数据文件 city.txt 的第一行有 32766 段，超过了 32765 段的上限");
    }

    void buildCityItems()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, items);
        QFETCH(QString, error);

        const regions::CityItems built = regions::buildCityItems(line);
        QCOMPARE(built.items, items);
        QCOMPARE(built.error, error);
    }

    // What each list offers after the picks before it: no pick, the provinces;
    // city1 picked, its cities; city1 and city2, the districts.
    void entries_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("picks");
        QTest::addColumn<QStringList>("entries");

        const QStringList none;
        QTest::newRow("provinces: sample") << sample << none
                                           << QStringList{"110000|北京市", "130000|河北省", "150000|内蒙古自治区"};
        QTest::newRow("provinces: last entry without comma is lost")
            << QStringLiteral("110000|北京市,130000|河北省") << none << QStringList{"110000|北京市"};
        QTest::newRow("provinces: single city without comma") << QStringLiteral("110100|北京市") << none << none;
        QTest::newRow("provinces: code only") << QStringLiteral("120000,") << none << QStringList{"120000"};
        QTest::newRow("provinces: too short to be a province") << QStringLiteral("12000,1200,") << none << none;
        QTest::newRow("provinces: empty parts never offered")
            << QStringLiteral(",,110000|a,,") << none << QStringList{"110000|a"};
        QTest::newRow("provinces: a replacement character is no province")
            << QStringLiteral("\uFFFD,110000|北京市,110100|北京市,") << none << QStringList{"110000|北京市"};
        QTest::newRow("provinces: NUL inside names") << withNuls << none << QStringList{nulProvince};

        QTest::newRow("cities: two cities") << sample << QStringList{"130000|河北省"}
                                            << QStringList{"130100|石家庄市", "130200|唐山市"};
        QTest::newRow("cities: municipality") << sample << QStringList{"110000|北京市"} << QStringList{"110100|北京市"};
        QTest::newRow("cities: province without cities") << sample << QStringList{"150000|内蒙古自治区"} << none;
        QTest::newRow("cities: province not in data") << sample << QStringList{"440000|广东省"} << none;
        QTest::newRow("cities: only the first two characters of the pick count")
            << sample << QStringList{"13"} << QStringList{"130100|石家庄市", "130200|唐山市"};
        QTest::newRow("cities: short entries by substring")
            << QStringLiteral("1301,130100,13010,130200|x,") << QStringList{"130000"}
            << QStringList{"130100", "130200|x"};
        QTest::newRow("cities: empty parts never offered")
            << QStringLiteral(",,130100|a,,") << QStringList{"130000|b"} << QStringList{"130100|a"};
        QTest::newRow("cities: NUL inside names")
            << withNuls << QStringList{nulProvince} << QStringList{"110100|北京市"};

        QTest::newRow("districts: city's own entry first") << sample << QStringList{"130000|河北省", "130100|石家庄市"}
                                                           << QStringList{"130100|石家庄市", "130102|长安区"};
        QTest::newRow("districts: municipality") << sample << QStringList{"110000|北京市", "110100|北京市"}
                                                 << QStringList{"110100|北京市", "110101|东城区", "110102|西城区"};
        QTest::newRow("districts: file order kept") << QStringLiteral("130105|c,130100|a,130102|b,")
                                                    << QStringList{"130000", "130100"}
                                                    << QStringList{"130105|c", "130100|a", "130102|b"};
        QTest::newRow("districts: city of another province")
            << sample << QStringList{"110000|北京市", "130100|石家庄市"}
            << QStringList{"110100|北京市", "110101|东城区", "110102|西城区"};
        QTest::newRow("districts: short entries by substring")
            << QStringLiteral("1301,13,130,130100,") << QStringList{"130000", "130100"}
            << QStringList{"1301", "130100"};
        QTest::newRow("districts: empty parts never offered")
            << QStringLiteral(",,130101|a,,") << QStringList{"130000|b", "130100|c"} << QStringList{"130101|a"};
        QTest::newRow("districts: NUL inside names") << withNuls << QStringList{nulProvince, "110100|北京市"}
                                                     << QStringList{"110100|北京市", u"110101|东城\0区"_s};
        // Empty picks would compare equal to the empty padding elements.
        QTest::newRow("districts: empty picks offer no blank entries")
            << QStringLiteral("a,") << QStringList{QString(), QString()} << none;
        QTest::newRow("districts: short picks: only the short entry, no blanks")
            << QStringLiteral(",,1,") << QStringList{"1", QString()} << QStringList{"1"};
    }

    void entries()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, picks);
        QFETCH(QStringList, entries);

        const QStringList items = regions::buildCityItems(line).items;
        if (picks.isEmpty())
            QCOMPARE(regions::provinceEntries(items), entries);
        else if (picks.size() == 1)
            QCOMPARE(regions::cityEntries(items, picks[0]), entries);
        else
            QCOMPARE(regions::districtEntries(items, picks[0], picks[1]), entries);
    }

    void realData()
    {
        const publicfunction::FirstLine first = publicfunction::readFirstLine(QFINDTESTDATA("../../data/city.txt"));
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
};

QTEST_APPLESS_MAIN(tst_regionlists)
#include "tst_regionlists.moc"
