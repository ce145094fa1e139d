#pragma once

#include "platform/webview.h"

class QWebEngineProfile;
class QWebEngineView;

namespace tovakidoviv {

// The web view on Qt WebEngine. All views share one off-the-record profile, so
// nothing (cookies, cache, history) is written to disk.
class WebEngineWebView : public WebView
{
    Q_OBJECT
public:
    WebEngineWebView(QWebEngineProfile *profile, QWidget *parent = nullptr);

    void navigate(const QString &address) override;
    void requestSnapshot(SnapshotReady ready) override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWebEngineView *m_view;
};

// The factory the windows get: views on one shared off-the-record profile.
WebViewFactory webEngineViewFactory(QObject *profileOwner);

} // namespace tovakidoviv
