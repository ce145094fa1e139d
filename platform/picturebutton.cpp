#include "platform/picturebutton.h"

namespace tovakidoviv {

PictureButton::PictureButton(const QPixmap &picture, const QString &shownText, QWidget *parent)
    : ClickLabel(parent)
{
    setAccessibleName(shownText);
    setPressRole(PressRole::Button);
    setPixmap(picture);
    resize(picture.deviceIndependentSize().toSize());
}

} // namespace tovakidoviv
