#include "quotation/quotationrequest.h"

#include <QRegularExpression>
#include <QtTest>

#include <optional>

using namespace tovakidoviv;
using quotation::Answers;

namespace {

const QString host = QStringLiteral("127.0.0.1:18080");

// The address's fixed texts in wire order; a value stands between each two.
const QStringList fixedTexts = {
    "http://", "/AutoPrice.action?bom1=", "&bom2=", "&bom3=", "&bom4=1&bom5=", "&bom6=",
    "&bomarea2=", "&bomarea3=", "&bomarea1=", "&bomarea4=", "&bomarea5=", "&bomarea6=",
    "&pho=", "&cit1=", "&cit2=", "&cit3=", "&dc=", "&findman3=", "&kongzhi=tijiao&findman=",
    "&fengge=", "&jmid=null",
};
// The names of those values, in the same order.
const QStringList valueNames = {
    "host", "bom1", "bom2", "bom3", "bom5", "bom6", "bomarea2", "bomarea3", "bomarea1",
    "bomarea4", "bomarea5", "bomarea6", "pho", "cit1", "cit2", "cit3", "dc", "findman3",
    "findman", "fengge",
};

using Fields = QHash<QString, QString>;

// The values of an address, when it is the 21 fixed texts in order with a
// value (free of "&") between each two; nothing otherwise.
std::optional<Fields> fieldsOf(const QString &address)
{
    QString pattern = QStringLiteral("\\A");
    for (qsizetype i = 0; i < fixedTexts.size(); ++i) {
        pattern += QRegularExpression::escape(fixedTexts.at(i));
        if (i + 1 < fixedTexts.size())
            pattern += QStringLiteral("([^&]*)");
    }
    pattern += QStringLiteral("\\z");
    const QRegularExpressionMatch match = QRegularExpression(pattern).match(address);
    if (!match.hasMatch())
        return std::nullopt;
    Fields fields;
    for (qsizetype i = 0; i < valueNames.size(); ++i)
        fields.insert(valueNames.at(i), match.captured(int(i) + 1));
    return fields;
}

Answers ordinary()
{
    Answers a;
    a.city1 = QStringLiteral("110000|北京市");
    a.city2 = QStringLiteral("110100|北京市");
    a.city3 = QStringLiteral("110101|东城区");
    a.houseType = QStringLiteral("三房二厅");
    a.bathrooms = QStringLiteral("二间");
    a.balconies = QStringLiteral("一间");
    a.bedroomArea = QStringLiteral("30");
    a.livingArea = QStringLiteral("25.5");
    a.diningArea = QStringLiteral("12");
    a.kitchenArea = QStringLiteral("8");
    a.balconyArea = QStringLiteral("6");
    a.bathroomArea = QStringLiteral("5");
    a.phone = QStringLiteral("13800138000");
    return a;
}

quotation::Outcome press(const Answers &a)
{
    return quotation::press(a, host);
}

} // namespace

Q_DECLARE_METATYPE(Answers)

class tst_quotationrequest : public QObject
{
    Q_OBJECT
private slots:
    void fullAddress();
    void houseType_data();
    void houseType();
    void roomCounts_data();
    void roomCounts();
    void styleAndGrade_data();
    void styleAndGrade();
    void phone_data();
    void phone();
    void regionCheck_data();
    void regionCheck();
    void areaCheck_data();
    void areaCheck();
    void areaKeys_data();
    void areaKeys();
    void disabledAreaBoxes_data();
    void disabledAreaBoxes();
    void escapeTypedValue_data();
    void escapeTypedValue();
    void typedValuesInAddress_data();
    void typedValuesInAddress();
};

void tst_quotationrequest::fullAddress()
{
    const quotation::Outcome outcome = press(ordinary());
    QCOMPARE(outcome.message, QString());
    QCOMPARE(outcome.address,
             QStringLiteral("http://127.0.0.1:18080/AutoPrice.action?bom1=3&bom2=1&bom3=1&bom4=1&bom5=1&bom6=2"
                            "&bomarea2=25.5&bomarea3=12&bomarea1=30&bomarea4=8&bomarea5=6&bomarea6=5"
                            "&pho=13800138000&cit1=110000|北京市&cit2=110100|北京市&cit3=110101|东城区"
                            "&dc=1&findman3=13&kongzhi=tijiao&findman=1&fengge=1&jmid=null"));
}

