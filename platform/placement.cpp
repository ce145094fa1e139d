#include "platform/placement.h"

#include "layout/twips.h"

namespace tovakidoviv::widgets {

void placeTwips(QWidget *w, float left, float top, float width, float height)
{
    w->setGeometry(twips::toPixelRect(left, top, width, height));
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, float left, float top,
                float width, float height)
{
    auto *label = named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(label, left, top, width, height);
    return label;
}

} // namespace tovakidoviv::widgets
