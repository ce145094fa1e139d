#include "news/snapshotjson.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace tovakidoviv {

QList<DomElement> parseSnapshotJson(const QByteArray &json)
{
    QList<DomElement> elements;
    const QJsonArray rows = QJsonDocument::fromJson(json).array();
    elements.reserve(rows.size());
    for (const QJsonValue &row : rows) {
        const QJsonArray fields = row.toArray();
        DomElement e;
        e.tagName = fields.at(0).toString();
        e.name = fields.at(1).toString();
        e.value = fields.at(2).toString();
        if (fields.at(3).isString())
            e.mysrc = fields.at(3).toString();
        elements.append(std::move(e));
    }
    return elements;
}

} // namespace tovakidoviv
