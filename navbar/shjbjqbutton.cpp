#include "navbar/shjbjqbutton.h"

#include "layout/highlight.h"
#include "platform/browserlauncher.h"
#include "platform/picturebutton.h"
#include "platform/pictures.h"
#include "platform/placement.h"

#include <QMouseEvent>

namespace tovakidoviv {

namespace {
PictureButton *tab(QWidget *bar, const char *name, const char *file, const QString &shown, float left)
{
    auto *button = widgets::named(new PictureButton(widgets::picture(QString::fromLatin1(file)), shown, bar), name);
    button->moveTwips(left, highlight::slotTop);
    return button;
}
} // namespace

shjbjqbutton::shjbjqbutton(BrowserLauncher &launcher, Pages pages, QWidget *parent)
    : QWidget(parent), m_launcher(launcher)
{
    setObjectName(QStringLiteral("shjbjqbutton1"));
    using highlight::slotLeft;

    // Created bottom-up, so each lies above the ones before it.
    Image0 = tab(this, "Image0", "tab_autoquote.png", QStringLiteral("自动报价"), slotLeft[0]);
    Image4 = tab(this, "Image4", "tab_instructions.png", QStringLiteral("使用说明"), slotLeft[4]);
    Image3 = tab(this, "Image3", "tab_precise.png", QStringLiteral("精确报价"), slotLeft[3]);
    Image2 = tab(this, "Image2", "tab_pictures.png", QStringLiteral("装修效果图"), slotLeft[2]);
    Image1 = tab(this, "Image1", "tab_tools.png", QStringLiteral("家装工具"), slotLeft[1]);

    Image5 = widgets::named(new ClickLabel(this), "Image5");
    Image5->setPixmap(widgets::picture(QStringLiteral("tab_highlight.png")));
    widgets::placeTwips(Image5, 120, 0, 1830, 570);

    Label1 = widgets::named(new ClickLabel(this), "Label1");
    Label1->setText(QStringLiteral("自动报价"));
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Label1->setAutoFillBackground(true);
    QFont song;
    song.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("AR PL UMing TW"), QStringLiteral("Noto Serif CJK SC")});
    song.setPointSizeF(15.75);
    Label1->setFont(song);
    widgets::placeTwips(Label1, 240, 120, 1695, 375);

    connect(Image0, &PictureButton::clicked, this, [this] { emit windowRequested(1); });
    connect(Image4, &PictureButton::clicked, this, [this] { emit windowRequested(5); });
    // What the browser then does is not the bar's concern.
    connect(Image1, &PictureButton::clicked, this, [this, page = pages.tools] { m_launcher.open(page); });
    connect(Image2, &PictureButton::clicked, this, [this, page = pages.pictures] { m_launcher.open(page); });
    connect(Image3, &PictureButton::clicked, this, [this, page = pages.precise] { m_launcher.open(page); });
    // Label1 and Image5 answer clicks with nothing.
}

void shjbjqbutton::clickmeun(short meunnum)
{
    const auto placement = highlight::forTab(meunnum);
    if (!placement)
        return;
    Image5->moveTwips(placement->imageLeft, placement->imageTop);
    Label1->moveTwips(placement->labelLeft, placement->labelTop);
    Label1->setText(placement->caption);
}

void shjbjqbutton::mousePressEvent(QMouseEvent *event)
{
    event->accept();
}

void shjbjqbutton::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
}

void shjbjqbutton::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

} // namespace tovakidoviv
