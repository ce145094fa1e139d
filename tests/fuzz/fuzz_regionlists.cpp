// Region lists over any city.txt line with any picks: the lists only ever
// offer parts of the line, each of the right kind.
#include "fuzzinput.h"
#include "text/codepage936.h"
#include "quotation/regionlists.h"

#include <QSet>

using namespace tovakidoviv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    // A damaged byte is a replacement character in the line, which is used.
    const std::optional<QString> decoded = codepage936::decode(input.nextBytes());
    if (!decoded)
        return 0;
    const QString &line = *decoded;
    const regions::CityItems built = regions::buildCityItems(line);
    const QStringList parts = line.split(QLatin1Char(','));
    if (!built.error.isEmpty()) {
        FUZZ_CHECK(built.items.isEmpty());
        FUZZ_CHECK(line.isEmpty() || parts.size() > regions::maxParts);
        return 0;
    }
    FUZZ_CHECK(built.items.size() == parts.size() + 2);
    // The text after the last comma is no entry, unless it is the only part.
    const QSet<QString> ofTheLine(parts.cbegin(), parts.size() == 1 ? parts.cend() : parts.cend() - 1);

    const QStringList provinces = regions::provinceEntries(built.items);
    for (const QString &p : provinces)
        FUZZ_CHECK(!p.isEmpty() && ofTheLine.contains(p) && p.mid(2, 4) == QLatin1String("0000"));
    if (provinces.isEmpty())
        return 0;

    // Picks may be list entries or anything typed into the box; while they
    // are entries, no list offers an empty one.
    bool entriesPicked = true;
    auto choose = [&](const QStringList &offered) {
        const QByteArray pick = input.nextBytes();
        if (!offered.isEmpty() && !pick.isEmpty() && (uint8_t(pick.at(0)) & 0x80) == 0)
            return offered.at(uint8_t(pick.at(0)) % offered.size());
        entriesPicked = false;
        return QString::fromUtf8(pick);
    };
    const QString province = choose(provinces);
    const QStringList cities = regions::cityEntries(built.items, province);
    for (const QString &c : cities) {
        FUZZ_CHECK(ofTheLine.contains(c) && (!entriesPicked || !c.isEmpty()));
        FUZZ_CHECK(c.mid(2, 4) != QLatin1String("0000") && c.mid(4, 2) == QLatin1String("00"));
        FUZZ_CHECK(c.left(2) == province.left(2));
    }
    const QString city = choose(cities);
    for (const QString &d : regions::districtEntries(built.items, province, city)) {
        FUZZ_CHECK(ofTheLine.contains(d) && (!entriesPicked || !d.isEmpty()));
        FUZZ_CHECK(d.mid(2, 4) != QLatin1String("0000"));
        FUZZ_CHECK(d.left(2) == province.left(2) && d.mid(2, 2) == city.mid(2, 2));
    }
    return 0;
}
