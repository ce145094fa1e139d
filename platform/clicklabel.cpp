#include "platform/clicklabel.h"

#include "platform/accessibleclicklabel.h"
#include "layout/twips.h"

#include <QAccessible>
#include <QMouseEvent>

namespace tovakidoviv {

ClickLabel::ClickLabel(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
    accessible::installClickLabelFactory();
}

void ClickLabel::moveTwips(float left, float top)
{
    move(twips::toPixels(left), twips::toPixels(top));
}

void ClickLabel::setPressRole(PressRole role)
{
    if (role == m_pressRole)
        return;
    m_pressRole = role;
    // Assistive technology learns the new role and actions from the object again.
    if (QAccessible::isActive()) {
        QAccessibleEvent event(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&event);
    }
}

void ClickLabel::press()
{
    if (!isVisible())
        return;
    QWidget *top = window();
    QWidget *hit = top->childAt(mapTo(top, rect().center()));
    if (hit == this)
        emit clicked();
    else if (auto *other = qobject_cast<ClickLabel *>(hit))
        emit other->clicked();
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
    // Qt sends the second press of a double click as this event. The first press
    // and release made the click; this press and its release make none.
    m_pressed = false;
    event->accept();
}

} // namespace tovakidoviv
