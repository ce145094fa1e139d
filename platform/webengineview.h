#pragma once

#include "platform/webview.h"

#include <QList>
#include <QPointer>

class QWebEngineProfile;
class QWebEngineView;

namespace tovakidoviv {

class WebEngineWebView;

// The web engine of the program, started once the first window has been
// painted: starting it costs several hundred milliseconds, and the window need
// not wait for that. All views share one off-the-record profile, so nothing
// (cookies, cache, history) is written to disk.
class WebEngine : public QObject
{
    Q_OBJECT
public:
    explicit WebEngine(QObject *parent = nullptr);

    void enlist(WebEngineWebView *view);
    // Starts the engine from the event loop, after the current frame.
    void startSoon();
    bool started() const { return m_profile != nullptr; }
    QWebEngineProfile *profile() const { return m_profile; }

private:
    void start();

    QWebEngineProfile *m_profile = nullptr;
    QList<QPointer<WebEngineWebView>> m_waiting;
    bool m_scheduled = false;
};

// The web view on Qt WebEngine. Until the engine runs it paints the loading
// page's colours and takes the clicks made on it; a navigation asked for in
// the meantime is made as soon as the page exists.
class WebEngineWebView : public WebView
{
    Q_OBJECT
public:
    WebEngineWebView(WebEngine *engine, QWidget *parent = nullptr);

    void navigate(const QString &address) override;
    void requestSnapshot(SnapshotReady ready) override;

    // Called by the engine once it runs.
    void createPage(QWebEngineProfile *profile);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    WebEngine *m_engine;
    QWebEngineView *m_view = nullptr;
    QString m_pendingAddress;
};

// The factory the windows get.
WebViewFactory webEngineViewFactory(QObject *engineOwner);

} // namespace tovakidoviv
