// The press, through the address it makes: ordinary answers with one change
// each, and either the message told or the address's values. The house type,
// room counts, options, phone check, area numbers and escaping are seen only
// there, where they count.
#include "quotation/quotationrequest.h"

#include <QtTest>

#include <functional>

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

// The address with these values: the fixed texts in order, each value between two.
QString addressOf(const Fields &fields)
{
    QString address;
    for (qsizetype i = 0; i < valueNames.size(); ++i)
        address += fixedTexts.at(i) + fields.value(valueNames.at(i));
    return address + fixedTexts.last();
}

const Answers ordinary{
    .city1 = "110000|北京市", .city2 = "110100|北京市", .city3 = "110101|东城区", .houseType = "三房二厅",
    .bathrooms = "二间", .balconies = "一间", .livingArea = "25.5", .diningArea = "12", .bedroomArea = "30",
    .kitchenArea = "8", .bathroomArea = "5", .balconyArea = "6", .phone = "13800138000",
};

// What ordinary sends.
const Fields ordinaryFields = {
    {"host", "127.0.0.1:18080"}, {"bom1", "3"}, {"bom2", "1"}, {"bom3", "1"}, {"bom5", "1"}, {"bom6", "2"},
    {"bomarea2", "25.5"}, {"bomarea3", "12"}, {"bomarea1", "30"}, {"bomarea4", "8"}, {"bomarea5", "6"},
    {"bomarea6", "5"}, {"pho", "13800138000"}, {"cit1", "110000|北京市"}, {"cit2", "110100|北京市"},
    {"cit3", "110101|东城区"}, {"dc", "1"}, {"findman3", "13"}, {"findman", "1"}, {"fengge", "1"},
};

QString refused(const char *box)
{
    return QStringLiteral("请录入正确的：") + QString::fromUtf8(box);
}
const QString region = refused("业主地址"), phone = refused("电话号码"), bedroom = refused("卧房面积"),
              living = refused("客厅面积"), dining = refused("餐厅面积"), kitchen = refused("厨房面积"),
              balcony = refused("阳台面积"), bathroom = refused("卫生间面积");
const QString nothing = QStringLiteral("请选择");

// A row: ordinary changed; sent are the values that differ from
// ordinaryFields, and a message means nothing is sent.
void row(const char *name, const std::function<void(Answers &)> &change, const QString &message,
         const Fields &sent = {})
{
    Answers a = ordinary;
    change(a);
    QTest::newRow(name) << a << message << sent;
}

void row(const char *name, const std::function<void(Answers &)> &change, const Fields &sent)
{
    row(name, change, QString(), sent);
}

} // namespace

Q_DECLARE_METATYPE(Answers)

