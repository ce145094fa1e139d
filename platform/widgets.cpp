#include "platform/widgets.h"

#include "text/twips.h"

#include <QScreen>

#include <future>
#if TOVAKIDOVIV_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif


static void initialiseAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace tovakidoviv::widgets {

void placeTwips(QWidget *w, float left, float top, float width, float height)
{
    w->setGeometry(twips::toPixelRect(left, top, width, height));
}

QLabel *caption(QWidget *parent, const char *name, const QString &text, float left, float top,
                float width, float height)
{
    auto *label = named(new QLabel(text, parent), name);
    label->setTextFormat(Qt::PlainText);
    label->setAutoFillBackground(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeTwips(label, left, top, width, height);
    return label;
}

QImage pictureImage(const QString &fileName)
{
    static const bool initialised = (initialiseAssets(), true);
    Q_UNUSED(initialised);
    QImage image(QStringLiteral(":/assets/") + fileName);
    Q_ASSERT_X(!image.isNull(), "widgets::picture", qPrintable(fileName));
    return image;
}

QPixmap picture(const QString &fileName)
{
    return QPixmap::fromImage(pictureImage(fileName));
}

void warmUpFonts()
{
#if TOVAKIDOVIV_HAVE_FONTCONFIG
    // Qt's font database starts with FcInit() too; fontconfig lets either
    // thread be the one that loads the configuration. The future waits at exit.
    static std::future<FcBool> loaded = std::async(std::launch::async, FcInit);
#endif
}

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        icon.addPixmap(picture(QStringLiteral("icon-%1.png").arg(size)));
    return icon;
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

namespace tovakidoviv {

PictureBox::PictureBox(QWidget *parent) : ClickLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

} // namespace tovakidoviv
