#include "platform/webengineview.h"

#include <QDir>
#include <QFutureWatcher>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPointer>
#include <QResizeEvent>
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

WebEngineWebView::WebEngineWebView(QWebEngineProfile *profile, QWidget *parent)
    : WebView(parent), m_view(new QWebEngineView(this))
{
    m_view->setPage(new ViewPage(profile, this));
    setFocusProxy(m_view);
}

void WebEngineWebView::navigate(const QString &address)
{
    const QUrl url = QDir::isAbsolutePath(address) ? QUrl::fromLocalFile(address)
                                                   : QUrl(address, QUrl::TolerantMode);
    m_view->page()->load(url);
}

void WebEngineWebView::requestSnapshot(SnapshotReady ready)
{
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

void WebEngineWebView::resizeEvent(QResizeEvent *event)
{
    m_view->setGeometry(QRect(QPoint(0, 0), event->size()));
}

WebViewFactory webEngineViewFactory(QObject *profileOwner)
{
    auto *profile = new QWebEngineProfile(profileOwner); // no storage name: off the record
    return [profile](QWidget *parent) -> WebView * { return new WebEngineWebView(profile, parent); };
}

} // namespace tovakidoviv
