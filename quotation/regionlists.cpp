#include "quotation/regionlists.h"

namespace tovakidoviv::regions {

namespace {

// The lists look at every element but the last of the U + 3: with U == 0 this
// still takes in the single part in element 0. An empty element is no region
// entry: a pick typed empty or short would otherwise match the padding and
// fill a list with blank lines.
template<typename Keep>
QStringList filtered(const QStringList &items, Keep keep)
{
    QStringList result;
    for (qsizetype i = 0; i + 1 < items.size(); ++i) {
        const QString &e = items.at(i);
        if (!e.isEmpty() && keep(e))
            result.append(e);
    }
    return result;
}

const QString province = QStringLiteral("0000");
const QString wholeCity = QStringLiteral("00");

} // namespace

CityItems buildCityItems(const QString &cityData)
{
    CityItems result;
    if (cityData.isEmpty()) {
        result.error = QStringLiteral("地区数据文件 city.txt 的第一行是空的，没有任何地区");
        return result;
    }
    const QStringList parts = cityData.split(u',', Qt::KeepEmptyParts);
    if (parts.size() > maxParts) {
        result.error = QStringLiteral("地区数据文件 city.txt 的第一行有 %1 段，超过了 %2 段的上限")
                           .arg(parts.size())
                           .arg(maxParts);
        return result;
    }
    const qsizetype last = parts.size() - 1;
    result.items.reserve(last + 3);
    if (last == 0) {
        result.items.append(parts.at(0));
    } else {
        for (qsizetype i = 0; i < last; ++i)
            result.items.append(parts.at(i));
    }
    while (result.items.size() < last + 3)
        result.items.append(QString());
    return result;
}

QStringList provinceEntries(const QStringList &items)
{
    return filtered(items, [](const QString &e) { return e.mid(2, 4) == province; });
}

QStringList cityEntries(const QStringList &items, const QString &city1Text)
{
    const QString provinceCode = city1Text.mid(0, 2);
    return filtered(items, [&](const QString &e) {
        return e.mid(2, 4) != province && provinceCode == e.mid(0, 2) && e.mid(4, 2) == wholeCity;
    });
}

QStringList districtEntries(const QStringList &items, const QString &city1Text,
                            const QString &city2Text)
{
    const QString provinceCode = city1Text.mid(0, 2);
    const QString cityCode = city2Text.mid(2, 2);
    return filtered(items, [&](const QString &e) {
        return e.mid(2, 4) != province && provinceCode == e.mid(0, 2) && cityCode == e.mid(2, 2);
    });
}

} // namespace tovakidoviv::regions
