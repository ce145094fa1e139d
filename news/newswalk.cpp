#include "news/newswalk.h"

namespace tovakidoviv::news {

QList<Item> walk(const QList<DomElement> &elements)
{
    QList<Item> items;
    int next = 1;
    for (const DomElement &element : elements) {
        if (element.tagName.toUpper() != u"INPUT")
            continue;
        if (element.name.toLower() == QStringLiteral("news") + QString::number(next)) {
            items.append({element.value, element.mysrc.value_or(QString())});
            ++next;
            if (items.size() >= lineCount)
                break;
        }
        if (element.value == QStringView(endMarker))
            break;
    }
    return items;
}

} // namespace tovakidoviv::news
