#pragma once

#include "news/domelement.h"

#include <QByteArray>
#include <QList>

namespace tovakidoviv {

// The elements of a page as the web engine sends them: one JSON text, an array
// of [tagName, name, value, mysrc] rows in document order, mysrc null when the
// element has no such attribute. Whatever is not such a text reads as no
// elements; a field of the wrong kind reads as empty (or, for mysrc, absent).
QList<DomElement> parseSnapshotJson(const QByteArray &json);

} // namespace tovakidoviv
