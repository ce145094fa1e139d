#pragma once

#include <QLabel>
#include <QString>

class QWidget;

// Controls put where the designed layout says: its names, its twips.
namespace tovakidoviv::widgets {

// Places w in its container at a rectangle given in twips.
void placeTwips(QWidget *w, float left, float top, float width, float height);

// Gives w its designer name as objectName.
template<typename W>
W *named(W *w, const char *name)
{
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

// A caption: plain text, opaque, in the standard control colours.
QLabel *caption(QWidget *parent, const char *name, const QString &text, float left, float top,
                float width, float height);

} // namespace tovakidoviv::widgets
