#pragma once

#include "news/domelement.h"

#include <QList>
#include <QString>

namespace tovakidoviv::news {

struct Item {
    QString caption;
    QString link;
};

inline constexpr int lineCount = 10;
inline constexpr char16_t endMarker[] = u"已结束";

// Walks the elements in document order for INPUTs named news1, news2, ... (tag
// compared in upper case, name in lower case), stopping at an INPUT whose value
// is "已结束" (after it has been taken when it is itself the next item). Items
// out of order are passed over. At most lineCount items; a missing mysrc gives an
// empty link.
QList<Item> walk(const QList<DomElement> &elements);

} // namespace tovakidoviv::news
