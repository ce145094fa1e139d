#include "fakes.h"

#include "app/mainwindow.h"

#include <QMouseEvent>
#include <QTest>
#include <QTimer>

namespace tovakidoviv::testing {

void endLoading(main &window)
{
    window.Timer1->start(0);
    QTRY_VERIFY(!window.Timer1->isActive());
}

void FakeWebView::navigate(const QString &address)
{
    navigations.append(address);
}

void FakeWebView::requestSnapshot(SnapshotReady ready)
{
    ++snapshotRequests;
    if (answersAtOnce)
        ready(page);
    else
        pending.append(std::move(ready));
}

void FakeWebView::releasePage()
{
    released = true;
    hide();
}

void FakeWebView::answerPending()
{
    const auto waiting = std::exchange(pending, {});
    for (const auto &ready : waiting)
        ready(page);
}

void FakeWebView::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void FakeWebView::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

PlatformBundle FakePlatform::bundle()
{
    PlatformBundle b;
    b.makeWebView = [this](QWidget *parent) -> WebView * {
        auto *view = new FakeWebView(parent);
        views.append(view);
        return view;
    };
    b.launcher = &launcher;
    b.messageBox = &messageBox;
    b.endProgram = [this](int status) { endedWith.append(status); };
    b.programDirectory = QStringLiteral("/program-directory");
    return b;
}

FakeWebView *FakePlatform::view(const QWidget *window, const QString &name) const
{
    for (FakeWebView *v : views)
        if (v->objectName() == name && v->window() == window)
            return v;
    return nullptr;
}

} // namespace tovakidoviv::testing
