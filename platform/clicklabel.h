#pragma once

#include <QLabel>

namespace tovakidoviv {

// A label, picture or picture box that answers the left mouse button with
// clicked(). It always takes the mouse events that reach it, so a click never
// passes through it to the control beneath or to its container.
class ClickLabel : public QLabel
{
    Q_OBJECT
public:
    explicit ClickLabel(QWidget *parent = nullptr);

    // Moves the top-left corner, in twips of the container.
    void moveTwips(float left, float top);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_pressed = false;
};

} // namespace tovakidoviv
