#include "quotation/quotationrequest.h"

#include "text/phonepattern.h"
#include "quotation/areanumber.h"
#include "quotation/vocabulary.h"

#include <optional>

namespace tovakidoviv::quotation {

namespace {

bool regionChosen(const QString &text)
{
    return !text.isEmpty() && text != QStringView(vocabulary::nothingChosen);
}

QString missing(const QString &what)
{
    return QStringLiteral("请录入正确的：") + what;
}

} // namespace

HouseType houseType(const QString &text)
{
    for (const vocabulary::HouseTypeRow &row : vocabulary::houseTypes) {
        if (text == QStringView(row.text))
            return {row.bedrooms, row.livingRooms, row.diningRooms, QString::fromLatin1(row.code)};
    }
    return {};
}

int roomCount(const QString &text)
{
    for (int i = 0; i < int(std::size(vocabulary::roomCounts)); ++i) {
        if (text == QStringView(vocabulary::roomCounts[i]))
            return i + 1;
    }
    return 0;
}

int styleCode(const std::array<bool, 5> &style)
{
    for (int i = 0; i < 4; ++i) {
        if (style[i])
            return i + 1;
    }
    return 5;
}

int gradeCode(const std::array<bool, 3> &grade)
{
    if (grade[0])
        return 1;
    if (grade[1])
        return 2;
    return 3;
}

bool phoneAccepted(const QString &phone)
{
    return phone.size() == 11 && phonepattern::matches(phone);
}

QString escapeTypedValue(const QString &text)
{
    static constexpr char16_t hex[] = u"0123456789ABCDEF";
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u <= 0x20 || u == u'%' || u == u'&' || u == u'#' || u == u'+') {
            result += u'%';
            result += hex[(u >> 4) & 0x0F];
            result += hex[u & 0x0F];
        } else {
            result += c;
        }
    }
    return result;
}

Outcome press(const Answers &answers, const QString &siteHost)
{
    Outcome outcome;

    // A wrong phone number is the one named even when the region is wrong too.
    QString wrong;
    if (!regionChosen(answers.city1) || !regionChosen(answers.city2) || !regionChosen(answers.city3))
        wrong = QStringLiteral("业主地址");
    if (!phoneAccepted(answers.phone))
        wrong = QStringLiteral("电话号码");
    if (!wrong.isEmpty()) {
        outcome.message = missing(wrong);
        return outcome;
    }

    // Checked in the order the boxes are read on the form.
    struct AreaBox {
        const QString &text;
        bool enabled;
        const char16_t *name;
        std::optional<double> value;
    };
    AreaBox boxes[] = {
        {answers.bedroomArea, answers.bedroomEnabled, u"卧房面积", {}},
        {answers.livingArea, answers.livingEnabled, u"客厅面积", {}},
        {answers.diningArea, answers.diningEnabled, u"餐厅面积", {}},
        {answers.kitchenArea, answers.kitchenEnabled, u"厨房面积", {}},
        {answers.balconyArea, answers.balconyEnabled, u"阳台面积", {}},
        {answers.bathroomArea, answers.bathroomEnabled, u"卫生间面积", {}},
    };
    for (AreaBox &box : boxes) {
        box.value = areanumber::parse(box.text);
        // The user cannot mend a box they cannot edit, so it never blocks the
        // press: without a number it counts as its initial 0.
        if (!box.value && !box.enabled)
            box.value = 0.0;
        if (!box.value) {
            outcome.message = missing(QString::fromUtf16(box.name));
            return outcome;
        }
    }
    const QString bedroom = areanumber::render(*boxes[0].value);
    const QString living = areanumber::render(*boxes[1].value);
    const QString dining = areanumber::render(*boxes[2].value);
    const QString kitchen = areanumber::render(*boxes[3].value);
    const QString balcony = areanumber::render(*boxes[4].value);
    const QString bathroom = areanumber::render(*boxes[5].value);

    const HouseType type = houseType(answers.houseType);
    const QString bathrooms = QString::number(roomCount(answers.bathrooms));
    const QString balconies = QString::number(roomCount(answers.balconies));

    outcome.address = QStringLiteral("http://") + siteHost
        + QStringLiteral("/AutoPrice.action?bom1=") + QString::number(type.bedrooms)
        + QStringLiteral("&bom2=") + QString::number(type.livingRooms)
        + QStringLiteral("&bom3=") + QString::number(type.diningRooms)
        + QStringLiteral("&bom4=1&bom5=") + balconies
        + QStringLiteral("&bom6=") + bathrooms
        + QStringLiteral("&bomarea2=") + living
        + QStringLiteral("&bomarea3=") + dining
        + QStringLiteral("&bomarea1=") + bedroom
        + QStringLiteral("&bomarea4=") + kitchen
        + QStringLiteral("&bomarea5=") + balcony
        + QStringLiteral("&bomarea6=") + bathroom
        + QStringLiteral("&pho=") + escapeTypedValue(answers.phone)
        + QStringLiteral("&cit1=") + escapeTypedValue(answers.city1)
        + QStringLiteral("&cit2=") + escapeTypedValue(answers.city2)
        + QStringLiteral("&cit3=") + escapeTypedValue(answers.city3)
        + QStringLiteral("&dc=") + QString::number(gradeCode(answers.grade))
        + QStringLiteral("&findman3=") + type.code
        + QStringLiteral("&kongzhi=tijiao&findman=") + balconies
        + QStringLiteral("&fengge=") + QString::number(styleCode(answers.style))
        + QStringLiteral("&jmid=null");
    return outcome;
}

} // namespace tovakidoviv::quotation
