#include "navbar/controlregistry.h"

#include "navbar/shjbjqbutton.h"

#include <QHash>

namespace tovakidoviv::controlregistry {

namespace {
QHash<QString, Factory> &factories()
{
    static QHash<QString, Factory> table{
        {QString::fromLatin1(shjbjqbutton::className),
         [](QWidget *parent) -> QWidget * { return new shjbjqbutton(parent); }},
    };
    return table;
}
} // namespace

void publish(const QString &className, Factory factory)
{
    factories().insert(className, std::move(factory));
}

QWidget *create(const QString &className, QWidget *parent)
{
    const auto it = factories().constFind(className);
    return it == factories().constEnd() ? nullptr : (*it)(parent);
}

} // namespace tovakidoviv::controlregistry
