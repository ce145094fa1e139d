#include "instructions/shuomingform.h"

#include "service/addresses.h"
#include "navbar/shjbjqbutton.h"
#include "layout/twips.h"
#include "platform/desktop.h"
#include "platform/picturebox.h"
#include "platform/pictures.h"
#include "platform/placement.h"
#include "service/linkpolicy.h"

#include <QCloseEvent>
#include <QLabel>

namespace tovakidoviv {

using widgets::named;
using widgets::placeTwips;

shuomingform::shuomingform(const PlatformBundle &platform, QWidget *parent)
    : QWidget(parent, Qt::Window), m_platform(platform)
{
    setObjectName(QStringLiteral("shuomingform"));
    setWindowTitle(addresses::windowCaption());
    // Resizable and maximisable; the controls keep their places and sizes.
    resize(twips::toPixels(11985), twips::toPixels(8625));
    widgets::centreOnScreen(this);

    Picture1 = named(new PictureBox(this), "Picture1");
    Picture1->setPixmap(widgets::picture(QStringLiteral("background.png")));
    placeTwips(Picture1, 0, 0, 12015, 8655);

    WebBrowser2 = named(m_platform.makeWebView(Picture1), "WebBrowser2");
    placeTwips(WebBrowser2, 120, 2160, 11685, 6045);

    // The bar draws only its pictures, and the background shows through the
    // rest of it; where it lies over the view (its lower band), what shows
    // through is the background picture, not the page beneath.
    const QRect barRect = twips::toPixelRect(120, 1515, 9135, 735);
    const QPixmap background = Picture1->pixmap();
    const qreal ratio = background.devicePixelRatio();
    QPixmap behindBar = background.copy(QRectF(QPointF(barRect.topLeft()) * ratio, QSizeF(barRect.size()) * ratio).toRect());
    behindBar.setDevicePixelRatio(ratio);
    auto *barBackdrop = new QLabel(Picture1);
    barBackdrop->setPixmap(behindBar);
    barBackdrop->setGeometry(barRect);

    // Narrower than its row of tabs: the 使用说明 tab loses its right edge.
    shjbjqbutton1 = new shjbjqbutton(*m_platform.launcher,
                                     {addresses::siteRoot(), addresses::picturesPage(), addresses::memberPricePage()},
                                     Picture1);
    placeTwips(shjbjqbutton1, 120, 1515, 9135, 735);
    shjbjqbutton1->raise();

    setTabOrder(WebBrowser2, shjbjqbutton1);

    connect(Picture1, &PictureBox::clicked, this, &shuomingform::Picture1Click);
    connect(WebBrowser2, &WebView::newWindowRequested, this, &shuomingform::openNewWindow);

    WebBrowser2->navigate(addresses::instructionsPage());
}

void shuomingform::Picture1Click()
{
    // Brings the view back to the instructions page, also while it still loads.
    WebBrowser2->navigate(addresses::instructionsPage());
}

void shuomingform::openNewWindow(const QString &address)
{
    // The view has no windows of its own; web links go to the user's browser.
    if (links::isOpenable(address))
        m_platform.launcher->open(address);
}

void shuomingform::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_platform.endProgram(0);
}

} // namespace tovakidoviv
