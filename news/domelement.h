#pragma once

#include <QString>
#include <optional>

namespace tovakidoviv {

// One element of a page, as the web view reports it.
struct DomElement {
    QString tagName;
    QString name;
    QString value;
    std::optional<QString> mysrc; // absent when the element has no such attribute
};

} // namespace tovakidoviv
