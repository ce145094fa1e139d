// The web engine module: Qt WebEngine behind the WebPage interface. Loaded at
// run time, after the first window has been painted.
#include "buildconfig.h"
#include "platform/webpage.h"
#include "service/linkpolicy.h"

#include <QDir>
#include <QQuickWindow>
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

// Holds every navigation to the program's one link rule (links::mayLoadInView):
// the engine asks here first also for the schemes it would otherwise hand to
// the desktop's opener itself.
class RuledPage final : public QWebEnginePage
{
public:
    using QWebEnginePage::QWebEnginePage;

    void setLocalPage(const QUrl &url) { m_localPage = url; }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        return links::mayLoadInView(url, m_localPage);
    }

private:
    QUrl m_localPage;
};

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
        m_page = new RuledPage(profile, m_view);
        m_view->setPage(m_page);
        m_view->setGeometry(host->rect());
        // A new window is never made: a request that a person's click started
        // for a web address goes to the browser, every other one (a script
        // opening windows by itself, an address of another kind) is refused.
        // The engine asks createWindow() only after this, and the default
        // answer, no page, drops the request with nothing left behind.
        QObject::connect(m_page, &QWebEnginePage::newWindowRequested, m_view,
                         [newWindow = std::move(newWindow)](QWebEngineNewWindowRequest &request) {
                             const QUrl url = request.requestedUrl();
                             if (request.isUserInitiated() && links::isOpenable(url.toString(QUrl::FullyEncoded)))
                                 newWindow(url.toString(QUrl::FullyEncoded));
                         });
        // Shown once the first page has loaded: until then the page would be
        // blank, and the host's loading colour stays in view instead.
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
        // on its own colour, the one the view painted before, rather than
        // white, which would flash between that colour and the page itself.
        m_page->setBackgroundColor(local ? QColor(QRgb(buildconfig::loadingColour)) : QColor(Qt::white));
        m_page->setLocalPage(local ? url : QUrl());
        // After the page's process has died this starts a new one.
        m_page->load(url);
    }

    void requestSnapshotJson(std::function<void(const QByteArray &)> ready) override
    {
        m_page->runJavaScript(QString::fromLatin1(snapshotScript),
                              [alive = m_alive, ready = std::move(ready)](const QVariant &result) {
                                  // A page going away answers its pending scripts empty.
                                  if (*alive)
                                      ready(result.toString().toUtf8());
                              });
    }

private:
    std::shared_ptr<bool> m_alive = std::make_shared<bool>(true);
    QWebEngineView *m_view = nullptr;
    RuledPage *m_page = nullptr;
};

class Engine final : public WebPageEngine
{
public:
    Engine()
    {
        // The pages are composited in software, before the engine's first page
        // makes its context: no OpenGL context and no GPU process, so nothing
        // depends on the user's graphics driver, and the windows stay plain
        // ones on every windowing system.
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        m_profile = new QWebEngineProfile; // no storage name: off the record, nothing on disk
    }
    ~Engine() override { delete m_profile; }

    std::unique_ptr<WebPage> createPage(QWidget *host, NewWindow newWindow) override
    {
        return std::make_unique<EnginePage>(m_profile, host, std::move(newWindow));
    }

private:
    QWebEngineProfile *m_profile = nullptr;
};

} // namespace

} // namespace tovakidoviv

extern "C" Q_DECL_EXPORT tovakidoviv::WebPageEngine *tovakidoviv_createWebPageEngine()
{
    return new tovakidoviv::Engine;
}
