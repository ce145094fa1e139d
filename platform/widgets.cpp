#include "platform/widgets.h"

#include "text/twips.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>

#include <future>
#if TOVAKIDOVIV_HAVE_FONTCONFIG
#include <fontconfig/fontconfig.h>
#endif

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

namespace {

// The largest device pixel ratio of the screens, read when the first picture
// is asked for. That may be on a worker thread while the main thread builds a
// window; the screens are only read then, and they change only between events.
qreal screenRatio()
{
    const auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    return app ? app->devicePixelRatio() : 1.0;
}

// Pictures are rendered at 1x and 2x; any ratio above 1 takes the 2x render.
int renderScale(qreal devicePixelRatio)
{
    return devicePixelRatio > 1.0 ? 2 : 1;
}

} // namespace

QString pictureFile(const QString &fileName, qreal devicePixelRatio)
{
    if (renderScale(devicePixelRatio) == 1 || !fileName.endsWith(QLatin1String(".png")))
        return QStringLiteral(":/assets/") + fileName;
    QString file = fileName;
    file.insert(file.size() - 4, QLatin1String("@2x"));
    return QStringLiteral(":/assets/") + file;
}

QImage pictureImageAt(const QString &fileName, qreal devicePixelRatio)
{
    QString file = pictureFile(fileName, devicePixelRatio);
    if (!QFile::exists(file)) // a picture without a 2x render: the 1x one, drawn larger
        file = pictureFile(fileName, 1.0);
    QImage image(file);
    Q_ASSERT_X(!image.isNull(), "widgets::picture", qPrintable(fileName));
    // The reader marks an "@2x" file with its ratio already; say it in any case.
    image.setDevicePixelRatio(file.endsWith(QLatin1String("@2x.png")) ? 2.0 : 1.0);
    return image;
}

QImage pictureImage(const QString &fileName)
{
    return pictureImageAt(fileName, screenRatio());
}

QPixmap picture(const QString &fileName)
{
    return QPixmap::fromImage(pictureImage(fileName));
}

QCursor handCursor()
{
    // The fingertip, in the cursor's device-independent pixels.
    constexpr int hotX = 18, hotY = 2;
    const QPixmap hand = picture(QStringLiteral("hand_cursor.png"));
    // Qt takes the hot spot in device-independent pixels, and Wayland's cursor
    // surface does too; the X11 platform hands it to the server as it is, in
    // the picture's own pixels, so there it is given at the picture's ratio.
    const qreal ratio = QGuiApplication::platformName() == QLatin1String("xcb") ? hand.devicePixelRatio() : 1.0;
    return QCursor(hand, qRound(hotX * ratio), qRound(hotY * ratio));
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
