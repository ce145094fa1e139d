#pragma once

#include "platform/platformbundle.h"

#include <QStringList>
#include <QWidget>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTimer;

namespace tovakidoviv {

class ClickLabel;
class EditableCombo;
class LabelArray;
class PictureBox;
class PictureButton;
class shjbjqbutton;

// The main window: the quotation form, the news pane with its loading overlay,
// the link buttons and the navigation bar. Constructing it is its Initialize
// step; the region data must already be in publicvalue::CityData.
class main : public QWidget
{
    Q_OBJECT
public:
    explicit main(const PlatformBundle &platform, QWidget *parent = nullptr);
    ~main() override;

    // Controls, by their designer names.
    PictureBox *Picture1;
    QGroupBox *Frame1, *Frame2;
    QFrame *Line1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5, *Label6, *Label7, *Label8, *Label9, *Label10,
        *Label11, *Label12, *Label13, *Label14, *Label15, *Label16, *Label17, *Label18, *Label19, *Label20;
    ClickLabel *Label21;
    QLabel *Image1, *Image2, *Image3, *Image4;
    PictureButton *Image5, *Image6, *Image7, *Image8, *Image9;
    EditableCombo *city1, *city2, *city3, *Combo4, *Combo5, *Combo6;
    QLineEdit *Text2, *Text3, *Text4, *Text5, *Text6, *Text7, *Text8;
    QRadioButton *Option1, *Option2, *Option3, *Option4, *Option5, *Option6, *Option7, *Option8;
    LabelArray *news;
    shjbjqbutton *shjbjqbutton1;
    WebView *WebBrowser1, *WebBrowser2;
    QTimer *Timer1;
    // How long after the tick the overlay waits for the news page's answer.
    QTimer *overlayDeadline;

    // Region entries the lists are filled from (built at the tick).
    const QStringList &CityItems() const { return m_cityItems; }
    // The link of each news line, index for index; one spare slot.
    const QStringList &NewsLinks() const { return m_newsLinks; }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildForm();
    void buildRightColumn();
    void buildHiddenAndViews();
    void stackControls();
    void setFocusOrder();
    void connectHandlers();

    void Timer1Timer();
    void HideOverlay();
    void ReadNewsPage();
    bool FillCity1List();
    void FillCity2List();
    void FillCity3List();
    void Combo4Click();
    void Combo5Click();
    void Combo6Click();
    void Image5Click();
    void newsClick(short index);
    bool OpenInBrowser(const QString &address);

    PlatformBundle m_platform;
    QStringList m_cityItems;
    QStringList m_newsLinks;
    bool m_newsRead = false;
};

} // namespace tovakidoviv
