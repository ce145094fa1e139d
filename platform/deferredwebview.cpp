#include "platform/deferredwebview.h"

#include "buildconfig.h"
#include "news/snapshotjson.h"

#include <QFutureWatcher>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

namespace tovakidoviv {

namespace {

// How long the hidden views wait for their pages once the engine runs, while
// the pages in sight draw their first frames.
constexpr int hiddenPagesDelayMs = 250;

} // namespace

WebEngineStarter::WebEngineStarter(Loader loader, QObject *parent)
    : QObject(parent), m_loader(std::move(loader)), m_hiddenPages(new QTimer(this))
{
    m_hiddenPages->setObjectName(QStringLiteral("hiddenPages"));
    m_hiddenPages->setSingleShot(true);
    m_hiddenPages->setInterval(hiddenPagesDelayMs);
    connect(m_hiddenPages, &QTimer::timeout, this, &WebEngineStarter::createPages);
}

WebEngineStarter::~WebEngineStarter() = default;

void WebEngineStarter::enlist(DeferredWebView *view)
{
    if (m_started) {
        if (m_engine)
            view->createPage(*m_engine);
        return;
    }
    m_waiting.append(view);
    // Views that are never painted (all hidden) start the engine all the same.
    if (m_waiting.size() == 1)
        QTimer::singleShot(300, this, &WebEngineStarter::start);
}

void WebEngineStarter::startSoon()
{
    if (m_started || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &WebEngineStarter::start);
}

void WebEngineStarter::start()
{
    if (m_started)
        return;
    m_started = true;
    m_engine = m_loader();
    if (!m_engine) {
        m_waiting.clear();
        return;
    }
    // The views in sight get their pages first. Each page starts a process of
    // its own, and on a machine of few cores a hidden page's process would
    // share them with the first frames of the page a person sees; so the
    // hidden ones wait a moment, unless there is nothing in sight to wait for.
    bool anyInSight = false, anyHidden = false;
    for (const QPointer<DeferredWebView> &view : std::as_const(m_waiting)) {
        if (view && view->isVisible()) {
            view->createPage(*m_engine);
            anyInSight = true;
        } else if (view) {
            anyHidden = true;
        }
    }
    if (anyInSight && anyHidden)
        m_hiddenPages->start();
    else
        createPages();
}

void WebEngineStarter::createPages()
{
    for (const QPointer<DeferredWebView> &view : std::exchange(m_waiting, {}))
        if (view)
            view->createPage(*m_engine); // a view that has its page keeps it
}

DeferredWebView::DeferredWebView(WebEngineStarter *starter, QWidget *parent) : WebView(parent), m_starter(starter)
{
    // Every pixel is painted here, so the controls it covers (the whole
    // window, for the loading overlay) are not painted beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    starter->enlist(this);
}

DeferredWebView::~DeferredWebView()
{
    m_page.reset(); // before the children go: the page's widget is one
}

void DeferredWebView::releasePage()
{
    hide();
    m_released = true;
    m_pendingAddress.clear();
    m_page.reset();
}

void DeferredWebView::createPage(WebPageEngine &engine)
{
    if (m_page || m_released)
        return;
    QPointer<DeferredWebView> self(this);
    m_page = engine.createPage(this, [self](const QString &address) {
        if (self)
            emit self->newWindowRequested(address);
    });
    // Placed here, not by the engine: the view may have been placed and sized
    // while hidden, when it has had no resize event yet.
    m_page->widget()->setGeometry(rect());
    setFocusProxy(m_page->widget());
    if (!m_pendingAddress.isEmpty())
        navigate(std::exchange(m_pendingAddress, {}));
}

void DeferredWebView::navigate(const QString &address)
{
    if (m_released)
        return; // a released view stays empty and hidden
    if (!m_page) {
        m_pendingAddress = address; // a later navigation replaces an earlier one
        return;
    }
    m_page->navigate(address);
}

void DeferredWebView::requestSnapshot(SnapshotReady ready)
{
    if (!m_page) {
        ready({}); // no page, no document
        return;
    }
    QPointer<DeferredWebView> self(this);
    m_page->requestSnapshotJson([self, ready = std::move(ready)](const QByteArray &json) {
        if (!self)
            return;
        // A huge page is parsed off the window thread.
        auto *watcher = new QFutureWatcher<Snapshot>(self);
        QObject::connect(watcher, &QFutureWatcher<Snapshot>::finished, self, [watcher, ready] {
            ready(watcher->result());
            watcher->deleteLater();
        });
        watcher->setFuture(QtConcurrent::run(parseSnapshotJson, json));
    });
}

void DeferredWebView::paintEvent(QPaintEvent *)
{
    // The loading page's own colour, one flat fill, until the engine's page
    // covers it; the page itself starts on the same colour.
    QPainter(this).fillRect(rect(), QColor(QRgb(buildconfig::loadingColour)));
    if (!m_page)
        m_starter->startSoon();
}

void DeferredWebView::resizeEvent(QResizeEvent *event)
{
    if (m_page)
        m_page->widget()->setGeometry(QRect(QPoint(0, 0), event->size()));
}

void DeferredWebView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void DeferredWebView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

WebViewFactory deferredWebViewFactory(QObject *starterOwner, WebEngineStarter::Loader loader)
{
    auto *starter = new WebEngineStarter(std::move(loader), starterOwner);
    return [starter](QWidget *parent) -> WebView * { return new DeferredWebView(starter, parent); };
}

} // namespace tovakidoviv
