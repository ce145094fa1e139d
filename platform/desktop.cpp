#include "platform/desktop.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <future>
#include <utility>
#if TOVAKIDOVIV_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

namespace tovakidoviv::widgets {

void warmUpFonts()
{
#if TOVAKIDOVIV_HAVE_FONTCONFIG
    // Qt's font database starts with FcInit() too; fontconfig lets either
    // thread be the one that loads the configuration. The future waits at exit.
    static std::future<FcBool> loaded = std::async(std::launch::async, FcInit);
#endif
}

namespace {

// A maximise asked for by the toolkit's title bar reaches the compositor
// before the program hears of it, and the compositor then asks for the
// maximised size, which Weston insists on being given; mutter moves the
// window to its corner. So the size limit is let go while the request is
// undone, the undoing is asked for once the compositor has granted it, and the
// window takes its one size again once it is back to normal.
class MaximiseRefusal : public QObject
{
public:
    explicit MaximiseRefusal(QWidget *window) : QObject(window), m_window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_window)
            return false;
        if (event->type() == QEvent::Show && !m_watching && m_window->windowHandle()) {
            // The title bar asks the native window, not the widget.
            m_watching = connect(m_window->windowHandle(), &QWindow::windowStateChanged, this,
                                 [this](Qt::WindowState state) {
                                     if (state == Qt::WindowMaximized)
                                         letSizeGo();
                                 });
        } else if (event->type() == QEvent::WindowStateChange && (m_window->windowState() & Qt::WindowMaximized)) {
            letSizeGo();
            // Once the window has drawn itself maximised: Weston takes a
            // request to leave a state it has not seen drawn as none.
            QMetaObject::invokeMethod(this, &MaximiseRefusal::restore, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Resize && m_oneSize.isValid() && m_window->size() == m_oneSize
                   && !(m_window->windowState() & Qt::WindowMaximized)) {
            // Back at its size by the compositor's leave: the limit holds again.
            m_window->setFixedSize(std::exchange(m_oneSize, QSize()));
        }
        return false;
    }

private:
    void restore()
    {
        if (m_window->windowState() & Qt::WindowMaximized)
            m_window->setWindowState(m_window->windowState() & ~Qt::WindowMaximized);
        // Never made larger (the window system kept to the limit): no resize
        // back will come.
        if (m_oneSize.isValid() && m_window->size() == m_oneSize)
            m_window->setFixedSize(std::exchange(m_oneSize, QSize()));
    }

    void letSizeGo()
    {
        if (m_oneSize.isValid())
            return;
        m_oneSize = m_window->size();
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }

    QWidget *m_window;
    QMetaObject::Connection m_watching;
    QSize m_oneSize; // valid while a maximise is being undone
};

} // namespace

void refuseMaximise(QWidget *window)
{
    new MaximiseRefusal(window);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = window->screen();
    if (!screen)
        return;
    QRect frame = window->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

} // namespace tovakidoviv::widgets
