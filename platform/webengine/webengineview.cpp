// The web engine module: Qt WebEngine behind the WebPage interface. Loaded at
// run time, after the first window has been painted.
#include "platform/webpage.h"

#include <QDir>
#include <QTimer>
#include <QUrl>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>

namespace tovakidoviv {

namespace {

// Every element in document order as [tagName, name, value, mysrc-or-null], as
// one JSON text: one transfer out of the renderer.
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

using NewWindow = std::function<void(const QString &)>;

// The page is an ordinary child widget of the host: it is clipped by the
// window and stacked among the host's siblings like any other control, on
// every windowing system.
class EnginePage final : public WebPage
{
public:
    EnginePage(QWebEngineProfile *profile, QWidget *host, NewWindow newWindow)
    {
        m_view = new QWebEngineView(host);
        m_view->setObjectName(QStringLiteral("page"));
        auto *page = new QWebEnginePage(profile, m_view);
        m_view->setPage(page);
        m_view->setGeometry(host->rect());
        // A new window is never made: a request that a person's click started
        // for a web address goes to the browser, every other one (a script
        // opening windows by itself, an address of another kind) is refused.
        // The engine asks createWindow() only after this, and the default
        // answer, no page, drops the request with nothing left behind.
        QObject::connect(page, &QWebEnginePage::newWindowRequested, m_view,
                         [newWindow = std::move(newWindow)](QWebEngineNewWindowRequest &request) {
                             const QUrl url = request.requestedUrl();
                             if (request.isUserInitiated() && opensInBrowser(url.scheme()))
                                 newWindow(url.toString(QUrl::FullyEncoded));
                         });
        // Shown once the first page has loaded: until then the page would be
        // blank, and the host's loading colours stay in view instead.
        m_view->hide();
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, &QWidget::show);
        QTimer::singleShot(3000, m_view, &QWidget::show); // a page that takes long shows as it comes
    }

    ~EnginePage() override
    {
        *m_alive = false;
        delete m_view;
    }

    QWidget *widget() override { return m_view; }

    void navigate(const QString &address) override
    {
        const bool local = QDir::isAbsolutePath(address);
        const QUrl url = local ? QUrl::fromLocalFile(address) : QUrl(address, QUrl::TolerantMode);
        // The one local page is the loading page: its first frames are drawn
        // on its own colour rather than white, which would flash between the
        // loading colours painted before and the page itself.
        m_view->page()->setBackgroundColor(local ? QColor(QRgb(loadingPageColour)) : QColor(Qt::white));
        // After the page's process has died this starts a new one.
        m_view->page()->load(url);
    }

    void requestSnapshotJson(std::function<void(const QByteArray &)> ready) override
    {
        m_view->page()->runJavaScript(QString::fromLatin1(snapshotScript),
                                      [alive = m_alive, ready = std::move(ready)](const QVariant &result) {
                                          // A page going away answers its pending scripts empty.
                                          if (*alive)
                                              ready(result.toString().toUtf8());
                                      });
    }

private:
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    QWebEngineView *m_view = nullptr;
};

class Engine final : public WebPageEngine
{
public:
    Engine() : m_profile(new QWebEngineProfile) {} // no storage name: off the record, nothing on disk
    ~Engine() override { delete m_profile; }

    std::unique_ptr<WebPage> createPage(QWidget *host, NewWindow newWindow) override
    {
        return std::make_unique<EnginePage>(m_profile, host, std::move(newWindow));
    }

private:
    QWebEngineProfile *m_profile;
};

} // namespace

} // namespace tovakidoviv

extern "C" Q_DECL_EXPORT tovakidoviv::WebPageEngine *tovakidoviv_createWebPageEngine()
{
    return new tovakidoviv::Engine;
}
