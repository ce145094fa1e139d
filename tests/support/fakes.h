#pragma once

#include "platform/platformbundle.h"

#include <QList>
#include <QStringList>

namespace tovakidoviv {
class main;
}

namespace tovakidoviv::testing {

// Ends the main window's loading phase now: its timer's one tick runs at once
// instead of two seconds on, and has run when this returns.
void endLoading(main &window);

// A web view that records what it is asked and answers snapshots from a page
// set by the test (or holds them back, as a renderer that never answers).
class FakeWebView : public WebView
{
    Q_OBJECT
public:
    using WebView::WebView;

    void navigate(const QString &address) override;
    void requestSnapshot(SnapshotReady ready) override;
    void releasePage() override;

    QStringList navigations;
    bool released = false;
    int snapshotRequests = 0;
    // Elements handed out by snapshots.
    Snapshot page;
    // When false, snapshot requests are kept in pending until answerPending().
    bool answersAtOnce = true;
    QList<SnapshotReady> pending;
    void answerPending();

protected:
    // A page takes the clicks made on it, as a real view does.
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

class FakeLauncher : public BrowserLauncher
{
public:
    bool open(const QString &address) override
    {
        opened.append(address);
        return starts;
    }
    QStringList opened;
    bool starts = true; // false: as if no launcher could be started
};

class FakeMessageBox : public MessageBox
{
public:
    void inform(QWidget *, const QString &text) override { informed.append(text); }
    void fail(QWidget *, const QString &text) override { failed.append(text); }
    QStringList informed;
    QStringList failed;
};

// A complete platform of fakes; every view it makes is kept in views.
struct FakePlatform {
    FakeLauncher launcher;
    FakeMessageBox messageBox;
    QList<FakeWebView *> views;
    QList<int> endedWith;
    PlatformBundle bundle();
    // The view with this objectName, made for a window whose objectName is given.
    FakeWebView *view(const QWidget *window, const QString &name) const;
};

} // namespace tovakidoviv::testing
