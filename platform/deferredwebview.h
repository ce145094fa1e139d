#pragma once

#include "platform/webpage.h"
#include "platform/webview.h"

#include <QList>
#include <QPointer>
#include <QTimer>

namespace tovakidoviv {

class DeferredWebView;

// Starts the web engine once the first window has been painted: loading and
// starting it costs several hundred milliseconds, and the window need not
// wait for that. One engine serves every view.
class WebEngineStarter : public QObject
{
    Q_OBJECT
public:
    // Loads the engine; nullptr when it cannot be had, and the views then keep
    // their loading colour.
    using Loader = std::function<std::unique_ptr<WebPageEngine>()>;

    explicit WebEngineStarter(Loader loader, QObject *parent = nullptr);
    ~WebEngineStarter() override;

    void enlist(DeferredWebView *view);
    // Starts the engine from the event loop, after the current frame.
    void startSoon();
    bool started() const { return m_started; }

private:
    void start();
    void createPages();

    Loader m_loader;
    std::unique_ptr<WebPageEngine> m_engine;
    QList<QPointer<DeferredWebView>> m_waiting;
    QTimer *m_hiddenPages; // the hidden views' pages, a moment after the ones in sight
    bool m_started = false;
    bool m_scheduled = false;
};

// The web view of the windows. Until the engine's page covers it, it paints
// the loading page's colour and takes the clicks made on it; a navigation
// asked for in the meantime is made as soon as the page exists.
class DeferredWebView : public WebView
{
    Q_OBJECT
public:
    DeferredWebView(WebEngineStarter *starter, QWidget *parent = nullptr);
    ~DeferredWebView() override;

    void navigate(const QString &address) override;
    void requestSnapshot(SnapshotReady ready) override;
    void releasePage() override;

    // Called by the starter once the engine runs.
    void createPage(WebPageEngine &engine);
    bool hasPage() const { return m_page != nullptr; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    WebEngineStarter *m_starter;
    std::unique_ptr<WebPage> m_page;
    QString m_pendingAddress;
    bool m_released = false;
};

// The factory the windows get.
WebViewFactory deferredWebViewFactory(QObject *starterOwner, WebEngineStarter::Loader loader);

} // namespace tovakidoviv