void tst_quotationrequest::houseType_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bedrooms");
    QTest::addColumn<int>("livingRooms");
    QTest::addColumn<int>("diningRooms");
    QTest::addColumn<QString>("code");

    QTest::newRow("一房一厅") << QStringLiteral("一房一厅") << 1 << 1 << 0 << QStringLiteral("1");
    QTest::newRow("二房一厅") << QStringLiteral("二房一厅") << 2 << 1 << 0 << QStringLiteral("2");
    QTest::newRow("三房一厅") << QStringLiteral("三房一厅") << 3 << 1 << 0 << QStringLiteral("3");
    QTest::newRow("二房二厅") << QStringLiteral("二房二厅") << 2 << 1 << 1 << QStringLiteral("12");
    QTest::newRow("三房二厅") << QStringLiteral("三房二厅") << 3 << 1 << 1 << QStringLiteral("13");
    QTest::newRow("四房二厅") << QStringLiteral("四房二厅") << 4 << 1 << 1 << QStringLiteral("14");
    QTest::newRow("五房二厅") << QStringLiteral("五房二厅") << 5 << 1 << 1 << QStringLiteral("15");
    QTest::newRow("nothing chosen") << QStringLiteral("请选择") << 0 << 0 << 0 << QString();
    QTest::newRow("typed, not in the table") << QStringLiteral("六房二厅") << 0 << 0 << 0 << QString();
    QTest::newRow("with a trailing blank") << QStringLiteral("三房二厅 ") << 0 << 0 << 0 << QString();
    QTest::newRow("empty") << QString() << 0 << 0 << 0 << QString();
}

void tst_quotationrequest::houseType()
{
    QFETCH(QString, text);
    QFETCH(int, bedrooms);
    QFETCH(int, livingRooms);
    QFETCH(int, diningRooms);
    QFETCH(QString, code);

    const quotation::HouseType type = quotation::houseType(text);
    QCOMPARE(type.bedrooms, bedrooms);
    QCOMPARE(type.livingRooms, livingRooms);
    QCOMPARE(type.diningRooms, diningRooms);
    QCOMPARE(type.code, code);

    Answers a = ordinary();
    a.houseType = text;
    const std::optional<Fields> f = fieldsOf(press(a).address);
    QVERIFY(f);
    QCOMPARE(f->value("bom1"), QString::number(bedrooms));
    QCOMPARE(f->value("bom2"), QString::number(livingRooms));
    QCOMPARE(f->value("bom3"), QString::number(diningRooms));
    QCOMPARE(f->value("findman3"), code);
}

void tst_quotationrequest::roomCounts_data()
{
    QTest::addColumn<QString>("bathrooms");
    QTest::addColumn<QString>("balconies");
    QTest::addColumn<int>("bathroomCount");
    QTest::addColumn<int>("balconyCount");

    QTest::newRow("一间 / 四间") << QStringLiteral("一间") << QStringLiteral("四间") << 1 << 4;
    QTest::newRow("二间 / 三间") << QStringLiteral("二间") << QStringLiteral("三间") << 2 << 3;
    QTest::newRow("三间 / 二间") << QStringLiteral("三间") << QStringLiteral("二间") << 3 << 2;
    QTest::newRow("四间 / 一间") << QStringLiteral("四间") << QStringLiteral("一间") << 4 << 1;
    QTest::newRow("nothing chosen") << QStringLiteral("请选择") << QStringLiteral("请选择") << 0 << 0;
    QTest::newRow("not in the list") << QStringLiteral("五间") << QString() << 0 << 0;
}

// The balcony count goes out twice (bom5 and findman), the bathroom count once.
void tst_quotationrequest::roomCounts()
{
    QFETCH(QString, bathrooms);
    QFETCH(QString, balconies);
    QFETCH(int, bathroomCount);
    QFETCH(int, balconyCount);

    QCOMPARE(quotation::roomCount(bathrooms), bathroomCount);
    QCOMPARE(quotation::roomCount(balconies), balconyCount);

    Answers a = ordinary();
    a.bathrooms = bathrooms;
    a.balconies = balconies;
    const std::optional<Fields> f = fieldsOf(press(a).address);
    QVERIFY(f);
    QCOMPARE(f->value("bom5"), QString::number(balconyCount));
    QCOMPARE(f->value("findman"), QString::number(balconyCount));
    QCOMPARE(f->value("bom6"), QString::number(bathroomCount));
}

void tst_quotationrequest::styleAndGrade_data()
{
    QTest::addColumn<QString>("style"); // Option1 to Option5, "1" for chosen
    QTest::addColumn<QString>("grade"); // Option6 to Option8
    QTest::addColumn<int>("fengge");
    QTest::addColumn<int>("dc");

    QTest::newRow("Option1, Option6") << "10000" << "100" << 1 << 1;
    QTest::newRow("Option2, Option7") << "01000" << "010" << 2 << 2;
    QTest::newRow("Option3, Option8") << "00100" << "001" << 3 << 3;
    QTest::newRow("Option4") << "00010" << "100" << 4 << 1;
    QTest::newRow("Option5") << "00001" << "100" << 5 << 1;
    QTest::newRow("none chosen") << "00000" << "000" << 5 << 3;
    QTest::newRow("first chosen wins") << "01101" << "011" << 2 << 2;
}

