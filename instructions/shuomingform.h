#pragma once

#include "platform/platformbundle.h"

#include <QWidget>

namespace tovakidoviv {

class PictureBox;
class shjbjqbutton;

// The instructions window: the service's instructions page in an embedded view
// under the navigation bar. Constructing it is its load step, which starts
// loading the page.
class shuomingform : public QWidget
{
    Q_OBJECT
public:
    explicit shuomingform(const PlatformBundle &platform, QWidget *parent = nullptr);

    PictureBox *Picture1;
    shjbjqbutton *shjbjqbutton1;
    WebView *WebBrowser2;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Picture1Click();
    void openNewWindow(const QString &address);

    PlatformBundle m_platform;
};

} // namespace tovakidoviv
