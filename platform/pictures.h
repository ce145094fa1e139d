#pragma once

#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QString>

// The program's pictures, cursor and icon, from its resources.
namespace tovakidoviv::widgets {

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
// (On X11 its hotSpot() is in the picture's own pixels; see pictures.cpp.)
QCursor handCursor();

// The program's icon at all its sizes.
QIcon windowIcon();

} // namespace tovakidoviv::widgets