void tst_quotationrequest::styleAndGrade()
{
    QFETCH(QString, style);
    QFETCH(QString, grade);
    QFETCH(int, fengge);
    QFETCH(int, dc);

    Answers a = ordinary();
    for (qsizetype i = 0; i < style.size(); ++i)
        a.style[i] = style.at(i) == u'1';
    for (qsizetype i = 0; i < grade.size(); ++i)
        a.grade[i] = grade.at(i) == u'1';
    QCOMPARE(quotation::styleCode(a.style), fengge);
    QCOMPARE(quotation::gradeCode(a.grade), dc);

    const std::optional<Fields> f = fieldsOf(press(a).address);
    QVERIFY(f);
    QCOMPARE(f->value("fengge"), QString::number(fengge));
    QCOMPARE(f->value("dc"), QString::number(dc));
}

void tst_quotationrequest::phone_data()
{
    QTest::addColumn<QString>("phone");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("11 digits") << QStringLiteral("13800138000") << true;
    QTest::newRow("10 digits") << QStringLiteral("1380013800") << false;
    QTest::newRow("12 digits") << QStringLiteral("138001380001") << false;
    QTest::newRow("11 digits and a blank") << QStringLiteral("13800138000 ") << false;
    QTest::newRow("ends in a digit") << QStringLiteral("abcdefghij1") << true;
    QTest::newRow("ends in a letter") << QStringLiteral("1234567890a") << false;
    QTest::newRow("full-width digit at end") << QStringLiteral("1380013800１") << false;
    QTest::newRow("digits then LF") << QStringLiteral("1380013800\n") << false;
    QTest::newRow("empty") << QString() << false;
}

void tst_quotationrequest::phone()
{
    QFETCH(QString, phone);
    QFETCH(bool, accepted);

    QCOMPARE(quotation::phoneAccepted(phone), accepted);

    Answers a = ordinary();
    a.phone = phone;
    const quotation::Outcome outcome = press(a);
    if (accepted) {
        QCOMPARE(outcome.message, QString());
        const std::optional<Fields> f = fieldsOf(outcome.address);
        QVERIFY(f);
        QCOMPARE(f->value("pho"), phone);
    } else {
        QCOMPARE(outcome.message, QStringLiteral("请录入正确的：电话号码"));
        QCOMPARE(outcome.address, QString());
    }
}

void tst_quotationrequest::regionCheck_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("message");

    const QString nothing = QStringLiteral("请选择");
    const QString region = QStringLiteral("请录入正确的：业主地址");
    Answers a;

    a = ordinary(), a.city1 = nothing;
    QTest::newRow("province not chosen") << a << region;
    a = ordinary(), a.city2 = nothing;
    QTest::newRow("city not chosen") << a << region;
    a = ordinary(), a.city3 = nothing;
    QTest::newRow("district not chosen") << a << region;
    a = ordinary(), a.city1.clear();
    QTest::newRow("province empty") << a << region;
    a = ordinary(), a.city3.clear();
    QTest::newRow("district empty") << a << region;
    a = ordinary(), a.city2 = nothing, a.phone = QStringLiteral("123");
    QTest::newRow("region and phone wrong: phone named") << a << QStringLiteral("请录入正确的：电话号码");
    a = ordinary(), a.city2 = nothing, a.bedroomArea = QStringLiteral("x");
    QTest::newRow("region before areas") << a << region;
    a = ordinary(), a.city1 = QStringLiteral("typed");
    QTest::newRow("typed region is taken") << a << QString();
}

void tst_quotationrequest::regionCheck()
{
    QFETCH(Answers, answers);
    QFETCH(QString, message);

    const quotation::Outcome outcome = press(answers);
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.address.isEmpty(), !message.isEmpty());
}

