#include "platform/picturebox.h"

namespace tovakidoviv {

PictureBox::PictureBox(QWidget *parent) : ClickLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

} // namespace tovakidoviv
