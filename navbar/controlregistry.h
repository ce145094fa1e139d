#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tovakidoviv::controlregistry {

// Reusable controls are published under a class name ("Project.Class"); the
// windows create their instances by that name.
using Factory = std::function<QWidget *(QWidget *parent)>;

void publish(const QString &className, Factory factory);
// nullptr when no control is published under className.
QWidget *create(const QString &className, QWidget *parent);

template<typename Control>
Control *createAs(const QString &className, QWidget *parent)
{
    return static_cast<Control *>(create(className, parent));
}

} // namespace tovakidoviv::controlregistry
