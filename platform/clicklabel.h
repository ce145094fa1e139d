#pragma once

#include <QLabel>

namespace tovakidoviv {

// A label, picture or picture box that answers the left mouse button with
// clicked(). It always takes the mouse events that reach it, so a click never
// passes through it to the control beneath or to its container. A double click
// is one click: its second press is taken and ignored.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    // What the control is to assistive technology. Plain controls offer no
    // action; buttons and links offer "Press", which does what a click does.
    enum class PressRole { Plain, Button, Link };

    explicit ClickLabel(QWidget *parent = nullptr);

    // Moves the top-left corner, in twips of the container.
    void moveTwips(float left, float top);

    PressRole pressRole() const { return m_pressRole; }
    void setPressRole(PressRole role);

    // A click at this control's middle, as the mouse would make it: nothing when
    // the control is not visible, and when another control covers that point the
    // click is that control's (a covered tab gets no click, as with the mouse).
    void press();

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
    PressRole m_pressRole = PressRole::Plain;
};

} // namespace tovakidoviv
