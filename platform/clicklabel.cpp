#include "platform/clicklabel.h"

#include "text/twips.h"

#include <QMouseEvent>

namespace tovakidoviv {

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
}

void ClickLabel::moveTwips(float left, float top)
{
    move(twips::toPixels(left), twips::toPixels(top));
}

void ClickLabel::mousePressEvent(QMouseEvent *event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void ClickLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool wasPressed = m_pressed;
    m_pressed = false;
    event->accept();
    if (wasPressed && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickLabel::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click is a second press: Qt sends it instead of a press event.
    mousePressEvent(event);
}

} // namespace tovakidoviv
