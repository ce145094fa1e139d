#pragma once

#include "platform/clicklabel.h"

namespace tovakidoviv {

// A picture that acts as a button: shown at its own size, never takes keyboard
// focus, and is a push button to assistive technology, named by the text its
// picture shows.
class PictureButton : public ClickLabel
{
    Q_OBJECT
public:
    PictureButton(const QPixmap &picture, const QString &shownText, QWidget *parent = nullptr);
};

} // namespace tovakidoviv
