#pragma once

// Both windows and every kind of control they hold, for the tests to reach.
#include "app/forms.h"
#include "app/mainwindow.h"
#include "instructions/shuomingform.h"
#include "navbar/shjbjqbutton.h"
#include "platform/editablecombo.h"
#include "platform/labelarray.h"
#include "platform/picturebutton.h"
#include "platform/platformbundle.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QWidget>
#include <QtTest>

namespace tovakidoviv::testing {

// Ends the main window's loading phase now: its timer's one tick runs at once
// instead of two seconds on, and has run when this returns.
void endLoading(main &window);

// A click, and a double click as the mouse delivers it (press, release, the
// second press as a double-click event, release), at a pixel of a window's
// client area; each returns the widget that got the events.
QWidget *clickAt(QWidget *window, QPoint at);
QWidget *doubleClickAt(QWidget *window, QPoint at);
inline QWidget *click(QWidget *w)
{
    return clickAt(w, w->rect().center());
}

// A list box's entries in order, and a pick from its list as the popup makes it.
QStringList entries(const EditableCombo *box);
void pick(EditableCombo *box, const QString &entry);

// The name of the widget with the focus, or of its nearest named ancestor.
QString focusedName();

// An INPUT element of a news page.
inline DomElement input(const QString &name, const QString &value, std::optional<QString> link)
{
    return {QStringLiteral("INPUT"), name, value, std::move(link)};
}

// Pixels of either window's client area (twips / 15): the bar's tab middles.
inline constexpr QPoint tab1(8 + 8 + 61, 120), tab2(8 + 133 + 61, 120), tab3(8 + 256 + 61, 120),
    tab4(8 + 379 + 61, 120), tab5(8 + 504 + 61, 120);

// A web view that records what it is asked and answers snapshots from a page
// set by the test (or holds them back, as a renderer that never answers).
class FakeWebView : public WebView
{
    Q_OBJECT
public:
    using WebView::WebView;

    void navigate(const QString &address) override { navigations.append(address); }
    void requestSnapshot(SnapshotReady ready) override
    {
        ++snapshotRequests;
        if (answersAtOnce)
            ready(page);
        else
            pending.append(std::move(ready));
    }
    void releasePage() override
    {
        released = true;
        hide();
    }

    QStringList navigations;
    bool released = false;
    int snapshotRequests = 0;
    // Elements handed out by snapshots.
    Snapshot page;
    // When false, snapshot requests are kept in pending for the test to answer.
    bool answersAtOnce = true;
    QList<SnapshotReady> pending;

protected:
    // A page takes the clicks made on it, as a real view does.
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { event->accept(); }
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

// Region data of three provinces: one with a city and its districts, one with
// two cities, one without cities.
inline const QString sampleRegions = QStringLiteral(
    "110000|北京市,110100|北京市,110101|东城区,110102|西城区,130000|河北省,130100|石家庄市,130102|长安区,"
    "130200|唐山市,130202|路南区,150000|内蒙古自治区,");

// Every widget test: a platform of fakes, and the main window made and shown
// as the program makes it, over sampleRegions and a news page (FakeWebView's
// page, answered at the tick) whose lines open a link, a script, nothing, and
// end at the end marker. Both windows are destroyed after each row.
class GuiTest : public QObject
{
    Q_OBJECT
protected:
    FakePlatform *platform = nullptr;
    main *window = nullptr;
    FakeWebView *newsView() const { return platform->view(window, QStringLiteral("WebBrowser1")); }
    // "Image6", "bar/Image4", "news(0)" on the main window; "instructions/..."
    // on the instructions window. pathOf is the inverse.
    QWidget *control(const QString &path) const;
    static QString pathOf(const QWidget *w);

private slots:
    void init();
    void cleanup();
};

} // namespace tovakidoviv::testing
