#include "platform/pictures.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>

namespace tovakidoviv::widgets {

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

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        icon.addPixmap(picture(QStringLiteral("icon-%1.png").arg(size)));
    return icon;
}

} // namespace tovakidoviv::widgets
