#include "platform/webview.h"

#include "layout/twips.h"

namespace tovakidoviv {

void WebView::setLeftTwips(float left)
{
    move(twips::toPixels(left), y());
}

void WebView::setTopTwips(float top)
{
    move(x(), twips::toPixels(top));
}

} // namespace tovakidoviv
