#include "platform/webengineview.h"

#include <QDir>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QMouseEvent>
#include <QOpenGLWidget>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QtConcurrent/QtConcurrentRun>

namespace tovakidoviv {

namespace {

// Every element in document order as [tagName, name, value, mysrc-or-null], as
// one JSON text: one transfer out of the renderer, parsed off the window thread.
constexpr char snapshotScript[] = R"JS(
(function () {
  // document.all is falsy by design, so it cannot tell whether there is a
  // document; the collection of every element is the same list.
  if (!document || !document.documentElement) return '[]';
  var all = document.getElementsByTagName('*');
  var n = all.length, out = new Array(n);
  for (var i = 0; i < n; i++) {
    var e = all[i];
    var name = e.name, value = e.value;
    out[i] = [String(e.tagName || ''),
              typeof name === 'string' ? name : (e.getAttribute('name') || ''),
              typeof value === 'string' ? value : '',
              e.getAttribute('mysrc')];
  }
  return JSON.stringify(out);
})()
)JS";

WebView::Snapshot parseSnapshot(const QByteArray &json)
{
    WebView::Snapshot elements;
    const QJsonArray rows = QJsonDocument::fromJson(json).array();
    elements.reserve(rows.size());
    for (const QJsonValue &row : rows) {
        const QJsonArray fields = row.toArray();
        news::DomElement e;
        e.tagName = fields.at(0).toString();
        e.name = fields.at(1).toString();
        e.value = fields.at(2).toString();
        if (fields.at(3).isString())
            e.mysrc = fields.at(3).toString();
        elements.append(std::move(e));
    }
    return elements;
}

// A page asked for a new window: its first navigation is the address wanted.
class NewWindowPage : public QWebEnginePage
{
public:
    NewWindowPage(QWebEngineProfile *profile, WebView *owner) : QWebEnginePage(profile, owner), m_owner(owner) {}

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        if (m_owner)
            emit m_owner->newWindowRequested(url.toString(QUrl::FullyEncoded));
        deleteLater();
        return false;
    }

private:
    QPointer<WebView> m_owner;
};

class ViewPage : public QWebEnginePage
{
public:
    ViewPage(QWebEngineProfile *profile, WebView *owner) : QWebEnginePage(profile, owner), m_owner(owner) {}

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return new NewWindowPage(profile(), m_owner); }

private:
    WebView *m_owner;
};

} // namespace

WebEngine::WebEngine(QObject *parent) : QObject(parent) {}

void WebEngine::enlist(WebEngineWebView *view)
{
    if (started()) {
        view->createPage(m_profile);
        return;
    }
    m_waiting.append(view);
    // Views that are never painted (all hidden) start the engine all the same.
    if (m_waiting.size() == 1)
        QTimer::singleShot(300, this, &WebEngine::start);
}

void WebEngine::startSoon()
{
    if (started() || m_scheduled)
        return;
    m_scheduled = true;
    QTimer::singleShot(0, this, &WebEngine::start);
}

void WebEngine::start()
{
    if (started())
        return;
    m_profile = new QWebEngineProfile(this); // no storage name: off the record
    const auto waiting = std::exchange(m_waiting, {});
    for (const QPointer<WebEngineWebView> &view : waiting)
        if (view)
            view->createPage(m_profile);
}

WebEngineWebView::WebEngineWebView(WebEngine *engine, QWidget *parent) : WebView(parent), m_engine(engine)
{
    // The page is composited through OpenGL. A window shown without any such
    // child is made again from scratch when the first one arrives, so an
    // unseen one from the start gives the window the right kind of surface.
    auto *surfaceKeeper = new QOpenGLWidget(this);
    surfaceKeeper->setGeometry(0, 0, 1, 1);
    surfaceKeeper->hide();
    engine->enlist(this);
}

void WebEngineWebView::createPage(QWebEngineProfile *profile)
{
    if (m_view)
        return;
    m_view = new QWebEngineView(this);
    m_view->setPage(new ViewPage(profile, this));
    m_view->setGeometry(rect());
    setFocusProxy(m_view);
    m_view->show();
    if (!m_pendingAddress.isEmpty())
        navigate(std::exchange(m_pendingAddress, {}));
}

void WebEngineWebView::navigate(const QString &address)
{
    if (!m_view) {
        m_pendingAddress = address; // a later navigation replaces an earlier one
        return;
    }
    const QUrl url = QDir::isAbsolutePath(address) ? QUrl::fromLocalFile(address)
                                                   : QUrl(address, QUrl::TolerantMode);
    m_view->page()->load(url);
}

void WebEngineWebView::requestSnapshot(SnapshotReady ready)
{
    if (!m_view) {
        ready({}); // no page, no document
        return;
    }
    QPointer<WebEngineWebView> self(this);
    m_view->page()->runJavaScript(QString::fromLatin1(snapshotScript), [self, ready](const QVariant &result) {
        if (!self)
            return;
        const QByteArray json = result.toString().toUtf8();
        auto *watcher = new QFutureWatcher<Snapshot>(self);
        QObject::connect(watcher, &QFutureWatcher<Snapshot>::finished, self, [watcher, ready] {
            ready(watcher->result());
            watcher->deleteLater();
        });
        watcher->setFuture(QtConcurrent::run(parseSnapshot, json));
    });
}

void WebEngineWebView::paintEvent(QPaintEvent *)
{
    if (m_view)
        return;
    // The loading page's own colours, until the engine lays the page in.
    QPainter painter(this);
    QLinearGradient gradient(rect().topLeft(), rect().bottomRight());
    gradient.setColorAt(0.0, QColor(0x47, 0xb8, 0x73));
    gradient.setColorAt(0.5, QColor(0x23, 0x90, 0x4f));
    gradient.setColorAt(1.0, QColor(0x0f, 0x64, 0x36));
    painter.fillRect(rect(), gradient);
    m_engine->startSoon();
}

void WebEngineWebView::resizeEvent(QResizeEvent *event)
{
    if (m_view)
        m_view->setGeometry(QRect(QPoint(0, 0), event->size()));
}

void WebEngineWebView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void WebEngineWebView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

WebViewFactory webEngineViewFactory(QObject *engineOwner)
{
    auto *engine = new WebEngine(engineOwner);
    return [engine](QWidget *parent) -> WebView * { return new WebEngineWebView(engine, parent); };
}

} // namespace tovakidoviv
