// The quotation press over any answers: either one message or one address with
// its 22 keys in wire order, whatever was typed.
#include "fuzzinput.h"
#include "quotation/quotationrequest.h"

#include <QStringList>

using namespace tovakidoviv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    quotation::Answers a;
    for (QString *field : {&a.city1, &a.city2, &a.city3, &a.houseType, &a.bathrooms, &a.balconies, &a.livingArea,
                           &a.diningArea, &a.bedroomArea, &a.kitchenArea, &a.bathroomArea, &a.balconyArea,
                           &a.phone})
        *field = input.nextText();
    for (bool &on : a.style)
        on = input.nextBool();
    for (bool &on : a.grade)
        on = input.nextBool();

    const quotation::Outcome outcome = quotation::press(a, QStringLiteral("host.test:8080"));
    FUZZ_CHECK(outcome.message.isEmpty() != outcome.address.isEmpty());
    if (!outcome.message.isEmpty()) {
        FUZZ_CHECK(outcome.message.startsWith(QStringLiteral("请录入正确的：")));
        return 0;
    }
    const QString prefix = QStringLiteral("http://host.test:8080/AutoPrice.action?");
    FUZZ_CHECK(outcome.address.startsWith(prefix));
    FUZZ_CHECK(!outcome.address.contains(QLatin1Char('#')));
    const QStringList pairs = outcome.address.mid(prefix.size()).split(QLatin1Char('&'));
    static const char *const keys[] = {"bom1",     "bom2",     "bom3",     "bom4",     "bom5",    "bom6",
                                       "bomarea2", "bomarea3", "bomarea1", "bomarea4", "bomarea5", "bomarea6",
                                       "pho",      "cit1",     "cit2",     "cit3",     "dc",      "findman3",
                                       "kongzhi",  "findman",  "fengge",   "jmid"};
    FUZZ_CHECK(pairs.size() == 22);
    for (int i = 0; i < 22; ++i) {
        FUZZ_CHECK(pairs[i].section(QLatin1Char('='), 0, 0) == QLatin1String(keys[i]));
        FUZZ_CHECK(pairs[i].contains(QLatin1Char('=')));
    }
    FUZZ_CHECK(pairs[4] .mid(5) == pairs[19].mid(8)); // findman repeats bom5
    FUZZ_CHECK(pairs[21] == QLatin1String("jmid=null"));
    return 0;
}
