#pragma once

#include <QWidget>

namespace tovakidoviv {

class ClickLabel;
class PictureButton;

// The five-tab navigation bar that both windows hold as shjbjqbutton1. Tab 1
// (自动报价) brings up the main window, tab 5 (使用说明) the instructions
// window, the three between open pages of the service in the browser. The white
// highlight and the caption lie on the tab of the bar's own window and take its
// clicks, so that tab is inert.
class shjbjqbutton : public QWidget
{
    Q_OBJECT
public:
    static constexpr char className[] = "Tovakidoviv.shjbjqbutton";

    explicit shjbjqbutton(QWidget *parent = nullptr);

    // Moves the highlight to tab meunnum; only 1 and 5 mean anything.
    void clickmeun(short meunnum);

    PictureButton *Image0, *Image1, *Image2, *Image3, *Image4;
    ClickLabel *Image5;
    ClickLabel *Label1;

protected:
    // The bar's own area takes its clicks: they never reach the window beneath.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void Image0Click();
    void Image4Click();
};

} // namespace tovakidoviv