void tst_quotationrequest::areaCheck_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("message");

    const QString bad = QStringLiteral("1,5");
    Answers a;
    a = ordinary(), a.bedroomArea = bad;
    QTest::newRow("Text4 bedroom") << a << QStringLiteral("请录入正确的：卧房面积");
    a = ordinary(), a.livingArea = bad;
    QTest::newRow("Text2 living room") << a << QStringLiteral("请录入正确的：客厅面积");
    a = ordinary(), a.diningArea = bad;
    QTest::newRow("Text3 dining room") << a << QStringLiteral("请录入正确的：餐厅面积");
    a = ordinary(), a.kitchenArea = bad;
    QTest::newRow("Text5 kitchen") << a << QStringLiteral("请录入正确的：厨房面积");
    a = ordinary(), a.balconyArea = bad;
    QTest::newRow("Text7 balcony") << a << QStringLiteral("请录入正确的：阳台面积");
    a = ordinary(), a.bathroomArea = bad;
    QTest::newRow("Text6 bathroom") << a << QStringLiteral("请录入正确的：卫生间面积");
    a = ordinary(), a.livingArea = bad, a.bedroomArea = QString();
    QTest::newRow("Text2 and Text4: Text4 first") << a << QStringLiteral("请录入正确的：卧房面积");
    a = ordinary(), a.bathroomArea = bad, a.balconyArea = bad;
    QTest::newRow("Text6 and Text7: Text7 first") << a << QStringLiteral("请录入正确的：阳台面积");
    a = ordinary(), a.bathroomArea = bad, a.kitchenArea = QStringLiteral("inf");
    QTest::newRow("Text5 and Text6: Text5 first") << a << QStringLiteral("请录入正确的：厨房面积");
    a = ordinary(), a.diningArea = bad, a.phone = QString();
    QTest::newRow("phone before areas") << a << QStringLiteral("请录入正确的：电话号码");
}

void tst_quotationrequest::areaCheck()
{
    QFETCH(Answers, answers);
    QFETCH(QString, message);

    const quotation::Outcome outcome = press(answers);
    QCOMPARE(outcome.message, message);
    QCOMPARE(outcome.address, QString());
}

void tst_quotationrequest::areaKeys_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("areas"); // bomarea1 to bomarea6

    Answers a = ordinary();
    a.bedroomArea = QStringLiteral("1");
    a.livingArea = QStringLiteral("2");
    a.diningArea = QStringLiteral("3");
    a.kitchenArea = QStringLiteral("4");
    a.balconyArea = QStringLiteral("5");
    a.bathroomArea = QStringLiteral("6");
    QTest::newRow("each box to its key") << a << QStringList{"1", "2", "3", "4", "5", "6"};
    a.bedroomArea = QStringLiteral(" 012 ");
    a.livingArea = QStringLiteral("12.50");
    a.diningArea = QStringLiteral("-0");
    a.kitchenArea = QStringLiteral("1e3");
    a.balconyArea = QStringLiteral(".5");
    a.bathroomArea = QStringLiteral("1e20");
    QTest::newRow("typed forms rendered") << a << QStringList{"12", "12.5", "0", "1000", "0.5", "1E+20"};
}

void tst_quotationrequest::areaKeys()
{
    QFETCH(Answers, answers);
    QFETCH(QStringList, areas);

    const std::optional<Fields> f = fieldsOf(press(answers).address);
    QVERIFY(f);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(f->value(QStringLiteral("bomarea%1").arg(i + 1)), areas.at(i));
}

void tst_quotationrequest::disabledAreaBoxes_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("areas"); // bomarea1 to bomarea6, when sent

    const QStringList ordinaryAreas{"30", "25.5", "12", "8", "6", "5"};
    Answers a;
    a = ordinary(), a.diningArea = QStringLiteral("abc"), a.diningEnabled = false;
    QTest::newRow("disabled Text3 with letters sends 0")
        << a << QString() << QStringList{"30", "25.5", "0", "8", "6", "5"};
    a = ordinary(), a.diningArea = QString(), a.diningEnabled = false;
    QTest::newRow("disabled Text3 empty sends 0") << a << QString() << QStringList{"30", "25.5", "0", "8", "6", "5"};
    a = ordinary(), a.diningArea = QStringLiteral("12.50"), a.diningEnabled = false;
    QTest::newRow("disabled Text3 keeps its number")
        << a << QString() << QStringList{"30", "25.5", "12.5", "8", "6", "5"};
    a = ordinary(), a.diningArea = QStringLiteral("abc");
    QTest::newRow("enabled Text3 with letters refused") << a << QStringLiteral("请录入正确的：餐厅面积") << QStringList();
    a = ordinary(), a.bedroomArea = QStringLiteral("x"), a.bedroomEnabled = false, a.livingArea = QStringLiteral("y");
    QTest::newRow("disabled Text4 passes, enabled Text2 refused")
        << a << QStringLiteral("请录入正确的：客厅面积") << QStringList();
    a = ordinary(), a.balconyArea = QStringLiteral("1,5"), a.balconyEnabled = false;
    a.bathroomArea = QStringLiteral("inf"), a.bathroomEnabled = false;
    QTest::newRow("disabled Text6 and Text7 send 0")
        << a << QString() << QStringList{"30", "25.5", "12", "8", "0", "0"};
    a = ordinary();
    a.bedroomArea = a.livingArea = a.diningArea = a.kitchenArea = a.balconyArea = a.bathroomArea = QStringLiteral("-");
    a.bedroomEnabled = a.livingEnabled = a.diningEnabled = a.kitchenEnabled = a.balconyEnabled = a.bathroomEnabled = false;
    QTest::newRow("all six disabled without numbers") << a << QString() << QStringList{"0", "0", "0", "0", "0", "0"};
    a = ordinary(), a.kitchenEnabled = false;
    QTest::newRow("disabled boxes with numbers unchanged") << a << QString() << ordinaryAreas;
}

