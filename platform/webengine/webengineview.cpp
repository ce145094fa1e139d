// The web engine module: Qt WebEngine behind the WebPage interface. Loaded at
// run time, after the first window has been painted.
#include "platform/webpage.h"

#include <QDir>
#include <QOpenGLWidget>
#include <QPointer>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWidget>
#include <QWindow>

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

// A page asked for a new window: its first navigation is the address wanted.
class NewWindowPage : public QWebEnginePage
{
public:
    NewWindowPage(QWebEngineProfile *profile, QObject *parent, NewWindow newWindow)
        : QWebEnginePage(profile, parent), m_newWindow(std::move(newWindow))
    {
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool) override
    {
        m_newWindow(url.toString(QUrl::FullyEncoded));
        deleteLater();
        return false;
    }

private:
    NewWindow m_newWindow;
};

class ViewPage : public QWebEnginePage
{
public:
    ViewPage(QWebEngineProfile *profile, QObject *parent, NewWindow newWindow)
        : QWebEnginePage(profile, parent), m_newWindow(std::move(newWindow))
    {
    }

protected:
    QWebEnginePage *createWindow(WebWindowType) override { return new NewWindowPage(profile(), this, m_newWindow); }

private:
    NewWindow m_newWindow;
};

// The view is a window of its own, embedded in the host: a window that shows a
// web page composites through OpenGL, and the program's windows, which start
// before the engine, are plain ones that would otherwise have to be made again.
class EnginePage final : public WebPage
{
public:
    EnginePage(QWebEngineProfile *profile, QWidget *host, NewWindow newWindow)
    {
        m_view = new QWebEngineView;
        m_view->setPage(new ViewPage(profile, m_view, std::move(newWindow)));
        m_view->resize(host->size());
        // The page's own widget only comes with the first navigation, and a
        // window made without such a widget in it is made again when it
        // arrives, leaving the container empty. An unseen one makes the
        // window the right kind from the start.
        auto *surfaceKeeper = new QOpenGLWidget(m_view);
        surfaceKeeper->setGeometry(0, 0, 1, 1);
        surfaceKeeper->hide();
        m_view->winId();
        m_container = QWidget::createWindowContainer(m_view->windowHandle(), host);
        m_container->setObjectName(QStringLiteral("page"));
        m_container->setFocusPolicy(Qt::StrongFocus);
        m_container->setGeometry(host->rect());
        // Shown once the first page has loaded: until then the window would
        // be blank, and the host's loading colours stay in view instead.
        m_container->hide();
        QObject::connect(m_view, &QWebEngineView::loadFinished, m_container, &QWidget::show);
        QTimer::singleShot(3000, m_container, &QWidget::show); // a page that takes long shows as it comes
    }

    ~EnginePage() override
    {
        *m_alive = false;
        delete m_view; // the container, the host's child, is left empty
    }

    QWidget *widget() override { return m_container; }

    void navigate(const QString &address) override
    {
        const bool local = QDir::isAbsolutePath(address);
        const QUrl url = local ? QUrl::fromLocalFile(address) : QUrl(address, QUrl::TolerantMode);
        // The one local page is the loading page: its first frames are drawn
        // on its own colour rather than white, which would flash between the
        // loading colours painted before and the page itself.
        m_view->page()->setBackgroundColor(local ? QColor(QRgb(loadingPageColour)) : QColor(Qt::white));
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
    QWidget *m_container = nullptr;
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
