#include "platform/desktop.h"

#include <QScreen>
#include <QWidget>

#include <future>
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
