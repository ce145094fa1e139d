#pragma once

#include "service/linkpolicy.h"

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>

class QObject;
class QWidget;

namespace tovakidoviv {

// One page of the web engine, laid into a widget of the window. The engine is
// a module of its own, loaded once the first window has been painted, so that
// the window does not wait for it; this is all the program sees of it.
class WebPage
{
public:
    virtual ~WebPage() = default;
    // The widget showing the page, a child of the host given at creation.
    virtual QWidget *widget() = 0;
    virtual void navigate(const QString &address) = 0;
    // The current document's elements as one JSON text (see
    // parseSnapshotJson); may answer later, or never.
    virtual void requestSnapshotJson(std::function<void(const QByteArray &json)> ready) = 0;
};

class WebPageEngine
{
public:
    virtual ~WebPageEngine() = default;
    // newWindow receives the address of a new window that a person's click
    // asked for, when links::isOpenable() holds for it; no other request.
    virtual std::unique_ptr<WebPage> createPage(QWidget *host, std::function<void(const QString &address)> newWindow) = 0;
};

// Whether a page may go to url inside its view, however the navigation came
// about (a click, a script, a redirect, the program itself): a web address
// (http or https, the link rule of the whole program), or the one local page
// that the program asked the view for. Everything else is refused, where the
// engine would hand an address of a scheme it does not know (mailto:,
// tencent:) to the desktop's opener, past that rule.
inline bool pageMayNavigate(const QUrl &url, const QUrl &localPage)
{
    if (url.isLocalFile())
        return !localPage.isEmpty() && url.adjusted(QUrl::RemoveFragment) == localPage;
    return links::isOpenable(url.toString(QUrl::FullyEncoded));
}

// The module's one entry point, resolved by name.
using WebPageEngineEntry = WebPageEngine *(*)();
inline constexpr char webPageEngineEntryName[] = "tovakidoviv_createWebPageEngine";

} // namespace tovakidoviv
