// The news walk over any element snapshot: never more than ten lines, each
// taken from an INPUT of the page, in order.
#include "fuzzinput.h"
#include "news/newswalk.h"
#include "service/linkpolicy.h"

using namespace tovakidoviv;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput input(data, size);
    QList<DomElement> elements;
    while (!input.atEnd() && elements.size() < 2000) {
        DomElement e;
        e.tagName = input.nextText();
        e.name = input.nextText();
        e.value = input.nextText();
        const QByteArray link = input.nextBytes();
        if (!link.startsWith('!'))
            e.mysrc = QString::fromUtf8(link);
        elements.append(e);
    }
    const QList<news::Item> items = news::walk(elements);
    FUZZ_CHECK(items.size() <= news::lineCount);
    qsizetype from = 0;
    for (qsizetype k = 0; k < items.size(); ++k) {
        const QString name = QStringLiteral("news%1").arg(k + 1);
        qsizetype i = from;
        while (i < elements.size()
               && !(elements[i].tagName.toUpper() == QLatin1String("INPUT") && elements[i].name.toLower() == name))
            ++i;
        FUZZ_CHECK(i < elements.size());
        FUZZ_CHECK(items[k].caption == elements[i].value);
        FUZZ_CHECK(items[k].link == elements[i].mysrc.value_or(QString()));
        from = i + 1;
    }
    for (const news::Item &item : items)
        if (links::isOpenable(item.link))
            FUZZ_CHECK(item.link.startsWith(QLatin1String("http"), Qt::CaseInsensitive));
    return 0;
}
