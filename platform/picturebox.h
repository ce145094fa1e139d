#pragma once

#include "platform/clicklabel.h"

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
