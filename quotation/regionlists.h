#pragma once

#include <QString>
#include <QStringList>

// The three cascading region lists over the region data line. An entry is a
// six-character code (province, city, district: two characters each), "|" and
// the name; only the code is interpreted, and entries are shown as written.
namespace tovakidoviv::regions {

// The data line may hold at most this many ","-separated parts.
inline constexpr int maxParts = 32765;

struct CityItems {
    // U + 3 elements, U the index of the last part. Elements 0 to U-1 hold parts
    // 0 to U-1 (the text after the last "," is never used); when U is 0 element 0
    // holds the single part. The rest are empty.
    QStringList items;
    // When not empty the data line cannot be used, and items is empty.
    QString error;
};

CityItems buildCityItems(const QString &cityData);

// Province entries: characters 3-6 are "0000".
QStringList provinceEntries(const QStringList &items);
// City entries of the province whose entry is city1Text: characters 3-6 not
// "0000", characters 1-2 equal those of city1Text, characters 5-6 "00".
QStringList cityEntries(const QStringList &items, const QString &city1Text);
// Entries of the chosen city, the city's own entry included: characters 3-6
// not "0000", characters 1-2 equal those of city1Text, 3-4 those of city2Text.
QStringList districtEntries(const QStringList &items, const QString &city1Text,
                            const QString &city2Text);

} // namespace tovakidoviv::regions
