// The pictures as the windows get them: the 1x render unchanged at a device
// pixel ratio of 1, the 2x render marked with its ratio above 1, always laid
// out at the 1x size. Run once as it is and once with QT_SCALE_FACTOR=2.
#include "platform/pictures.h"

#include <QGuiApplication>
#include <QtTest>

using namespace tovakidoviv;

namespace {
// How many pixels of a and b (same size) differ by more than a rounding.
int differingPixels(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_ARGB32);
    const QImage y = b.convertToFormat(QImage::Format_ARGB32);
    int count = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const auto *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            if (std::abs(qRed(p[col]) - qRed(q[col])) > 8 || std::abs(qGreen(p[col]) - qGreen(q[col])) > 8
                || std::abs(qBlue(p[col]) - qBlue(q[col])) > 8 || std::abs(qAlpha(p[col]) - qAlpha(q[col])) > 8)
                ++count;
        }
    }
    return count;
}
} // namespace

class tst_pictures : public QObject
{
    Q_OBJECT
private slots:
    // Every picture a window shows, with its size in device-independent pixels, at
    // a ratio of 1 and above it, fractional ratios included.
    void render_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<qreal>("ratio");
        const struct {
            const char *file;
            QSize size;
        } pictures[] = {
            {"background.png", {797, 577}},    {"tab_autoquote.png", {122, 38}},
            {"tab_tools.png", {122, 38}},      {"tab_pictures.png", {122, 38}},
            {"tab_precise.png", {122, 38}},    {"tab_instructions.png", {122, 38}},
            {"tab_highlight.png", {122, 38}},  {"quote_button.png", {117, 40}},
            {"qq_badge.png", {68, 20}},        {"hand_cursor.png", {48, 48}},
        };
        for (const auto &p : pictures)
            for (qreal ratio : {1.0, 1.25, 1.5, 2.0, 3.0})
                QTest::addRow("%s at %g", p.file, ratio) << QString::fromLatin1(p.file) << p.size << ratio;
    }

    void render()
    {
        QFETCH(QString, file);
        QFETCH(QSize, size);
        QFETCH(qreal, ratio);
        const QImage image = widgets::pictureImageAt(file, ratio);
        QCOMPARE(image.deviceIndependentSize().toSize(), size);
        if (ratio == 1.0) {
            // The committed 1x file, pixel for pixel.
            QCOMPARE(image.devicePixelRatio(), 1.0);
            QCOMPARE(image.convertToFormat(QImage::Format_ARGB32),
                     QImage(QStringLiteral(":/assets/") + file).convertToFormat(QImage::Format_ARGB32));
            return;
        }
        // The 2x render, drawn anew, not the 1x picture blown up: it differs from a
        // pixel-doubled or smoothed 1x picture along every edge and letter.
        QVERIFY2(widgets::pictureFile(file, ratio).endsWith(QLatin1String("@2x.png")), qPrintable(file));
        QCOMPARE(image.size(), size * 2);
        QCOMPARE(image.devicePixelRatio(), 2.0);
        const QImage one = widgets::pictureImageAt(file, 1.0);
        const int area = image.width() * image.height();
        for (const auto mode : {Qt::FastTransformation, Qt::SmoothTransformation})
            QVERIFY2(differingPixels(image, one.scaled(size * 2, Qt::IgnoreAspectRatio, mode)) * 100 > area, // over 1 %
                     qPrintable(file));
    }

    void followsTheScreen()
    {
        // picture() takes the render for the screens' ratio: QT_SCALE_FACTOR=2 in
        // the second run of this test.
        const bool twice = qApp->devicePixelRatio() > 1.0;
        const QPixmap button = widgets::picture(QStringLiteral("quote_button.png"));
        QCOMPARE(button.devicePixelRatio(), twice ? 2.0 : 1.0);
        QCOMPARE(button.deviceIndependentSize().toSize(), QSize(117, 40));
        // The committed file of that ratio, pixel for pixel, read here on its
        // own and compared premultiplied, as a pixmap holds it.
        const QImage file(QStringLiteral(":/assets/quote_button%1.png").arg(twice ? "@2x" : ""));
        QCOMPARE(button.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                 file.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void handCursor()
    {
        const QCursor cursor = widgets::handCursor();
        QCOMPARE(cursor.shape(), Qt::BitmapCursor);
        QCOMPARE(cursor.pixmap().deviceIndependentSize().toSize(), QSize(48, 48));
        QCOMPARE(cursor.pixmap().devicePixelRatio(), qApp->devicePixelRatio() > 1.0 ? 2.0 : 1.0);
        // The fingertip, in the cursor's device-independent pixels, is on the hand.
        QCOMPARE(cursor.hotSpot(), QPoint(18, 2));
        const QImage hand = cursor.pixmap().toImage();
        const qreal r = hand.devicePixelRatio();
        QCOMPARE(qAlpha(hand.pixel(int(18 * r), int(2 * r))), 255);
    }

    void withoutA2xRender()
    {
        // The icons have no 2x file: the 1x picture at ratio 1, never nothing.
        const QImage icon = widgets::pictureImageAt(QStringLiteral("icon-32.png"), 2.0);
        QCOMPARE(icon.size(), QSize(32, 32));
        QCOMPARE(icon.devicePixelRatio(), 1.0);
    }
};

QTEST_MAIN(tst_pictures)
#include "tst_pictures.moc"