class tst_quotationrequest : public QObject
{
    Q_OBJECT
private slots:
    void press_data()
    {
        QTest::addColumn<Answers>("answers");
        QTest::addColumn<QString>("message");
        QTest::addColumn<Fields>("sent");

        row("ordinary answers", [](Answers &) {}, Fields());

        const auto houseType = [](const char *name, const char *text, const Fields &sent) {
            row(name, [text](Answers &a) { a.houseType = QString::fromUtf8(text); }, sent);
        };
        houseType("house type 一房一厅", "一房一厅", {{"bom1", "1"}, {"bom3", "0"}, {"findman3", "1"}});
        houseType("house type 二房一厅", "二房一厅", {{"bom1", "2"}, {"bom3", "0"}, {"findman3", "2"}});
        houseType("house type 三房一厅", "三房一厅", {{"bom3", "0"}, {"findman3", "3"}});
        houseType("house type 二房二厅", "二房二厅", {{"bom1", "2"}, {"findman3", "12"}});
        houseType("house type 四房二厅", "四房二厅", {{"bom1", "4"}, {"findman3", "14"}});
        houseType("house type 五房二厅", "五房二厅", {{"bom1", "5"}, {"findman3", "15"}});
        const Fields noHouse{{"bom1", "0"}, {"bom2", "0"}, {"bom3", "0"}, {"findman3", ""}};
        houseType("house type not chosen", "请选择", noHouse);
        houseType("house type typed, not in the table", "六房二厅", noHouse);
        houseType("house type with a trailing blank", "三房二厅 ", noHouse);
        houseType("house type empty", "", noHouse);

        // The balcony count goes out twice (bom5 and findman), the bathroom count once.
        const auto rooms = [](const char *name, const char *bathrooms, const char *balconies, const char *bath,
                              const char *balc) {
            row(name, [=](Answers &a) {
                    a.bathrooms = QString::fromUtf8(bathrooms);
                    a.balconies = QString::fromUtf8(balconies);
                }, Fields{{"bom6", bath}, {"bom5", balc}, {"findman", balc}});
        };
        rooms("rooms 一间 / 四间", "一间", "四间", "1", "4");
        rooms("rooms 二间 / 三间", "二间", "三间", "2", "3");
        rooms("rooms 三间 / 二间", "三间", "二间", "3", "2");
        rooms("rooms 四间 / 一间", "四间", "一间", "4", "1");
        rooms("rooms not chosen", "请选择", "请选择", "0", "0");
        rooms("rooms not in the list", "五间", "", "0", "0");

        // Option1 to Option5, then Option6 to Option8: fengge and dc.
        const auto options = [](const char *name, std::array<bool, 5> style, std::array<bool, 3> grade,
                                const char *fengge, const char *dc) {
            row(name, [=](Answers &a) { a.style = style, a.grade = grade; }, Fields{{"fengge", fengge}, {"dc", dc}});
        };
        options("Option2, Option7", {0, 1, 0, 0, 0}, {0, 1, 0}, "2", "2");
        options("Option3, Option8", {0, 0, 1, 0, 0}, {0, 0, 1}, "3", "3");
        options("Option4", {0, 0, 0, 1, 0}, {1, 0, 0}, "4", "1");
        options("Option5", {0, 0, 0, 0, 1}, {1, 0, 0}, "5", "1");
        options("no option chosen", {0, 0, 0, 0, 0}, {0, 0, 0}, "5", "3");
        options("first chosen option wins", {0, 1, 1, 0, 1}, {0, 1, 1}, "2", "2");

        // The phone: 11 UTF-16 code units, the last one of the ASCII digits.
        const auto phoneRow = [](const char *name, const QString &text, const QString &message,
                                 const char *sent = nullptr) {
            const Fields pho = sent ? Fields{{"pho", QString::fromUtf8(sent)}} : Fields();
            row(name, [text](Answers &a) { a.phone = text; }, message, pho);
        };
        phoneRow("phone: 10 digits", "1380013800", phone);
        phoneRow("phone: 12 digits", "138001380001", phone);
        phoneRow("phone: 11 digits and a blank", "13800138000 ", phone);
        phoneRow("phone: empty", "", phone);
        phoneRow("phone: ends in a digit", "abcdefghij1", {}, "abcdefghij1");
        phoneRow("phone: ends in a letter", "1234567890a", phone);
        phoneRow("phone: full-width digit at end", "1380013800１", phone);
        phoneRow("phone: full-width digits only", "１２３４５６７８９０１", phone);
        phoneRow("phone: Arabic-Indic digit at end", "1234567890٣", phone);
        phoneRow("phone: digits then LF", "1380013800\n", phone);
        phoneRow("phone: digits then CRLF", "123456789\r\n", phone);
        phoneRow("phone: digits then CR", "1234567890\r", phone);
        phoneRow("phone: digits then line separator", QString::fromUtf16(u"1234567890\u2028"), phone);
        phoneRow("phone: digits then NUL", QString::fromUtf16(u"1234567890\0", 11), phone);
        phoneRow("phone: digits after a line break", "abc\n1234567", {}, "abc%0A1234567");
        phoneRow("phone: nine digits after a surrogate pair", QString::fromUtf16(u"\U0001F600" u"123456789"), {},
                 "😀123456789");
        phoneRow("phone: 11 digits then CRLF", "13800138000\r\n", phone);
        phoneRow("phone: emoji after 11 digits", QString::fromUtf16(u"13800138000\U0001F600"), phone);
        phoneRow("phone: 11 emoji", QString::fromUtf16(u"\U0001F600").repeated(11), phone);
        phoneRow("phone: 10 digits and an emoji", QString::fromUtf16(u"1380013800\U0001F600"), phone);
        phoneRow("phone: right-to-left mark first", QString::fromUtf16(u"\u200F13800138000"), phone);
        phoneRow("phone: right-to-left override inside", QString::fromUtf16(u"13800\u202E138000"), phone);
        phoneRow("phone: line break inside", "13800\n138000", phone);
        phoneRow("phone: '/' at the end", "1234567890/", phone);
        phoneRow("phone: ':' at the end", "1234567890:", phone);

        row("province not chosen", [](Answers &a) { a.city1 = nothing; }, region);
        row("city not chosen", [](Answers &a) { a.city2 = nothing; }, region);
        row("district not chosen", [](Answers &a) { a.city3 = nothing; }, region);
        row("province empty", [](Answers &a) { a.city1.clear(); }, region);
        row("district empty", [](Answers &a) { a.city3.clear(); }, region);
        row("region and phone wrong: phone named", [](Answers &a) { a.city2 = nothing, a.phone = "123"; }, phone);
        row("region before areas", [](Answers &a) { a.city2 = nothing, a.bedroomArea = "x"; }, region);
        row("typed region is taken", [](Answers &a) { a.city1 = "typed"; }, Fields{{"cit1", "typed"}});

        row("Text4 bedroom refused", [](Answers &a) { a.bedroomArea = "1,5"; }, bedroom);
        row("Text2 living room refused", [](Answers &a) { a.livingArea = "1,5"; }, living);
        row("Text3 dining room refused", [](Answers &a) { a.diningArea = "1,5"; }, dining);
        row("Text5 kitchen refused", [](Answers &a) { a.kitchenArea = "1,5"; }, kitchen);
        row("Text7 balcony refused", [](Answers &a) { a.balconyArea = "1,5"; }, balcony);
        row("Text6 bathroom refused", [](Answers &a) { a.bathroomArea = "1,5"; }, bathroom);
        row("Text2 and Text4: Text4 first", [](Answers &a) { a.livingArea = "1,5", a.bedroomArea = ""; }, bedroom);
        row("Text6 and Text7: Text7 first", [](Answers &a) { a.bathroomArea = "1,5", a.balconyArea = "1,5"; }, balcony);
        row("Text5 and Text6: Text5 first", [](Answers &a) { a.bathroomArea = "1,5", a.kitchenArea = "inf"; }, kitchen);
        row("phone before areas", [](Answers &a) { a.diningArea = "1,5", a.phone = ""; }, phone);

        row("each area box to its key", [](Answers &a) {
                a.bedroomArea = "1", a.livingArea = "2", a.diningArea = "3";
                a.kitchenArea = "4", a.balconyArea = "5", a.bathroomArea = "6";
            }, Fields{{"bomarea1", "1"}, {"bomarea2", "2"}, {"bomarea3", "3"}, {"bomarea4", "4"}, {"bomarea5", "5"},
                      {"bomarea6", "6"}});
        // Each as read (tst_areanumber's parse) and written back (its render).
        row("area: leading zeros", [](Answers &a) { a.livingArea = "007.50"; }, Fields{{"bomarea2", "7.5"}});
        row("area: minus zero", [](Answers &a) { a.diningArea = "-0.0"; }, Fields{{"bomarea3", "0"}});
        row("area: exponent written out", [](Answers &a) { a.kitchenArea = "1.5e3"; }, Fields{{"bomarea4", "1500"}});
        row("area: big exponent", [](Answers &a) { a.balconyArea = "2e21"; }, Fields{{"bomarea5", "2E+21"}});
        row("area: many digits", [](Answers &a) { a.bathroomArea = "3.14159265358979323846"; },
            Fields{{"bomarea6", "3.14159265358979"}});
        row("area: blanks around", [](Answers &a) { a.bedroomArea = " 012 "; }, Fields{{"bomarea1", "12"}});

        // A disabled box still sends what it holds, 0 when that is not a number.
        row("disabled Text3 with letters sends 0", [](Answers &a) { a.diningArea = "abc", a.diningEnabled = false; },
            Fields{{"bomarea3", "0"}});
        row("disabled Text3 empty sends 0", [](Answers &a) { a.diningArea = "", a.diningEnabled = false; },
            Fields{{"bomarea3", "0"}});
        row("disabled Text3 keeps its number", [](Answers &a) { a.diningArea = "12.50", a.diningEnabled = false; },
            Fields{{"bomarea3", "12.5"}});
        row("enabled Text3 with letters refused", [](Answers &a) { a.diningArea = "abc"; }, dining);
        row("disabled Text4 passes, enabled Text2 refused", [](Answers &a) {
                a.bedroomArea = "x", a.bedroomEnabled = false, a.livingArea = "y";
            }, living);
        row("disabled Text6 and Text7 send 0", [](Answers &a) {
                a.balconyArea = "1,5", a.balconyEnabled = false, a.bathroomArea = "inf", a.bathroomEnabled = false;
            }, Fields{{"bomarea5", "0"}, {"bomarea6", "0"}});
        row("all six disabled without numbers", [](Answers &a) {
                a.bedroomArea = a.livingArea = a.diningArea = a.kitchenArea = a.balconyArea = a.bathroomArea = "-";
                a.bedroomEnabled = a.livingEnabled = a.diningEnabled = false;
                a.kitchenEnabled = a.balconyEnabled = a.bathroomEnabled = false;
            }, Fields{{"bomarea1", "0"}, {"bomarea2", "0"}, {"bomarea3", "0"}, {"bomarea4", "0"}, {"bomarea5", "0"},
                      {"bomarea6", "0"}});
        row("disabled box with a number unchanged", [](Answers &a) { a.kitchenEnabled = false; }, Fields());

        // Typed into the district box, which goes out escaped as typed: "%", "&",
        // "#", "+" and every character up to U+0020 escaped; the rest stands.
        const auto escaped = [](const char *name, const QString &text, const QString &sent) {
            row(name, [text](Answers &a) { a.city3 = text; }, Fields{{"cit3", sent}});
        };
        escaped("escape: percent", "5%", "5%25");
        escaped("escape: ampersand", "a&b=c", "a%26b=c");
        escaped("escape: hash", "#1", "%231");
        escaped("escape: plus", "+86", "%2B86");
        escaped("escape: blank", "a b", "a%20b");
        escaped("escape: LF and tab", "\n\t", "%0A%09");
        escaped("escape: NUL", QString::fromUtf16(u"\0", 1), "%00");
        escaped("escape: DEL stands", "\x7F", "\x7F");
        escaped("escape: chinese, bar and equals stand", "110000|北京市=?/", "110000|北京市=?/");
        escaped("escape: ideographic space stands", "　", "　");
        escaped("escape: escaped text escaped again", "%26", "%2526");
        row("every typed value escaped", [](Answers &a) {
                a.city1 = "a&b", a.city2 = "#x", a.city3 = "1+1 %", a.phone = "+8613800138";
            }, Fields{{"pho", "%2B8613800138"}, {"cit1", "a%26b"}, {"cit2", "%23x"}, {"cit3", "1%2B1%20%25"}});
        row("phone with every reserved character", [](Answers &a) { a.phone = "a&#%+ 12345"; },
            Fields{{"pho", "a%26%23%25%2B%2012345"}});
    }

    void press()
    {
        QFETCH(Answers, answers);
        QFETCH(QString, message);
        QFETCH(Fields, sent);

        const quotation::Outcome outcome = quotation::press(answers, host);
        QCOMPARE(outcome.message, message);
        Fields expected = ordinaryFields;
        expected.insert(sent);
        QCOMPARE(expected.size(), valueNames.size()); // no value the address lacks
        QCOMPARE(outcome.address, message.isEmpty() ? addressOf(expected) : QString());
    }
};

QTEST_APPLESS_MAIN(tst_quotationrequest)
#include "tst_quotationrequest.moc"
