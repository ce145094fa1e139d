#include "app/mainwindow.h"

#include "service/addresses.h"
#include "quotation/publicvalue.h"
#include "navbar/shjbjqbutton.h"
#include "platform/editablecombo.h"
#include "platform/labelarray.h"
#include "platform/picturebutton.h"
#include "layout/twips.h"
#include "platform/desktop.h"
#include "platform/picturebox.h"
#include "platform/pictures.h"
#include "platform/placement.h"
#include "quotation/inputrules.h"
#include "quotation/quotationrequest.h"
#include "quotation/regionlists.h"
#include "quotation/vocabulary.h"
#include "news/newswalk.h"
#include "service/linkpolicy.h"

#include <QCloseEvent>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>
#include <QtConcurrent/QtConcurrentRun>

#include <utility>

namespace tovakidoviv {

using widgets::caption;
using widgets::named;
using widgets::placeTwips;

namespace {

const QString nothingChosen = QString::fromUtf16(vocabulary::nothingChosen);

EditableCombo *combo(QWidget *parent, const char *name, const QStringList &entries, float left, float top,
                     float width, float height)
{
    auto *box = named(new EditableCombo(nothingChosen, entries, parent), name);
    placeTwips(box, left, top, width, height);
    return box;
}

QLineEdit *textBox(QWidget *parent, const char *name, const QString &text, bool enabled, float left,
                   float top, float width, float height)
{
    auto *box = named(new QLineEdit(text, parent), name);
    box->setMaxLength(std::numeric_limits<int>::max()); // the boxes have no length limit
    box->setEnabled(enabled);
    placeTwips(box, left, top, width, height);
    return box;
}

QRadioButton *option(QWidget *parent, const char *name, const QString &text, bool on, float left,
                     float top, float width, float height)
{
    auto *button = named(new QRadioButton(text, parent), name);
    button->setChecked(on);
    button->setAutoFillBackground(true);
    placeTwips(button, left, top, width, height);
    return button;
}

QLabel *picture(QWidget *parent, const char *name, const char *file, float left, float top)
{
    auto *label = named(new QLabel(parent), name);
    const QPixmap pixmap = widgets::picture(QString::fromLatin1(file));
    label->setPixmap(pixmap);
    label->move(twips::toPixels(left), twips::toPixels(top));
    label->resize(pixmap.deviceIndependentSize().toSize());
    return label;
}

} // namespace

main::main(const PlatformBundle &platform, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_platform(platform)
    , m_newsLinks(news::lineCount + 1)
{
    setObjectName(QStringLiteral("main"));
    setWindowTitle(addresses::windowCaption());
    setFixedSize(twips::toPixels(11955), twips::toPixels(8610));
    widgets::refuseMaximise(this);
    widgets::centreOnScreen(this);

    // The largest picture is decoded on a worker thread while the controls are made.
    QFuture<QImage> background = QtConcurrent::run(widgets::pictureImage, QStringLiteral("background.png"));
    Picture1 = named(new PictureBox(this), "Picture1");
    placeTwips(Picture1, 0, 0, 12015, 8655);

    buildForm();
    buildRightColumn();
    buildHiddenAndViews();
    stackControls();
    setFocusOrder();
    connectHandlers();
    Picture1->setPixmap(QPixmap::fromImage(background.result()));

    // Initialize: the region data was read before any control was touched; now
    // the overlay covers the window with the loading page while the hidden news
    // view fetches the news page.
    WebBrowser2->setTopTwips(-5);
    WebBrowser2->setLeftTwips(-5);
    WebBrowser2->navigate(m_platform.programDirectory + QStringLiteral("/loading.html"));
    WebBrowser1->navigate(addresses::newsPage());

    Timer1->start();
}

main::~main()
{
    // The controls outlive this part of the window while they are destroyed;
    // nothing they signal then may reach its handlers.
    for (QObject *child : findChildren<QObject *>())
        disconnect(child, nullptr, this, nullptr);
}

void main::buildForm()
{
    QWidget *p = Picture1;
    Label2 = caption(p, "Label2", QStringLiteral("业主地址"), 225, 2640, 975, 375);
    city1 = combo(p, "city1", {}, 1440, 2640, 1695, 300);
    city2 = combo(p, "city2", {}, 3360, 2640, 1695, 300);
    city3 = combo(p, "city3", {}, 5400, 2640, 1575, 300);

    Label3 = caption(p, "Label3", QStringLiteral("户    型"), 225, 3240, 975, 375);
    Combo6 = combo(p, "Combo6", vocabulary::houseTypeTexts(), 1440, 3240, 1695, 300);
    Label15 = caption(p, "Label15", QStringLiteral("卫生间"), 3480, 3240, 735, 255);
    Combo4 = combo(p, "Combo4", vocabulary::roomCountTexts(), 4320, 3240, 1695, 300);
    Label16 = caption(p, "Label16", QStringLiteral("阳  台"), 6240, 3240, 855, 255);
    Combo5 = combo(p, "Combo5", vocabulary::roomCountTexts(), 7080, 3240, 1575, 300);

    Label4 = caption(p, "Label4", QStringLiteral("房间名称"), 225, 3720, 975, 375);
    Label9 = caption(p, "Label9", QStringLiteral("客厅"), 1560, 3720, 975, 375);
    Label10 = caption(p, "Label10", QStringLiteral("餐厅"), 2880, 3720, 975, 375);
    Label11 = caption(p, "Label11", QStringLiteral("卧房"), 4200, 3720, 975, 375);
    Label12 = caption(p, "Label12", QStringLiteral("厨房"), 5520, 3720, 975, 375);
    Label13 = caption(p, "Label13", QStringLiteral("卫生间"), 6840, 3720, 975, 375);
    Label14 = caption(p, "Label14", QStringLiteral("阳台"), 8160, 3720, 975, 375);

    const QString zero = QStringLiteral("0");
    Label5 = caption(p, "Label5", QStringLiteral("面积(平方米)"), 225, 4320, 1215, 255);
    Text2 = textBox(p, "Text2", zero, false, 1560, 4320, 495, 375);
    Text3 = textBox(p, "Text3", zero, false, 2880, 4320, 495, 375);
    Text4 = textBox(p, "Text4", zero, false, 4200, 4320, 495, 375);
    Text5 = textBox(p, "Text5", zero, true, 5520, 4320, 495, 375);
    Text6 = textBox(p, "Text6", zero, false, 6840, 4320, 495, 375);
    Text7 = textBox(p, "Text7", zero, false, 8160, 4320, 495, 375);

    Option1 = option(p, "Option1", QStringLiteral("现代简约"), true, 1320, 4800, 1575, 615);
    Option2 = option(p, "Option2", QStringLiteral("中西合璧"), false, 2880, 4800, 1575, 615);
    Option3 = option(p, "Option3", QStringLiteral("中式怀旧"), false, 4440, 4800, 1575, 615);
    Option4 = option(p, "Option4", QStringLiteral("欧式古典"), false, 6000, 4800, 1575, 615);
    Option5 = option(p, "Option5", QStringLiteral("西式田园"), false, 7560, 4800, 1095, 615);
    Label6 = caption(p, "Label6", QStringLiteral("装修风格"), 225, 5040, 975, 375);

    // The grade options form a group of their own inside the frame.
    Frame1 = named(new QGroupBox(p), "Frame1");
    Frame1->setAutoFillBackground(true);
    placeTwips(Frame1, 1080, 5400, 7695, 495);
    Option6 = option(Frame1, "Option6", QStringLiteral("经济实惠"), true, 240, 120, 1335, 255);
    Option7 = option(Frame1, "Option7", QStringLiteral("小康实用"), false, 3240, 120, 1335, 255);
    Option8 = option(Frame1, "Option8", QStringLiteral("高档豪华"), false, 6480, 120, 1095, 255);
    Label7 = caption(p, "Label7", QStringLiteral("装修档次"), 225, 5520, 975, 375);

    Text8 = textBox(p, "Text8", QString(), true, 1200, 6000, 2895, 375);
    Label8 = caption(p, "Label8", QStringLiteral("手机号码"), 225, 6120, 975, 375);

    Image5 = named(new PictureButton(widgets::picture(QStringLiteral("quote_button.png")),
                                     QStringLiteral("快速报价"), p),
                   "Image5");
    Image5->moveTwips(3360, 6720);

    // What a screen reader says at each input. A caption beside an input labels
    // it (the labelled-by relation); Qt on Linux names a combo box by its text.
    // The city and district boxes have captions that are never shown; an area
    // box is named by its room's caption and 面积.
    Label2->setBuddy(city1);
    Label3->setBuddy(Combo6);
    Label15->setBuddy(Combo4);
    Label16->setBuddy(Combo5);
    Label8->setBuddy(Text8);
    city1->setAccessibleDescription(QStringLiteral("省份"));
    for (auto [box, text] : {std::pair{city2, "城市"}, std::pair{city3, "区县"}}) {
        auto *unseen = new QLabel(QString::fromUtf8(text), p);
        unseen->setBuddy(box);
        unseen->hide();
    }
    const std::pair<QLineEdit *, QLabel *> areas[] = {{Text2, Label9},  {Text3, Label10}, {Text4, Label11},
                                                      {Text5, Label12}, {Text6, Label13}, {Text7, Label14}};
    for (const auto &[box, room] : areas)
        box->setAccessibleName(room->text() + QStringLiteral("面积"));
}

void main::buildRightColumn()
{
    QWidget *p = Picture1;
    const QPixmap badge = widgets::picture(QStringLiteral("qq_badge.png"));
    const QString badgeText = QStringLiteral("QQ在线");
    auto chatButton = [&](const char *name, float left, float top) {
        auto *button = named(new PictureButton(badge, badgeText, p), name);
        button->moveTwips(left, top);
        return button;
    };
    Label17 = caption(p, "Label17", QStringLiteral("建设网站"), 9240, 2520, 855, 375);
    Image6 = chatButton("Image6", 10320, 2400);
    Label18 = caption(p, "Label18", QStringLiteral("企业版购买"), 9240, 2880, 975, 255);
    Image7 = chatButton("Image7", 10320, 2760);
    Label19 = caption(p, "Label19", QStringLiteral("合作加盟"), 9240, 3240, 855, 255);
    Image8 = chatButton("Image8", 10320, 3120);
    Label20 = caption(p, "Label20", QStringLiteral("装修咨询"), 9240, 3600, 855, 375);
    Image9 = chatButton("Image9", 10320, 3480);

    Frame2 = named(new QGroupBox(QStringLiteral("最新动态"), p), "Frame2");
    Frame2->setAutoFillBackground(true);
    placeTwips(Frame2, 9000, 4200, 2535, 3495);
    news = new LabelArray("news", news::lineCount, Frame2, QStringLiteral("Label21"));
    static constexpr float newsTop[news::lineCount] = {360, 666, 972, 1278, 1584, 1890, 2196, 2502, 2808, 3120};
    const QCursor handCursor = widgets::handCursor();
    for (int i = 0; i < news::lineCount; ++i) {
        placeTwips(news->at(i), 120, newsTop[i], 1935, 255);
        if (i <= 2 || i == 4 || i == 5)
            news->at(i)->setCursor(handCursor);
    }

    Label21 = named(new ClickLabel(p), "Label21");
    Label21->setText(QStringLiteral("进入Tovaki官方"));
    Label21->setPressRole(ClickLabel::PressRole::Link);
    Label21->setAutoFillBackground(true);
    placeTwips(Label21, 9360, 7800, 1815, 255);

    Line1 = named(new QFrame(p), "Line1");
    Line1->setFrameShape(QFrame::NoFrame);
    Line1->setAutoFillBackground(true);
    QPalette linePalette = Line1->palette();
    linePalette.setColor(QPalette::Window, linePalette.color(QPalette::WindowText));
    Line1->setPalette(linePalette);
    const int lineLeft = twips::toPixels(8880);
    const int lineTop = twips::toPixels(2115);
    Line1->setGeometry(lineLeft, lineTop, 1, twips::toPixels(8245) - lineTop + 1);
}

void main::buildHiddenAndViews()
{
    QWidget *p = Picture1;
    // Never seen: the bar lies above them at the same places.
    Label1 = caption(p, "Label1", QStringLiteral("自动报价"), 360, 1680, 1455, 375);
    Label1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    Image1 = picture(p, "Image1", "tab_tools.png", 2120, 1520);
    Image2 = picture(p, "Image2", "tab_pictures.png", 3960, 1520);
    Image3 = picture(p, "Image3", "tab_precise.png", 5800, 1520);
    Image4 = picture(p, "Image4", "tab_instructions.png", 7680, 1520);

    shjbjqbutton1 = new shjbjqbutton(*m_platform.launcher,
                                     {addresses::siteRoot(), addresses::picturesPage(), addresses::memberPricePage()},
                                     p);
    placeTwips(shjbjqbutton1, 120, 1515, 10815, 615);
    Label1->setFont(shjbjqbutton1->Label1->font());

    WebBrowser1 = named(m_platform.makeWebView(p), "WebBrowser1");
    placeTwips(WebBrowser1, 6240, 6240, 2055, 1215);
    WebBrowser1->hide();

    WebBrowser2 = named(m_platform.makeWebView(p), "WebBrowser2");
    placeTwips(WebBrowser2, 6720, 6240, 12525, 8565);

    Timer1 = named(new QTimer(this), "Timer1");
    Timer1->setInterval(2000);
    overlayDeadline = named(new QTimer(this), "overlayDeadline");
    overlayDeadline->setInterval(300);
    overlayDeadline->setSingleShot(true);
}

void main::stackControls()
{
    // Bottom to top: pictures, captions and the line first (they are drawn on
    // the surface), then the bar, the inputs, the frames and the two views.
    const QList<QWidget *> bottomUp{
        Image1, Image2, Image3, Image4, Label1, Image5, Label2, Label3, Label4, Label5, Label6, Label7, Label8,
        Label9, Label10, Label11, Label12, Label13, Label14, Label15, Label16, Line1, Image6, Label17, Label18,
        Label19, Label20, Image7, Image8, Image9, Label21, shjbjqbutton1, city1, city2, city3, Combo4, Combo5,
        Text2, Text4, Text5, Text6, Text7, Option1, Option2, Option3, Option4, Option5, Text8, Text3, Combo6,
        Frame1, Frame2, WebBrowser1, WebBrowser2};
    for (QWidget *w : bottomUp)
        w->raise();
}

void main::setFocusOrder()
{
    // Increasing TabIndex, not the rows on screen.
    const QList<QWidget *> order{city1,   city2,   city3,   Combo4,  Combo5,  Text2,  Text4,
                                 Text5,   Text6,   Text7,   Option1, Option2, Option3, Option4,
                                 Option5, Text8,   Text3,   Combo6,  Option6, Option7, Option8,
                                 WebBrowser1, WebBrowser2};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
    city1->setFocus(Qt::OtherFocusReason);
}

void main::connectHandlers()
{
    connect(Timer1, &QTimer::timeout, this, &main::Timer1Timer);
    connect(overlayDeadline, &QTimer::timeout, this, &main::HideOverlay);
    connect(city1, &EditableCombo::picked, this, &main::FillCity2List);
    connect(city2, &EditableCombo::picked, this, &main::FillCity3List);
    connect(Combo4, &EditableCombo::picked, this, &main::Combo4Click);
    connect(Combo5, &EditableCombo::picked, this, &main::Combo5Click);
    connect(Combo6, &EditableCombo::picked, this, &main::Combo6Click);
    connect(Image5, &PictureButton::clicked, this, &main::Image5Click);
    connect(news, &LabelArray::clicked, this, &main::newsClick);
    for (PictureButton *chat : {Image6, Image7, Image8, Image9})
        connect(chat, &PictureButton::clicked, this, [this] { OpenInBrowser(addresses::supportChat()); });
    connect(Label21, &ClickLabel::clicked, this, [this] { OpenInBrowser(addresses::siteRoot()); });
}

void main::Timer1Timer()
{
    // The loading phase ends once; stopping first also keeps a report of bad
    // region data, shown modally below, from letting the timer fire again.
    Timer1->stop();
    ReadNewsPage();
    if (!FillCity1List())
        return;
    // The overlay goes with the lines filled, in one paint: a compositor may
    // miss lines drawn a moment after it. A page slow to answer waits no longer.
    if (m_newsRead)
        HideOverlay();
    else
        overlayDeadline->start();
}

void main::HideOverlay()
{
    overlayDeadline->stop();
    if (WebBrowser2->isHidden())
        return;
    // The whole window is drawn anew: each frame of the overlay's page reports
    // the overlay's area, and a compositor told of a frame and not yet done
    // with it may take a drawing within that area for part of it.
    update();
    WebBrowser2->releasePage(); // hidden for good: its page and the engine's process for it go
}

void main::ReadNewsPage()
{
    // The snapshot arrives when the page answers, or never; the tick does not
    // wait for it.
    WebBrowser1->requestSnapshot([self = QPointer<main>(this)](const WebView::Snapshot &elements) {
        if (!self || self->m_newsRead)
            return;
        self->m_newsRead = true;
        // The page is read once; nothing needs it any more.
        self->WebBrowser1->releasePage();
        const QList<news::Item> items = news::walk(elements);
        for (qsizetype k = 0; k < items.size(); ++k) {
            // A line that opens a page is a link to assistive technology; the
            // role is in place before the new caption is announced.
            if (links::isOpenable(items[k].link))
                self->news->at(int(k))->setPressRole(ClickLabel::PressRole::Link);
            self->news->setCaption(int(k), items[k].caption);
            self->m_newsLinks[k] = items[k].link;
        }
        if (self->overlayDeadline->isActive()) // the tick has passed and waits for this answer
            self->HideOverlay();
    });
}

bool main::FillCity1List()
{
    const regions::CityItems built = regions::buildCityItems(publicvalue::CityData);
    if (!built.error.isEmpty()) {
        m_platform.messageBox->fail(this, built.error);
        m_platform.endProgram(1);
        return false;
    }
    m_cityItems = built.items;
    city1->appendEntries(regions::provinceEntries(m_cityItems));
    return true;
}

void main::FillCity2List()
{
    // A new province starts the city and district lists afresh, so the region
    // sent never mixes parts of different provinces.
    city2->reset(nothingChosen);
    city3->reset(nothingChosen);
    city2->appendEntries(regions::cityEntries(m_cityItems, city1->text()));
}

void main::FillCity3List()
{
    city3->reset(nothingChosen);
    city3->appendEntries(regions::districtEntries(m_cityItems, city1->text(), city2->text()));
}

void main::Combo4Click()
{
    Text6->setEnabled(inputrules::roomCountEnables(Combo4->text()));
}

void main::Combo5Click()
{
    Text7->setEnabled(inputrules::roomCountEnables(Combo5->text()));
}

void main::Combo6Click()
{
    const inputrules::HallBoxes boxes = inputrules::houseTypeRule(Combo6->text());
    Text2->setEnabled(boxes.livingRoom);
    Text3->setEnabled(boxes.diningRoom);
    Text4->setEnabled(boxes.bedroom);
}

void main::Image5Click()
{
    quotation::Answers answers;
    answers.city1 = city1->text();
    answers.city2 = city2->text();
    answers.city3 = city3->text();
    answers.houseType = Combo6->text();
    answers.bathrooms = Combo4->text();
    answers.balconies = Combo5->text();
    answers.livingArea = Text2->text();
    answers.diningArea = Text3->text();
    answers.bedroomArea = Text4->text();
    answers.kitchenArea = Text5->text();
    answers.bathroomArea = Text6->text();
    answers.balconyArea = Text7->text();
    answers.phone = Text8->text();
    answers.livingEnabled = Text2->isEnabled();
    answers.diningEnabled = Text3->isEnabled();
    answers.bedroomEnabled = Text4->isEnabled();
    answers.kitchenEnabled = Text5->isEnabled();
    answers.bathroomEnabled = Text6->isEnabled();
    answers.balconyEnabled = Text7->isEnabled();
    answers.style = {Option1->isChecked(), Option2->isChecked(), Option3->isChecked(), Option4->isChecked(),
                     Option5->isChecked()};
    answers.grade = {Option6->isChecked(), Option7->isChecked(), Option8->isChecked()};

    const quotation::Outcome outcome = quotation::press(answers, addresses::siteHost());
    if (!outcome.message.isEmpty()) {
        m_platform.messageBox->inform(this, outcome.message);
        return;
    }
    // The mobile number is emptied once the quotation is on its way; when it
    // cannot be, the user is told and keeps the answers.
    if (!OpenInBrowser(outcome.address)) {
        m_platform.messageBox->inform(this, QString::fromUtf8(quotation::launchFailedMessage));
        return;
    }
    Text8->clear();
}

void main::newsClick(short index)
{
    // The news page is remote content: only web addresses are opened.
    const QString link = m_newsLinks.value(index);
    if (links::isOpenable(link))
        OpenInBrowser(link);
}

bool main::OpenInBrowser(const QString &address)
{
    return m_platform.launcher->open(address);
}

void main::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_platform.endProgram(0);
}

} // namespace tovakidoviv
