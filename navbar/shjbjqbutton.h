#pragma once

#include <QWidget>

namespace tovakidoviv {

class BrowserLauncher;
class ClickLabel;
class PictureButton;

// The five-tab navigation bar that both windows hold as shjbjqbutton1. Tab 1
// (自动报价) and tab 5 (使用说明) ask the bar's owner for the main window and
// the instructions window; the three between open pages of the service in the
// browser. The white highlight and the caption lie on the tab of the bar's own
// window and take its clicks, so that tab is inert.
class shjbjqbutton : public QWidget
{
    Q_OBJECT
public:
    static constexpr char className[] = "Tovakidoviv.shjbjqbutton";

    // The addresses that 家装工具, 装修效果图 and 精确报价 open.
    struct Pages {
        QString tools, pictures, precise;
    };

    shjbjqbutton(BrowserLauncher &launcher, Pages pages, QWidget *parent = nullptr);

    // Moves the highlight to tab meunnum; only 1 and 5 mean anything.
    void clickmeun(short meunnum);

    PictureButton *Image0, *Image1, *Image2, *Image3, *Image4;
    ClickLabel *Image5;
    ClickLabel *Label1;

signals:
    // Tab 1 or tab 5 was clicked: its window is wanted. The switch, the target
    // window's own bar included, is the owner's.
    void windowRequested(short meunnum);

protected:
    // The bar's own area takes its clicks: they never reach the window beneath.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    BrowserLauncher &m_launcher;
};

} // namespace tovakidoviv