void tst_quotationrequest::disabledAreaBoxes()
{
    QFETCH(Answers, answers);
    QFETCH(QString, message);
    QFETCH(QStringList, areas);

    const quotation::Outcome outcome = press(answers);
    QCOMPARE(outcome.message, message);
    if (!message.isEmpty()) {
        QCOMPARE(outcome.address, QString());
        return;
    }
    const std::optional<Fields> f = fieldsOf(outcome.address);
    QVERIFY(f);
    for (int i = 0; i < 6; ++i)
        QCOMPARE(f->value(QStringLiteral("bomarea%1").arg(i + 1)), areas.at(i));
}

void tst_quotationrequest::escapeTypedValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("escaped");

    QTest::newRow("percent") << QStringLiteral("5%") << QStringLiteral("5%25");
    QTest::newRow("ampersand") << QStringLiteral("a&b=c") << QStringLiteral("a%26b=c");
    QTest::newRow("hash") << QStringLiteral("#1") << QStringLiteral("%231");
    QTest::newRow("plus") << QStringLiteral("+86") << QStringLiteral("%2B86");
    QTest::newRow("blank") << QStringLiteral("a b") << QStringLiteral("a%20b");
    QTest::newRow("LF and tab") << QStringLiteral("\n\t") << QStringLiteral("%0A%09");
    QTest::newRow("NUL") << QString::fromUtf16(u"\0", 1) << QStringLiteral("%00");
    QTest::newRow("DEL stands") << QStringLiteral("\x7F") << QStringLiteral("\x7F");
    QTest::newRow("chinese, bar and equals stand") << QStringLiteral("110000|北京市=?/") << QStringLiteral("110000|北京市=?/");
    QTest::newRow("ideographic space stands") << QStringLiteral("　") << QStringLiteral("　");
    QTest::newRow("escaped text escaped again") << QStringLiteral("%26") << QStringLiteral("%2526");
}

void tst_quotationrequest::escapeTypedValue()
{
    QFETCH(QString, text);
    QFETCH(QString, escaped);
    QCOMPARE(quotation::escapeTypedValue(text), escaped);
}

void tst_quotationrequest::typedValuesInAddress_data()
{
    QTest::addColumn<Answers>("answers");
    QTest::addColumn<QStringList>("sent"); // pho, cit1, cit2, cit3

    Answers a = ordinary();
    QTest::newRow("bar and chinese unchanged")
        << a << QStringList{"13800138000", "110000|北京市", "110100|北京市", "110101|东城区"};
    a.city1 = QStringLiteral("a&b");
    a.city2 = QStringLiteral("#x");
    a.city3 = QStringLiteral("1+1 %");
    a.phone = QStringLiteral("+8613800138");
    QTest::newRow("reserved characters escaped")
        << a << QStringList{"%2B8613800138", "a%26b", "%23x", "1%2B1%20%25"};
    a = ordinary();
    a.phone = QStringLiteral("a&#%+ 123456");
    a.phone.chop(1);
    QTest::newRow("phone with every reserved character") << a
        << QStringList{"a%26%23%25%2B%2012345", "110000|北京市", "110100|北京市", "110101|东城区"};
}

void tst_quotationrequest::typedValuesInAddress()
{
    QFETCH(Answers, answers);
    QFETCH(QStringList, sent);

    const std::optional<Fields> f = fieldsOf(press(answers).address);
    QVERIFY(f);
    QCOMPARE(f->value("host"), host);
    QCOMPARE(f->value("pho"), sent.at(0));
    QCOMPARE(f->value("cit1"), sent.at(1));
    QCOMPARE(f->value("cit2"), sent.at(2));
    QCOMPARE(f->value("cit3"), sent.at(3));
}

QTEST_APPLESS_MAIN(tst_quotationrequest)
#include "tst_quotationrequest.moc"
