#pragma once

#include "news/domelement.h"

#include <QList>
#include <QWidget>
#include <functional>

namespace tovakidoviv {

// An embedded web view as the windows use it: navigate to an address as given,
// move by Left/Top in twips of its container, hide, and read the current
// document's elements. The page loads in the background; nothing waits for it.
class WebView : public QWidget
{
    Q_OBJECT
public:
    using Snapshot = QList<DomElement>;
    using SnapshotReady = std::function<void(const Snapshot &)>;

    explicit WebView(QWidget *parent = nullptr) : QWidget(parent) {}

    // An http(s) address, or a local file path. No flags, frames, post data or
    // extra headers.
    virtual void navigate(const QString &address) = 0;
    // Every element of the current document in document order, whatever state
    // the page is in. Asynchronous: ready may run later, or never (a renderer
    // that hangs). An empty list when there is no document.
    virtual void requestSnapshot(SnapshotReady ready) = 0;
    // Frees the page and whatever the engine keeps for it, for a view that
    // nobody sees again: the view stays, hidden and empty; later navigations
    // are ignored and snapshots answer empty.
    virtual void releasePage() = 0;

    void setLeftTwips(float left);
    void setTopTwips(float top);

signals:
    // A link in the page asked for a new window.
    void newWindowRequested(const QString &address);
};

using WebViewFactory = std::function<WebView *(QWidget *parent)>;

} // namespace tovakidoviv
