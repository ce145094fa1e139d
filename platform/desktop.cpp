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

// The toolkit's title bar asks the compositor to maximise before the program
// hears of it; the compositor then asks for the maximised size, which Weston
// insists on being given (mutter moves the window to its corner instead). So
// the limit is let go, the maximise is undone once granted and drawn (Weston
// takes a request to leave a state it has not seen drawn for none), and the
// limit holds again once the window is back at its size.
class MaximiseRefusal : public QObject
{
public:
    explicit MaximiseRefusal(QWidget *window) : QObject(window), m_window(window) { window->installEventFilter(this); }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        const bool maximised = m_window->windowState() & Qt::WindowMaximized;
        if (event->type() == QEvent::Show && !m_watching && m_window->windowHandle()) {
            m_watching = connect(m_window->windowHandle(), &QWindow::windowStateChanged, this,
                                 [this](Qt::WindowState state) {
                                     if (state == Qt::WindowMaximized)
                                         letSizeGo();
                                 });
        } else if (event->type() == QEvent::WindowStateChange && maximised) {
            letSizeGo();
            QMetaObject::invokeMethod(this, [this] {
                m_window->setWindowState(m_window->windowState() & ~Qt::WindowMaximized);
                holdSizeIfBack(); // when the window system kept to the limit, no resize comes
            }, Qt::QueuedConnection);
        } else if (event->type() == QEvent::Resize && !maximised) {
            holdSizeIfBack();
        }
        return false;
    }

private:
    void letSizeGo()
    {
        if (m_oneSize.isValid())
            return;
        m_oneSize = m_window->size();
        m_window->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    void holdSizeIfBack()
    {
        if (m_oneSize.isValid() && m_window->size() == m_oneSize)
            m_window->setFixedSize(std::exchange(m_oneSize, QSize()));
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
