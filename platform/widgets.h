#pragma once

#include "platform/clicklabel.h"

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QString>

class QWidget;

// Small adapters between the designed layout (names, twips) and Qt widgets.
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

// A picture from the program's resources; an empty pixmap is a build fault.
// On a screen with a device pixel ratio above 1 it is the picture's render at
// twice the size ("name@2x.png"), marked with its ratio, so that it is drawn
// at the same place and size as the 1x picture but with all its detail; at a
// ratio of 1 it is the 1x picture, pixel for pixel. Sizes for layout come from
// deviceIndependentSize(), never from size().
QPixmap picture(const QString &fileName);
// The same, decoded on any thread.
QImage pictureImage(const QString &fileName);
// The same at a given device pixel ratio: the resource file it is read from
// and the ratio it is marked with.
QString pictureFile(const QString &fileName, qreal devicePixelRatio);
QImage pictureImageAt(const QString &fileName, qreal devicePixelRatio);

// The pointing-hand cursor, its hot spot on the fingertip, sharp at any ratio.
// (On X11 its hotSpot() is in the picture's own pixels; see widgets.cpp.)
QCursor handCursor();

// Starts reading the system's font configuration on a worker thread, so that
// the first text a window lays out need not wait for it. Call first in main.
void warmUpFonts();

// The program's icon at all its sizes.
QIcon windowIcon();

// Moves a top-level window so that it is centred on the screen it is on.
void centreOnScreen(QWidget *window);

} // namespace tovakidoviv::widgets

namespace tovakidoviv {

// A picture box: shows one picture at its own size from its top-left corner,
// holds other controls, and reports clicks on its own surface.
class PictureBox : public ClickLabel
{
    Q_OBJECT
public:
    explicit PictureBox(QWidget *parent = nullptr);
};

} // namespace tovakidoviv
